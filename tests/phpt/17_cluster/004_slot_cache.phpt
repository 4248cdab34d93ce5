--TEST--
The slot cache: a later object of the same seeds (in any order) starts without asking for the topology; invalidateSlotCaches(), the expiry and a redirection that moves a slot make the next object ask again
--EXTENSIONS--
kelvo
--FILE--
<?php
require __DIR__ . '/../inc/fakecluster.inc';
$f = new FakeCluster(['a', 'b']);
$topology = $f->shards([['slots' => [[0, 16383]], 'nodes' => [['a'], ['b', 'replica']]]]);
$node = fn($name) => array_merge(FakeCluster::handshake(), [
    'on CLUSTER SHARDS', FakeCluster::reply($topology),
    'on GET foo', $name === 'a' ? FakeCluster::reply("-MOVED 12182 {$f->endpoint('b')}\r\n") : 'reply $1\r\nb\r\n',
    'on GET', 'reply $1\r\nv\r\n',
]);
$f->start(['a' => $node('a'), 'b' => $node('b')]);
$asked = 0;
function topologyReads(FakeCluster $f): int
{
    global $asked;
    $now = substr_count($f->received('a') . $f->received('b'), 'SHARDS');
    [$new, $asked] = [$now - $asked, $now];
    return $new;
}
$make = fn(array $seeds) => new Kelvo\Cluster(null, $seeds, 0, 0, false, null, ['use-cache' => false]);
$ab = [$f->endpoint('a'), $f->endpoint('b')];

$steps = [
    'first object' => fn() => $make($ab)->get('k'),
    'same seeds' => fn() => $make($ab)->get('k'),
    'same seeds, other order' => fn() => $make(array_reverse($ab))->get('k'),
    'other seeds' => fn() => $make([$f->endpoint('b')])->get('k'),
    'after invalidateSlotCaches()' => function () use ($make, $ab) {
        var_dump(Kelvo\Cluster::invalidateSlotCaches());
        return $make($ab)->get('k');
    },
    'again' => fn() => $make($ab)->get('k'),
    'a MOVED on an object' => fn() => $make($ab)->get('foo'),
    'after the MOVED' => fn() => $make($ab)->get('k'),
    'with a one-second expiry' => function () use ($make, $ab) {
        ini_set('kelvo.cluster.slot_cache_expiry', '1');
        Kelvo\Cluster::invalidateSlotCaches();
        return $make($ab)->get('k');
    },
    'within the second' => fn() => $make($ab)->get('k'),
    'two seconds later' => function () use ($make, $ab) {
        sleep(2);
        return $make($ab)->get('k');
    },
];
foreach ($steps as $name => $step) {
    $value = $step();
    printf("%s: %s, topology read %d time(s)\n", $name, $value, topologyReads($f));
}
?>
--EXPECT--
first object: v, topology read 1 time(s)
same seeds: v, topology read 0 time(s)
same seeds, other order: v, topology read 0 time(s)
other seeds: v, topology read 1 time(s)
bool(true)
after invalidateSlotCaches(): v, topology read 1 time(s)
again: v, topology read 0 time(s)
a MOVED on an object: b, topology read 0 time(s)
after the MOVED: v, topology read 1 time(s)
with a one-second expiry: v, topology read 1 time(s)
within the second: v, topology read 0 time(s)
two seconds later: v, topology read 1 time(s)
