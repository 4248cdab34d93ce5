--TEST--
Subscribe loop against its link: a lost link ends it or, with OPT_RESTORE_PUBSUB, is replaced with every subscription; invalidation and malformed pushes never reach a callback; confirmations are read exactly, in the loop and when a subscribed object is released
--EXTENSIONS--
kelvo
--INI--
; the scripted server answers the handshake and commands only, not the cache's upkeep
kelvo.maxmemory=0
--FILE--
<?php
require __DIR__ . '/pubsub.inc';

[$host, $port] = kelvo_server();
$admin = new Kelvo\Kelvo($host, $port);

// A connection killed under the loop.
foreach ([false, true] as $restore) {
    $admin->del('ps3:ack', 'ps3:killed');
    $r = new Kelvo\Kelvo($host, $port);
    $r->setOption(Kelvo\Kelvo::OPT_RESTORE_PUBSUB, $restore);
    $log = [];
    $callback = function ($client, $channel, $message) use (&$log, $admin) {
        $log[] = "$channel $message";
        if ($message === 'kill') {
            $admin->rawCommand('CLIENT', 'KILL', 'ID', (string) $client->rawCommand('CLIENT', 'ID'));
            $admin->set('ps3:killed', 1);
        } elseif ($message === 'stop' && $client->unsubscribe()) {
            $admin->set('ps3:ack', 1);
        }
    };
    $publisher = kelvo_publisher([['PUBLISH', 'ps3:a', 'kill', 'sub', 2],
                                  ['PUBLISH', 'ps3:b', 'stop', 'until', 'ps3:ack', 'ps3:killed']]);
    $outcome = kelvo_outcome(fn() => $r->subscribe(['ps3:a', 'ps3:b'], $callback));
    $admin->set('ps3:ack', 1);
    kelvo_wait($publisher);
    printf("restore %s: %s, next %s, mode %d\n  %s\n", json_encode($restore), $outcome, json_encode($r->echo('ok')),
           $r->getMode(true), implode(', ', array_unique($log)));
}

// Pushes a server may send in subscribe mode, from a scripted server.
$push = fn(...$parts) => '>' . count($parts) . '\r\n' . implode('', array_map(
    fn($p) => is_int($p) ? ":$p\\r\\n" : '$' . strlen($p) . "\\r\\n$p\\r\\n", $parts));
$fake = new FakeServer([
    'expect *4\r\n$9\r\nSUBSCRIBE\r\n$1\r\na\r\n$1\r\nb\r\n$1\r\nc\r\n',
    'reply ' . $push('subscribe', 'a', 1) . $push('subscribe', 'b', 2) . $push('subscribe', 'c', 3)
        . '>2\r\n$10\r\ninvalidate\r\n*1\r\n$1\r\na\r\n'      // an invalidation: the cache's, not a message
        . '>3\r\n$7\r\nmessage\r\n$1\r\na\r\n:5\r\n'          // a payload that is not a string
        . $push('pmessage', 'a', 'b')                            // a pmessage without its payload
        . $push('message', 'b', 'stop'),
    'expect *4\r\n$11\r\nUNSUBSCRIBE\r\n$1\r\na\r\n$1\r\nb\r\n$1\r\nc\r\n',
    'reply ' . $push('unsubscribe', 'a', 2) . $push('unsubscribe', 'b', 1) . $push('unsubscribe', 'c', 0),
    'expect *2\r\n$4\r\nECHO\r\n$5\r\nafter\r\n',
    'reply $5\r\nafter\r\n',
]);
$f = kelvo_fake_client($fake);
$log = [];
echo 'scripted: ', json_encode($f->subscribe(['a', 'b', 'c'], function ($client, $channel, $message) use (&$log) {
    $log[] = "$channel $message";
    $log[] = 'unsubscribe: ' . json_encode($client->unsubscribe());
})), ' ', implode(', ', $log), ', then ', kelvo_outcome(fn() => $f->echo('after')), "\n";

// A subscribed object released (the script ends in a callback): every name left, each confirmation read.
$fake = new FakeServer([
    'reply ' . $push('subscribe', 'x', 1) . $push('message', 'x', 'go'),
    'reply ' . $push('psubscribe', 'y*', 2),
    'reply +PONG\r\n',
    'expect *2\r\n$11\r\nUNSUBSCRIBE\r\n$1\r\nx\r\n',
    'reply ' . $push('unsubscribe', 'x', 1),
    'expect *2\r\n$12\r\nPUNSUBSCRIBE\r\n$2\r\ny*\r\n',
    'reply ' . $push('punsubscribe', 'y*', 0),
]);
$child = pcntl_fork();
if ($child === 0) {
    $f = kelvo_fake_client($fake);
    $f->subscribe(['x'], function ($client) {
        $client->psubscribe(['y*'], fn() => null);
        $client->ping();
        exit(0);
    });
    exit(0);
}
pcntl_waitpid($child, $status);
$sent = $fake->received();
echo 'release: ', substr_count($sent, 'UNSUBSCRIBE'), ' unsubscribe requests, script ',
    str_contains($sent, 'FAKESERVER') ? 'broken' : 'followed', "\n";
?>
--EXPECTF--
restore false: Kelvo\Exception(%d) %s, next "ok", mode 0
  ps3:a kill
restore true: true, next "ok", mode 0
  ps3:a kill, ps3:b stop
scripted: true b stop, unsubscribe: true, then "after"
release: 2 unsubscribe requests, script followed
