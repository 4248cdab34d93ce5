--TEST--
isTracked and _getKeys on a fresh endpoint: nothing cached, their argument checks, and "Not connected" without settings
--EXTENSIONS--
kelvo
--FILE--
<?php
require __DIR__ . '/../inc/servers.inc';
use Kelvo\Kelvo;

$c = new Kelvo('127.0.0.1', (int) kelvo_test_env('KELVO_TEST_PORT'));
var_dump($c->isTracked('never:cached'), $c->_getKeys());
foreach ([fn() => $c->isTracked(), fn() => $c->_getKeys('x'), fn() => (new Kelvo())->_getKeys(),
          fn() => (new Kelvo())->isTracked('k')] as $call) {
    try {
        var_dump($call());
    } catch (Throwable $e) {
        echo get_class($e), ": ", $e->getMessage(), "\n";
    }
}
?>
--EXPECTF--
bool(false)
array(0) {
}
ArgumentCountError: Kelvo\Kelvo::isTracked() expects exactly 1 argument, 0 given
ArgumentCountError: Kelvo\Kelvo::_getKeys() expects exactly 0 arguments, 1 given
Kelvo\Exception: Not connected (KELVO_ERR_IO; connection.cc:%d)
Kelvo\Exception: Not connected (KELVO_ERR_IO; connection.cc:%d)
