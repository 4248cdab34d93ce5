--TEST--
Cluster scans under SCAN_RETRY follow an empty page with a cursor that goes on into the next page in the same call; without it the empty page is returned
--FILE--
<?php
require __DIR__ . '/../inc/fakecluster.inc';
require __DIR__ . '/../inc/cluster.inc';

$f = new FakeCluster(['a']);
$shards = $f->shards([['slots' => [[0, 16383]], 'nodes' => [['a']]]]);
$page = fn(string $cursor, string ...$keys) => FakeCluster::reply(kelvo_resp3([$cursor, $keys]));
$f->start(['a' => array_merge(FakeCluster::handshake(), ['on CLUSTER SHARDS', FakeCluster::reply($shards),
    'on SCAN 0', $page('5'), 'on SCAN 5', $page('0', 'k'),
    'on SSCAN s 0', $page('7'), 'on SSCAN s 7', $page('0', 'm'),
    'on CLUSTERSCAN 0', $page('{a}9'), 'on CLUSTERSCAN {a}9', $page('0', 'c')])]);
$c = new Kelvo\Cluster(null, [$f->endpoint('a')]);
$node = ['127.0.0.1', $f->ports['a']];

foreach ([Kelvo\Kelvo::SCAN_NORETRY, Kelvo\Kelvo::SCAN_RETRY] as $mode) {
    var_dump($c->setOption(Kelvo\Kelvo::OPT_SCAN, $mode));
    $it = null;
    echo json_encode($c->scan($it, $node)), ' ', json_encode($it), "\n";
    $it = null;
    echo json_encode($c->sscan('s', $it)), ' ', json_encode($it), "\n";
    $it = null;
    echo json_encode($c->clusterscan($it)), ' ', json_encode($it), "\n";
}
?>
--EXPECT--
bool(true)
[] 5
[] 7
[] "{a}9"
bool(true)
["k"] 0
["m"] 0
["c"] "0"
