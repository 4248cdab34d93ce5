--TEST--
A memory-limit error while Kelvo\Table builds a large result ends the request cleanly, with no read section left open: shutdown functions still use the table
--EXTENSIONS--
kelvo
--INI--
memory_limit=4M
kelvo.maxmemory=64M
--FILE--
<?php
use Kelvo\Table;

for ($k = 0; $k < 100000; $k++) {
    Table::set("a rather long key name, number $k", $k, null, 'big');
}
Table::set('x', 'still readable');
register_shutdown_function(function () {
    var_dump(Table::get('x'), Table::count('big'), Table::set('y', 'written after'), Table::get('y'));
});
$keys = Table::keys('*', 'big');
echo "not reached\n";
?>
--EXPECTF--
Fatal error: Allowed memory size of %d bytes exhausted %s
string(14) "still readable"
int(100000)
bool(true)
string(13) "written after"
