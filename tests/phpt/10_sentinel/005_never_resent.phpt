--TEST--
Sentinel: a request whose connection breaks is reported, never sent again; FAILOVER and RESET go out once; the next call connects anew
--EXTENSIONS--
kelvo
--FILE--
<?php
require __DIR__ . '/sentinel.inc';
require __DIR__ . '/../08_dispatch/fake.inc';

// Each broken request is followed by a new connection with its own handshake.
$again = KELVO_FAKE_HANDSHAKE;
$fake = new FakeServer(array_merge(
    ['close'],
    $again, ['close'],
    $again, ['close'],
    $again, ['reply $4\r\nsome\r\n'],
));
$s = new Kelvo\Sentinel('127.0.0.1', $fake->port);
foreach (['failover' => ['g'], 'reset' => ['g*'], 'myid' => [], 'myid ' => []] as $method => $args) {
    echo "$method: ", sentinel_outcome(fn() => $s->{trim($method)}(...$args)), "\n";
}
$received = $fake->received();
printf("sent: FAILOVER %d, RESET %d, MYID %d, handshakes %d\n", substr_count($received, '|FAILOVER|'),
       substr_count($received, '|RESET|'), substr_count($received, '|MYID|'), substr_count($received, '|HELLO|'));
--EXPECT--
failover: Kelvo\Exception(3) Server closed the connection
reset: Kelvo\Exception(3) Server closed the connection
myid: Kelvo\Exception(3) Server closed the connection
myid : "some"
sent: FAILOVER 1, RESET 1, MYID 2, handshakes 4
