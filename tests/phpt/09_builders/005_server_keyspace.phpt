--TEST--
Server and key-space commands on real servers: SELECT moves the client (getDbNum, and a write after the server killed the link is sent on a new one, in the selected database), SWAPDB, COPY, the EXPIRE modes, FLUSHDB's three forms, MIGRATE of prefixed keys with AUTH and AUTH2, PING
--EXTENSIONS--
kelvo
--FILE--
<?php
require __DIR__ . '/../inc/servers.inc';
require __DIR__ . '/../inc/own_server.inc';
use Kelvo\Kelvo;

// SWAPDB and FLUSHDB reach every client of a server: they run on a server of this test's own.
$own = new OwnServer();
$host = '127.0.0.1';
$port = $own->port;
$k = new Kelvo($host, $port);
$admin = new Kelvo($host, $port);

/* Where a key is: the databases of the plain server that hold it. */
function where(Kelvo $admin, string $key): string
{
    $in = [];
    foreach ([0, 9, 10] as $db) {
        $admin->select($db);
        if ($admin->exists($key)) {
            $in[] = $db;
        }
    }
    return json_encode($in);
}

echo "-- SELECT\n";
$k->ping();
var_dump($k->getDbNum(), $k->select(9), $k->getDbNum());
var_dump(@$k->select(-1), error_get_last()['message'], $k->getDbNum());
var_dump($k->rawCommand('SELECT', '10'), $k->getDbNum(), $k->select(9));

echo "-- the server drops the link between the SELECT and the write\n";
$admin->client('KILL', 'ID', $k->client('id'));
usleep(1100000); // an idle link is polled before sending: the write goes out on a new connection
var_dump($k->set('b2:idle', 1), $k->getDbNum(), where($admin, 'b2:idle'));
$admin->client('KILL', 'ID', $k->client('id'));
try {
    $k->set('b2:lost', 1);
    echo "written\n";
} catch (\Kelvo\Exception $e) {
    echo get_class($e), "\n";
}
var_dump($k->set('b2:next', 1), $k->getDbNum(), where($admin, 'b2:lost'), where($admin, 'b2:next'));

echo "-- SWAPDB, COPY\n";
var_dump($k->swapdb(9, 10), where($admin, 'b2:next'), $k->swapdb(10, 9));
$k->set('b2:src', 'v');
var_dump($k->copy('b2:src', 'b2:dst', ['db' => 10]), $k->copy('b2:src', 'b2:dst', ['db' => 10]));
var_dump($k->copy('b2:src', 'b2:dst', ['DB' => 10, 'replace' => true]), where($admin, 'b2:dst'));
var_dump($k->copy('b2:src', 'b2:dst', ['db' => null]), where($admin, 'b2:dst'));

echo "-- EXPIRE modes\n";
var_dump($k->expire('b2:src', 100, 'nx'), $k->expire('b2:src', 50, 'GT'), $k->pexpire('b2:src', 50000, 'lt'));
var_dump($k->ttl('b2:src'), $k->expireat('b2:src', time() + 1000, 'XX'), $k->pexpireat('b2:src', 1, 'gt'));
var_dump(@$k->expire('b2:src', 5, 'ZZ'), error_get_last()['message']);

echo "-- FLUSHDB\n";
$k->select(11);
foreach ([true, false, null] as $sync) {
    $k->set('b2:f', 1);
    var_dump($k->flushdb($sync), $k->dbsize());
}
$k->select(9);

echo "-- MIGRATE\n";
$second = new Kelvo($host, (int) kelvo_test_env('KELVO_TEST_PORT2'));
$acl = new Kelvo($host, (int) kelvo_test_env('KELVO_TEST_ACL_PORT'), 0.0, 0.0, ['auth' => ['kelvo', 'secret']]);
$second->del('b2m:a', 'b2m:b', 'b2m:c');
$acl->del('b2m:a', 'b2m:b', 'b2m:c');
$pre = new Kelvo($host, $port);
$pre->select(9);
$pre->setOption(Kelvo::OPT_PREFIX, 'b2m:');
$pre->mset(['a' => 1, 'b' => 2, 'c' => 3]);
var_dump($pre->migrate($host, (int) kelvo_test_env('KELVO_TEST_PORT2'), ['a', 'b'], 0, 5000));
var_dump($second->mget(['b2m:a', 'b2m:b']), where($admin, 'b2m:a') . where($admin, 'b2m:b'));
$aclPort = (int) kelvo_test_env('KELVO_TEST_ACL_PORT');
var_dump($pre->migrate($host, $aclPort, ['c'], 0, 5000, true, false, ['kelvo', 'secret']), $acl->get('b2m:c'));
var_dump($pre->migrate($host, $aclPort, 'c', 0, 5000, true, true, kelvo_test_env('KELVO_TEST_ACL_DEFAULT_PASS')));
var_dump($pre->migrate($host, $aclPort, 'c', 0, 5000, true, true, ['kelvo', 'wrong']), $pre->getLastError() !== null);
error_clear_last();
var_dump(@$pre->migrate($host, $aclPort, 'c', 0, 5000, true, true, ['user' => 'kelvo']), error_get_last()['message'] ?? 'none');
var_dump(@$pre->migrate($host, $aclPort, [], 0, 5000), error_get_last()['message']);
$second->del('b2m:a', 'b2m:b');
$acl->del('b2m:c');

echo "-- PING\n";
$pre->setOption(Kelvo::OPT_SERIALIZER, Kelvo::SERIALIZER_PHP);
var_dump($pre->ping(), $pre->ping('i:5;'), $pre->ping(null));
?>
--EXPECT--
-- SELECT
int(0)
bool(true)
int(9)
bool(false)
string(71) "Kelvo\Kelvo::select(): Database number must be between 0 and 2147483647"
int(9)
bool(true)
int(10)
bool(true)
-- the server drops the link between the SELECT and the write
bool(true)
int(9)
string(3) "[9]"
written
bool(true)
int(9)
string(3) "[9]"
string(3) "[9]"
-- SWAPDB, COPY
bool(true)
string(4) "[10]"
bool(true)
bool(true)
bool(false)
bool(true)
string(4) "[10]"
bool(true)
string(6) "[9,10]"
-- EXPIRE modes
bool(true)
bool(false)
bool(true)
int(50)
bool(true)
bool(false)
bool(false)
string(51) "Kelvo\Kelvo::expire(): Unknown expiration mode 'ZZ'"
-- FLUSHDB
bool(true)
int(0)
bool(true)
int(0)
bool(true)
int(0)
-- MIGRATE
bool(true)
array(2) {
  [0]=>
  string(1) "1"
  [1]=>
  string(1) "2"
}
string(4) "[][]"
bool(true)
string(1) "3"
bool(true)
bool(false)
bool(true)
bool(false)
string(4) "none"
bool(false)
string(50) "Kelvo\Kelvo::migrate(): Must pass at least one key"
-- PING
bool(true)
string(4) "i:5;"
bool(true)
