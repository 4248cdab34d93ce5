--TEST--
Session cycles: data, lifetime and database from the save path, lazy writes refresh the lifetime or write again, destroy, strict ids, gc
--EXTENSIONS--
kelvo
session
--INI--
session.gc_maxlifetime=600
session.lazy_write=1
--FILE--
<?php
require __DIR__ . '/session.inc';
$port = (int) kelvo_test_env('KELVO_TEST_PORT');
$peer = kelvo_session_peer($port, 7);
$peer->del('cycle-one', 'p:cycle-one');
kelvo_session_settings(kelvo_session_url($port, 'database=7'));

echo "a missing session reads as empty:\n";
var_dump(kelvo_session_open('cycle-one'), $_SESSION);
$_SESSION['n'] = 1;
session_write_close();
var_dump($peer->get('cycle-one'), $peer->ttl('cycle-one'));

echo "read back:\n";
var_dump(kelvo_session_open('cycle-one'), $_SESSION);
$_SESSION['n']++;
session_write_close();
var_dump($peer->get('cycle-one'));

echo "unchanged data refreshes the lifetime:\n";
$peer->expire('cycle-one', 5);
kelvo_session_open('cycle-one');
session_write_close();
var_dump($peer->ttl('cycle-one'));

echo "unchanged data whose key went meanwhile is written again:\n";
kelvo_session_open('cycle-one');
$peer->del('cycle-one');
session_write_close();
var_dump($peer->get('cycle-one'), $peer->ttl('cycle-one'));

echo "destroy:\n";
kelvo_session_open('cycle-one');
var_dump(session_destroy(), $peer->exists('cycle-one'));

echo "the prefix option names the data key:\n";
kelvo_session_settings(kelvo_session_url($port, 'database=7&prefix=p:'));
kelvo_session_open('cycle-one');
$_SESSION['p'] = true;
session_write_close();
var_dump($peer->get('p:cycle-one'), $peer->exists('cycle-one'));

echo "strict mode: an unknown id is replaced by a new one, reserved on the server:\n";
kelvo_session_settings(kelvo_session_url($port, 'database=7'), ['session.use_strict_mode' => 1]);
kelvo_session_open('not-issued-here');
$id = session_id();
var_dump($id !== 'not-issued-here', strlen($id) >= 22, $peer->get($id), $peer->ttl($id) > 590);
$_SESSION['s'] = 1;
session_write_close();
echo "and a known id is kept:\n";
kelvo_session_open($id);
var_dump(session_id() === $id, $_SESSION);
echo "gc deletes nothing:\n";
var_dump(session_gc(), $peer->exists($id));
session_write_close();
$peer->del($id, 'p:cycle-one');
?>
--EXPECT--
a missing session reads as empty:
bool(true)
array(0) {
}
string(6) "n|i:1;"
int(600)
read back:
bool(true)
array(1) {
  ["n"]=>
  int(1)
}
string(6) "n|i:2;"
unchanged data refreshes the lifetime:
int(600)
unchanged data whose key went meanwhile is written again:
string(6) "n|i:2;"
int(600)
destroy:
bool(true)
int(0)
the prefix option names the data key:
string(6) "p|b:1;"
int(0)
strict mode: an unknown id is replaced by a new one, reserved on the server:
bool(true)
bool(true)
string(0) ""
bool(true)
and a known id is kept:
bool(true)
array(1) {
  ["s"]=>
  int(1)
}
gc deletes nothing:
int(0)
int(1)
