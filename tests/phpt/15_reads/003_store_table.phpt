--TEST--
Cached reads: what each reply stores and what it must not, shown by the reads answered locally afterwards
--EXTENSIONS--
kelvo
--INI--
kelvo.databases=2
--FILE--
<?php
require __DIR__ . '/reads.inc';
use Kelvo\Kelvo;

$port = (int) kelvo_test_env('KELVO_TEST_PORT');
$admin = new Kelvo('127.0.0.1', $port);
$admin->setOption(Kelvo::OPT_USE_CACHE, false);

/* A read and where it was answered: "local" when nothing went out on the link. */
function probe(Kelvo $c, string $method, array $args): string
{
    $before = $c->getBytes()[0];
    $value = @$c->$method(...$args);
    return sprintf('%s(%s)=%s %s', $method, implode(',', array_map('json_encode', $args)), json_encode($value),
                   $c->getBytes()[0] == $before ? 'local' : 'server');
}

// [what the server holds, the storing read, the reads that follow]
$cases = [
    'GET of a string' => [fn($a) => $a->set('st:s', 'abc'), ['get', ['st:s']],
        [['get', ['st:s']], ['strlen', ['st:s']], ['type', ['st:s']], ['exists', ['st:s']], ['hget', ['st:s', 'f']]]],
    'GET of no key' => [fn($a) => $a->del('st:n'), ['get', ['st:n']],
        [['get', ['st:n']], ['exists', ['st:n']], ['type', ['st:n']], ['strlen', ['st:n']], ['hgetall', ['st:n']]]],
    'GET of an empty string' => [fn($a) => $a->set('st:e', ''), ['get', ['st:e']],
        [['get', ['st:e']], ['strlen', ['st:e']], ['exists', ['st:e']]]],
    'STRLEN 0 of an empty string' => [fn($a) => $a->set('st:e0', ''), ['strlen', ['st:e0']],
        [['strlen', ['st:e0']], ['exists', ['st:e0']], ['get', ['st:e0']]]],
    'STRLEN 3' => [fn($a) => $a->set('st:l3', 'xyz'), ['strlen', ['st:l3']],
        [['strlen', ['st:l3']], ['get', ['st:l3']], ['exists', ['st:l3']]]],
    'HLEN 0: no key' => [fn($a) => $a->del('st:h0'), ['hlen', ['st:h0']],
        [['hlen', ['st:h0']], ['exists', ['st:h0']], ['get', ['st:h0']]]],
    'HGET nil of no key' => [fn($a) => $a->del('st:hn'), ['hget', ['st:hn', 'f']],
        [['hget', ['st:hn', 'f']], ['get', ['st:hn']], ['type', ['st:hn']], ['exists', ['st:hn']]]],
    'HGET nil of a hash' => [fn($a) => [$a->del('st:hx'), $a->hset('st:hx', 'g', '1')], ['hget', ['st:hx', 'f']],
        [['hget', ['st:hx', 'f']], ['hexists', ['st:hx', 'f']], ['hget', ['st:hx', 'g']], ['type', ['st:hx']],
         ['get', ['st:hx']]]],
    'HGET of a field, then HLEN' => [fn($a) => [$a->del('st:hl'), $a->hset('st:hl', 'f', 'v', 'g', 'w')],
        ['hget', ['st:hl', 'f']], [['hlen', ['st:hl']], ['hlen', ['st:hl']], ['hget', ['st:hl', 'f']],
         ['hgetall', ['st:hl']]]],
    'HEXISTS 0 of no key' => [fn($a) => $a->del('st:he'), ['hexists', ['st:he', 'f']],
        [['hexists', ['st:he', 'f']], ['type', ['st:he']], ['lrange', ['st:he', 0, -1]]]],
    'HEXISTS 1' => [fn($a) => [$a->del('st:h1'), $a->hset('st:h1', 'f', 'v')], ['hexists', ['st:h1', 'f']],
        [['hexists', ['st:h1', 'f']], ['hget', ['st:h1', 'f']], ['type', ['st:h1']]]],
    'SISMEMBER 0 of no key' => [fn($a) => $a->del('st:sn'), ['sismember', ['st:sn', 'm']],
        [['sismember', ['st:sn', 'm']], ['get', ['st:sn']]]],
    'SISMEMBER 0 of a set' => [fn($a) => [$a->del('st:sx'), $a->sadd('st:sx', 'a')], ['sismember', ['st:sx', 'm']],
        [['sismember', ['st:sx', 'm']], ['sismember', ['st:sx', 'a']]]],
    'HMGET all nil of no key' => [fn($a) => $a->del('st:hm'), ['hmget', ['st:hm', ['a', 'b']]],
        [['hmget', ['st:hm', ['a', 'b']]], ['exists', ['st:hm']], ['get', ['st:hm']]]],
    'HMGET of a hash' => [fn($a) => [$a->del('st:hh'), $a->hset('st:hh', 'a', '1', 'c', '3')],
        ['hmget', ['st:hh', ['a', 'b']]], [['hmget', ['st:hh', ['b', 'a']]], ['hget', ['st:hh', 'a']],
         ['hexists', ['st:hh', 'b']], ['hgetall', ['st:hh']]]],
    'EXISTS 1 of 2' => [fn($a) => [$a->set('st:x1', 1), $a->del('st:x2')], ['exists', ['st:x1', 'st:x2']],
        [['exists', ['st:x1', 'st:x2']], ['exists', ['st:x1']], ['exists', ['st:x2']]]],
    'EXISTS 2 of 2' => [fn($a) => [$a->set('st:y1', 1), $a->set('st:y2', 2)], ['exists', ['st:y1', 'st:y2']],
        [['exists', ['st:y2', 'st:y1']], ['get', ['st:y1']], ['strlen', ['st:y1']], ['type', ['st:y1']]]],
    'EXISTS 0 of 2' => [fn($a) => $a->del('st:z1', 'st:z2'), ['exists', ['st:z1', 'st:z2']],
        [['exists', ['st:z1']], ['get', ['st:z2']]]],
    'EXISTS after GET' => [fn($a) => $a->set('st:g', 'v'), ['get', ['st:g']],
        [['exists', ['st:g']], ['get', ['st:g']]]],
    'LRANGE 0 9 of 3' => [fn($a) => [$a->del('st:la'), $a->rpush('st:la', 'a', 'b', 'c')], ['lrange', ['st:la', 0, 9]],
        [['lrange', ['st:la', 0, -1]], ['lrange', ['st:la', -2, -1]], ['llen', ['st:la']], ['type', ['st:la']]]],
    'LRANGE 0 1 of 5' => [fn($a) => [$a->del('st:lb'), $a->rpush('st:lb', 1, 2, 3, 4, 5)], ['lrange', ['st:lb', 0, 1]],
        [['lrange', ['st:lb', 0, 1]], ['lrange', ['st:lb', 1, 1]], ['lrange', ['st:lb', 0, 2]],
         ['lrange', ['st:lb', -2, -1]], ['llen', ['st:lb']]]],
    'LRANGE 1 2' => [fn($a) => [$a->del('st:lc'), $a->rpush('st:lc', 1, 2, 3)], ['lrange', ['st:lc', 1, 2]],
        [['lrange', ['st:lc', 1, 2]]]],
    'LRANGE 0 5 of no key' => [fn($a) => $a->del('st:ld'), ['lrange', ['st:ld', 0, 5]],
        [['lrange', ['st:ld', 0, 5]], ['exists', ['st:ld']]]],
    'LRANGE 0 -1 of no key' => [fn($a) => $a->del('st:le'), ['lrange', ['st:le', 0, -1]],
        [['lrange', ['st:le', 0, 5]], ['exists', ['st:le']], ['get', ['st:le']]]],
    'MGET of a string and no key' => [fn($a) => [$a->set('st:m1', 'x'), $a->del('st:m2')], ['mget', [['st:m1', 'st:m2']]],
        [['get', ['st:m1']], ['get', ['st:m2']], ['mget', [['st:m1', 'st:m2']]]]],
    'SMEMBERS' => [fn($a) => [$a->del('st:sm'), $a->sadd('st:sm', 'a')], ['smembers', ['st:sm']],
        [['smembers', ['st:sm']], ['sismember', ['st:sm', 'b']], ['scard', ['st:sm']], ['type', ['st:sm']]]],
    'HGETALL' => [fn($a) => [$a->del('st:ha'), $a->hset('st:ha', 'f', 'v')], ['hgetall', ['st:ha']],
        [['hkeys', ['st:ha']], ['hvals', ['st:ha']], ['hstrlen', ['st:ha', 'f']], ['hexists', ['st:ha', 'x']],
         ['get', ['st:ha']], ['lrange', ['st:ha', 0, -1]]]],
];
$c = new Kelvo('127.0.0.1', $port);
$c->ping();
foreach ($cases as $name => [$setup, [$method, $args], $probes]) {
    $setup($admin);
    $first = probe($c, $method, $args);
    echo "$name: $first\n";
    foreach ($probes as [$m, $a]) {
        echo '    ', probe($c, $m, $a), "\n";
    }
}

