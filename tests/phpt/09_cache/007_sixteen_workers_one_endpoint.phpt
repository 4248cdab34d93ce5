--TEST--
Sixteen workers connecting to one server at the same moment share one endpoint: each flushes one database of it, and the parent finds every flush on the endpoint its own identity names
--EXTENSIONS--
kelvo
pcntl
--FILE--
<?php
require __DIR__ . '/../inc/servers.inc';
require __DIR__ . '/workers.inc';
use Kelvo\Kelvo;

$port = (int) kelvo_test_env('KELVO_TEST_PORT');
$start = microtime(true);
$gate = new StartingGate();
$workers = new Workers();
for ($i = 0; $i < 16; $i++) {
    $workers->start($i, function (int $i) use ($port, $gate) {
        $gate->wait();
        $c = new Kelvo('127.0.0.1', $port);
        $c->ping();
        return Kelvo::flushMemory($c->endpointId(), $i) ? $c->endpointId() : 'refused';
    });
}
$gate->open();
$ids = $workers->finish();
var_dump(count(array_unique($ids)));
$p = new Kelvo('127.0.0.1', $port);
$p->ping();
var_dump($ids[0] === $p->endpointId(), Kelvo::lastMemoryFlush($p->endpointId()));
$flushed = 0;
for ($db = 0; $db < 16; $db++) {
    $flushed += Kelvo::lastMemoryFlush($p->endpointId(), $db) >= $start;
}
var_dump($flushed);
?>
--EXPECT--
int(1)
bool(true)
float(0)
int(16)
