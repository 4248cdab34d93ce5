--TEST--
Scripting and sorting on a real server: EVAL's keys under the prefix and its nil replies, EVALSHA, FCALL and FCALL_RO with and without a handler of the result, SORT's options in the caller's order, RESTORE with its options
--EXTENSIONS--
kelvo
--FILE--
<?php
require __DIR__ . '/../inc/servers.inc';
require __DIR__ . '/../inc/own_server.inc';
use Kelvo\Kelvo;

$own = new OwnServer(); // FLUSHDB reaches every client of a server
$k = new Kelvo('127.0.0.1', $own->port);
$k->select(12);
$k->flushdb();
$plain = clone $k; // reads through a client without the prefix: cached reads do not prefix yet
$k->setOption(Kelvo::OPT_PREFIX, 'b2s:');
$k->mset(['a' => 'A', 'b' => 'B']);

echo "-- EVAL\n";
var_dump($k->eval('return {KEYS[1], KEYS[2], ARGV[1]}', ['a', 'b', 'c'], 2));
var_dump($k->eval("return redis.call('get', KEYS[1])", ['a'], 1), $k->eval('return 7'));
var_dump($k->eval('return nil'), $k->eval('return 1', ['a', 'b'], 5), $k->getLastError());
$k->setOption(Kelvo::OPT_NULL_MULTIBULK_AS_NULL, true);
var_dump($k->eval('return nil'));
$k->setOption(Kelvo::OPT_NULL_MULTIBULK_AS_NULL, false);
$sha = $k->script('load', "return redis.call('get', KEYS[1])");
var_dump($k->evalsha($sha, ['b'], 1), $k->evalsha_ro($sha, ['a'], 1), $k->eval_ro("return ARGV[1]", ['x'], 0));

echo "-- FCALL\n";
$lib = "#!lua name=b2fn\n"
    . "redis.register_function('b2fn_echo', function(keys, args) return args end)\n"
    . "redis.register_function{function_name='b2fn_keys', callback=function(keys, args) return keys end, flags={'no-writes'}}";
$k->function('load', 'replace', $lib);
var_dump($k->fcall('b2fn_echo', [], ['x', 2]), $k->fcall('b2fn_keys', ['a', 'b']));
var_dump($k->fcall('b2fn_keys', ['a', 'b'], [], fn(array $keys) => implode('+', $keys)));
var_dump($k->fcall_ro('b2fn_keys', ['a'], null, 'count'));
try {
    $k->fcall('b2fn_echo', [], ['x'], function () { throw new LogicException('from the handler'); });
} catch (LogicException $e) {
    echo get_class($e), ': ', $e->getMessage(), "\n";
}
try {
    $k->fcall('b2fn_echo', [], [], 'no_such_function');
} catch (TypeError $e) {
    echo get_class($e), "\n";
}
var_dump($k->fcall('b2fn_nope', [], [], 'strtoupper'), $k->getLastError());
$k->function('delete', 'b2fn');

echo "-- SORT\n";
$k->rpush('l', 3, 1, 2);
$k->mset(['w_1' => 30, 'w_2' => 20, 'w_3' => 10, 'd_1' => 'one', 'd_2' => 'two', 'd_3' => 'three']);
var_dump($k->sort('l'), $k->sort('l', ['LIMIT' => [0, 2], 'SORT' => 'desc']), $k->sort_ro('l', ['alpha' => false]));
var_dump($k->sort('l', ['by' => 'b2s:w_*', 'GET' => ['#', 'b2s:d_*']]));
var_dump($k->sort('l', ['SORT' => 'DESC', 'store' => 'b2s:sorted']), $plain->lrange('b2s:sorted', 0, -1));
$k->rpush('names', 'b', 'a', 'c');
var_dump($k->sort('names', ['alpha' => true, 'limit' => [1]]));

echo "-- RESTORE\n";
$dump = $k->dump('a');
var_dump($k->restore('c', 0, $dump), $plain->get('b2s:c'), $k->restore('c', 0, $dump));
var_dump($k->restore('c', 0, $dump, ['REPLACE', 'idletime' => 1000]), $k->object('idletime', 'c') >= 1000);
var_dump($k->restore('c', (time() + 100) * 1000, $dump, ['absttl' => true, 'replace' => true]), $k->ttl('c') > 50);
$k->flushdb();
?>
--EXPECT--
-- EVAL
array(3) {
  [0]=>
  string(5) "b2s:a"
  [1]=>
  string(5) "b2s:b"
  [2]=>
  string(1) "c"
}
string(1) "A"
int(7)
bool(false)
bool(false)
string(55) "ERR Number of keys can't be greater than number of args"
NULL
string(1) "B"
string(1) "A"
string(1) "x"
-- FCALL
array(2) {
  [0]=>
  string(1) "x"
  [1]=>
  string(1) "2"
}
array(2) {
  [0]=>
  string(5) "b2s:a"
  [1]=>
  string(5) "b2s:b"
}
string(11) "b2s:a+b2s:b"
int(1)
LogicException: from the handler
TypeError
bool(false)
string(22) "ERR Function not found"
-- SORT
array(3) {
  [0]=>
  string(1) "1"
  [1]=>
  string(1) "2"
  [2]=>
  string(1) "3"
}
array(2) {
  [0]=>
  string(1) "3"
  [1]=>
  string(1) "2"
}
array(3) {
  [0]=>
  string(1) "1"
  [1]=>
  string(1) "2"
  [2]=>
  string(1) "3"
}
array(6) {
  [0]=>
  string(1) "3"
  [1]=>
  string(5) "three"
  [2]=>
  string(1) "2"
  [3]=>
  string(3) "two"
  [4]=>
  string(1) "1"
  [5]=>
  string(3) "one"
}
int(3)
array(3) {
  [0]=>
  string(1) "3"
  [1]=>
  string(1) "2"
  [2]=>
  string(1) "1"
}
array(3) {
  [0]=>
  string(1) "a"
  [1]=>
  string(1) "b"
  [2]=>
  string(1) "c"
}
-- RESTORE
bool(true)
string(1) "A"
bool(false)
bool(true)
bool(true)
bool(true)
bool(true)
