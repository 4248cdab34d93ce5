--TEST--
The module information names the module and lists every directive with the value in effect
--EXTENSIONS--
kelvo
--INI--
kelvo.databases=0
--FILE--
<?php
(new ReflectionExtension('kelvo'))->info();
?>
--EXPECTF--
kelvo

Kelvo Support => enabled
Kelvo Version => 0.40.0
%A
kelvo.session.lock_wait_time => 0

Directive => Local Value => Master Value
kelvo.maxmemory => 16777216 => 16777216
kelvo.databases => 1 => 1
%A
kelvo.session.lock_wait_time => 0 => 0
