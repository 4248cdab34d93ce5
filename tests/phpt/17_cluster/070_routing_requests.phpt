--TEST--
Routing callbacks send exactly their request to the node they name: node words, sync modifiers, PUBSUB forms, prefixed keys, scan cursors and options, COMMAND on the first node
--FILE--
<?php
require __DIR__ . '/../inc/fakecluster.inc';
require __DIR__ . '/../inc/cluster.inc';

$f = new FakeCluster(['a', 'b']);
$shards = $f->shards([['slots' => [[0, 8191]], 'nodes' => [['a']]], ['slots' => [[8192, 16383]], 'nodes' => [['b']]]]);
$answers = [];
foreach (['FLUSHALL', 'FLUSHDB', 'BGSAVE', 'BGREWRITEAOF', 'SAVE'] as $cmd) {
    array_push($answers, "on $cmd", 'reply +OK\r\n');
}
array_push($answers,
    'on ECHO', 'reply $4\r\necho\r\n', 'on DBSIZE', 'reply :7\r\n', 'on INFO', 'reply =20\r\ntxt:redis_mode:yes\r\n\r\n',
    'on WAITAOF', 'reply *2\r\n:0\r\n:1\r\n', 'on WAIT', 'reply :1\r\n', 'on PUBSUB numpat', 'reply :0\r\n',
    'on PUBSUB channels', 'reply *1\r\n$3\r\nch1\r\n', 'on PUBSUB', 'reply *4\r\n$3\r\none\r\n:1\r\n$3\r\ntwo\r\n:0\r\n',
    'on OBJECT', 'reply $6\r\nembstr\r\n', 'on COMMAND count', 'reply :240\r\n', 'on COMMAND', 'reply *0\r\n',
    'on HSCAN', 'reply *2\r\n$1\r\n0\r\n*2\r\n$1\r\nf\r\n$1\r\nv\r\n',
    'on SCAN', 'reply *2\r\n$2\r\n17\r\n*1\r\n$1\r\nk\r\n',
    'on CLUSTERSCAN', 'reply *2\r\n$7\r\n{x}next\r\n*1\r\n$1\r\nk\r\n');
$f->start(['a' => array_merge(FakeCluster::handshake(), ['on CLUSTER SHARDS', FakeCluster::reply($shards)], $answers),
           'b' => array_merge(FakeCluster::handshake(), $answers)]);

/* The commands a node received after the connection's handshake and the topology question. */
function commands(FakeCluster $f, string $node): array
{
    $t = explode('|', $f->received($node));
    $out = [];
    for ($i = 0; $i < count($t) && $t[$i] !== ''; ) {
        $n = (int) substr($t[$i++], 1);
        $words = [];
        for ($j = 0; $j < $n; $j++, $i += 2) {
            $words[] = $t[$i + 1];
        }
        // The module's own: the handshake, the topology, and INFO (without sections) once a minute.
        if (!in_array(strtoupper($words[0]), ['HELLO', 'CLIENT', 'READONLY', 'CLUSTER'], true) && $words !== ['INFO']) {
            $out[] = implode(' ', $words);
        }
    }
    return $out;
}

