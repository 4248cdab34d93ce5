--TEST--
Cluster rawCommand: a command sent as given to the node a key or an address names (no prefix, no packing), names without a command id sent unchanged, commands the cluster does not offer sent to the named node; the subscribe family, MONITOR and the commands that would change a node's link or bypass the cluster's transaction are refused, and a wrong argument count is reported with the single-server text; the refusals run in a child process, which ends normally
--EXTENSIONS--
kelvo
pcntl
--FILE--
<?php
require __DIR__ . '/../inc/cluster.inc';
$c = KelvoTestCluster::shared();
$t = uniqid('raw:');
$k = new Kelvo\Cluster(null, $c->seeds, 0, 0, false, null,
                       ['use-cache' => false, 'prefix' => 'p:', 'serializer' => Kelvo\Kelvo::SERIALIZER_PHP]);
$p1 = $c->primaries[1];
$address = [KelvoTestCluster::hostOf($p1), KelvoTestCluster::port($p1)];
$onP1 = function (string $name) use ($c, $t, $p1): string {
    for ($i = 0;; $i++) {
        if ($c->owner($c->keyslot("$t:$name:$i")) === $p1) {
            return "$t:$name:$i";
        }
    }
};
$key = $onP1('k');

$cases = [
    'SET with an integer, routed by the key' => fn() => $k->rawCommand($key, 'SET', $key, 1),
    'GET in another case' => fn() => $k->rawCommand($key, 'get', $key),
    'the value as the server holds it' => fn() => $c->must($p1, 'GET', $key),
    'a split command' => fn() => $k->rawCommand($key, 'DEL', $key, "$t:other"),
    'an address and a command without id' => fn() => $k->rawCommand($address, 'NoSuchCommand', 'x'),
    'its error' => fn() => $k->getLastError(),
    'a command the cluster does not offer' => fn() => $k->rawCommand($key, 'BITFIELD', $key, 'INCRBY', 'u8', 0, 5),
    'ECHO to an address' => fn() => $k->rawCommand($address, 'ECHO', 'hello'),
];
foreach ($cases as $name => $run) {
    echo "$name: ", json_encode($run()), "\n";
}

$pid = pcntl_fork();
if ($pid === 0) {
    $refused = ['subscribe', 'PSUBSCRIBE', 'ssubscribe', 'Unsubscribe', 'punsubscribe', 'SUNSUBSCRIBE', 'monitor',
                'MULTI', 'exec', 'discard', 'watch', 'UNWATCH', 'select', 'reset', 'quit', 'hello', 'auth',
                'readonly', 'READWRITE', 'asking'];
    foreach ($refused as $name) {
        try {
            $result = json_encode($k->rawCommand($key, $name, 'x'));
        } catch (Kelvo\Exception $e) {
            $result = $e->getCode() . " " . $e->getMessage();
        }
        echo "$name: $result\n";
    }
    $arity = [
        'GET without its key' => [$key, 'GET'],
        'GET with two keys' => [$key, 'get', 'a', 'b'],
        'SET with one argument' => [$key, 'SET', 'a'],
        'MGET without keys' => [$key, 'MGET'],
        'DEL without keys' => [$key, 'del'],
    ];
    foreach ($arity as $name => $args) {
        $k->clearLastError();
        echo "$name: ", json_encode($k->rawCommand(...$args)), " ", $k->getLastError(), "\n";
    }
    $k->setOption(Kelvo\Kelvo::OPT_THROW_ON_ERROR, true);
    try {
        $k->rawCommand($key, 'HGET', 'only');
    } catch (Kelvo\Exception $e) {
        echo "thrown: ", $e->getCode(), " ", $e->getMessage(), "\n";
    }
    exit(0);
}
pcntl_waitpid($pid, $status);
echo "the child ended normally: ", json_encode(pcntl_wifexited($status) && pcntl_wexitstatus($status) === 0), "\n";
?>
--EXPECTF--
SET with an integer, routed by the key: true
GET in another case: "1"
the value as the server holds it: "1"
a split command: 1
an address and a command without id: false
its error: "ERR unknown command 'NoSuchCommand'%s"
a command the cluster does not offer: [5]
ECHO to an address: "hello"
subscribe: 2 'subscribe' command is unsupported via rawCommand().
PSUBSCRIBE: 2 'PSUBSCRIBE' command is unsupported via rawCommand().
ssubscribe: 2 'ssubscribe' command is unsupported via rawCommand().
Unsubscribe: 2 'Unsubscribe' command is unsupported via rawCommand().
punsubscribe: 2 'punsubscribe' command is unsupported via rawCommand().
SUNSUBSCRIBE: 2 'SUNSUBSCRIBE' command is unsupported via rawCommand().
monitor: 2 'monitor' command is unsupported via rawCommand().
MULTI: 2 'MULTI' command is unsupported via rawCommand().
exec: 2 'exec' command is unsupported via rawCommand().
discard: 2 'discard' command is unsupported via rawCommand().
watch: 2 'watch' command is unsupported via rawCommand().
UNWATCH: 2 'UNWATCH' command is unsupported via rawCommand().
select: 2 'select' command is unsupported via rawCommand().
reset: 2 'reset' command is unsupported via rawCommand().
quit: 2 'quit' command is unsupported via rawCommand().
hello: 2 'hello' command is unsupported via rawCommand().
auth: 2 'auth' command is unsupported via rawCommand().
readonly: 2 'readonly' command is unsupported via rawCommand().
READWRITE: 2 'READWRITE' command is unsupported via rawCommand().
asking: 2 'asking' command is unsupported via rawCommand().
GET without its key: false Wrong number of arguments for 'GET' command (argc: 0, arity: 2)
GET with two keys: false Wrong number of arguments for 'get' command (argc: 2, arity: 2)
SET with one argument: false Wrong number of arguments for 'SET' command (argc: 1, arity: -3)
MGET without keys: false Wrong number of arguments for 'MGET' command (argc: 0, arity: -2)
DEL without keys: false Wrong number of arguments for 'del' command (argc: 0, arity: -2)
thrown: 2 Wrong number of arguments for 'HGET' command (argc: 1, arity: 3)%s
the child ended normally: true
