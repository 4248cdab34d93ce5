--TEST--
The arena is one shared mapping of kelvo.maxmemory bytes, not made resident by default
--EXTENSIONS--
kelvo
--INI--
kelvo.maxmemory=32M
--FILE--
<?php
require __DIR__ . '/arena.inc';
$maps = kelvo_shared_mappings();
var_dump(count($maps), $maps[0][0], $maps[0][1] < $maps[0][0] / 2);
?>
--EXPECT--
int(1)
int(33554432)
bool(true)
