--TEST--
Discovery: a named cluster from the INI maps, seeds that are refused with a warning, no usable seed, a seed that belongs to no cluster or one that does not cover every slot (the next seed is tried), CLUSTER SLOTS before 7.0.0, and an IPv6 seed
--EXTENSIONS--
kelvo
--FILE--
<?php
require __DIR__ . '/../inc/fakecluster.inc';
$f = new FakeCluster(['a', 'lone', 'gap', 'old']);
$full = $f->shards([['slots' => [[0, 16383]], 'nodes' => [['a']]]]);
$f->start([
    'a' => array_merge(FakeCluster::handshake(), [
        'on CLUSTER SHARDS', FakeCluster::reply($full), 'on GET', 'reply $1\r\na\r\n',
    ]),
    /* Reset or never joined: it knows only itself, without slots. */
    'lone' => array_merge(FakeCluster::handshake(), [
        'on CLUSTER SHARDS', FakeCluster::reply($f->shards([['slots' => [], 'nodes' => [['lone']]]])),
    ]),
    'gap' => array_merge(FakeCluster::handshake(), [
        'on CLUSTER SHARDS', FakeCluster::reply($f->shards([['slots' => [[0, 100]], 'nodes' => [['gap']]]])),
    ]),
    'old' => array_merge(FakeCluster::handshake('6.2.0'), [
        'on CLUSTER SLOTS', FakeCluster::reply($f->slots([[0, 16383, 'old']])), 'on GET', 'reply $3\r\nold\r\n',
    ]),
]);
function attempt(callable $make): void
{
    try {
        $k = $make();
        var_dump($k->get('k'));
    } catch (Kelvo\Exception $e) {
        echo preg_replace('/ \(.*/', '', $e->getMessage()), "\n";
    }
}
$a = $f->endpoint('a');
$ctx = ['use-cache' => false];

echo "-- named clusters\n";
ini_set('kelvo.cluster.seeds', "mine[]=$a&one={$f->endpoint('old')}");
attempt(fn() => new Kelvo\Cluster('mine', null, 0, 0, false, null, $ctx));
attempt(fn() => new Kelvo\Cluster('one', null, 0, 0, false, null, $ctx));
attempt(fn() => new Kelvo\Cluster('mine', ['127.0.0.1:1'], 0, 0, false, null, $ctx));
attempt(fn() => new Kelvo\Cluster('other', null));
attempt(fn() => new Kelvo\Cluster('', null));
attempt(fn() => new Kelvo\Cluster(null, null));

echo "-- refused seeds\n";
attempt(fn() => new Kelvo\Cluster(null, ['unix:///tmp/x.sock', 'tcp://:7000', '127.0.0.1', 'http://[', "tcp://$a"], 0, 0, false, null, $ctx));
attempt(fn() => new Kelvo\Cluster(null, [], 0, 0, false, null, $ctx));
attempt(fn() => new Kelvo\Cluster(null, ['127.0.0.1:1'], 0, 0, false, null, $ctx));

echo "-- seeds that cannot give the topology\n";
attempt(fn() => new Kelvo\Cluster(null, [$f->endpoint('lone'), $f->endpoint('gap')], 0, 0, false, null, $ctx));
attempt(fn() => new Kelvo\Cluster(null, [$f->endpoint('lone'), $f->endpoint('gap'), $a], 0, 0, false, null, $ctx));
echo "-- CLUSTER SLOTS before 7.0.0\n";
attempt(fn() => new Kelvo\Cluster(null, [$f->endpoint('old')], 0, 0, false, null, $ctx));
echo "-- IPv6 seed\n";
attempt(fn() => new Kelvo\Cluster(null, ['[::1]:1'], 0, 0, false, null, $ctx));
?>
--EXPECTF--
-- named clusters
string(1) "a"
string(3) "old"

Warning: Kelvo\Cluster::__construct(): Both name and seeds provided, will use name in %s on line %d
string(1) "a"
Failed to load cluster configuration from 'kelvo.cluster.*' INI directives
Name must be specified when using INI directives
Either name or seeds must be specified
-- refused seeds

Warning: Kelvo\Cluster::__construct(): Malformed seed host 'unix:///tmp/x.sock' (invalid scheme) in %s on line %d

Warning: Kelvo\Cluster::__construct(): Malformed seed host 'tcp://:7000' (%s) in %s on line %d

Warning: Kelvo\Cluster::__construct(): Malformed seed host '127.0.0.1' (missing port) in %s on line %d

Warning: Kelvo\Cluster::__construct(): Malformed seed host 'http://[' (%s) in %s on line %d
string(1) "a"
Failed to initialize cluster with provided configuration
Failed to initialize cluster with provided configuration
-- seeds that cannot give the topology
Failed to initialize cluster with provided configuration
string(1) "a"
-- CLUSTER SLOTS before 7.0.0
string(3) "old"
-- IPv6 seed
Failed to initialize cluster with provided configuration
