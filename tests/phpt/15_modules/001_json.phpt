--TEST--
JSON document commands on scripted replies: JSON-encoded values whatever the client's serializer, paths that keep their place, refusals that send nothing, and the replies of current (RESP3) and older module versions
--EXTENSIONS--
kelvo
--INI--
; the scripted server answers the handshake and commands only, not the cache's upkeep
kelvo.maxmemory=0
--FILE--
<?php
require __DIR__ . '/modules.inc';
use Kelvo\Kelvo;

$calls = [
    'set object' => ['+OK\r\n', fn($k) => $k->jsonSet('doc', '$', ['a' => 1, 'b' => '<x>'])],
    'set nx not met (RESP3 nil)' => ['_\r\n', fn($k) => $k->jsonSet('doc', '$', 1, 'nx')],
    'set xx not met (RESP2 nil)' => ['$-1\r\n', fn($k) => $k->jsonSet('doc', '$.a', 'v', 'XX', 'fp32')],
    'set bad condition' => [null, fn($k) => $k->jsonSet('doc', '$', 1, 'nxx')],
    'set bad format' => [null, fn($k) => $k->jsonSet('doc', '$', 1, null, 'FP8')],
    'set NAN' => [null, fn($k) => $k->jsonSet('doc', '$', ['x' => NAN])],
    'set bad UTF-8' => [null, fn($k) => $k->jsonSet('doc', '$', "\xff")],
    'set too deep' => [null, fn($k) => $k->jsonSet('doc', '$', array_reduce(range(1, 600), fn($c) => [$c], 1))],
    'get' => ['$13\r\n{"a":1,"b":2}\r\n', fn($k) => $k->jsonGet('doc')],
    'get options and paths' => ['$5\r\n[1,2]\r\n', fn($k) => $k->jsonGet('doc', ['space' => ' ', 'Indent' => 'tt', 'x' => 'y'], '$.a', '$.b')],
    'get missing key' => ['_\r\n', fn($k) => $k->jsonGet('nothing')],
    'get options list' => [null, fn($k) => $k->jsonGet('doc', ['INDENT', ' '])],
    'get option not a string' => [null, fn($k) => $k->jsonGet('doc', ['INDENT' => 2])],
    'mget' => ['*2\r\n$3\r\n[1]\r\n_\r\n', fn($k) => $k->jsonMget(['a', 'b'], '$.x')],
    'mget one key' => ['*1\r\n$-1\r\n', fn($k) => $k->jsonMget(7, '$')],
    'arrappend list' => ['*1\r\n:3\r\n', fn($k) => $k->jsonArrAppend('arr', [1, 'two', [3]], '$')],
    'arrappend object, no path' => ['*1\r\n:4\r\n', fn($k) => $k->jsonArrAppend('arr', ['k' => 'v'])],
    'arrappend legacy path (integer)' => [':5\r\n', fn($k) => $k->jsonArrAppend('arr', 'x', '.')],
    'arrappend empty list' => [null, fn($k) => $k->jsonArrAppend('arr', [])],
    'arrappend INF in list' => [null, fn($k) => $k->jsonArrAppend('arr', [1, INF])],
    'arrindex' => ['*1\r\n:-1\r\n', fn($k) => $k->jsonArrIndex('arr', '$', 'x')],
    'arrindex bounds' => ['*1\r\n:0\r\n', fn($k) => $k->jsonArrIndex('arr', '$', 'x', 0, -1)],
    'arrindex stop alone' => ['*1\r\n:2\r\n', fn($k) => $k->jsonArrIndex('arr', '$', 'x', null, 3)],
    'arrinsert' => ['*1\r\n:5\r\n', fn($k) => $k->jsonArrInsert('arr', '$', 0, 'a', 'b')],
    'arrlen legacy missing path' => ['_\r\n', fn($k) => $k->jsonArrLen('arr', '.nope')],
    'arrpop' => ['$3\r\n"b"\r\n', fn($k) => $k->jsonArrPop('arr')],
    'arrpop index, null path' => ['*1\r\n$1\r\n1\r\n', fn($k) => $k->jsonArrPop('arr', null, 2)],
    'arrtrim' => ['*1\r\n:2\r\n', fn($k) => $k->jsonArrTrim('arr', '$', 0, 1)],
    'clear' => [':1\r\n', fn($k) => $k->jsonClear('doc')],
    'del' => [':1\r\n', fn($k) => $k->jsonDel('doc', '$.a')],
    'forget' => [':0\r\n', fn($k) => $k->jsonForget('doc', '$.a')],
    'debug memory' => [':120\r\n', fn($k) => $k->jsonDebug('memory', 'doc', '$')],
    'debug other' => [null, fn($k) => $k->jsonDebug('usage', 'doc')],
    'merge' => ['+OK\r\n', fn($k) => $k->jsonMerge('doc', '$', ['c' => null])],
    'mset' => ['+OK\r\n', fn($k) => $k->jsonMset('a', '$', 1, 'b', '$.x', [2])],
    'mset broken triple' => [null, fn($k) => $k->jsonMset('a', '$', 1, 'b')],
    'numincrby integer' => ['$3\r\n[3]\r\n', fn($k) => $k->jsonNumIncrBy('doc', '$.a', 2)],
    'nummultby float' => ['*1\r\n,0.3\r\n', fn($k) => $k->jsonNumMultBy('doc', '$.a', 0.1)],
    'numincrby legacy' => ['$1\r\n5\r\n', fn($k) => $k->jsonNumIncrBy('doc', '.a', -1.5e20)],
    'objkeys' => ['*1\r\n*2\r\n$1\r\na\r\n$1\r\nb\r\n', fn($k) => $k->jsonObjKeys('doc', '$')],
    'objlen missing key' => ['_\r\n', fn($k) => $k->jsonObjLen('nothing')],
    'strappend no path' => ['*1\r\n:4\r\n', fn($k) => $k->jsonStrAppend('doc', 'xy')],
    'strappend path' => [':6\r\n', fn($k) => $k->jsonStrAppend('doc', 'xy', '.b')],
    'strlen' => ['*1\r\n:6\r\n', fn($k) => $k->jsonStrLen('doc', '$.b')],
    'toggle' => ['*1\r\n:0\r\n', fn($k) => $k->jsonToggle('doc', '$.t')],
    'type legacy' => ['+object\r\n', fn($k) => $k->jsonType('doc')],
    'type RESP3' => ['*1\r\n*1\r\n$7\r\ninteger\r\n', fn($k) => $k->jsonType('doc', '$.a')],
    'resp RESP3' => ['*5\r\n+{\r\n$1\r\na\r\n*5\r\n+[\r\n:1\r\n#t\r\n_\r\n,2.5\r\n$1\r\nb\r\n$1\r\nx\r\n', fn($k) => $k->jsonResp('doc')],
    'resp RESP2' => ['*3\r\n+[\r\n+true\r\n$3\r\n1.5\r\n', fn($k) => $k->jsonResp('doc', '.l')],
    'resp map' => ['%1\r\n$1\r\na\r\n*2\r\n:1\r\n#f\r\n', fn($k) => $k->jsonResp('doc')],
    'resp scalar status' => ['+false\r\n', fn($k) => $k->jsonResp('doc', '.f')],
    'resp nil' => ['_\r\n', fn($k) => $k->jsonResp('nothing')],
    'resp error member' => ['*3\r\n+[\r\n*2\r\n:1\r\n-ERR bad\r\n:2\r\n', fn($k) => $k->jsonResp('doc')],
];
kelvo_module_calls($calls, [Kelvo::OPT_PREFIX => 'p:', Kelvo::OPT_SERIALIZER => Kelvo::SERIALIZER_PHP]);
?>
--EXPECT--
set object: true
  > JSON.SET p:doc $ {"a":1,"b":"\u003Cx\u003E"}
