--TEST--
Event classes: hierarchy, constants, typed properties, and the guard on type and key
--FILE--
<?php
use Kelvo\Event;
use Kelvo\Event\Flushed;
use Kelvo\Event\Invalidated;

$base = new ReflectionClass(Event::class);
var_dump($base->isAbstract(), $base->getParentClass(), $base->getConstants());
foreach ([Invalidated::class, Flushed::class] as $name) {
    $c = new ReflectionClass($name);
    echo $name, ": final ", var_export($c->isFinal(), true), ", parent ", $c->getParentClass()->getName(),
        ", type default ", $c->getProperty('type')->getDefaultValue(), "\n";
}
foreach ($base->getProperties() as $p) {
    echo "  {$p->getType()} \${$p->getName()}", $p->hasDefaultValue() ? ' = ' . var_export($p->getDefaultValue(), true) : '', "\n";
}
try {
    new Event();
} catch (Error $e) {
    echo $e->getMessage(), "\n";
}

$f = new Flushed();
var_dump($f->type, $f->key, (new Invalidated())->type);
try {
    var_dump($f->client);
} catch (Error $e) {
    echo $e->getMessage(), "\n";
}

// Every way PHP code can change a guarded property is refused and leaves it as it was.
$ref = null;
$changes = [
    'assign'            => function (Event $e) { $e->type = 5; },
    'assign key'        => function (Event $e) { $e->key = 'k'; },
    'compound'          => function (Event $e) { $e->type += 3; },
    'concat'            => function (Event $e) { $e->key .= 'x'; },
    'coalesce assign'   => function (Event $e) { $e->key ??= 'k'; },
    'pre-increment'     => function (Event $e) { ++$e->type; },
    'post-decrement'    => function (Event $e) { $e->type--; },
    'reference'         => function (Event $e) { $r = &$e->key; $r = 'k'; },
    'reference assign'  => function (Event $e) use (&$ref) { $e->key = &$ref; },
    'by-ref argument'   => function (Event $e) { settype($e->type, 'string'); },
    'array append'      => function (Event $e) { $e->key[] = 1; },
    'list assign'       => function (Event $e) { [$e->type] = [9]; },
    'reflection'        => function (Event $e) { (new ReflectionProperty($e, 'type'))->setValue($e, 7); },
    'other case'        => function (Event $e) { $e->TYPE = 5; },
    'foreach by ref'    => function (Event $e) { foreach ($e as $name => &$value) { $value = 3; } },
];
foreach ($changes as $label => $change) {
    $e = new Invalidated();
    for ($i = 0; $i < 2; $i++) { // twice: a second run must not take a primed fast path
        try {
            $change($e);
            echo "$label: allowed\n";
        } catch (Error $x) {
            echo "$label: ", $x->getMessage(), "\n";
        }
    }
    if ($e->type !== 1 || $e->key !== null) {
        echo "$label: changed to ", var_export([$e->type, $e->key], true), "\n";
    }
}

$e = new Invalidated();
foreach ($e as $name => $value) {
    echo "$name: ", var_export($value, true), "\n";
}
$e->client = false;
echo json_encode(iterator_to_array((fn() => yield from $e)())), "\n";

$e = new Flushed();
$e->client = true;
$e->client = !$e->client;
var_dump($e->client, isset($e->key), empty($e->type));
unset($e->key);
echo "key unset: ", var_export(!(new ReflectionProperty($e, 'key'))->isInitialized($e), true), "\n";
?>
--EXPECT--
bool(true)
bool(false)
array(4) {
  ["INVALIDATED"]=>
  int(1)
  ["Invalidated"]=>
  int(1)
  ["FLUSHED"]=>
  int(2)
  ["Flushed"]=>
  int(2)
}
Kelvo\Event\Invalidated: final true, parent Kelvo\Event, type default 1
Kelvo\Event\Flushed: final true, parent Kelvo\Event, type default 2
  int $type
  mixed $key = NULL
  bool $client
Cannot instantiate abstract class Kelvo\Event
int(2)
NULL
int(1)
Typed property Kelvo\Event::$client must not be accessed before initialization
assign: Kelvo\Event\Invalidated->type is not modifiable
assign: Kelvo\Event\Invalidated->type is not modifiable
assign key: Kelvo\Event\Invalidated->key is not modifiable
assign key: Kelvo\Event\Invalidated->key is not modifiable
compound: Kelvo\Event\Invalidated->type is not modifiable
compound: Kelvo\Event\Invalidated->type is not modifiable
concat: Kelvo\Event\Invalidated->key is not modifiable
concat: Kelvo\Event\Invalidated->key is not modifiable
coalesce assign: Kelvo\Event\Invalidated->key is not modifiable
coalesce assign: Kelvo\Event\Invalidated->key is not modifiable
pre-increment: Kelvo\Event\Invalidated->type is not modifiable
pre-increment: Kelvo\Event\Invalidated->type is not modifiable
post-decrement: Kelvo\Event\Invalidated->type is not modifiable
post-decrement: Kelvo\Event\Invalidated->type is not modifiable
reference: Kelvo\Event\Invalidated->key is not modifiable
reference: Kelvo\Event\Invalidated->key is not modifiable
reference assign: Kelvo\Event\Invalidated->key is not modifiable
reference assign: Kelvo\Event\Invalidated->key is not modifiable
by-ref argument: Kelvo\Event\Invalidated->type is not modifiable
by-ref argument: Kelvo\Event\Invalidated->type is not modifiable
array append: Kelvo\Event\Invalidated->key is not modifiable
array append: Kelvo\Event\Invalidated->key is not modifiable
list assign: Kelvo\Event\Invalidated->type is not modifiable
list assign: Kelvo\Event\Invalidated->type is not modifiable
reflection: Kelvo\Event\Invalidated->type is not modifiable
reflection: Kelvo\Event\Invalidated->type is not modifiable
other case: Kelvo\Event\Invalidated->TYPE is not modifiable
other case: Kelvo\Event\Invalidated->TYPE is not modifiable
foreach by ref: An iterator cannot be used with foreach by reference
foreach by ref: An iterator cannot be used with foreach by reference
type: 1
key: NULL
{"type":1,"key":null,"client":false}
bool(false)
bool(false)
bool(false)
key unset: true
