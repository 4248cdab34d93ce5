<?php
// Pipelines of 1,000 commands, kelvo against the `redis` extension on one server, the shared
// cache off: rounds of each row, alternating clients, both checked to return the same results.
// Prints commands per second (median of the rounds) and kelvo's ratio. A last row runs the GET
// pipeline on a caching client once all 1,000 keys are cached: its time against the uncached
// pipeline's, and the bytes it sent (none are expected). Run it without kelvo.maxmemory=0 for
// that row. With "writes" as the
// third argument only kelvo's pipelines run, so that its socket writes can be counted:
//   php -n -d extension=igbinary -d extension=msgpack -d extension=redis \
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

// The same GET pipeline from the shared cache: warm it until a whole pipeline sends nothing.
$cached = new Kelvo\Kelvo('127.0.0.1', $port);
$cached->ping();
if (Kelvo\Kelvo::maxMemory() <= 0) {
    echo "cached GET: the shared cache is off (kelvo.maxmemory)\n";
    exit(0);
}
$get = $rows['GET x1000'];
$expected = $get($k);
for ($warm = 0; $warm < 20; $warm++) {
    $before = $cached->getBytes();
    $result = $get($cached);
    if ($cached->getBytes() === $before) {
        break;
    }
}
if ($result !== $expected) {
    echo "cached GET: results differ\n";
    exit(1);
}
// Timed apart: the whole pipeline (queueing included, where the cached reads are answered) and
// its exec alone (where the uncached pipeline does its round trip).
$timed = function ($c) use ($size) {
    $start = hrtime(true);
    $c->pipeline();
    for ($i = 0; $i < $size; $i++) {
        $c->get("g:$i");
    }
    $queued = hrtime(true);
    $c->exec();
    $end = hrtime(true);
    return [$end - $start, $end - $queued];
};
$times = [];
$sent = 0;
for ($r = 0; $r < $rounds; $r++) {
    foreach (['cached' => $cached, 'uncached' => $k] as $who => $client) {
        $before = $client->getBytes();
        $whole = $exec = 0;
        for ($i = 0; $i < $pipelines; $i++) {
            [$w, $e] = $timed($client);
            $whole += $w;
            $exec += $e;
        }
        $times["$who whole"][] = $whole / $pipelines;
        $times["$who exec"][] = $exec / $pipelines;
        if ($who === 'cached') {
            $sent += $client->getBytes()[0] - $before[0];
        }
    }
}
foreach (['whole', 'exec'] as $part) {
    $ct = median($times["cached $part"]);
    $ut = median($times["uncached $part"]);
    printf("cached GET x1000, %-5s: %8.1f us, uncached %8.1f us, ratio %.3f (bound 0.25)\n", $part, $ct / 1e3,
        $ut / 1e3, $ct / $ut);
}
printf("cached GET x1000: bytes sent %d\n", $sent);
