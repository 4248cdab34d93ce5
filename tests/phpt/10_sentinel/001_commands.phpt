--TEST--
Sentinel: every command against a primary watched by three sentinels, reached over TCP, a Unix socket and a connection array
--EXTENSIONS--
kelvo
--FILE--
<?php
require __DIR__ . '/sentinel.inc';
$ports = array_map(fn($n) => (int) kelvo_test_env($n),
                   ['KELVO_TEST_SENTINEL_PORT', 'KELVO_TEST_SENTINEL_PORT2', 'KELVO_TEST_SENTINEL_PORT3']);
$primary = kelvo_test_env('KELVO_TEST_SENTINEL_PRIMARY_PORT');
$replica = kelvo_test_env('KELVO_TEST_SENTINEL_REPLICA_PORT');
$unix = kelvo_test_env('KELVO_TEST_SENTINEL_UNIX');

$s = new Kelvo\Sentinel('127.0.0.1', $ports[0]);
$id = $s->myid();
echo 'myid: ', preg_match('/^[0-9a-f]{40}$/', $id) ? 'a 40-digit id' : $id, "\n";

echo "the same sentinel however it is named:\n";
$ways = [
    'host and port' => fn() => new Kelvo\Sentinel('127.0.0.1', $ports[0]),
    'tcp:// URL' => fn() => new Kelvo\Sentinel("tcp://127.0.0.1:{$ports[0]}"),
    'Unix socket path' => fn() => new Kelvo\Sentinel($unix),
    'unix: path' => fn() => new Kelvo\Sentinel("unix:$unix"),
    'connection array' => fn() => new Kelvo\Sentinel(['host' => '127.0.0.1', 'port' => $ports[0], 'readTimeout' => 2.5]),
    'persistent, with timeouts' => fn() => new Kelvo\Sentinel('127.0.0.1', $ports[0], 1.5, true, 100, 2.5),
];
foreach ($ways as $way => $make) {
    echo "  $way: ", sentinel_outcome(fn() => $make()->myid() === $id), "\n";
}

echo "ping:\n";
var_dump($s->ping(), $s->ping('hello'), $s->ping(null), $s->ping(''));

echo "the primary's address:\n";
var_dump($s->getMasterAddrByName('kelvo-master') === ['127.0.0.1', $primary]);
var_dump($s->getPrimaryAddrByName('kelvo-master') === ['127.0.0.1', $primary]);
var_dump($s->getMasterAddrByName('no-such-group'), $s->getPrimaryAddrByName('no-such-group'));
foreach ($ports as $i => $port) {
    echo '  sentinel ', $i + 1, ' agrees: ', json_encode((new Kelvo\Sentinel('127.0.0.1', $port))->getMasterAddrByName('kelvo-master') === ['127.0.0.1', $primary]), "\n";
}

echo "the primary's fields:\n";
$fields = fn(array $m) => [$m['name'], $m['ip'], $m['port'] === $primary, $m['flags'], $m['quorum'], $m['num-slaves'], $m['num-other-sentinels']];
echo '  master: ', json_encode($fields($s->master('kelvo-master'))), "\n";
echo '  primary: ', json_encode($fields($s->primary('kelvo-master'))), "\n";
echo '  masters: ', json_encode(array_map($fields, $s->masters())), "\n";
echo '  primaries: ', json_encode(array_map($fields, $s->primaries())), "\n";

echo "the group's other members:\n";
$others = array_map(fn($e) => (int) $e['port'], $s->sentinels('kelvo-master'));
sort($others);
var_dump($others === [min($ports[1], $ports[2]), max($ports[1], $ports[2])]);
$replicas = $s->slaves('kelvo-master');
var_dump(count($replicas), $replicas[0]['port'] === $replica, $replicas[0]['flags']);

echo "steering:\n";
var_dump($s->ckquorum('kelvo-master'), $s->flushconfig(), $s->reset('no-such-group-*'), $s->getLastError());
--EXPECT--
myid: a 40-digit id
the same sentinel however it is named:
  host and port: true
  tcp:// URL: true
  Unix socket path: true
  unix: path: true
  connection array: true
  persistent, with timeouts: true
ping:
bool(true)
string(5) "hello"
bool(true)
string(0) ""
the primary's address:
bool(true)
bool(true)
NULL
NULL
  sentinel 1 agrees: true
  sentinel 2 agrees: true
  sentinel 3 agrees: true
the primary's fields:
  master: ["kelvo-master","127.0.0.1",true,"master","2","1","2"]
  primary: ["kelvo-master","127.0.0.1",true,"master","2","1","2"]
  masters: [["kelvo-master","127.0.0.1",true,"master","2","1","2"]]
  primaries: [["kelvo-master","127.0.0.1",true,"master","2","1","2"]]
the group's other members:
bool(true)
int(1)
bool(true)
string(5) "slave"
steering:
bool(true)
bool(true)
int(0)
NULL
