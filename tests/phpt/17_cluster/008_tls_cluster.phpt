--TEST--
A TLS-only cluster from a tls:// seed: discovery takes every node's TLS port, every node is reached over TLS with the seed's context (a clear-text connection would fail), and a slot moved to another primary is followed there
--EXTENSIONS--
kelvo
--FILE--
<?php
require __DIR__ . '/../inc/cluster.inc';
$c = KelvoTestCluster::start(['tls' => true]);
$context = ['stream' => $c->ssl(), 'use-cache' => false, 'throw-on-error' => true];
$k = new Kelvo\Cluster(null, ['tls://' . $c->seeds[0]], 2, 5, false, null, $context);
/* One key on each primary. */
$keys = [];
foreach ($c->primaries as $primary) {
    for ($i = 0; $c->owner($c->keyslot("tls$i")) !== $primary; $i++);
    $keys[$primary] = "tls$i";
}
foreach ($keys as $primary => $key) {
    $k->set($key, "on $primary");
}
$seen = [];
foreach ($keys as $primary => $key) {
    $seen[] = $c->must($primary, 'GET', $key) === "on $primary" && $k->get($key) === "on $primary";
}
var_dump($seen);
/* Move the first key's slot to the second primary. */
[$from, $to] = $c->primaries;
$slot = $c->keyslot($keys[$from]);
$c->moveSlots($from, $to, $slot, $slot);
var_dump($k->get($keys[$from]), $c->must($to, 'GET', $keys[$from]));
?>
--EXPECTF--
array(3) {
  [0]=>
  bool(true)
  [1]=>
  bool(true)
  [2]=>
  bool(true)
}
string(%d) "on %s"
string(%d) "on %s"
