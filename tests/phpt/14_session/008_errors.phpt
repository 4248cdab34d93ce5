--TEST--
Session errors: a server down at open or at close, error replies recorded and reported whatever the save path's throw-on-error, and session reads never answered from the shared cache
--EXTENSIONS--
kelvo
session
--INI--
kelvo.default_pconnect=0
--FILE--
<?php
require __DIR__ . '/session.inc';
require __DIR__ . '/../inc/own_server.inc';
$server = new OwnServer();
$path = kelvo_session_url($server->port);
$peer = kelvo_session_peer($server->port);

echo "server down at open:\n";
$server->stop();
kelvo_session_settings($path);
var_dump(kelvo_session_open('err1'));
var_dump(kelvo_session_open(null));

echo "server down at close:\n";
$server->start();
kelvo_session_settings($path, ['kelvo.session.locking_enabled' => 1, 'kelvo.session.lock_expire' => 30]);
var_dump(kelvo_session_open('err1'));
$_SESSION['a'] = 1;
$server->stop();
var_dump(kelvo_session_try(fn() => session_write_close()));
$server->start();
$peer = kelvo_session_peer($server->port);

echo "an error reply, with throw-on-error asked for in the save path:\n";
$peer->rpush('err2', 'not a session');
kelvo_session_settings($path . '?throw-on-error=1');
var_dump(kelvo_session_open('err2'));
$peer->del('err2');

echo "a session read goes to the server, whatever the shared cache holds:\n";
$app = new Kelvo\Kelvo(kelvo_test_env('KELVO_TEST_HOST'), $server->port);
$peer->set('err3', 'n|i:1;');
var_dump($app->get('err3'));
$peer->set('err3', 'n|i:2;');
kelvo_session_settings($path);
kelvo_session_open('err3');
var_dump($_SESSION);
session_write_close();
?>
--EXPECTF--
server down at open:

Warning: session_start(): Failed to attach - shard: 0, uri: 'tcp://default@127.0.0.1:%d?cache=0&tracking=0' in %s on line %d

Warning: session_start(): Failed to read session data: kelvo (path: tcp://127.0.0.1:%d) in %s on line %d
bool(false)

Warning: session_start(): Failed to attach - shard: 0, uri: 'tcp://default@127.0.0.1:%d?cache=0&tracking=0' in %s on line %d
string(%d) "Error: Failed to create session ID: kelvo (path: tcp://127.0.0.1:%d)"
server down at close:
bool(true)

Warning: session_write_close(): Failed to attach - shard: 0, uri: 'tcp://default@127.0.0.1:%d?cache=0&tracking=0' in %s on line %d

Warning: session_write_close(): Failed to attach - shard: 0, uri: 'tcp://default@127.0.0.1:%d?cache=0&tracking=0' in %s on line %d
string(%d) "Kelvo\Exception: Failed to release lock (after: Lock is corrupted)"
an error reply, with throw-on-error asked for in the save path:

Warning: session_start(): Session read failed: WRONGTYPE Operation against a key holding the wrong kind of value in %s on line %d

Warning: session_start(): Failed to read session data: kelvo (path: tcp://127.0.0.1:%d?throw-on-error=1) in %s on line %d
bool(false)
a session read goes to the server, whatever the shared cache holds:
string(%d) "n|i:1;"
array(1) {
  ["n"]=>
  int(2)
}