--TEST--
Session locking from the command line: no lifetime no lock, waiting for a held lock, an error stops the wait, a lost or stolen lock refuses the write, release by script with its NOSCRIPT fallback
--EXTENSIONS--
kelvo
session
--FILE--
<?php
require __DIR__ . '/session.inc';
require __DIR__ . '/../inc/own_server.inc';
$server = new OwnServer();
$peer = kelvo_session_peer($server->port);
$path = kelvo_session_url($server->port);
$calls = function (string $cmd) use ($peer): int {
    $stats = $peer->info('commandstats');
    return preg_match('/calls=(\d+)/', $stats["cmdstat_$cmd"] ?? '', $m) ? (int) $m[1] : 0;
};

echo "no lock lifetime in a process without a time limit: nothing is sent\n";
kelvo_session_settings($path, ['kelvo.session.locking_enabled' => 1, 'kelvo.session.lock_expire' => 0]);
$peer->config('RESETSTAT');
var_dump(kelvo_session_open('lk1'), session_status() === PHP_SESSION_NONE, $calls('set'));

echo "a lock this request holds:\n";
kelvo_session_settings($path, ['kelvo.session.locking_enabled' => 1, 'kelvo.session.lock_expire' => 30]);
var_dump(kelvo_session_open('lk1'));
$value = $peer->get('lk1_LOCK');
var_dump((bool) preg_match('/^' . getmypid() . '\d{16}$/', $value), $peer->ttl('lk1_LOCK'));
$_SESSION['a'] = 1;
session_write_close();
var_dump($peer->get('lk1'), $peer->exists('lk1_LOCK'));

echo "a lock held elsewhere: 1 + 2 attempts, then the failure, and close gives back nothing:\n";
kelvo_session_settings($path, ['kelvo.session.locking_enabled' => 1, 'kelvo.session.lock_expire' => 30,
                               'kelvo.session.lock_retries' => 2, 'kelvo.session.lock_wait_time' => 30000]);
$peer->set('lk1_LOCK', 'someone-else');
$peer->config('RESETSTAT');
var_dump(kelvo_session_open('lk1'), $calls('set'), $peer->get('lk1_LOCK'));

echo "negative settings mean the defaults, and the wait stays within the lock's lifetime (1 s / 20 ms):\n";
kelvo_session_settings($path, ['kelvo.session.locking_enabled' => 1, 'kelvo.session.lock_expire' => 1,
                               'kelvo.session.lock_retries' => -1, 'kelvo.session.lock_wait_time' => -1]);
$peer->set('lk1_LOCK', 'someone-else');
$peer->config('RESETSTAT');
var_dump(kelvo_session_open('lk1'), $calls('set'));

echo "the lock is taken once the other holder lets go:\n";
kelvo_session_settings($path, ['kelvo.session.locking_enabled' => 1, 'kelvo.session.lock_expire' => 30,
                               'kelvo.session.lock_retries' => 50, 'kelvo.session.lock_wait_time' => 10000]);
$peer->set('lk1_LOCK', 'someone-else', ['px' => 150]);
var_dump(kelvo_session_open('lk1'));
session_write_close();

echo "an error stops the attempts at once:\n";
$peer->del('lk1_LOCK');
$peer->acl('SETUSER', 'default', 'on', 'nopass', '~*', '&*', '+@all', '-set');
$peer->config('RESETSTAT');
var_dump(kelvo_session_open('lk1'), $calls('set'));
$peer->acl('SETUSER', 'default', '+set');

echo "a lock that expired before the write:\n";
var_dump(kelvo_session_open('lk1'));
$_SESSION['a'] = 2;
$peer->del('lk1_LOCK');
echo kelvo_session_try(fn() => session_write_close()), "\n";
var_dump($peer->get('lk1'));

echo "a lock another request took over: the late write and destroy are refused, the lock stays theirs:\n";
var_dump(kelvo_session_open('lk1'));
$_SESSION['a'] = 3;
$peer->set('lk1_LOCK', 'the-new-holder');
echo kelvo_session_try(fn() => session_destroy()), "\n";
echo kelvo_session_try(fn() => session_write_close()), "\n";
var_dump($peer->get('lk1'), $peer->get('lk1_LOCK'));
$peer->del('lk1_LOCK');

echo "release by EVALSHA, and by EVAL once the server lost the script:\n";
$peer->script('FLUSH');
$peer->config('RESETSTAT');
kelvo_session_open('lk1');
session_write_close();
kelvo_session_open('lk1');
session_write_close();
var_dump($calls('evalsha'), $calls('eval'), $peer->exists('lk1_LOCK'));

echo "a lost lock at request end is a warning:\n";
/* On the harness's server, which outlives this script's objects. */
$shared = kelvo_session_peer((int) kelvo_test_env('KELVO_TEST_PORT'));
$id = 'lk-end-' . getmypid();
kelvo_session_settings(kelvo_session_url((int) kelvo_test_env('KELVO_TEST_PORT')),
                       ['kelvo.session.locking_enabled' => 1, 'kelvo.session.lock_expire' => 30]);
kelvo_session_open($id);
$_SESSION['a'] = 4;
$shared->set("{$id}_LOCK", 'the-new-holder', ['ex' => 5]);
echo "end\n";
?>
--EXPECTF--
no lock lifetime in a process without a time limit: nothing is sent
string(%d) "Kelvo\Exception: Failed to acquire lock"
bool(true)
int(0)
a lock this request holds:
bool(true)
bool(true)
int(30)
string(6) "a|i:1;"
int(0)
a lock held elsewhere: 1 + 2 attempts, then the failure, and close gives back nothing:
string(%d) "Kelvo\Exception: Failed to acquire lock"
int(3)
string(12) "someone-else"
negative settings mean the defaults, and the wait stays within the lock's lifetime (1 s / 20 ms):
string(%d) "Kelvo\Exception: Failed to acquire lock"
int(51)
the lock is taken once the other holder lets go:
bool(true)
an error stops the attempts at once:

Warning: session_start(): Session lock failed: NOPERM this user has no permissions to run the 'set' command%s in %s on line %d
string(%d) "Kelvo\Exception: Failed to acquire lock"
int(0)
a lock that expired before the write:
bool(true)
Kelvo\Exception: Lock is corrupted
string(6) "a|i:1;"
a lock another request took over: the late write and destroy are refused, the lock stays theirs:
bool(true)
Kelvo\Exception: Lock is corrupted
false
string(6) "a|i:1;"
string(14) "the-new-holder"
release by EVALSHA, and by EVAL once the server lost the script:
int(2)
int(1)
int(0)
a lost lock at request end is a warning:
end

Warning: session_write_close(): Lock is corrupted in Unknown on line 0

Warning: session_write_close(): Failed to write session data (kelvo). Please verify that the current setting of session.save_path is correct (tcp://%s) in Unknown on line 0
