--TEST--
Reads sent to a node the caller names (DBSIZE, PING) are neither moved to a replica by DISTRIBUTE_REPLICAS nor failed over by FAILOVER_ALL when that node fails
--EXTENSIONS--
kelvo
--FILE--
<?php
require __DIR__ . '/../inc/fakecluster.inc';
use Kelvo\Cluster as C;

/* Primary p and replica r; p hangs up on DBSIZE when $fails. */
function shard(bool $fails): FakeCluster
{
    $f = new FakeCluster(['p', 'r']);
    $topology = FakeCluster::reply($f->shards([['slots' => [[0, 16383]], 'nodes' => [['p'], ['r', 'replica']]]]));
    $scripts = [];
    foreach (['p', 'r'] as $name) {
        $scripts[$name] = array_merge(FakeCluster::handshake(), [
            'on CLUSTER SHARDS', $topology,
            'on ROLE', FakeCluster::reply(kelvo_resp3(['slave', '127.0.0.1', $f->ports['p'], 'connected', 1])),
            'on DBSIZE', $fails && $name === 'p' ? 'close' : FakeCluster::reply(kelvo_resp3($name === 'p' ? 1 : 2)),
            'on GET', FakeCluster::reply(kelvo_resp3($name)),
        ]);
    }
    $f->start($scripts);
    return $f;
}
function client(FakeCluster $f): C
{
    $c = new C(null, [$f->endpoint('p')], 0, 0, false, null, ['use-cache' => false]);
    $c->setOption(Kelvo\Kelvo::OPT_MAX_RETRIES, 0);
    $c->setOption(C::OPT_DISTRIBUTE, C::DISTRIBUTE_REPLICAS);
    $c->setOption(C::OPT_FAILOVER, C::FAILOVER_ALL);
    return $c;
}

$f = shard(false);
$c = client($f);
$p = ['127.0.0.1', $f->ports['p']];
var_dump($c->get('k'), $c->dbsize($p), $c->dbsize($p), $c->ping($p));
echo 'r asked DBSIZE ', substr_count($f->received('r'), 'DBSIZE'), ', PING ', substr_count($f->received('r'), '|PING|'), "\n";

/* The named node fails: its link error, and no other node answers for it. */
$f = shard(true);
$c = client($f);
$c->get('k'); /* r is ready for reads */
try {
    var_dump($c->dbsize(['127.0.0.1', $f->ports['p']]));
} catch (Kelvo\Exception $e) {
    echo "exception\n";
}
echo 'r asked DBSIZE ', substr_count($f->received('r'), 'DBSIZE'), "\n";
?>
--EXPECT--
string(1) "r"
int(1)
int(1)
bool(true)
r asked DBSIZE 0, PING 0
exception
r asked DBSIZE 0
