--TEST--
The "kelvo" session save handler is registered and fails cleanly until it is built
--EXTENSIONS--
kelvo
session
--INI--
session.save_handler=kelvo
session.use_cookies=0
session.cache_limiter=
--FILE--
<?php
var_dump(session_start(), session_status() === PHP_SESSION_NONE, ini_get('session.save_handler'));
?>
--EXPECTF--
Warning: session_start(): Failed to initialize storage module: kelvo (path: %S) in %s on line %d
bool(false)
bool(true)
string(5) "kelvo"
