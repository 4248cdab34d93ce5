--TEST--
Reconnects of a link that lost its database selection wait the configured back-off: none before the first, then the algorithm's delays
--EXTENSIONS--
kelvo
--INI--
kelvo.maxmemory=0
--FILE--
<?php
require __DIR__ . '/fake.inc';

// The server drops every SELECT: each sync reconnects up to max retries times, then fails.
// Back-off in milliseconds and the total of the waits before reconnects 1..3. The waits are at least these;
// what a busy machine adds on top has no bound, so the ceiling only catches waits of another order (seconds
// taken for milliseconds).
$cases = [
    'constant 100' => [Kelvo\Kelvo::BACKOFF_ALGORITHM_CONSTANT, 100, 1000, 300],
    'default 100' => [Kelvo\Kelvo::BACKOFF_ALGORITHM_DEFAULT, 100, 1000, 300],
    'exponential 50' => [Kelvo\Kelvo::BACKOFF_ALGORITHM_EXPONENTIAL, 50, 1000, 100 + 200 + 400],
    'exponential capped' => [Kelvo\Kelvo::BACKOFF_ALGORITHM_EXPONENTIAL, 100, 150, 150 + 150 + 150],
    'constant 0' => [Kelvo\Kelvo::BACKOFF_ALGORITHM_CONSTANT, 0, 1000, 0],
];
$dropSelect = array_merge(KELVO_FAKE_HANDSHAKE, ['close']);
foreach ($cases as $name => [$algorithm, $base, $cap, $wait]) {
    $fake = new FakeServer(array_merge($dropSelect, $dropSelect, $dropSelect, $dropSelect, KELVO_FAKE_HANDSHAKE), false);
    $r = new Kelvo\Kelvo('127.0.0.1', $fake->port, 0.0, 0.0, ['database' => 1]);
    $r->setOption(Kelvo\Kelvo::OPT_MAX_RETRIES, 3);
    $r->setOption(Kelvo\Kelvo::OPT_BACKOFF_ALGORITHM, $algorithm);
    $r->setOption(Kelvo\Kelvo::OPT_BACKOFF_BASE, $base);
    $r->setOption(Kelvo\Kelvo::OPT_BACKOFF_CAP, $cap);
    $start = hrtime(true);
    $outcome = kelvo_outcome(fn() => $r->get('k'));
    $ms = (hrtime(true) - $start) / 1e6;
    printf("%-18s %s, handshakes %d, waited %s\n", $name, $outcome, substr_count($fake->received(), 'HELLO'),
           $ms >= $wait && $ms < $wait * 10 + 5000 ? 'as configured' : sprintf('%.0f ms, not %d', $ms, $wait));
}
?>
--EXPECTF--
constant 100       Kelvo\Exception(3) Server closed the connection, handshakes 5, waited as configured
default 100        Kelvo\Exception(3) Server closed the connection, handshakes 5, waited as configured
exponential 50     Kelvo\Exception(3) Server closed the connection, handshakes 5, waited as configured
exponential capped Kelvo\Exception(3) Server closed the connection, handshakes 5, waited as configured
constant 0         Kelvo\Exception(3) Server closed the connection, handshakes 5, waited as configured
