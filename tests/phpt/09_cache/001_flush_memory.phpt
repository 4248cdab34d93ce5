--TEST--
flushMemory and lastMemoryFlush: one database or all of one endpoint, every endpoint, and the warnings for a bad database or an unknown endpoint
--EXTENSIONS--
kelvo
--FILE--
<?php
require __DIR__ . '/../inc/servers.inc';
use Kelvo\Kelvo;

$port = (int) kelvo_test_env('KELVO_TEST_PORT');
$a = new Kelvo('127.0.0.1', $port);
$a->ping();
$b = new Kelvo('127.0.0.1', $port, context: ['use-cache' => true, 'client-tracking' => false]);
$b->ping();
$idA = $a->endpointId();
$idB = $b->endpointId();
var_dump($idA !== $idB);

echo "never flushed:\n";
var_dump(Kelvo::lastMemoryFlush(), Kelvo::lastMemoryFlush($idA), Kelvo::lastMemoryFlush($idA, 3));

$start = microtime(true);
echo "one database of one endpoint:\n";
var_dump(Kelvo::flushMemory($idA, 3));
var_dump(Kelvo::lastMemoryFlush($idA, 3) >= $start, Kelvo::lastMemoryFlush($idA), Kelvo::lastMemoryFlush($idA, 2));
var_dump(Kelvo::lastMemoryFlush($idB, 3));

echo "all databases of one endpoint:\n";
var_dump(Kelvo::flushMemory($idA, null));
$whole = Kelvo::lastMemoryFlush($idA);
var_dump($whole >= $start, Kelvo::lastMemoryFlush($idA, 2) === $whole, Kelvo::lastMemoryFlush($idB));

echo "every endpoint (a database is checked, not applied):\n";
var_dump(Kelvo::flushMemory(null, 3));
$all = Kelvo::lastMemoryFlush();
var_dump($all >= $whole, Kelvo::lastMemoryFlush($idB) === $all, Kelvo::lastMemoryFlush($idA, 5) === $all);

echo "refused:\n";
var_dump(Kelvo::flushMemory(null, -2));
var_dump(Kelvo::flushMemory($idA, 16));
var_dump(Kelvo::lastMemoryFlush($idA, 99));
var_dump(Kelvo::flushMemory('tcp://nobody@127.0.0.1:1?cache=1&tracking=1'));
var_dump(Kelvo::lastMemoryFlush('nothing'));
try {
    Kelvo::flushMemory($idA, 1, 2);
} catch (ArgumentCountError $e) {
    echo get_class($e), ": ", $e->getMessage(), "\n";
}
?>
--EXPECTF--
bool(true)
never flushed:
float(0)
float(0)
float(0)
one database of one endpoint:
bool(true)
bool(true)
float(0)
float(0)
float(0)
all databases of one endpoint:
bool(true)
bool(true)
bool(true)
float(0)
every endpoint (a database is checked, not applied):
bool(true)
bool(true)
bool(true)
bool(true)
refused:

Warning: Kelvo\Kelvo::flushMemory(): Database number -2 is invalid (valid: -1 - 15) in %s on line %d
bool(false)

Warning: Kelvo\Kelvo::flushMemory(): Database number 16 is invalid (valid: -1 - 15) in %s on line %d
bool(false)

Warning: Kelvo\Kelvo::lastMemoryFlush(): Database number 99 is invalid (valid: -1 - 15) in %s on line %d
bool(false)

Warning: Kelvo\Kelvo::flushMemory(): Unknown endpoint 'tcp://nobody@127.0.0.1:1?cache=1&tracking=1' in %s on line %d
bool(false)

Warning: Kelvo\Kelvo::lastMemoryFlush(): Unknown endpoint 'nothing' in %s on line %d
bool(false)
ArgumentCountError: Kelvo\Kelvo::flushMemory() expects at most 2 arguments, 3 given
