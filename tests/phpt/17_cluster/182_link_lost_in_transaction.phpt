--TEST--
A node's link killed in the middle of a cluster transaction (CLIENT KILL from another connection) aborts the whole transaction with an exception, whether the node is used again before exec() or not and whether it only held a watch: no node commits, no result shifts, and the client works normally afterwards
--EXTENSIONS--
kelvo
--FILE--
<?php
require __DIR__ . '/../inc/cluster.inc';
$c = KelvoTestCluster::shared();
$t = uniqid('lost:');
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
[$a, $a2, $b, $d] = [$on(0, 'a'), $on(0, 'a2'), $on(1, 'b'), $on(2, 'd')];
$p0 = $c->primaries[0];
$k = new Kelvo\Cluster(null, $c->seeds, 0, 0, false, null, ['use-cache' => false]);
/* Kills the link $k holds to the first primary, from a connection of the test's own. */
$kill = function () use ($k, $c, $p0) {
    $id = $k->rawCommand([KelvoTestCluster::hostOf($p0), KelvoTestCluster::port($p0)], 'CLIENT', 'ID');
    return fn() => $c->must($p0, 'CLIENT', 'KILL', 'ID', $id);
};
$written = fn() => count(array_filter([$a, $a2, $b, $d],
    fn($key) => $c->must($c->owner($c->keyslot($key)), 'GET', $key) !== null));

$cases = [
    'killed, then exec' => function () use ($k, $kill, $a, $b, $d) {
        $killer = $kill();
        $k->multi()->set($b, '1')->set($a, '2')->set($d, '3');
        $killer();
        return $k->exec();
    },
    'killed, then another command for that node' => function () use ($k, $kill, $a, $a2, $b) {
        $killer = $kill();
        $k->multi()->set($b, '1')->set($a, '2');
        $killer();
        try {
            $k->set($a2, '3');
            echo "queued\n";
        } catch (Kelvo\Exception $e) {
            echo "the command threw\n";
        }
        return $k->exec();
    },
    'a watching link killed' => function () use ($k, $kill, $a, $b, $d) {
        $killer = $kill();
        $k->watch($a);
        $killer();
        return $k->multi()->set($b, '1')->set($d, '2')->exec();
    },
];
foreach ($cases as $name => $run) {
    try {
        $result = json_encode($run());
    } catch (Kelvo\Exception $e) {
        $result = "thrown ({$e->getCode()}) {$e->getMessage()}";
    }
    echo "$name: $result, written ", $written(), "\n";
    var_dump($k->set($a, 'after'), $k->get($a), $k->del($a));
}
?>
--EXPECTF--
killed, then exec: thrown (1) Connection lost in the middle of the transaction%s, written 0
bool(true)
string(5) "after"
int(1)
the command threw
killed, then another command for that node: false, written 0
bool(true)
string(5) "after"
int(1)
a watching link killed: thrown (1) Connection lost in the middle of the transaction%s, written 0
bool(true)
string(5) "after"
int(1)
