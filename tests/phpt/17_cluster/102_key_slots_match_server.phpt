--TEST--
Key slots: the client sends each key of a table (hash tags, empty and nested braces, NUL and other bytes) to the node of the slot that CLUSTER KEYSLOT names
--EXTENSIONS--
kelvo
--FILE--
<?php
require __DIR__ . '/../inc/cluster.inc';
require __DIR__ . '/../inc/fakecluster.inc';

$keys = [
    'foo', '', '{user1000}.following', '{user1000}.followers', 'user1000', 'foo{}{bar}', 'foo{{bar}}zap',
    'foo{bar}{zap}', '{}', '{}key', '{', '}', 'a{b', 'a}b{c}', '}{x}', "nul\0byte", "{\0}tag", "\0", "{a\0b}1",
    "\xff\xfe\x80", str_repeat('long', 300), '{' . str_repeat('t', 200) . '}x',
];

/* What the server says, asked on the shared cluster (a read that changes nothing). */
$real = KelvoTestCluster::shared();
$expected = [];
foreach ($keys as $key) {
    $expected[$key] = $real->must($real->seeds[0], 'CLUSTER', 'KEYSLOT', $key);
}

/* One fake node per expected slot owning that slot alone, one more owning every other slot: the
   node that answers a key's ECHO tells which slot the client computed. */
$slots = array_values(array_unique($expected));
sort($slots);
$names = array_map(fn($s) => "s$s", $slots);
$f = new FakeCluster([...$names, 'rest']);
$shards = [];
$next = 0;
foreach ($slots as $s) {
    $shards[] = ['slots' => [[$s, $s]], 'nodes' => [["s$s"]]];
    if ($s > $next) {
        $rest[] = [$next, $s - 1];
    }
    $next = $s + 1;
}
if ($next <= 16383) {
    $rest[] = [$next, 16383];
}
$shards[] = ['slots' => $rest, 'nodes' => [['rest']]];
$topology = FakeCluster::reply($f->shards($shards));
$scripts = [];
foreach ([...$names, 'rest'] as $name) {
    $scripts[$name] = [...FakeCluster::handshake(), 'on INFO', FakeCluster::reply(kelvo_resp3("redis_version:7.2.0\r\n")),
                       'on CLUSTER SHARDS', $topology, 'on ECHO', FakeCluster::reply(kelvo_resp3($name))];
}
$f->start($scripts);

$c = new Kelvo\Cluster(null, [$f->endpoint('rest')]);
foreach ($keys as $key) {
    $node = $c->echo($key, 'which');
    if ($node !== 's' . $expected[$key]) {
        echo json_encode(bin2hex($key)), ": sent to $node, the server's slot is {$expected[$key]}\n";
    }
}
echo "done\n";
?>
--EXPECT--
done
