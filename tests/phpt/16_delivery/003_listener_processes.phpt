--TEST--
130 listener processes on 128 shared queues: 128 attach one each, two are refused with a warning; a write that one process's link is told of reaches the listeners of every other process
--EXTENSIONS--
kelvo
pcntl
--INI--
kelvo.max_db_writers=256
kelvo.key_leases=512
--FILE--
<?php
require __DIR__ . '/../09_cache/workers.inc';
require_once __DIR__ . '/../inc/servers.inc';

$port = (int) kelvo_test_env('KELVO_TEST_PORT');
$admin = new Kelvo\Kelvo('127.0.0.1', $port);
$admin->set('lst:k', 'old');
$gate = new StartingGate();
$ready = sys_get_temp_dir() . '/kelvo-ready-' . getmypid();
@mkdir($ready);
$workers = new Workers();
for ($i = 0; $i < 130; $i++) {
    $workers->start($i, function (int $i) use ($port, $gate, $ready) {
        $c = new Kelvo\Kelvo('127.0.0.1', $port);
        $warning = '';
        set_error_handler(function ($level, $message) use (&$warning) { $warning = $message; return true; });
        $seen = [];
        // Flushes count too: another test's FLUSHALL on the shared server ends the key's tracking.
        $attached = $c->listen(function ($event) use (&$seen) { $seen[] = $event->key ?? 'lst:k'; });
        restore_error_handler();
        if ($i === 0) {
            $c->get('lst:k'); // the one link the server tells of the write
        }
        touch("$ready/$i");
        $gate->wait();
        // A limit for a lost event only: 130 processes on a busy machine may take their time.
        for ($until = microtime(true) + 40; $attached && !in_array('lst:k', $seen, true) && microtime(true) < $until;) {
            if ($i === 0) {
                $c->ping(); // its link is drained before every command, listeners or not
            }
            $c->dispatchEvents();
            usleep(10000);
        }
        if (!$attached) {
            return str_contains($warning, 'Too many concurrent requests') ? 'refused' : "refused: $warning";
        }
        return in_array('lst:k', $seen, true) ? 'heard' : 'deaf';
    });
}
for ($until = microtime(true) + 40; count(glob("$ready/*")) < 130 && microtime(true) < $until;) {
    usleep(10000); // until every worker has registered
}
array_map('unlink', glob("$ready/*"));
rmdir($ready);
$admin->set('lst:k', 'new');
$gate->open();
$counts = array_count_values($workers->finish());
ksort($counts);
var_dump($counts);
?>
--EXPECT--
array(2) {
  ["heard"]=>
  int(128)
  ["refused"]=>
  int(2)
}
