--TEST--
A log level without a log file is warned about with the empty name and leaves logging off
--EXTENSIONS--
kelvo
--INI--
display_startup_errors=1
kelvo.loglevel=ERRORS
--FILE--
<?php
var_dump(ini_get('kelvo.logfile'));
?>
--EXPECTF--
%sCan't open log file ''%s
string(0) ""
