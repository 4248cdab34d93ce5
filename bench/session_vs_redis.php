<?php
// A session cycle (open, read, write, close) through the "kelvo" save handler against the `redis`
// extension's "redis" handler, on the same server in one process, unlocked and locked: seven
// alternating rounds per row. Prints the time per cycle of each handler and kelvo's ratio.
//   php -n -d extension=igbinary -d extension=msgpack -d extension=redis \
//       -d extension=modules/kelvo.so bench/session_vs_redis.php [port] [cycles]
$port = (int) ($argv[1] ?? 6379);
$cycles = (int) ($argv[2] ?? 5000);
$rounds = 7;
ob_start();

$handlers = [
    'kelvo' => ['session.save_handler' => 'kelvo', 'session.save_path' => "tcp://127.0.0.1:$port"],
    'redis' => ['session.save_handler' => 'redis', 'session.save_path' => "tcp://127.0.0.1:$port"],
];
$locking = [
    'unlocked' => ['kelvo.session.locking_enabled' => 0, 'redis.session.locking_enabled' => 0],
    'locked' => ['kelvo.session.locking_enabled' => 1, 'kelvo.session.lock_expire' => 30,
                 'redis.session.locking_enabled' => 1, 'redis.session.lock_expire' => 30],
];
ini_set('session.use_cookies', '0');
ini_set('session.cache_limiter', '');

function cycle(string $id): void
{
    session_id($id);
    session_start();
    $_SESSION['n'] = ($_SESSION['n'] ?? 0) + 1;
    session_write_close();
}

function measure(array $ini, int $cycles): float
{
    foreach ($ini as $name => $value) {
        ini_set($name, (string) $value);
    }
    $start = hrtime(true);
    for ($i = 0; $i < $cycles; $i++) {
        cycle('bench-session-' . ($i % 64));
    }
    return (hrtime(true) - $start) / 1e3 / $cycles;
}

$lines = [sprintf("%-10s %12s %12s %7s", 'row', 'kelvo us', 'redis us', 'ratio')];
foreach ($locking as $row => $lockIni) {
    $best = ['kelvo' => INF, 'redis' => INF];
    for ($r = 0; $r < $rounds; $r++) {
        foreach ($handlers as $who => $ini) {
            $best[$who] = min($best[$who], measure($ini + $lockIni, $cycles));
        }
    }
    $lines[] = sprintf("%-10s %12.1f %12.1f %7.2f", $row, $best['kelvo'], $best['redis'], $best['kelvo'] / $best['redis']);
}
ob_end_clean();
echo implode("\n", $lines), "\n";
