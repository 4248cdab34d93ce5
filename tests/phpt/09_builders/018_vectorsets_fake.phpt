--TEST--
Vector sets against the scripted fake server (VADD, VSIM, VSETATTR, VGETATTR, VEMB, VLINKS, VRANGE): FP32 bytes and VALUES text of numbers, numeric strings and booleans, values beyond binary32, INF and NAN; VADD and VSIM options in their fixed order; VSIM's query form chosen from its member; attributes as JSON; refusals (non-numeric components, an array of anything but numbers, an array element without a serializer, a bad REDUCE, attributes of another type or that JSON cannot carry) send nothing
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
    'reply #t\r\n',                                     // VADD FP32
    'reply #t\r\n',                                     // VADD VALUES
    'reply #f\r\n',                                     // VADD FP32 of the same components
    'reply #t\r\n',                                     // VADD with every option
    'reply *2\r\n$1\r\na\r\n$1\r\nb\r\n',               // VSIM floats
    'reply *1\r\n$1\r\na\r\n',                          // VSIM integers
    'reply *1\r\n$1\r\na\r\n',                          // VSIM element
    'reply *1\r\n$1\r\na\r\n',                          // VSIM array element
    'reply %1\r\n$1\r\na\r\n,0.5\r\n',                  // VSIM with options
    'reply *0\r\n',                                     // VSIM epsilon ignored
    'reply #t\r\n',                                     // VSETATTR
    'reply $7\r\n{"a":1}\r\n',                          // VGETATTR
    'reply $7\r\n{"a":1}\r\n',                          // VGETATTR raw
    'reply *2\r\n,1\r\n,2.5\r\n',                       // VEMB
    'reply *1\r\n*1\r\n$1\r\nb\r\n',                    // VLINKS
    'reply *1\r\n$1\r\na\r\n',                          // VRANGE
]);
$k = kelvo_fake_client($fake, [Kelvo::OPT_PREFIX => 'p:']);

function refused(Kelvo $k, string $method, array $args): void
{
    $before = $k->getBytes()[0];
    $r = @$k->$method(...$args);
    echo json_encode($r), ' ', error_get_last()['message'], ' (', $k->getBytes()[0] - $before, " bytes)\n";
}

$numbers = [1, 2.5, 0.1, 1e39, -1e39, INF, -INF, NAN, '3', true];
var_dump($k->vadd('v', [1, 2.5], 'e'));
var_dump($k->vadd('v', $numbers, 'e', ['VALUES' => true]), $k->vadd('v', $numbers, 'e'));
var_dump($k->vadd('v', [1, 2.5], 'e', ['M' => 16, 'SETATTR' => ['a' => '<b>'], 'EF' => 200, 'q8', 'CAS' => 1,
                                        'REDUCE' => 2, 'values']));
refused($k, 'vadd', ['v', [1, 'abc'], 'e']);
refused($k, 'vadd', ['v', [null], 'e', ['VALUES']]);
refused($k, 'vadd', ['v', [1], 'e', ['REDUCE' => 0, 'M' => 0]]);
refused($k, 'vadd', ['v', [1], 'e', ['SETATTR' => 5]]);
refused($k, 'vadd', ['v', [1], 'e', ['SETATTR' => ['a' => "\xff"]]]);
refused($k, 'vadd', ['v', [1], 'e', ['SETATTR' => ['a' => NAN]]]);
$deep = 1;
for ($i = 0; $i < 600; $i++) {
    $deep = [$deep];
}
refused($k, 'vadd', ['v', [1], 'e', ['SETATTR' => $deep]]);
refused($k, 'vadd', ['v', [], 'e']);

var_dump($k->vsim('v', [0.5, 0.25]), $k->vsim('v', [1, 2]), $k->vsim('v', 'e'));
// An array element has bytes only through a serializer; without one it is refused below.
$k->setOption(Kelvo::OPT_SERIALIZER, Kelvo::SERIALIZER_PHP);
var_dump($k->vsim('v', ['a', 'b'], ['ELE']));
$k->setOption(Kelvo::OPT_SERIALIZER, Kelvo::SERIALIZER_NONE);
var_dump($k->vsim('v', 'e', ['NOTHREAD' => true, 'FILTER' => '.year > 2000', 'FILTER-EF' => 10, 'COUNT' => 5,
                             'WITHSCORES', 'EPSILON' => 0.2, 'truth']));
var_dump(@$k->vsim('v', 'e', ['EPSILON' => 1, 'COUNT' => '5']), error_get_last()['message']);
refused($k, 'vsim', ['v', ['a', 'b']]);
refused($k, 'vsim', ['v', [1, '2']]);
refused($k, 'vsim', ['v', 'e', ['FP32']]);
refused($k, 'vsim', ['v', [], ['VALUES']]);
refused($k, 'vsim', ['v', ['a', 'b'], ['ELE']]);
refused($k, 'vsim', ['v', [1.5], ['ELE']]);

