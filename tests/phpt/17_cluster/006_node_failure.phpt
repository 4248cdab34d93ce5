--TEST--
A node that fails under a command: the topology is read again from another known node and the command follows the slot's new owner when it only reads; a write that may have reached the failed node is reported and never sent again, and the next command goes to the new owner
--EXTENSIONS--
kelvo
--FILE--
<?php
require __DIR__ . '/../inc/fakecluster.inc';
$f = new FakeCluster(['a', 'b']);
$before = $f->shards([['slots' => [[0, 16383]], 'nodes' => [['a'], ['b', 'replica']]]]);
$after = $f->shards([['slots' => [[0, 16383]], 'nodes' => [['b'], ['a', 'replica', 'failed']]]]);
$f->start([
    /* Takes each request and dies with it, as a primary killed under load. */
    'a' => array_merge(FakeCluster::handshake(), [
        'on CLUSTER SHARDS', FakeCluster::reply($before), 'on SET', 'close', 'on GET', 'close',
    ]),
    'b' => array_merge(FakeCluster::handshake(), [
        'on CLUSTER SHARDS', FakeCluster::reply($after), 'on SET', 'reply +OK\r\n', 'on GET', 'reply $4\r\nfrom\r\n',
    ]),
]);
$ctx = ['use-cache' => false, 'max-retries' => 0, 'throw-on-error' => true];
$seeds = [$f->endpoint('a')];
$write = new Kelvo\Cluster(null, $seeds, 0, 0, false, null, $ctx);
try {
    var_dump($write->set('k', 'v'));
} catch (Kelvo\Exception $e) {
    echo "the write failed: code ", $e->getCode(), "\n";
}
echo "the write reached b: ", str_contains($f->received('b'), '$3|SET|') ? 'yes' : 'no', "\n";
var_dump($write->get('k'));

/* A fresh object from the seed learns the old topology; its read asks again (once the cluster's
 * last refresh is 250 ms old) and follows the new owner. */
Kelvo\Cluster::invalidateSlotCaches();
$read = new Kelvo\Cluster(null, $seeds, 0, 0, false, null, $ctx);
var_dump($read->get('k'));
echo "GETs that a took: ", substr_count($f->received('a'), 'GET'), "\n";
?>
--EXPECT--
the write failed: code 3
the write reached b: no
string(4) "from"
string(4) "from"
GETs that a took: 1
