--TEST--
php-fpm: sessions written at request end, concurrent requests on one locked session lose no write, a request that cannot get the lock fails, a late writer whose lock expired is refused with a warning
--EXTENSIONS--
kelvo
session
--FILE--
<?php
require __DIR__ . '/session.inc';
require __DIR__ . '/fpm.inc';
require __DIR__ . '/../inc/own_server.inc';
/* A server of its own: tests running beside this one flush and swap the shared server's databases. */
$server = new OwnServer();
$port = $server->port;
$peer = kelvo_session_peer($port, 11);
$pool = new FpmPool([
    'session.save_handler' => 'kelvo',
    'session.save_path' => kelvo_session_url($port, 'database=11'),
    'session.use_cookies' => 0,
    'session.cache_limiter' => '',
    'session.serialize_handler' => 'php_serialize',
    'kelvo.session.locking_enabled' => 1,
    'max_execution_time' => 30,
]);
/* One session cycle: the lock settings from the query, a hold inside the lock, no explicit close. */
$script = $pool->script('count.php', <<<'PHP'
<?php
foreach (['locking_enabled', 'lock_expire', 'lock_retries', 'lock_wait_time'] as $name) {
    if (isset($_GET[$name])) {
        ini_set("kelvo.session.$name", $_GET[$name]);
    }
}
session_id($_GET['id']);
try {
    if (!session_start()) {
        echo "start failed";
        return;
    }
} catch (Throwable $e) {
    echo "start failed: ", preg_replace('/ \(KELVO_ERR.*$/', '', $e->getMessage());
    return;
}
$n = ($_SESSION['n'] ?? 0) + 1;
usleep((int) ($_GET['hold'] ?? 0));
$_SESSION['n'] = $n;
$_SESSION['by'][] = $_GET['tag'];
echo "ok";
PHP);
$count = function (string $id) use ($peer): string {
    $data = $peer->get($id);
    if (!is_string($data)) {
        return 'no session';
    }
    $seen = unserialize($data);
    return "n={$seen['n']} by=" . implode(',', $seen['by']);
};

$id = 'fpm-' . getmypid();
$peer->del($id, "{$id}_LOCK", "$id-b", "$id-b_LOCK", "$id-c", "$id-c_LOCK");

echo "one request: written at request end, lock given back:\n";
echo $pool->request($script, ['id' => $id, 'tag' => 'r0']), "\n";
echo $count($id), "; lock left: ", $peer->exists("{$id}_LOCK"), "\n";

echo "eight concurrent requests on one session take turns:\n";
$running = [];
/* Each waits for up to all the others: on a loaded machine that can take longer than the default wait. */
for ($i = 1; $i <= 8; $i++) {
    $running[] = $pool->start($script, ['id' => $id, 'tag' => "r$i", 'hold' => 30000, 'lock_retries' => 1000]);
}
$answers = array_map(fn($r) => $pool->finish($r), $running);
echo implode(' ', $answers), "\n";
$seen = $count($id);
echo substr($seen, 0, 4), ", every request recorded once: ",
     var_export(count(array_unique(explode(',', substr($seen, strpos($seen, 'by=') + 3)))) === 9, true), "\n";

echo "without locking, the same requests may overwrite each other, and never wait:\n";
$running = [];
for ($i = 1; $i <= 4; $i++) {
    $running[] = $pool->start($script, ['id' => "$id-b", 'tag' => "u$i", 'hold' => 100000, 'locking_enabled' => 0]);
}
echo implode(' ', array_map(fn($r) => $pool->finish($r), $running)), "; lock taken: ", $peer->exists("$id-b_LOCK"), "\n";

echo "a request that may wait only one step fails while another holds the lock:\n";
/* Held long enough for the impatient request to start on a loaded machine. */
$holder = $pool->start($script, ['id' => $id, 'tag' => 'holder', 'hold' => 3000000]);
for ($i = 0; $i < 2000 && !$peer->exists("{$id}_LOCK"); $i++) {
    usleep(5000);
}
echo $pool->request($script, ['id' => $id, 'tag' => 'impatient', 'lock_retries' => 1, 'lock_wait_time' => 20000]), "\n";
echo $pool->finish($holder), "\n";
echo $count($id), "\n";
$pool->takeLog();

echo "a holder whose lock expired: the next request takes over, the late write is refused at request end:\n";
$late = $pool->start($script, ['id' => "$id-c", 'tag' => 'late', 'hold' => 2500000, 'lock_expire' => 1]);
for ($i = 0; $i < 2000 && !$peer->exists("$id-c_LOCK"); $i++) {
    usleep(5000);
}
$next = $pool->start($script, ['id' => "$id-c", 'tag' => 'next', 'lock_expire' => 5, 'lock_retries' => 40,
                               'lock_wait_time' => 100000]);
echo $pool->finish($next), "\n";
echo $pool->finish($late), "\n";
echo $count("$id-c"), "\n";
$log = $pool->takeLog();
echo "warned: ", var_export(str_contains($log, 'PHP Warning:  session_write_close(): Lock is corrupted'), true),
     "; fatal: ", var_export(str_contains($log, 'Fatal'), true), "\n";
$peer->del($id, "{$id}_LOCK", "$id-b", "$id-b_LOCK", "$id-c", "$id-c_LOCK");
?>
--EXPECTF--
one request: written at request end, lock given back:
ok
n=1 by=r0; lock left: 0
eight concurrent requests on one session take turns:
ok ok ok ok ok ok ok ok
n=9 , every request recorded once: true
without locking, the same requests may overwrite each other, and never wait:
ok ok ok ok; lock taken: 0
a request that may wait only one step fails while another holds the lock:
start failed: Failed to acquire lock
ok
n=%d by=%s,holder
a holder whose lock expired: the next request takes over, the late write is refused at request end:
ok
ok
n=1 by=next
warned: true; fatal: false
