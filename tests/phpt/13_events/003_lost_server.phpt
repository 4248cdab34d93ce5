--TEST--
Listeners of a client whose server went away: unregistered with the link, the script goes on and ends cleanly; a forked child starts without its parent's listeners
--EXTENSIONS--
kelvo
--FILE--
<?php
require __DIR__ . '/../08_dispatch/fake.inc';
require __DIR__ . '/../inc/own_server.inc';

$own = new OwnServer();
$r = new Kelvo\Kelvo('127.0.0.1', $own->port);
$r->listen(fn() => null);
$r->onInvalidated(fn() => null, 'k*');
$child = pcntl_fork();
if ($child === 0) {
    echo 'child dispatch: ', kelvo_outcome(fn() => $r->dispatchEvents()), "\n";
    exit(0);
}
pcntl_waitpid($child, $status);
$own->stop();
echo 'write without a server: ', kelvo_outcome(fn() => $r->set('k', 1)), "\n";
echo 'listen again: ', kelvo_outcome(fn() => $r->listen(fn() => null)), "\n";
$own->start();
echo 'listen once it is back: ', kelvo_outcome(fn() => $r->listen(fn() => null)), "\n";
$own->stop();
echo "the server is gone for good\n";
?>
--EXPECTF--
child dispatch: 0
write without a server: Kelvo\Exception(%d) %s
listen again: Kelvo\Exception(2) Must be connected to listen for invalidations
listen once it is back: true
the server is gone for good
