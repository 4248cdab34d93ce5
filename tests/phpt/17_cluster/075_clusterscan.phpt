--TEST--
CLUSTERSCAN: a text cursor from "0" back to "0" that goes to the node of its own slot (or of the slot given) and follows a redirection; a finished scan and a slot out of range send nothing
--FILE--
<?php
require __DIR__ . '/../inc/fakecluster.inc';
require __DIR__ . '/../inc/cluster.inc';

$f = new FakeCluster(['a', 'b']);
$shards = $f->shards([['slots' => [[0, 8191]], 'nodes' => [['a']]], ['slots' => [[8192, 16383]], 'nodes' => [['b']]]]);
$page = fn(string $cursor, string ...$keys) => FakeCluster::reply(kelvo_resp3([$cursor, $keys]));
// "0" is slot 13907 and "{x}c1" slot 16287: node b. "{b}c2" is slot 3300: node a.
$f->start([
    'a' => array_merge(FakeCluster::handshake(), ['on CLUSTER SHARDS', FakeCluster::reply($shards),
        'on CLUSTERSCAN {x}c1', $page('{b}c2', 'k3'), 'on CLUSTERSCAN {b}c2', $page('0', 'k4'),
        'on CLUSTERSCAN 0', $page('0')]),
    'b' => array_merge(FakeCluster::handshake(), [
        'on CLUSTERSCAN {x}c1', FakeCluster::reply("-MOVED 16287 {$f->endpoint('a')}\r\n"),
        'on CLUSTERSCAN 0', $page('{x}c1', 'k1', 'k2')]),
]);

function scans(FakeCluster $f, string $node): string
{
    $t = explode('|', $f->received($node));
    $out = [];
    for ($i = 0; $i < count($t) && $t[$i] !== ''; ) {
        $n = (int) substr($t[$i++], 1);
        $words = [];
        for ($j = 0; $j < $n; $j++, $i += 2) {
            $words[] = $t[$i + 1];
        }
        if ($words[0] === 'CLUSTERSCAN') {
            $out[] = implode(' ', $words);
        }
    }
    return implode('; ', $out);
}

$c = new Kelvo\Cluster(null, [$f->endpoint('a')]);
$it = null;
while (($keys = $c->clusterscan($it, 'k*')) !== false) {
    echo json_encode($keys), ' ', json_encode($it), "\n";
}
var_dump($it, $c->clusterscan($it));

$it = null;
var_dump($c->clusterscan($it, null, 0, null, 5), $it);
foreach ([16384, -1] as $slot) {
    $it = null;
    var_dump($c->clusterscan($it, null, 0, null, $slot));
}
echo "a: ", scans($f, 'a'), "\nb: ", scans($f, 'b'), "\n";
?>
--EXPECTF--
["k1","k2"] "{x}c1"
["k3"] "{b}c2"
["k4"] "0"
string(1) "0"
bool(false)
array(0) {
}
string(1) "0"

Warning: Kelvo\Cluster::clusterscan(): Invalid or out of range slot 16384 in %s on line %d
bool(false)

Warning: Kelvo\Cluster::clusterscan(): Invalid or out of range slot -1 in %s on line %d
bool(false)
a: CLUSTERSCAN {x}c1 MATCH k*; CLUSTERSCAN {b}c2 MATCH k*; CLUSTERSCAN 0 SLOT 5
b: CLUSTERSCAN 0 MATCH k*; CLUSTERSCAN {x}c1 MATCH k*
