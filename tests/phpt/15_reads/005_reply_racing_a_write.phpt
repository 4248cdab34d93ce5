--TEST--
Cached reads: a reply that left the server before another worker's write of its key arrives after it and is not stored
--EXTENSIONS--
kelvo
pcntl
--FILE--
<?php
require __DIR__ . '/reads.inc';
require __DIR__ . '/proxy.inc';
require __DIR__ . '/../09_cache/workers.inc';
use Kelvo\Kelvo;

$dir = sys_get_temp_dir() . '/kelvo-race-' . getmypid();
@mkdir($dir);
$hold = "$dir/hold";
$holding = "$dir/holding";
$done = new StartingGate();
$release = new StartingGate();
$port = (int) kelvo_test_env('KELVO_TEST_PORT');
// Every client goes through the proxy: one server identity, one endpoint in the shared cache.
$proxy = new HoldingProxy($port, "GET\r\n\$6\r\nrace:k", $hold, $holding);
$b = new Kelvo('127.0.0.1', $proxy->port);
$b->set('race:k', 'old');

touch($hold);
$workers = new Workers();
// Worker A reads; its reply is held back until B has written.
$workers->start(0, function () use ($proxy, $done, $release) {
    $a = new Kelvo('127.0.0.1', $proxy->port);
    $value = $a->get('race:k');
    $done->open();
    $release->wait(); // its link, and what it stored, stay while the others look
    return $value;
});
while (!file_exists($holding)) {
    usleep(1000);
}
var_dump($b->set('race:k', 'new'));
unlink($hold);
$done->wait();
// Worker A's late reply is not served to anyone: the key's local copy was dropped after it left.
$workers->start(1, fn() => (new Kelvo('127.0.0.1', $proxy->port))->get('race:k'));
var_dump($b->get('race:k'));
$release->open();
var_dump($workers->finish());
$b->del('race:k');
unset($proxy);
@unlink($holding);
@rmdir($dir);
?>
--EXPECT--
bool(true)
string(3) "new"
array(2) {
  [0]=>
  string(3) "old"
  [1]=>
  string(3) "new"
}
