--TEST--
PHP code that uses the table while the table runs it: __wakeup and __unserialize reading it, __sleep writing it, an autoloader and an error handler using it
--EXTENSIONS--
kelvo
--FILE--
<?php
use Kelvo\Table;

final class Wakes
{
    public $seen;
    public function __wakeup(): void
    {
        $this->seen = Table::get('config') . '/' . Table::count() . '/' . count(Table::keys('*'));
    }
}

final class Sleeps
{
    public $a = 1;
    public function __sleep(): array
    {
        Table::set('slept', 'yes');
        Table::delete('config');
        Table::set('config', 'changed while sleeping');
        return ['a'];
    }
}

final class Unserializes
{
    public $n;
    public function __serialize(): array { return ['n' => 1]; }
    public function __unserialize(array $data): void
    {
        $this->n = Table::get('counter') + $data['n'];
        Table::set('counter', $this->n);
    }
}

Table::set('config', 'on');
Table::set('w', new Wakes());
var_dump(Table::get('w')->seen);

var_dump(Table::set('s', new Sleeps()), Table::get('slept'), Table::get('config'));

Table::set('counter', 40);
Table::set('u', new Unserializes());
var_dump(Table::get('u')->n, Table::get('u')->n, Table::get('counter'));

echo "autoloader:\n";
Table::set('autoloaded', 'O:8:"LateBorn":0:{}');
spl_autoload_register(function (string $class) {
    Table::set('autoloader ran for', $class);
    eval("final class $class { public \$from; public function __wakeup(): void { \$this->from = Kelvo\\Table::get('autoloader ran for'); } }");
});
Table::set('late', unserialize('O:8:"LateBorn":0:{}'));
var_dump(Table::get('late')->from);

echo "error handler:\n";
set_error_handler(function (int $no, string $message) {
    echo "handler: $message; table says ", Table::get('config'), "\n";
    Table::set('handled', $message);
    return true;
});
var_dump(Table::keys(['an', 'array']));
var_dump(Table::get('handled'));
Table::set('r', fopen('php://memory', 'r'));
var_dump(Table::get('handled'));
?>
--EXPECT--
string(6) "on/2/2"
bool(true)
string(3) "yes"
string(22) "changed while sleeping"
int(41)
int(42)
int(42)
autoloader:
string(8) "LateBorn"
error handler:
handler: Array to string conversion; table says changed while sleeping
array(0) {
}
string(26) "Array to string conversion"
handler: Kelvo\Table::set(): Cannot store the value: a resource cannot be stored; table says changed while sleeping
string(71) "Kelvo\Table::set(): Cannot store the value: a resource cannot be stored"