var_dump($k->vsetattr('v', 'e', ['a' => '<b>']));
refused($k, 'vsetattr', ['v', 'e', 5]);
refused($k, 'vsetattr', ['v', 'e', ['a' => "\xff"]]);
var_dump($k->vgetattr('v', 'e'), $k->vgetattr('v', 'e', true), $k->vemb('v', 'e', true), $k->vlinks('v', 'e', true));
var_dump($k->vrange('v', '[a', '+', 5));

foreach (kelvo_request_words($fake->received()) as $words) {
    echo implode(' ', array_map(fn ($w) => preg_match('/^[\x20-\x7e]*$/', $w) ? $w : '0x' . bin2hex($w), $words)), "\n";
}
?>
--EXPECT--
int(1)
int(1)
int(0)
int(1)
false Kelvo\Kelvo::vadd(): Vector components must be numeric (0 bytes)
false Kelvo\Kelvo::vadd(): Vector components must be numeric (0 bytes)
false Kelvo\Kelvo::vadd(): REDUCE must be >= 1 (0 bytes)
false Kelvo\Kelvo::vadd(): Attributes must be a string or array (0 bytes)
false Kelvo\Kelvo::vadd(): Attributes cannot be encoded as JSON: Malformed UTF-8 characters, possibly incorrectly encoded (0 bytes)
false Kelvo\Kelvo::vadd(): Attributes cannot be encoded as JSON: Inf and NaN cannot be JSON encoded (0 bytes)
false Kelvo\Kelvo::vadd(): Attributes cannot be encoded as JSON: Maximum stack depth exceeded (0 bytes)
false Kelvo\Kelvo::vadd(): Must pass at least one value (0 bytes)
array(2) {
  [0]=>
  string(1) "a"
  [1]=>
  string(1) "b"
}
array(1) {
  [0]=>
  string(1) "a"
}
array(1) {
  [0]=>
  string(1) "a"
}
array(1) {
  [0]=>
  string(1) "a"
}
array(1) {
  ["a"]=>
  float(0.5)
}
array(0) {
}
string(39) "Kelvo\Kelvo::vsim(): COUNT must be >= 1"
false Kelvo\Kelvo::vsim(): A vector must hold only numbers; use ELE to send an array as an element (0 bytes)
false Kelvo\Kelvo::vsim(): A vector must hold only numbers; use ELE to send an array as an element (0 bytes)
false Kelvo\Kelvo::vsim(): FP32 or VALUES requires an array of floats (0 bytes)
false Kelvo\Kelvo::vsim(): FP32 or VALUES requires at least one float (0 bytes)
false Kelvo\Kelvo::vsim(): ELE with an array member requires a serializer (0 bytes)
false Kelvo\Kelvo::vsim(): ELE with an array member requires a serializer (0 bytes)
int(1)
false Kelvo\Kelvo::vsetattr(): Attributes must be a string or array (0 bytes)
false Kelvo\Kelvo::vsetattr(): Attributes cannot be encoded as JSON: Malformed UTF-8 characters, possibly incorrectly encoded (0 bytes)
array(1) {
  ["a"]=>
  int(1)
}
string(7) "{"a":1}"
array(2) {
  [0]=>
  float(1)
  [1]=>
  float(2.5)
}
array(1) {
  [0]=>
  array(1) {
    [0]=>
    string(1) "b"
  }
}
array(1) {
  [0]=>
  string(1) "a"
}
VADD p:v FP32 0x0000803f00002040 e
VADD p:v VALUES 10 1 2.5 0.10000000149011612 3.4028234663852886E+38 -3.4028234663852886E+38 3.4028234663852886E+38 -3.4028234663852886E+38 NAN 3 1 e
VADD p:v FP32 0x0000803f00002040cdcccc3dffff7f7fffff7fffffff7f7fffff7fff0000c07f000040400000803f e
VADD p:v REDUCE 2 VALUES 2 1 2.5 e CAS Q8 EF 200 SETATTR {"a":"\u003Cb\u003E"} M 16
VSIM p:v FP32 0x0000003f0000803e
VSIM p:v FP32 0x0000803f00000040
VSIM p:v ELE e
VSIM p:v ELE a:2:{i:0;s:1:"a";i:1;s:1:"b";}
VSIM p:v ELE e WITHSCORES COUNT 5 EPSILON 0.20000000000000001 FILTER .year > 2000 FILTER-EF 10 TRUTH NOTHREAD
VSIM p:v ELE e
VSETATTR p:v e {"a":"\u003Cb\u003E"}
VGETATTR p:v e
VGETATTR p:v e
VEMB p:v e RAW
VLINKS p:v e WITHSCORES
VRANGE p:v [a + 5
