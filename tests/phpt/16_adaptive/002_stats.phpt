--TEST--
stats(): the five arrays in order, the endpoint with its cached database set, server facts and sketch (load factor as a fraction), no request rate before a sample, and counters folded in from forked workers while they run requests
--EXTENSIONS--
kelvo
pcntl
--FILE--
<?php
require __DIR__ . '/../inc/servers.inc';
require __DIR__ . '/../09_cache/workers.inc';
use Kelvo\Kelvo;

$port = (int) kelvo_test_env('KELVO_TEST_PORT');
$k = new Kelvo('127.0.0.1', $port);
$k->setOption(Kelvo::OPT_ADAPTIVE_CACHE, ['width' => 512, 'depth' => 1]);
$k->ping();

$s = Kelvo::stats();
var_dump(array_keys($s));
var_dump(array_keys($s['usage']));
var_dump(array_keys($s['stats']), $s['stats']['ops_per_sec']);
var_dump(array_keys($s['memory']), $s['memory']['total'] === $s['memory']['limit'], $s['memory']['used'] <= $s['memory']['total']);
var_dump($s['hashes']['pid'] === getmypid(), (bool) preg_match('/^[0-9a-f]{8}-[0-9a-f]{4}-7[0-9a-f]{3}-[89ab][0-9a-f]{3}-[0-9a-f]{12}$/', $s['hashes']['runid']));
$ep = $s['endpoints'][$k->endpointId()];
var_dump(array_keys($ep), count($ep['connections']), $ep['connections'][0]['writers'], $ep['connections'][0]['keys']);
var_dump(array_keys($ep['redis']), is_string($ep['redis']['redis_version']));
var_dump($ep['adaptive_cache']);

echo "load factor: a fraction here, a percentage on the object:\n";
for ($i = 0; $k->adaptiveCache->loadFactor() < 50.0; $i++) {
    $k->adaptiveCache->incrBy("key:$i", false, 1);
}
$fraction = Kelvo::stats()['endpoints'][$k->endpointId()]['adaptive_cache']['load_factor'];
var_dump($fraction, $k->adaptiveCache->loadFactor());

echo "workers running requests while stats() is read:\n";
$before = Kelvo::stats()['stats']['requests'];
$workers = new Workers();
for ($w = 0; $w < 4; $w++) {
    $workers->start($w, function (int $w) use ($port) {
        $c = new Kelvo('127.0.0.1', $port);
        for ($i = 0; $i < 50; $i++) {
            $c->ping();
            if ($i % 10 === 0) {
                $s = Kelvo::stats();
                if (array_keys($s) !== ['usage', 'stats', 'memory', 'endpoints', 'hashes'] || $s['hashes']['pid'] !== getmypid()) {
                    return 'bad snapshot';
                }
            }
        }
        Kelvo::stats(); // folds this worker's counters
        return 'ok';
    });
}
var_dump($workers->finish());
var_dump(Kelvo::stats()['stats']['requests'] - $before >= 200);
?>
--EXPECT--
array(5) {
  [0]=>
  string(5) "usage"
  [1]=>
  string(5) "stats"
  [2]=>
  string(6) "memory"
  [3]=>
  string(9) "endpoints"
  [4]=>
  string(6) "hashes"
}
array(5) {
  [0]=>
  string(14) "total_requests"
  [1]=>
  string(15) "active_requests"
  [2]=>
  string(19) "max_active_requests"
  [3]=>
  string(18) "free_epoch_records"
  [4]=>
  string(11) "free_leases"
}
array(13) {
  [0]=>
  string(8) "requests"
  [1]=>
  string(6) "misses"
  [2]=>
  string(4) "hits"
  [3]=>
  string(6) "errors"
  [4]=>
  string(3) "oom"
  [5]=>
  string(8) "filtered"
  [6]=>
  string(11) "ops_per_sec"
  [7]=>
  string(10) "bytes_sent"
  [8]=>
  string(14) "bytes_received"
  [9]=>
  string(12) "command_usec"
  [10]=>
  string(10) "rinit_usec"
  [11]=>
  string(14) "rshutdown_usec"
  [12]=>
  string(10) "sigio_usec"
}
int(0)
array(4) {
  [0]=>
  string(5) "total"
  [1]=>
  string(5) "limit"
  [2]=>
  string(6) "active"
  [3]=>
  string(4) "used"
}
bool(true)
bool(true)
bool(true)
bool(true)
array(3) {
  [0]=>
  string(11) "connections"
  [1]=>
  string(5) "redis"
  [2]=>
  string(14) "adaptive_cache"
}
int(1)
int(1)
array(0) {
}
array(8) {
  [0]=>
  string(13) "redis_version"
  [1]=>
  string(11) "used_memory"
  [2]=>
  string(16) "used_memory_peak"
  [3]=>
  string(19) "total_system_memory"
  [4]=>
  string(19) "tracking_total_keys"
  [5]=>
  string(9) "maxmemory"
  [6]=>
  string(16) "maxmemory_policy"
  [7]=>
  string(7) "updated"
}
bool(true)
array(4) {
  ["width"]=>
  int(512)
  ["depth"]=>
  int(1)
  ["last_flush"]=>
  int(0)
  ["load_factor"]=>
  float(0)
}
load factor: a fraction here, a percentage on the object:
float(0.5)
float(50)
workers running requests while stats() is read:
array(4) {
  [0]=>
  string(2) "ok"
  [1]=>
  string(2) "ok"
  [2]=>
  string(2) "ok"
  [3]=>
  string(2) "ok"
}
bool(true)
