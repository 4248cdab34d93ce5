--TEST--
Cluster node-wide calls inside a transaction: KEYS gives one result per call at EXEC, joined as outside a transaction, SELECT one result for every node; the subscribe family throws, fullscan() and SCAN warn, and a full scan stepped inside the transaction throws instead of ending quietly
--FILE--
<?php
require __DIR__ . '/../inc/cluster.inc';
$t = KelvoTestCluster::shared();
$c = new Kelvo\Cluster(null, $t->seeds);
$ns = 'nw155-' . getmypid();
$keys = [];
for ($tag = 0; $tag < 12; $tag++) {
    $c->set($keys[] = "{{$ns}:$tag}:k", $tag);
}
$outside = $c->keys("{{$ns}:*");

var_dump($c->multi() === $c);
var_dump($c->keys("{{$ns}:*") === $c, $c->get($keys[0]) === $c, $c->select(0) === $c, $c->keys("{{$ns}:1*") === $c);
$results = $c->exec();
/* A node's KEYS order may change between two calls while its key table rehashes. */
sort($outside);
sort($results[0]);
var_dump(count($results), $results[0] === $outside, $results[1], $results[2]);
sort($results[3]);
echo implode(' ', str_replace($ns, 'NS', $results[3])), "\n";

$g = $c->fullscan("{{$ns}:*");
$c->multi();
foreach ([
    'subscribe' => fn() => $c->subscribe(['ch'], fn() => null),
    'ssubscribe' => fn() => $c->ssubscribe(['ch'], fn() => null),
    'psubscribe' => fn() => $c->psubscribe(['ch*'], fn() => null),
    'fullscan()' => fn() => $c->fullscan(),
    'scan' => function () use ($c, $t) { $it = null; return $c->scan($it, $t->primaries[0]); },
    'a full scan stepped' => function () use ($g) { foreach ($g as $page) { echo "a page\n"; } return 'ended'; },
] as $what => $call) {
    try {
        $outcome = var_export($call(), true);
    } catch (Kelvo\Exception $e) {
        $outcome = preg_replace('/ \(.*$/', '', $e->getMessage());
    }
    echo "$what: $outcome\n";
}
var_dump($c->discard());
$n = 0;
foreach ($g as $page) {
    $n += count($page);
}
var_dump($n);
$c->del($keys);
?>
--EXPECTF--
bool(true)
bool(true)
bool(true)
bool(true)
bool(true)
int(4)
bool(true)
string(1) "0"
bool(true)
{NS:10}:k {NS:11}:k {NS:1}:k
subscribe: Cannot SUBSCRIBE inside MULTI/PIPELINE
ssubscribe: Cannot SUBSCRIBE inside MULTI/PIPELINE
psubscribe: Cannot SUBSCRIBE inside MULTI/PIPELINE

Warning: Kelvo\Cluster::fullscan(): SCAN cannot be called in pipeline/multi mode in %s on line %d
fullscan(): false

Warning: Kelvo\Cluster::scan(): SCAN cannot be called in pipeline/multi mode in %s on line %d
scan: false
a full scan stepped: SCAN cannot be called in pipeline/multi mode
bool(true)
int(12)
