--TEST--
Failover of reads between the nodes of a shard: FAILOVER_PRIMARY moves a read from a failed replica to the primary and has nothing after the primary; REPLICAS and ALL move it from the primary to the first replica in the shard's order; ALL after a replica tries the other replicas, then the primary; a replica's error with no candidate left is the read's error; writes and FAILOVER_NONE report the failure
--EXTENSIONS--
kelvo
--FILE--
<?php
require __DIR__ . '/../inc/fakecluster.inc';
use Kelvo\Cluster as C;

/* One shard: primary p (its reads fail as $primaryFails says), replicas r1, r2, r3 in that order, each
 * answering MASTERDOWN when it fails. */
function shard(bool $primaryFails, array $failingReplicas): FakeCluster
{
    $f = new FakeCluster(['p', 'r1', 'r2', 'r3']);
    $topology = $f->shards([['slots' => [[0, 16383]], 'nodes' => [['p'], ['r1', 'replica'], ['r2', 'replica'], ['r3', 'replica']]]]);
    $role = FakeCluster::reply(kelvo_resp3(['slave', '127.0.0.1', $f->ports['p'], 'connected', 1]));
    $scripts = [];
    foreach (['p', 'r1', 'r2', 'r3'] as $name) {
        $fails = $name === 'p' ? $primaryFails : in_array($name, $failingReplicas, true);
        $read = $fails ? ($name === 'p' ? 'close' : FakeCluster::reply("-MASTERDOWN Link with MASTER is down\r\n"))
                       : FakeCluster::reply(kelvo_resp3("from $name"));
        $scripts[$name] = array_merge(FakeCluster::handshake(), [
            'on CLUSTER SHARDS', FakeCluster::reply($topology),
            'on ROLE', $role,
            'on GET', $read,
            'on SET', $name === 'p' ? 'close' : FakeCluster::reply("-MOVED 0 {$f->endpoint('p')}\r\n"),
        ]);
    }
    $f->start($scripts);
    return $f;
}

function attempt(FakeCluster $f, int $distribute, int $failover, string $command = 'get'): string
{
    $c = new C(null, [$f->endpoint('p')], 0, 0, false, null, ['use-cache' => false]);
    $c->setOption(Kelvo\Kelvo::OPT_MAX_RETRIES, 0);
    $c->setOption(C::OPT_DISTRIBUTE, $distribute);
    $c->setOption(C::OPT_FAILOVER, $failover);
    try {
        $result = json_encode($command === 'get' ? $c->get('k') : $c->set('k', 'v'));
    } catch (Kelvo\Exception $e) {
        $result = 'exception';
    }
    $asked = [];
    foreach (['p', 'r1', 'r2', 'r3'] as $name) {
        $asked[] = $name . '=' . substr_count($f->received($name), '$3|' . strtoupper($command) . '|');
    }
    return $result . ' (' . implode(' ', $asked) . ')';
}

$cases = [
    'PRIMARY, replicas fail' => [false, ['r1', 'r2', 'r3'], C::DISTRIBUTE_REPLICAS, C::FAILOVER_PRIMARY],
    'PRIMARY, primary fails' => [true, [], C::DISTRIBUTE_NONE, C::FAILOVER_PRIMARY],
    'REPLICAS, primary fails' => [true, [], C::DISTRIBUTE_NONE, C::FAILOVER_REPLICAS],
    'ALL, primary fails' => [true, [], C::DISTRIBUTE_NONE, C::FAILOVER_ALL],
    'ALL, primary and r1 fail' => [true, ['r1'], C::DISTRIBUTE_NONE, C::FAILOVER_ALL],
    'ALL, replicas fail' => [false, ['r1', 'r2', 'r3'], C::DISTRIBUTE_REPLICAS, C::FAILOVER_ALL],
    'REPLICAS, replicas fail' => [false, ['r1', 'r2', 'r3'], C::DISTRIBUTE_REPLICAS, C::FAILOVER_REPLICAS],
    'RANDOM_REPLICA, primary fails' => [true, [], C::DISTRIBUTE_NONE, C::FAILOVER_RANDOM_REPLICA],
    'NONE, primary fails' => [true, [], C::DISTRIBUTE_NONE, C::FAILOVER_NONE],
];
foreach ($cases as $name => [$primaryFails, $failing, $distribute, $failover]) {
    echo str_pad($name, 32), attempt(shard($primaryFails, $failing), $distribute, $failover), "\n";
}
echo str_pad('ALL, a write', 32), attempt(shard(true, []), C::DISTRIBUTE_REPLICAS, C::FAILOVER_ALL, 'set'), "\n";
?>
--EXPECTF--
PRIMARY, replicas fail          "from p" (p=1 r1=%d r2=%d r3=%d)
PRIMARY, primary fails          exception (p=1 r1=0 r2=0 r3=0)
REPLICAS, primary fails         "from r1" (p=1 r1=1 r2=0 r3=0)
ALL, primary fails              "from r1" (p=1 r1=1 r2=0 r3=0)
ALL, primary and r1 fail        "from r2" (p=1 r1=1 r2=1 r3=0)
ALL, replicas fail              "from p" (p=1 r1=1 r2=1 r3=1)
REPLICAS, replicas fail         false (p=0 r1=1 r2=1 r3=1)
RANDOM_REPLICA, primary fails   "from r%d" (p=1 r1=%d r2=%d r3=%d)
NONE, primary fails             exception (p=1 r1=0 r2=0 r3=0)
ALL, a write                    exception (p=1 r1=0 r2=0 r3=0)
