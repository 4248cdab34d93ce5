<?php
// A session cycle (open, read, write, close) through the "kelvo" save handler against the `redis`
// extension's "redis" handler, on the same server in one process, unlocked and locked, with the
// sessions in database 0 and in a database of their own: seven alternating rounds per row. The
// redis handler runs as configured by default (a new connection per session) and with
// `persistent=1` (its connection kept); kelvo keeps its shard links in its pool of persistent
// links (kelvo.default_pconnect). Prints the time per cycle of each and kelvo's ratio to the
// faster redis column.
//   php -n -d extension=igbinary -d extension=msgpack -d extension=redis \
//       -d extension=modules/kelvo.so bench/session_vs_redis.php [port] [cycles]
$port = (int) ($argv[1] ?? 6379);
$cycles = (int) ($argv[2] ?? 5000);
$rounds = 7;
ob_start();

$server = "tcp://127.0.0.1:$port";
$handlers = [
    'kelvo' => fn(string $query) => ['session.save_handler' => 'kelvo', 'session.save_path' => "$server?$query"],
    'redis' => fn(string $query) => ['session.save_handler' => 'redis', 'session.save_path' => "$server?$query"],
    'redis pers' => fn(string $query) => ['session.save_handler' => 'redis',
                                          'session.save_path' => "$server?$query&persistent=1"],
];
$databases = ['db 0' => 'database=0', 'db 5' => 'database=5'];
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

$lines = [sprintf("%-15s %10s %10s %12s %7s", 'row', 'kelvo us', 'redis us', 'redis pers', 'ratio')];
foreach ($locking as $lockRow => $lockIni) {
    foreach ($databases as $dbRow => $query) {
        $best = array_fill_keys(array_keys($handlers), INF);
        for ($r = 0; $r < $rounds; $r++) {
            foreach ($handlers as $who => $ini) {
                $best[$who] = min($best[$who], measure($ini($query) + $lockIni, $cycles));
            }
        }
        $peer = min($best['redis'], $best['redis pers']);
        $lines[] = sprintf("%-15s %10.1f %10.1f %12.1f %7.2f", "$lockRow $dbRow", $best['kelvo'], $best['redis'],
                           $best['redis pers'], $best['kelvo'] / $peer);
    }
}
ob_end_clean();
echo implode("\n", $lines), "\n";
