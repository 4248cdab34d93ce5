--TEST--
REDIRECT is followed with the client's credentials when asked for; no transparent reconnect while WATCH is in force
--EXTENSIONS--
kelvo
--INI--
; the scripted server answers the handshake and commands only, not the cache's upkeep
kelvo.maxmemory=0
--FILE--
<?php
require __DIR__ . '/fake.inc';

$host = kelvo_test_env('KELVO_TEST_HOST');
$aclPort = (int) kelvo_test_env('KELVO_TEST_ACL_PORT');
$pass = kelvo_test_env('KELVO_TEST_ACL_DEFAULT_PASS');
$target = new Kelvo\Kelvo($host, $aclPort, 0.0, 0.0, ['auth' => $pass]);
$target->set('redirect:k', 'from the target');

$redirect = fn(string $where) => 'reply -REDIRECT ' . $where . '\r\n';
$cases = [
    'followed' => [true, "$host:$aclPort"],
    'option off' => [false, "$host:$aclPort"],
    'port 65535' => [true, "$host:65535"],
    'port with garbage' => [true, "$host:{$aclPort}x"],
    'no host' => [true, ":$aclPort"],
];
foreach ($cases as $name => [$capa, $where]) {
    $steps = $capa ? ['reply +OK\r\n', $redirect($where)] : [$redirect($where)];
    $fake = new FakeServer($steps);
    $r = new Kelvo\Kelvo('127.0.0.1', $fake->port, 0.0, 0.0, ['auth' => $pass]);
    $r->setOption(Kelvo\Kelvo::OPT_CAPA_REDIRECT, $capa);
    $r->setOption(Kelvo\Kelvo::OPT_THROW_ON_ERROR, true);
    printf("%-17s %s\n", $name, kelvo_outcome(fn() => $r->get('redirect:k')));
}

// A target that redirects again: the first error is classified as usual.
$loop = new FakeServer(['reply +OK\r\n', 'reply -REDIRECT 127.0.0.1:1\r\n']);
$fake2 = new FakeServer(['reply +OK\r\n', $redirect("127.0.0.1:{$loop->port}")]);
$r = new Kelvo\Kelvo('127.0.0.1', $fake2->port);
$r->setOption(Kelvo\Kelvo::OPT_CAPA_REDIRECT, true);
$r->setOption(Kelvo\Kelvo::OPT_THROW_ON_ERROR, true);
echo 'redirected twice: ', kelvo_outcome(fn() => $r->get('k')), "\n";

// WATCH: a lost connection is reported, never replaced behind the caller's back.
$port = (int) kelvo_test_env('KELVO_TEST_PORT');
$admin = new Kelvo\Kelvo($host, $port);
$w = new Kelvo\Kelvo($host, $port);
$w->set('watch:k', 'v');
$w->watch('watch:k');
echo 'mode while watching: ', $w->getMode(), ' ', $w->getMode(true), "\n";
$admin->rawCommand('CLIENT', 'KILL', 'ID', (string) $w->rawCommand('CLIENT', 'ID'));
echo 'read while watching: ', kelvo_outcome(fn() => $w->get('watch:k')), "\n";
echo 'next read: ', kelvo_outcome(fn() => $w->get('watch:k')), "\n";
$w->watch('watch:k');
$admin->rawCommand('CLIENT', 'KILL', 'ID', (string) $w->rawCommand('CLIENT', 'ID'));
usleep(1100000);
echo 'idle closed link while watching: ', kelvo_outcome(fn() => $w->get('watch:k')), "\n";
$admin->rawCommand('CLIENT', 'KILL', 'ID', (string) $w->rawCommand('CLIENT', 'ID'));
echo 'read once the lost WATCH was reported: ', kelvo_outcome(fn() => $w->get('watch:k')), "\n";
$w->watch('watch:k');
$w->unwatch();
$admin->rawCommand('CLIENT', 'KILL', 'ID', (string) $w->rawCommand('CLIENT', 'ID'));
echo 'read after unwatch: ', kelvo_outcome(fn() => $w->get('watch:k')), "\n";
// A raw EXEC or RESET ends the WATCH on the server; an EXEC the server refuses does not.
foreach ([['MULTI', 'EXEC'], ['reset'], ['EXEC']] as $ends) {
    $w->watch('watch:k');
    foreach ($ends as $end) {
        kelvo_outcome(fn() => $w->rawCommand($end));
    }
    $admin->rawCommand('CLIENT', 'KILL', 'ID', (string) $w->rawCommand('CLIENT', 'ID'));
    printf("read after raw %s: %s\n", implode(' ', $ends), kelvo_outcome(fn() => $w->get('watch:k')));
}
?>
--EXPECTF--
followed          "from the target"
option off        Kelvo\Exception(14) REDIRECT 127.0.0.1:%d
port 65535        Kelvo\Exception(14) REDIRECT 127.0.0.1:%d
port with garbage Kelvo\Exception(14) REDIRECT 127.0.0.1:%dx
no host           Kelvo\Exception(14) REDIRECT :%d
redirected twice: Kelvo\Exception(14) REDIRECT 127.0.0.1:%d
mode while watching: 0 0
read while watching: Kelvo\Exception(3) Server closed the connection
next read: "v"
idle closed link while watching: Kelvo\Exception(3) Server closed the connection
read once the lost WATCH was reported: "v"
read after unwatch: "v"
read after raw MULTI EXEC: "v"
read after raw reset: "v"
read after raw EXEC: Kelvo\Exception(3) Server closed the connection
