--TEST--
BITFIELD, PFMERGE, LCS, SMOVE and LREM on a real server under a key prefix and the php serializer: BITFIELD's words unpacked, its checks before anything is sent; the members of SMOVE and LREM packed as they were stored
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
$k->setOption(Kelvo::OPT_PREFIX, 'p:');
$k->setOption(Kelvo::OPT_SERIALIZER, Kelvo::SERIALIZER_PHP);

echo "-- BITFIELD\n";
echo json_encode([$k->bitfield('bf', 'SET', 'i8', '#1', 100, 'GET', 'i8', 8), $k->bitfield('bf', 'overflow', 'SAT', 'INCRBY', 'i8', 8, 100),
                  $k->bitfield('bf', 'get', 'u4', 0)]), "\n";
$before = $k->getBytes()[0];
foreach ([['SET', 'i8', 0, '5'], ['OVERFLOW', 'WRAP'], ['INCRBY', 'u4', 0], ['GETX', 'u8', 0], [8]] as $args) {
    var_dump(@$k->bitfield('bf', ...$args));
    echo error_get_last()['message'], "\n";
}
var_dump($k->getBytes()[0] - $before);

echo "-- PFMERGE, LCS\n";
$k->rawCommand('PFADD', 'p:h1', 'a', 'b');
$k->rawCommand('PFADD', 'p:h2', 'b', 'c');
var_dump($k->pfmerge('hu', ['h1', 'h2']), $k->rawCommand('PFCOUNT', 'p:hu'), $k->pfmerge('empty', []), $k->rawCommand('EXISTS', 'p:empty'));
$k->setOption(Kelvo::OPT_SERIALIZER, Kelvo::SERIALIZER_NONE);
$k->mset(['s1' => 'ohmytext', 's2' => 'mynewtext']);
var_dump($k->lcs('s1', 's2'), $k->lcs('s1', 's2', ['idx' => true, 'len' => true]));
echo json_encode($k->lcs('s1', 's2', ['IDX', 'minmatchlen' => 4, 'withmatchlen' => true])), "\n";
var_dump(@$k->lcs('s1', 's2', ['longest' => true]), error_get_last()['message']);
$k->setOption(Kelvo::OPT_SERIALIZER, Kelvo::SERIALIZER_PHP);

echo "-- SMOVE, LREM\n";
$k->sadd('from', [1, 2], 'x');
var_dump($k->smove('from', 'to', [1, 2]), $k->smove('from', 'to', [1, 2]), $k->rawCommand('SCARD', 'p:to'));
$k->rpush('l', 'v', [3], 'v', 'w', 'v');
var_dump($k->lrem('l', 'v', 2), $k->lrem('l', [3]), $k->rawCommand('LRANGE', 'p:l', 0, -1));
$k->flushdb();
?>
--EXPECT--
-- BITFIELD
[[0,100],[127],[0]]
bool(false)
Kelvo\Kelvo::bitfield(): Invalid value
bool(false)
Kelvo\Kelvo::bitfield(): OVERFLOW subcommand must be used with SET or INCRBY
bool(false)
Kelvo\Kelvo::bitfield(): INCRBY subcommand requires 3 arguments
bool(false)
Kelvo\Kelvo::bitfield(): Unexpected subcommand 'GETX'
bool(false)
Kelvo\Kelvo::bitfield(): Subcommand argument must be string
int(0)
-- PFMERGE, LCS
bool(true)
int(3)
bool(true)
int(1)
string(6) "mytext"
int(6)
["matches",[[[4,7],[5,8],4]],"len",6]
bool(false)
string(48) "Kelvo\Kelvo::lcs(): Unknown LCS option 'longest'"
-- SMOVE, LREM
bool(true)
bool(false)
int(1)
int(2)
int(1)
array(2) {
  [0]=>
  string(8) "s:1:"w";"
  [1]=>
  string(8) "s:1:"v";"
}
