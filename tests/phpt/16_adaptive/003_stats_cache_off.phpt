--TEST--
stats() with the shared cache off: all five arrays, zero memory, no endpoints, the process identity
--EXTENSIONS--
kelvo
--INI--
kelvo.maxmemory=0
--FILE--
<?php
$s = Kelvo\Kelvo::stats();
var_dump(array_keys($s), $s['memory'], $s['endpoints'], $s['stats']['ops_per_sec'], $s['usage']['free_leases']);
var_dump($s['hashes']['pid'] === getmypid(), strlen($s['hashes']['runid']));
?>
--EXPECT--
array(5) {
  [0]=>
  string(5) "usage"
  [1]=>
  string(5) "stats"
  [2]=>
  string(6) "memory"
  [3]=>
  string(9) "endpoints"
  [4]=>
  string(6) "hashes"
}
array(4) {
  ["total"]=>
  int(0)
  ["limit"]=>
  int(0)
  ["active"]=>
  int(0)
  ["used"]=>
  int(0)
}
array(0) {
}
int(0)
int(0)
bool(true)
int(36)
