--TEST--
Save paths: URL, host:port, bare address, Unix socket forms, lists split by commas and spaces, query options as text, and the refusals
--EXTENSIONS--
kelvo
session
--INI--
kelvo.default_pconnect=0
--FILE--
<?php
require __DIR__ . '/session.inc';
$host = kelvo_test_env('KELVO_TEST_HOST');
$port = (int) kelvo_test_env('KELVO_TEST_PORT');
$port2 = (int) kelvo_test_env('KELVO_TEST_PORT2');
$unix = kelvo_test_env('KELVO_TEST_UNIX');
$acl = (int) kelvo_test_env('KELVO_TEST_ACL_PORT');
$aclPass = kelvo_test_env('KELVO_TEST_ACL_DEFAULT_PASS');

/* Where a session written through `$path` landed: "port/db", or what went wrong. */
function landed(string $path, array $servers): string
{
    kelvo_session_settings($path);
    $id = 'path' . bin2hex(random_bytes(6));
    $opened = kelvo_session_open($id);
    if ($opened !== true) {
        return var_export($opened, true);
    }
    $_SESSION['x'] = 1;
    session_write_close();
    $found = [];
    foreach ($servers as [$p, $db, $auth]) {
        $peer = new Kelvo\Kelvo(kelvo_test_env('KELVO_TEST_HOST'), $p, 0, 0, ['use-cache' => false, 'auth' => $auth], $db);
        if ($peer->get($id) === 'x|i:1;') {
            $found[] = "$p/$db";
            $peer->del($id);
        }
    }
    return implode(',', $found) ?: 'nowhere';
}

$servers = [[$port, 0, null], [$port, 2, null], [$port, 12, null], [$port2, 0, null], [$acl, 0, $aclPass]];
$where = fn($p, $db) => "$p/$db";
$cases = [
    'tcp URL' => ["tcp://$host:$port", $where($port, 0)],
    'host:port' => ["$host:$port", $where($port, 0)],
    'IPv6 address' => ["tcp://[::1]:$port", $where($port, 0)],
    'unix:// URL' => ["unix://$unix", $where($port, 0)],
    'socket path' => [$unix, $where($port, 0)],
    'socket path with a query' => ["$unix?database=2", $where($port, 2)],
    'database as text' => ["tcp://$host:$port?database=12", $where($port, 12)],
    'timeouts and weight as text' => ["tcp://$host:$port?weight=2&timeout=1.5&read_timeout=2&connect_timeout=0.5&retry_interval=100", $where($port, 0)],
    'password in the query' => ["tcp://$host:$acl?auth=$aclPass", $where($acl, 0)],
    'user and password in the query' => ["tcp://$host:$acl?auth[]=default&auth[]=$aclPass", $where($acl, 0)],
];
foreach ($cases as $name => [$path, $expected]) {
    $got = landed($path, $servers);
    printf("%-32s %s\n", $name, $got === $expected ? 'ok' : "got $got, expected $expected");
}

echo "lists: a session lands on exactly one of the servers:\n";
foreach (["tcp://$host:$port,tcp://$host:$port2", "  tcp://$host:$port   tcp://$host:$port2 ", ",tcp://$host:$port,, tcp://$host:$port2,"] as $path) {
    $got = landed($path, $servers);
    var_dump($got === "$port/0" || $got === "$port2/0");
}

echo "a bare address is a host on the default port, not a socket path:\n";
kelvo_session_settings('127.0.0.2');
var_dump(kelvo_session_open('barehost1'));

echo "refused save paths:\n";
$refused = [
    "tcp://$host:$port?weight=0",
    "tcp://$host:$port?weight=heavy",
    "tcp://$host:$port?database=-1",
    "tcp://$host:$port?database=first",
    "tcp://$host:$port?timeout=soon",
    "tcp://$host:$port?read_timeout=-1",
    "tcp://$host:99999",
    "?weight=2",
    "tcp://$host:$port, tcp://nowhere.invalid:$port",
];
foreach ($refused as $path) {
    kelvo_session_settings($path);
    echo $path, "\n  ", kelvo_session_try(fn() => session_start()), "\n";
}
?>
--EXPECTF--
tcp URL                          ok
host:port                        ok
IPv6 address                     ok
unix:// URL                      ok
socket path                      ok
socket path with a query         ok
database as text                 ok
timeouts and weight as text      ok
password in the query            ok
user and password in the query   ok
lists: a session lands on exactly one of the servers:
bool(true)
bool(true)
bool(true)
a bare address is a host on the default port, not a socket path:

Warning: session_start(): Failed to attach - shard: 0, uri: 'tcp://default@127.0.0.2:6379?cache=0&tracking=0' in %s on line %d

Warning: session_start(): Failed to read session data: kelvo (path: 127.0.0.2) in %s on line %d
bool(false)
refused save paths:
tcp://%s?weight=0
  ValueError: Weight must be numeric and >= 1
tcp://%s?weight=heavy
  ValueError: Weight must be numeric and >= 1
tcp://%s?database=-1
  ValueError: Database must be between 0 and 2147483647
tcp://%s?database=first
  ValueError: Database must be between 0 and 2147483647
tcp://%s?timeout=soon
  ValueError: Connection timeout must be a number >= 0.0
tcp://%s?read_timeout=-1
  ValueError: Read timeout must be a number >= 0.0
tcp://%s:99999
  Kelvo\Exception: Failed to parse save_path 'tcp://%s:99999'
?weight=2
  Kelvo\Exception: Failed to parse save_path '?weight=2'
tcp://%s, tcp://nowhere.invalid:%d
  Kelvo\Exception: Failed to resolve host address
