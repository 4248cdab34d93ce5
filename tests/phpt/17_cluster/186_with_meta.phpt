--TEST--
Cluster getWithMeta and hgetWithMeta: the value with whether it came from the shared cache and its length, from the node that owns the key; the metadata asks only for that call, and a missing key or field has none to tell
--EXTENSIONS--
kelvo
--INI--
kelvo.maxmemory=16777216
--FILE--
<?php
require __DIR__ . '/../inc/cluster.inc';
$c = KelvoTestCluster::shared();
$t = uniqid('meta:');
$k = new Kelvo\Cluster(null, $c->seeds, 0, 0, false, null, ['use-cache' => true]);
$k->set("$t:s", 'hello');
$k->hset("{{$t}}:h", 'f', 'value');
$cases = [
    'GET, first from the node' => fn() => $k->getWithMeta("$t:s"),
    'GET, then from the cache' => fn() => $k->getWithMeta("$t:s"),
    'a plain GET after it' => fn() => $k->get("$t:s"),
    'GET of a missing key' => fn() => $k->getWithMeta("$t:none"),
    'HGET, first from the node' => fn() => $k->hgetWithMeta("{{$t}}:h", 'f'),
    'HGET, then from the cache' => fn() => $k->hgetWithMeta("{{$t}}:h", 'f'),
    'HGET of a missing field' => fn() => $k->hgetWithMeta("{{$t}}:h", 'none'),
];
foreach ($cases as $name => $run) {
    echo "$name: ", json_encode($run()), "\n";
}
$k->del("$t:s", "{{$t}}:h");
?>
--EXPECT--
GET, first from the node: ["hello",{"cached":false,"length":5}]
GET, then from the cache: ["hello",{"cached":true,"length":5}]
a plain GET after it: "hello"
GET of a missing key: [false,{"cached":false,"length":-1}]
HGET, first from the node: ["value",{"cached":false,"length":5}]
HGET, then from the cache: ["value",{"cached":true,"length":5}]
HGET of a missing field: [false,{"cached":false,"length":-1}]
