--TEST--
rawCommand: refused commands, arity, names without an id sent as written, raw replies
--EXTENSIONS--
kelvo
--INI--
; the scripted server answers the handshake and commands only, not the cache's upkeep
kelvo.maxmemory=0
--FILE--
<?php
require __DIR__ . '/fake.inc';

$r = new Kelvo\Kelvo(kelvo_test_env('KELVO_TEST_HOST'), (int) kelvo_test_env('KELVO_TEST_PORT'));
foreach (['MONITOR', 'subscribe', 'PSubscribe', 'SSUBSCRIBE', 'UNSUBSCRIBE', 'PUNSUBSCRIBE', 'SUNSUBSCRIBE'] as $name) {
    echo kelvo_outcome(fn() => $r->rawCommand($name, 'x')), "\n";
}
$cases = [
    ['GET'], ['get', 'a', 'b'], ['SET', 'k'], ['ECHO', 'x', 'y'], ['PING', 'a', 'b'],
];
foreach ([false, true] as $throw) {
    $r->setOption(Kelvo\Kelvo::OPT_THROW_ON_ERROR, $throw);
    foreach ($cases as $args) {
        $r->clearLastError();
        echo kelvo_outcome(fn() => $r->rawCommand(...$args)), ' | ', json_encode($r->getLastError()), "\n";
    }
}
$r->setOption(Kelvo\Kelvo::OPT_THROW_ON_ERROR, false);
echo kelvo_outcome(fn() => $r->rawCommand('set', 'raw:k', 'v')), "\n";
echo kelvo_outcome(fn() => $r->rawCommand('Get', 'raw:k')), "\n";

// A name without a command id goes out exactly as written, arguments as plain strings.
$fake = new FakeServer(['reply *2\r\n:1\r\n$1\r\nx\r\n', 'reply _\r\n']);
$f = kelvo_fake_client($fake);
echo kelvo_outcome(fn() => $f->rawCommand('mY.CmD', 1, 2.5, true, 'a b')), "\n";
echo kelvo_outcome(fn() => $f->rawCommand('nil.please')), "\n";
$seen = explode('*', $fake->received());
echo '*', $seen[count($seen) - 2], "\n*", end($seen), "\n";
?>
--EXPECT--
Kelvo\Exception(2) 'MONITOR' command is unsupported via rawCommand().
Kelvo\Exception(2) 'subscribe' command is unsupported via rawCommand().
Kelvo\Exception(2) 'PSubscribe' command is unsupported via rawCommand().
Kelvo\Exception(2) 'SSUBSCRIBE' command is unsupported via rawCommand().
Kelvo\Exception(2) 'UNSUBSCRIBE' command is unsupported via rawCommand().
Kelvo\Exception(2) 'PUNSUBSCRIBE' command is unsupported via rawCommand().
Kelvo\Exception(2) 'SUNSUBSCRIBE' command is unsupported via rawCommand().
false | "Wrong number of arguments for 'GET' command (argc: 0, arity: 2)"
false | "Wrong number of arguments for 'get' command (argc: 2, arity: 2)"
false | "Wrong number of arguments for 'SET' command (argc: 1, arity: -3)"
false | "Wrong number of arguments for 'ECHO' command (argc: 2, arity: 2)"
false | "ERR wrong number of arguments for 'ping' command"
Kelvo\Exception(2) Wrong number of arguments for 'GET' command (argc: 0, arity: 2) | null
Kelvo\Exception(2) Wrong number of arguments for 'get' command (argc: 2, arity: 2) | null
Kelvo\Exception(2) Wrong number of arguments for 'SET' command (argc: 1, arity: -3) | null
Kelvo\Exception(2) Wrong number of arguments for 'ECHO' command (argc: 2, arity: 2) | null
Kelvo\Exception(14) ERR wrong number of arguments for 'ping' command | null
true
"v"
[1,"x"]
[]
*5|$6|mY.CmD|$1|1|$3|2.5|$1|1|$3|a b|
*1|$10|nil.please|
