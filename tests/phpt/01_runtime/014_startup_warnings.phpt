--TEST--
An unknown kelvo.prefault is warned about at start-up and means off
--EXTENSIONS--
kelvo
--INI--
display_startup_errors=1
kelvo.prefault=sometimes
--FILE--
<?php
var_dump(ini_get('kelvo.prefault'));
?>
--EXPECTF--
%sInvalid kelvo.prefault value 'sometimes', using 'off'%s
string(3) "off"
