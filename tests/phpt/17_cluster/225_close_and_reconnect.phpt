--TEST--
close() ends the link of every node, persistent or not, and keeps the object whole: its next command connects again to the node it needs, and the methods that read the object itself answer as before
--EXTENSIONS--
kelvo
--INI--
kelvo.maxmemory=0
--FILE--
<?php
require __DIR__ . '/../inc/cluster.inc';
require __DIR__ . '/../07_object/server_clients.inc';
$c = KelvoTestCluster::shared();
$base = uniqid('close:');
$keys = [];
for ($i = 0; count($keys) < 3; $i++) {
    $keys[$c->owner($c->keyslot("$base:$i"))] ??= "$base:$i";
}

/* This process's links on each primary, once the server has seen closed ones go. */
function links(KelvoTestCluster $c, array $wanted): array
{
    $deadline = microtime(true) + 30;
    do {
        $now = [];
        foreach ($c->primaries as $p) {
            $now[$p] = count(server_clients($c->port($p)));
        }
    } while ($now != $wanted && microtime(true) < $deadline && usleep(10000) === null);
    return $now;
}
$each = fn(int $n) => array_fill_keys($c->primaries, $n);

foreach (['plain' => false, 'persistent' => true] as $name => $persistent) {
    echo "$name links:\n";
    $k = new Kelvo\Cluster(null, $c->seeds, 0, 0, $persistent);
    foreach ($keys as $key) {
        $k->set($key, $name);
    }
    var_dump(links($c, $each(1)) == $each(1));
    $masters = $k->_masters();
    var_dump($k->close(), links($c, $each(0)) == $each(0));
    var_dump($k->_masters() === $masters, $k->getDbNum(), $k->getMode());

    /* One command reconnects only the node it goes to. */
    $first = array_key_first($keys);
    var_dump($k->get($keys[$first]));
    $want = $each(0);
    $want[$first] = 1;
    var_dump(links($c, $want) == $want);
    foreach ($keys as $key) {
        if ($k->get($key) !== $name) {
            echo "$key: not read back\n";
        }
    }
    var_dump(count($k->endpointId()), $k->close(), $k->close());
    unset($k);
}
echo "reads on replicas:\n";
$k = new Kelvo\Cluster(null, $c->seeds, 0, 0, false, null, ['use-cache' => false]);
var_dump($k->setOption(Kelvo\Cluster::OPT_DISTRIBUTE, Kelvo\Cluster::DISTRIBUTE_REPLICAS));
$first = array_key_first($keys);
$replica = $c->replicas[array_search($first, $c->primaries, true)];
/* The replica serves the read on a link that was switched to read-only, before and after close(). */
$readOnlyLinks = function () use ($c, $replica) {
    $deadline = microtime(true) + 30;
    do {
        $flags = array_column(server_clients($c->port($replica)), 'flags');
    } while (count($flags) !== 1 && microtime(true) < $deadline && usleep(10000) === null);
    return count($flags) === 1 && str_contains($flags[0], 'r') ? 'one read-only link' : 'links: ' . implode(' ', $flags);
};
foreach (['before', 'after'] as $when) {
    var_dump($k->get($keys[$first]));
    echo "$when close(): ", $readOnlyLinks(), "\n";
    $k->close();
}
$k = new Kelvo\Cluster(null, $c->seeds);
foreach ($keys as $key) {
    $k->del($key);
}
?>
--EXPECT--
plain links:
bool(true)
bool(true)
bool(true)
bool(true)
int(0)
int(0)
string(5) "plain"
bool(true)
int(6)
bool(true)
bool(true)
persistent links:
bool(true)
bool(true)
bool(true)
bool(true)
int(0)
int(0)
string(10) "persistent"
bool(true)
int(6)
bool(true)
bool(true)
reads on replicas:
bool(true)
string(10) "persistent"
before close(): one read-only link
string(10) "persistent"
after close(): one read-only link
