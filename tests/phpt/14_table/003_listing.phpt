--TEST--
Kelvo\Table listing and emptying: keys with patterns, count, memory, namespaces, clear, clearAll and stats, and false for a namespace that does not exist
--EXTENSIONS--
kelvo
--FILE--
<?php
use Kelvo\Table;

echo "an empty table:\n";
var_dump(Table::clearAll(), Table::stats(), Table::namespaces());
var_dump(Table::count('none'), Table::keys('*', 'none'), Table::memory('none'), Table::clear('none'));

foreach (['apple', 'apricot', 'banana'] as $k) {
    Table::set($k, strtoupper($k));
    Table::set("user:$k", 1, null, 'users');
}
Table::set('user:admin', 2, null, 'users');
Table::set('other', 3, null, 'users');

echo "patterns:\n";
$sorted = function (array $a): string { sort($a); return implode(',', $a); };
echo $sorted(Table::keys('*')), "\n";
echo $sorted(Table::keys('ap*')), "\n";
echo $sorted(Table::keys('user:*', 'users')), "\n";
echo $sorted(Table::keys('user:a[dp]*', 'users')), "\n";
var_dump(Table::keys('nothing*'));
var_dump(Table::keys(12, 'users'));

echo "counts and memory:\n";
var_dump(Table::count(), Table::count('users'), Table::memory(), Table::memory('users'));
$stats = Table::stats();
var_dump(array_keys($stats), $stats['total_keys'], $stats['total_memory'] === Table::memory() + Table::memory('users'));
$ns = Table::namespaces();
ksort($ns);
var_dump($ns);

echo "clear keeps the namespace listed with 0 keys:\n";
var_dump(Table::clear('users'), Table::count('users'), Table::memory('users'), Table::keys('*', 'users'));
$ns = Table::namespaces();
ksort($ns);
var_dump($ns, Table::stats()['total_keys']);
var_dump(Table::set('again', 'v', null, 'users'), Table::get('again', 'users'));

echo "clearAll reports every key and leaves no namespace:\n";
Table::set('expiring', 'v', 1, 'x');
usleep(1100000);
var_dump(Table::clearAll(), Table::namespaces(), Table::stats(), Table::count());
?>
--EXPECT--
an empty table:
int(0)
array(2) {
  ["total_keys"]=>
  int(0)
  ["total_memory"]=>
  int(0)
}
array(0) {
}
bool(false)
bool(false)
bool(false)
bool(true)
patterns:
apple,apricot,banana
apple,apricot
user:admin,user:apple,user:apricot,user:banana
user:admin,user:apple,user:apricot
array(0) {
}
array(0) {
}
counts and memory:
int(3)
int(5)
int(258)
int(293)
array(2) {
  [0]=>
  string(10) "total_keys"
  [1]=>
  string(12) "total_memory"
}
int(8)
bool(true)
array(2) {
  [""]=>
  int(3)
  ["users"]=>
  int(5)
}
clear keeps the namespace listed with 0 keys:
bool(true)
int(0)
int(0)
array(0) {
}
array(2) {
  [""]=>
  int(3)
  ["users"]=>
  int(0)
}
int(3)
bool(true)
string(1) "v"
clearAll reports every key and leaves no namespace:
int(5)
array(0) {
}
array(2) {
  ["total_keys"]=>
  int(0)
  ["total_memory"]=>
  int(0)
}
bool(false)
