<?php
// Kelvo\Table against APCu (php8.2-apcu) in the same process: get and set of a 100-byte string
// and of a small array, seven rounds each, alternating; then eight forked processes reading one
// key for a fixed time. Prints operations per second and kelvo's ratios (time per operation of
// kelvo over APCu's: below 1 kelvo is faster; for the processes, kelvo's throughput over APCu's).
//   php -n -d extension=apcu -d apc.enable_cli=1 -d apc.shm_size=64M \
//       -d extension=modules/kelvo.so -d kelvo.maxmemory=64M bench/table_vs_apcu.php [operations] [processes]
use Kelvo\Table;

$ops = (int) ($argv[1] ?? 1000000);
$processes = (int) ($argv[2] ?? 8);
$rounds = 7;
if (!function_exists('apcu_fetch') || !apcu_enabled()) {
    fwrite(STDERR, "APCu is not loaded and enabled (-d extension=apcu -d apc.enable_cli=1)\n");
    exit(1);
}

$string = str_repeat('v', 100);
$array = ['id' => 42, 'name' => 'a name', 'tags' => ['a', 'b', 'c']];
Table::set('string', $string);
Table::set('array', $array);
apcu_store('string', $string);
apcu_store('array', $array);
if (Table::get('string') !== apcu_fetch('string') || Table::get('array') !== apcu_fetch('array')) {
    fwrite(STDERR, "the two stores return different values\n");
    exit(1);
}

/* Seconds for $ops operations of one row; the loops are written out so no call sits between. */
function timed(string $row, int $ops, string $string, array $array): float
{
    $start = hrtime(true);
    switch ($row) {
    case 'kelvo get 100 B':
        for ($i = 0; $i < $ops; $i++) Table::get('string');
        break;
    case 'apcu get 100 B':
        for ($i = 0; $i < $ops; $i++) apcu_fetch('string');
        break;
    case 'kelvo set 100 B':
        for ($i = 0; $i < $ops; $i++) Table::set('written', $string);
        break;
    case 'apcu set 100 B':
        for ($i = 0; $i < $ops; $i++) apcu_store('written', $string);
        break;
    case 'kelvo get array':
        for ($i = 0; $i < $ops; $i++) Table::get('array');
        break;
    case 'apcu get array':
        for ($i = 0; $i < $ops; $i++) apcu_fetch('array');
        break;
    case 'kelvo set array':
        for ($i = 0; $i < $ops; $i++) Table::set('written', $array);
        break;
    case 'apcu set array':
        for ($i = 0; $i < $ops; $i++) apcu_store('written', $array);
        break;
    }
    return (hrtime(true) - $start) / 1e9;
}

printf("%-16s %14s %14s %8s\n", 'operation', 'kelvo op/s', 'apcu op/s', 'ratio');
foreach (['get 100 B', 'set 100 B', 'get array', 'set array'] as $what) {
    $best = ['kelvo' => INF, 'apcu' => INF];
    for ($r = 0; $r < $rounds; $r++) {
        foreach (['kelvo', 'apcu'] as $who) {
            $best[$who] = min($best[$who], timed("$who $what", $ops, $string, $array));
        }
    }
    printf("%-16s %14.0f %14.0f %8.2f\n", $what, $ops / $best['kelvo'], $ops / $best['apcu'],
           $best['kelvo'] / $best['apcu']);
}

/* Reads of one key in $processes forked processes for two seconds: total reads per second. */
function parallel(string $who, int $processes): float
{
    $seconds = 2.0;
    $pipes = [];
    for ($p = 0; $p < $processes; $p++) {
        [$parentEnd, $childEnd] = stream_socket_pair(STREAM_PF_UNIX, STREAM_SOCK_STREAM, STREAM_IPPROTO_IP);
        if (pcntl_fork() === 0) {
            $reads = 0;
            $end = hrtime(true) + (int) ($seconds * 1e9);
            if ($who === 'kelvo') {
                do {
                    for ($i = 0; $i < 1000; $i++) Table::get('string');
                    $reads += 1000;
                } while (hrtime(true) < $end);
            } else {
                do {
                    for ($i = 0; $i < 1000; $i++) apcu_fetch('string');
                    $reads += 1000;
                } while (hrtime(true) < $end);
            }
            fwrite($childEnd, (string) $reads);
            exit(0);
        }
        $pipes[] = $parentEnd;
    }
    $total = 0;
    foreach ($pipes as $pipe) {
        $total += (int) stream_get_contents($pipe);
    }
    while (pcntl_wait($status) > 0) {
    }
    return $total / $seconds;
}

$k = parallel('kelvo', $processes);
$a = parallel('apcu', $processes);
printf("%-16s %14.0f %14.0f %8.2f   (%d processes reading one key; ratio: kelvo over apcu)\n", 'parallel get', $k,
       $a, $k / $a, $processes);
