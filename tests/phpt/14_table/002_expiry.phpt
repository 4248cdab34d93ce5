--TEST--
Kelvo\Table expiry: ttl and its edges, keeping or dropping an expiry on replace, saturating huge times, and an expired key gone for every method alike
--EXTENSIONS--
kelvo
--FILE--
<?php
use Kelvo\Table;

Table::set('ten', 'v', 10);
var_dump(in_array(Table::ttl('ten'), [9, 10], true));
Table::set('none', 'v');
var_dump(Table::ttl('none'), Table::ttl('missing'));

echo "null keeps the expiry, 0 and negative numbers drop it:\n";
Table::set('ten', 'w');
var_dump(in_array(Table::ttl('ten'), [9, 10], true), Table::get('ten'));
Table::set('ten', 'x', 0);
var_dump(Table::ttl('ten'));
Table::set('neg', 'v', 100);
Table::set('neg', 'v', -5);
var_dump(Table::ttl('neg'));

echo "huge times never wrap into the past:\n";
foreach ([PHP_INT_MAX, PHP_INT_MAX - 1, intdiv(PHP_INT_MAX, 1000) + 1] as $expire) {
    var_dump(Table::set('huge', 'still here', $expire), Table::get('huge'), Table::ttl('huge') > 1000000000);
}

echo "an expired key is gone for every method:\n";
Table::set('short', 'v', 1, 'ns');
Table::set('stays', 'v', null, 'ns');
usleep(1100000);
var_dump(Table::get('short', 'ns'), Table::exists('short', 'ns'), Table::ttl('short', 'ns'),
         Table::getWithMeta('short', 'ns'), Table::count('ns'), Table::keys('*', 'ns'),
         iterator_to_array(Table::fullscan('short')));
echo "not yet swept: listed in namespaces(), and set() with a null expire gives it none\n";
var_dump(Table::namespaces()['ns']);
var_dump(Table::delete('short', 'ns'));
var_dump(Table::namespaces()['ns']);
Table::set('short2', 'old', 1, 'ns');
usleep(1100000);
Table::set('short2', 'new', null, 'ns');
var_dump(Table::get('short2', 'ns'), Table::ttl('short2', 'ns'));
?>
--EXPECT--
bool(true)
int(-1)
bool(false)
null keeps the expiry, 0 and negative numbers drop it:
bool(true)
string(1) "w"
int(-1)
int(-1)
huge times never wrap into the past:
bool(true)
string(10) "still here"
bool(true)
bool(true)
string(10) "still here"
bool(true)
bool(true)
string(10) "still here"
bool(true)
an expired key is gone for every method:
bool(false)
bool(false)
bool(false)
bool(false)
int(1)
array(1) {
  [0]=>
  string(5) "stays"
}
array(0) {
}
not yet swept: listed in namespaces(), and set() with a null expire gives it none
int(2)
bool(false)
int(1)
string(3) "new"
int(-1)
