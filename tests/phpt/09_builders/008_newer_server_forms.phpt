--TEST--
Forms the harness's server lacks, against the scripted fake server (LMOVEM, BLMOVEM, HOTKEYS, COMMANDLOG, GCRA, ZRANK WITHSCORE, CLIENT CAPA, VRANDMEMBER) and a scan cursor above 2^63 coming back: the words each method sends and what it returns; refused calls send nothing
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
    'reply *2\r\n$1\r\nx\r\n$1\r\ny\r\n',                              // LMOVEM
    'reply _\r\n',                                                     // BLMOVEM
    'reply +OK\r\n',                                                   // HOTKEYS START
    'reply *0\r\n',                                                    // HOTKEYS GET
    'reply +OK\r\n',                                                   // HOTKEYS STOP
    'reply *0\r\n',                                                    // COMMANDLOG GET
    'reply :3\r\n',                                                    // COMMANDLOG LEN
    'reply *2\r\n:0\r\n:5\r\n',                                        // GCRA
    'reply *2\r\n:1\r\n,1.5\r\n',                                      // ZRANK WITHSCORE
    'reply +OK\r\n',                                                   // CLIENT CAPA
    'reply *2\r\n$20\r\n18446744073709551615\r\n*1\r\n$1\r\nk\r\n',    // SCAN 0
    'reply *2\r\n$1\r\n0\r\n*0\r\n',                                   // SCAN 2^64 - 1
    'reply *1\r\n$1\r\nm\r\n',                                         // VRANDMEMBER
]);
$k = kelvo_fake_client($fake, [Kelvo::OPT_PREFIX => 'p:']);

var_dump($k->lmovem('a', 'b', 'LEFT', 'right', ['count' => [2, 'obo']]));
var_dump($k->blmovem('a', 'b', 'left', 'LEFT', 0.5, ['EXACTLY' => [3, 'Bulk']]));
var_dump(@$k->lmovem('a', 'b', 'LEFT', 'RIGHT', ['COUNT' => [2, 'OBO'], 'EXACTLY' => [1, 'BULK']]), error_get_last()['message']);
var_dump($k->hotkeys('START', ['METRICS' => ['cpu', 'net'], 'COUNT' => 10, 'SLOTS' => [1, 2]]));
var_dump($k->hotkeys('GET'), $k->hotkeys('stop', ['METRICS' => 'cpu']));
var_dump(@$k->hotkeys('START', ['COUNT' => 10]), error_get_last()['message']);
var_dump($k->commandlog('get', 10, 'slow'), $k->commandlog('len', 'large-request'));
var_dump($k->gcra('g', 10, 5, 60, 2), $k->zrank('z', 'm', true));
var_dump($k->getOption(Kelvo::OPT_CAPA_REDIRECT), $k->client('capa', 'redirect'), $k->getOption(Kelvo::OPT_CAPA_REDIRECT));
$it = null;
var_dump($k->scan($it), $it);
var_dump($k->scan($it), $it, $k->scan($it));
var_dump($k->vrandmember('v', -2));

foreach (kelvo_requests($fake->received()) as $line) {
    echo $line, "\n";
}
?>
--EXPECT--
array(2) {
  [0]=>
  string(1) "x"
  [1]=>
  string(1) "y"
}
bool(false)
bool(false)
string(68) "Kelvo\Kelvo::lmovem(): Only one of COUNT or EXACTLY may be specified"
bool(true)
array(0) {
}
bool(true)
bool(false)
string(74) "Kelvo\Kelvo::hotkeys(): At least one metric (CPU or NET) must be specified"
array(0) {
}
int(3)
array(2) {
  [0]=>
  int(0)
  [1]=>
  int(5)
}
array(2) {
  [0]=>
  int(1)
  [1]=>
  float(1.5)
}
bool(false)
bool(true)
bool(true)
array(1) {
  [0]=>
  string(1) "k"
}
int(-1)
array(0) {
}
int(0)
bool(false)
array(1) {
  [0]=>
  string(1) "m"
}
LMOVEM p:a p:b LEFT right COUNT 2 OBO
BLMOVEM p:a p:b left LEFT 0.5 EXACTLY 3 BULK
HOTKEYS START METRICS 2 CPU NET COUNT 10 SLOTS 2 1 2
HOTKEYS GET
HOTKEYS stop
COMMANDLOG get 10 slow
COMMANDLOG len large-request
GCRA p:g 10 5 60 TOKENS 2
ZRANK p:z m WITHSCORE
CLIENT capa redirect
SCAN 0
SCAN 18446744073709551615
VRANDMEMBER p:v -2
