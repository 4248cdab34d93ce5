--TEST--
Lifetimes: a gc_maxlifetime of 0 or less is 1440 seconds with a notice, one past what the server takes is clamped, and neither deletes the session; the lock's lifetime is clamped too
--EXTENSIONS--
kelvo
session
--FILE--
<?php
require __DIR__ . '/session.inc';
require __DIR__ . '/../inc/own_server.inc';
/* A server of its own: tests running beside this one flush and swap the shared server's databases. */
$server = new OwnServer();
$port = $server->port;
$peer = kelvo_session_peer($port, 9);

foreach ([0, -5, PHP_INT_MAX, 2147483647, 3600] as $lifetime) {
    echo "gc_maxlifetime $lifetime:\n";
    kelvo_session_settings(kelvo_session_url($port, 'database=9'), ['session.gc_maxlifetime' => $lifetime, 'session.lazy_write' => 1]);
    kelvo_session_open('life');
    $_SESSION['n'] = 1;
    session_write_close();
    echo "  written: ttl ", $peer->ttl('life'), "\n";
    kelvo_session_open('life');
    session_write_close();
    echo "  refreshed: ttl ", $peer->ttl('life'), "\n";
    $peer->del('life');
}

echo "lock lifetime:\n";
kelvo_session_settings(kelvo_session_url($port, 'database=9'),
                       ['session.gc_maxlifetime' => 60, 'kelvo.session.locking_enabled' => 1, 'kelvo.session.lock_expire' => PHP_INT_MAX]);
kelvo_session_open('life');
echo "  ttl ", $peer->ttl('life_LOCK'), "\n";
session_write_close();
var_dump($peer->exists('life_LOCK'));
$peer->del('life');
?>
--EXPECTF--
gc_maxlifetime 0:

Notice: session_write_close(): session.gc_maxlifetime is 0, using 1440 seconds in %s on line %d
  written: ttl 1440

Notice: session_write_close(): session.gc_maxlifetime is 0, using 1440 seconds in %s on line %d
  refreshed: ttl 1440
gc_maxlifetime -5:

Notice: session_write_close(): session.gc_maxlifetime is -5, using 1440 seconds in %s on line %d
  written: ttl 1440

Notice: session_write_close(): session.gc_maxlifetime is -5, using 1440 seconds in %s on line %d
  refreshed: ttl 1440
gc_maxlifetime 9223372036854775807:

Notice: session_write_close(): session.gc_maxlifetime is 9223372036854775807, using 2147483647 seconds in %s on line %d
  written: ttl 2147483647

Notice: session_write_close(): session.gc_maxlifetime is 9223372036854775807, using 2147483647 seconds in %s on line %d
  refreshed: ttl 2147483647
gc_maxlifetime 2147483647:
  written: ttl 2147483647
  refreshed: ttl 2147483647
gc_maxlifetime 3600:
  written: ttl 3600
  refreshed: ttl 3600
lock lifetime:
  ttl 2147483647
int(0)
