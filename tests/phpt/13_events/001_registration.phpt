--TEST--
Listeners: registration, replacement and removal return true; an empty pattern and a process without the shared cache are refused with a warning; dispatchEvents with nothing to deliver returns 0
--EXTENSIONS--
kelvo
--FILE--
<?php
require __DIR__ . '/../08_dispatch/fake.inc';

$r = new Kelvo\Kelvo(kelvo_test_env('KELVO_TEST_HOST'), (int) kelvo_test_env('KELVO_TEST_PORT'));
$calls = [
    'onInvalidated' => fn() => $r->onInvalidated(fn() => null),
    'again, replaced' => fn() => $r->onInvalidated(fn() => null),
    'with a pattern' => fn() => $r->onInvalidated(fn() => null, 'user:*'),
    'remove the pattern' => fn() => $r->onInvalidated(null, 'user:*'),
    'remove one never added' => fn() => $r->onInvalidated(null, 'never:*'),
    'onFlushed' => fn() => $r->onFlushed(fn() => null),
    'listen' => fn() => $r->listen(fn() => null),
    'dispatchEvents' => fn() => $r->dispatchEvents(),
    'remove all' => fn() => [$r->onInvalidated(null), $r->onFlushed(null), $r->listen(null)],
    'empty pattern' => fn() => $r->onInvalidated(fn() => null, ''),
    'not callable' => fn() => $r->onFlushed('no such function'),
];
foreach ($calls as $name => $call) {
    try {
        echo "$name: ", kelvo_outcome($call), "\n";
    } catch (TypeError $e) {
        echo $e->getMessage(), "\n";
    }
}
echo 'never connected: ', kelvo_outcome(fn() => (new Kelvo\Kelvo())->listen(fn() => null)), "\n";
echo 'previous: ', preg_replace('/ \(KELVO_ERR_[A-Z_]+; [^)]*\)/', '', (function () {
    try {
        (new Kelvo\Kelvo())->dispatchEvents();
    } catch (Kelvo\Exception $e) {
        return $e->getMessage() . ' <- ' . $e->getPrevious()?->getMessage();
    }
})()), "\n";
?>
--EXPECTF--
onInvalidated: true
again, replaced: true
with a pattern: true
remove the pattern: true
remove one never added: true
onFlushed: true
listen: true
dispatchEvents: 0
remove all: [true,true,true]
empty pattern: 
Warning: Kelvo\Kelvo::onInvalidated(): Invalid argument supplied for pattern ({KELVO_ERR_CONFIG}) in %s on line %d
false
not callable: Kelvo\Kelvo::onFlushed(): Argument #1 ($callback) must be a valid callback or null, function "no such function" not found or invalid function name
never connected: Kelvo\Exception(2) Must be connected to listen for invalidations
previous: Must be connected to dispatch invalidation callbacks <- Not connected
