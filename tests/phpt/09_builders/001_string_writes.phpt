--TEST--
String writes on a real server: SET in every option form with the TTL it leaves, MSET, MSETNX, GETEX and the counters; values stored through set() are packed
--EXTENSIONS--
kelvo
--FILE--
<?php
require __DIR__ . '/../inc/servers.inc';
use Kelvo\Kelvo;

$k = new Kelvo(kelvo_test_env('KELVO_TEST_HOST'), (int) kelvo_test_env('KELVO_TEST_PORT'));
$k->del('bld:s', 'bld:n', 'bld:f', 'bld:h', 'bld:a', 'bld:b', 'bld:c');
// Seconds left, to the hundred (an EXAT may have lost a second by the time it is read).
$ttl = fn() => [$k->ttl('bld:s') > 0 ? 'about ' . round($k->ttl('bld:s'), -2) : $k->ttl('bld:s'),
                $k->pttl('bld:s') > 0 ? 'pttl>0' : $k->pttl('bld:s')];
$future = time() + 500;

foreach ([
    'plain' => null,
    'seconds' => 100,
    'seconds as text' => '100',
    'float seconds' => 100.9,
    'EX' => ['EX' => 100],
    'PX' => ['PX' => 100000],
    'EXAT' => ['EXAT' => $future],
    'PXAT' => ['PXAT' => $future * 1000],
    'NX on a missing key' => ['nx', 'EX' => 100],
] as $label => $options) {
    $k->del('bld:s');
    printf("%-20s %s %s\n", $label, json_encode($k->set('bld:s', 'v', $options)), json_encode($ttl()));
}
echo "-- conditions on the existing value\n";
var_dump($k->set('bld:s', 'w', ['NX']), $k->get('bld:s'));
var_dump($k->set('bld:s', 'w', ['XX', 'GET', 'EX' => 200]), $k->get('bld:s'));
var_dump($k->set('bld:s', 'x', ['KEEPTTL']), $ttl());
var_dump($k->set('bld:s', 'y', 0.5), $k->get('bld:s'));

echo "-- packed values\n";
$k->setOption(Kelvo::OPT_SERIALIZER, Kelvo::SERIALIZER_PHP);
var_dump($k->set('bld:s', ['a' => [1, 2]], 100), $k->get('bld:s'), $ttl()[0]);
$k->setOption(Kelvo::OPT_SERIALIZER, Kelvo::SERIALIZER_NONE);
var_dump($k->get('bld:s') === serialize(['a' => [1, 2]]));
$k->setOption(Kelvo::OPT_SERIALIZER, Kelvo::SERIALIZER_JSON);
var_dump($k->set('bld:s', ['bad' => NAN]), $k->get('bld:s'));
$k->setOption(Kelvo::OPT_SERIALIZER, Kelvo::SERIALIZER_NONE);

echo "-- MSET, MSETNX\n";
var_dump($k->mset(['bld:a' => 1, 'bld:b' => 'two']), $k->mget(['bld:a', 'bld:b']));
var_dump($k->msetnx(['bld:b' => 'x', 'bld:c' => 'y']), $k->exists('bld:c'), $k->msetnx(['bld:c' => 'y']));
var_dump($k->mset([]));

echo "-- GETEX\n";
var_dump($k->getex('bld:a', ['EX' => 50]), $k->ttl('bld:a'), $k->getex('bld:a', ['PERSIST']), $k->ttl('bld:a'));
var_dump($k->getex('bld:a'), $k->getex('bld:missing'));

echo "-- counters\n";
var_dump($k->incr('bld:n'), $k->incr('bld:n', 10), $k->incrby('bld:n', 1), $k->decr('bld:n'), $k->decr('bld:n', 5), $k->decrby('bld:n', 1));
var_dump($k->incrbyfloat('bld:f', 0.1), $k->incrbyfloat('bld:f', 0.2));
var_dump($k->hincrby('bld:h', 'x', 3), $k->hincrbyfloat('bld:h', 'y', 1.5), $k->hGetAll('bld:h'));
var_dump($k->incr('bld:s'));
--EXPECTF--
plain                true [-1,-1]
seconds              true ["about 100","pttl>0"]
seconds as text      true ["about 100","pttl>0"]
float seconds        true ["about 100","pttl>0"]
EX                   true ["about 100","pttl>0"]
PX                   true ["about 100","pttl>0"]
EXAT                 true ["about 500","pttl>0"]
PXAT                 true ["about 500","pttl>0"]
NX on a missing key  true ["about 100","pttl>0"]
-- conditions on the existing value
bool(false)
string(1) "v"
string(1) "v"
string(1) "w"
bool(true)
array(2) {
  [0]=>
  string(9) "about 200"
  [1]=>
  string(6) "pttl>0"
}

Warning: Kelvo\Kelvo::set(): Expire must be a long, double, or a numeric string in %s on line %d
bool(false)
string(1) "x"
-- packed values
bool(true)
array(1) {
  ["a"]=>
  array(2) {
    [0]=>
    int(1)
    [1]=>
    int(2)
  }
}
string(9) "about 100"
bool(true)

Warning: Kelvo\Kelvo::set(): Failed to serialize the value with the json serializer: Inf and NaN cannot be JSON encoded in %s on line %d
bool(false)
string(36) "a:1:{s:1:"a";a:2:{i:0;i:1;i:1;i:2;}}"
-- MSET, MSETNX
bool(true)
array(2) {
  [0]=>
  string(1) "1"
  [1]=>
  string(3) "two"
}
bool(false)
int(0)
bool(true)
bool(false)
-- GETEX
string(1) "1"
int(50)
string(1) "1"
int(-1)
string(1) "1"
bool(false)
-- counters
int(1)
int(11)
int(12)
int(11)
int(6)
int(5)
float(0.1)
float(0.30000000000000004)
int(3)
float(1.5)
array(2) {
  ["x"]=>
  string(1) "3"
  ["y"]=>
  string(3) "1.5"
}
bool(false)
