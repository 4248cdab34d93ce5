--TEST--
A CLIENT subcommand that changes a node's connection (its name) keeps that persistent link from the next cluster object, while an untouched link is reused
--INI--
kelvo.default_pconnect=1
--FILE--
<?php
require __DIR__ . '/../inc/cluster.inc';
$t = KelvoTestCluster::shared();
$node = [KelvoTestCluster::hostOf($t->primaries[2]), KelvoTestCluster::port($t->primaries[2])];
$open = fn() => new Kelvo\Cluster(null, $t->seeds, 0, 0, true);

$c = $open();
$plain = $c->client($node, 'id');
unset($c);
$c = $open();
var_dump($c->client($node, 'id') === $plain); /* the pooled link came back */
unset($c);

// The rename is the first command of a new object on that node: its link comes from the pool then.
$c = $open();
$name = 'renamed-' . getmypid();
var_dump($c->client($node, 'setname', $name), $c->client($node, 'getname') === $name);
$renamed = $c->client($node, 'id');
unset($c);

$c = $open();
var_dump($c->client($node, 'id') !== $renamed, $c->client($node, 'getname') !== $name);
?>
--EXPECT--
bool(true)
bool(true)
bool(true)
bool(true)
bool(true)
