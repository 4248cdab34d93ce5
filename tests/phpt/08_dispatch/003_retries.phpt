--TEST--
Retries: a read is resent after a killed connection, a server restart and a read timeout; a write never is; an idle link the server closed is reconnected before sending
--EXTENSIONS--
kelvo
--INI--
kelvo.maxmemory=0
--FILE--
<?php
require __DIR__ . '/fake.inc';
require __DIR__ . '/../inc/own_server.inc';

function connections(Kelvo\Kelvo $admin): int
{
    return (int) $admin->info()['total_connections_received'];
}

// A server of its own: connection counts and CLIENT PAUSE must not meet other tests.
$own = new OwnServer();
$host = '127.0.0.1';
$port = $own->port;
$admin = new Kelvo\Kelvo($host, $port);
$r = new Kelvo\Kelvo($host, $port);
$r->set('retry:k', 'v');
$r->set('retry:n', 0);

// A killed connection: the read goes out again on a new one.
$admin->rawCommand('CLIENT', 'KILL', 'ID', (string) $r->rawCommand('CLIENT', 'ID'));
$before = connections($admin);
echo 'read after kill: ', kelvo_outcome(fn() => $r->get('retry:k')), ', new connections: ', connections($admin) - $before, "\n";

// A write on a connection the server already closed is checked first and sent once, on a new one.
$admin->rawCommand('CLIENT', 'KILL', 'ID', (string) $r->rawCommand('CLIENT', 'ID'));
echo 'write after kill: ', kelvo_outcome(fn() => $r->incr('retry:n')), "\n";
echo 'counter: ', $admin->get('retry:n'), ', next write: ', kelvo_outcome(fn() => $r->incr('retry:n')), "\n";

// An idle link the server closed is found before sending, so even a write goes out once, on a new connection.
$admin->rawCommand('CLIENT', 'KILL', 'ID', (string) $r->rawCommand('CLIENT', 'ID'));
usleep(1100000);
echo 'write on an idle closed link: ', kelvo_outcome(fn() => $r->incr('retry:n')), ', counter: ', $admin->get('retry:n'), "\n";

// A read timeout: the read is sent again once the server answers again.
$slow = new Kelvo\Kelvo($host, $port, 0.0, 0.1);
$slow->setOption(Kelvo\Kelvo::OPT_BACKOFF_ALGORITHM, Kelvo\Kelvo::BACKOFF_ALGORITHM_CONSTANT);
$slow->setOption(Kelvo\Kelvo::OPT_BACKOFF_BASE, 500);
$slow->setOption(Kelvo\Kelvo::OPT_BACKOFF_CAP, 500);
$slow->get('retry:k');
$before = connections($admin);
$admin->rawCommand('CLIENT', 'PAUSE', '250', 'ALL');
echo 'read after a timeout: ', kelvo_outcome(fn() => $slow->get('retry:k')), ', new connections: ', connections($admin) - $before, "\n";

// With no retries the timed-out read sleeps, reconnects once, then fails with the timeout.
$slow->setOption(Kelvo\Kelvo::OPT_MAX_RETRIES, 0);
$slow->setOption(Kelvo\Kelvo::OPT_BACKOFF_BASE, 0);
$slow->setOption(Kelvo\Kelvo::OPT_BACKOFF_CAP, 0);
$admin->rawCommand('CLIENT', 'PAUSE', '250', 'ALL');
echo 'no retries: ', kelvo_outcome(fn() => $slow->get('retry:k')), "\n";
usleep(300000);

// A restarted server: the read reconnects and is answered by the new process.
$o = new Kelvo\Kelvo('127.0.0.1', $own->port);
$o->set('k', 'before');
$own->stop();
$own->start();
echo 'read after restart: ', kelvo_outcome(fn() => $o->rawCommand('ECHO', 'back')), "\n";
$ownAdmin = new Kelvo\Kelvo('127.0.0.1', $own->port);
// Besides the start-up probe and this admin client: the one reconnect.
echo 'reconnects the restarted server saw: ', connections($ownAdmin) - 2, "\n";
?>
--EXPECT--
read after kill: "v", new connections: 1
write after kill: 1
counter: 1, next write: 2
write on an idle closed link: 3, counter: 3
read after a timeout: "v", new connections: 1
no retries: Kelvo\Exception(1) Resource temporarily unavailable
read after restart: "back"
reconnects the restarted server saw: 1
