--TEST--
Kelvo\Table::set() refuses a Closure, a resource and an object whose serialization throws with a warning and false, leaving the old value; argument errors are the engine's
--EXTENSIONS--
kelvo
--FILE--
<?php
use Kelvo\Table;

final class Throws
{
    public function __serialize(): array
    {
        throw new RuntimeException('no serializing me');
    }
}

final class SleepThrows
{
    public $a = 1;
    public function __sleep(): array
    {
        throw new LogicException('asleep');
    }
}

Table::set('k', 'old');
$refused = [
    'closure' => fn() => 1,
    'resource' => fopen('php://memory', 'r'),
    'throwing object' => new Throws(),
    'throwing __sleep' => new SleepThrows(),
    'nested closure' => ['list' => [function () {}]],
];
foreach ($refused as $what => $value) {
    echo "$what:\n";
    var_dump(Table::set('k', $value), Table::get('k'));
}
var_dump(Table::stats()['total_keys']);

echo "argument errors:\n";
foreach ([
    fn() => Table::set([], 1),
    fn() => Table::set('k'),
    fn() => Table::get('k', []),
    fn() => Table::set('k', 1, 'soon'),
    fn() => Table::fullscan(null, 'many'),
    fn() => Table::count('a', 'b'),
    fn() => Table::keys(new stdClass()),
] as $call) {
    try {
        $call();
    } catch (Error $e) {
        echo get_class($e), ': ', $e->getMessage(), "\n";
    }
}
var_dump(Table::get('k'));
?>
--EXPECTF--
closure:

Warning: Kelvo\Table::set(): Cannot store the value: Serialization of 'Closure' is not allowed in %s on line %d
bool(false)
string(3) "old"
resource:

Warning: Kelvo\Table::set(): Cannot store the value: a resource cannot be stored in %s on line %d
bool(false)
string(3) "old"
throwing object:

Warning: Kelvo\Table::set(): Cannot store the value: no serializing me in %s on line %d
bool(false)
string(3) "old"
throwing __sleep:

Warning: Kelvo\Table::set(): Cannot store the value: asleep in %s on line %d
bool(false)
string(3) "old"
nested closure:

Warning: Kelvo\Table::set(): Cannot store the value: Serialization of 'Closure' is not allowed in %s on line %d
bool(false)
string(3) "old"
int(1)
argument errors:
TypeError: Kelvo\Table::set(): Argument #1 ($key) must be of type string, array given
ArgumentCountError: Kelvo\Table::set() expects at least 2 arguments, 1 given
TypeError: Kelvo\Table::get(): Argument #2 ($namespace) must be of type ?string, array given
TypeError: Kelvo\Table::set(): Argument #3 ($expire) must be of type ?int, string given
TypeError: Kelvo\Table::fullscan(): Argument #2 ($count) must be of type int, string given
ArgumentCountError: Kelvo\Table::count() expects at most 1 argument, 2 given
Error: Object of class stdClass could not be converted to string
string(3) "old"
