--TEST--
Cached reads: what a cached value answers without the server, and what it leaves to the server
--EXTENSIONS--
kelvo
--INI--
kelvo.invalidation_poll_freq=4000000000
--FILE--
<?php
require __DIR__ . '/reads.inc';
use Kelvo\Kelvo;

$own = new OwnServer();
$c = new Kelvo('127.0.0.1', $own->port);
$c->rawCommand('SET', 'bits', "\xff\x00");
$c->rawCommand('SET', 'one', "\xff");
$c->rpush('l', 'a', 'b', 'a', 'a');
$c->rpush('long', 'p', 'q', 'r', 's', 't');
$c->sadd('a', 1, 2, 3);
$c->sadd('b', 1, 2, 3, 4, 5);
$c->sadd('five', 'm1', 'm2', 'm3', 'm4', 'm5');
$c->sadd('five2', 'm1', 'm2', 'm3', 'm4', 'm5', 'm6');
$c->sadd('two', 'x', 'y');
$c->hset('h', 'f', 'v', 'g', 'w', 'e', 'u');
$c->set('text', 'not a sketch');

/* [what fills the cache, the read]: each read is asked once the fills are stored. */
$cases = [
    ['bitcount BIT 0 -1 of FF 00', [['get', ['bits']]], 'bitcount', ['bits', 0, -1, true]],
    ['bitcount BIT 1 6 of FF', [['get', ['one']]], 'bitcount', ['one', 1, 6, true]],
    ['raw bitcount with a start alone', [['get', ['bits']]], 'rawCommand', ['BITCOUNT', 'bits', '0']],
    ['raw bitcount in an unknown unit', [['get', ['bits']]], 'rawCommand', ['BITCOUNT', 'bits', '0', '1', 'WORD']],
    ['getbit past the end', [['get', ['one']]], 'getbit', ['one', 100]],
    ['raw getbit at 2^32', [['get', ['one']]], 'rawCommand', ['GETBIT', 'one', '4294967296']],
    ['raw getrange of hex bounds', [['get', ['bits']]], 'rawCommand', ['GETRANGE', 'bits', '0x1', '1']],
    ['raw getrange of 10abc', [['get', ['bits']]], 'rawCommand', ['GETRANGE', 'bits', '10abc', '1']],
    ['raw getrange of -0', [['get', ['bits']]], 'rawCommand', ['GETRANGE', 'bits', '-0', '1']],
    ['lpos a', [['lrange', ['l', 0, -1]]], 'lpos', ['l', 'a']],
    ['lpos a RANK 2', [['lrange', ['l', 0, -1]]], 'lpos', ['l', 'a', ['RANK' => 2]]],
    ['lpos a RANK -1', [['lrange', ['l', 0, -1]]], 'lpos', ['l', 'a', ['RANK' => -1]]],
    ['lpos a COUNT 0', [['lrange', ['l', 0, -1]]], 'lpos', ['l', 'a', ['COUNT' => 0]]],
    ['lpos a COUNT 2 RANK -1', [['lrange', ['l', 0, -1]]], 'lpos', ['l', 'a', ['COUNT' => 2, 'RANK' => -1]]],
    ['lpos a MAXLEN 2 COUNT 0', [['lrange', ['l', 0, -1]]], 'lpos', ['l', 'a', ['MAXLEN' => 2, 'COUNT' => 0]]],
    ['lpos RANK of the smallest integer', [['lrange', ['l', 0, -1]]], 'lpos', ['l', 'a', ['RANK' => PHP_INT_MIN]]],
    ['lpos of a missing list', [['lrange', ['nol', 0, -1]]], 'lpos', ['nol', 'a']],
    ['lpos of a missing list with a count', [['lrange', ['nol', 0, -1]]], 'lpos', ['nol', 'a', ['COUNT' => 0]]],
    ['lindex -100 of a whole list', [['lrange', ['l', 0, -1]]], 'lindex', ['l', -100]],
    ['lindex 1 of a prefix', [['lrange', ['long', 0, 2]]], 'lindex', ['long', 1]],
    ['lindex -1 of a prefix', [['lrange', ['long', 0, 2]]], 'lindex', ['long', -1]],
    ['lindex -1 of a prefix whose length is known', [['lrange', ['long', 0, 2]], ['llen', ['long']]], 'lindex', ['long', -1]],
    ['smismember', [['smembers', ['a']]], 'smismember', ['a', 1, 9]],
    ['sdiff a b', [['smembers', ['a']], ['smembers', ['b']]], 'sdiff', ['a', 'b']],
    ['sdiff b a', [['smembers', ['a']], ['smembers', ['b']]], 'sdiff', ['b', 'a']],
    ['sdiff a a', [['smembers', ['a']]], 'sdiff', ['a', 'a']],
    ['sdiff a and a set not cached', [['smembers', ['a']]], 'sdiff', ['a', 'two']],
    ['sintercard LIMIT 2', [['smembers', ['five']], ['smembers', ['five2']]], 'sintercard', [['five', 'five2'], 2]],
    ['sinter with a hash', [['smembers', ['a']], ['hgetall', ['h']]], 'sinter', ['a', 'h']],
    ['sdiffcard, unknown to this server', [['smembers', ['a']]], 'sdiffcard', [['a']]],
    ['sunion of a and a missing set', [['smembers', ['a']], ['smembers', ['none']]], 'sunion', ['a', 'none']],
    ['srandmember 0', [['smembers', ['two']]], 'srandmember', ['two', 0]],
    ['srandmember 5 of two', [['smembers', ['two']]], 'srandmember', ['two', 5]],
    ['srandmember of the smallest integer', [['smembers', ['two']]], 'srandmember', ['two', PHP_INT_MIN]],
    ['pfcount of a missing key', [['get', ['nohll']]], 'pfcount', ['nohll']],
    ['pfcount of a string that is no sketch', [['get', ['text']]], 'pfcount', ['text']],
    ['smembers in the server\'s order', [['smembers', ['a']]], 'smembers', ['a']],
    ['hgetall in the server\'s order', [['hgetall', ['h']]], 'hgetall', ['h']],
];
$c->setOption(Kelvo::OPT_THROW_ON_ERROR, false);
foreach ($cases as [$name, $fills, $method, $args]) {
    foreach ($fills as [$m, $a]) {
        @$c->$m(...$a);
    }
    $before = $c->getBytes()[0];
    $answer = kelvo_outcome(function () use ($c, $method, $args) {
        $value = @$c->$method(...$args);
        // Which members a hashed set gives first is the server's choice.
        if ($method === 'srandmember' && is_array($value)) {
            sort($value);
        }
        return $value;
    });
    $where = $c->getBytes()[0] === $before ? 'cache ' : 'server';
    printf("%-46s %s %s\n", $name, $where, $answer);
}
$c->srandmember('two', -5) === false ?: print("srandmember -5: " . count($c->srandmember('two', -5)) . " members\n");
$h = $c->hrandfield('h', ['count' => -3, 'withvalues' => true]);
echo "hrandfield -3 WITHVALUES: ", count(array_diff_assoc($h, ['f' => 'v', 'g' => 'w', 'e' => 'u'])) === 0 ? 'fields of h with their values' : json_encode($h), "\n";
?>
--EXPECT--
bitcount BIT 0 -1 of FF 00                     cache  8
bitcount BIT 1 6 of FF                         cache  6
raw bitcount with a start alone                server false
raw bitcount in an unknown unit                server false
getbit past the end                            cache  0
raw getbit at 2^32                             server false
raw getrange of hex bounds                     server false
raw getrange of 10abc                          server false
raw getrange of -0                             server false
lpos a                                         cache  0
lpos a RANK 2                                  cache  2
lpos a RANK -1                                 cache  3
lpos a COUNT 0                                 cache  [0,2,3]
lpos a COUNT 2 RANK -1                         cache  [3,2]
lpos a MAXLEN 2 COUNT 0                        cache  [0]
lpos RANK of the smallest integer              server 3
lpos of a missing list                         cache  false
lpos of a missing list with a count            cache  []
lindex -100 of a whole list                    cache  false
lindex 1 of a prefix                           cache  "q"
lindex -1 of a prefix                          server "t"
lindex -1 of a prefix whose length is known    server "t"
smismember                                     cache  [1,0]
sdiff a b                                      cache  []
sdiff b a                                      cache  ["4","5"]
sdiff a a                                      cache  []
sdiff a and a set not cached                   server ["1","2","3"]
sintercard LIMIT 2                             cache  2
sinter with a hash                             cache  false
sdiffcard, unknown to this server              server false
sunion of a and a missing set                  cache  ["1","2","3"]
srandmember 0                                  cache  []
srandmember 5 of two                           cache  ["x","y"]
srandmember of the smallest integer            server false
pfcount of a missing key                       cache  0
pfcount of a string that is no sketch          server false
smembers in the server's order                 cache  ["1","2","3"]
hgetall in the server's order                  cache  {"f":"v","g":"w","e":"u"}
srandmember -5: 5 members
hrandfield -3 WITHVALUES: fields of h with their values
