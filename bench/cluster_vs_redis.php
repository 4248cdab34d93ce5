<?php
// Kelvo\Cluster against the `redis` extension's RedisCluster on one six-node cluster the harness
// starts for the run (its slot cache on, as kelvo's is): GET and SET of keys on one node and
// spread over the three primaries, MGET and MSET of ten keys spread, a transaction of three SETs
// on the three primaries, a new object and its first GET, and a cached GET hit through the cluster against the same hit through Kelvo\Kelvo on one
// server. Seven rounds of each row, alternating clients, after checking both return the same.
// Then the node-wide reads over 30,000 keys: KEYS over the three primaries against the peer's
// keys(), and kelvo's full scan against a loop of kelvo's own SCAN over each primary (the full
// scan's checks of the layout should cost at most a tenth).
// Prints operations per second, CPU time per operation and kelvo's ratios (the peer's time over
// kelvo's: above 1 is faster).
//   php -n -d extension=igbinary -d extension=msgpack -d extension=redis \
//       -d extension=modules/kelvo.so bench/cluster_vs_redis.php [operations]
require dirname(__DIR__) . '/tests/phpt/inc/cluster.inc';
require dirname(__DIR__) . '/tests/phpt/inc/own_server.inc';
$ops = (int) ($argv[1] ?? 50000);
$rounds = 7;
ini_set('redis.clusters.cache_slots', '1');

$cluster = KelvoTestCluster::start();
$seeds = $cluster->seeds;

/* Ten keys per primary. */
$byNode = array_fill_keys($cluster->primaries, []);
for ($i = 0; min(array_map('count', $byNode)) < 10; $i++) {
    $owner = $cluster->owner($cluster->keyslot("bench:$i"));
    if (count($byNode[$owner]) < 10) {
        $byNode[$owner][] = "bench:$i";
    }
}
$one = $byNode[$cluster->primaries[0]];
$spread = [];
for ($i = 0; $i < 10; $i++) {
    $spread[] = $byNode[$cluster->primaries[$i % 3]][intdiv($i, 3)];
}
$pairs = array_combine($spread, array_map(fn($key) => "value of $key", $spread));

$k = new Kelvo\Cluster(null, $seeds, 0, 0, false, null, ['use-cache' => false]);
$p = new RedisCluster(null, $seeds);
foreach ([...$one, ...$spread] as $key) {
    $p->set($key, "value of $key");
}

/* Rows: name => [kelvo call, peer call]; $i is the operation number. */
$rows = [
    'GET one node' => [fn($i) => $k->get($one[$i % 10]), fn($i) => $p->get($one[$i % 10])],
    'SET one node' => [fn($i) => $k->set($one[$i % 10], 'v'), fn($i) => $p->set($one[$i % 10], 'v')],
    'GET 3 nodes' => [fn($i) => $k->get($spread[$i % 10]), fn($i) => $p->get($spread[$i % 10])],
    'SET 3 nodes' => [fn($i) => $k->set($spread[$i % 10], "value of {$spread[$i % 10]}"),
                      fn($i) => $p->set($spread[$i % 10], "value of {$spread[$i % 10]}")],
    'MGET 10 spread' => [fn($i) => $k->mget($spread), fn($i) => $p->mget($spread)],
    'MSET 10 spread' => [fn($i) => $k->mset($pairs), fn($i) => $p->mset($pairs)],
    'MULTI 3 SETs 3 nodes' => [fn($i) => $k->multi()->set($spread[0], 'v')->set($spread[1], 'v')->set($spread[2], 'v')->exec(),
                               fn($i) => $p->multi()->set($spread[0], 'v')->set($spread[1], 'v')->set($spread[2], 'v')->exec()],
    'new + first GET' => [fn($i) => (new Kelvo\Cluster(null, $seeds, 0, 0, false, null, ['use-cache' => false]))->get($one[0]),
                          fn($i) => (new RedisCluster(null, $seeds))->get($one[0])],
];

/* The cached hit: through the cluster, and through one server holding the same value, on a key of its
 * own (the rows above write theirs). */
$hitKey = 'bench:cached-hit';
$server = new OwnServer();
$single = new Kelvo\Kelvo('127.0.0.1', $server->port);
$single->set($hitKey, "value of $hitKey");
$cached = new Kelvo\Cluster(null, $seeds);
$cached->set($hitKey, "value of $hitKey");
$cached->get($hitKey);
$single->get($hitKey);
$hits = ['GET hit cluster/single' => [fn($i) => $cached->get($hitKey), fn($i) => $single->get($hitKey)]];

