--TEST--
Kelvo\Table::keys() and fullscan() match patterns against whole keys: a key holding a NUL byte is not matched by its part before the NUL, and a NUL in a pattern is an ordinary byte
--EXTENSIONS--
kelvo
--FILE--
<?php
use Kelvo\Table;

foreach (['user:1', "user:1\0secret", 'a', "a\0b"] as $k) {
    Table::set($k, 1);
}
$sorted = function (array $keys): string {
    sort($keys);
    return json_encode($keys);
};
foreach (['user:1', 'user:1*', 'a', "a\0b", "a\0*", 'a?b', '*'] as $pattern) {
    $listed = $sorted(Table::keys($pattern));
    $scanned = $sorted(array_merge([], ...iterator_to_array(Table::fullscan($pattern))));
    printf("%-12s %s%s\n", json_encode($pattern), $listed, $scanned === $listed ? '' : " but fullscan gives $scanned");
}
?>
--EXPECT--
"user:1"     ["user:1"]
"user:1*"    ["user:1","user:1\u0000secret"]
"a"          ["a"]
"a\u0000b"   ["a\u0000b"]
"a\u0000*"   ["a\u0000b"]
"a?b"        ["a\u0000b"]
"*"          ["a","a\u0000b","user:1","user:1\u0000secret"]
