--TEST--
Cluster full scan during a failover: a replica taking over behind the scan, or the primary being scanned going down, ends it with an exception rather than short; afterwards the same object and a new one find all 30,000 keys
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
        return get_class($e) . ': ' . preg_replace('/ \(.*$/', '', $e->getMessage());
    }
    $missing = count(array_diff_key($want, array_fill_keys($keys, true)));
    return $missing === 0 ? 'all keys' : "LOST $missing keys";
}

echo 'settled: ', fullscan($c), "\n";

// A replica takes over from a primary while the scan runs.
echo 'failover: ', fullscan($c, fn() => $t->failover($t->replicas[1])), "\n";
echo 'same object afterwards: ', fullscan($c), "\n";

// Every primary of the new layout goes down in turn would take long; one going down is enough:
// the scan meets it either scanning or at its next comparison of the layout.
$roles = $t->roles();
$victim = $roles['primaries'][count($roles['primaries']) - 1];
$outcome = fullscan($c, fn() => $t->kill($victim));
echo 'primary killed: ', str_starts_with($outcome, 'Kelvo\Exception: ') ? 'an exception' : $outcome, "\n";
$t->waitOk(120);
echo 'after the replica took over: ', fullscan(new Kelvo\Cluster(null, $t->live())), "\n";
?>
--EXPECT--
settled: all keys
failover: Kelvo\Exception: Cluster topology changed during full scan
same object afterwards: all keys
primary killed: an exception
after the replica took over: all keys
