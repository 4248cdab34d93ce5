--TEST--
Node-directed commands on a real cluster: their replies, OBJECT and COMMAND, and the argument errors that send nothing
--FILE--
<?php
require __DIR__ . '/../inc/cluster.inc';
$t = KelvoTestCluster::shared();
$c = new Kelvo\Cluster(null, $t->seeds);
$primary = [KelvoTestCluster::hostOf($t->primaries[1]), KelvoTestCluster::port($t->primaries[1])];
$replica = [KelvoTestCluster::hostOf($t->replicas[1]), KelvoTestCluster::port($t->replicas[1])];
$key = 'directed:' . getmypid();

var_dump($c->ping($key), $c->ping($primary, 'hello'), $c->echo($replica, 'from a replica'));
var_dump(is_int($c->dbsize($primary)), is_int($c->lastsave($key)));
$time = $c->time($replica);
var_dump(count($time) === 2 && preg_match("/^[0-9]+$/", $time[0] . $time[1]) === 1);
var_dump($c->role($primary)[0], $c->role($replica)[0]);
$info = $c->info($primary, 'server', 'clients');
var_dump(isset($info['tcp_port'], $info['connected_clients']), isset($info['used_memory']));
var_dump(is_int($c->wait($key, 0, 0)));

// OBJECT reaches the node of the prefixed key, as the write through the same client did.
$p = new Kelvo\Cluster(null, $t->seeds, 0, 0, false, null, ['prefix' => 'pfx:']);
var_dump($p->set($key, 'value'), $p->object('encoding', $key), $t->call($t->owner($t->keyslot("pfx:$key")), 'OBJECT', 'ENCODING', "pfx:$key"));
$p->del($key);

// COMMAND goes to the first node whatever it asks.
var_dump($c->command('count') > 100, $c->command('getkeys', 'set', 'k1', 'v'));

$calls = [
    'echo without message' => fn() => $c->echo($key),
    'dbsize with more' => fn() => $c->dbsize($key, 1),
    'dbsize without node' => fn() => $c->dbsize(),
    'ping with three' => fn() => $c->ping($key, 'a', 'b'),
    'flushdb with three' => fn() => $c->flushdb($key, true, 1),
    'bgsave schedule as array' => fn() => $c->bgsave($key, []),
    'wait without timeout' => fn() => $c->wait($key, 1),
    'wait with text' => fn() => $c->wait($key, 'one', 1),
    'waitaof with three' => fn() => $c->waitaof($key, 0, 0),
    'info section as array' => fn() => $c->info($key, []),
    'object with one' => fn() => $c->object('encoding'),
    'acl without operation' => fn() => $c->acl($key),
    'config operation as array' => fn() => $c->config($key, ['get']),
    'config named argument' => fn() => $c->config($key, 'get', pattern: 'maxmemory'),
    'pubsub without operation' => fn() => $c->pubsub($key),
];
foreach ($calls as $what => $call) {
    try {
        var_dump($call());
    } catch (Throwable $e) {
        echo "$what: ", get_class($e), ": ", $e->getMessage(), "\n";
    }
}
?>
--EXPECT--
bool(true)
string(5) "hello"
string(14) "from a replica"
bool(true)
bool(true)
bool(true)
string(6) "master"
string(5) "slave"
bool(true)
bool(false)
bool(true)
bool(true)
string(6) "embstr"
string(6) "embstr"
bool(true)
array(1) {
  [0]=>
  string(2) "k1"
}
echo without message: ArgumentCountError: Kelvo\Cluster::echo() expects exactly 2 arguments, 1 given
dbsize with more: ArgumentCountError: Kelvo\Cluster::dbsize() expects exactly 1 argument, 2 given
dbsize without node: ArgumentCountError: Kelvo\Cluster::dbsize() expects exactly 1 argument, 0 given
ping with three: ArgumentCountError: Kelvo\Cluster::ping() expects at most 2 arguments, 3 given
flushdb with three: ArgumentCountError: Kelvo\Cluster::flushdb() expects at most 2 arguments, 3 given
bgsave schedule as array: TypeError: Kelvo\Cluster::bgsave(): Argument #2 ($schedule) must be of type bool, array given
wait without timeout: ArgumentCountError: Kelvo\Cluster::wait() expects exactly 3 arguments, 2 given
wait with text: TypeError: Kelvo\Cluster::wait(): Argument #2 ($replicas) must be of type int, string given
waitaof with three: ArgumentCountError: Kelvo\Cluster::waitaof() expects exactly 4 arguments, 3 given
info section as array: TypeError: Kelvo\Cluster::info(): Argument #2 must be of type string, array given
object with one: ArgumentCountError: Kelvo\Cluster::object() expects exactly 2 arguments, 1 given
acl without operation: ArgumentCountError: Kelvo\Cluster::acl() expects at least 2 arguments, 1 given
config operation as array: TypeError: Kelvo\Cluster::config(): Argument #2 ($operation) must be of type string, array given
config named argument: ArgumentCountError: Kelvo\Cluster::config() does not accept unknown named parameters
pubsub without operation: ArgumentCountError: Kelvo\Cluster::pubsub() expects at least 2 arguments, 1 given