// Patterns are matched against the key as stored, prefix included.
$admin->set('app:user:1', 'u');
foreach (['user:*', 'app:user:*'] as $pattern) {
    $p = new Kelvo('127.0.0.1', $port);
    $p->setOption(Kelvo::OPT_PREFIX, 'app:');
    $p->setOption(Kelvo::OPT_ALLOW_PATTERNS, [$pattern]);
    $p->get('user:1');
    echo "allow $pattern: ", probe($p, 'get', ['user:1']), "\n";
}
// A key holding a NUL byte is matched whole, not by the part before the NUL.
foreach ([[Kelvo::OPT_ALLOW_PATTERNS, 'user:1', "user:1\0x"], [Kelvo::OPT_IGNORE_PATTERNS, '*secret', "a\0secret"]]
         as [$option, $pattern, $key]) {
    $admin->set($key, 'v');
    $p = new Kelvo('127.0.0.1', $port);
    $p->setOption($option, [$pattern]);
    $p->get($key);
    echo $option === Kelvo::OPT_ALLOW_PATTERNS ? 'allow' : 'ignore', " $pattern: ", probe($p, 'get', [$key]), "\n";
    $admin->del($key);
}
// A database the shared cache keeps nothing for: never stored, never answered locally.
$d = new Kelvo('127.0.0.1', $port);
$d->select(3);
$d->set('st:db3', 'v');
$d->get('st:db3');
echo 'database 3: ', probe($d, 'get', ['st:db3']), "\n";
$d->del('st:db3');
?>
--EXPECTF--
GET of a string: get("st:s")="abc" server
    get("st:s")="abc" local
    strlen("st:s")=3 local
    type("st:s")=1 local
    exists("st:s")=1 local
    hget("st:s","f")=false local
