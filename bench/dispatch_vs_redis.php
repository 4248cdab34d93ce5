<?php
// kelvo against the `redis` extension on the same server, in one process: seven rounds of
// each row, alternating clients, checking that both return the same values. Prints the
// throughput and CPU time per operation of each client and kelvo's ratios.
//   php -n -d extension=igbinary -d extension=msgpack -d extension=redis \
//       -d extension=modules/kelvo.so bench/dispatch_vs_redis.php [port] [operations]
$port = (int) ($argv[1] ?? 6379);
$ops = (int) ($argv[2] ?? 200000);
$rounds = 7;

$k = new Kelvo\Kelvo('127.0.0.1', $port);
$p = new Redis();
$p->connect('127.0.0.1', $port);
$k->flushdb();
$k->set('b:16', str_repeat('x', 16));
$k->set('b:4k', str_repeat('y', 4096));
$keys = [];
$hash = [];
for ($i = 0; $i < 100; $i++) {
    $keys[] = "m:$i";
    $k->set("m:$i", "value $i");
    $hash["f$i"] = "v$i";
}
$k->del('h');
$p->hMSet('h', $hash);

$rows = [
    'GET 16 B' => fn($c) => $c->get('b:16'),
    'GET 4 KiB' => fn($c) => $c->get('b:4k'),
    'GET missing' => fn($c) => $c->get('nothing'),
    'SET' => fn($c) => $c->set('s', 'v'),
    'MGET 100' => fn($c) => $c->mget($keys),
    'HGETALL 100' => fn($c) => $c->hGetAll('h'),
];

function cpu(): float
{
    $u = getrusage();
    return $u['ru_utime.tv_sec'] + $u['ru_utime.tv_usec'] / 1e6 + $u['ru_stime.tv_sec'] + $u['ru_stime.tv_usec'] / 1e6;
}

function measure(callable $row, $client, int $ops): array
{
    $wall = hrtime(true);
    $cpu = cpu();
    for ($i = 0; $i < $ops; $i++) {
        $row($client);
    }
    return [(hrtime(true) - $wall) / 1e9, cpu() - $cpu];
}

printf("%-12s %12s %12s %10s %10s %7s %7s\n", 'row', 'kelvo op/s', 'redis op/s', 'kelvo us', 'redis us', 'tput', 'cpu');
foreach ($rows as $name => $row) {
    if ($row($k) !== $row($p)) {
        echo "$name: results differ\n";
        continue;
    }
    $t = ['k' => [0, 0], 'p' => [0, 0]];
    for ($r = 0; $r < $rounds; $r++) {
        foreach (['k' => $k, 'p' => $p] as $who => $client) {
            [$wall, $cpu] = measure($row, $client, $ops);
            $t[$who][0] += $wall;
            $t[$who][1] += $cpu;
        }
    }
    $n = $ops * $rounds;
    printf("%-12s %12.0f %12.0f %10.2f %10.2f %7.2f %7.2f\n", $name, $n / $t['k'][0], $n / $t['p'][0],
           $t['k'][1] / $n * 1e6, $t['p'][1] / $n * 1e6, $t['p'][0] / $t['k'][0], $t['p'][1] / $t['k'][1]);
}
