--TEST--
When the shared root cannot be built, start-up fails with the logged reason and no start-up warning
--EXTENSIONS--
kelvo
--FILE--
<?php
require __DIR__ . '/arena.inc';
[$rc, $out, $err] = kelvo_run_with(['kelvo.maxmemory' => '16M', 'kelvo.initial_readers' => '1000000',
                                    'kelvo.loglevel' => 'error', 'kelvo.logfile' => 'stderr'],
                                   'echo "script ran\n";');
var_dump($rc !== 0, str_contains($out, 'Cannot initialize kelvo shared memory'));
echo $out, $err;
?>
--EXPECTF--
bool(true)
bool(false)

Fatal error: Unable to start kelvo module in Unknown on line 0[%f ERR %d] shared.cc:%d Cannot allocate %d epoch records
