--TEST--
Cluster full scan during a reshard: slots that moved behind the scan, or a migration left open, end it with "Cluster topology changed during full scan"; under a live reshard every run either finds all 30,000 keys or throws, none ends short
--EXTENSIONS--
kelvo
--FILE--
<?php
require __DIR__ . '/../inc/cluster.inc';
$t = KelvoTestCluster::start();
$c = new Kelvo\Cluster(null, $t->seeds);

$want = [];
for ($tag = 0; $tag < 300; $tag++) {
    $pairs = [];
    for ($i = 0; $i < 100; $i++) {
        $pairs["{t$tag}:$i"] = $i;
    }
    $c->mset($pairs);
    $want += array_fill_keys(array_keys($pairs), true);
}
ksort($want);

/* A full scan: "all keys", "LOST n keys", or the exception's message; $afterFirst runs after the first page. */
function fullscan(Kelvo\Cluster $c, ?callable $afterFirst = null): string
{
    global $want;
    $keys = [];
    try {
        foreach ($c->fullscan('{t*', 1000) as $n => $page) {
            array_push($keys, ...$page);
            if ($n === 0 && $afterFirst) {
                $afterFirst();
            }
        }
    } catch (Kelvo\Exception $e) {
        return preg_replace('/ \(.*$/', '', $e->getMessage());
    }
    $missing = count(array_diff_key($want, array_fill_keys($keys, true)));
    return $missing === 0 ? 'all keys' : "LOST $missing keys";
}

echo 'settled: ', fullscan($c), "\n";

// Slots with keys move from one primary to another while the scan runs.
[$p0, $p1, $p2] = $t->primaries;
$moved = 0;
echo 'slots moved: ', fullscan($c, function () use ($t, $p2, $p0, &$moved) {
    $moved = $t->moveSlots($p2, $p0, 10923, 10999, 0, null, 20);
}), "\n";
var_dump($moved > 0);
echo 'afterwards: ', fullscan($c), "\n";

// A migration begun and not finished: keys may be on either side.
$slot = $t->keyslot('{t7}');
$owner = $t->owner($slot);
$target = $owner === $p1 ? $p2 : $p1;
echo 'migration open: ', fullscan($c, fn() => $t->beginMigration($slot, $owner, $target)), "\n";
$t->migrateKeys($slot, $owner, $target);
$t->finishMigration($slot, $owner, $target);
echo 'migration done: ', fullscan($c), "\n";

// A live reshard in another process: no run ends short.
$reshard = $t->moveSlotsInBackground($p1, $p2, 5461, 7460, 0, 20);
$outcomes = [];
do {
    $outcomes[fullscan($c)] = true;
} while ($reshard->running());
var_dump($reshard->wait() > 0);
/* Whether a run finished or met the change depends on the pace; ending short never happens. */
$short = array_filter(array_keys($outcomes),
                      fn($o) => $o !== 'all keys' && $o !== 'Cluster topology changed during full scan');
echo 'under a live reshard: ', $short ? implode(' | ', $short) : 'no run ended short', "\n";
echo 'after it: ', fullscan($c), "\n";
echo 'a new object: ', fullscan(new Kelvo\Cluster(null, $t->seeds)), "\n";
?>
--EXPECT--
settled: all keys
slots moved: Cluster topology changed during full scan
bool(true)
afterwards: all keys
migration open: Cluster topology changed during full scan
migration done: all keys
bool(true)
under a live reshard: no run ended short
after it: all keys
a new object: all keys
