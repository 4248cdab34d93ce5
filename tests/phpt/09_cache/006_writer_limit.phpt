--TEST--
Cached database sets: two writers fill a set, so with one set per endpoint a third link stores nothing until a writer leaves
--EXTENSIONS--
kelvo
--INI--
kelvo.max_db_writers=2
kelvo.max_endpoint_dbs=1
--FILE--
<?php
require __DIR__ . '/../inc/servers.inc';
use Kelvo\Kelvo;

$port = (int) kelvo_test_env('KELVO_TEST_PORT');

function writes(Kelvo $c): bool
{
    $c->ping();
    usleep(20000);
    return $c->idleTime() >= 20;
}

$links = [new Kelvo('127.0.0.1', $port), new Kelvo('127.0.0.1', $port), new Kelvo('127.0.0.1', $port)];
var_dump(array_map('writes', $links));
var_dump($links[2]->rawCommand('CLIENT', 'TRACKINGINFO')[1][0]);
$links[0]->close(); // a released link would keep its place in the pool
var_dump(writes($links[2]));
?>
--EXPECT--
array(3) {
  [0]=>
  bool(true)
  [1]=>
  bool(true)
  [2]=>
  bool(false)
}
string(3) "off"
bool(true)