GET of no key: get("st:n")=false server
    get("st:n")=false local
    exists("st:n")=0 local
    type("st:n")=0 local
    strlen("st:n")=0 local
    hgetall("st:n")=[] local
GET of an empty string: get("st:e")="" server
    get("st:e")="" local
    strlen("st:e")=0 local
    exists("st:e")=1 local
STRLEN 0 of an empty string: strlen("st:e0")=0 server
    strlen("st:e0")=0 server
    exists("st:e0")=1 server
    get("st:e0")="" server
STRLEN 3: strlen("st:l3")=3 server
    strlen("st:l3")=3 local
    get("st:l3")="xyz" server
    exists("st:l3")=1 local
HLEN 0: no key: hlen("st:h0")=0 server
    hlen("st:h0")=0 local
    exists("st:h0")=0 local
    get("st:h0")=false local
HGET nil of no key: hget("st:hn","f")=false server
    hget("st:hn","f")=false server
    get("st:hn")=false server
    type("st:hn")=0 local
    exists("st:hn")=0 local
HGET nil of a hash: hget("st:hx","f")=false server
    hget("st:hx","f")=false server
    hexists("st:hx","f")=false server
    hget("st:hx","g")="1" server
    type("st:hx")=5 local
    get("st:hx")=false local
HGET of a field, then HLEN: hget("st:hl","f")="v" server
    hlen("st:hl")=2 server
    hlen("st:hl")=2 local
    hget("st:hl","f")="v" local
    hgetall("st:hl")={"f":"v","g":"w"} server
