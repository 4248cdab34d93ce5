--TEST--
Forked workers share a namespace: each sees what the others stored, replaced and removed, no key is lost while the set grows under concurrent writers, and the counts agree
--EXTENSIONS--
kelvo
pcntl
--INI--
kelvo.maxmemory=64M
--FILE--
<?php
require __DIR__ . '/../09_cache/workers.inc';
use Kelvo\Table;

const WORKERS = 6;
const KEYS = 3000;

Table::set('shared', ['from' => 'parent'], null, 'w');
$gate = new StartingGate();
$workers = new Workers();
for ($i = 0; $i < WORKERS; $i++) {
    $workers->start($i, function (int $me) use ($gate) {
        $gate->wait();
        $duplicates = 0;
        $missing = 0;
        for ($k = 0; $k < KEYS; $k++) {
            Table::set("w$me:$k", ['worker' => $me, 'k' => $k], null, 'w');
            if ($k % 10 === 9) {
                Table::delete("w$me:" . ($k - 5), 'w');
            }
            if ($k % 500 === 0) {
                $keys = Table::keys('*', 'w');
                $duplicates += count($keys) - count(array_unique($keys));
                $missing += in_array('shared', $keys, true) ? 0 : 1;
                foreach (Table::fullscan('w*', 97) as $batch) {
                    $missing += count($batch) > 97 ? 1 : 0;
                }
            }
        }
        return json_encode([
            'own' => Table::get("w$me:100", 'w'), 'parent' => Table::get('shared', 'w')['from'],
            'duplicates' => $duplicates, 'missing' => $missing,
        ]);
    });
}
$gate->open();
foreach ($workers->finish() as $i => $line) {
    $r = json_decode($line, true);
    printf("worker %d: own=%s parent=%s duplicates=%d missing=%d\n", $i, json_encode($r['own']), $r['parent'],
           $r['duplicates'], $r['missing']);
}

$expected = 1 + WORKERS * (KEYS - KEYS / 10);
$keys = Table::keys('*', 'w');
var_dump(count($keys) === $expected, count(array_unique($keys)) === $expected, Table::count('w') === $expected,
         Table::stats()['total_keys'] === $expected, Table::namespaces()['w'] === $expected);
$scanned = 0;
foreach (Table::fullscan(null, 1000) as $batch) {
    $scanned += count($batch);
}
var_dump($scanned === $expected);
$lost = 0;
for ($i = 0; $i < WORKERS; $i++) {
    for ($k = 0; $k < KEYS; $k++) {
        $removed = $k % 10 === 4;
        $v = Table::get("w$i:$k", 'w');
        $lost += $removed ? ($v !== false) : ($v !== ['worker' => $i, 'k' => $k]);
    }
}
var_dump($lost);

echo "a child's replacement and removal reach the parent:\n";
$workers->start(0, function () {
    Table::set('shared', 'replaced by a child', null, 'w');
    Table::delete('w0:0', 'w');
    return Table::clear('other') ? 'ok' : 'failed';
});
var_dump($workers->finish(), Table::get('shared', 'w'), Table::exists('w0:0', 'w'));
?>
--EXPECT--
worker 0: own={"worker":0,"k":100} parent=parent duplicates=0 missing=0
worker 1: own={"worker":1,"k":100} parent=parent duplicates=0 missing=0
worker 2: own={"worker":2,"k":100} parent=parent duplicates=0 missing=0
worker 3: own={"worker":3,"k":100} parent=parent duplicates=0 missing=0
worker 4: own={"worker":4,"k":100} parent=parent duplicates=0 missing=0
worker 5: own={"worker":5,"k":100} parent=parent duplicates=0 missing=0
bool(true)
bool(true)
bool(true)
bool(true)
bool(true)
bool(true)
int(0)
a child's replacement and removal reach the parent:
array(1) {
  [0]=>
  string(2) "ok"
}
string(19) "replaced by a child"
bool(false)
