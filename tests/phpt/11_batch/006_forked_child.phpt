--TEST--
A child forked while its parent has a batch open: the child's batch fails without touching the parent's connection, its next command takes a connection of its own, and the parent's batch runs as queued
--EXTENSIONS--
kelvo
pcntl
--FILE--
<?php
require __DIR__ . '/batch.inc';

$own = new OwnServer();
$admin = new Kelvo\Kelvo('127.0.0.1', $own->port);
$r = new Kelvo\Kelvo('127.0.0.1', $own->port);
$cases = [
    'pipeline' => [fn() => $r->pipeline()->incr('n')->get('n'), fn() => $r->exec()],
    'transaction' => [fn() => $r->multi()->incr('n')->get('n'), fn() => $r->exec()],
    'transaction in a pipeline' => [fn() => $r->pipeline()->multi()->incr('n')->exec(), fn() => $r->exec()],
    'discarded pipeline' => [fn() => $r->pipeline()->incr('n'), fn() => $r->discard()],
];
foreach ($cases as $name => [$open, $finish]) {
    $admin->del('n');
    $open();
    $child = pcntl_fork();
    if ($child === 0) {
        // What the child does must neither join the parent's batch nor be answered by it.
        echo "$name: child ", kelvo_outcome($finish), ', then incr ',
            kelvo_outcome(fn() => $r->incr('n')), ', mode ', $r->getMode(), "\n";
        exit(0);
    }
    pcntl_waitpid($child, $status);
    echo "$name: parent ", kelvo_outcome($finish), ', n ', json_encode($admin->get('n')), "\n";
}
?>
--EXPECTF--
pipeline: child Kelvo\Exception(%d) The batch belongs to the parent process's connection, then incr 1, mode 0
pipeline: parent [2,"2"], n "2"
transaction: child Kelvo\Exception(%d) The batch belongs to the parent process's connection, then incr 1, mode 0
transaction: parent [2,"2"], n "2"
transaction in a pipeline: child Kelvo\Exception(%d) The batch belongs to the parent process's connection, then incr 1, mode 0
transaction in a pipeline: parent [[2]], n "2"
discarded pipeline: child Kelvo\Exception(%d) The batch belongs to the parent process's connection, then incr 1, mode 0
discarded pipeline: parent true, n "1"
