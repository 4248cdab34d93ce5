--TEST--
php-fpm with 8 static workers: between requests each worker's pooled link reads the invalidations it is sent (plain links through the signal reader, TLS links at the next request start), keeps its connection, and the next request takes it again
--EXTENSIONS--
kelvo
--FILE--
<?php
require __DIR__ . '/fpm.inc';

$script = <<<'PHP'
<?php
$tls = ($_GET['tls'] ?? '') === '1';
$port = (int) getenv($tls ? 'KELVO_TEST_TLS_PORT' : 'KELVO_TEST_PORT');
$c = new Kelvo\Kelvo($tls ? 'tls://127.0.0.1' : '127.0.0.1', $port, 0.0, 0.0,
                     $tls ? ['stream' => ['cafile' => getenv('KELVO_TEST_TLS_CA')]] : []);
$c->get('fpm:key:' . ($_GET['round'] ?? 0));
// Held until every request of the round has arrived: then each is on a worker of its own.
$barrier = $_GET['barrier'];
$c->rawCommand('INCR', $barrier);
$c->rawCommand('EXPIRE', $barrier, '600');
for ($until = microtime(true) + 60; (int) $c->rawCommand('INCRBY', $barrier, '0') < (int) $_GET['n'] && microtime(true) < $until;) {
    usleep(2000);
}
$info = $c->rawCommand('CLIENT', 'TRACKINGINFO');
echo json_encode(['pid' => getmypid(), 'id' => $c->rawCommand('CLIENT', 'ID'), 'tracking' => $info[1][0]]);
PHP;

$workers = 8;
$fpm = new FpmPool($workers, 0, $script, ['kelvo.max_db_writers' => 16]);
$admin = new Kelvo\Kelvo('127.0.0.1', (int) kelvo_test_env('KELVO_TEST_PORT'));
$adminTls = new Kelvo\Kelvo('tls://127.0.0.1', (int) kelvo_test_env('KELVO_TEST_TLS_PORT'), 0.0, 0.0,
                            ['stream' => ['cafile' => kelvo_test_env('KELVO_TEST_TLS_CA')]]);

/** The local ports of the workers' connections, from the server's client list. */
function worker_ports(Kelvo\Kelvo $server, array $ids): array
{
    $ports = [];
    foreach (explode("\n", trim($server->rawCommand('CLIENT', 'LIST'))) as $line) {
        if (preg_match('/^id=(\d+) addr=[^ ]*:(\d+) /', $line, $m) && in_array($m[1], $ids)) {
            $ports[] = (int) $m[2];
        }
    }
    return $ports;
}

foreach (['plain' => [$admin, '0'], 'tls' => [$adminTls, '1']] as $row => [$server, $tls]) {
    $links = []; // worker pid => CLIENT ID
    $problems = [];
    for ($round = 0; $round < 4; $round++) {
        $barrier = 'fpm:arrived:' . bin2hex(random_bytes(8));
        foreach ($fpm->concurrent($workers, "tls=$tls&round=$round&n=$workers&barrier=$barrier") as $body) {
            $r = json_decode($body, true);
            if (!is_array($r)) {
                $problems[] = "round $round: bad reply '$body'";
                continue;
            }
            if ($r['tracking'] !== 'on') {
                $problems[] = "round $round: tracking {$r['tracking']}";
            }
            if (isset($links[$r['pid']]) && $links[$r['pid']] !== $r['id']) {
                $problems[] = "round $round: worker {$r['pid']} connected anew";
            }
            $links[$r['pid']] = $r['id'];
        }
        // Every idle worker's link tracks the key of this round: the write reaches all of them.
        $server->set("fpm:key:$round", "v$round");
        if ($tls === '0') {
            $ports = worker_ports($server, array_values($links));
            $unread = -1;
            for ($until = microtime(true) + 30; $unread !== 0 && microtime(true) < $until;) {
                usleep(5000);
                $unread = unread_bytes($ports);
            }
            if ($unread !== 0) {
                $problems[] = "round $round: $unread bytes left unread by idle workers";
            }
        }
    }
    echo "$row: ", count($links), " workers, ", $problems ? implode('; ', $problems) : 'each kept its link', "\n";
}
$log = $fpm->log();
echo preg_match('/exited on signal|SIGSEGV|Fatal/i', $log) ? "workers died:\n$log" : "no worker died\n";
?>
--EXPECT--
plain: 8 workers, each kept its link
tls: 8 workers, each kept its link
no worker died
