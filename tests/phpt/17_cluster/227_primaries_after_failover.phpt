--TEST--
Primaries and endpoints through node failures on a private cluster: endpointId leaves out a replica it cannot reach but fails when it cannot reach a primary that serves slots; once its replica took over, neither _masters nor endpointId lists the dead old primary, on the object that saw the failover and on a new one
--EXTENSIONS--
kelvo
--INI--
kelvo.maxmemory=0
--FILE--
<?php
require __DIR__ . '/../inc/cluster.inc';
$c = KelvoTestCluster::start();
[$victim, $other] = $c->primaries;
[$heir, $lost] = $c->replicas; /* the replicas of $victim and $other */
$ctx = ['max-retries' => 0];
$k = new Kelvo\Cluster(null, $c->seeds, 0, 0, false, null, $ctx);
for ($i = 0; $c->owner($c->keyslot("key$i")) !== $victim; $i++);
$key = "key$i";
var_dump($k->set($key, 'before'));

/* Nodes by their part in the story. */
$names = [$c->port($victim) => 'victim', $c->port($heir) => 'heir', $c->port($lost) => 'lost replica'];
$name = fn(int $port) => $names[$port] ?? 'node';
$host = KelvoTestCluster::hostOf($victim);
$masters = function (Kelvo\Cluster $k) use ($host, $name) {
    $out = array_map(fn($m) => ($m[0] === $host ? '' : 'elsewhere ') . $name($m[1]), $k->_masters());
    sort($out);
    return implode(' ', str_replace('node', 'primary', $out));
};
$ports = function (Kelvo\Cluster $k) use ($name) {
    $ids = $k->endpointId();
    if ($ids === false) {
        return 'false';
    }
    $out = array_map(fn($id) => $name((int) preg_replace('/^.*:(\d+)\?.*$/', '$1', $id)), $ids);
    sort($out);
    return count($out) . ' nodes: ' . implode(', ', array_unique($out));
};

echo "all up: ", $masters($k), "; ", $ports($k), "\n";
/* Objects of the same seeds, from this process's slot map: their links are made by endpointId. */
$again = fn() => new Kelvo\Cluster(null, $c->seeds, 0, 0, false, null, $ctx);
$c->kill($lost);
echo "a replica down: ", $ports($again()), "\n";
$c->kill($victim);
echo "a primary down: ", $ports($again()), "\n";

$c->waitPromoted($heir);
$c->waitOk();
/* The object learns the failover from the command that finds its primary gone. */
for ($tries = 0; $k->get($key) !== 'before' && $tries < 100; $tries++) {
    usleep(50000);
}
var_dump($k->get($key));
echo "after the failover: ", $masters($k), "; ", $ports($k), "\n";
Kelvo\Cluster::invalidateSlotCaches();
$fresh = new Kelvo\Cluster(null, $c->live(), 0, 0, false, null, $ctx);
echo "a new object: ", $masters($fresh), "; ", $ports($fresh), "\n";
?>
--EXPECT--
bool(true)
all up: primary primary victim; 6 nodes: heir, lost replica, node, victim
a replica down: 5 nodes: heir, node, victim
a primary down: false
string(6) "before"
after the failover: heir primary primary; 4 nodes: heir, node
a new object: heir primary primary; 4 nodes: heir, node
