--TEST--
php-fpm: a worker's session link outlives the request and serves the next ones without a new connection, handshake or SELECT; a link the server closed between requests is replaced, and one that timed out waiting for a reply is never handed on
--EXTENSIONS--
kelvo
session
--FILE--
<?php
require __DIR__ . '/session.inc';
require __DIR__ . '/fpm.inc';
require __DIR__ . '/../inc/own_server.inc';
/* A server of its own: its connection and command counts are this test's alone. */
$server = new OwnServer();
$port = $server->port;
$stats = kelvo_session_peer($port);
/* One worker, so that every request meets the links the previous one left. */
$pool = new FpmPool([
    'session.save_handler' => 'kelvo',
    'session.save_path' => kelvo_session_url($port, 'database=11&read_timeout=0.5'),
    'session.use_cookies' => 0,
    'session.cache_limiter' => '',
], 1);
$script = $pool->script('count.php', <<<'PHP'
<?php
session_id('fpm-pooled');
if (!session_start()) {
    echo "not started";
    return;
}
$_SESSION['n'] = ($_SESSION['n'] ?? 0) + 1;
echo $_SESSION['n'];
PHP);

function server_counts(Kelvo\Kelvo $stats): array
{
    $commands = $stats->info('commandstats');
    $calls = fn(string $name) => preg_match('/calls=(\d+)/', $commands["cmdstat_$name"] ?? '', $m) ? (int) $m[1] : 0;
    return ['connections' => (int) $stats->info('stats')['total_connections_received'],
            'hello' => $calls('hello'), 'select' => $calls('select')];
}

function requests(FpmPool $pool, string $script, Kelvo\Kelvo $stats, int $count): void
{
    $before = server_counts($stats);
    $answers = [];
    for ($i = 0; $i < $count; $i++) {
        $answers[] = $pool->request($script, []);
    }
    $now = server_counts($stats);
    echo implode(' ', $answers), '; ', implode(', ', array_map(fn($k) => "$k " . ($now[$k] - $before[$k]), array_keys($now))), "\n";
    $log = $pool->takeLog();
    echo $log === '' ? "nothing logged\n" : "logged: $log";
}

echo "five requests:\n";
requests($pool, $script, $stats, 5);

echo "the server closes the worker's link between requests:\n";
$stats->rawCommand('CLIENT', 'KILL', 'TYPE', 'normal', 'SKIPME', 'yes');
requests($pool, $script, $stats, 2);

echo "a request whose read times out, then the next ones:\n";
$stats->rawCommand('CLIENT', 'PAUSE', '1500', 'ALL');
echo $pool->request($script, []), "\n";
$log = $pool->takeLog();
echo preg_match('/Failed to read session data/', $log) ? "read failure logged\n" : "log: $log\n";
requests($pool, $script, $stats, 2);
echo kelvo_session_peer($port, 11)->get('fpm-pooled'), "\n";
?>
--EXPECT--
five requests:
1 2 3 4 5; connections 1, hello 1, select 1
nothing logged
the server closes the worker's link between requests:
6 7; connections 1, hello 1, select 1
nothing logged
a request whose read times out, then the next ones:
not started
read failure logged
8 9; connections 1, hello 1, select 1
nothing logged
n|i:9;
