--TEST--
A kelvo.maxmemory of 0 turns the cache off; boolean spellings of kelvo.default_pconnect
--EXTENSIONS--
kelvo
--INI--
kelvo.maxmemory=0
kelvo.default_pconnect=yes
kelvo.key_leases=2
kelvo.max_db_writers=4
--FILE--
<?php
var_dump(ini_get('kelvo.maxmemory'), ini_get('kelvo.default_pconnect'), ini_get('kelvo.key_leases'));
?>
--EXPECT--
string(1) "0"
string(1) "1"
string(1) "4"
