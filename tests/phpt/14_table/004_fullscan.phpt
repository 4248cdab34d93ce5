--TEST--
Kelvo\Table::fullscan(): batches of live key names numbered from 0 across namespaces, a match pattern, an empty table, and a generator that cannot be cloned, rewound by reference or misused
--EXTENSIONS--
kelvo
--FILE--
<?php
use Kelvo\Table;

echo "an empty table yields nothing:\n";
var_dump(iterator_to_array(Table::fullscan()));

Table::set('a', 1);
Table::set('b', 2);
Table::set('c', 3);
$names = function (array $batches): string {
    $all = array_merge(...array_values($batches));
    sort($all);
    return count($batches) . ' batches [' . implode(' ', array_map('count', $batches)) . '] ' . implode(',', $all);
};
echo "count 2 over three keys:\n";
$g = Table::fullscan(null, 2);
var_dump($g instanceof Kelvo\Table\FullscanGenerator, $g instanceof Generator);
foreach ($g as $i => $batch) {
    echo "$i: ", count($batch), "\n";
}
echo "ended: ", json_encode(iterator_to_array($g)), "\n";
echo "no count: ", $names(iterator_to_array(Table::fullscan())), "\n";

echo "across namespaces, with a pattern:\n";
for ($i = 0; $i < 50; $i++) {
    Table::set("user:$i", $i, null, 'users');
    Table::set("item:$i", $i, null, 'items');
}
Table::set('user:gone', 1, 1, 'users');
usleep(1100000);
$batches = iterator_to_array(Table::fullscan('user:*', 7));
echo $names($batches) === '8 batches [7 7 7 7 7 7 7 1] ' . implode(',', (function () {
    $k = array_map(fn($i) => "user:$i", range(0, 49));
    sort($k);
    return $k;
})()) ? "50 user keys in 8 batches, the expired one left out\n" : $names($batches) . "\n";
$total = 0;
foreach (Table::fullscan(null, 10) as $batch) {
    $total += count($batch);
}
var_dump($total);
var_dump(count(iterator_to_array(Table::fullscan('*:1?', 0))[0]));

echo "a key stored between steps is listed at most once:\n";
$seen = [];
foreach (Table::fullscan(null, 3) as $batch) {
    foreach ($batch as $k) {
        $seen[$k] = ($seen[$k] ?? 0) + 1;
    }
    static $n = 0;
    if ($n++ < 20) {
        for ($j = 0; $j < 40; $j++) {
            Table::set("grow:$n:$j", $j, null, 'items');
        }
    }
}
var_dump(max($seen), count(array_filter(array_keys($seen), fn($k) => !str_starts_with($k, 'grow:'))));

echo "misuse:\n";
$g = Table::fullscan();
try {
    $copy = clone $g;
} catch (Error $e) {
    echo get_class($e), ': ', $e->getMessage(), "\n";
}
try {
    foreach (Table::fullscan() as &$batch) {
    }
} catch (Error $e) {
    echo get_class($e), ': ', $e->getMessage(), "\n";
}
try {
    serialize($g);
} catch (Exception $e) {
    echo get_class($e), ': ', $e->getMessage(), "\n";
}
var_dump($g->valid(), $g->current(), $g->key());
$g->next();
try {
    $g->rewind();
} catch (Exception $e) {
    echo get_class($e), ': ', $e->getMessage(), "\n";
}
var_dump(Table::fullscan(count: -3) instanceof Generator);
foreach (Table::fullscan(null, 5) as $batch) {
    break; // dropped before the end
}
unset($g);
echo "done\n";
?>
--EXPECT--
an empty table yields nothing:
array(0) {
}
count 2 over three keys:
bool(true)
bool(true)
0: 2
1: 1
ended: []
no count: 1 batches [3] a,b,c
across namespaces, with a pattern:
50 user keys in 8 batches, the expired one left out
int(103)
int(20)
a key stored between steps is listed at most once:
int(1)
int(103)
misuse:
Error: Trying to clone an uncloneable object of class Kelvo\Table\FullscanGenerator
Error: An iterator cannot be used with foreach by reference
Exception: Serialization of 'Kelvo\Table\FullscanGenerator' is not allowed
bool(false)
NULL
NULL
Exception: Cannot rewind a generator that was already run
bool(true)
done
