--TEST--
Subscribe callbacks that run commands, subscribe again, unsubscribe, throw or close the client; refusals by the server (an ACL user without channel rights) reach the caller; misuse
--EXTENSIONS--
kelvo
--FILE--
<?php
require __DIR__ . '/pubsub.inc';

[$host, $port] = kelvo_server();
$admin = new Kelvo\Kelvo($host, $port);
$admin->del('ps2:ack');

// One callback that exercises its own client while messages keep arriving.
$r = new Kelvo\Kelvo($host, $port);
$log = [];
$second = function ($client, $channel, $message) use (&$log) {
    $log[] = "second callback: $channel $message";
    if ($message === 'end') {
        $log[] = 'unsubscribe all: ' . json_encode($client->unsubscribe());
    }
};
$first = function ($client, $channel, $message) use (&$log, $second, $admin) {
    $log[] = "first callback: $channel $message";
    switch ($message) {
    case 'commands':
        // Replies and pushes share the link: the commands get their own replies.
        $log[] = 'set/get: ' . json_encode([$client->set('ps2:k', 'v'), $client->get('ps2:k'), $client->ping()]);
        break;
    case 'replace':
        $log[] = 'subscribe again: ' . json_encode($client->subscribe(['ps2:a', 'ps2:b'], $second));
        break;
    case 'throw':
        throw new RuntimeException('from the callback');
    }
};
$publisher = kelvo_publisher([
    ['PUBLISH', 'ps2:a', 'commands', 'sub', 1],
    ['PUBLISH', 'ps2:a', 'throw'],
    ['PUBLISH', 'ps2:a', 'after the throw'],
    ['PUBLISH', 'ps2:a', 'replace'],
    ['PUBLISH', 'ps2:a', 'to the second', 'sub', 2],
    ['PUBLISH', 'ps2:b', 'end'],
]);
echo 'subscribe: ', json_encode($r->subscribe(['ps2:a'], $first)), "\n";
kelvo_wait($publisher);
echo implode("\n", $log), "\n";
echo 'after: mode ', $r->getMode(true), ', unsubscribe ', json_encode($r->unsubscribe(['ps2:a'])), "\n";

// A callback that leaves only one of two channels, then closes its client.
$log = [];
$admin->del('ps2:left');
$r = new Kelvo\Kelvo($host, $port);
$publisher = kelvo_publisher([
    ['PUBLISH', 'ps2:x', 'leave x', 'sub', 2],
    ['PUBLISH', 'ps2:x', 'lost', 'after', 'ps2:left'],
    ['PUBLISH', 'ps2:y', 'close'],
]);
echo 'subscribe: ', json_encode($r->subscribe(['ps2:x', 'ps2:y'], function ($client, $channel, $message) use (&$log, $admin) {
    $log[] = "$channel $message";
    if ($message === 'leave x') {
        $log[] = 'unsubscribe x: ' . json_encode($client->unsubscribe(['ps2:x']));
        $admin->set('ps2:left', 1);
    } elseif ($message === 'close') {
        $log[] = 'close: ' . json_encode($client->close());
    }
})), "\n";
kelvo_wait($publisher);
echo implode("\n", $log), "\n";
echo 'after close: ', kelvo_outcome(fn() => $r->echo('again')), "\n";

// Refused by the server: the caller sees the error, never true.
$acl = (int) kelvo_test_env('KELVO_TEST_ACL_PORT');
foreach (['nochannel', 'onechannel'] as $user) {
    $u = new Kelvo\Kelvo($host, $acl, 0.0, 0.0, ['auth' => [$user, 'secret']]);
    echo "$user: ", kelvo_outcome(fn() => $u->subscribe(['ps:secret'], fn() => null)), ', mode ', $u->getMode(true),
        ', next ', json_encode($u->echo('ok')), "\n";
}
$u = new Kelvo\Kelvo($host, $acl, 0.0, 0.0, ['auth' => ['onechannel', 'secret']]);
$pid = getmypid();
$publisher = pcntl_fork();
if ($publisher === 0) {
    $p = new Kelvo\Kelvo($host, $acl, 0.0, 0.0, ['auth' => [kelvo_test_env('KELVO_TEST_ACL_DEFAULT_PASS')]]);
    for ($until = microtime(true) + 60; !$p->exists('ps:allowed:done') && microtime(true) < $until;) {
        $p->publish('ps:allowed:a', 'go');
        usleep(10000);
    }
    exit(0);
}
$u->del('ps:allowed:done');
$inside = null;
$subscribed = $u->subscribe(['ps:allowed:a'], function ($client) use (&$inside) {
    $inside ??= kelvo_outcome(fn() => $client->subscribe(['ps:secret'], fn() => null));
    $client->set('ps:allowed:done', 1);
    $client->unsubscribe();
});
echo 'refused inside a callback: ', $inside, ', subscribe ', json_encode($subscribed), "\n";
kelvo_wait($publisher);

// Misuse.
$r = new Kelvo\Kelvo($host, $port);
echo 'unsubscribe outside: ', json_encode($r->unsubscribe()), "\n";
echo 'empty list: ', json_encode($r->subscribe([], fn() => null)), "\n";
echo 'in a pipeline: ', kelvo_outcome(fn() => $r->pipeline()->subscribe(['c'], fn() => null)), "\n";
$r->discard();
echo 'in MULTI: ', kelvo_outcome(fn() => $r->multi()->psubscribe(['c*'], fn() => null)), "\n";
?>
--EXPECTF--
subscribe: 
Warning: Uncaught RuntimeException: from the callback in %s:%d
Stack trace:
#0 [internal function]: {closure}(Object(Kelvo\Kelvo), 'ps2:a', 'throw')
#1 %s(%d): Kelvo\Kelvo->subscribe(Array, Object(Closure))
#2 {main}
  thrown in %s on line %d
true
first callback: ps2:a commands
set/get: [true,"v",true]
first callback: ps2:a throw
first callback: ps2:a after the throw
first callback: ps2:a replace
subscribe again: true
second callback: ps2:a to the second
second callback: ps2:b end
unsubscribe all: true
after: mode 0, unsubscribe 
Warning: Kelvo\Kelvo::unsubscribe(): Not subscribed in %s on line %d
false
subscribe: true
ps2:x leave x
unsubscribe x: true
ps2:y close
close: true
after close: Kelvo\Exception(1) Not connected
nochannel: Kelvo\Exception(14) NOPERM %s, mode 0, next "ok"
onechannel: Kelvo\Exception(14) NOPERM %s, mode 0, next "ok"
refused inside a callback: Kelvo\Exception(14) NOPERM %s, subscribe true
unsubscribe outside: 
Warning: Kelvo\Kelvo::unsubscribe(): Not subscribed in %s on line %d
false
empty list: 
Warning: Kelvo\Kelvo::subscribe(): Must pass at least one channel name in %s on line %d
false
in a pipeline: Kelvo\Exception(2) Cannot SUBSCRIBE inside MULTI/PIPELINE
in MULTI: Kelvo\Exception(2) Cannot SUBSCRIBE inside MULTI/PIPELINE
