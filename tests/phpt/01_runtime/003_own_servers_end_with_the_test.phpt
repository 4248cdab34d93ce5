--TEST--
A test's own servers (OwnServer, FakeServer) go away when the test process dies without running destructors: by a fatal error or killed
--FILE--
<?php
$inc = dirname(__DIR__);
$child = <<<PHP
require '$inc/inc/own_server.inc';
require '$inc/08_dispatch/fake.inc';
\$own = new OwnServer();
\$fake = new FakeServer([]);
echo \$own->port, ' ', \$fake->port, "\\n";
PHP;
$endings = [
    'fatal error' => ['no_such_function();', fn($proc) => null],
    'killed' => ['sleep(30);', fn($proc) => proc_terminate($proc, 9)],
];

function answers(int $port): bool
{
    $s = @stream_socket_client("tcp://127.0.0.1:$port", $errno, $errstr, 0.5);
    if ($s) {
        fclose($s);
    }
    return (bool) $s;
}

foreach ($endings as $name => [$ending, $end]) {
    $proc = proc_open([PHP_BINARY, '-n', '-r', $child . $ending], [1 => ['pipe', 'w'], 2 => ['file', '/dev/null', 'w']], $pipes);
    $ports = array_map('intval', explode(' ', trim(fgets($pipes[1]))));
    $before = array_map('answers', $ports);
    $end($proc);
    proc_close($proc);
    for ($t = 0; $t < 500 && array_filter(array_map('answers', $ports)); $t++) {
        usleep(10000);
    }
    echo "$name: while it ran ", json_encode($before), ', after ', json_encode(array_map('answers', $ports)), "\n";
}
?>
--EXPECT--
fatal error: while it ran [true,true], after [false,false]
killed: while it ran [true,true], after [false,false]
