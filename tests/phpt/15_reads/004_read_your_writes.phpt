--TEST--
Cached reads: after every write command, each read form that was cached for its keys answers what the server answers, at once and without any invalidation push
--EXTENSIONS--
kelvo
--INI--
kelvo.invalidation_poll_freq=4000000000
kelvo.databases=4
--FILE--
<?php
require __DIR__ . '/reads.inc';
use Kelvo\Kelvo;

$own = new OwnServer();
$ref = new Kelvo('127.0.0.1', $own->port);
$ref->setOption(Kelvo::OPT_USE_CACHE, false);
$c = new Kelvo('127.0.0.1', $own->port);

/* Every read form that covers a key, as [method, args]. */
function reads(string $k): array
{
    return [['get', [$k]], ['strlen', [$k]], ['exists', [$k]], ['type', [$k]], ['mget', [[$k]]],
            ['hgetall', [$k]], ['hget', [$k, 'f']], ['hmget', [$k, ['f', 'g']]], ['hexists', [$k, 'f']],
            ['hlen', [$k]], ['hkeys', [$k]], ['smembers', [$k]], ['sismember', [$k, 'a']], ['scard', [$k]],
            ['lrange', [$k, 0, -1]], ['lrange', [$k, 0, 0]], ['llen', [$k]]];
}

function answer(Kelvo $r, string $method, array $args): string
{
    $value = @$r->$method(...$args);
    if (is_array($value) && in_array($method, ['smembers', 'hkeys'], true)) {
        sort($value);
    } elseif (is_array($value) && $method === 'hgetall') {
        ksort($value);
    }
    return json_encode($value);
}

