--TEST--
Cluster scans on scripted nodes: a node's error is the cluster's last error, a full scan step that fails throws even when errors are recorded, key scans follow MOVED, and the layout check reads each primary's own view
--FILE--
<?php
require __DIR__ . '/../inc/fakecluster.inc';
$f = new FakeCluster(['a', 'b']);
$shards = $f->shards([['slots' => [[0, 8191]], 'nodes' => [['a']]], ['slots' => [[8192, 16383]], 'nodes' => [['b']]]]);
$line = fn($name, $slots, $me) => FakeCluster::id($name) . " {$f->endpoint($name)}@1 " . ($me ? 'myself,' : '')
    . "master - 0 0 1 connected $slots";
$nodes = fn($me) => $line('a', '0-8191', $me === 'a') . "\n" . $line('b', '8192-16383', $me === 'b') . "\n";
$bulk = fn($s) => '$' . strlen($s) . "\r\n$s\r\n";
$f->start([
    'a' => array_merge(FakeCluster::handshake(), [
        'on CLUSTER SHARDS', FakeCluster::reply($shards),
        'on CLUSTER NODES', FakeCluster::reply($bulk($nodes('a'))),
        'on SCAN', 'reply *2\r\n$1\r\n0\r\n*1\r\n$2\r\nk1\r\n',
        'on HSCAN', "reply -MOVED 3300 {$f->endpoint('b')}\\r\\n",
    ]),
    'b' => array_merge(FakeCluster::handshake(), [
        'on CLUSTER SHARDS', FakeCluster::reply($shards),
        'on CLUSTER NODES', FakeCluster::reply($bulk($nodes('b'))),
        'on SCAN', 'reply -LOADING Redis is loading the dataset in memory\r\n',
        'on HSCAN', 'reply *2\r\n$1\r\n0\r\n*2\r\n$1\r\nf\r\n$1\r\nv\r\n',
        'on SSCAN', 'reply -WRONGTYPE Operation against a key holding the wrong kind of value\r\n',
    ]),
]);
$c = new Kelvo\Cluster(null, [$f->endpoint('a')]);
var_dump($c->getOption(Kelvo\Kelvo::OPT_THROW_ON_ERROR));

$pages = [];
try {
    foreach ($c->fullscan() as $page) {
        $pages[] = $page;
    }
    echo "ended quietly\n";
} catch (Kelvo\Exception $e) {
    echo 'full scan: ', preg_replace('/ \(.*$/', '', $e->getMessage()), "\n";
}
var_dump($pages, $c->getLastError());

$c->clearLastError();
$it = null;
var_dump($c->scan($it, ['127.0.0.1', $f->ports['b']]), $c->getLastError());
$it = null;
var_dump($c->hscan('b', $it), $it);                 /* slot 3300 is a's: MOVED to b */
$it = null;
var_dump($c->sscan('x', $it), $c->getLastError());  /* slot 16287: b */
?>
--EXPECT--
bool(false)
full scan: LOADING Redis is loading the dataset in memory
array(1) {
  [0]=>
  array(1) {
    [0]=>
    string(2) "k1"
  }
}
string(46) "LOADING Redis is loading the dataset in memory"
bool(false)
string(46) "LOADING Redis is loading the dataset in memory"
array(1) {
  ["f"]=>
  string(1) "v"
}
int(0)
bool(false)
string(65) "WRONGTYPE Operation against a key holding the wrong kind of value"
