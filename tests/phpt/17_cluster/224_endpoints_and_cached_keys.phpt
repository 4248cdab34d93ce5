--TEST--
Endpoints of the cluster: _masters gives the primaries without connecting, endpointId the identity of every node, _getKeys the shared cache's keys of each primary under its identity; the static cache methods reach those endpoints by their identity
--EXTENSIONS--
kelvo
--INI--
kelvo.maxmemory=16777216
--FILE--
<?php
require __DIR__ . '/../inc/cluster.inc';
$c = KelvoTestCluster::shared();
$k = new Kelvo\Cluster(null, $c->seeds);
$port = fn(string $id) => (int) preg_replace('/^.*:(\d+)\?.*$/', '$1', $id);
$sorted = function (array $list) {
    sort($list);
    return $list;
};

echo "_masters:\n";
$masters = array_map(fn($m) => $c->endpoint($m[0], $m[1]), $k->_masters());
var_dump($sorted($masters) === $sorted($c->primaries), $k->getTransferredBytes() === [0, 0]);

echo "endpointId:\n";
$ids = $k->endpointId();
var_dump(count($ids), $sorted(array_map($port, $ids)) === $sorted(array_map([$c, 'port'], $c->seeds)));
foreach ($ids as $id) {
    if (!preg_match('~^tcp://default@127\.0\.0\.1:\d+\?cache=1&tracking=1$~', $id)) {
        echo "unexpected identity $id\n";
    }
}
$byPort = array_combine(array_map($port, $ids), $ids);

echo "_getKeys:\n";
$key = uniqid('keys:');
$owner = $c->owner($c->keyslot($key));
$ownerId = $byPort[$c->port($owner)];
$k->set($key, 'value');
$k->get($key);
$all = $k->_getKeys();
var_dump($sorted(array_keys($all)) === $sorted(array_map(fn($p) => $byPort[$c->port($p)], $c->primaries)));
$lines = [];
foreach ($all as $id => $keys) {
    $lines[] = ($id === $ownerId ? 'owner' : 'other primary') . ': '
        . (isset($keys[$key]) ? 'holds the key' : 'does not hold the key');
}
echo '  ', implode("\n  ", $sorted($lines)), "\n";

echo "static methods:\n";
var_dump(Kelvo\Cluster::maxMemory() === Kelvo\Kelvo::maxMemory() && Kelvo\Cluster::maxMemory() > 0);
var_dump(is_array(Kelvo\Cluster::stats()));
$start = microtime(true);
var_dump(Kelvo\Cluster::flushMemory($ownerId, 0));
var_dump(isset($k->_getKeys()[$ownerId][$key]));
var_dump(Kelvo\Cluster::lastMemoryFlush($ownerId, 0) >= floor($start), Kelvo\Cluster::lastMemoryFlush($ownerId) < $start);
var_dump(is_float(Kelvo\Cluster::lastMemoryFlush(null, null)));
var_dump(Kelvo\Cluster::lastMemoryFlush('tcp://nobody@127.0.0.1:1?cache=1&tracking=1'));
var_dump(Kelvo\Cluster::flushMemory($ownerId, 99999));
$k->del($key);
?>
--EXPECTF--
_masters:
bool(true)
bool(true)
endpointId:
int(6)
bool(true)
_getKeys:
bool(true)
  other primary: does not hold the key
  other primary: does not hold the key
  owner: holds the key
static methods:
bool(true)
bool(true)
bool(true)
bool(false)
bool(true)
bool(true)
bool(true)

Warning: Kelvo\Cluster::lastMemoryFlush(): Unknown endpoint 'tcp://nobody@127.0.0.1:1?cache=1&tracking=1' in %s on line %d
bool(false)

Warning: Kelvo\Cluster::flushMemory(): Database number 99999 is invalid (valid: -1 - %d) in %s on line %d
bool(false)
