--TEST--
Hash writes on a real server under a key prefix and the php serializer: HSET in both forms, HMSET with list positions as fields, HSETNX, read back by a client without the prefix; a field that is an array, or an object without a string form, is refused and nothing is written
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
$r = new Kelvo('127.0.0.1', $own->port);
$r->select(13);
$r->setOption(Kelvo::OPT_SERIALIZER, Kelvo::SERIALIZER_PHP);

var_dump($k->hset('h', ['a' => [1, 2], 7 => 'seven']), $k->hset('h', 'b', 2.5, 'c', true));
var_dump($k->hmset('l', ['x', 'y']), $k->hsetnx('h', 'a', 'no'), $k->hsetnx('h', 'd', null));
$all = $r->hgetall('p:h');
ksort($all);
echo json_encode($all), ' ', json_encode($r->hgetall('p:l')), "\n";
var_dump($r->rawCommand('HGET', 'p:h', '7'));

$before = $k->getBytes()[0];
var_dump(@$k->hset('h', ['f'], 'v'), error_get_last()['message']);
try {
    $k->hset('h', new stdClass, 'v');
} catch (Error $e) {
    echo get_class($e), ': ', $e->getMessage(), "\n";
}
var_dump(@$k->hset('h', 'only'), error_get_last()['message']);
try {
    $k->hset('h', 'f', 'v', ttl: 5);
} catch (ArgumentCountError $e) {
    echo $e->getMessage(), "\n";
}
var_dump($k->getBytes()[0] - $before, $r->hlen('p:h'));
$k->flushdb();
?>
--EXPECT--
int(2)
int(2)
bool(true)
bool(false)
bool(true)
{"7":"seven","a":[1,2],"b":2.5,"c":true,"d":null} ["x","y"]
string(12) "s:5:"seven";"
bool(false)
string(59) "Kelvo\Kelvo::hset(): Field names must be strings or numbers"
Error: Object of class stdClass could not be converted to string
bool(false)
string(68) "Kelvo\Kelvo::hset(): Must pass array with at least one key and value"
Kelvo\Kelvo::hset() does not accept unknown named parameters
int(0)
int(5)
