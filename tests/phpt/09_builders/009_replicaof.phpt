--TEST--
REPLICAOF on a throw-away server: it becomes a replica of the harness's second server and a primary again with no host; port 0 and an empty host are refused without a request; BGSAVE refuses an unknown argument
--EXTENSIONS--
kelvo
--FILE--
<?php
require __DIR__ . '/../inc/servers.inc';
require __DIR__ . '/../inc/own_server.inc';
use Kelvo\Kelvo;

$host = kelvo_test_env('KELVO_TEST_HOST');
$primaryPort = (int) kelvo_test_env('KELVO_TEST_PORT2');
$primary = new Kelvo($host, $primaryPort);
$primary->set('b2:repl', 'from the primary');

// A replica keeps the primary's data in its working folder: give it one of its own.
$dir = sys_get_temp_dir() . '/kelvo-replicaof-' . getmypid();
@mkdir($dir);
$cwd = getcwd();
chdir($dir);
$own = new OwnServer();
chdir($cwd);
$r = new Kelvo('127.0.0.1', $own->port);
var_dump($r->replicaof($host, $primaryPort));
// The primary waits a few seconds for more replicas before it streams its data.
for ($i = 0; $i < 2000 && ($r->info('replication')['master_link_status'] ?? '') !== 'up'; $i++) {
    usleep(10000);
}
var_dump($r->role()[0], $r->get('b2:repl'));

var_dump($r->replicaof(), $r->role()[0]);
var_dump($r->replicaof($host, $primaryPort), $r->replicaof(null), $r->role()[0]);
foreach ([[$host, 0], [$host, 65536], ['', 6379]] as [$h, $p]) {
    $sent = $r->getBytes()[0];
    var_dump(@$r->replicaof($h, $p), error_get_last()['message'], $r->getBytes()[0] - $sent);
}
var_dump($r->role()[0]);

var_dump(@$r->bgsave('now'), error_get_last()['message']);
$primary->del('b2:repl');
$own->stop();
array_map('unlink', glob("$dir/*"));
rmdir($dir);
?>
--EXPECT--
bool(true)
string(5) "slave"
string(16) "from the primary"
bool(true)
string(6) "master"
bool(true)
bool(true)
string(6) "master"
bool(false)
string(38) "Kelvo\Kelvo::replicaof(): Invalid port"
int(0)
bool(false)
string(38) "Kelvo\Kelvo::replicaof(): Invalid port"
int(0)
bool(false)
string(46) "Kelvo\Kelvo::replicaof(): Host cannot be empty"
int(0)
string(6) "master"
bool(false)
string(45) "Kelvo\Kelvo::bgsave(): Unknown argument 'now'"
