--TEST--
The distribute and failover modes: the values setOption takes and refuses with their warnings, the legacy option that sets both and reads back only a pair it can name, and client options that reach the template and every node
--EXTENSIONS--
kelvo
--FILE--
<?php
require __DIR__ . '/../inc/cluster.inc';
use Kelvo\Cluster as C;

$cluster = KelvoTestCluster::shared();
$c = new C(null, $cluster->seeds, 0, 0, false, null, ['use-cache' => false]);
$modes = fn() => [$c->getOption(C::OPT_DISTRIBUTE), $c->getOption(C::OPT_FAILOVER), $c->getOption(C::OPT_REPLICA_FAILOVER)];
echo 'new object: ', json_encode($modes()), "\n";

$steps = [
    [C::OPT_DISTRIBUTE, C::DISTRIBUTE_ALL],
    [C::OPT_DISTRIBUTE, 5],
    [C::OPT_DISTRIBUTE, -1],
    [C::OPT_DISTRIBUTE, '3'],
    [C::OPT_FAILOVER, C::FAILOVER_RANDOM_REPLICA],
    [C::OPT_FAILOVER, 1],
    [C::OPT_FAILOVER, 2],
    [C::OPT_FAILOVER, 3],
    [C::OPT_FAILOVER, 8],
    [C::OPT_FAILOVER, C::FAILOVER_ALL],
    [C::OPT_FAILOVER, C::FAILOVER_NONE],
    [C::OPT_REPLICA_FAILOVER, C::FAILOVER_NONE],
    [C::OPT_REPLICA_FAILOVER, C::FAILOVER_ERROR],
    [C::OPT_REPLICA_FAILOVER, C::FAILOVER_DISTRIBUTE],
    [C::OPT_SLAVE_FAILOVER, C::FAILOVER_DISTRIBUTE_SLAVES],
    [C::OPT_REPLICA_FAILOVER, 4],
    [C::OPT_REPLICA_FAILOVER, -1],
    [C::OPT_DISTRIBUTE, C::DISTRIBUTE_REPLICAS],
    [C::OPT_FAILOVER, C::FAILOVER_PRIMARY],
];
foreach ($steps as [$option, $value]) {
    $ok = $c->setOption($option, $value);
    printf("set %d to %s: %s -> %s\n", $option, json_encode($value), json_encode($ok), json_encode($modes()));
}

/* Client options: the template reads them back, the nodes send and decode with them. */
var_dump($c->setOption(Kelvo\Kelvo::OPT_PREFIX, 'opt050:'), $c->getOption(Kelvo\Kelvo::OPT_PREFIX));
var_dump($c->setOption(Kelvo\Kelvo::OPT_SERIALIZER, Kelvo\Kelvo::SERIALIZER_PHP));
var_dump($c->setOption(C::OPT_AVAILABILITY_ZONE, 'zone-a'), $c->getOption(C::OPT_AVAILABILITY_ZONE));
$c->setOption(C::OPT_DISTRIBUTE, C::DISTRIBUTE_NONE);
$keys = ['a', 'b', 'c', 'd', 'e', 'f'];
foreach ($keys as $k) {
    $c->set("k$k", [$k]);
}
$owners = [];
foreach ($keys as $k) {
    $owner = $cluster->owner($cluster->keyslot("opt050:k$k"));
    $owners[$owner] = true;
    $raw = $cluster->must($owner, 'GET', "opt050:k$k");
    if ($raw !== serialize([$k]) || $c->get("k$k") !== [$k]) {
        echo "k$k: ", json_encode($raw), "\n";
    }
    $c->del("k$k");
}
echo count($owners) > 1 ? "several nodes\n" : "one node\n";

/* A refused client option warns as on Kelvo\Kelvo; an unknown id reads as false without one. */
var_dump($c->setOption(Kelvo\Kelvo::OPT_BACKOFF_ALGORITHM, 99), $c->getOption(9999));
?>
--EXPECTF--
new object: [0,0,0]
set 16 to 4: true -> [4,0,false]

Warning: Kelvo\Cluster::setOption(): 5 is not a valid distribute type in %s on line %d
set 16 to 5: false -> [4,0,false]

Warning: Kelvo\Cluster::setOption(): -1 is not a valid distribute type in %s on line %d
set 16 to -1: false -> [4,0,false]
set 16 to "3": true -> [3,0,false]
set 17 to 4: true -> [3,4,false]

Warning: Kelvo\Cluster::setOption(): 1 is not a valid failover type in %s on line %d
set 17 to 1: false -> [3,4,false]

Warning: Kelvo\Cluster::setOption(): 2 is not a valid failover type in %s on line %d
set 17 to 2: false -> [3,4,false]

Warning: Kelvo\Cluster::setOption(): 3 is not a valid failover type in %s on line %d
set 17 to 3: false -> [3,4,false]

Warning: Kelvo\Cluster::setOption(): 8 is not a valid failover type in %s on line %d
set 17 to 8: false -> [3,4,false]
set 17 to 7: true -> [3,7,false]
set 17 to 0: true -> [3,0,false]
set 5 to 0: true -> [0,0,0]
set 5 to 1: true -> [0,4,1]
set 5 to 2: true -> [1,0,2]
set 5 to 3: true -> [2,0,3]

Warning: Kelvo\Cluster::setOption(): 4 is not a valid failover type in %s on line %d
set 5 to 4: false -> [2,0,3]

Warning: Kelvo\Cluster::setOption(): -1 is not a valid failover type in %s on line %d
set 5 to -1: false -> [2,0,3]
set 16 to 3: true -> [3,0,false]
set 17 to 5: true -> [3,5,false]
bool(true)
string(7) "opt050:"
bool(true)
bool(true)
string(6) "zone-a"
several nodes

Warning: Kelvo\Cluster::setOption(): %s in %s on line %d
bool(false)
bool(false)
