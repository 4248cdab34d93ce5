--TEST--
WATCH holds across nodes: a key watched on one node and changed by another client aborts the transaction on every node, also on nodes the transaction never touched and when the watched node had no command of its own; exec() reports "Transaction failed" (thrown under throw-on-error once every node is done) and nothing of the transaction is written; unwatch() reaches every watching node
--EXTENSIONS--
kelvo
--FILE--
<?php
require __DIR__ . '/../inc/cluster.inc';
$c = KelvoTestCluster::shared();
$t = uniqid('watch:');
/* Keys of this test on a given primary, all of one slot there (a node's transaction keeps to one slot). */
$tags = [];
$on = function (int $primary, string $name) use ($c, $t, &$tags): string {
    for ($i = 0; !isset($tags[$primary]); $i++) {
        if ($c->owner($c->keyslot("$t:$i")) === $c->primaries[$primary]) {
            $tags[$primary] = "$t:$i";
        }
    }
    return "{{$tags[$primary]}}$name";
};
[$a, $b, $d] = [$on(0, 'a'), $on(1, 'b'), $on(2, 'd')];
/* Another client's write, straight to the key's owner. */
$touch = fn(string $key) => $c->must($c->owner($c->keyslot($key)), 'SET', $key, 'other');
$clear = fn() => $c->must($c->primaries[0], 'DEL', $a) + $c->must($c->primaries[1], 'DEL', $b)
    + $c->must($c->primaries[2], 'DEL', $d);

$cases = [
    /* name => [options, watched keys, key changed by the other client or null, the transaction] */
    'watched node queues too, untouched' => [[], [$a], null, fn($k) => $k->multi()->set($a, '1')->set($b, '2')],
    'watched node queues too, touched' => [[], [$a], $a, fn($k) => $k->multi()->set($a, '1')->set($b, '2')],
    'watched node has no command, untouched' => [[], [$a], null, fn($k) => $k->multi()->set($b, '1')->set($d, '2')],
    'watched node has no command, touched' => [[], [$a], $a, fn($k) => $k->multi()->set($b, '1')->set($d, '2')],
    'two watched nodes, the second touched' => [[], [$a, $d], $d, fn($k) => $k->multi()->set($b, '1')],
    'touched under throw-on-error' => [['throw-on-error' => true], [$b], $b,
        fn($k) => $k->multi()->set($a, '1')->set($b, '2')->set($d, '3')],
];
foreach ($cases as $name => [$options, $watched, $touched, $transaction]) {
    $clear();
    $k = new Kelvo\Cluster(null, $c->seeds, 0, 0, false, null, ['use-cache' => false] + $options);
    foreach ($watched as $key) {
        $k->watch($key);
    }
    if ($touched !== null) {
        $touch($touched);
    }
    try {
        $result = json_encode($transaction($k)->exec());
    } catch (Kelvo\Exception $e) {
        $result = 'thrown ' . $e->getMessage();
    }
    $written = array_filter([$a, $b, $d], fn($key) => $c->must($c->owner($c->keyslot($key)), 'GET', $key) !== null
        && $key !== $touched);
    echo "$name: $result, last error ", json_encode($k->getLastError()), ", written ", count($written), "\n";
    /* Nothing is left in a transaction or watched: a plain write goes through. */
    var_dump($k->set($a, 'after'), $k->get($a));
}

echo "-- unwatch\n";
$clear();
$k = new Kelvo\Cluster(null, $c->seeds, 0, 0, false, null, ['use-cache' => false]);
$k->watch($a);
$k->watch($d);
var_dump($k->unwatch());
$touch($a);
$touch($d);
echo json_encode($k->multi()->set($b, 'b')->exec()), "\n";
var_dump($k->unwatch());
?>
--EXPECTF--
watched node queues too, untouched: [true,true], last error null, written 2
bool(true)
string(5) "after"
watched node queues too, touched: false, last error "Transaction failed", written 0
bool(true)
string(5) "after"
watched node has no command, untouched: [true,true], last error null, written 2
bool(true)
string(5) "after"
watched node has no command, touched: false, last error "Transaction failed", written 0
bool(true)
string(5) "after"
two watched nodes, the second touched: false, last error "Transaction failed", written 0
bool(true)
string(5) "after"
touched under throw-on-error: thrown Transaction failed%s, last error null, written 0
bool(true)
string(5) "after"
-- unwatch
bool(true)
[true]
bool(true)
