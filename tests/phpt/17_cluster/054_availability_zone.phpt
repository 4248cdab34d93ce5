--TEST--
Availability zones: with OPT_AVAILABILITY_ZONE set, reads under DISTRIBUTE_REPLICAS go to a replica whose server reported the same zone in HELLO whenever one is usable, and to another zone's replica when none is
--EXTENSIONS--
kelvo
--FILE--
<?php
require __DIR__ . '/../inc/fakecluster.inc';
use Kelvo\Cluster as C;

ini_set('kelvo.cluster.shard_health_wait_time', '3600');
/* Primary p and replicas with their zones; replicas in $broken show no connected primary in ROLE. */
function shard(array $zones, array $broken = []): FakeCluster
{
    $f = new FakeCluster(['p', ...array_keys($zones)]);
    $nodes = [['p']];
    foreach (array_keys($zones) as $r) {
        $nodes[] = [$r, 'replica'];
    }
    $topology = FakeCluster::reply($f->shards([['slots' => [[0, 16383]], 'nodes' => $nodes]]));
    $scripts = [];
    foreach (['p' => 'zone-p', ...$zones] as $name => $zone) {
        $hello = kelvo_resp3(['server' => 'redis', 'version' => '7.2.0', 'proto' => 3, 'mode' => 'cluster',
                              'availability_zone' => $zone]);
        $state = in_array($name, $broken, true) ? 'connecting' : 'connected';
        $scripts[$name] = array_merge(['on HELLO', FakeCluster::reply($hello)], FakeCluster::handshake(), [
            'on CLUSTER SHARDS', $topology,
            'on ROLE', FakeCluster::reply(kelvo_resp3(['slave', '127.0.0.1', $f->ports['p'], $state, 1])),
            'on GET', FakeCluster::reply(kelvo_resp3($name)),
            'on PING', 'reply +PONG\r\n',
        ]);
    }
    $f->start($scripts);
    return $f;
}

/* Who served each read, once every node has said where it is. */
function servedBy(FakeCluster $f, ?string $zone, int $reads = 64): string
{
    $c = new C(null, [$f->endpoint('p')], 0, 0, false, null, ['use-cache' => false]);
    foreach (array_keys($f->ports) as $name) {
        $c->ping(['127.0.0.1', $f->ports[$name]]);
    }
    if ($zone !== null) {
        $c->setOption(C::OPT_AVAILABILITY_ZONE, $zone);
    }
    $c->setOption(C::OPT_DISTRIBUTE, C::DISTRIBUTE_REPLICAS);
    $seen = [];
    for ($i = 0; $i < $reads; $i++) {
        $seen[$c->get('k')] = true;
    }
    ksort($seen);
    return implode(' ', array_keys($seen));
}

$zones = ['r1' => 'zone-b', 'r2' => 'zone-a', 'r3' => 'zone-b', 'r4' => 'zone-c'];
echo 'zone-a: ', servedBy(shard($zones), 'zone-a'), "\n";
echo 'zone-b: ', servedBy(shard($zones), 'zone-b'), "\n";
echo 'zone-a, its replica broken: ', servedBy(shard($zones, ['r2']), 'zone-a', 200), "\n";
echo 'no zone: ', servedBy(shard($zones), null, 200), "\n";
echo 'zone-x: ', servedBy(shard($zones), 'zone-x', 200), "\n";
?>
--EXPECT--
zone-a: r2
zone-b: r1 r3
zone-a, its replica broken: r1 r3 r4
no zone: r1 r2 r3 r4
zone-x: r1 r2 r3 r4
