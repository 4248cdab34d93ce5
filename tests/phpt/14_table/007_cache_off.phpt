--TEST--
With the shared cache off every Kelvo\Table method warns that it needs the cache and returns false
--EXTENSIONS--
kelvo
--INI--
kelvo.maxmemory=0
--FILE--
<?php
use Kelvo\Table;

foreach ([
    fn() => Table::get('k'), fn() => Table::getWithMeta('k'), fn() => Table::set('k', 1),
    fn() => Table::exists('k'), fn() => Table::delete('k'), fn() => Table::ttl('k'), fn() => Table::count(),
    fn() => Table::clear(), fn() => Table::keys('*'), fn() => Table::memory(), fn() => Table::namespaces(),
    fn() => Table::clearAll(), fn() => Table::fullscan(), fn() => Table::stats(),
] as $call) {
    var_dump($call());
}
?>
--EXPECTF--
Warning: Kelvo\Table::get(): Method requires Kelvo's in-memory cache be enabled in %s on line %d
bool(false)

Warning: Kelvo\Table::getWithMeta(): Method requires Kelvo's in-memory cache be enabled in %s on line %d
bool(false)

Warning: Kelvo\Table::set(): Method requires Kelvo's in-memory cache be enabled in %s on line %d
bool(false)

Warning: Kelvo\Table::exists(): Method requires Kelvo's in-memory cache be enabled in %s on line %d
bool(false)

Warning: Kelvo\Table::delete(): Method requires Kelvo's in-memory cache be enabled in %s on line %d
bool(false)

Warning: Kelvo\Table::ttl(): Method requires Kelvo's in-memory cache be enabled in %s on line %d
bool(false)

Warning: Kelvo\Table::count(): Method requires Kelvo's in-memory cache be enabled in %s on line %d
bool(false)

Warning: Kelvo\Table::clear(): Method requires Kelvo's in-memory cache be enabled in %s on line %d
bool(false)

Warning: Kelvo\Table::keys(): Method requires Kelvo's in-memory cache be enabled in %s on line %d
bool(false)

Warning: Kelvo\Table::memory(): Method requires Kelvo's in-memory cache be enabled in %s on line %d
bool(false)

Warning: Kelvo\Table::namespaces(): Method requires Kelvo's in-memory cache be enabled in %s on line %d
bool(false)

Warning: Kelvo\Table::clearAll(): Method requires Kelvo's in-memory cache be enabled in %s on line %d
bool(false)

Warning: Kelvo\Table::fullscan(): Method requires Kelvo's in-memory cache be enabled in %s on line %d
bool(false)

Warning: Kelvo\Table::stats(): Method requires Kelvo's in-memory cache be enabled in %s on line %d
bool(false)
