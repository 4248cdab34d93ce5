--TEST--
Sentinel: error replies recorded or thrown, options, refused constructor arguments, unconfigured and cloned objects, replies of unexpected types
--EXTENSIONS--
kelvo
--FILE--
<?php
require __DIR__ . '/sentinel.inc';
require __DIR__ . '/../08_dispatch/fake.inc';
use Kelvo\Sentinel;
set_error_handler(function (int $level, string $message) { echo "  warning: $message\n"; return true; });
$port = (int) kelvo_test_env('KELVO_TEST_SENTINEL_PORT');

echo "error replies:\n";
$s = new Sentinel('127.0.0.1', $port);
echo '  recorded: ', sentinel_outcome(fn() => $s->master('no-such-group')), ', ', json_encode($s->getLastError()), "\n";
var_dump($s->getOption(Sentinel::OPT_THROW_ON_ERR), $s->setOption(Sentinel::OPT_THROW_ON_ERR, 1), $s->getOption(Sentinel::OPT_THROW_ON_ERR));
foreach (['master', 'ckquorum', 'sentinels', 'failover'] as $method) {
    echo "  thrown by $method: ", sentinel_outcome(fn() => $s->$method('no-such-group')), "\n";
}
var_dump($s->setOption(Sentinel::OPT_THROW_ON_ERR, false), $s->getOption(Sentinel::OPT_THROW_ON_ERR));
echo '  recorded again: ', sentinel_outcome(fn() => $s->slaves('no-such-group')), "\n";

echo "options it does not have:\n";
var_dump($s->setOption(Sentinel::OPT_AUTO_DISCOVER, true), $s->getOption(Sentinel::OPT_AUTO_DISCOVER), $s->setOption(99, 1), $s->getOption(99));

echo "refused constructor arguments:\n";
$cases = [
    'port -1' => ['127.0.0.1', -1],
    'port 65536' => ['127.0.0.1', 65536],
    'timeout 3e9' => ['127.0.0.1', $port, 3e9],
    'timeout NAN' => ['127.0.0.1', $port, NAN],
    'read timeout 3e9' => ['127.0.0.1', $port, 0, null, 0, 3e9],
    'a connection array and a port' => [['host' => '127.0.0.1', 'port' => $port], $port],
    'a host that is a number' => [1234, $port],
    'a connection array with a numeric host' => [['host' => 1234]],
    'a connection array with port 70000' => [['host' => '127.0.0.1', 'port' => 70000]],
    'a connection array with a negative read timeout' => [['host' => '127.0.0.1', 'readTimeout' => -1]],
    'nine arguments' => ['127.0.0.1', $port, 0, null, 0, 0, null, null, 1],
    'a retry interval that is not a number' => ['127.0.0.1', $port, 0, null, 'soon'],
    'a host that does not resolve' => ['no-such-host.invalid', $port],
    'a port nobody listens on' => ['127.0.0.1', 1],
];
foreach ($cases as $case => $args) {
    echo "  $case: ", sentinel_outcome(fn() => new Sentinel(...$args)), "\n";
}

echo "credentials that cannot be parsed are refused, never dropped:\n";
class Probe extends Sentinel
{
    public function __construct(mixed ...$args)
    {
        $outcome = sentinel_outcome(fn() => parent::__construct(...$args));
        echo "    constructor: $outcome\n";
    }
}
$cases = [
    'three elements' => ['127.0.0.1', $port, 0, null, 0, 0, ['a', 'b', 'c']],
    'no password' => ['127.0.0.1', $port, 0, null, 0, 0, [null]],
    'from the context' => ['127.0.0.1', $port, 0, null, 0, 0, null, ['auth' => []]],
    'from a connection array' => [['host' => '127.0.0.1', 'port' => $port, 'auth' => ['user' => 'u']]],
];
foreach ($cases as $case => $args) {
    echo "  $case:\n";
    $p = new Probe(...$args);
    echo '    then: ', sentinel_outcome(fn() => $p->myid()), "\n";
}

echo "an object that was never configured:\n";
class Unconfigured extends Sentinel
{
    public function __construct() {}
}
$u = new Unconfigured();
echo '  ', sentinel_outcome(fn() => $u->myid()), "\n";
echo '  ', sentinel_outcome(fn() => $u->getLastError()), "\n";
echo '  ', sentinel_outcome(fn() => $u->setOption(Sentinel::OPT_THROW_ON_ERR, true)), "\n";

