--TEST--
The module's interrupt hook chains to the one it replaced (asynchronous signals still arrive)
--EXTENSIONS--
kelvo
pcntl
posix
--FILE--
<?php
pcntl_async_signals(true);
$got = 0;
pcntl_signal(SIGUSR1, function () use (&$got) { $got++; });
posix_kill(getmypid(), SIGUSR1);
for ($i = 0; $i < 1000000 && !$got; $i++);
var_dump($got);
?>
--EXPECT--
int(1)
