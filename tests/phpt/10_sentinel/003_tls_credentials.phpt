--TEST--
Sentinel: TLS with a password and ACL users; authentication and permission errors are thrown whatever OPT_THROW_ON_ERR says; a sentinel watching another group stays out of the vote
--EXTENSIONS--
kelvo
--FILE--
<?php
require __DIR__ . '/sentinel.inc';
use Kelvo\Sentinel;
$port = (int) kelvo_test_env('KELVO_TEST_SENTINEL_TLS_PORT');
$pass = kelvo_test_env('KELVO_TEST_SENTINEL_TLS_PASS');
$limited = ['limited', kelvo_test_env('KELVO_TEST_SENTINEL_LIMITED_PASS')];
$ca = kelvo_test_env('KELVO_TEST_TLS_CA');

echo "credentials given each way:\n";
$ways = [
    'password' => fn() => tls_sentinel($pass),
    'user and password' => fn() => tls_sentinel(['default', $pass]),
    'named user and password' => fn() => tls_sentinel(['user' => 'default', 'pass' => $pass]),
    'context auth' => fn() => new Sentinel('tls://127.0.0.1', $port, 2.0, null, 0, 2.0, null, ['auth' => $pass, 'stream' => ['cafile' => $ca]]),
];
foreach ($ways as $way => $make) {
    echo "  $way: ", sentinel_outcome(fn() => strlen($make()->myid())), "\n";
}

echo "what the sentinel watches:\n";
$s = tls_sentinel($pass);
echo '  ', json_encode(array_column($s->masters(), 'name')), ', other sentinels of kelvo-other: ', json_encode($s->sentinels('kelvo-other')), "\n";
echo '  kelvo-master: ', sentinel_outcome(fn() => $s->getMasterAddrByName('kelvo-master')), "\n";
$first = new Sentinel('127.0.0.1', (int) kelvo_test_env('KELVO_TEST_SENTINEL_PORT'));
echo '  sentinels of kelvo-master: ', count($first->sentinels('kelvo-master')), ', the TLS sentinel among them: ',
     json_encode(in_array((string) $port, array_column($first->sentinels('kelvo-master'), 'port'))), "\n";

echo "always thrown, with OPT_THROW_ON_ERR off:\n";
$cases = [
    'no password' => fn() => tls_sentinel(null)->myid(),
    'a wrong password' => fn() => tls_sentinel('wrong')->myid(),
    'an unknown user' => fn() => tls_sentinel(['nobody', $pass])->myid(),
    'a user without the right to SENTINEL' => fn() => tls_sentinel($limited)->masters(),
    'the same, getLastError afterwards' => function () use ($limited) {
        $l = tls_sentinel($limited);
        try {
            $l->master('kelvo-other');
        } catch (Kelvo\Exception $e) {
        }
        return [$l->ping(), $l->getLastError()];
    },
];
foreach ($cases as $case => $call) {
    echo "  $case: ", sentinel_outcome($call), "\n";
}

echo "TLS settings:\n";
echo '  without the CA: ', sentinel_outcome(fn() => new Sentinel('tls://127.0.0.1', $port, 2.0, null, 0, 2.0, $pass)), "\n";
echo '  without the CA, verification off: ', sentinel_outcome(fn() => tls_sentinel($pass, ['verify_peer' => false, 'verify_peer_name' => false])->ping()), "\n";
echo '  a peer name the certificate does not carry: ', sentinel_outcome(fn() => tls_sentinel($pass, ['cafile' => $ca, 'peer_name' => 'elsewhere.invalid'])), "\n";
// Reset or closed, as the server's TLS layer gives up on the bytes.
echo '  plain TCP to the TLS port: ', explode('(', sentinel_outcome(fn() => (new Sentinel('127.0.0.1', $port, 1.0, null, 0, 1.0, $pass))->ping()))[0], "\n";
--EXPECT--
credentials given each way:
  password: 40
  user and password: 40
  named user and password: 40
  context auth: 40
what the sentinel watches:
  ["kelvo-other"], other sentinels of kelvo-other: []
  kelvo-master: null
  sentinels of kelvo-master: 2, the TLS sentinel among them: false
always thrown, with OPT_THROW_ON_ERR off:
  no password: Kelvo\Exception(8) Invalid username-password pair or user is disabled
  a wrong password: Kelvo\Exception(8) Invalid username-password pair or user is disabled
  an unknown user: Kelvo\Exception(8) Invalid username-password pair or user is disabled
  a user without the right to SENTINEL: Kelvo\Exception(14) NOPERM this user has no permissions to run the 'sentinel|masters' command
  the same, getLastError afterwards: [true,null]
TLS settings:
  without the CA: Kelvo\Exception(1) SSL_connect failed: error:0A000086:SSL routines::certificate verify failed
  without the CA, verification off: true
  a peer name the certificate does not carry: Kelvo\Exception(2) Peer certificate does not match 'elsewhere.invalid'
  plain TCP to the TLS port: Kelvo\Exception
