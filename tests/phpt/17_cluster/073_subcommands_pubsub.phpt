--TEST--
Subcommand families (CONFIG, CLIENT, CLUSTER, SCRIPT, SLOWLOG, ACL) and PUBSUB on the node they name: their replies, their checks, and PUBSUB's channels under the key prefix
--FILE--
<?php
require __DIR__ . '/../inc/cluster.inc';
$t = KelvoTestCluster::shared();
$c = new Kelvo\Cluster(null, $t->seeds);
$at = fn(string $e) => [KelvoTestCluster::hostOf($e), KelvoTestCluster::port($e)];
[$first, $second] = [$at($t->primaries[0]), $at($t->primaries[1])];

$config = $c->config($first, 'get', 'maxmemory');
var_dump(in_array('maxmemory', (array) $config, true) || isset($config['maxmemory']));
var_dump(is_int($c->client($second, 'id')), $c->acl($second, 'whoami'));
$info = $c->cluster('any key', 'info');
var_dump($info['cluster_state'], $c->cluster($first, 'keyslot', 'foo'), $c->cluster($first, 'KEYSLOT', '{user1000}.x'));
var_dump(is_int($c->slowlog($second, 'len')), is_array($c->slowlog($second, 'get', 1)));

// Scripts live per node: loaded on one, unknown on another.
$sha = $c->script($first, 'load', 'return ' . getmypid());
var_dump($c->script($first, 'exists', $sha), $c->script($second, 'exists', $sha));

// The single-server checks of each subcommand apply.
var_dump($c->slowlog($first, 'nope'));
var_dump($c->script($first, 'exists'));

// PUBSUB: a subscriber on the second primary, to a channel under the prefix the client uses.
$channel = 'chan-' . getmypid();
$sub = $t->node($t->primaries[1]);
$sub->call('SUBSCRIBE', "pfx:$channel");
$p = new Kelvo\Cluster(null, $t->seeds, 0, 0, false, null, ['prefix' => 'pfx:']);
var_dump($p->pubsub($second, 'numsub', $channel), $p->pubsub($first, 'numsub', $channel));
var_dump($p->pubsub($second, 'channels', "$channel*"), is_int($p->pubsub($second, 'numpat')));
var_dump($c->pubsub($second, 'NUMSUB', "pfx:$channel", 'other'));

var_dump($c->pubsub($second, 'numpat', 'x'));
var_dump($c->pubsub($second, 'Channels', 'a*', 'b*'));
error_clear_last();
var_dump($c->pubsub($second, 'nosuch'), error_get_last());
?>
--EXPECTF--
bool(true)
bool(true)
string(7) "default"
string(2) "ok"
int(12182)
int(3443)
bool(true)
bool(true)
array(1) {
  [0]=>
  int(1)
}
array(1) {
  [0]=>
  int(0)
}

Warning: Kelvo\Cluster::slowlog(): Unknown subcommand 'nope' in %s on line %d
bool(false)

Warning: Kelvo\Cluster::script(): 'exists' requires minimum one argument in %s on line %d
bool(false)
array(2) {
  [0]=>
  string(%d) "pfx:chan-%d"
  [1]=>
  int(1)
}
array(2) {
  [0]=>
  string(%d) "pfx:chan-%d"
  [1]=>
  int(0)
}
array(1) {
  [0]=>
  string(%d) "pfx:chan-%d"
}
bool(true)
array(4) {
  [0]=>
  string(%d) "pfx:chan-%d"
  [1]=>
  int(1)
  [2]=>
  string(5) "other"
  [3]=>
  int(0)
}

Warning: Kelvo\Cluster::pubsub(): 'numpat' subcommand doesn't accept arguments in %s on line %d
bool(false)

Warning: Kelvo\Cluster::pubsub(): 'Channels' subcommand doesn't accept more than one argument in %s on line %d
bool(false)
bool(false)
NULL
