--TEST--
Administration subcommands on a real server: CONFIG with several names and trailing nulls and its HELP array, CLIENT forms and the refused ones (also through rawCommand), SCRIPT, SLOWLOG, ACL, COMMAND, PUBSUB names under the key prefix, FUNCTION
--EXTENSIONS--
kelvo
--FILE--
<?php
require __DIR__ . '/../inc/own_server.inc';
use Kelvo\Kelvo;

// CONFIG SET and FUNCTION LOAD change the server for every client, and the defaults shown are a fresh
// server's: on a server of this test's own.
$own = new OwnServer();
$host = '127.0.0.1';
$port = $own->port;
$k = new Kelvo($host, $port);

/* The call's result and the warning it gave, if any; then the link still answers. */
function refused(Kelvo $k, callable $call): void
{
    error_clear_last();
    $sent = $k->getBytes()[0];
    $result = @$call();
    echo json_encode($result), ' ', error_get_last()['message'] ?? '(no warning)', ' sent ', $k->getBytes()[0] - $sent,
        ' ping ', json_encode($k->ping()), "\n";
}

echo "-- CONFIG\n";
$names = $k->config('GET', 'slowlog-max-len', 'hz');
ksort($names);
echo json_encode($names), ' ', json_encode($k->config('get', ['hz'], null)), "\n";
$old = $k->config('GET', 'slowlog-max-len')['slowlog-max-len'];
var_dump($k->config('SET', ['slowlog-max-len' => 200], null), $k->config('GET', 'slowlog-max-len'));
var_dump($k->config('SET', 'slowlog-max-len', $old));
$help = $k->config('HELP');
var_dump(is_array($help) && count($help) > 5);
refused($k, fn() => $k->config('SET', ['slowlog-max-len' => 1, 7 => 2]));
refused($k, fn() => $k->config('GET', null));

echo "-- CLIENT\n";
$id = $k->client('id');
var_dump(is_int($id), $k->client('setname', 'b2-admin'), $k->client('getname'));
$info = $k->client('info');
var_dump($info['id'] === $id, $info['name']);
var_dump(count(array_filter($k->client('list'), fn($row) => $row['id'] === $id)));
refused($k, fn() => $k->client('tracking', 'on'));
refused($k, fn() => $k->client('REPLY', 'Off'));
refused($k, fn() => $k->rawCommand('CLIENT', 'reply', 'skip'));
refused($k, fn() => $k->rawCommand('client', 'TRACKING', 'off'));
var_dump($k->client('reply', 'on'), $k->rawCommand('CLIENT', 'GETNAME'));

echo "-- SCRIPT\n";
$sha = $k->script('load', 'return 1');
var_dump(strlen($sha), $k->script('exists', $sha, str_repeat('0', 40)));
refused($k, fn() => $k->script('debug', 'yes'));
refused($k, fn() => $k->rawCommand('SCRIPT', 'DEBUG', 'sync'));
refused($k, fn() => $k->script('load', 'return 1', 'return 2'));
var_dump($k->script('kill'), $k->getLastError());

echo "-- SLOWLOG, ACL, COMMAND\n";
var_dump(is_int($k->slowlog('len')), is_array($k->slowlog('get', 1)));
refused($k, fn() => $k->slowlog('get', '1'));
var_dump($k->acl('whoami'), $k->acl('dryrun', 'default', 'get', 'k'));
refused($k, fn() => $k->acl('DRYRUN', 'default'));
$listed = $k->command('list', 'filterby', 'pattern', 'lpo*');
sort($listed);
var_dump($k->command('getkeys', 'set', 'a', 'b'), $listed, $k->command('count') > 100);
refused($k, fn() => $k->command('list', 'filterby'));

echo "-- PUBSUB under a key prefix\n";
$subscriber = stream_socket_client("tcp://$host:$port");
fwrite($subscriber, "SUBSCRIBE p:b2news\r\n");
fgets($subscriber); // the confirmation's first line: the whole of it follows
$pre = new Kelvo($host, $port);
$pre->setOption(Kelvo::OPT_PREFIX, 'p:');
var_dump($pre->pubsub('numsub', ['b2news', 'b2none']), $pre->pubsub('CHANNELS', 'b2n*'), $pre->publish('b2news', 'x'));
refused($pre, fn() => $pre->pubsub('numsub', 'b2news'));
fclose($subscriber);

echo "-- FUNCTION\n";
$lib = "#!lua name=b2admin\nredis.register_function('b2admin_echo', function(keys, args) return args[1] end)";
var_dump($k->function('load', 'replace', $lib), count($k->function('list', 'libraryname', 'b2admin')));
var_dump($k->function('delete', 'b2admin'));
?>
--EXPECT--
-- CONFIG
{"hz":"10","slowlog-max-len":"128"} {"hz":"10"}
bool(true)
array(1) {
  ["slowlog-max-len"]=>
  string(3) "200"
}
bool(true)
bool(true)
false Kelvo\Kelvo::config(): Settings array must have all string keys sent 0 ping true
false Kelvo\Kelvo::config(): Must get at least one setting sent 0 ping true
-- CLIENT
bool(true)
bool(true)
string(8) "b2-admin"
bool(true)
string(8) "b2-admin"
int(1)
false Kelvo\Kelvo::client(): Manual CLIENT TRACKING is disabled for Kelvo sent 0 ping true
false Kelvo\Kelvo::client(): CLIENT REPLY OFF and SKIP are disabled for Kelvo sent 0 ping true
false Kelvo\Kelvo::rawCommand(): CLIENT REPLY OFF and SKIP are disabled for Kelvo sent 0 ping true
false Kelvo\Kelvo::rawCommand(): Manual CLIENT TRACKING is disabled for Kelvo sent 0 ping true
bool(true)
string(8) "b2-admin"
-- SCRIPT
int(40)
array(2) {
  [0]=>
  int(1)
  [1]=>
  int(0)
}
false Kelvo\Kelvo::script(): SCRIPT DEBUG YES and SYNC are disabled for Kelvo sent 0 ping true
false Kelvo\Kelvo::rawCommand(): SCRIPT DEBUG YES and SYNC are disabled for Kelvo sent 0 ping true
false Kelvo\Kelvo::script(): 'load' requires exactly one argument sent 0 ping true
bool(false)
string(42) "NOTBUSY No scripts in execution right now."
-- SLOWLOG, ACL, COMMAND
bool(true)
bool(true)
false Kelvo\Kelvo::slowlog(): Invalid argument specified for 'get' subcommand sent 0 ping true
string(7) "default"
bool(true)
false Kelvo\Kelvo::acl(): ACL 'DRYRUN' requires at least 2 arguments sent 0 ping true
array(1) {
  [0]=>
  string(1) "a"
}
array(2) {
  [0]=>
  string(4) "lpop"
  [1]=>
  string(4) "lpos"
}
bool(true)
false Kelvo\Kelvo::command(): 'list' subcommand requires 3 arguments sent 0 ping true
-- PUBSUB under a key prefix
array(2) {
  ["p:b2news"]=>
  int(1)
  ["p:b2none"]=>
  int(0)
}
array(1) {
  [0]=>
  string(8) "p:b2news"
}
int(1)
false Kelvo\Kelvo::pubsub(): 'numsub' subcommand requires array argument sent 0 ping true
-- FUNCTION
string(7) "b2admin"
int(1)
bool(true)