echo "clone:\n";
echo '  ', sentinel_outcome(fn() => clone $s), "\n";
echo '  the original still works: ', json_encode($s->ping()), "\n";

echo "wrong method arguments:\n";
echo '  ', sentinel_outcome(fn() => $s->master()), "\n";
echo '  ', sentinel_outcome(fn() => $s->masters('x')), "\n";
echo '  ', sentinel_outcome(fn() => $s->ping('a', 'b')), "\n";

echo "replies of a type the command does not answer with:\n";
$fake = new FakeServer(['reply :5\r\n', 'reply +OK\r\n', 'reply $2\r\nid\r\n', 'reply *0\r\n', 'reply _\r\n',
                        'reply -ERR nope\r\n', 'reply +PONG\r\n', 'reply $2\r\nhi\r\n']);
$f = new Sentinel('127.0.0.1', $fake->port);
$calls = ['myid' => [], 'getMasterAddrByName' => ['g'], 'reset' => ['g'], 'master' => ['g'], 'getPrimaryAddrByName' => ['g'],
          'flushconfig' => [], 'ping' => [], 'ping ' => ['hi']];
foreach ($calls as $method => $args) {
    echo "  $method: ", sentinel_outcome(fn() => $f->{trim($method)}(...$args)), "\n";
}
preg_match('/SETNAME\|\$\d+\|([^|]+)/', $fake->received(), $name);
echo 'the handshake names the link ', str_replace((string) getmypid(), 'PID', $name[1]), "\n";
echo "what went out after the handshake:\n";
$requests = explode('*', substr($fake->received(), strpos($fake->received(), 'LIB-VER')));
foreach (array_slice($requests, 1) as $request) {
    $parts = explode('|', $request);
    echo '  ', implode(' ', array_filter($parts, fn($i) => $i > 0 && $i % 2 === 0, ARRAY_FILTER_USE_KEY)), "\n";
}

echo "a handshake answered with something else than the HELLO map:\n";
$odd = new FakeServer(['reply +OK\r\n', 'reply +OK\r\n', 'reply +OK\r\n'], false);
$o = new Sentinel('127.0.0.1', $odd->port);
echo '  ', sentinel_outcome(fn() => $o->ping()), "\n";

echo "the class surface:\n";
$class = new ReflectionClass(Sentinel::class);
echo '  ', count($class->getMethods(ReflectionMethod::IS_PUBLIC)), ' methods, constants ', json_encode($class->getConstants()), "\n";
$names = fn(array $attributes) => implode(', ', array_map(fn($a) => $a->getName(), $attributes));
foreach (['__construct', 'ckquorum', 'getMasterAddrByName', 'primary', 'getPrimaryAddrByName', 'getLastError', 'setOption'] as $method) {
    echo "  $method: ", $names((new ReflectionMethod(Sentinel::class, $method))->getAttributes()), "\n";
}
echo '  the auth parameter: ', $names((new ReflectionMethod(Sentinel::class, '__construct'))->getParameters()[6]->getAttributes()), "\n";
echo "declared types:\n";
foreach (['getMasterAddrByName', 'getPrimaryAddrByName', 'myid', 'reset', 'ping', 'getLastError', 'masters'] as $method) {
    $m = new ReflectionMethod(Sentinel::class, $method);
    echo "  $method(", implode(', ', array_map(fn($p) => $p->getType() . ' $' . $p->getName() . ($p->isOptional() ? ' = ' . var_export($p->getDefaultValue(), true) : ''), $m->getParameters())), '): ', $m->getReturnType(), "\n";
}
--EXPECT--
error replies:
  recorded: false, "ERR No such master with that name"
bool(false)
bool(true)
bool(true)
  thrown by master: Kelvo\Exception(14) ERR No such master with that name
  thrown by ckquorum: Kelvo\Exception(14) ERR No such master with that name
  thrown by sentinels: Kelvo\Exception(14) ERR No such master with that name
  thrown by failover: Kelvo\Exception(14) ERR No such master with that name
bool(true)
bool(false)
  recorded again: false
