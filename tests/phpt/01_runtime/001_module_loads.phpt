--TEST--
The module loads under -n and names itself
--EXTENSIONS--
kelvo
--FILE--
<?php
var_dump(extension_loaded('kelvo'), phpversion('kelvo'));
?>
--EXPECT--
bool(true)
string(6) "0.40.0"
