--TEST--
Cluster SCAN cursors stay with the node and connection they came from: another node's cursor and a cursor from before a reconnect are refused, never sent; the full scan starts a node again when its connection changed, and finds every key
--FILE--
<?php
require __DIR__ . '/../inc/cluster.inc';
$t = KelvoTestCluster::shared();
$c = new Kelvo\Cluster(null, $t->seeds);
$ns = 'nw152-' . getmypid();
$want = [];
for ($tag = 0; $tag < 30; $tag++) {
    $pairs = [];
    for ($i = 0; $i < 100; $i++) {
        $pairs["{{$ns}:$tag}:$i"] = $i;
    }
    $c->mset($pairs);
    $want += array_fill_keys(array_keys($pairs), true);
}
ksort($want);
$nodes = array_map(fn($p) => [KelvoTestCluster::hostOf($p), KelvoTestCluster::port($p)], $t->primaries);

/* Drops the cluster object's own connection to a primary, as a server or network might. */
function dropLink(Kelvo\Cluster $c, array $node, string $endpoint): void
{
    global $t;
    $id = $c->client($node, 'id');
    $t->must($endpoint, 'CLIENT', 'KILL', 'ID', $id);
}

/* One page of SCAN, told as what came of it. */
function page(Kelvo\Cluster $c, mixed &$it, array $node): string
{
    global $ns;
    try {
        $page = $c->scan($it, $node, "{{$ns}:*", 10);
        return is_array($page) ? 'a page' : var_export($page, true);
    } catch (Kelvo\Exception $e) {
        return preg_replace('/ \(.*$/', '', $e->getMessage());
    }
}

// A cursor from one node sent to another.
$it = null;
$page = $c->scan($it, $nodes[0], "{{$ns}:*", 10);
var_dump(is_array($page), $it !== 0);
$other = $it;
echo page($c, $other, $nodes[1]), "\n";
echo page($c, $it, $nodes[0]), "\n"; /* its own node still takes it */

// A cursor from before the connection changed: refused, whether the break is seen on the
// send (then the link error comes first) or on the idle check before it.
dropLink($c, $nodes[0], $t->primaries[0]);
$seen = [];
for ($i = 0; $i < 2 && !in_array("SCAN iterator outlived its node's connection", $seen, true); $i++) {
    $seen[] = page($c, $it, $nodes[0]);
}
var_dump(end($seen), count(array_filter($seen, fn($s) => $s === 'a page')));
$it = null;
echo page($c, $it, $nodes[0]), "\n"; /* a new scan starts anew */

// The full scan: every connection dropped after the first page of each node.
$keys = [];
$pages = 0;
foreach ($c->fullscan("{{$ns}:*", 50) as $page) {
    array_push($keys, ...$page);
    if (++$pages === 1) {
        foreach ($t->primaries as $i => $p) {
            dropLink($c, $nodes[$i], $p);
        }
    }
}
$unique = array_fill_keys($keys, true);
ksort($unique);
var_dump($unique === $want);
$c->del(array_keys($want));
?>
--EXPECT--
bool(true)
bool(true)
SCAN iterator belongs to another node
a page
string(44) "SCAN iterator outlived its node's connection"
int(0)
a page
bool(true)
