--TEST--
Multi-key commands over several slots: DEL, UNLINK, MSET, MSETNX and MGET go out once per slot, in the order the slots first appear, and fold into one answer in the caller's key order, duplicates included
--EXTENSIONS--
kelvo
--FILE--
<?php
require __DIR__ . '/../inc/cluster.inc';
$c = KelvoTestCluster::shared();
$k = new Kelvo\Cluster(null, $c->seeds);
$t = uniqid('split:');
/* Three keys in three slots, two of them sharing a hash tag with a fourth. */
$a = "{{$t}a}1";
$a2 = "{{$t}a}2";
$b = "{{$t}b}";
$d = "{{$t}d}";
var_dump(count(array_unique(array_map([$c, 'keyslot'], [$a, $b, $d]))), $c->keyslot($a) === $c->keyslot($a2));

var_dump($k->mset([$a => 'A', $b => 'B', $d => 'D', $a2 => 'A2']));
var_dump($k->mget([$b, $a, $d, 'missing' . $t, $a2, $a]));
/* Each key landed on the node that owns its slot. */
foreach ([$a => 'A', $b => 'B', $d => 'D', $a2 => 'A2'] as $key => $value) {
    var_dump($c->must($c->owner($c->keyslot($key)), 'GET', $key) === $value);
}
$set = $k->msetnx([$a => 'again', "{{$t}e}" => 'E']);
var_dump(array_keys($set) === [$a, "{{$t}e}"], array_values($set));
var_dump($k->get("{{$t}e}"), $k->get($a));

$cases = [
    'del with a duplicate and a missing key' => fn() => $k->del($a, $b, $a, "nope$t"),
    'unlink of an array' => fn() => $k->unlink([$d, $a2, "{{$t}e}"]),
    'del of what is gone' => fn() => $k->del([$a, $b, $d]),
];
foreach ($cases as $name => $call) {
    echo "$name: ";
    var_dump($call());
}
var_dump($k->mget([$a, $b, $d]));
/* Keys of one slot go out as the command itself. */
var_dump($k->mset([$a => 1, $a2 => 2]), $k->del($a, $a2));
?>
--EXPECT--
int(3)
bool(true)
bool(true)
array(6) {
  [0]=>
  string(1) "B"
  [1]=>
  string(1) "A"
  [2]=>
  string(1) "D"
  [3]=>
  bool(false)
  [4]=>
  string(2) "A2"
  [5]=>
  string(1) "A"
}
bool(true)
bool(true)
bool(true)
bool(true)
bool(true)
array(2) {
  [0]=>
  bool(false)
  [1]=>
  bool(true)
}
string(1) "E"
string(1) "A"
del with a duplicate and a missing key: int(2)
unlink of an array: int(3)
del of what is gone: int(0)
array(3) {
  [0]=>
  bool(false)
  [1]=>
  bool(false)
  [2]=>
  bool(false)
}
bool(true)
int(2)
