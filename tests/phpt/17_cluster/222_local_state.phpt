--TEST--
Local state of a cluster object: the last error of a failed command until it is cleared, the database and mode of a fresh object, the idle time since the cluster last read a reply, and the shared cache's methods refused while the cache is off
--EXTENSIONS--
kelvo
--INI--
kelvo.maxmemory=0
--FILE--
<?php
require __DIR__ . '/../inc/cluster.inc';
$c = KelvoTestCluster::shared();
$k = new Kelvo\Cluster(null, $c->seeds);
$key = uniqid('state:');

echo "a fresh object:\n";
var_dump($k->getLastError(), $k->getDbNum(), $k->getMode(), $k->getMode(true), $k->idleTime());

echo "last error:\n";
$k->set($key, 'not a number');
var_dump($k->incr($key), $k->getLastError());
var_dump($k->get($key), $k->getLastError());
var_dump($k->clearLastError(), $k->getLastError());

echo "idle time:\n";
$k->get($key);
usleep(20000);
$idle = $k->idleTime();
var_dump($idle >= 20000);
$before = microtime(true);
$k->get($key);
$idle = $k->idleTime();
var_dump($idle >= 0 && $idle <= (microtime(true) - $before) * 1e6 + 1);
$k->del($key);

echo "without the shared cache:\n";
var_dump(Kelvo\Cluster::maxMemory(), $k->_getKeys(), Kelvo\Cluster::flushMemory(), Kelvo\Cluster::lastMemoryFlush());
?>
--EXPECTF--
a fresh object:
NULL
int(0)
int(0)
int(0)
int(0)
last error:
bool(false)
string(43) "ERR value is not an integer or out of range"
string(12) "not a number"
string(43) "ERR value is not an integer or out of range"
bool(true)
NULL
idle time:
bool(true)
bool(true)
without the shared cache:

Warning: Kelvo\Cluster::_getKeys(): Method requires Kelvo's in-memory cache be enabled in %s on line %d

Warning: Kelvo\Cluster::flushMemory(): Method requires Kelvo's in-memory cache be enabled in %s on line %d

Warning: Kelvo\Cluster::lastMemoryFlush(): Method requires Kelvo's in-memory cache be enabled in %s on line %d
int(0)
bool(false)
bool(false)
bool(false)
