--TEST--
Variadic key and value commands on a real server: DEL and friends in both forms, pushes of packed values, the pops with their timeouts, the mpops and intercard
--EXTENSIONS--
kelvo
--FILE--
<?php
require __DIR__ . '/../inc/servers.inc';
use Kelvo\Kelvo;

$k = new Kelvo(kelvo_test_env('KELVO_TEST_HOST'), (int) kelvo_test_env('KELVO_TEST_PORT'));
$keys = ['pop:a', 'pop:b', 'pop:c', 'pop:l', 'pop:m', 'pop:z', 'pop:y', 'pop:h', 'pop:d', 'pop:s1', 'pop:s2'];
$k->del($keys);

echo "-- DEL, UNLINK, TOUCH\n";
$k->mset(['pop:a' => 1, 'pop:b' => 2, 'pop:c' => 3]);
var_dump($k->touch('pop:a', 'pop:b', 'pop:none'), $k->del(['pop:a', 'pop:b']), $k->unlink('pop:c', 'pop:none'));
var_dump(@$k->del(['pop:a'], 'pop:b'), error_get_last()['message']);

echo "-- values packed, fields as they are\n";
$k->setOption(Kelvo::OPT_SERIALIZER, Kelvo::SERIALIZER_PHP);
var_dump($k->rpush('pop:l', ['x' => 1], 'two', 3), $k->lrange('pop:l', 0, -1));
var_dump($k->sadd('pop:s1', 'a', 'b'), $k->srem('pop:s1', 'a', 'zz'));
$k->setOption(Kelvo::OPT_SERIALIZER, Kelvo::SERIALIZER_NONE);
$k->hset('pop:h', 'f1', 1);
$k->hset('pop:h', 'f2', 2);
var_dump($k->hdel('pop:h', 'f1', 'f2', 'f3'));

echo "-- blocking pops\n";
$k->del('pop:l');
$k->rpush('pop:l', 'x', 'y');
var_dump($k->blpop('pop:l', 1), $k->brpop(['pop:none', 'pop:l'], 0.5));
$t = microtime(true);
var_dump($k->blpop(['pop:l'], 0.2), microtime(true) - $t >= 0.15);
var_dump($k->blpop('pop:l', 'soon'));
$k->zadd('pop:z', 1, 'one');
$k->zadd('pop:z', 2, 'two');
var_dump($k->bzpopmin('pop:z', '0.5'), $k->bzpopmax(['pop:z'], 0.5));

echo "-- pop and push\n";
$k->rpush('pop:m', 'p', 'q');
var_dump($k->rpoplpush('pop:m', 'pop:d'), @$k->brpoplpush('pop:m', 'pop:d', 0.2), $k->lrange('pop:d', 0, -1));
$t = microtime(true);
var_dump($k->brpoplpush('pop:m', 'pop:d', 0.2), microtime(true) - $t >= 0.15);
var_dump(@$k->brpoplpush('pop:m', 'pop:d', -1), error_get_last()['message']);

echo "-- mpops and intercard\n";
$k->rpush('pop:m', 'a', 'b', 'c', 'd');
var_dump($k->lmpop(['pop:none', 'pop:m'], 'left'), $k->lmpop(['pop:m'], 'RIGHT', 2));
var_dump($k->blmpop(0.2, ['pop:none'], 'LEFT'));
$k->zadd('pop:y', 1, 'a');
$k->zadd('pop:y', 2, 'b');
$k->zadd('pop:y', 3, 'c');
var_dump($k->zmpop(['pop:y'], 'MIN'), $k->bzmpop(0.5, ['pop:y'], 'max', 5));
$k->zadd('pop:y', 1, 'a');
$k->zadd('pop:z', 1, 'a');
var_dump($k->zintercard(['pop:y', 'pop:z']), $k->zintercard(['pop:y', 'pop:z'], 1));

echo "-- set stores, bitop, info\n";
$k->sadd('pop:s1', 'x', 'y');
$k->sadd('pop:s2', 'y', 'z');
var_dump($k->sinterstore('pop:d', 'pop:s1', 'pop:s2'), $k->sunionstore(['pop:d', 'pop:s1', 'pop:s2']));
$k->set('pop:a', 'ab');
$k->set('pop:b', 'cd');
var_dump($k->bitop('or', 'pop:c', 'pop:a', 'pop:b'), $k->get('pop:c'));
$info = $k->info('server', 'clients');
var_dump(isset($info['redis_version'], $info['connected_clients']), isset($info['used_memory']));

echo "-- a conversion that throws sends nothing\n";
set_error_handler(function ($no, $text) { throw new ErrorException($text); });
foreach ([fn() => $k->del(['pop:a'], 'pop:b'), fn() => $k->del('pop:a', new class { function __toString(): string { throw new LogicException('no text'); } })] as $call) {
    $sent = $k->getBytes()[0];
    try {
        $call();
    } catch (Throwable $e) {
        echo get_class($e), ': ', $e->getMessage(), "\n";
    }
    var_dump($k->getBytes()[0] === $sent, $k->ping());
}
restore_error_handler();
$k->del($keys);
--EXPECTF--
-- DEL, UNLINK, TOUCH
int(2)
int(2)
int(1)
int(0)
string(26) "Array to string conversion"
-- values packed, fields as they are
int(3)
array(3) {
  [0]=>
  array(1) {
    ["x"]=>
    int(1)
  }
  [1]=>
  string(3) "two"
  [2]=>
  int(3)
}
int(2)
int(1)
int(2)
-- blocking pops
array(2) {
  [0]=>
  string(5) "pop:l"
  [1]=>
  string(1) "x"
}
array(2) {
  [0]=>
  string(5) "pop:l"
  [1]=>
  string(1) "y"
}
array(0) {
}
bool(true)

Warning: Kelvo\Kelvo::blpop(): Timeout must be numeric in %s on line %d
bool(false)
array(3) {
  [0]=>
  string(5) "pop:z"
  [1]=>
  string(3) "one"
  [2]=>
  string(1) "1"
}
array(3) {
  [0]=>
  string(5) "pop:z"
  [1]=>
  string(3) "two"
  [2]=>
  string(1) "2"
}
-- pop and push
string(1) "q"
string(1) "p"
array(2) {
  [0]=>
  string(1) "p"
  [1]=>
  string(1) "q"
}
bool(false)
bool(true)
bool(false)
string(48) "Kelvo\Kelvo::brpoplpush(): Timeout cannot be < 0"
-- mpops and intercard
array(2) {
  [0]=>
  string(5) "pop:m"
  [1]=>
  array(1) {
    [0]=>
    string(1) "a"
  }
}
array(2) {
  [0]=>
  string(5) "pop:m"
  [1]=>
  array(2) {
    [0]=>
    string(1) "d"
    [1]=>
    string(1) "c"
  }
}
bool(false)
array(2) {
  [0]=>
  string(5) "pop:y"
  [1]=>
  array(1) {
    ["a"]=>
    float(1)
  }
}
array(2) {
  [0]=>
  string(5) "pop:y"
  [1]=>
  array(2) {
    ["c"]=>
    float(3)
    ["b"]=>
    float(2)
  }
}
int(1)
int(1)
-- set stores, bitop, info
int(1)
int(4)
int(2)
string(2) "cf"
bool(true)
bool(false)
-- a conversion that throws sends nothing
ErrorException: Array to string conversion
bool(true)
bool(true)
LogicException: no text
bool(true)
bool(true)
