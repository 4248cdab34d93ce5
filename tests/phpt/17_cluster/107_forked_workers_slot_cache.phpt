--TEST--
Forked workers start from their parent's slot cache: new objects in four children serve every shard without asking for the topology, and a cache invalidation in one child makes the parent's next object discover again, once
--EXTENSIONS--
kelvo
pcntl
--FILE--
<?php
require __DIR__ . '/../inc/cluster.inc';
$c = KelvoTestCluster::start();
$seeds = [$c->seeds[0]];

/* A key per shard. */
function shardKeys(KelvoTestCluster $c, string $prefix): array
{
    $keys = [];
    foreach ($c->primaries as $p) {
        for ($i = 0; $c->owner($c->keyslot("$prefix$i")) !== $p; $i++);
        $keys[] = "$prefix$i";
    }
    return $keys;
}
function discoveries(KelvoTestCluster $c): int
{
    $n = 0;
    foreach ($c->seeds as $e) {
        if (preg_match('/cmdstat_cluster\|shards:calls=(\d+)/', $c->must($e, 'INFO', 'commandstats'), $m)) {
            $n += (int) $m[1];
        }
    }
    return $n;
}
function resetStats(KelvoTestCluster $c): void
{
    foreach ($c->seeds as $e) {
        $c->must($e, 'CONFIG', 'RESETSTAT');
    }
}

$parent = new Kelvo\Cluster(null, $seeds);
var_dump($parent->set('parent', 'here'));
$childKeys = array_map(fn($n) => shardKeys($c, "child$n:"), range(0, 3));
resetStats($c);

$children = [];
for ($n = 0; $n < 4; $n++) {
    $pid = pcntl_fork();
    if ($pid === 0) {
        $ok = true;
        $k = new Kelvo\Cluster(null, $seeds);
        foreach ($childKeys[$n] as $key) {
            $ok = $ok && $k->set($key, "from $n") === true && $k->get($key) === "from $n";
        }
        $ok = $ok && $k->get('parent') === 'here';
        exit($ok ? 0 : 1);
    }
    $children[] = $pid;
}
foreach ($children as $pid) {
    pcntl_waitpid($pid, $status);
    var_dump(pcntl_wexitstatus($status));
}
echo "topology requests: ", discoveries($c), "\n";
foreach ($childKeys[2] as $key) {
    var_dump($c->must($c->owner($c->keyslot($key)), 'GET', $key));
}

echo "invalidated by a child:\n";
$pid = pcntl_fork();
if ($pid === 0) {
    exit(Kelvo\Cluster::invalidateSlotCaches() === true ? 0 : 1);
}
pcntl_waitpid($pid, $status);
var_dump(pcntl_wexitstatus($status));
$again = new Kelvo\Cluster(null, $seeds);
var_dump($again->get('parent'));
$once = discoveries($c);
$third = new Kelvo\Cluster(null, $seeds);
var_dump($third->get('parent'));
echo "topology requests: $once, then ", discoveries($c) - $once, "\n";
echo "done\n";
?>
--EXPECT--
bool(true)
int(0)
int(0)
int(0)
int(0)
topology requests: 0
string(6) "from 2"
string(6) "from 2"
string(6) "from 2"
invalidated by a child:
int(0)
string(4) "here"
string(4) "here"
topology requests: 1, then 0
done
