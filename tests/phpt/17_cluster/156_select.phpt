--TEST--
Cluster SELECT: every node switches, or none stays switched: a node that refuses makes the call false with its error, and a node that had switched reconnects to the previous database on its next use; a real cluster refuses any database but 0
--FILE--
<?php
require __DIR__ . '/../inc/fakecluster.inc';
require __DIR__ . '/../inc/cluster.inc';
$f = new FakeCluster(['a', 'b']);
$shards = $f->shards([['slots' => [[0, 8191]], 'nodes' => [['a']]], ['slots' => [[8192, 16383]], 'nodes' => [['b']]]]);
$f->start([
    'a' => array_merge(FakeCluster::handshake(), [
        'on CLUSTER SHARDS', FakeCluster::reply($shards),
        'on SELECT', 'reply +OK\r\n',
        'on GET', 'reply $2\r\nva\r\n',
    ]),
    'b' => array_merge(FakeCluster::handshake(), [
        'on CLUSTER SHARDS', FakeCluster::reply($shards),
        'on SELECT', 'reply -ERR SELECT is not allowed in cluster mode\r\n',
    ]),
]);
$c = new Kelvo\Cluster(null, [$f->endpoint('a'), $f->endpoint('b')]);
var_dump($c->get('b'));                    /* slot 3300: node a */
var_dump($c->select(1), $c->getLastError());
var_dump($c->get('b'));
$a = $f->received('a');
/* a switched, was dropped, and its new connection stays in database 0 */
var_dump(substr_count($a, '|SELECT|'), substr_count($a, 'HELLO|'), strrpos($a, 'HELLO|') > strpos($a, '|SELECT|'));
var_dump(substr_count($f->received('b'), '|SELECT|'));

$t = KelvoTestCluster::shared();
$r = new Kelvo\Cluster(null, $t->seeds);
$key = 'nw156-' . getmypid();
var_dump($r->set($key, 'v'), $r->select(1), $r->getLastError(), $r->get($key), $r->select(0), $r->get($key), $r->del($key));
?>
--EXPECT--
string(2) "va"
bool(false)
string(41) "ERR SELECT is not allowed in cluster mode"
string(2) "va"
int(1)
int(2)
bool(true)
int(1)
bool(true)
bool(false)
string(41) "ERR SELECT is not allowed in cluster mode"
string(1) "v"
bool(true)
string(1) "v"
int(1)
