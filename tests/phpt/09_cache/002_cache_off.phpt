--TEST--
With the shared cache off, flushMemory, lastMemoryFlush, isTracked and _getKeys warn and return false
--EXTENSIONS--
kelvo
--INI--
kelvo.maxmemory=0
--FILE--
<?php
require __DIR__ . '/../inc/servers.inc';
use Kelvo\Kelvo;

$c = new Kelvo('127.0.0.1', (int) kelvo_test_env('KELVO_TEST_PORT'));
var_dump($c->ping(), $c->idleTime());
var_dump(Kelvo::flushMemory(), Kelvo::lastMemoryFlush(), $c->isTracked('k'), $c->_getKeys());
var_dump($c->rawCommand('CLIENT', 'TRACKINGINFO')[1]);
?>
--EXPECTF--
bool(true)
int(0)

Warning: Kelvo\Kelvo::flushMemory(): Method requires Kelvo's in-memory cache be enabled in %s on line %d

Warning: Kelvo\Kelvo::lastMemoryFlush(): Method requires Kelvo's in-memory cache be enabled in %s on line %d

Warning: Kelvo\Kelvo::isTracked(): Method requires Kelvo's in-memory cache be enabled in %s on line %d

Warning: Kelvo\Kelvo::_getKeys(): Method requires Kelvo's in-memory cache be enabled in %s on line %d
bool(false)
bool(false)
bool(false)
bool(false)
array(1) {
  [0]=>
  string(3) "off"
}
