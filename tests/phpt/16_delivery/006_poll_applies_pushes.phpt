--TEST--
A cached read on a link with an invalidation waiting on its socket first applies it, over plain TCP and over TLS (the poll before a command), and a link with nothing waiting keeps answering from the cache
--EXTENSIONS--
kelvo
--FILE--
<?php
require __DIR__ . '/../inc/servers.inc';
require __DIR__ . '/sockets.inc';
$links = [
    'plain' => ['127.0.0.1', (int) kelvo_test_env('KELVO_TEST_PORT'), []],
    'tls' => ['tls://127.0.0.1', (int) kelvo_test_env('KELVO_TEST_TLS_PORT'),
              ['stream' => ['cafile' => kelvo_test_env('KELVO_TEST_TLS_CA')]]],
];
foreach ($links as $name => [$host, $port, $context]) {
    $reader = new Kelvo\Kelvo($host, $port, 0.0, 0.0, $context);
    $writer = new Kelvo\Kelvo($host, $port, 0.0, 0.0, $context + ['use-cache' => false]);
    $key = "poll:$name:" . getmypid();
    $writer->set($key, 'old');
    $reader->get($key);
    $port = link_port($reader);
    $before = $reader->getBytes()[0];
    $cached = $reader->get($key);
    printf("%s: cached %s, %d bytes sent\n", $name, $cached, $reader->getBytes()[0] - $before);
    for ($round = 1; $round <= 3; $round++) {
        $writer->set($key, "new $round");
        if (!await_unread([$port])) { // the push is on the reader's socket, unread
            echo "  no push arrived\n";
        }
        echo "  after a write elsewhere: ", $reader->get($key), "\n";
        $before = $reader->getBytes()[0];
        $again = $reader->get($key);
        printf("  read again: %s, %d bytes sent\n", $again, $reader->getBytes()[0] - $before);
    }
    $writer->del($key);
}
--EXPECT--
plain: cached old, 0 bytes sent
  after a write elsewhere: new 1
  read again: new 1, 0 bytes sent
  after a write elsewhere: new 2
  read again: new 2, 0 bytes sent
  after a write elsewhere: new 3
  read again: new 3, 0 bytes sent
tls: cached old, 0 bytes sent
  after a write elsewhere: new 1
  read again: new 1, 0 bytes sent
  after a write elsewhere: new 2
  read again: new 2, 0 bytes sent
  after a write elsewhere: new 3
  read again: new 3, 0 bytes sent