$c = new Kelvo\Cluster(null, [$f->endpoint('a')]);
$a = ['host' => '127.0.0.1', 'port' => $f->ports['a']];
$b = ['127.0.0.1', $f->ports['b']];
// "a" and "b" are keys of slots 15495 and 3300: node b and node a. A first CLUSTERSCAN cursor "0"
// is slot 13907 (node b), "{x}next" the slot of "x", 16287 (node b).
$calls = [
    'flushall sync' => fn() => $c->flushall($a, true),
    'flushall async' => fn() => $c->flushall($a, false),
    'flushall default' => fn() => $c->flushall($a),
    'flushdb null' => fn() => $c->flushdb($b, null),
    'bgsave schedule' => fn() => $c->bgsave($a, true),
    'bgsave' => fn() => $c->bgsave($a),
    'bgrewriteaof' => fn() => $c->bgrewriteaof('b'),
    'echo' => fn() => $c->echo('a', 'echo'),
    'ping' => fn() => $c->ping($a),
    'ping message' => fn() => $c->ping($a, 'hi there'),
    'dbsize' => fn() => $c->dbsize('a'),
    'info sections' => fn() => $c->info($a, 'server', 7),
    'wait' => fn() => $c->wait($b, 1, 250),
    'waitaof' => fn() => $c->waitaof($b, 0, 1, 250),
    'pubsub numpat' => fn() => $c->pubsub($a, 'NumPat'),
    'pubsub channels' => fn() => $c->pubsub($a, 'channels', 'ch*'),
    'pubsub shardnumsub' => fn() => $c->pubsub($a, 'shardnumsub', 'one', 'two'),
    'command' => fn() => $c->command('count'),
    'object' => fn() => $c->object('encoding', 'b'),
    'hscan' => function () use ($c) { $it = null; return [$c->hscan('b', $it, 'f*', 10), $it]; },
    'scan' => function () use ($c, $b) { $it = null; return [$c->scan($it, $b, 'k*', 5, 'string'), $it]; },
    'clusterscan' => function () use ($c) { $it = null; return [$c->clusterscan($it, 'k*', 3, 'hash'), $it]; },
    'clusterscan slot' => function () use ($c) { $it = '{x}next'; return [$c->clusterscan($it, null, 0, null, 100), $it]; },
];
$seen = ['a' => 0, 'b' => 0];
$run = function (array $calls) use ($f, &$seen) {
    foreach ($calls as $what => $call) {
        $result = $call();
        $where = [];
        foreach ($seen as $node => $count) {
            $now = commands($f, $node);
            foreach (array_slice($now, $count) as $sent) {
                $where[] = "$node: $sent";
            }
            $seen[$node] = count($now);
        }
        printf("%-18s %s => %s\n", $what, implode('; ', $where), json_encode($result));
    }
};
$run($calls);

echo "-- with the key prefix \"p:\"\n";
$c = new Kelvo\Cluster(null, [$f->endpoint('a')], 0, 0, false, null, ['prefix' => 'p:']);
// "x" is slot 16287 (node b), but "p:x" is 3529 (node a); "p:b" is 16050 (node b).
$run([
    'echo by prefixed key' => fn() => $c->echo('x', 'echo'),
    'object' => fn() => $c->object('encoding', 'b'),
    'hscan' => function () use ($c) { $it = null; return [$c->hscan('x', $it, 'f*'), $it]; },
    'pubsub numsub' => fn() => $c->pubsub('x', 'numsub', 'ch1', 'ch2'),
    'command' => fn() => $c->command(),
]);
?>
--EXPECT--
flushall sync      a: FLUSHALL SYNC => true
flushall async     a: FLUSHALL ASYNC => true
flushall default   a: FLUSHALL => true
flushdb null       b: FLUSHDB => true
bgsave schedule    a: BGSAVE SCHEDULE => true
bgsave             a: BGSAVE => true
bgrewriteaof       a: BGREWRITEAOF => true
echo               b: ECHO echo => "echo"
ping               a: PING => true
ping message       a: PING hi there => true
dbsize             b: DBSIZE => 7
info sections      a: INFO server 7 => {"redis_mode":"yes"}
wait               b: WAIT 1 250 => 1
waitaof            b: WAITAOF 0 1 250 => [0,1]
pubsub numpat      a: PUBSUB NumPat => 0
pubsub channels    a: PUBSUB channels ch* => ["ch1"]
pubsub shardnumsub a: PUBSUB shardnumsub one two => ["one",1,"two",0]
command            a: COMMAND count => 240
object             a: OBJECT encoding b => "embstr"
hscan              a: HSCAN b 0 MATCH f* COUNT 10 => [{"f":"v"},0]
scan               b: SCAN 0 MATCH k* COUNT 5 TYPE string => [["k"],17]
clusterscan        b: CLUSTERSCAN 0 MATCH k* COUNT 3 TYPE hash => [["k"],"{x}next"]
clusterscan slot   a: CLUSTERSCAN {x}next SLOT 100 => [["k"],"{x}next"]
-- with the key prefix "p:"
echo by prefixed key a: ECHO echo => "echo"
object             b: OBJECT encoding p:b => "embstr"
hscan              a: HSCAN p:x 0 MATCH f* => [{"f":"v"},0]
pubsub numsub      a: PUBSUB numsub p:ch1 p:ch2 => ["one",1,"two",0]
command            a: COMMAND => []
