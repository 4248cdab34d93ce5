--TEST--
A crash signal writes the crash report to the log, then the process dies by that signal
--EXTENSIONS--
kelvo
--FILE--
<?php
require __DIR__ . '/../inc/servers.inc';

$log = tempnam(sys_get_temp_dir(), 'kelvo-crash-');
$child = proc_open([PHP_BINARY, '-n', '-d', 'extension=' . kelvo_test_env('KELVO_MODULE'),
                    '-d', 'kelvo.loglevel=error', '-d', "kelvo.logfile=$log",
                    '-r', 'echo "ready\n"; sleep(30);'],
                   [1 => ['pipe', 'w']], $pipes);
echo fgets($pipes[1]);
proc_terminate($child, 11); // SIGSEGV, sent rather than raised by a fault
do {
    usleep(10000);
    $status = proc_get_status($child);
} while ($status['running']);
var_dump($status['signaled'], $status['termsig']);

$lines = file($log, FILE_IGNORE_NEW_LINES);
unlink($log);
$find = function (string $pattern, int $from = 0) use ($lines): int {
    for ($i = $from; $i < count($lines); $i++) {
        if (preg_match($pattern, $lines[$i])) return $i;
    }
    return -1;
};
$begin = $find('/^\[\d+:\d+ ERR \d+\] log\.cc:\d+ --- KELVO BEGIN CRASH REPORT ---$/');
$regs = $find('/^>>> KELVO BEGIN REGISTER DUMP$/', $begin);
$rip = $find('/^RIP: 0x[0-9a-f]+$/', $regs);
$trace = $find('/^>>> KELVO BEGIN BACKTRACE$/', $rip);
$traceEnd = $find('/^<<< KELVO END BACKTRACE$/', $trace);
$stats = $find('/^### Runtime stats$/', $traceEnd);
$end = $find('/ --- KELVO END CRASH REPORT ---$/', $stats);
preg_match('/ ERR (\d+)\]/', $lines[0], $m);
var_dump((int)$m[1] === $status['pid']);
var_dump($begin === 0, $regs === 1, $rip === 18, $traceEnd > $trace + 1, $stats === $traceEnd + 1, $end === $stats + 2);

$json = json_decode($lines[$stats + 1], true);
var_dump(array_keys($json), $json['kelvo']['version'], $json['kelvo']['allocator'],
         (bool)preg_match('/^[0-9a-f]{40}$/', $json['kelvo']['kelvo_git_revision']),
         is_int($json['php']['uptime']) && $json['php']['uptime'] >= 0,
         array_keys($json['php']), array_keys($json['cache']), array_keys($json['memory']));
?>
--EXPECT--
ready
bool(true)
int(11)
bool(true)
bool(true)
bool(true)
bool(true)
bool(true)
bool(true)
bool(true)
array(4) {
  [0]=>
  string(5) "kelvo"
  [1]=>
  string(3) "php"
  [2]=>
  string(5) "cache"
  [3]=>
  string(6) "memory"
}
string(6) "0.40.0"
string(5) "kelvo"
bool(true)
bool(true)
array(5) {
  [0]=>
  string(6) "uptime"
  [1]=>
  string(8) "requests"
  [2]=>
  string(15) "active requests"
  [3]=>
  string(12) "max requests"
  [4]=>
  string(12) "free readers"
}
array(5) {
  [0]=>
  string(8) "requests"
  [1]=>
  string(6) "misses"
  [2]=>
  string(4) "hits"
  [3]=>
  string(6) "errors"
  [4]=>
  string(3) "oom"
}
array(4) {
  [0]=>
  string(5) "total"
  [1]=>
  string(5) "limit"
  [2]=>
  string(6) "active"
  [3]=>
  string(4) "used"
}
