--TEST--
A log file that cannot be opened is warned about at start-up and leaves logging off
--EXTENSIONS--
kelvo
--INI--
display_startup_errors=1
kelvo.loglevel=debug
kelvo.logfile=/nonexistent-kelvo-dir/kelvo.log
--FILE--
<?php
var_dump(file_exists('/nonexistent-kelvo-dir'));
echo "running\n";
?>
--EXPECTF--
%sCan't open log file '/nonexistent-kelvo-dir/kelvo.log'%s
bool(false)
running
