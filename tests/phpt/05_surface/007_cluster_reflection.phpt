--TEST--
Kelvo\Cluster: constants and their aliases, static methods, attributes of note, the guarded property, and argument errors that send nothing
--FILE--
<?php
$c = new ReflectionClass(Kelvo\Cluster::class);
var_dump(Kelvo\Cluster::OPT_REPLICA_FAILOVER === Kelvo\Cluster::OPT_SLAVE_FAILOVER,
         Kelvo\Cluster::FAILOVER_DISTRIBUTE_SLAVES === Kelvo\Cluster::FAILOVER_DISTRIBUTE_REPLICAS,
         $c->isFinal(), $c->isAbstract(), $c->getParentClass(), $c->getInterfaceNames());

echo "static: ", implode(' ', array_map(fn($m) => $m->getName(),
    array_filter($c->getMethods(), fn($m) => $m->isStatic()))), "\n";
echo "deprecated flag: ", count(array_filter($c->getMethods(), fn($m) => $m->isDeprecated())), "\n";

$attrs = fn(string $m) => implode(',', array_map(fn($a) => substr(strrchr('\\' . $a->getName(), '\\'), 1),
    $c->getMethod($m)->getAttributes()));
foreach (['__construct', 'getWithMeta', 'hgetWithMeta', 'fullscan', '_getKeys', 'hpersist', 'hgetex', 'increx',
          'type', 'zcard', 'hsetex', 'clusterscan', 'delifeq', 'xrevrange', 'zrevrange'] as $m) {
    printf("%-12s %s\n", $m, $attrs($m));
}
foreach ($c->getMethod('__construct')->getParameters() as $p) {
    if ($p->getAttributes()) echo "sensitive: \${$p->getName()}\n";
}

// Named arguments follow the cluster's own parameter names.
echo implode(', ', array_map(fn($p) => $p->getName(), $c->getMethod('set')->getParameters())), "\n";
echo implode(', ', array_map(fn($p) => $p->getName(), $c->getMethod('ping')->getParameters())), "\n";

$cluster = $c->newInstanceWithoutConstructor();
var_dump($cluster->adaptiveCache instanceof Kelvo\AdaptiveCache);
try {
    $cluster->adaptiveCache = null;
} catch (Error $e) {
    echo get_class($e), ": ", $e->getMessage(), "\n";
}
try {
    unset($cluster->adaptiveCache);
} catch (Error $e) {
    echo get_class($e), ": ", $e->getMessage(), "\n";
}
foreach ([fn() => $cluster->get(), fn() => $cluster->get('a', 'b'), fn() => $cluster->set('k', 'v', 'x', 'y')] as $call) {
    try {
        $call();
    } catch (Error $e) {
        echo get_class($e), ": ", $e->getMessage(), "\n";
    }
}
?>
--EXPECT--
bool(true)
bool(true)
bool(false)
bool(false)
bool(false)
array(0) {
}
static: flushMemory invalidateSlotCaches lastMemoryFlush maxMemory stats
deprecated flag: 0
__construct  Server
getWithMeta  Server,Cached
hgetWithMeta RedisCommand,ValkeyCommand,Cached
fullscan     
_getKeys     
hpersist     
hgetex       
increx       
type         RedisCommand,ValkeyCommand
zcard        RedisCommand,ValkeyCommand
hsetex       RedisCommand,ValkeyCommand
clusterscan  ValkeyCommand
delifeq      ValkeyCommand
xrevrange    RedisCommand
zrevrange    RedisCommand,ValkeyCommand,Cached,Deprecated
sensitive: $auth
sensitive: $context
key, value, options
key_or_address, message
bool(true)
Error: Kelvo\Cluster->adaptiveCache is not modifiable
Error: Kelvo\Cluster->adaptiveCache is not modifiable
ArgumentCountError: Kelvo\Cluster::get() expects exactly 1 argument, 0 given
ArgumentCountError: Kelvo\Cluster::get() expects exactly 1 argument, 2 given
ArgumentCountError: Kelvo\Cluster::set() expects at most 3 arguments, 4 given
