--TEST--
The harness's servers answer on loopback
--FILE--
<?php
require __DIR__ . '/../inc/servers.inc';
$host = kelvo_test_env('KELVO_TEST_HOST');
$fp = stream_socket_client("tcp://$host:" . kelvo_test_env('KELVO_TEST_PORT'), $errno, $errstr, 2);
fwrite($fp, "PING\r\n");
echo fgets($fp);
$fp = stream_socket_client('unix://' . kelvo_test_env('KELVO_TEST_UNIX'), $errno, $errstr, 2);
fwrite($fp, "PING\r\n");
echo fgets($fp);
?>
--EXPECT--
+PONG
+PONG
