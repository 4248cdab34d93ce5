--TEST--
Under -n, where nothing has loaded them, start-up opens LZ4 and Zstandard by name
--EXTENSIONS--
kelvo
--FILE--
<?php
// The interpreter links neither library; only the module's look-up maps them in.
$maps = file_get_contents('/proc/self/maps');
var_dump(str_contains($maps, '/liblz4.so'), str_contains($maps, '/libzstd.so'));
?>
--EXPECT--
bool(true)
bool(true)
