--TEST--
Cached reads in a pipeline: a WRONGTYPE answered from the cache is reported in its turn, so the slots and the last error after EXEC are the server's, whatever the order of the failed commands
--EXTENSIONS--
kelvo
--FILE--
<?php
require __DIR__ . '/../inc/own_server.inc';
use Kelvo\Kelvo;

$own = new OwnServer();
$cached = new Kelvo('127.0.0.1', $own->port);
$uncached = new Kelvo('127.0.0.1', $own->port);
$uncached->setOption(Kelvo::OPT_USE_CACHE, false);
$cached->mset(['s' => 'text', 'n' => 'not a number']);

$orders = [
    'cached WRONGTYPE, then a server error' => fn(Kelvo $c) => $c->hgetall('s')->incr('n'),
    'a server error, then cached WRONGTYPE' => fn(Kelvo $c) => $c->incr('n')->hgetall('s'),
    'cached WRONGTYPE between two reads' => fn(Kelvo $c) => $c->get('s')->smembers('s')->get('s'),
];
foreach ($orders as $name => $queue) {
    $answers = [];
    foreach (['cached' => $cached, 'server' => $uncached] as $which => $c) {
        $c->get('s'); // cached whole, so the hash and set reads answer locally
        $c->clearLastError();
        $slots = $queue($c->pipeline())->exec();
        $answers[$which] = json_encode([$slots, $c->getLastError()]);
    }
    printf("%-40s %s%s\n", $name, $answers['cached'],
           $answers['cached'] === $answers['server'] ? '' : " but the server gives {$answers['server']}");
}
?>
--EXPECT--
cached WRONGTYPE, then a server error    [[false,false],"ERR value is not an integer or out of range"]
a server error, then cached WRONGTYPE    [[false,false],"WRONGTYPE Operation against a key holding the wrong kind of value"]
cached WRONGTYPE between two reads       [["text",false,"text"],"WRONGTYPE Operation against a key holding the wrong kind of value"]
