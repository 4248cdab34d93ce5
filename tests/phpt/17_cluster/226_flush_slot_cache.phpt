--TEST--
flushSlotCache() drops this process's slot map of the object's seeds: the next object of those seeds asks for the topology again, the object itself keeps working, a second call finds nothing to drop, and another object of the same seeds learns that its record is gone
--EXTENSIONS--
kelvo
--FILE--
<?php
require __DIR__ . '/../inc/fakecluster.inc';
$f = new FakeCluster(['a', 'b']);
$topology = $f->shards([['slots' => [[0, 16383]], 'nodes' => [['a'], ['b', 'replica']]]]);
$node = fn() => array_merge(FakeCluster::handshake(), [
    'on CLUSTER SHARDS', FakeCluster::reply($topology),
    'on GET', 'reply $1\r\nv\r\n',
]);
$f->start(['a' => $node(), 'b' => $node()]);
$asked = 0;
function topologyReads(FakeCluster $f): int
{
    global $asked;
    $now = substr_count($f->received('a') . $f->received('b'), 'SHARDS');
    [$new, $asked] = [$now - $asked, $now];
    return $new;
}
$make = fn() => new Kelvo\Cluster(null, [$f->endpoint('a'), $f->endpoint('b')], 0, 0, false, null, ['use-cache' => false]);

$first = $make();
$second = $make();
$third = null;
$steps = [
    'two objects' => fn() => null,
    'the second drops the record' => fn() => $second->flushSlotCache(),
    'the second again' => fn() => $second->flushSlotCache(),
    'the first, whose record is gone' => fn() => $first->flushSlotCache(),
    'both still read' => fn() => $first->get('k') . $second->get('k'),
    'a third object' => function () use ($make, &$third) {
        $third = $make();
        return $third->get('k');
    },
    'a fourth object' => fn() => $make()->get('k'),
    'the third drops the record' => function () use (&$third) {
        return $third->flushSlotCache();
    },
    'a fifth object' => fn() => $make()->get('k'),
];
foreach ($steps as $name => $step) {
    $result = $step();
    printf("%s: %s, topology read %d time(s)\n", $name, var_export($result, true), topologyReads($f));
}
?>
--EXPECT--
two objects: NULL, topology read 1 time(s)
the second drops the record: true, topology read 0 time(s)
the second again: true, topology read 0 time(s)
the first, whose record is gone: false, topology read 0 time(s)
both still read: 'vv', topology read 0 time(s)
a third object: 'v', topology read 1 time(s)
a fourth object: 'v', topology read 0 time(s)
the third drops the record: true, topology read 0 time(s)
a fifth object: 'v', topology read 1 time(s)
