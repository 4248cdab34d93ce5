--TEST--
Listeners without the shared cache (kelvo.maxmemory=0): every method warns and returns false; listen before reading its argument, onFlushed after
--EXTENSIONS--
kelvo
--INI--
kelvo.maxmemory=0
--FILE--
<?php
$r = new Kelvo\Kelvo('127.0.0.1', 1);
var_dump($r->listen(fn() => null), $r->onFlushed(fn() => null), $r->onInvalidated(fn() => null, 'k*'), $r->dispatchEvents());
try {
    $r->onFlushed(42);
} catch (TypeError $e) {
    echo get_class($e), "\n";
}
var_dump($r->listen(42));
?>
--EXPECTF--
Warning: Kelvo\Kelvo::listen(): Method requires Kelvo's in-memory cache be enabled in %s on line %d

Warning: Kelvo\Kelvo::onFlushed(): Method requires Kelvo's in-memory cache be enabled in %s on line %d

Warning: Kelvo\Kelvo::onInvalidated(): Method requires Kelvo's in-memory cache be enabled in %s on line %d

Warning: Kelvo\Kelvo::dispatchEvents(): Method requires Kelvo's in-memory cache be enabled in %s on line %d
bool(false)
bool(false)
bool(false)
bool(false)
TypeError

Warning: Kelvo\Kelvo::listen(): Method requires Kelvo's in-memory cache be enabled in %s on line %d
bool(false)
