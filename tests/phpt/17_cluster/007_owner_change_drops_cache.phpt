--TEST--
A slot that changes owner: the old owner's cached entries of that slot are dropped from the shared cache, so an object that still maps the slot to the old owner asks again instead of answering from its copy; entries of other slots stay
--EXTENSIONS--
kelvo
--INI--
kelvo.maxmemory=16777216
--FILE--
<?php
require __DIR__ . '/../inc/fakecluster.inc';
/* "foo" and "{foo}x" share slot 12182; "bar" is in slot 5061. */
$f = new FakeCluster(['a', 'b']);
$topology = $f->shards([['slots' => [[0, 16383]], 'nodes' => [['a']]]]);
$b = $f->endpoint('b');
$f->start([
    'a' => array_merge(FakeCluster::handshake(), [
        'on CLUSTER SHARDS', FakeCluster::reply($topology),
        'on x1 GET foo', 'reply $3\r\nold\r\n',
        'on GET foo', FakeCluster::reply("-MOVED 12182 $b\r\n"),
        'on x1 GET bar', 'reply $3\r\nbar\r\n',
        'on SET', FakeCluster::reply("-MOVED 12182 $b\r\n"),
    ]),
    'b' => array_merge(FakeCluster::handshake(), [
        'on GET foo', 'reply $3\r\nnew\r\n', 'on SET', 'reply +OK\r\n',
    ]),
]);
$seeds = [$f->endpoint('a')];
$stale = new Kelvo\Cluster(null, $seeds);
$mover = new Kelvo\Cluster(null, $seeds);
var_dump($stale->get('foo'), $stale->get('foo'), $stale->get('bar'));
/* The other object learns that the slot moved. */
var_dump($mover->set('{foo}x', 1));
var_dump($stale->get('foo'), $stale->get('bar'));
echo "GET foo that a took: ", substr_count($f->received('a'), 'GET|$3|foo'), "\n";
?>
--EXPECT--
string(3) "old"
string(3) "old"
string(3) "bar"
bool(true)
string(3) "new"
string(3) "bar"
GET foo that a took: 2
