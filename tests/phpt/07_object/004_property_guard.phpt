--TEST--
Property guard: adaptiveCache of a Kelvo\Kelvo cannot be written, unset, compound-assigned, incremented or referenced; a subclass's is its own
--FILE--
<?php
$attempts = [
    'assign' => function ($k) { $k->adaptiveCache = 1; },
    'assign (other case)' => function ($k) { $k->ADAPTIVECACHE = 1; },
    'compound' => function ($k) { $k->adaptiveCache .= 'x'; },
    'coalesce' => function ($k) { $k->adaptiveCache ??= 1; },
    'increment' => function ($k) { $k->adaptiveCache++; },
    'pre-decrement' => function ($k) { --$k->adaptiveCache; },
    'reference' => function ($k) { $r = &$k->adaptiveCache; $r = 1; },
    'array append' => function ($k) { $k->adaptiveCache[] = 1; },
    'unset' => function ($k) { unset($k->adaptiveCache); },
];
$k = new Kelvo\Kelvo();
foreach ($attempts as $name => $attempt) {
    try {
        $attempt($k);
        echo "$name: allowed\n";
    } catch (Error $e) {
        // The property holds its Kelvo\AdaptiveCache object: "??=" finds it set and writes nothing.
        $guard = str_ends_with($e->getMessage(), 'is not modifiable');
        echo "$name: refused", $guard ? " ({$e->getMessage()})" : '', "\n";
    }
}
var_dump((new ReflectionProperty($k, 'adaptiveCache'))->isInitialized($k));

class MyClient extends Kelvo\Kelvo {}
$m = new MyClient();
unset($m->adaptiveCache);
echo "subclass unset: allowed\n";
?>
--EXPECT--
assign: refused (Kelvo\Kelvo->adaptiveCache is not modifiable)
assign (other case): refused (Kelvo\Kelvo->ADAPTIVECACHE is not modifiable)
compound: refused
coalesce: allowed
increment: refused (Kelvo\Kelvo->adaptiveCache is not modifiable)
pre-decrement: refused (Kelvo\Kelvo->adaptiveCache is not modifiable)
reference: refused (Kelvo\Kelvo->adaptiveCache is not modifiable)
array append: refused (Kelvo\Kelvo->adaptiveCache is not modifiable)
unset: refused (Kelvo\Kelvo->adaptiveCache is not modifiable)
bool(true)
subclass unset: allowed
