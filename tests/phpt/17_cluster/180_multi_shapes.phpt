--TEST--
Cluster transactions: commands on one node or on three come back in the order they were queued, a command split over slots gives one result per call folded as outside a transaction, a failing command leaves the others' results in place, and the transaction methods' own rules (modes, exec and discard outside a transaction, watch and unwatch inside one)
--EXTENSIONS--
kelvo
--FILE--
<?php
require __DIR__ . '/../inc/cluster.inc';
$c = KelvoTestCluster::shared();
$k = new Kelvo\Cluster(null, $c->seeds, 0, 0, false, null, ['use-cache' => false]);
$t = uniqid('multi:');
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
[$a, $a2, $b, $c2, $n1, $n2] = [$on(0, 'a'), $on(0, 'a2'), $on(1, 'b'), $on(2, 'c'), $on(1, 'n1'), $on(2, 'n2')];
/* A key of the first primary in another slot than $a. */
for ($i = 0;; $i++) {
    $other = "$t:other:$i";
    if ($c->owner($c->keyslot($other)) === $c->primaries[0] && $c->keyslot($other) !== $c->keyslot($a)) {
        break;
    }
}

$cases = [
    'one node' => fn() => $k->multi()->set($a, '1')->incr($a)->get($a)->exec(),
    'three nodes, interleaved' => fn() => $k->multi()->set($a, 'A')->set($b, 'B')->set($c2, 'C')
        ->get($c2)->get($a)->get($b)->exec(),
    'a split DEL, then a read' => fn() => $k->multi()->del($a, $b)->get($c2)->exec(),
    'split MSET and MGET around single commands' => fn() => $k->multi()->mset([$a => 1, $b => 2, $c2 => 3])
        ->get($b)->mget([$c2, $a, $on(1, 'missing'), $b, $a2])->incr($c2)->exec(),
    'split MSETNX' => fn() => $k->multi()->msetnx([$n1 => 'x', $n2 => 'y'])->msetnx([$n1 => 'z', $a2 => 'w'])
        ->exec(),
    'a failing command among others' => fn() => $k->multi()->set($a, 'text')->incr($a)->set($b, 'fine')->exec(),
    'UNLINK over three nodes and one slot' => fn() => $k->multi()->unlink([$a, $b, $c2])->unlink($n1, $n1)->exec(),
    'KEYS on every primary, one list' => function () use ($k, $t, $a, $b, $c2) {
        $r = $k->multi()->mset([$a => 1, $b => 2, $c2 => 3])->keys('{' . $t . ':*}?')->get($b)->exec();
        sort($r[1]);
        $keys = [$a, $b, $c2];
        sort($keys);
        return [$r[0], $r[1] === $keys, $r[2]];
    },
    'SELECT of the only database on every node' => fn() => $k->multi()->select(0)->get($a)->exec(),
    /* Queued, then refused by every node in its turn: the other commands stand. */
    'SELECT of a database the nodes refuse' => fn() => [$k->multi()->set($b, 'no')->select(1) === $k, $k->exec(),
        $k->get($b)],
    /* A node runs a transaction only on keys of one slot: refused before any node commits. */
    'two slots on one node' => fn() => [$k->multi()->set($b, 'x')->set($a, 'y')->set($other, 'z')->exec(),
        $k->getLastError()],
];
foreach ($cases as $name => $run) {
    echo "$name: ", json_encode($run()), "\n";
}
echo "after them: ", json_encode([$k->get($a), $k->get($b), $k->get($c2), $k->get($n2), $k->get($a2), $k->get($other)]),
    "\n";

echo "-- modes and misuse\n";
var_dump($k->exec(), $k->discard());
var_dump($k->multi(Kelvo\Kelvo::PIPELINE));
var_dump($k->multi() === $k, $k->multi() === $k);
try {
    $k->watch($a);
} catch (Kelvo\Exception $e) {
    echo get_class($e), " ", $e->getCode(), ": ", $e->getMessage(), "\n";
}
/* Still open: the watch changed nothing, and unwatch queues nothing. */
var_dump($k->unwatch() === $k);
echo "still open: ", json_encode($k->set($b, 'kept')->get($b)->exec()), "\n";
$k->multi()->set($b, 'dropped');
var_dump($k->discard(), $k->get($b), $k->exec());
?>
--EXPECTF--
one node: [true,2,"2"]
three nodes, interleaved: [true,true,true,"C","A","B"]
a split DEL, then a read: [2,"C"]
split MSET and MGET around single commands: [true,"2",["3","1",false,"2",false],4]
split MSETNX: [{"%s":true,"%s":true},{"%s":false,"%s":true}]
a failing command among others: [true,false,true]
UNLINK over three nodes and one slot: [3,1]
KEYS on every primary, one list: [true,true,"2"]
SELECT of the only database on every node: [true,"1"]
SELECT of a database the nodes refuse: [true,[true,false],"no"]
two slots on one node: [false,"CROSSSLOT Keys in request don't hash to the same slot"]
after them: ["1","no","3","y","w",false]
-- modes and misuse
bool(false)
bool(false)

Warning: Kelvo\Cluster::multi(): Unknown multi mode 2 in %s on line %d
bool(false)
bool(true)
bool(true)
Kelvo\Exception 14: WATCH inside MULTI is not allowed%s
bool(true)
still open: [true,"kept"]
bool(true)
string(4) "kept"
bool(false)
