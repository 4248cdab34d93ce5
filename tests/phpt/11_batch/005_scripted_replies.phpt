--TEST--
Transactions against replies a real server does not give: a push inside the EXEC array, an EXEC array of the wrong size, a queued command answered with something other than QUEUED
--EXTENSIONS--
kelvo
--INI--
; the scripted server answers the handshake and commands only, not the cache's upkeep
kelvo.maxmemory=0
--FILE--
<?php
require __DIR__ . '/batch.inc';

$invalidate = '>2\r\n$10\r\ninvalidate\r\n*1\r\n$1\r\nk\r\n';
$message = '>3\r\n$7\r\nmessage\r\n$2\r\nch\r\n$3\r\nhey\r\n';
$queued = 'reply +QUEUED\r\n';
$cases = [
    // The push takes an element of the array; the last result follows the array on the wire.
    'push inside EXEC' => [['reply +OK\r\n', $queued, $queued, 'reply *2\r\n' . $invalidate . ':1\r\n:2\r\n', 'reply +PONG\r\n'],
        fn($r) => [$r->multi()->incr('a')->incr('b')->exec(), $r->ping()]],
    'message push inside EXEC' => [['reply +OK\r\n', $queued, 'reply *1\r\n' . $message . ':7\r\n', 'reply +PONG\r\n'],
        fn($r) => [$r->multi()->incr('a')->exec(), $r->ping()]],
    'EXEC array too short' => [['reply +OK\r\n', $queued, $queued, 'reply *1\r\n:1\r\n', 'reply +PONG\r\n'],
        fn($r) => [$r->multi()->incr('a')->incr('b')->exec(), $r->getMode(), $r->ping()]],
    'EXEC array too short, pipelined' => [['reply +OK\r\n', $queued, 'reply *0\r\n'],
        fn($r) => $r->pipeline()->multi()->incr('a')->exec()->exec()],
    'OK instead of QUEUED' => [['reply +OK\r\n', 'reply +OK\r\n', 'reply +OK\r\n'],
        fn($r) => [$r->multi()->incr('a'), $r->getMode()]],
    'OK instead of QUEUED, pipelined' => [['reply +OK\r\n', 'reply +OK\r\n', 'reply *1\r\n:1\r\n'],
        fn($r) => $r->pipeline()->multi()->incr('a')->exec()->exec()],
];
foreach ([false, true] as $throw) {
    foreach ($cases as $name => [$steps, $call]) {
        $fake = new FakeServer($steps);
        $r = kelvo_fake_client($fake, [Kelvo\Kelvo::OPT_THROW_ON_ERROR => $throw]);
        $outcome = @kelvo_outcome(fn() => $call($r));
        $sent = preg_replace('/^.*?\*1\|\$5\|MULTI\|/', 'MULTI|', $fake->received());
        printf("%s %-32s %s\n      sent %s\n", $throw ? 'throw ' : 'record', $name, $outcome,
               preg_replace('/\*\d\|\$\d\|/', ' ', $sent));
    }
}
// The malformed EXEC array is a warning in record mode.
$fake = new FakeServer(['reply +OK\r\n', $queued, 'reply *0\r\n']);
var_dump(kelvo_fake_client($fake)->multi()->incr('a')->exec());
?>
--EXPECTF--
record push inside EXEC                 [[1,2],true]
      sent MULTI| INCR|$1|a| INCR|$1|b| EXEC| PING|
record message push inside EXEC         [[7],true]
      sent MULTI| INCR|$1|a| EXEC| PING|
record EXEC array too short             [false,0,true]
      sent MULTI| INCR|$1|a| INCR|$1|b| EXEC| PING|
record EXEC array too short, pipelined  Kelvo\Exception(14) Error executing transaction.
      sent MULTI| INCR|$1|a| EXEC|
record OK instead of QUEUED             Kelvo\Exception(2) Unknown error
      sent MULTI| INCR|$1|a| DISCARD|
record OK instead of QUEUED, pipelined  Kelvo\Exception(14) Error executing transaction.
      sent MULTI| INCR|$1|a| EXEC|
throw  push inside EXEC                 [[1,2],true]
      sent MULTI| INCR|$1|a| INCR|$1|b| EXEC| PING|
throw  message push inside EXEC         [[7],true]
      sent MULTI| INCR|$1|a| EXEC| PING|
throw  EXEC array too short             Kelvo\Exception(4) Malformed RESP reply: expected EXEC array with 2 elements
      sent MULTI| INCR|$1|a| INCR|$1|b| EXEC|
throw  EXEC array too short, pipelined  Kelvo\Exception(4) Malformed RESP reply: expected EXEC array with 1 elements
      sent MULTI| INCR|$1|a| EXEC|
throw  OK instead of QUEUED             Kelvo\Exception(2) Unknown error
      sent MULTI| INCR|$1|a| DISCARD|
throw  OK instead of QUEUED, pipelined  Kelvo\Exception(14) Error executing transaction.
      sent MULTI| INCR|$1|a| EXEC|

Warning: Kelvo\Kelvo::exec(): Malformed RESP reply: expected EXEC array with 1 elements in %s on line %d
bool(false)
