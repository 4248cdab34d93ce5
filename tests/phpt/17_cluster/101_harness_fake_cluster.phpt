--TEST--
The scripted fake cluster: nodes on known ports at once, standing and counted rules beside steps, a topology naming the other nodes, and a record per node
--FILE--
<?php
require __DIR__ . '/../inc/fakecluster.inc';
require __DIR__ . '/../inc/cluster.inc';
$f = new FakeCluster(['a', 'b', 'down']);
$shards = $f->shards([['slots' => [[0, 16383]], 'nodes' => [['a'], ['b', 'replica', 'loading']]]]);
$f->start([
    'a' => array_merge(FakeCluster::handshake(), [
        'on CLUSTER SHARDS', FakeCluster::reply($shards),
        'on x2 GET moved', FakeCluster::reply("-MOVED 3 {$f->endpoint('b')}\r\n"),
        'on GET moved', 'reply +settled\r\n',
        'reply +first step\r\n',
        'close',
    ]),
    'b' => ['on CLUSTERSCAN', 'reply *2\r\n$1\r\n0\r\n*0\r\n', 'reply -MASTERDOWN Link with MASTER is down\r\n'],
]);
$a1 = new KelvoRawNode($f->endpoint('a'));
$a2 = new KelvoRawNode($f->endpoint('a')); /* a node serves several links at once */
$b = new KelvoRawNode($f->endpoint('b'));
var_dump($a2->call('HELLO', '3')['mode'], $a1->call('hello', '3')['version']);
$topology = $a1->call('CLUSTER', 'SHARDS')[0];
var_dump($topology['slots'], array_map(fn($n) => [$n['id'] === FakeCluster::id($n['port'] === $f->ports['a'] ? 'a' : 'b'), $n['role'], $n['health']], $topology['nodes']));
foreach ([$a1, $a2, $a1] as $conn) {
    echo $conn->call('GET', 'moved'), "\n";
}
echo $a2->call('GET', 'other'), "\n";
try {
    $a1->call('GET', 'other');
} catch (RuntimeException $e) {
    echo "closed\n";
}
var_dump($b->call('CLUSTERSCAN', '0'), (string) $b->call('SET', 'k', 'v'), (string) $b->call('GET', 'k'));
var_dump(@stream_socket_client('tcp://' . $f->endpoint('down'), $errno, $errstr, 1));
echo $f->received('b'), "\n";
?>
--EXPECTF--
string(7) "cluster"
string(5) "7.2.0"
array(2) {
  [0]=>
  int(0)
  [1]=>
  int(16383)
}
array(2) {
  [0]=>
  array(3) {
    [0]=>
    bool(true)
    [1]=>
    string(6) "master"
    [2]=>
    string(6) "online"
  }
  [1]=>
  array(3) {
    [0]=>
    bool(true)
    [1]=>
    string(7) "replica"
    [2]=>
    string(7) "loading"
  }
}
MOVED 3 127.0.0.1:%d
MOVED 3 127.0.0.1:%d
settled
first step
closed
array(2) {
  [0]=>
  string(1) "0"
  [1]=>
  array(0) {
  }
}
string(35) "MASTERDOWN Link with MASTER is down"
string(27) "FAKESERVER script exhausted"
bool(false)
*2|$11|CLUSTERSCAN|$1|0|*3|$3|SET|$1|k|$1|v|*2|$3|GET|$1|k|
