--TEST--
Connecting: lazy and eager constructors, every host form and transport, and the connection getters
--FILE--
<?php
use Kelvo\Kelvo;
require __DIR__ . '/../inc/servers.inc';
require __DIR__ . '/server_clients.inc';
$host = kelvo_test_env('KELVO_TEST_HOST');
$port = (int) kelvo_test_env('KELVO_TEST_PORT');
$unix = kelvo_test_env('KELVO_TEST_UNIX');
$tlsPort = (int) kelvo_test_env('KELVO_TEST_TLS_PORT');
$tls = ['stream' => ['cafile' => kelvo_test_env('KELVO_TEST_TLS_CA')]];
$noCache = ['use-cache' => false];

echo "lazy:\n";
$k = new Kelvo($host, $port);
var_dump($k->isConnected());
var_dump($k->getHost(), $k->isConnected(), $k->getPort() === $port);
var_dump($k->serverName(), (bool) preg_match('/^\d+\.\d+\.\d+$/', $k->serverVersion()));

echo "eager (no phpredis compatibility):\n";
$k = new Kelvo($host, $port, 0.0, 0.0, ['phpredis-compatibility' => false]);
var_dump($k->isConnected());

echo "host forms:\n";
// [host, port, context]
$forms = [
    [$host, $port, $noCache],
    ['localhost', $port, $noCache],
    ["$host:$port", -1, $noCache],
    ['[::1]', $port, $noCache],
    ["tcp://[::1]:$port", 1, $noCache],
    ["tcp://$host:$port/2", 1, $noCache],
    ["TCP://$host:$port", 1, $noCache],
    ["unix:$unix", 0, $noCache],
    ["unix://$unix", 0, $noCache],
    [$unix, 0, $noCache],
    ["tls://$host:$tlsPort", 1, $noCache + $tls],
    ["TLS://localhost:$tlsPort", 1, $noCache + $tls],
    ["tls://$host:$tlsPort", 1, $noCache + ['stream' => ['verify_peer' => false]]],
    ["tls://$host:$tlsPort", 1, $noCache + ['verify_peer' => false, 'local_cert' => kelvo_test_env('KELVO_TEST_TLS_CERT'),
                                             'local_pk' => kelvo_test_env('KELVO_TEST_TLS_KEY')]],
];
foreach ($forms as [$h, $p, $context]) {
    $k = $p === -1 ? new Kelvo($h) : new Kelvo($h, $p, 0.0, 0.0, $context);
    $id = str_replace([$unix, (string) $port, (string) $tlsPort], ['SOCK', 'PORT', 'TLSPORT'], $k->endpointId());
    $hostShown = str_replace($unix, 'SOCK', $k->getHost());
    printf("  %-28s %-45s %-9s port=%s %s\n", str_replace([$unix, (string) $port, (string) $tlsPort], ['SOCK', 'PORT', 'TLSPORT'], $h),
        $id, $hostShown, $k->getPort() === 0 ? '0' : ($k->getPort() === $port || $k->getPort() === $tlsPort ? 'ok' : $k->getPort()),
        $k->serverName());
}

echo "IPv6 as the server sees it:\n";
foreach (['[::1]', "tcp://[::1]:$port"] as $h) {
    $k = new Kelvo($h, $port, 0.0, 0.0, $noCache);
    $k->serverName();
    $addrs = array_map(fn($c) => preg_replace('/:\d+$/', '', $c['addr']), server_clients($port));
    var_dump(in_array('[::1]', $addrs, true) || in_array('::1', $addrs, true));
    $k->close();
}

