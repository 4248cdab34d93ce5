<?php
// Cache hits of kelvo's shared cache against APCu holding the same PHP values, a miss against the
// uncached call, and one hot key read by eight processes against one and against APCu's eight, with the
// adaptive cache off and on.
// One process per row, the best of five rounds; prints the cost per operation and the ratios.
//   php -n -d extension=apcu -d apc.enable_cli=1 -d extension=igbinary -d extension=msgpack -d extension=redis \
//       -d extension=modules/kelvo.so bench/cache_hits_vs_apcu.php [port] [operations]   (pcntl built in)
$port = (int) ($argv[1] ?? 6379);
$ops = (int) ($argv[2] ?? 200000);
$rounds = 5;

$k = new Kelvo\Kelvo('127.0.0.1', $port);
$plain = new Kelvo\Kelvo('127.0.0.1', $port);
$plain->setOption(Kelvo\Kelvo::OPT_USE_CACHE, false);
$p = new Redis();
$p->connect('127.0.0.1', $port);
$k->del('b:100', 'h:100', 's:100', 'z:100', 'miss');
$k->set('b:100', str_repeat('x', 100));
$keys = [];
for ($i = 0; $i < 100; $i++) {
    $keys[] = "m:$i";
    $k->set("m:$i", "value $i");
    $k->hset('h:100', "f$i", "v$i");
    $k->sadd('s:100', "member$i");
    $k->rawCommand('ZADD', 'z:100', (string) $i, "member$i");
}
$k->set('miss', 'text');

// The same values in APCu, as PHP values.
apcu_store('b:100', $k->get('b:100'));
apcu_store('h:100', $k->hgetall('h:100'));
apcu_store('s:100', $k->smembers('s:100'));
apcu_store('z:100', $k->zrange('z:100', 0, -1));
foreach ($keys as $key) {
    apcu_store($key, "value " . substr($key, 2));
}

function best(callable $row, int $ops, int $rounds): float
{
    $row();
    $best = INF;
    for ($r = 0; $r < $rounds; $r++) {
        $t = hrtime(true);
        for ($i = 0; $i < $ops; $i++) {
            $row();
        }
        $best = min($best, (hrtime(true) - $t) / $ops / 1e3);
    }
    return $best;
}

$rows = [
    ['GET 100 B', fn() => $k->get('b:100'), fn() => apcu_fetch('b:100'), 2.0],
    ['HGETALL 100', fn() => $k->hgetall('h:100'), fn() => apcu_fetch('h:100'), 1.5],
    ['SMEMBERS 100', fn() => $k->smembers('s:100'), fn() => apcu_fetch('s:100'), 1.5],
    ['ZRANGE 100', fn() => $k->zrange('z:100', 0, -1), fn() => apcu_fetch('z:100'), 1.5],
    ['MGET 100', fn() => $k->mget($keys), fn() => apcu_fetch($keys), 1.3],
];
printf("%-14s %10s %10s %7s %7s\n", 'hit', 'kelvo us', 'apcu us', 'ratio', 'bound');
foreach ($rows as [$name, $kelvo, $apcu, $bound]) {
    $a = best($kelvo, $ops, $rounds);
    $b = best($apcu, $ops, $rounds);
    printf("%-14s %10.3f %10.3f %7.2f %7.2f\n", $name, $a, $b, $a / $b, $bound);
}

// A miss: GETRANGE of a key whose whole value the cache never holds, against the same call uncached.
$missOps = max(1, intdiv($ops, 20));
$miss = best(fn() => $k->getrange('miss', 0, 1), $missOps, $rounds);
$uncached = best(fn() => $plain->getrange('miss', 0, 1), $missOps, $rounds);
$redis = best(fn() => $p->getRange('miss', 0, 1), $missOps, $rounds);
printf("miss: %.3f us, uncached %.3f us (+%.3f us; bound 1.5), redis extension %.3f us\n", $miss, $uncached,
       $miss - $uncached, $redis);

// One hot key: eight processes at once against one, and against APCu's eight in the same run.
// Median microseconds per read of eight forked workers, started together; `$make` runs in the child.
function eightWorkers(callable $make, int $ops, int $rounds): array
{
    $pipes = [];
    for ($w = 0; $w < 8; $w++) {
        [$mine, $theirs] = stream_socket_pair(STREAM_PF_UNIX, STREAM_SOCK_STREAM, STREAM_IPPROTO_IP);
        if (pcntl_fork() === 0) {
            fclose($mine);
            $read = $make();
            $read();
            fgets($theirs);
            fwrite($theirs, best($read, $ops, $rounds) . "\n");
            exit(0);
        }
        fclose($theirs);
        $pipes[] = $mine;
    }
    usleep(200000);
    foreach ($pipes as $s) {
        fwrite($s, "go\n");
    }
    $each = [];
    foreach ($pipes as $s) {
        $each[] = (float) fgets($s);
    }
    while (pcntl_wait($status) > 0) {
    }
    sort($each);
    return $each;
}

$single = best(fn() => $k->get('b:100'), $ops, $rounds);
$each = eightWorkers(function () use ($port) {
    $c = new Kelvo\Kelvo('127.0.0.1', $port);
    return fn() => $c->get('b:100');
}, $ops, $rounds);
$apcuEach = eightWorkers(fn() => fn() => apcu_fetch('b:100'), $ops, $rounds);
// On a machine with as many cores as workers, anything else running lands on one of them: the
// slowest worker shows that, the median the read path's own cost.
$median = ($each[3] + $each[4]) / 2;
$apcuMedian = ($apcuEach[3] + $apcuEach[4]) / 2;
printf("hot key: one process %.3f us, eight processes %.3f us each (median; ratio %.2f; bound 1.3), slowest %.3f us (ratio %.2f)\n",
       $single, $median, $median / $single, $each[7], $each[7] / $single);
printf("hot key, eight processes: apcu %.3f us each (median); kelvo over apcu %.2f\n", $apcuMedian,
       $median / $apcuMedian);

// The same eight readers with the adaptive cache on: each lookup counts a read in the endpoint's
// sketch, which a process adds to the shared cells a batch at a time.
$adaptiveEach = eightWorkers(function () use ($port) {
    $c = new Kelvo\Kelvo('127.0.0.1', $port);
    $c->setOption(Kelvo\Kelvo::OPT_ADAPTIVE_CACHE, ['width' => 4096, 'depth' => 4, 'minEvents' => 0, 'minRatio' => 0.0]);
    return fn() => $c->get('b:100');
}, $ops, $rounds);
$adaptiveMedian = ($adaptiveEach[3] + $adaptiveEach[4]) / 2;
printf("hot key, eight processes, adaptive cache on: %.3f us each (median; over one process %.2f); kelvo over apcu %.2f\n",
       $adaptiveMedian, $adaptiveMedian / $single, $adaptiveMedian / $apcuMedian);
