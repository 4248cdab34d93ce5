--TEST--
A failover in the middle of a cluster transaction: discard() still reaches the demoted node, which is left out of MULTI so that a later write really runs; inside MULTI a redirection is reported, never followed, and exec() commits nothing on any node; listeners skip a replica that is down
--EXTENSIONS--
kelvo
--INI--
kelvo.maxmemory=16777216
--FILE--
<?php
require __DIR__ . '/../inc/cluster.inc';
$c = KelvoTestCluster::start();
$t = uniqid('failover:');
/* Keys of this test on a given primary, all of one slot there (a node's transaction keeps to one slot). */
$tags = [];
$on = function (int $primary, string $name) use ($c, $t, &$tags): string {
    for ($i = 0; !isset($tags[$primary]); $i++) {
        if ($c->owner($c->keyslot("$t:$i")) === $c->primaries[$primary]) {
            $tags[$primary] = "$t:$i";
        }
    }
    return "{{$tags[$primary]}}$name";
};
[$a, $b] = [$on(0, 'a'), $on(1, 'b')];
[$p0, $r0] = [$c->primaries[0], $c->replicas[0]];
$k = new Kelvo\Cluster(null, $c->seeds, 0, 0, false, null, ['use-cache' => false]);

echo "-- discard after a failover\n";
$k->multi()->set($a, 'queued')->set($b, 'queued');
$c->failover($r0);
var_dump($k->discard());
var_dump($k->set($a, 'plain'), $c->must($r0, 'GET', $a), $k->get($b));

echo "-- a redirection inside MULTI\n";
/* The client still sends the slot to its old owner, now a replica that answers MOVED. */
$c->failover($p0);
$result = $k->multi()->set($b, 'in')->set($a, 'in');
var_dump($result, str_starts_with((string) $k->getLastError(), 'MOVED '));
var_dump($k->exec(), $c->must($c->primaries[1], 'GET', $b), $c->must($p0, 'GET', $a));
var_dump($k->set($a, 'again'), $c->must($p0, 'GET', $a));

echo "-- listeners with a replica down\n";
$c->kill($c->replicas[1]);
$l = new Kelvo\Cluster(null, $c->seeds, 0, 0, false, null, ['use-cache' => true]);
var_dump($l->onInvalidated(fn() => null, "$t:*"), $l->listen(fn() => null), $l->dispatchEvents());
var_dump($l->listen(null), $l->onInvalidated(null, "$t:*"));
?>
--EXPECT--
-- discard after a failover
bool(true)
bool(true)
string(5) "plain"
bool(false)
-- a redirection inside MULTI
bool(false)
bool(true)
bool(false)
NULL
string(5) "plain"
bool(true)
string(5) "again"
-- listeners with a replica down
bool(true)
bool(true)
int(0)
bool(true)
bool(true)
