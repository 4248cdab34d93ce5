--TEST--
Cluster node-wide reads over 30,000 keys: KEYS gives every primary's keys in one list, a primary's keys together; SCAN on each primary and the full scan, with and without COUNT, find every key
--FILE--
<?php
require __DIR__ . '/../inc/cluster.inc';
$t = KelvoTestCluster::shared();
$c = new Kelvo\Cluster(null, $t->seeds);

// 300 hash tags of 100 keys: one MSET per tag.
$ns = 'nw150-' . getmypid();
$want = [];
for ($tag = 0; $tag < 300; $tag++) {
    $pairs = [];
    for ($i = 0; $i < 100; $i++) {
        $pairs["{{$ns}:$tag}:$i"] = $i;
    }
    $c->mset($pairs);
    $want += array_fill_keys(array_keys($pairs), true);
}
ksort($want);
$pattern = "{{$ns}:*";

// Which primary owns each key, from one CLUSTER SLOTS.
$ranges = $t->must($t->live()[0], 'CLUSTER', 'SLOTS');
$tagOwner = [];
function ownerOf(string $key): string
{
    global $t, $ranges, $tagOwner;
    $tag = substr($key, 0, strpos($key, '}') + 1);
    if (!isset($tagOwner[$tag])) {
        $slot = $t->keyslot($key);
        foreach ($ranges as $r) {
            if ($slot >= $r[0] && $slot <= $r[1]) {
                $tagOwner[$tag] = $t->endpoint($r[2][0], $r[2][1]);
            }
        }
    }
    return $tagOwner[$tag];
}

/* Every key of $want exactly once (repeats allowed), and the owners in contiguous runs. */
function report(string $what, array $keys): void
{
    global $want;
    $runs = [];
    $last = null;
    foreach ($keys as $k) {
        $o = ownerOf($k);
        if ($o !== $last) {
            $runs[] = $o;
            $last = $o;
        }
    }
    $unique = array_fill_keys($keys, true);
    ksort($unique);
    printf("%s: %s, %d primaries in %d runs\n", $what, $unique === $want ? 'all keys' : 'DIFFERENT',
           count(array_unique($runs)), count($runs));
}

report('keys', $c->keys($pattern));

$scanned = [];
foreach ($t->primaries as $p) {
    $it = null;
    while (($page = $c->scan($it, [KelvoTestCluster::hostOf($p), KelvoTestCluster::port($p)], $pattern, 1000)) !== false) {
        foreach ($page as $k) {
            if (ownerOf($k) !== $p) {
                echo "$k is not on $p\n";
            }
            $scanned[] = $k;
        }
    }
}
report('scan', $scanned);

foreach ([1000, 0] as $count) {
    $keys = [];
    foreach ($c->fullscan($pattern, $count) as $page) {
        array_push($keys, ...$page);
    }
    report("fullscan count $count", $keys);
}
$c->del(array_keys($want));
?>
--EXPECT--
keys: all keys, 3 primaries in 3 runs
scan: all keys, 3 primaries in 3 runs
fullscan count 1000: all keys, 3 primaries in 3 runs
fullscan count 0: all keys, 3 primaries in 3 runs
