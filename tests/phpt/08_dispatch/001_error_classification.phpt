--TEST--
Error replies: which are always thrown, which are recorded in phpredis mode without throw-on-error
--EXTENSIONS--
kelvo
--INI--
; the scripted server answers the handshake and commands only, not the cache's upkeep
kelvo.maxmemory=0
--FILE--
<?php
require __DIR__ . '/fake.inc';

$errors = [
    'NOAUTH' => '-NOAUTH Authentication required.',
    'WRONGPASS' => '-WRONGPASS invalid username-password pair',
    'NOPROTO' => '-NOPROTO unsupported protocol version',
    'NOPERM' => '-NOPERM this user has no permissions to run the \'get\' command',
    'MISCONF' => '-MISCONF Redis is configured to save RDB snapshots',
    'HELLO' => '-ERR unknown command \'HELLO\', with args beginning with: ',
    'plain' => '-ERR something went wrong',
];
$modes = ['record' => [], 'throw' => [Kelvo\Kelvo::OPT_THROW_ON_ERROR => true]];
foreach ($modes as $mode => $options) {
    $steps = [];
    foreach ($errors as $text) {
        $steps[] = 'reply ' . $text . '\r\n';
    }
    $fake = new FakeServer($steps);
    $r = kelvo_fake_client($fake, $options);
    foreach ($errors as $name => $text) {
        $outcome = kelvo_outcome(fn() => $r->get('k'));
        printf("%-6s %-9s %s | last error: %s\n", $mode, $name, $outcome, json_encode($r->getLastError()));
        $r->clearLastError();
    }
}
?>
--EXPECT--
record NOAUTH    Kelvo\Exception(7) Authentication required | last error: null
record WRONGPASS Kelvo\Exception(8) Invalid username-password pair or user is disabled | last error: null
record NOPROTO   Kelvo\Exception(4) Protocol version unsupported | last error: null
record NOPERM    Kelvo\Exception(14) NOPERM this user has no permissions to run the 'get' command | last error: null
record MISCONF   Kelvo\Exception(14) MISCONF Redis is configured to save RDB snapshots | last error: null
record HELLO     Kelvo\Exception(9) Invalid HELLO reply, Redis Server version may be too old | last error: null
record plain     false | last error: "ERR something went wrong"
throw  NOAUTH    Kelvo\Exception(7) Authentication required | last error: null
throw  WRONGPASS Kelvo\Exception(8) Invalid username-password pair or user is disabled | last error: null
throw  NOPROTO   Kelvo\Exception(4) Protocol version unsupported | last error: null
throw  NOPERM    Kelvo\Exception(14) NOPERM this user has no permissions to run the 'get' command | last error: null
throw  MISCONF   Kelvo\Exception(14) MISCONF Redis is configured to save RDB snapshots | last error: null
throw  HELLO     Kelvo\Exception(9) Invalid HELLO reply, Redis Server version may be too old | last error: null
throw  plain     Kelvo\Exception(14) ERR something went wrong | last error: null
