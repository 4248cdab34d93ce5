--TEST--
Redirections: MOVED to an address the topology did not name makes a node (with the settings given before it existed) and moves the slot; an address without a host is the replying node's; ASK sends ASKING with the command to the target once and leaves the slot where it was; a redirect loop ends after 16 hops; CLUSTERDOWN is the command's error
--EXTENSIONS--
kelvo
--FILE--
<?php
require __DIR__ . '/../inc/fakecluster.inc';
/* Slots of the keys used below, by the cluster's CRC-16 rule. */
$slot = ['foo' => 12182, 'bar' => 5061];
$f = new FakeCluster(['a', 'b']);
$topology = $f->shards([['slots' => [[0, 16383]], 'nodes' => [['a']]]]);
$b = $f->endpoint('b');
$f->start([
    'a' => array_merge(FakeCluster::handshake(), [
        'on CLUSTER SHARDS', FakeCluster::reply($topology),
        'on GET foo', FakeCluster::reply("-MOVED {$slot['foo']} $b\r\n"),
        'on GET bar', FakeCluster::reply("-ASK {$slot['bar']} $b\r\n"),
        'on GET ser', FakeCluster::reply("-MOVED 7000 $b\r\n"),
        'on GET loop', FakeCluster::reply("-MOVED 1 $b\r\n"),
        'on GET empty', FakeCluster::reply("-MOVED 2 :{$f->ports['b']}\r\n"),
        'on GET down', 'reply -CLUSTERDOWN The cluster is down\r\n',
    ]),
    'b' => array_merge(FakeCluster::handshake(), [
        'on ASKING', 'reply +OK\r\n',
        'on GET foo', 'reply $6\r\nfrom b\r\n',
        'on GET bar', 'reply $7\r\nasked b\r\n',
        'on GET empty', 'reply $7\r\nempty b\r\n',
        'on GET ser', FakeCluster::reply(kelvo_resp3(serialize(['x' => 1]))),
        'on GET loop', FakeCluster::reply("-MOVED 1 {$f->endpoint('a')}\r\n"),
    ]),
]);
$seeds = [$f->endpoint('a')];
$k = new Kelvo\Cluster(null, $seeds, 0, 0, false, null, ['use-cache' => false]);
var_dump($k->get('foo'), $k->get('foo'));
var_dump($k->get('bar'), $k->get('bar'));
/* An address without a host names the host of the node that replied. */
var_dump($k->get('empty'));
$calls = fn($node, $what) => substr_count($f->received($node), $what);
echo "a saw GET foo ", $calls('a', 'GET|$3|foo'), "x, GET bar ", $calls('a', 'GET|$3|bar'), "x\n";
echo "b saw ASKING before each GET bar: ", $calls('b', 'ASKING|*2|$3|GET|$3|bar') === 2 ? 'yes' : 'no', "\n";

/* A node made by a redirection decodes with the serializer the object was given. */
$s = new Kelvo\Cluster(null, $seeds, 0, 0, false, null, ['use-cache' => false, 'serializer' => Kelvo\Kelvo::SERIALIZER_PHP]);
var_dump($s->get('ser'));

$t = new Kelvo\Cluster(null, $seeds, 0, 0, false, null, ['use-cache' => false, 'throw-on-error' => true]);
foreach (['loop', 'down'] as $key) {
    try {
        var_dump($t->get($key));
    } catch (Kelvo\Exception $e) {
        echo $key, ': ', preg_replace('/ \(.*/', '', $e->getMessage()), "\n";
    }
}
echo "hops of the loop: ", $calls('a', 'GET|$4|loop') + $calls('b', 'GET|$4|loop') - 1, "\n";
var_dump($k->get('down'));
?>
--EXPECT--
string(6) "from b"
string(6) "from b"
string(7) "asked b"
string(7) "asked b"
string(7) "empty b"
a saw GET foo 1x, GET bar 2x
b saw ASKING before each GET bar: yes
array(1) {
  ["x"]=>
  int(1)
}
loop: Too many cluster redirections
down: CLUSTERDOWN The cluster is down
hops of the loop: 16
bool(false)
