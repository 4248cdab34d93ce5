--TEST--
Geo builders on a real server with the php serializer, a key prefix and precision=5: coordinates keep every digit, members given to GEODIST, GEOHASH, GEORADIUSBYMEMBER and FROMMEMBER are packed as GEOADD stored them, the store options and GEOSEARCHSTORE write where they say
--EXTENSIONS--
kelvo
--INI--
precision=5
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

var_dump($k->geoadd('g', 13.361389, 38.115556, 'Palermo', '15.087269', 37.502669, 'Catania'), $k->geoadd('g', 13.361389, 38.115556, 'Palermo', ['XX', 'ch']));
$pos = $k->rawCommand('GEOPOS', 'p:g', serialize('Palermo'));
printf("%s %s\n", abs($pos[0][0] - 13.361389) < 1e-5 ? 'longitude kept' : "longitude $pos[0][0]", abs($pos[0][1] - 38.115556) < 1e-5 ? 'latitude kept' : "latitude $pos[0][1]");
printf("%.4f %s\n", $k->geodist('g', 'Palermo', 'Catania', 'km'), json_encode($k->geohash('g', 'Palermo', 'Nowhere')));

echo "-- radius queries\n";
echo json_encode($k->georadius('g', 15, 37, 200, 'km', ['WITHDIST', 'ASC'])), "\n";
echo json_encode($k->georadiusbymember_ro('g', 'Palermo', 100, 'km')), "\n";
var_dump($k->georadius('g', 15, 37, 200, 'km', ['store' => 'near']), $k->georadiusbymember('g', 'Catania', 500, 'km', ['storedist' => 'dist', 'COUNT' => 1]));
var_dump($k->rawCommand('ZCARD', 'p:near'), $k->rawCommand('ZCARD', 'p:dist'));
var_dump(@$k->georadius('g', 15, 37, 200, 'km', ['STORE' => 'x', 'WITHHASH']), error_get_last()['message']);

echo "-- searches\n";
echo json_encode($k->geosearch('g', 'Palermo', 200, 'km', ['ASC'])), "\n";
echo json_encode($k->geosearch('g', [15, 37], [400, 400], 'km', ['WITHDIST', 'COUNT' => 1])), "\n";
var_dump($k->geosearchstore('box', 'g', 'Catania', '300', 'km', ['STOREDIST', 'WITHCOORD']), $k->rawCommand('ZCARD', 'p:box'));
var_dump(@$k->geosearch('g', [15], 100, 'km'), error_get_last()['message']);
$k->flushdb();
?>
--EXPECT--
int(2)
int(0)
longitude kept latitude kept
166.2742 ["sqc8b49rny0",[]]
-- radius queries
[["Catania","56.4413"],["Palermo","190.4424"]]
["Palermo"]
int(2)
int(1)
int(2)
int(1)
bool(false)
string(94) "Kelvo\Kelvo::georadius(): STORE[DIST] is not compatible with WITHCCOORD, WITHDIST, or WITHHASH"
-- searches
["Palermo","Catania"]
{"Catania":[56.4413]}
int(2)
int(2)
bool(false)
string(66) "Kelvo\Kelvo::geosearch(): position array must contain two elements"
