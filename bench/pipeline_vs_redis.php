<?php
// Pipelines of 1,000 commands, kelvo against the `redis` extension on one server, the shared
// cache off: rounds of each row, alternating clients, both checked to return the same results.
// Prints commands per second (median of the rounds) and kelvo's ratio. With "writes" as the
// third argument only kelvo's pipelines run, so that its socket writes can be counted:
//   php -n -d extension=igbinary -d extension=msgpack -d extension=redis -d kelvo.maxmemory=0 \
//       -d extension=modules/kelvo.so bench/pipeline_vs_redis.php [port] [pipelines per round]
//   strace -f -c -e trace=sendto,sendmsg,write php ... bench/pipeline_vs_redis.php PORT 1000 writes
$port = (int) ($argv[1] ?? 6379);
$pipelines = (int) ($argv[2] ?? 200);
$writesOnly = ($argv[3] ?? '') === 'writes';
$rounds = 9;
$size = 1000;

$k = new Kelvo\Kelvo('127.0.0.1', $port);
$k->setOption(Kelvo\Kelvo::OPT_USE_CACHE, false);
$k->flushdb();
for ($i = 0; $i < $size; $i++) {
    $k->set("g:$i", str_repeat('v', 16));
}

$rows = [
    'GET x1000' => function ($c) use ($size) {
        $c->pipeline();
        for ($i = 0; $i < $size; $i++) {
            $c->get("g:$i");
        }
        return $c->exec();
    },
    'SET x1000' => function ($c) use ($size) {
        $c->pipeline();
        for ($i = 0; $i < $size; $i++) {
            $c->set("s:$i", 'value');
        }
        return $c->exec();
    },
];

if ($writesOnly) {
    $k->ping();
    foreach ($rows as $row) {
        for ($i = 0; $i < $pipelines; $i++) {
            $row($k);
        }
    }
    printf("%d pipelines of %d commands sent\n", $pipelines * count($rows), $size);
    exit(0);
}

$p = new Redis();
$p->connect('127.0.0.1', $port);

function median(array $values): float
{
    sort($values);
    return $values[intdiv(count($values), 2)];
}

printf("%-10s %14s %14s %7s\n", 'row', 'kelvo cmd/s', 'redis cmd/s', 'ratio');
foreach ($rows as $name => $row) {
    if ($row($k) !== $row($p)) {
        echo "$name: results differ\n";
        continue;
    }
    $rates = ['k' => [], 'p' => []];
    for ($r = 0; $r < $rounds; $r++) {
        foreach (['k' => $k, 'p' => $p] as $who => $client) {
            $start = hrtime(true);
            for ($i = 0; $i < $pipelines; $i++) {
                $row($client);
            }
            $rates[$who][] = $pipelines * $size / ((hrtime(true) - $start) / 1e9);
        }
    }
    $kr = median($rates['k']);
    $pr = median($rates['p']);
    printf("%-10s %14.0f %14.0f %7.2f\n", $name, $kr, $pr, $kr / $pr);
}
