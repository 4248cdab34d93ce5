--TEST--
Forms the harness's server lacks, against the scripted fake server (HSETEX, HGETEX, HGETDEL, the hash-field time-to-live and expiry commands, CMS.INCRBY, CMS.MERGE, GEOSEARCH BYPOLYGON): the words each method sends under a key prefix and the json serializer; an expiry or a field that cannot be sent as given refuses the call and sends nothing
--EXTENSIONS--
kelvo
--INI--
; the scripted server answers the handshake and commands only, not the cache's upkeep
kelvo.maxmemory=0
--FILE--
<?php
require __DIR__ . '/requests.inc';
use Kelvo\Kelvo;

$fake = new FakeServer([
    'reply :1\r\n',                   // HSETEX EX
    'reply :1\r\n',                   // HSETEX FXX KEEPTTL
    'reply :1\r\n',                   // HSETEX PX
    'reply *2\r\n$3\r\n"x"\r\n_\r\n', // HGETEX PERSIST
    'reply *1\r\n$3\r\n"y"\r\n',      // HGETEX EX
    'reply *1\r\n$1\r\n1\r\n',        // HGETDEL
    'reply *2\r\n:10\r\n:-2\r\n',     // HTTL
    'reply *1\r\n:-1\r\n',            // HPEXPIRETIME
    'reply *1\r\n:1\r\n',             // HPERSIST
    'reply *1\r\n:1\r\n',             // HEXPIRE NX
    'reply *1\r\n:1\r\n',             // HPEXPIREAT
    'reply *2\r\n:3\r\n:2\r\n',       // CMS.INCRBY
    'reply +OK\r\n',                  // CMS.MERGE
    'reply *2\r\n:3\r\n:0\r\n',       // CMS.QUERY
    'reply *1\r\n$3\r\n"m"\r\n',      // GEOSEARCH BYPOLYGON
    'reply :1\r\n',                   // GEOSEARCHSTORE BYPOLYGON
]);
$k = kelvo_fake_client($fake, [Kelvo::OPT_PREFIX => 'p:', Kelvo::OPT_SERIALIZER => Kelvo::SERIALIZER_JSON]);

var_dump($k->hsetex('h', ['a' => 1, 'b' => [2]], 3600));
var_dump($k->hsetex('h', ['c'], ['fxx', 'KEEPTTL']));
var_dump($k->hsetex('h', ['d' => 'x'], '90'));
foreach ([-1, 'soon', 1.5E+300, true, 'persist'] as $expiry) {
    var_dump(@$k->hsetex('h', ['a' => 1], $expiry), error_get_last()['message']);
}
var_dump(@$k->hsetex('h', ['a' => 1], ['KEEPTTL', 'PX' => 5]), error_get_last()['message']);
echo json_encode($k->hgetex('h', ['f1', 'f2'], 'PERSIST')), "\n";
echo json_encode($k->hgetex('h', [5 => 'f'], ['EX' => 5, 'GET'])), "\n";
var_dump(@$k->hgetex('h', ['f'], -5), error_get_last()['message']);
var_dump(@$k->hgetex('h', [['f']]), error_get_last()['message']);
echo json_encode($k->hgetdel('h', ['f'])), "\n";
echo json_encode([$k->httl('h', ['f', 'g']), $k->hpexpiretime('h', ['f']), $k->hpersist('h', ['f'])]), "\n";
echo json_encode([$k->hexpire('h', 60, ['f'], 'NX'), $k->hpexpireat('h', 1700000000000, ['f'], null)]), "\n";
var_dump(@$k->hexpire('h', 60, []), error_get_last()['message']);

echo json_encode([$k->cmsIncrBy('s', 'a', 1, ['b'], '2'), $k->cmsMerge('dst', ['s', 't'], [1, '0.5']), $k->cmsQuery('s', 'a', ['b'])]), "\n";
var_dump(@$k->cmsIncrBy('s', 'a', 1, 'b'), error_get_last()['message'], @$k->cmsMerge('dst', ['s'], ['heavy']), error_get_last()['message']);

echo json_encode($k->geosearch('g', 'ignored', [12, 37, 16, 37, 14, 39.5], 'ignored', ['ASC', 'COUNT' => 2])), "\n";
var_dump($k->geosearchstore('d', 'g', 'm', [12, 37, 16, 37, 14, 39.5, 12.5, 38], 'km', ['STOREDIST']));
var_dump(@$k->geosearch('g', 'm', [1, 2, 3, 4, 5], 'km'), error_get_last()['message']);

foreach (kelvo_requests($fake->received()) as $line) {
    echo $line, "\n";
}
?>
--EXPECT--
int(1)
int(1)
int(1)
bool(false)
string(70) "Kelvo\Kelvo::hsetex(): Timeout must be >= 0 and <= 9223372036854775807"
bool(false)
string(70) "Kelvo\Kelvo::hsetex(): Timeout must be >= 0 and <= 9223372036854775807"
bool(false)
string(70) "Kelvo\Kelvo::hsetex(): Timeout must be >= 0 and <= 9223372036854775807"
bool(false)
string(70) "Kelvo\Kelvo::hsetex(): Timeout must be >= 0 and <= 9223372036854775807"
bool(false)
string(61) "Kelvo\Kelvo::hsetex(): PERSIST is not valid for this command."
bool(false)
string(61) "Kelvo\Kelvo::hsetex(): Cannot specify both expiry and KEEPTTL"
{"f1":"x","f2":false}
{"f":"y"}
bool(false)
string(70) "Kelvo\Kelvo::hgetex(): Timeout must be >= 0 and <= 9223372036854775807"
bool(false)
string(61) "Kelvo\Kelvo::hgetex(): Field names must be strings or numbers"
{"f":1}
[[10,-2],[-1],[1]]
[[1],[1]]
bool(false)
string(52) "Kelvo\Kelvo::hexpire(): Must pass at least one field"
[[3,2],true,[3,0]]
bool(false)
string(53) "Kelvo\Kelvo::cmsIncrBy(): Must pass field/value pairs"
bool(false)
string(48) "Kelvo\Kelvo::cmsMerge(): Weights must be numeric"
["m"]
int(1)
bool(false)
string(119) "Kelvo\Kelvo::geosearch(): shape array must contain either 2 elements (for BYBOX) or at least 6 elements (for BYPOLYGON)"
HSETEX p:h EX 3600 FIELDS 2 a 1 b [2]
HSETEX p:h fxx KEEPTTL FIELDS 1 0 "c"
HSETEX p:h EX 90 FIELDS 1 d "x"
HGETEX p:h PERSIST FIELDS 2 f1 f2
HGETEX p:h EX 5 FIELDS 1 f
HGETDEL p:h FIELDS 1 f
HTTL p:h FIELDS 2 f g
HPEXPIRETIME p:h FIELDS 1 f
HPERSIST p:h FIELDS 1 f
HEXPIRE p:h 60 NX FIELDS 1 f
HPEXPIREAT p:h 1700000000000 FIELDS 1 f
CMS.INCRBY p:s "a" 1 ["b"] 2
CMS.MERGE p:dst 2 p:s p:t WEIGHTS 1 0.5
CMS.QUERY p:s "a" ["b"]
GEOSEARCH p:g BYPOLYGON 3 12 37 16 37 14 39.5 ASC COUNT 2
GEOSEARCHSTORE p:d p:g BYPOLYGON 4 12 37 16 37 14 39.5 12.5 38 STOREDIST