echo "getters:\n";
(new Kelvo($host, $port, 0.0, 0.0, ['use-cache' => false], 3))->ping(); // leaves a link on database 3 in the pool
$k = new Kelvo($host, $port, 1.5, 2.25, ['use-cache' => false], 3);
var_dump($k->getTimeout(), $k->timeout(), $k->getReadTimeout(), $k->readTimeout());
var_dump($k->getDbNum()); // a link taken from the pool is ready: the object is on its database at once
var_dump($k->serverName());
var_dump($k->getDbNum(), $k->isConnected(), (bool) preg_match('/^\d+$/', $k->socketId()), $k->getAuth(), $k->idleTime());
var_dump($k->getPersistentID() === $k->endpointId());
var_dump($k->getBytes() === $k->bytes(), $k->clearBytes(), $k->getMode(), $k->getMode(true));
var_dump($k->setOption(Kelvo::OPT_TCP_KEEPALIVE, true), $k->getOption(Kelvo::OPT_TCP_KEEPALIVE));
var_dump($k->getOption(Kelvo::OPT_USE_CACHE), $k->getOption(Kelvo::OPT_CLIENT_TRACKING));
set_error_handler(function (int $level, string $message) { echo "warning: $message\n"; return true; });
var_dump($k->setOption(Kelvo::OPT_CAPA_REDIRECT, true), $k->setOption(Kelvo::OPT_CAPA_REDIRECT, false));
$u = new Kelvo($unix);
$u->getHost();
var_dump($u->setOption(Kelvo::OPT_TCP_KEEPALIVE, true));

echo "a second constructor call moves the object to the new server:\n";
$port2 = (int) kelvo_test_env('KELVO_TEST_PORT2');
$m = new Kelvo($host, $port, 0.0, 0.0, $noCache);
$m->serverName();
$m->__construct($host, $port2, 0.0, 0.0, $noCache);
var_dump($m->endpointId() === "tcp://default@$host:$port2?cache=0&tracking=0", $m->serverName());

echo "close:\n";
var_dump($k->close(), $k->isConnected());
try {
    $k->getHost();
} catch (\Kelvo\Exception $e) {
    echo strtok($e->getMessage(), '('), "\n";
}
?>
--EXPECT--
lazy:
bool(false)
string(9) "127.0.0.1"
bool(true)
bool(true)
string(5) "redis"
bool(true)
eager (no phpredis compatibility):
bool(true)
host forms:
  127.0.0.1                    tcp://default@127.0.0.1:PORT?cache=0&tracking=0 127.0.0.1 port=ok redis
  localhost                    tcp://default@127.0.0.1:PORT?cache=0&tracking=0 localhost port=ok redis
  127.0.0.1:PORT               tcp://default@127.0.0.1:PORT?cache=1&tracking=1 127.0.0.1 port=ok redis
  [::1]                        tcp://default@::1:PORT?cache=0&tracking=0     ::1       port=ok redis
  tcp://[::1]:PORT             tcp://default@::1:PORT?cache=0&tracking=0     ::1       port=ok redis
  tcp://127.0.0.1:PORT/2       tcp://default@127.0.0.1:PORT?cache=0&tracking=0 127.0.0.1 port=ok redis
  TCP://127.0.0.1:PORT         tcp://default@127.0.0.1:PORT?cache=0&tracking=0 127.0.0.1 port=ok redis
  unix:SOCK                    unix://default@SOCK?cache=0&tracking=0        SOCK      port=0 redis
  unix://SOCK                  unix://default@SOCK?cache=0&tracking=0        SOCK      port=0 redis
  SOCK                         unix://default@SOCK?cache=0&tracking=0        SOCK      port=0 redis
  tls://127.0.0.1:TLSPORT      tls://default@127.0.0.1:TLSPORT?cache=0&tracking=0 127.0.0.1 port=ok redis
  TLS://localhost:TLSPORT      tls://default@127.0.0.1:TLSPORT?cache=0&tracking=0 localhost port=ok redis
  tls://127.0.0.1:TLSPORT      tls://default@127.0.0.1:TLSPORT?cache=0&tracking=0 127.0.0.1 port=ok redis
  tls://127.0.0.1:TLSPORT      tls://default@127.0.0.1:TLSPORT?cache=0&tracking=0 127.0.0.1 port=ok redis
IPv6 as the server sees it:
bool(true)
bool(true)
getters:
float(1.5)
float(1.5)
float(2.25)
float(2.25)
int(3)
string(5) "redis"
int(3)
bool(true)
bool(true)
NULL
int(0)
bool(true)
bool(true)
NULL
int(0)
int(0)
bool(true)
int(1)
bool(false)
bool(false)
warning: Kelvo\Kelvo::setOption(): Failed to enable redirect capability. Use CLIENT CAPA command instead
bool(false)
bool(true)
warning: Kelvo\Kelvo::setOption(): TCP_KEEPALIVE is not valid on unix sockets
bool(false)
a second constructor call moves the object to the new server:
bool(true)
string(5) "redis"
close:
bool(true)
bool(false)
Not connected 
