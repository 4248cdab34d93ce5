--TEST--
connect and pconnect: options set before are kept, bad arguments refused, and a failed connect leaves no link or socket behind
--FILE--
<?php
use Kelvo\Kelvo;
require __DIR__ . '/../inc/servers.inc';
$host = kelvo_test_env('KELVO_TEST_HOST');
$port = (int) kelvo_test_env('KELVO_TEST_PORT');
set_error_handler(function (int $level, string $message) { echo "warning: $message\n"; return true; });
$fds = fn() => count(scandir('/proc/self/fd'));

echo "connect:\n";
$k = new Kelvo();
$k->setOption(Kelvo::OPT_READ_TIMEOUT, 3.5);
var_dump($k->connect($host, $port, 1.25, null, 0, 0.0, ['prefix' => 'c:'], 2));
var_dump($k->isConnected(), $k->getReadTimeout(), $k->getTimeout(), $k->getOption(Kelvo::OPT_PREFIX));
$k->serverName();
var_dump($k->getDbNum());
echo "a read timeout passed to connect wins:\n";
var_dump($k->connect($host, $port, 0.0, null, 0, 0.5), $k->getReadTimeout(), $k->getDbNum());

echo "pconnect:\n";
$p = new Kelvo();
var_dump($p->pconnect($host, $port), $p->serverName(), $p->close());

echo "refused arguments:\n";
var_dump($k->connect($host, $port, 0.0, null, 0, 0.0, [], -1));
var_dump($k->connect($host, $port, 0.0, null, 0, 0.0, [], 2147483648));
foreach ([[NAN, 0.0], [0.0, NAN]] as [$timeout, $readTimeout]) {
    try {
        $k->connect($host, $port, $timeout, null, 0, $readTimeout);
    } catch (ValueError $e) {
        echo $e->getMessage(), "\n";
    }
}

echo "failed connects:\n";
$k = new Kelvo($host, $port);
$k->serverName();
$before = $fds();
foreach ([[$host, 1, []], ['no-such-host.invalid', $port, []],
          ["tls://$host", $port, ['local_cert' => kelvo_test_env('KELVO_TEST_TLS_CERT')]],
          ["unix:/nonexistent/kelvo.sock", 0, []]] as [$h, $p, $context]) {
    try {
        var_dump($k->connect($h, $p, 0.5, null, 0, 0.0, $context));
    } catch (\Kelvo\Exception $e) {
        printf("%s (code %d)\n", trim(strtok($e->getMessage(), '(')), $e->getCode());
    }
    var_dump($k->isConnected());
}
var_dump($fds() === $before); // the link the object had waits in the pool
try {
    $k->getHost();
} catch (\Kelvo\Exception $e) {
    echo strtok($e->getMessage(), '('), "\n";
}
echo "stream must be an array:\n";
$t = new Kelvo();
try {
    $t->connect('tls://' . $host, (int) kelvo_test_env('KELVO_TEST_TLS_PORT'), 0.0, null, 0, 0.0, ['stream' => 'x']);
} catch (\Kelvo\Exception $e) {
    echo "the connect went on with TLS defaults\n";
}
?>
--EXPECT--
connect:
bool(true)
bool(true)
float(3.5)
float(1.25)
string(2) "c:"
int(2)
a read timeout passed to connect wins:
bool(true)
float(0.5)
int(0)
pconnect:
bool(true)
string(5) "redis"
bool(true)
refused arguments:
warning: Kelvo\Kelvo::connect(): Database must be between 0 and 2147483647
bool(false)
warning: Kelvo\Kelvo::connect(): Database must be between 0 and 2147483647
bool(false)
Invalid connect timeout
Invalid read timeout
failed connects:
Connection refused (code 1)
bool(false)
Failed to resolve host address (code 11)
bool(false)
warning: Kelvo\Kelvo::connect(): Must pass local_cert and local_pk together
Failed to initialize TLS (code 11)
bool(false)
No such file or directory '/nonexistent/kelvo.sock' (code 1)
bool(false)
bool(true)
Not connected 
stream must be an array:
warning: Kelvo\Kelvo::connect(): stream options must be an array
the connect went on with TLS defaults
