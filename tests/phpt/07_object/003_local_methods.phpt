--TEST--
Local methods: patterns, key prefix, last error, and the methods that need a link on an unconnected object
--FILE--
<?php
use Kelvo\Kelvo;
$k = new Kelvo();
echo "patterns:\n";
var_dump($k->addAllowPatterns('a*', '', 'a*', 'b*'));
var_dump($k->addAllowPatterns('123', 'b*'));
var_dump($k->getOption(Kelvo::OPT_ALLOW_PATTERNS));
var_dump($k->setOption(Kelvo::OPT_IGNORE_PATTERNS, ['tmp:*']), $k->setOption(Kelvo::OPT_IGNORE_PATTERNS, ['tmp:*']));
var_dump($k->addIgnorePatterns(), $k->addIgnorePatterns('x*'), $k->getOption(Kelvo::OPT_IGNORE_PATTERNS));
var_dump($k->setOption(Kelvo::OPT_IGNORE_PATTERNS, []), $k->getOption(Kelvo::OPT_IGNORE_PATTERNS));
try {
    $k->addAllowPatterns(pattern: 'c*');
} catch (Error $e) {
    echo get_class($e), ": ", $e->getMessage(), "\n";
}
try {
    $k->addAllowPatterns('c*', []);
} catch (TypeError $e) {
    echo get_class($e), ": ", $e->getMessage(), "\n";
}

echo "prefix:\n";
var_dump($k->_prefix('k'));
$k->setOption(Kelvo::OPT_PREFIX, 'p:');
var_dump($k->_prefix('k'), $k->_prefix(42));
$k->setOption(Kelvo::OPT_PREFIX, '');
var_dump($k->_prefix('k'));

echo "last error:\n";
var_dump($k->getLastError(), $k->clearLastError(), $k->getLastError());

echo "unconnected:\n";
var_dump($k->isConnected());
foreach (['getDbNum', 'getBytes', 'bytes', 'clearBytes', 'getMode'] as $method) {
    try {
        $k->$method();
        echo "$method returned\n";
    } catch (\Kelvo\Exception $e) {
        printf("%s: %s (code %d)\n", $method, strtok($e->getMessage(), '('), $e->getCode());
    }
}
echo "cache off:\n";
var_dump(Kelvo::maxMemory(), Kelvo::memory() === Kelvo::maxMemory());
var_dump(Kelvo::lastMemoryFlush());
?>
--INI--
kelvo.maxmemory=0
error_reporting=E_ALL & ~E_DEPRECATED
--EXPECTF--
patterns:
int(2)
int(1)
array(3) {
  [0]=>
  string(2) "a*"
  [1]=>
  string(2) "b*"
  [2]=>
  string(3) "123"
}
bool(true)
bool(true)
int(0)
int(1)
array(2) {
  [0]=>
  string(5) "tmp:*"
  [1]=>
  string(2) "x*"
}
bool(true)
array(0) {
}
ArgumentCountError: Kelvo\Kelvo::addAllowPatterns() does not accept unknown named parameters
TypeError: Kelvo\Kelvo::addAllowPatterns(): Argument #2 must be of type string, array given
prefix:
string(1) "k"
string(3) "p:k"
string(4) "p:42"
string(1) "k"
last error:
NULL
bool(true)
NULL
unconnected:
bool(false)
getDbNum: Not connected  (code 1)
getBytes: Not connected  (code 1)
bytes: Not connected  (code 1)
clearBytes: Not connected  (code 1)
getMode: Must be connected to get mode  (code 2)
cache off:
int(0)
bool(true)

Warning: Kelvo\Kelvo::lastMemoryFlush(): Method requires Kelvo's in-memory cache be enabled in %s on line %d
bool(false)