options it does not have:
bool(false)
bool(false)
bool(false)
bool(false)
refused constructor arguments:
  port -1: ValueError(0) Port must be an integer between 0 - 65536
  port 65536: ValueError(0) Port must be an integer between 0 - 65536
  timeout 3e9: ValueError(0) Invalid timeout
  timeout NAN: ValueError(0) Invalid timeout
  read timeout 3e9: ValueError(0) Invalid read timeout
  a connection array and a port: ValueError(0) When not using a connection array the host argument must be a string
  a host that is a number: ValueError(0) When not using a connection array the host argument must be a string
  a connection array with a numeric host: ValueError(0) Invalid host
  a connection array with port 70000: ValueError(0) Port must be an integer between 0 - 65536
  a connection array with a negative read timeout: ValueError(0) Read timeout must be a number >= 0.0
  nine arguments: ArgumentCountError(0) Kelvo\Sentinel::__construct() expects at most 8 arguments, 9 given
  a retry interval that is not a number: TypeError(0) Kelvo\Sentinel::__construct(): Argument #5 ($retry_interval) must be of type int, string given
  a host that does not resolve: Kelvo\Exception(11) Failed to resolve host address
  a port nobody listens on: Kelvo\Exception(1) Connection refused
credentials that cannot be parsed are refused, never dropped:
  three elements:
  warning: Kelvo\Sentinel::__construct(): An auth array must have one or two elements
    constructor: ValueError(0) Can't parse AUTH information
    then: Kelvo\Exception(1) Not connected
  no password:
    constructor: ValueError(0) Can't parse AUTH information
    then: Kelvo\Exception(1) Not connected
  from the context:
  warning: Kelvo\Sentinel::__construct(): An auth array must have one or two elements
    constructor: ValueError(0) Can't parse AUTH information
    then: Kelvo\Exception(1) Not connected
  from a connection array:
    constructor: ValueError(0) Can't parse AUTH information
    then: Kelvo\Exception(1) Not connected
an object that was never configured:
  Kelvo\Exception(1) Not connected
  Kelvo\Exception(1) Not connected
  true
clone:
  Error(0) Trying to clone an uncloneable object of class Kelvo\Sentinel
  the original still works: true
wrong method arguments:
  ArgumentCountError(0) Kelvo\Sentinel::master() expects exactly 1 argument, 0 given
  ArgumentCountError(0) Kelvo\Sentinel::masters() expects exactly 0 arguments, 1 given
  ArgumentCountError(0) Kelvo\Sentinel::ping() expects at most 1 argument, 2 given
replies of a type the command does not answer with:
  myid: Kelvo\Exception(16) Unexpected reply-type 'integer'
  getMasterAddrByName: Kelvo\Exception(16) Unexpected reply-type 'status'
  reset: Kelvo\Exception(16) Unexpected reply-type 'string'
  master: Kelvo\Exception(16) Unexpected reply-type 'array'
  getPrimaryAddrByName: null
  flushconfig: false
  ping: true
  ping : "hi"
the handshake names the link sentinel@default:PID
what went out after the handshake:
  SENTINEL MYID
  SENTINEL GET-MASTER-ADDR-BY-NAME g
  SENTINEL RESET g
  SENTINEL MASTER g
  SENTINEL GET-MASTER-ADDR-BY-NAME g
  SENTINEL FLUSHCONFIG
  PING
  PING hi
a handshake answered with something else than the HELLO map:
  Kelvo\Exception(4) Unexpected reply to the connection handshake
the class surface:
  18 methods, constants {"OPT_THROW_ON_ERR":1,"OPT_AUTO_DISCOVER":2}
  __construct: Kelvo\Attributes\Server
  ckquorum: Kelvo\Attributes\RedisCommand, Kelvo\Attributes\ValkeyCommand
  getMasterAddrByName: Kelvo\Attributes\RedisCommand, Kelvo\Attributes\ValkeyCommand
  primary: Kelvo\Attributes\ValkeyCommand
  getPrimaryAddrByName: Kelvo\Attributes\ValkeyCommand
  getLastError: Kelvo\Attributes\Local
  setOption: Kelvo\Attributes\Local
  the auth parameter: SensitiveParameter
declared types:
  getMasterAddrByName(string $master): array|false|null
  getPrimaryAddrByName(string $master): array|false|null
  myid(): string|false
  reset(string $pattern): int|false
  ping(?string $message = NULL): string|bool
  getLastError(): ?string
  masters(): array|false