$str = fn($r, $k) => $r->set($k, 'v');
$hash = fn($r, $k) => $r->hset($k, 'f', '1', 'g', '2');
$list = fn($r, $k) => $r->rpush($k, 'a', 'b', 'c');
$set = fn($r, $k) => $r->sadd($k, 'a', 'b');
$zset = fn($r, $k) => $r->zadd($k, 1, 'a', 2, 'b');
$none = fn($r, $k) => null;
$one = fn($r, $k) => $r->set($k, 1);
// [write, what the keys hold before it (by key), the write on the caching client]; writes whose
// method has no builder of its own yet go through rawCommand, which drops the same keys.
$cases = [
    ['SET', ['k' => $str], fn($c) => $c->set('k', 'w')],
    ['SET on a hash', ['k' => $hash], fn($c) => $c->set('k', 'w')],
    ['SETEX', ['k' => $str], fn($c) => $c->setex('k', 100, 'w')],
    ['PSETEX', ['k' => $str], fn($c) => $c->psetex('k', 100000, 'w')],
    ['SETNX on no key', ['k' => $none], fn($c) => $c->setnx('k', 'w')],
    ['APPEND', ['k' => $str], fn($c) => $c->append('k', 'w')],
    ['INCR', ['k' => $one], fn($c) => $c->incr('k')],
    ['DECRBY', ['k' => $one], fn($c) => $c->decrBy('k', 5)],
    ['INCRBYFLOAT', ['k' => $one], fn($c) => $c->incrByFloat('k', 0.5)],
    ['GETSET', ['k' => $str], fn($c) => $c->getset('k', 'w')],
    ['GETDEL', ['k' => $str], fn($c) => $c->getdel('k')],
    ['SETRANGE', ['k' => $str], fn($c) => $c->setRange('k', 3, 'x')],
    ['SETBIT', ['k' => $str], fn($c) => $c->setBit('k', 1, 0)],
    ['MSET', ['k' => $str, 'k2' => $hash], fn($c) => $c->mset(['k' => 'w', 'k2' => 'w'])],
    ['MSETNX', ['k' => $none, 'k2' => $none], fn($c) => $c->msetnx(['k' => 'w', 'k2' => 'w'])],
    ['DEL', ['k' => $str, 'k2' => $list], fn($c) => $c->del('k', 'k2')],
    ['UNLINK', ['k' => $set], fn($c) => $c->unlink('k')],
    ['EXPIRE 0', ['k' => $str], fn($c) => $c->expire('k', 0)],
    ['PEXPIREAT in the past', ['k' => $hash], fn($c) => $c->pexpireAt('k', 1000)],
    ['RENAME', ['k' => $str, 'k2' => $list], fn($c) => $c->rename('k', 'k2')],
    ['RENAMENX', ['k' => $hash, 'k2' => $none], fn($c) => $c->renameNx('k', 'k2')],
    ['COPY', ['k' => $str, 'k2' => $none], fn($c) => $c->copy('k', 'k2')],
    ['MOVE', ['k' => $str], fn($c) => $c->move('k', 1)],
    ['BITOP', ['k' => $str, 'k2' => $hash], fn($c) => $c->bitop('AND', 'k2', 'k', 'k')],
    ['PFADD', ['k' => $none], fn($c) => $c->pfadd('k', ['a'])],
    ['HSET', ['k' => $hash], fn($c) => $c->hset('k', 'f', 'x')],
    ['HSETNX', ['k' => $hash], fn($c) => $c->hsetnx('k', 'h', 'x')],
    ['HMSET', ['k' => $none], fn($c) => $c->rawCommand('HMSET', 'k', 'f', 'x')],
    ['HDEL', ['k' => $hash], fn($c) => $c->hdel('k', 'f')],
    ['HINCRBY', ['k' => $hash], fn($c) => $c->hincrby('k', 'f', 2)],
    ['HINCRBYFLOAT', ['k' => $hash], fn($c) => $c->hincrbyfloat('k', 'f', 0.5)],
    ['LPUSH', ['k' => $list], fn($c) => $c->lpush('k', 'z')],
    ['RPUSHX', ['k' => $list], fn($c) => $c->rpushx('k', 'z')],
    ['LPUSHX', ['k' => $list], fn($c) => $c->lpushx('k', 'z')],
    ['LINSERT', ['k' => $list], fn($c) => $c->linsert('k', 'BEFORE', 'b', 'z')],
    ['LSET', ['k' => $list], fn($c) => $c->lset('k', 0, 'z')],
    ['LREM', ['k' => $list], fn($c) => $c->rawCommand('LREM', 'k', 0, 'a')],
    ['LTRIM', ['k' => $list], fn($c) => $c->ltrim('k', 1, 1)],
    ['LPOP', ['k' => $list], fn($c) => $c->lpop('k')],
    ['RPOP', ['k' => $list], fn($c) => $c->rpop('k')],
    ['RPOPLPUSH', ['k' => $list, 'k2' => $list], fn($c) => $c->rpoplpush('k', 'k2')],
    ['LMOVE', ['k' => $list, 'k2' => $none], fn($c) => $c->lmove('k', 'k2', 'LEFT', 'RIGHT')],
    ['BLMOVE', ['k' => $list, 'k2' => $none], fn($c) => $c->blmove('k', 'k2', 'LEFT', 'RIGHT', 0.1)],
    ['BRPOPLPUSH', ['k' => $list, 'k2' => $list], fn($c) => $c->brpoplpush('k', 'k2', 1)],
    ['LMPOP', ['k' => $list], fn($c) => $c->lmpop(['k'], 'LEFT')],
    ['BLMPOP', ['k' => $list], fn($c) => $c->blmpop(0.1, ['k'], 'LEFT')],
    ['BLPOP', ['k' => $list], fn($c) => $c->blPop(['k'], 1)],
    ['BRPOP', ['k' => $list], fn($c) => $c->brPop(['k'], 1)],
    ['SADD', ['k' => $set], fn($c) => $c->sadd('k', 'c')],
    ['SREM', ['k' => $set], fn($c) => $c->srem('k', 'a')],
    ['SPOP', ['k' => $set], fn($c) => count($c->spop('k', 2))],
    ['SMOVE', ['k' => $set, 'k2' => $none], fn($c) => $c->smove('k', 'k2', 'a')],
    ['SINTERSTORE', ['k' => $set, 'k2' => $str], fn($c) => $c->sInterStore('k2', 'k')],
    ['SUNIONSTORE', ['k' => $set, 'k2' => $list], fn($c) => $c->sUnionStore('k2', 'k')],
    ['SDIFFSTORE', ['k' => $set, 'k2' => $hash], fn($c) => $c->sDiffStore('k2', 'k')],
    ['ZADD', ['k' => $none], fn($c) => $c->zadd('k', 1, 'a')],
    ['ZREM', ['k' => $zset], fn($c) => $c->zrem('k', 'a', 'b')],
    ['ZINCRBY', ['k' => $none], fn($c) => $c->zincrby('k', 1, 'a')],
    ['ZPOPMIN', ['k' => $zset], fn($c) => $c->zPopMin('k', 2)],
    ['ZREMRANGEBYRANK', ['k' => $zset], fn($c) => $c->zRemRangeByRank('k', 0, -1)],
    ['ZUNIONSTORE', ['k' => $zset, 'k2' => $str], fn($c) => $c->rawCommand('ZUNIONSTORE', 'k2', 1, 'k')],
    ['ZRANGESTORE', ['k' => $zset, 'k2' => $set], fn($c) => $c->zrangestore('k2', 'k', 0, -1)],
    ['GEOADD', ['k' => $none], fn($c) => $c->geoadd('k', 13.36, 38.11, 'a')],
    ['XADD', ['k' => $none], fn($c) => (bool) $c->rawCommand('XADD', 'k', '*', 'f', 'v')],
    ['SORT STORE', ['k' => $list, 'k2' => $str], fn($c) => $c->sort('k', ['alpha' => true, 'store' => 'k2'])],
    ['FLUSHDB', ['k' => $str, 'k2' => $hash], fn($c) => $c->flushDB()],
    ['FLUSHALL', ['k' => $str], fn($c) => $c->flushAll()],
    ['SWAPDB', ['k' => $str, 'k2' => $list], fn($c) => $c->swapdb(0, 1)],
    ['rawCommand SET', ['k' => $str], fn($c) => $c->rawCommand('SET', 'k', 'w')],
];

