--TEST--
An arena that cannot be mapped fails module start-up with its warning and the logged reason
--EXTENSIONS--
kelvo
--FILE--
<?php
require __DIR__ . '/arena.inc';
[$rc, $out, $err] = kelvo_run_with(['kelvo.maxmemory' => '1048576G', 'kelvo.loglevel' => 'error',
                                    'kelvo.logfile' => 'stderr', 'display_startup_errors' => '1'],
                                   'echo "script ran\n";');
var_dump($rc !== 0);
echo $out, $err;
?>
--EXPECTF--
bool(true)
%A
Warning: PHP Startup: Cannot initialize kelvo shared memory in Unknown on line 0
%A
Fatal error: Unable to start kelvo module in Unknown on line 0%A[%f ERR %d] shmalloc.cc:%d mmap arena of size 1125899906842624 failed: Cannot allocate memory
