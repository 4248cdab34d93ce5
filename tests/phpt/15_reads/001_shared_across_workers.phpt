--TEST--
Cached reads: what one worker stored is served to another from shared memory, without a byte on its link; a write of a third drops it for all
--EXTENSIONS--
kelvo
pcntl
--FILE--
<?php
require __DIR__ . '/../inc/servers.inc';
require __DIR__ . '/../09_cache/workers.inc';
use Kelvo\Kelvo;

$port = (int) kelvo_test_env('KELVO_TEST_PORT');
$c = new Kelvo('127.0.0.1', $port);
$c->del('rd:s', 'rd:s2', 'rd:h', 'rd:set', 'rd:l', 'rd:none');
$c->set('rd:s', 'shared');
$c->set('rd:s2', 'two');
$c->hset('rd:h', 'f', 'v', 'g', 'w');
$c->sadd('rd:set', 'a', 'b');
$c->rpush('rd:l', 'x', 'y', 'z');

// Every read form whose reply a worker stores, and what it answers.
$reads = [
    ['get', ['rd:s']],
    ['get', ['rd:none']],
    ['mget', [['rd:s', 'rd:s2']]],
    ['hgetall', ['rd:h']],
    ['hget', ['rd:h', 'f']],
    ['hmget', ['rd:h', ['f', 'g']]],
    ['hexists', ['rd:h', 'g']],
    ['hlen', ['rd:h']],
    ['smembers', ['rd:set']],
    ['sismember', ['rd:set', 'b']],
    ['scard', ['rd:set']],
    ['lrange', ['rd:l', 0, -1]],
    ['llen', ['rd:l']],
    ['strlen', ['rd:s']],
    ['exists', ['rd:s', 'rd:s2']],
    ['type', ['rd:h']],
];
$run = function (Kelvo $w) use ($reads) {
    $w->ping();
    $before = $w->getBytes();
    $out = [];
    foreach ($reads as [$method, $args]) {
        $value = $w->$method(...$args);
        // A set's members and a hash's fields come in the cache's own order.
        if ($method === 'smembers') {
            sort($value);
        } elseif ($method === 'hgetall') {
            ksort($value);
        }
        $out[] = $method . '=' . json_encode($value);
    }
    return ['sent' => $w->getBytes() != $before, 'answers' => $out];
};

// What a client stored lives while its link does (its key lease goes with it): the storing worker waits,
// reading its link's invalidations as an idle worker's would be read (a link left unread stops being
// served after a short bound, which a busy machine could pass before the reader looks).
$stored = new StartingGate();
$release = new StartingGate();
$workers = new Workers();
$workers->start(0, function () use ($run, $port, $stored, $release) {
    $w = new Kelvo('127.0.0.1', $port);
    $result = $run($w);
    $stored->open();
    $release->wait(fn() => $w->isTracked('rd:s'));
    return json_encode($result);
});
$stored->wait();
$readers = new Workers();
$readers->start(1, fn () => json_encode($run(new Kelvo('127.0.0.1', $port))));
[$second] = $readers->finish();
$second = json_decode($second, true);

// A write of another process drops the local copy for everyone, before any push is read.
$c->set('rd:s', 'changed');
$readers->start(2, fn () => (new Kelvo('127.0.0.1', $port))->get('rd:s'));
[$third] = $readers->finish();
$release->open();
[$first] = $workers->finish();
$first = json_decode($first, true);
var_dump($first['sent'], $second['sent'], $first['answers'] === $second['answers']);
echo implode("\n", $second['answers']), "\n";
var_dump($third);
$c->del('rd:s', 'rd:s2', 'rd:h', 'rd:set', 'rd:l');
?>
--EXPECT--
bool(true)
bool(false)
bool(true)
get="shared"
get=false
mget=["shared","two"]
hgetall={"f":"v","g":"w"}
hget="v"
hmget={"f":"v","g":"w"}
hexists=true
hlen=2
smembers=["a","b"]
sismember=true
scard=2
lrange=["x","y","z"]
llen=3
strlen=6
exists=2
type=5
string(7) "changed"