$failures = 0;
foreach ($cases as [$name, $before, $write]) {
    // Set up through the caching client: a client of another identity (no cache) drops nothing of its.
    $c->flushAll();
    foreach ($before as $key => $fill) {
        $fill($c, $key);
    }
    $forms = [];
    foreach (array_keys($before) as $key) {
        foreach (reads($key) as $read) {
            $forms[] = $read;
            answer($c, ...$read);
            answer($c, ...$read);
        }
    }
    $written = json_encode(@$write($c));
    echo "$name: $written\n";
    foreach ($forms as [$method, $args]) {
        $cached = answer($c, $method, $args);
        $server = answer($ref, $method, $args);
        if ($cached !== $server) {
            $failures++;
            printf("%s (%s): %s(%s) answered %s, the server %s\n", $name, $written, $method, json_encode($args), $cached,
                   $server);
        }
    }
}
printf("%d writes, %d stale reads\n", count($cases), $failures);

// In a pipeline the write drops when queued: a read queued after it is not answered from the old copy.
$c->flushAll();
$c->set('p', 'old');
$c->get('p');
var_dump($c->pipeline()->get('p')->set('p', 'new')->get('p')->exec(), $c->get('p'));
// In a transaction too, and again when EXEC's reply comes.
$c->get('p');
var_dump($c->multi()->set('p', 'newer')->exec(), $c->get('p'));
?>
--EXPECT--
SET: true
SET on a hash: true
SETEX: true
PSETEX: true
SETNX on no key: true
APPEND: 2
INCR: 2
DECRBY: -4
INCRBYFLOAT: 1.5
GETSET: "v"
GETDEL: "v"
SETRANGE: 4
SETBIT: 1
MSET: true
MSETNX: true
DEL: 2
UNLINK: 1
EXPIRE 0: true
PEXPIREAT in the past: true
RENAME: true
RENAMENX: true
COPY: true
MOVE: 1
BITOP: 1
PFADD: 1
HSET: 0
HSETNX: true
HMSET: true
HDEL: 1
HINCRBY: 3
HINCRBYFLOAT: 1.5
LPUSH: 4
RPUSHX: 4
LPUSHX: 4
LINSERT: 4
LSET: true
LREM: 1
LTRIM: true
LPOP: "a"
RPOP: "c"
RPOPLPUSH: "c"
LMOVE: "a"
BLMOVE: "a"
BRPOPLPUSH: "c"
LMPOP: ["k",["a"]]
BLMPOP: ["k",["a"]]
BLPOP: ["k","a"]
BRPOP: ["k","c"]
SADD: 1
SREM: 1
SPOP: 2
SMOVE: true
SINTERSTORE: 2
SUNIONSTORE: 2
SDIFFSTORE: 2
ZADD: 1
ZREM: 2
ZINCRBY: 1
ZPOPMIN: {"a":1,"b":2}
ZREMRANGEBYRANK: 2
ZUNIONSTORE: 2
ZRANGESTORE: 2
GEOADD: 1
XADD: true
SORT STORE: 3
FLUSHDB: true
FLUSHALL: true
SWAPDB: true
rawCommand SET: true
69 writes, 0 stale reads
array(3) {
  [0]=>
  string(3) "old"
  [1]=>
  bool(true)
  [2]=>
  string(3) "new"
}
string(3) "new"
array(1) {
  [0]=>
  bool(true)
}
string(5) "newer"
