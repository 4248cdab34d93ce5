--TEST--
A script that ends in a fatal error while a client has listeners: the objects the engine frees afterwards end cleanly
--EXTENSIONS--
kelvo
--FILE--
<?php
require __DIR__ . '/../inc/servers.inc';

$r = new Kelvo\Kelvo(kelvo_test_env('KELVO_TEST_HOST'), (int) kelvo_test_env('KELVO_TEST_PORT'));
var_dump($r->listen(fn() => null), $r->onInvalidated(fn() => null, 'k*'));
trigger_error('the script ends here', E_USER_ERROR);
?>
--EXPECTF--
bool(true)
bool(true)

Fatal error: the script ends here in %s on line %d
