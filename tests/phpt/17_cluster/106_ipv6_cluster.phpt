--TEST--
A cluster on ::1: discovery from a bracketed seed, commands on every shard, a multi-slot MGET and MSET, and a MOVED reply naming a node by its IPv6 address
--EXTENSIONS--
kelvo
--FILE--
<?php
require __DIR__ . '/../inc/cluster.inc';
$c = KelvoTestCluster::start(['ipv6' => true]);
var_dump($c->host, $c->seeds[0][0]);

$k = new Kelvo\Cluster(null, [$c->seeds[0]]);
/* A key per shard. */
$keys = [];
foreach ($c->primaries as $p) {
    for ($i = 0; $c->owner($c->keyslot("v6:$i")) !== $p || in_array("v6:$i", $keys, true); $i++);
    $keys[] = "v6:$i";
}
foreach ($keys as $key) {
    var_dump($k->set($key, "value of $key"));
}
var_dump($k->mget($keys) === array_map(fn($x) => "value of $x", $keys));
var_dump($k->mset(array_combine($keys, ['a', 'b', 'c'])), $k->mget($keys));
foreach ($keys as $i => $key) {
    var_dump($c->must($c->primaries[$i], 'GET', $key));
}
/* A redirection names the new owner by its IPv6 address. */
$slot = $c->keyslot($keys[0]);
$c->moveSlots($c->primaries[0], $c->primaries[1], $slot, $slot);
$c->waitOk();
var_dump($k->get($keys[0]), $k->set($keys[0], 'moved'), $c->must($c->primaries[1], 'GET', $keys[0]));
echo "done\n";
?>
--EXPECT--
string(3) "::1"
string(1) "["
bool(true)
bool(true)
bool(true)
bool(true)
bool(true)
array(3) {
  [0]=>
  string(1) "a"
  [1]=>
  string(1) "b"
  [2]=>
  string(1) "c"
}
string(1) "a"
string(1) "b"
string(1) "c"
string(1) "a"
bool(true)
string(5) "moved"
done
