--TEST--
Newer string-write forms against the scripted fake server (SET conditions, DELEX, MSETEX, INCREX): the words each method sends and what it returns; refused calls send nothing
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
    'reply +OK\r\n',                 // SET IFEQ
    'reply $3\r\nold\r\n',           // SET IFDNE GET
    'reply :1\r\n',                  // DELEX IFEQ
    'reply :0\r\n',                  // DELEX
    'reply :1\r\n',                  // MSETEX
    'reply *1\r\n:7\r\n',            // INCREX BYINT
    'reply *1\r\n$3\r\n2.5\r\n',     // INCREX BYFLOAT
    'reply *0\r\n',                  // INCREX bare
]);
$k = kelvo_fake_client($fake, [Kelvo::OPT_PREFIX => 'p:', Kelvo::OPT_SERIALIZER => Kelvo::SERIALIZER_JSON]);

var_dump($k->set('k', 'v', ['IFEQ' => 'old', 'EX' => 5]));
var_dump($k->set('k', [1], ['ifdne' => 'abcdef0123456789', 'GET']));
var_dump($k->delex('k', ['IFEQ' => ['a' => 1]]));
var_dump(@$k->delex('k', ['IFQE' => 'v']), error_get_last()['message']);
var_dump($k->delex('k', null));
var_dump($k->msetex(['a' => 1, 'b' => [2]], ['NX', 'PX' => 1500]));
var_dump(@$k->msetex(['a' => 1], ['PERSIST']), error_get_last()['message']);
var_dump($k->increx('n', 5, ['LBOUND' => 0, 'UBOUND' => 10, 'OVERFLOW' => 'sat', 'EX' => 60, 'ENX']));
var_dump($k->increx('f', 0.5, ['UBOUND' => 3]));
var_dump(@$k->increx('n', 1, ['UBOUND' => 2.5]), error_get_last()['message']);
var_dump(@$k->set('k', NAN), error_get_last()['message']);
var_dump($k->increx('n'));

foreach (kelvo_requests($fake->received()) as $line) {
    echo $line, "\n";
}
?>
--EXPECT--
bool(true)
string(3) "old"
int(1)
bool(false)
string(43) "Kelvo\Kelvo::delex(): Unknown option 'IFQE'"
int(0)
int(1)
bool(false)
string(69) "Kelvo\Kelvo::msetex(): PERSIST is not a valid expiry type for command"
array(1) {
  [0]=>
  int(7)
}
array(1) {
  [0]=>
  float(2.5)
}
bool(false)
string(59) "Kelvo\Kelvo::increx(): Invalid UBOUND for integer increment"
bool(false)
string(110) "Kelvo\Kelvo::set(): Failed to serialize the value with the json serializer: Inf and NaN cannot be JSON encoded"
array(0) {
}
SET p:k "v" IFEQ "old" EX 5
SET p:k [1] IFDNE abcdef0123456789 GET
DELEX p:k IFEQ {"a":1}
DELEX p:k
MSETEX 2 p:a 1 p:b [2] NX PX 1500
INCREX p:n BYINT 5 LBOUND 0 UBOUND 10 OVERFLOW SAT EX 60 ENX
INCREX p:f BYFLOAT 0.5 UBOUND 3
INCREX p:n
