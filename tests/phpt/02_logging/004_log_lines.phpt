--TEST--
Log lines carry time, level tag and process id, and lines below the configured level are left out
--EXTENSIONS--
kelvo
--FILE--
<?php
require __DIR__ . '/../inc/servers.inc';

function run_logged(string $level): array
{
    $log = tempnam(sys_get_temp_dir(), 'kelvo-log-');
    $child = proc_open([PHP_BINARY, '-n', '-d', 'extension=' . kelvo_test_env('KELVO_MODULE'),
                        '-d', "kelvo.loglevel=$level", '-d', "kelvo.logfile=$log", '-r', 'echo "ran\n";'],
                       [1 => ['pipe', 'w']], $pipes);
    $pid = proc_get_status($child)['pid'];
    echo stream_get_contents($pipes[1]);
    proc_close($child);
    $lines = file($log, FILE_IGNORE_NEW_LINES);
    unlink($log);
    return [$pid, $lines];
}

$before = time();
[$pid, $lines] = run_logged('debug');
// Other components add lines at this level (debug lines, the periodic tasks' notices); the
// module's own start-up and shutdown notices are the ones checked here.
foreach (preg_grep('/^\[[^]]* (?!DBG)[A-Z]+ \d+\] kelvo\.cc:/', $lines) as $line) {
    preg_match('/^\[(\d+)\.(\d{6}) NOT (\d+)\] kelvo\.cc:\d+ (.*)$/', $line, $m) or die("bad line: $line\n");
    var_dump($m[1] >= $before && $m[1] <= time(), (int)$m[3] === $pid, strstr($m[4], ' - ', true));
}

[, $lines] = run_logged('warning');
var_dump($lines);
?>
--EXPECT--
ran
bool(true)
bool(true)
string(7) "STARTUP"
bool(true)
bool(true)
string(9) "MSHUTDOWN"
ran
array(0) {
}
