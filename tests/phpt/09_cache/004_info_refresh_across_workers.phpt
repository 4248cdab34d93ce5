--TEST--
Server facts: of eight workers syncing on one endpoint at once, one sends INFO, once; nobody sends it again within the minute
--EXTENSIONS--
kelvo
pcntl
--FILE--
<?php
require __DIR__ . '/../inc/servers.inc';
require __DIR__ . '/workers.inc';
use Kelvo\Kelvo;

$port = (int) kelvo_test_env('KELVO_TEST_PORT');
// The server's own record of every command it runs, and who sent it.
$monitor = stream_socket_client("tcp://127.0.0.1:$port");
fwrite($monitor, "*1\r\n\$7\r\nMONITOR\r\n");
var_dump(trim(fgets($monitor)));

function clientAddress(Kelvo $c): string
{
    preg_match('/\baddr=(\S+)/', $c->rawCommand('CLIENT', 'INFO'), $m);
    return $m[1];
}

$gate = new StartingGate();
$workers = new Workers();
for ($i = 0; $i < 8; $i++) {
    $workers->start($i, function () use ($port, $gate) {
        $gate->wait();
        $c = new Kelvo('127.0.0.1', $port);
        for ($n = 0; $n < 20; $n++) {
            $c->ping();
            usleep(2000);
        }
        return clientAddress($c);
    });
}
$gate->open();
$addresses = $workers->finish();
$p = new Kelvo('127.0.0.1', $port);
$p->ping();
$p->ping();
$addresses[] = clientAddress($p);

$infos = 0;
$pings = 0;
stream_set_timeout($monitor, 0, 300000);
while (($line = fgets($monitor)) !== false) {
    if (!preg_match('/\[\d+ ([^\]]+)\] "(\w+)"/', $line, $m) || !in_array($m[1], $addresses, true)) {
        continue;
    }
    $infos += strcasecmp($m[2], 'info') === 0;
    $pings += strcasecmp($m[2], 'ping') === 0;
}
var_dump(count(array_unique($addresses)), $pings, $infos);
?>
--EXPECT--
string(3) "+OK"
int(9)
int(162)
int(1)
