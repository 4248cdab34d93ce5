--TEST--
Cluster scans: SCAN walks the node its key or address names with MATCH, COUNT and TYPE until the cursor returns to 0, then gives false; HSCAN, SSCAN and ZSCAN scan the prefixed key the writes made, with member patterns as given
--FILE--
<?php
require __DIR__ . '/../inc/cluster.inc';
$t = KelvoTestCluster::shared();
$c = new Kelvo\Cluster(null, $t->seeds);

// A hash tag served by the second primary, and keys of this test under it.
for ($i = 0; $t->owner($t->keyslot($tag = 'scan' . getmypid() . "-$i")) !== $t->primaries[1]; $i++);
$node = [KelvoTestCluster::hostOf($t->primaries[1]), KelvoTestCluster::port($t->primaries[1])];
foreach (range(1, 5) as $i) {
    $c->set("{{$tag}}:k$i", $i);
}
$c->hset("{{$tag}}:hash", 'f', 'v');

function scanAll(Kelvo\Cluster $c, mixed $target, ...$options): array
{
    $it = null;
    $keys = [];
    $pages = 0;
    while (($page = $c->scan($it, $target, ...$options)) !== false) {
        $keys = array_merge($keys, $page);
        $pages++;
    }
    sort($keys);
    return [$keys, $pages > 0, $it];
}

[$keys, $paged, $it] = scanAll($c, $node, "{{$tag}}:*", 1000);
echo implode(' ', str_replace("{{$tag}}", 'T', $keys)), "\n";
var_dump($paged, $it);
$it = 0;
var_dump($c->scan($it, $node, "{{$tag}}:*")); /* a finished scan sends nothing more */

[$keys] = scanAll($c, "{{$tag}}:k1", "{{$tag}}:*", 1000, 'hash');
echo implode(' ', str_replace("{{$tag}}", 'T', $keys)), "\n";

// An iterator that is not an integer starts a scan at 0.
$it = 'start';
$page = $c->scan($it, $node, "{{$tag}}:k1", 1000);
var_dump(is_array($page), is_int($it));

// Nodes that cannot be named.
var_dump($c->scan($it, [$node[0], 1]));
var_dump($c->scan($it, [$node[0]]));

// The key scans go to the node of the prefixed key; their patterns match members, unprefixed.
$p = new Kelvo\Cluster(null, $t->seeds, 0, 0, false, null, ['prefix' => 'pfx:']);
$p->hset("{{$tag}}h", 'f1', 'a', 'f2', 'b', 'g1', 'c');
$p->sadd("{{$tag}}s", 'm1', 'm2', 'n1');
$p->zadd("{{$tag}}z", 1, 'm1', 2, 'n1');
var_dump($t->call($t->primaries[1], 'HLEN', "pfx:{{$tag}}h"));
$it = null;
$fields = $p->hscan("{{$tag}}h", $it, 'f*', 100);
ksort($fields);
var_dump($fields, $it);
$it = null;
$members = $p->sscan("{{$tag}}s", $it, 'm*');
sort($members);
var_dump($members);
$it = null;
var_dump($p->zscan("{{$tag}}z", $it, 'n*'));
$it = 0;
var_dump($p->hscan("{{$tag}}h", $it));

$c->del(array_merge(array_map(fn($i) => "{{$tag}}:k$i", range(1, 5)), ["{{$tag}}:hash"]));
$p->del("{{$tag}}h", "{{$tag}}s", "{{$tag}}z");
?>
--EXPECTF--
T:hash T:k1 T:k2 T:k3 T:k4 T:k5
bool(true)
int(0)
bool(false)
T:hash
bool(true)
bool(true)
bool(false)

Warning: Kelvo\Cluster::scan(): Node must contain host and port in %s on line %d
bool(false)
int(3)
array(2) {
  ["f1"]=>
  string(1) "a"
  ["f2"]=>
  string(1) "b"
}
int(0)
array(2) {
  [0]=>
  string(2) "m1"
  [1]=>
  string(2) "m2"
}
array(1) {
  ["n1"]=>
  float(2)
}
bool(false)
