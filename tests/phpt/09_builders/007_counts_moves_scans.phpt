--TEST--
Optional counts, list moves and scans on a real server: a count of 1 keeps LPOP's single element and gives SPOP a list, MOVE, ZRANK, BITPOS's ranges, LMOVE and BLMOVE, LINSERT and SETEX with packed values, a scan with a negative COUNT and one from a cursor above 2^63
--EXTENSIONS--
kelvo
--FILE--
<?php
require __DIR__ . '/../inc/servers.inc';
require __DIR__ . '/../inc/own_server.inc';
use Kelvo\Kelvo;

$own = new OwnServer(); // FLUSHDB reaches every client of a server
$k = new Kelvo('127.0.0.1', $own->port);
$k->select(13);
$k->flushdb();

echo "-- pops, MOVE, ZRANK\n";
$k->rpush('l', 'a', 'b', 'c', 'd');
echo json_encode([$k->lpop('l'), $k->lpop('l', 1), $k->rpop('l', 2), $k->lpop('l', 5)]), "\n";
var_dump(@$k->lpop('l', 0), error_get_last()['message']);
$k->sadd('s', 'x', 'y');
echo json_encode([count($k->spop('s', 1)), is_string($k->spop('s')), $k->spop('s')]), "\n";
$k->zadd('z', 1, 'm1');
$k->zadd('z', 2, 'm2');
$k->zadd('z', 3, 'm3');
echo json_encode([$k->zpopmin('z', 1), $k->zpopmax('z'), $k->zrank('z', 'm2'), $k->zrevrank('z', 'm2')]), "\n";
$k->set('m', 'v');
var_dump($k->move('m', 14), $k->exists('m'));
$k->select(14);
var_dump($k->get('m'), $k->del('m'));
$k->select(13);

echo "-- BITPOS\n";
$k->set('b', "\xff\xf0\x00");
echo json_encode([$k->bitpos('b', 0), $k->bitpos('b', 1, 2), $k->bitpos('b', 0, 8, 15, true), $k->bitpos('b', 1, 1, 1)]), "\n";
error_clear_last();
var_dump($k->bitpos('b', 2), error_get_last());

echo "-- list moves, LINSERT, SETEX\n";
$k->rpush('src', 'a', 'b', 'c');
var_dump($k->lmove('src', 'dst', 'left', 'RIGHT'), $k->blmove('src', 'dst', 'Right', 'left', 0.1));
var_dump($k->lrange('dst', 0, -1), $k->blmove('none', 'dst', 'LEFT', 'LEFT', 0.1));
var_dump(@$k->lmove('src', 'dst', 'UP', 'LEFT'), error_get_last()['message']);
$k->setOption(Kelvo::OPT_SERIALIZER, Kelvo::SERIALIZER_PHP);
$k->rpush('pl', 'x', ['y']);
var_dump($k->linsert('pl', 'after', ['y'], ['z' => 1]), $k->linsert('pl', 'BEFORE', 'nope', 1), $k->lrange('pl', 0, -1));
var_dump($k->setex('e', 100, [1, 2]), $k->get('e'), $k->ttl('e') > 90, $k->psetex('e', 100000, 'v'), $k->pttl('e') > 90000);
var_dump($k->setex('e', -1, 'v'), $k->getLastError());
$k->setOption(Kelvo::OPT_SERIALIZER, Kelvo::SERIALIZER_NONE);

echo "-- scans\n";
$k->set('one', 1);
$it = null;
var_dump($k->scan($it, null, -1), $k->getLastError(), $it);
$k->select(14); // empty, so the last bucket holds nothing whatever the server's hash seed
$it = -1; // the cursor 2^64 - 1: sent as such, not taken for a new scan
var_dump($k->scan($it), $it);
$k->select(13);
$k->rawCommand('SET', 'p:k1', 1);
$k->rawCommand('HSET', 'p:h', 'f1', 'v1', 'g1', 'w1');
$k->setOption(Kelvo::OPT_PREFIX, 'p:');
$k->setOption(Kelvo::OPT_SCAN, Kelvo::SCAN_PREFIX);
$it = null;
var_dump($k->scan($it, 'k*', 100), $it);
$k->setOption(Kelvo::OPT_SCAN, Kelvo::SCAN_NOPREFIX);
$it = null;
var_dump($k->hscan('h', $it, 'f*'), $it);
$k->setOption(Kelvo::OPT_PREFIX, '');
$k->flushdb();
?>
--EXPECT--
-- pops, MOVE, ZRANK
["a","b",["d","c"],false]
bool(false)
string(40) "Kelvo\Kelvo::lpop(): Count cannot be < 1"
[1,true,false]
[{"m1":1},{"m3":3},0,0]
int(1)
int(0)
string(1) "v"
int(1)
-- BITPOS
[12,-1,12,8]
bool(false)
NULL
-- list moves, LINSERT, SETEX
string(1) "a"
string(1) "c"
array(2) {
  [0]=>
  string(1) "c"
  [1]=>
  string(1) "a"
}
bool(false)
bool(false)
string(73) "Kelvo\Kelvo::lmove(): Wherefrom argument must be either 'LEFT' or 'RIGHT'"
int(3)
int(-1)
array(3) {
  [0]=>
  string(1) "x"
  [1]=>
  array(1) {
    [0]=>
    string(1) "y"
  }
  [2]=>
  array(1) {
    ["z"]=>
    int(1)
  }
}
bool(true)
array(2) {
  [0]=>
  int(1)
  [1]=>
  int(2)
}
bool(true)
bool(true)
bool(true)
bool(false)
string(42) "ERR invalid expire time in 'setex' command"
-- scans
bool(false)
string(16) "ERR syntax error"
int(0)
array(0) {
}
int(0)
array(1) {
  [0]=>
  string(4) "p:k1"
}
int(0)
array(1) {
  ["f1"]=>
  string(2) "v1"
}
int(0)