HEXISTS 0 of no key: hexists("st:he","f")=false server
    hexists("st:he","f")=false server
    type("st:he")=0 server
    lrange("st:he",0,-1)=[] server
HEXISTS 1: hexists("st:h1","f")=true server
    hexists("st:h1","f")=true local
    hget("st:h1","f")="v" server
    type("st:h1")=5 local
SISMEMBER 0 of no key: sismember("st:sn","m")=false server
    sismember("st:sn","m")=false server
    get("st:sn")=false server
SISMEMBER 0 of a set: sismember("st:sx","m")=false server
    sismember("st:sx","m")=false server
    sismember("st:sx","a")=true server
HMGET all nil of no key: hmget("st:hm",["a","b"])={"a":false,"b":false} server
    hmget("st:hm",["a","b"])={"a":false,"b":false} server
    exists("st:hm")=0 server
    get("st:hm")=false local
HMGET of a hash: hmget("st:hh",["a","b"])={"a":"1","b":false} server
    hmget("st:hh",["b","a"])={"b":false,"a":"1"} local
    hget("st:hh","a")="1" local
    hexists("st:hh","b")=false local
    hgetall("st:hh")={"a":"1","c":"3"} server
EXISTS 1 of 2: exists("st:x1","st:x2")=1 server
    exists("st:x1","st:x2")=1 server
    exists("st:x1")=1 server
    exists("st:x2")=0 server
EXISTS 2 of 2: exists("st:y1","st:y2")=2 server
    exists("st:y2","st:y1")=2 local
    get("st:y1")="1" server
    strlen("st:y1")=1 local
    type("st:y1")=1 local
EXISTS 0 of 2: exists("st:z1","st:z2")=0 server
    exists("st:z1")=0 local
    get("st:z2")=false local
EXISTS after GET: get("st:g")="v" server
    exists("st:g")=1 local
    get("st:g")="v" local
LRANGE 0 9 of 3: lrange("st:la",0,9)=["a","b","c"] server
    lrange("st:la",0,-1)=["a","b","c"] local
    lrange("st:la",-2,-1)=["b","c"] local
    llen("st:la")=3 local
    type("st:la")=3 local
LRANGE 0 1 of 5: lrange("st:lb",0,1)=["1","2"] server
    lrange("st:lb",0,1)=["1","2"] local
    lrange("st:lb",1,1)=["2"] local
    lrange("st:lb",0,2)=["1","2","3"] server
    lrange("st:lb",-2,-1)=["4","5"] server
    llen("st:lb")=5 server
LRANGE 1 2: lrange("st:lc",1,2)=["2","3"] server
    lrange("st:lc",1,2)=["2","3"] server
LRANGE 0 5 of no key: lrange("st:ld",0,5)=[] server
    lrange("st:ld",0,5)=[] server
    exists("st:ld")=0 server
LRANGE 0 -1 of no key: lrange("st:le",0,-1)=[] server
    lrange("st:le",0,5)=[] local
    exists("st:le")=0 local
    get("st:le")=false local
MGET of a string and no key: mget(["st:m1","st:m2"])=["x",false] server
    get("st:m1")="x" local
    get("st:m2")=false server
    mget(["st:m1","st:m2"])=["x",false] local
SMEMBERS: smembers("st:sm")=["a"] server
    smembers("st:sm")=["a"] local
    sismember("st:sm","b")=false local
    scard("st:sm")=1 local
    type("st:sm")=2 local
HGETALL: hgetall("st:ha")={"f":"v"} server
    hkeys("st:ha")=["f"] local
    hvals("st:ha")=["v"] local
    hstrlen("st:ha","f")=1 local
    hexists("st:ha","x")=false local
    get("st:ha")=false local
    lrange("st:ha",0,-1)=false local
allow user:*: get("user:1")="u" server
allow app:user:*: get("user:1")="u" local
allow user:1: get("user:1\u0000x")="v" server
ignore *secret: get("a\u0000secret")="v" server

Warning: Kelvo\Kelvo::select(): Kelvo is only configured for 2 in-memory databases in %s on line %d
database 3: get("st:db3")="v" server
