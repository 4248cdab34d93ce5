--TEST--
Transactions: WATCH aborts, queue-time errors, a connection lost in MULTI or in a pipeline; a failed batch is never resent nor run outside its transaction
--EXTENSIONS--
kelvo
--FILE--
<?php
require __DIR__ . '/batch.inc';

$own = new OwnServer();
$admin = new Kelvo\Kelvo('127.0.0.1', $own->port);
$r = new Kelvo\Kelvo('127.0.0.1', $own->port);
$id = fn() => $r->rawCommand('CLIENT', 'ID');
$kill = fn(int $id) => $admin->rawCommand('CLIENT', 'KILL', 'ID', (string) $id);

// A watched key changed by another client: the transaction does not run; a plain one keeps its link.
foreach ([false, true] as $throw) {
    $r->setOption(Kelvo\Kelvo::OPT_THROW_ON_ERROR, $throw);
    $r->clearLastError();
    $admin->set('w', 1);
    $before = $id();
    $r->watch('w');
    $admin->set('w', 2);
    echo 'watch abort: ', kelvo_outcome(fn() => $r->multi()->incr('w')->exec()), ', last error ',
        json_encode($r->getLastError()), ', w ', $admin->get('w'), ', same link ', var_export($id() === $before, true), "\n";
    $r->watch('w');
    $admin->set('w', 3);
    echo 'in a pipeline: ', kelvo_outcome(fn() => $r->pipeline()->multi()->incr('w')->exec()->get('w')->exec()),
        ', same link ', var_export($id() === $before, true), ', mode ', $r->getMode(true), "\n";
}
$r->setOption(Kelvo\Kelvo::OPT_THROW_ON_ERROR, false);
// EXEC ends the WATCH, whatever it answered: the link may be replaced again.
$r->watch('w');
$r->multi()->get('w')->exec();
$kill($id());
// (a read the shared cache cannot answer: TTL)
echo 'read after EXEC ended the watch: ', kelvo_outcome(fn() => $r->ttl('w')), "\n";

// A command the server refuses while queueing: always thrown, the transaction discarded.
$admin->del('q');
echo 'queue-time error: ', kelvo_outcome(fn() => $r->multi()->set('q', 1)->rawCommand('NOPE')),
    ', mode ', $r->getMode(), ', q ', $admin->exists('q'), "\n";
// Inside a pipeline it breaks the whole pipeline.
echo 'queue-time error in a pipeline: ', kelvo_outcome(fn() => $r->pipeline()->set('q', 1)->multi()->rawCommand('NOPE')
    ->exec()->exec()), ', mode ', kelvo_outcome(fn() => $r->getMode()), "\n";

// The connection dies while a batch is open: the batch fails and nothing of it runs later.
$admin->rawCommand('CONFIG', 'RESETSTAT');
$link = $id();
$r->multi()->set('a', 1);
$kill($link);
echo 'killed in MULTI: ', kelvo_outcome(fn() => $r->set('b', 1)), ', then exec ', kelvo_outcome(fn() => $r->exec()), "\n";
$link = $id();
$r->pipeline()->set('c', 1)->get('c');
$kill($link);
echo 'killed in a pipeline: ', kelvo_outcome(fn() => $r->exec()), ', then ', kelvo_outcome(fn() => $r->exec()), "\n";
$link = $id();
$r->pipeline()->multi()->set('d', 1);
$kill($link);
echo 'killed in a pipelined MULTI: ', kelvo_outcome(fn() => $r->exec()->exec()), "\n";
echo 'keys written: ', $admin->exists('a', 'b', 'c', 'd'), ', ', kelvo_calls($admin, ['set', 'multi', 'exec']), "\n";
echo 'next command: ', kelvo_outcome(fn() => $r->set('e', 1)), "\n";

// A pipeline whose connection closes after the server ran part of it: thrown, never resent.
$fake = new FakeServer(['reply +OK\r\n', 'reply +OK\r\n', 'close']);
$f = kelvo_fake_client($fake);
echo 'closed mid-pipeline: ', kelvo_outcome(fn() => $f->pipeline()->set('x', 1)->set('y', 2)->set('z', 3)->exec()), "\n";
echo 'requests received: ', substr_count($fake->received(), '$3|SET|'), "\n";
?>
--EXPECTF--
watch abort: false, last error "Transaction failed", w 2, same link true
in a pipeline: Kelvo\Exception(14) Error executing transaction., same link false, mode 0
watch abort: Kelvo\Exception(14) Transaction failed, last error null, w 2, same link true
in a pipeline: Kelvo\Exception(14) Transaction failed, same link false, mode 0
read after EXEC ended the watch: -1
queue-time error: Kelvo\Exception(14) ERR unknown command 'NOPE', with args beginning with: , mode 0, q 0
queue-time error in a pipeline: Kelvo\Exception(14) Error executing transaction., mode Kelvo\Exception(2) Must be connected to get mode
killed in MULTI: Kelvo\Exception(%d) %s, then exec false
killed in a pipeline: Kelvo\Exception(%d) %s, then false
killed in a pipelined MULTI: Kelvo\Exception(%d) %s
keys written: 0, set=0 multi=1 exec=0
next command: true
closed mid-pipeline: Kelvo\Exception(3) Server closed the connection
requests received: 3
