<?php
// Kelvo\Sentinel against the `redis` extension's RedisSentinel on one sentinel of a group the
// harness starts for the run: getMasterAddrByName on an open link, and with a new object per
// call. Seven rounds of each row, alternating clients, after checking both give the same
// address. Prints operations per second, CPU time per operation and kelvo's time ratio
// (kelvo's time over the redis extension's: below 1 is faster).
//   php -n -d extension=igbinary -d extension=msgpack -d extension=redis \
//       -d extension=modules/kelvo.so bench/sentinel_vs_redis.php [operations]
$ops = (int) ($argv[1] ?? 50000);
$rounds = 7;

$servers = dirname(__DIR__) . '/tests/harness/servers';
$dir = sys_get_temp_dir() . '/kelvo-bench-sentinel-' . getmypid();
exec(escapeshellarg($servers) . ' group ' . escapeshellarg($dir), $out, $rc);
if ($rc !== 0) {
    exit("the sentinel group did not start\n");
}
register_shutdown_function(fn() => exec(escapeshellarg($servers) . ' stop ' . escapeshellarg($dir) . '; rm -rf ' . escapeshellarg($dir)));
preg_match('/KELVO_GROUP_SENTINEL_PORT=(\d+)/', file_get_contents("$dir/env"), $m);
$port = (int) $m[1];

$clients = [
    'k' => fn() => new Kelvo\Sentinel('127.0.0.1', $port),
    'p' => fn() => new RedisSentinel('127.0.0.1', $port),
];
$open = ['k' => $clients['k'](), 'p' => $clients['p']()];
$rows = [
    'open link' => fn(string $who) => $open[$who]->getMasterAddrByName('kelvo-group'),
    'new object per call' => fn(string $who) => $clients[$who]()->getMasterAddrByName('kelvo-group'),
];

function cpu(): float
{
    $u = getrusage();
    return $u['ru_utime.tv_sec'] + $u['ru_utime.tv_usec'] / 1e6 + $u['ru_stime.tv_sec'] + $u['ru_stime.tv_usec'] / 1e6;
}

printf("%-20s %12s %12s %10s %10s %7s\n", 'getMasterAddrByName', 'kelvo op/s', 'redis op/s', 'kelvo us', 'redis us', 'time');
foreach ($rows as $name => $row) {
    if ($row('k') !== $row('p')) {
        echo "$name: results differ\n";
        continue;
    }
    $t = ['k' => [0, 0], 'p' => [0, 0]];
    for ($r = 0; $r < $rounds; $r++) {
        foreach (['k', 'p'] as $who) {
            $wall = hrtime(true);
            $c = cpu();
            for ($i = 0; $i < $ops; $i++) {
                $row($who);
            }
            $t[$who][0] += (hrtime(true) - $wall) / 1e9;
            $t[$who][1] += cpu() - $c;
        }
    }
    $n = $ops * $rounds;
    printf("%-20s %12.0f %12.0f %10.2f %10.2f %7.2f\n", $name, $n / $t['k'][0], $n / $t['p'][0], $t['k'][1] / $n * 1e6,
           $t['p'][1] / $n * 1e6, $t['k'][0] / $t['p'][0]);
}
