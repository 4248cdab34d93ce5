--TEST--
Formatters on real replies: the command methods return the documented shapes
--EXTENSIONS--
kelvo
--FILE--
<?php
require __DIR__ . '/fake.inc';
require __DIR__ . '/../inc/own_server.inc';

$own = new OwnServer(); // FLUSHDB reaches every client of a server
$r = new Kelvo\Kelvo('127.0.0.1', $own->port);
$r->select(6);
$r->flushdb();
$r->set('s', 'v');
$r->rpush('l', 'a');
$r->hset('h', 'f1', 'x', '10', 'y');
$r->zadd('z', 1.5, 'm1', 2, 'm2');
$r->xadd('x', '1-1', ['f' => 'v']);
$r->geoadd('g', 13.361389, 38.115556, 'Palermo', 15.087269, 37.502669, 'Catania');

$calls = [
    'type string' => fn() => $r->type('s'),
    'type list' => fn() => $r->type('l'),
    'type none' => fn() => $r->type('nothing'),
    'expire' => fn() => $r->expire('s', 100),
    'expire missing' => fn() => $r->expire('nothing', 100),
    'incrbyfloat' => fn() => $r->incrByFloat('n', 1.5),
    'hkeys' => fn() => $r->hkeys('h'),
    'zpopmin' => fn() => $r->zPopMin('z'),
    'xrange' => fn() => $r->xRange('x', '-', '+'),
    'geodist' => fn() => round($r->geoDist('g', 'Palermo', 'Catania'), 2),
    'geodist missing' => fn() => $r->geoDist('g', 'Palermo', 'Nowhere'),
    'blpop timeout' => fn() => $r->blPop('empty', 0.05),
    'brpop' => fn() => $r->brPop('l', 1),
    'mget' => fn() => $r->mget(['s', 'nothing']),
    'info' => fn() => [is_int($r->info()['uptime_in_seconds']), $r->info()['redis_mode']],
];
foreach ([true, false] as $phpredis) {
    $r->setOption(Kelvo\Kelvo::OPT_PHPREDIS_COMPATIBILITY, $phpredis);
    echo $phpredis ? "phpredis mode\n" : "plain mode\n";
    $r->rpush('l', 'a');
    $r->zadd('z', 1.5, 'm1');
    foreach ($calls as $name => $call) {
        printf(" %-16s %s\n", $name, kelvo_outcome($call));
    }
}
$r->flushdb();
?>
--EXPECT--
phpredis mode
 type string      1
 type list        3
 type none        0
 expire           true
 expire missing   false
 incrbyfloat      1.5
 hkeys            ["f1","10"]
 zpopmin          {"m1":1.5}
 xrange           {"1-1":{"f":"v"}}
 geodist          166274.15
 geodist missing  false
 blpop timeout    []
 brpop            ["l","a"]
 mget             ["v",false]
 info             [true,"standalone"]
plain mode
 type string      "string"
 type list        "list"
 type none        "none"
 expire           true
 expire missing   false
 incrbyfloat      3
 hkeys            ["f1","10"]
 zpopmin          {"m1":1.5}
 xrange           {"1-1":{"f":"v"}}
 geodist          166274.15
 geodist missing  null
 blpop timeout    []
 brpop            ["l","a"]
 mget             ["v",null]
 info             [true,"standalone"]
