--TEST--
Delivery: a client beyond a cached set's writers, whose link never tracks, answers its hits from the shared cache and checks its link at the poll pace, not with a system call per hit
--EXTENSIONS--
kelvo
--FILE--
<?php
require __DIR__ . '/../inc/servers.inc';

/* The hits run in a traced child; its peeks at the sockets between two markers are counted. */
$code = <<<'PHP'
$host = getenv('KELVO_TEST_HOST');
$port = (int) getenv('KELVO_TEST_PORT');
$writer = new Kelvo\Kelvo($host, $port); // the set's only writer
$writer->set('untracked:k', 'v');
$writer->get('untracked:k');
$reader = new Kelvo\Kelvo($host, $port);
$reader->get('untracked:k');
$sent = $reader->getBytes()[0];
usleep(1);
for ($i = 0; $i < 1000; $i++) {
    $value = $reader->get('untracked:k');
}
usleep(1);
echo $value, ' ', $reader->getBytes()[0] === $sent ? 'from the shared cache' : 'from the server', "\n";
PHP;
$trace = tempnam(sys_get_temp_dir(), 'kelvo-strace-');
$cmd = ['strace', '-f', '-qq', '-e', 'trace=recvfrom,clock_nanosleep,nanosleep', '-o', $trace, PHP_BINARY, '-n',
        '-d', 'extension=' . kelvo_test_env('KELVO_MODULE'), '-d', 'kelvo.max_db_writers=1',
        '-d', 'kelvo.invalidation_poll_freq=60000000', '-r', $code];
$child = proc_open($cmd, [1 => ['pipe', 'w'], 2 => ['pipe', 'w']], $pipes);
echo stream_get_contents($pipes[1]);
$err = stream_get_contents($pipes[2]);
echo 'exit ', proc_close($child), $err === '' ? '' : ": $err", "\n";

$lines = file($trace);
unlink($trace);
$marks = array_keys(preg_grep('/nanosleep\(/', $lines));
$peeks = count(preg_grep('/recvfrom\(/', array_slice($lines, $marks[0], end($marks) - $marks[0])));
echo "peeks during 1000 hits: ", $peeks <= 2 ? 'at most the paced one' : $peeks, "\n";
?>
--EXPECT--
v from the shared cache
exit 0
peeks during 1000 hits: at most the paced one
