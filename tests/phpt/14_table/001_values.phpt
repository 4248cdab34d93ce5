--TEST--
Kelvo\Table keeps every kind of PHP value, tells a stored false from a missing key, and accounts each item's bytes
--EXTENSIONS--
kelvo
--FILE--
<?php
use Kelvo\Table;

final class Point
{
    public function __construct(public int $x, public ?Point $next = null) {}
}

$values = [
    'null' => null, 'false' => false, 'true' => true, 'zero' => 0, 'sixteen' => 16, 'seventeen' => 17,
    'minus' => -1, 'max' => PHP_INT_MAX, 'min' => PHP_INT_MIN, 'float' => 1.5, 'nan' => NAN, 'empty' => '',
    'binary' => "a\0b\xff", 'list' => [1, 'two', [3.0]], 'map' => ['k' => ['deep' => true]],
    'object' => new Point(1, new Point(2)), 'empty_array' => [],
];
foreach ($values as $key => $value) {
    if (!Table::set($key, $value)) {
        echo "set $key failed\n";
    }
}
foreach ($values as $key => $value) {
    $got = Table::get($key);
    $same = is_float($value) && is_nan($value) ? is_nan($got) : $got == $value && gettype($got) === gettype($value);
    printf("%-11s %s exists=%d length=%d\n", $key, $same ? 'same' : 'DIFFERS: ' . var_export($got, true),
           Table::exists($key), Table::getWithMeta($key)[1]['length']);
}
var_dump(Table::get('object') instanceof Point, Table::get('object')->next->x);

echo "false and missing:\n";
var_dump(Table::get('false'), Table::exists('false'), Table::get('missing'), Table::exists('missing'));
var_dump(Table::getWithMeta('null'), Table::getWithMeta('missing'));
Table::set('17', 'seventeen');
var_dump(Table::getWithMeta(17)[0], Table::get('x', 'no-such-namespace'));

echo "namespaces are separate; null is the namespace \"\":\n";
Table::set('k', 'in a', null, 'a');
Table::set('k', 'in b', null, 'b');
Table::set('k', 'in default');
var_dump(Table::get('k', 'a'), Table::get('k', 'b'), Table::get('k'), Table::get('k', null), Table::get('k', ''));

echo "replacing keeps the key count and moves the memory by the difference:\n";
Table::set('r', 'abc', null, 'acc');
$before = [Table::stats()['total_keys'], Table::memory('acc')];
Table::set('r', 17, null, 'acc');
var_dump($before, [Table::stats()['total_keys'], Table::memory('acc')]);
Table::set('r', 16, null, 'acc');
var_dump(Table::memory('acc'));
?>
--EXPECT--
null        same exists=1 length=-1
false       same exists=1 length=54
true        same exists=1 length=53
zero        same exists=1 length=53
sixteen     same exists=1 length=56
seventeen   same exists=1 length=82
minus       same exists=1 length=78
max         same exists=1 length=76
min         same exists=1 length=76
float       same exists=1 length=78
nan         same exists=1 length=76
empty       same exists=1 length=79
binary      same exists=1 length=84
list        same exists=1 length=124
map         same exists=1 length=112
object      same exists=1 length=160
empty_array same exists=1 length=91
bool(true)
int(2)
false and missing:
bool(false)
bool(true)
bool(false)
bool(false)
array(2) {
  [0]=>
  NULL
  [1]=>
  array(2) {
    ["cached"]=>
    bool(true)
    ["length"]=>
    int(-1)
  }
}
bool(false)
string(9) "seventeen"
bool(false)
namespaces are separate; null is the namespace "":
string(4) "in a"
string(4) "in b"
string(10) "in default"
string(10) "in default"
string(10) "in default"
replacing keeps the key count and moves the memory by the difference:
array(2) {
  [0]=>
  int(22)
  [1]=>
  int(78)
}
array(2) {
  [0]=>
  int(22)
  [1]=>
  int(74)
}
int(50)
