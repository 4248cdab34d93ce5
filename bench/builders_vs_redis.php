<?php
// The string and key writes with their builders, kelvo against the `redis` extension on the same
// server, one call at a time: SET, SET with an options array, MSET of 10 pairs, DEL of 10 keys,
// HSET, HMSET of 10 fields, ZADD of 1 and of 10 pairs, GEOADD, ZUNIONSTORE with weights.
// Seven rounds of each row, alternating clients. Then the `redis` extension's user CPU per
// command in a pipeline of 1,000, the figure kelvo's build-only cost (out/bench/builders_bench)
// is held against: at most half of it.
//   php -n -d extension=igbinary -d extension=msgpack -d extension=redis \
//       -d extension=modules/kelvo.so bench/builders_vs_redis.php [port] [operations]
$port = (int) ($argv[1] ?? 6379);
$ops = (int) ($argv[2] ?? 100000);
$rounds = 7;

$k = new Kelvo\Kelvo('127.0.0.1', $port);
$p = new Redis();
$p->connect('127.0.0.1', $port);
$pairs = [];
for ($i = 0; $i < 10; $i++) {
    $pairs["bench:k$i"] = "value $i";
}
$keys = array_keys($pairs);
$scored = [];
for ($i = 0; $i < 10; $i++) {
    array_push($scored, $i + 0.5, "m$i");
}

$rows = [
    'SET' => fn($c) => $c->set('bench:key', 'value'),
    'SET options' => fn($c) => $c->set('bench:key', 'value', ['xx', 'ex' => 100]),
    'MSET 10' => fn($c) => $c->mset($pairs),
    'DEL 10' => fn($c) => $c->del($keys),
    'HSET' => fn($c) => $c->hset('bench:hash', 'field', 'value'),
    'HMSET 10' => fn($c) => $c->hmset('bench:hash', $pairs),
    'ZADD 1' => fn($c) => $c->zadd('bench:zset', 1.5, 'member'),
    'ZADD 10' => fn($c) => $c->zadd('bench:zset', ...$scored),
    'GEOADD' => fn($c) => $c->geoadd('bench:geo', 13.361389, 38.115556, 'Palermo'),
    'ZUNIONSTORE w' => fn($c) => $c->zunionstore('bench:dst', ['bench:z1', 'bench:z2', 'bench:z3'], [1, 2.5, 3]),
];

function usage(bool $systemToo = true): float
{
    $u = getrusage();
    $user = $u['ru_utime.tv_sec'] + $u['ru_utime.tv_usec'] / 1e6;
    return $systemToo ? $user + $u['ru_stime.tv_sec'] + $u['ru_stime.tv_usec'] / 1e6 : $user;
}

function measure(callable $row, $client, int $ops): array
{
    $wall = hrtime(true);
    $cpu = usage();
    for ($i = 0; $i < $ops; $i++) {
        $row($client);
    }
    return [(hrtime(true) - $wall) / 1e9, usage() - $cpu];
}

echo "One call at a time (ratios > 1 favour kelvo: tput = kelvo/redis throughput, cpu = redis/kelvo CPU per op)\n";
printf("%-12s %12s %12s %10s %10s %7s %7s\n", 'row', 'kelvo op/s', 'redis op/s', 'kelvo us', 'redis us', 'tput', 'cpu');
foreach ($rows as $name => $row) {
    $row($k);
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

echo "\nThe redis extension in a pipeline of 1,000: user CPU per command (kelvo's build-only target is half)\n";
foreach ($rows as $name => $row) {
    $best = INF;
    for ($r = 0; $r < $rounds; $r++) {
        $cpu = usage(false);
        for ($batch = 0; $batch < 100; $batch++) {
            $p->multi(Redis::PIPELINE);
            for ($i = 0; $i < 1000; $i++) {
                $row($p);
            }
            $p->exec();
        }
        $best = min($best, (usage(false) - $cpu) / 100000);
    }
    printf("%-12s %8.0f ns   target for kelvo: %6.0f ns\n", $name, $best * 1e9, $best * 1e9 / 2);
}