set nx not met (RESP3 nil): false
  > JSON.SET p:doc $ 1 NX
set xx not met (RESP2 nil): false
  > JSON.SET p:doc $.a "v" XX FPHA FP32
set bad condition: false
  ! Unknown condition 'nxx'
  > (nothing)
set bad format: false
  ! Unknown FPGA format 'FP8'
  > (nothing)
set NAN: false
  ! Cannot encode the value as JSON: Inf and NaN cannot be JSON encoded
  > (nothing)
set bad UTF-8: false
  ! Cannot encode the value as JSON: Malformed UTF-8 characters, possibly incorrectly encoded
  > (nothing)
set too deep: false
  ! Cannot encode the value as JSON: Maximum stack depth exceeded
  > (nothing)
get: {"a":1,"b":2}
  > JSON.GET p:doc
get options and paths: [1,2]
  > JSON.GET p:doc INDENT tt SPACE   $.a $.b
get missing key: null
  > JSON.GET p:nothing
get options list: false
  ! Options array must have all string keys
  > (nothing)
get option not a string: false
  ! Option value must be a string
  > (nothing)
mget: [[1],null]
  > JSON.MGET p:a p:b $.x
mget one key: [null]
  > JSON.MGET p:7 $
arrappend list: [3]
  > JSON.ARRAPPEND p:arr $ 1 "two" [3]
