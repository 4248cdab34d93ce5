--TEST--
A replica killed under DISTRIBUTE_REPLICAS: a read sent to it fails over to the primary (FAILOVER_PRIMARY, FAILOVER_ALL), later reads stay on the primary, and reads of the other shards keep their replicas; without failover the read goes back to the slot's primary as the topology names it, and an object that never reached the replica reads from the primary
--EXTENSIONS--
kelvo
--FILE--
<?php
require __DIR__ . '/../inc/cluster.inc';
use Kelvo\Cluster as C;

$cluster = KelvoTestCluster::start();
$keys = [];
foreach ($cluster->primaries as $i => $p) {
    /* one key of each shard */
    for ($n = 0; !isset($keys[$i]); $n++) {
        if ($cluster->owner($cluster->keyslot("key$n")) === $p) {
            $keys[$i] = "key$n";
        }
    }
    $cluster->must($p, 'SET', $keys[$i], "value $i");
    $cluster->must($p, 'WAIT', 1, 0);
}
$victim = $cluster->replicas[0]; /* replicates the owner of $keys[0] */

function client(KelvoTestCluster $cluster, int $failover): C
{
    $c = new C(null, $cluster->seeds, 0, 0, false, null, ['use-cache' => false]);
    $c->setOption(Kelvo\Kelvo::OPT_MAX_RETRIES, 1);
    $c->setOption(C::OPT_DISTRIBUTE, C::DISTRIBUTE_REPLICAS);
    $c->setOption(C::OPT_FAILOVER, $failover);
    return $c;
}
function read(C $c, string $key): string
{
    try {
        return json_encode($c->get($key));
    } catch (Kelvo\Exception $e) {
        return 'exception';
    }
}
function replicaGets(KelvoTestCluster $cluster, string $node): int
{
    $stats = kelvo_info_fields($cluster->must($node, 'INFO', 'commandstats'));
    return preg_match('/calls=(\d+)/', $stats['cmdstat_get'] ?? '', $m) ? (int) $m[1] : 0;
}

/* Objects that read from every replica while all were up. */
$objects = [];
foreach (['PRIMARY' => C::FAILOVER_PRIMARY, 'ALL' => C::FAILOVER_ALL, 'NONE' => C::FAILOVER_NONE] as $name => $mode) {
    $objects[$name] = client($cluster, $mode);
    foreach ($keys as $k) {
        $objects[$name]->get($k);
    }
}
echo 'replica reads before: ', implode(' ', array_map(fn($r) => replicaGets($cluster, $r) > 0 ? 'yes' : 'no', $cluster->replicas)), "\n";

$cluster->kill($victim);
foreach ($objects as $name => $c) {
    echo "$name: ", read($c, $keys[0]), ' ', read($c, $keys[0]), "\n";
}
$fresh = client($cluster, C::FAILOVER_NONE);
echo 'new object, NONE: ', read($fresh, $keys[0]), "\n";

/* The other shards' replicas still serve. */
$before = array_map(fn($r) => replicaGets($cluster, $r), array_slice($cluster->replicas, 1));
$objects['PRIMARY']->get($keys[1]);
$objects['PRIMARY']->get($keys[2]);
$after = array_map(fn($r) => replicaGets($cluster, $r), array_slice($cluster->replicas, 1));
echo 'other replicas served: ', json_encode([$after[0] - $before[0], $after[1] - $before[1]]), "\n";
?>
--EXPECT--
replica reads before: yes yes yes
PRIMARY: "value 0" "value 0"
ALL: "value 0" "value 0"
NONE: "value 0" "value 0"
new object, NONE: "value 0"
other replicas served: [1,1]
