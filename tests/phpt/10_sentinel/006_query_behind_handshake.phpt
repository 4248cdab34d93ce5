--TEST--
Sentinel: a query on a new link goes out behind the handshake; a refused handshake is what the caller sees, and a command that steers the sentinel waits for the handshake
--EXTENSIONS--
kelvo
--FILE--
<?php
require __DIR__ . '/sentinel.inc';
require __DIR__ . '/../08_dispatch/fake.inc';

$refused = ['reply -WRONGPASS invalid username-password pair or user is disabled.\r\n', 'reply +OK\r\n', 'reply +OK\r\n'];

// A query behind a refused handshake: its reply is never taken for the answer, the next call connects anew.
$fake = new FakeServer(array_merge($refused, ['reply $5\r\nstale\r\n'], KELVO_FAKE_HANDSHAKE, ['reply $5\r\nfresh\r\n']), false);
$s = new Kelvo\Sentinel('127.0.0.1', $fake->port);
echo 'myid: ', sentinel_outcome(fn() => $s->myid()), "\n";
echo 'myid again: ', sentinel_outcome(fn() => $s->myid()), "\n";
$received = $fake->received();
printf("sent: HELLO %d, MYID %d\n", substr_count($received, '|HELLO|'), substr_count($received, '|MYID|'));

// FAILOVER never goes out behind a handshake: refused, nothing of it reaches the sentinel.
$fake = new FakeServer(array_merge($refused, KELVO_FAKE_HANDSHAKE, ['reply +OK\r\n']), false);
$s = new Kelvo\Sentinel('127.0.0.1', $fake->port);
echo 'failover: ', sentinel_outcome(fn() => $s->failover('g')), "\n";
$received = $fake->received();
printf("sent: HELLO %d, FAILOVER %d\n", substr_count($received, '|HELLO|'), substr_count($received, '|FAILOVER|'));
echo 'failover again: ', sentinel_outcome(fn() => $s->failover('g')), "\n";
$received = $fake->received();
printf("sent: HELLO %d, FAILOVER %d\n", substr_count($received, '|HELLO|'), substr_count($received, '|FAILOVER|'));

// On a real sentinel the first query of a new object answers as every later one.
$port = (int) kelvo_test_env('KELVO_TEST_SENTINEL_PORT');
$primary = ['127.0.0.1', kelvo_test_env('KELVO_TEST_SENTINEL_PRIMARY_PORT')];
$s = new Kelvo\Sentinel('127.0.0.1', $port);
echo 'first query: ', json_encode($s->getMasterAddrByName('kelvo-master') == $primary), ', later: ',
    json_encode($s->getMasterAddrByName('kelvo-master') == $primary), "\n";
--EXPECT--
myid: Kelvo\Exception(8) Invalid username-password pair or user is disabled
myid again: "fresh"
sent: HELLO 2, MYID 2
failover: Kelvo\Exception(8) Invalid username-password pair or user is disabled
sent: HELLO 1, FAILOVER 0
failover again: true
sent: HELLO 2, FAILOVER 1
first query: true, later: true
