--TEST--
The "kelvo" session save handler is registered; a save path naming no server opens but gives no session
--EXTENSIONS--
kelvo
session
--INI--
session.save_handler=kelvo
session.save_path=
session.use_cookies=0
session.cache_limiter=
--FILE--
<?php
var_dump(ini_get('session.save_handler'));
try {
    session_start();
} catch (Error $e) {
    echo $e->getMessage(), "\n";
}
var_dump(session_status() === PHP_SESSION_NONE);
?>
--EXPECT--
string(5) "kelvo"
Failed to create session ID: kelvo (path: )
bool(true)