function cpu(): float
{
    $u = getrusage();
    return $u['ru_utime.tv_sec'] + $u['ru_utime.tv_usec'] / 1e6 + $u['ru_stime.tv_sec'] + $u['ru_stime.tv_usec'] / 1e6;
}

function compare(array $rows, int $ops, int $rounds, string $peer): void
{
    printf("%-24s %12s %12s %10s %10s %7s %7s\n", 'row', 'kelvo op/s', "$peer op/s", 'kelvo us', "$peer us", 'tput', 'cpu');
    foreach ($rows as $name => $calls) {
        if ($calls[0](0) !== $calls[1](0)) {
            echo "$name: results differ\n";
            continue;
        }
        $n = str_starts_with($name, 'new') ? max(1, intdiv($ops, 10)) : $ops;
        $t = [[0, 0], [0, 0]];
        for ($r = 0; $r < $rounds; $r++) {
            foreach ([0, 1] as $who) {
                $wall = hrtime(true);
                $c = cpu();
                for ($i = 0; $i < $n; $i++) {
                    $calls[$who]($i);
                }
                $t[$who][0] += (hrtime(true) - $wall) / 1e9;
                $t[$who][1] += cpu() - $c;
            }
        }
        $total = $n * $rounds;
        printf("%-24s %12.0f %12.0f %10.2f %10.2f %7.2f %7.2f\n", $name, $total / $t[0][0], $total / $t[1][0],
               $t[0][1] / $total * 1e6, $t[1][1] / $total * 1e6, $t[1][0] / $t[0][0], $t[1][1] / max($t[0][1], 1e-9));
    }
}

compare($rows, $ops, $rounds, 'redis');
compare($hits, $ops, $rounds, 'single');

/* Node-wide reads over 30,000 keys: 300 hash tags of 100 keys. */
for ($tag = 0; $tag < 300; $tag++) {
    $batch = [];
    for ($i = 0; $i < 100; $i++) {
        $batch["nw:{t$tag}:$i"] = $i;
    }
    $k->mset($batch);
}
$nodes = array_map(fn($e) => [KelvoTestCluster::hostOf($e), KelvoTestCluster::port($e)], $cluster->primaries);

function sorted(array $keys): array
{
    sort($keys);
    return $keys;
}

function manualScan(Kelvo\Cluster $k, array $nodes, int $count): array
{
    $keys = [];
    foreach ($nodes as $node) {
        $it = null;
        while (($page = $k->scan($it, $node, 'nw:*', $count)) !== false) {
            array_push($keys, ...$page);
        }
    }
    return $keys;
}

function fullScan(Kelvo\Cluster $k, int $count): array
{
    $keys = [];
    foreach ($k->fullscan('nw:*', $count) as $page) {
        array_push($keys, ...$page);
    }
    return $keys;
}

/* Seconds of wall time per call for each of two calls, alternating which goes first, over the rounds. */
function timePair(callable $a, callable $b, int $rounds): array
{
    $t = [0.0, 0.0];
    for ($r = 0; $r < $rounds; $r++) {
        foreach ($r % 2 ? [1 => $b, 0 => $a] : [0 => $a, 1 => $b] as $who => $call) {
            $wall = hrtime(true);
            $call();
            $t[$who] += (hrtime(true) - $wall) / 1e9;
        }
    }
    return [$t[0] / $rounds, $t[1] / $rounds];
}

$want = count(array_unique(sorted($k->keys('nw:*'))));
printf("\n%-34s %12s %12s %7s\n", 'node-wide row (30,000 keys)', 'kelvo ms', 'peer ms', 'ratio');
if (sorted($k->keys('nw:*')) !== sorted($p->keys('nw:*')) || $want !== 30000) {
    echo "KEYS: results differ\n";
} else {
    [$a, $b] = timePair(fn() => $k->keys('nw:*'), fn() => $p->keys('nw:*'), $rounds);
    printf("%-34s %12.2f %12.2f %7.2f  (redis's time over kelvo's)\n", 'KEYS, 3 primaries', $a * 1e3, $b * 1e3, $b / $a);
}
foreach ([0, 1000] as $count) {
    if (count(array_unique(fullScan($k, $count))) !== $want || count(array_unique(manualScan($k, $nodes, $count))) !== $want) {
        echo "full scan count $count: results differ\n";
        continue;
    }
    [$a, $b] = timePair(fn() => fullScan($k, $count), fn() => manualScan($k, $nodes, $count), $rounds);
    printf("%-34s %12.2f %12.2f %7.2f  (full scan's time over the loop's)\n", "full scan vs SCAN loop, count $count",
           $a * 1e3, $b * 1e3, $a / $b);
}
