--TEST--
Timeouts: the command timeout of the constructor, OPT_READ_TIMEOUT on an open link and before connect
--FILE--
<?php
use Kelvo\Kelvo;
require __DIR__ . '/../inc/servers.inc';
$port = (int) kelvo_test_env('KELVO_TEST_PORT');
// BLPOP on a key nobody fills blocks this client alone for ten seconds; the read timeout (0.2 s) ends the
// wait long before, however busy the machine.
$blocked = function (Kelvo $k) {
    $start = microtime(true);
    try {
        $k->rawCommand('BLPOP', 'kelvo:object:timeout:' . getmypid(), '10');
        echo "  no timeout\n";
    } catch (\Kelvo\Exception $e) {
        $took = microtime(true) - $start;
        printf("  timed out (code %d) %s\n", $e->getCode(), $took < 9.0 ? 'before the server answered' : sprintf('LATE %.2f', $took));
    }
};
echo "constructor:\n";
$k = new Kelvo('127.0.0.1', $port, 0.5, 0.2, ['max-retries' => 0]);
var_dump($k->getTimeout(), $k->getReadTimeout());
$blocked($k);
echo "option on an open link:\n";
$k = new Kelvo('127.0.0.1', $port, 0.0, 0.0, ['max-retries' => 0]);
var_dump($k->rawCommand('PING'));
var_dump($k->setOption(Kelvo::OPT_READ_TIMEOUT, 0.2));
$blocked($k);
echo "option before connect:\n";
$k = new Kelvo();
$k->setOption(Kelvo::OPT_READ_TIMEOUT, 0.2);
var_dump($k->connect('127.0.0.1', $port, 0.0, null, 0, 0.0, ['max-retries' => 0]), $k->getReadTimeout());
$blocked($k);
?>
--EXPECT--
constructor:
float(0.5)
float(0.2)
  timed out (code 1) before the server answered
option on an open link:
bool(true)
bool(true)
  timed out (code 1) before the server answered
option before connect:
bool(true)
float(0.2)
  timed out (code 1) before the server answered