arrappend object, no path: [4]
  > JSON.ARRAPPEND p:arr $ {"k":"v"}
arrappend legacy path (integer): 5
  > JSON.ARRAPPEND p:arr . "x"
arrappend empty list: false
  ! At least one value must be specified
  > (nothing)
arrappend INF in list: false
  ! Cannot encode the value as JSON: Inf and NaN cannot be JSON encoded
  > (nothing)
arrindex: [-1]
  > JSON.ARRINDEX p:arr $ "x"
arrindex bounds: [0]
  > JSON.ARRINDEX p:arr $ "x" 0 -1
arrindex stop alone: [2]
  > JSON.ARRINDEX p:arr $ "x" 0 3
arrinsert: [5]
  > JSON.ARRINSERT p:arr $ 0 "a" "b"
arrlen legacy missing path: false
  > JSON.ARRLEN p:arr .nope
arrpop: "\"b\""
  > JSON.ARRPOP p:arr
arrpop index, null path: ["1"]
  > JSON.ARRPOP p:arr $ 2
arrtrim: [2]
  > JSON.ARRTRIM p:arr $ 0 1
clear: 1
  > JSON.CLEAR p:doc
del: 1
  > JSON.DEL p:doc $.a
forget: 0
  > JSON.FORGET p:doc $.a
debug memory: 120
  > JSON.DEBUG memory p:doc $
debug other: false
  ! Unexpected subcommand 'usage'
  > (nothing)
merge: true
  > JSON.MERGE p:doc $ {"c":null}
mset: true
  > JSON.MSET p:a $ 1 p:b $.x [2]
mset broken triple: false
  ! Key, path and value must specified
  > (nothing)
numincrby integer: "[3]"
  > JSON.NUMINCRBY p:doc $.a 2
nummultby float: [0.3]
  > JSON.NUMMULTBY p:doc $.a 0.10000000000000001
numincrby legacy: "5"
  > JSON.NUMINCRBY p:doc .a -1.5E+20
objkeys: [["a","b"]]
  > JSON.OBJKEYS p:doc $
objlen missing key: false
  > JSON.OBJLEN p:nothing
strappend no path: [4]
  > JSON.STRAPPEND p:doc $ "xy"
strappend path: 6
  > JSON.STRAPPEND p:doc .b "xy"
strlen: [6]
  > JSON.STRLEN p:doc $.b
toggle: [0]
  > JSON.TOGGLE p:doc $.t
type legacy: "object"
  > JSON.TYPE p:doc
type RESP3: [["integer"]]
  > JSON.TYPE p:doc $.a
resp RESP3: ["{","a",["[",1,true,null,2.5],"b","x"]
  > JSON.RESP p:doc
resp RESP2: ["[","true","1.5"]
  > JSON.RESP p:doc .l
resp map: {"a":[1,false]}
  > JSON.RESP p:doc
resp scalar status: "false"
  > JSON.RESP p:doc .f
resp nil: null
  > JSON.RESP p:nothing
resp error member: ["[",false,2]
  ! Malformed RESP reply: unexpected JSON.RESP member type error
  > JSON.RESP p:doc