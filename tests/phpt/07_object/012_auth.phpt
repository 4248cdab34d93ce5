--TEST--
Credentials: from the context or auth(); auth() on a connected object logs the link in anew or reports why not
--FILE--
<?php
use Kelvo\Kelvo;
require __DIR__ . '/../inc/servers.inc';
require __DIR__ . '/server_clients.inc';
$acl = (int) kelvo_test_env('KELVO_TEST_ACL_PORT');
$defaultPass = kelvo_test_env('KELVO_TEST_ACL_DEFAULT_PASS');
set_error_handler(function (int $level, string $message) { echo "warning: $message\n"; return true; });
$fail = function (callable $call) {
    try {
        var_dump($call());
    } catch (\Kelvo\Exception $e) {
        printf("%s (code %d)\n", trim(strtok($e->getMessage(), '(')), $e->getCode());
    }
};
// The ACL user the server sees on our one link.
$serverUser = function () use ($acl, $defaultPass) {
    return implode(',', array_column(server_clients($acl, $defaultPass), 'user'));
};

echo "context credentials:\n";
$k = new Kelvo('127.0.0.1', $acl, 0.0, 0.0, ['auth' => ['kelvo', 'secret']]);
var_dump($k->serverName(), $k->getAuth(), $serverUser());
$k->close();
$k = new Kelvo('127.0.0.1', $acl, 0.0, 0.0, ['auth' => $defaultPass]);
var_dump($k->serverName(), $k->getAuth(), $serverUser());
$fail(fn() => (new Kelvo('127.0.0.1', $acl, 0.0, 0.0, ['auth' => ['kelvo', 'wrong']]))->serverName());
$fail(fn() => (new Kelvo('127.0.0.1', $acl))->serverName());

echo "auth() on a connected object:\n";
$fail(fn() => $k->auth(['kelvo', 'wrong']));
var_dump($k->getAuth(), $serverUser());
$fail(fn() => $k->auth(['disabled', 'secret']));
var_dump($serverUser());
var_dump($k->auth(['user' => 'kelvo', 'pass' => 'secret']), $k->getAuth());
$k->serverName();
var_dump($serverUser());
echo "the next link logs in with the new credentials:\n";
$k->close();
$k->connect('127.0.0.1', $acl, 0.0, null, 0, 0.0, ['auth' => ['kelvo', 'secret']]);
var_dump($k->serverName(), $serverUser());
var_dump($k->auth($defaultPass), $k->serverName(), $serverUser());

echo "a link that is not pooled stays open, logged in as the new user:\n";
$k->close();
$np = new Kelvo('127.0.0.1', $acl, 0.0, 0.0, ['auth' => $defaultPass, 'persistent' => false, 'use-cache' => false]);
$np->serverName();
$socket = $np->socketId();
var_dump($np->auth(['kelvo', 'secret']), $np->socketId() === $socket, $serverUser(), $np->endpointId());
$np->close();
$k->connect('127.0.0.1', $acl, 0.0, null, 0, 0.0, ['auth' => $defaultPass]);

echo "credentials that cannot be parsed:\n";
$fail(fn() => $k->auth(['a', 'b', 'c']));
$fail(fn() => $k->auth(['kelvo', null]));
$fail(fn() => $k->auth([]));
var_dump($k->getAuth());
$fail(fn() => (new Kelvo())->auth('x'));
$k->close();
var_dump($serverUser());
?>
--EXPECTF--
context credentials:
string(5) "redis"
array(2) {
  [0]=>
  string(5) "kelvo"
  [1]=>
  string(6) "secret"
}
string(5) "kelvo"
string(5) "redis"
string(11) "defaultpass"
string(7) "default"
Invalid username-password pair or user is disabled (code 8)
Invalid username-password pair or user is disabled (code 8)
auth() on a connected object:
Invalid username-password pair or user is disabled (code 8)
string(11) "defaultpass"
string(7) "default"
Invalid username-password pair or user is disabled (code 8)
string(7) "default"
bool(true)
array(2) {
  [0]=>
  string(5) "kelvo"
  [1]=>
  string(6) "secret"
}
string(5) "kelvo"
the next link logs in with the new credentials:
string(5) "redis"
string(5) "kelvo"
bool(true)
string(5) "redis"
string(7) "default"
a link that is not pooled stays open, logged in as the new user:
bool(true)
bool(true)
string(5) "kelvo"
string(%d) "tcp://kelvo@127.0.0.1:%d?cache=0&tracking=0"
credentials that cannot be parsed:
warning: Kelvo\Kelvo::auth(): An auth array must have one or two elements
Can't parse AUTH information (code 11)
Can't parse AUTH information (code 11)
warning: Kelvo\Kelvo::auth(): An auth array must have one or two elements
Can't parse AUTH information (code 11)
string(11) "defaultpass"
Not connected (code 1)
string(0) ""
