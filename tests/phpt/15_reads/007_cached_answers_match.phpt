--TEST--
Cached reads: under every option that shapes a reply, the cache's answer equals the server's, for method and rawCommand forms
--EXTENSIONS--
kelvo
--FILE--
<?php
require __DIR__ . '/reads.inc';
use Kelvo\Kelvo;

$port = (int) kelvo_test_env('KELVO_TEST_PORT');
$setup = new Kelvo('127.0.0.1', $port);
$options = [
    'defaults' => [],
    'no phpredis compatibility' => [Kelvo::OPT_PHPREDIS_COMPATIBILITY => false],
    'null multibulk as null' => [Kelvo::OPT_NULL_MULTIBULK_AS_NULL => true],
    'reply literal' => [Kelvo::OPT_REPLY_LITERAL => true],
    'php serializer' => [Kelvo::OPT_SERIALIZER => Kelvo::SERIALIZER_PHP],
    'json serializer, prefix' => [Kelvo::OPT_SERIALIZER => Kelvo::SERIALIZER_JSON, Kelvo::OPT_PREFIX => 'px:'],
];
/* A hash's or a set's order is the cache's own: compared in a fixed order (a flat list of pairs, pair by pair). */
function in_order(mixed $value, bool $pairs): mixed
{
    if (!is_array($value)) {
        return $value;
    }
    if (!array_is_list($value)) {
        ksort($value);
        return $value;
    }
    if ($pairs) {
        $value = array_chunk($value, 2);
    }
    sort($value);
    return $value;
}

$reads = [
    ['get', ['ma:s']], ['get', ['ma:none']], ['get', ['ma:h']], ['strlen', ['ma:s']], ['exists', ['ma:s', 'ma:none']],
    ['type', ['ma:h']], ['type', ['ma:none']], ['mget', [['ma:s', 'ma:none', 'ma:h']]], ['hgetall', ['ma:h']],
    ['hget', ['ma:h', 'f']], ['hget', ['ma:h', 'nope']], ['hmget', ['ma:h', ['f', 'nope', '7']]],
    ['hexists', ['ma:h', 'f']], ['hstrlen', ['ma:h', 'f']], ['hlen', ['ma:h']], ['hkeys', ['ma:h']], ['hvals', ['ma:h']],
    ['smembers', ['ma:set']], ['sismember', ['ma:set', 'a']], ['scard', ['ma:set']], ['lrange', ['ma:l', 0, -1]],
    ['lrange', ['ma:l', -2, 5]], ['llen', ['ma:l']], ['getWithMeta', ['ma:s']], ['getWithMeta', ['ma:none']],
    ['hgetWithMeta', ['ma:h', 'f']], ['hgetWithMeta', ['ma:h', 'nope']],
    ['rawCommand', ['GET', 'ma:s']], ['rawCommand', ['GET', 'ma:none']], ['rawCommand', ['TYPE', 'ma:h']],
    ['rawCommand', ['HGET', 'ma:h', 'nope']], ['rawCommand', ['HEXISTS', 'ma:h', 'f']],
    ['rawCommand', ['MGET', 'ma:s', 'ma:none']], ['rawCommand', ['HGETALL', 'ma:h']],
    ['rawCommand', ['SISMEMBER', 'ma:set', 'a']], ['rawCommand', ['LRANGE', 'ma:l', '0', '-1']],
    ['rawCommand', ['SMEMBERS', 'ma:set']], ['rawCommand', ['HKEYS', 'ma:h']], ['rawCommand', ['HVALS', 'ma:h']],
];
$unorderedReads = ['hgetall', 'hkeys', 'hvals', 'smembers', 'HGETALL', 'HKEYS', 'HVALS', 'SMEMBERS'];
foreach ($options as $name => $set) {
    // The server's answer comes from an uncached twin: the caching client's first read may be a hit already.
    $c = new Kelvo('127.0.0.1', $port);
    $twin = new Kelvo('127.0.0.1', $port);
    $twin->setOption(Kelvo::OPT_USE_CACHE, false);
    foreach ($set as $option => $value) {
        $c->setOption($option, $value);
        $twin->setOption($option, $value);
    }
    // Written as raw words, prefix and all, through the caching client (its own writes drop).
    $p = $set[Kelvo::OPT_PREFIX] ?? '';
    $c->rawCommand('DEL', "{$p}ma:s", "{$p}ma:none", "{$p}ma:h", "{$p}ma:set", "{$p}ma:l");
    $c->rawCommand('SET', "{$p}ma:s", 'text');
    $c->rawCommand('HSET', "{$p}ma:h", 'f', 'eff', '7', 'seven');
    $c->rawCommand('SADD', "{$p}ma:set", 'a', 'b');
    $c->rawCommand('RPUSH', "{$p}ma:l", 'x', 'y', 'z');
    $mismatches = $remote = [];
    $local = 0;
    foreach ($reads as [$method, $args]) {
        $unordered = in_array($method, $unorderedReads, true) || in_array($args[0], $unorderedReads, true);
        // Metadata tells whether the cache answered: the one part the twin cannot share.
        $meta = str_ends_with($method, 'WithMeta');
        $order = fn($v) => $unordered ? in_order($v, $args[0] === 'HGETALL') : ($meta ? [$v[0], $v[1]['length']] : $v);
        $server = kelvo_outcome(fn() => $order(@$twin->$method(...$args)));
        $first = kelvo_outcome(fn() => $order(@$c->$method(...$args)));
        $before = $c->getBytes()[0];
        $cached = kelvo_outcome(fn() => $order(@$c->$method(...$args)));
        if ($c->getBytes()[0] == $before) {
            $local++;
        } else {
            $remote[] = $method . json_encode($args);
        }
        if ($server !== $first || $server !== $cached) {
            $mismatches[] = "$method(" . json_encode($args) . "): server $server, cache $first then $cached";
        }
    }
    $hash = $c->hgetall('ma:h');
    ksort($hash);
    $members = $c->smembers('ma:set');
    sort($members);
    printf("%-26s %2d of %d answered locally; %s; %s %s\n    asked the server again: %s\n", $name, $local,
           count($reads), $mismatches ? implode('; ', $mismatches) : 'all equal',
           json_encode($hash), json_encode($members), implode(' ', $remote));
    // Closed, not pooled: a pooled link keeps what it stored servable while it is fresh, which would
    // make the next round's unprefixed raw reads depend on timing.
    $c->close();
    $twin->close();
}
$setup->del('ma:s', 'ma:none', 'ma:h', 'ma:set', 'ma:l', 'px:ma:s', 'px:ma:h', 'px:ma:set', 'px:ma:l');
?>
--EXPECT--
defaults                   36 of 39 answered locally; all equal; {"7":"seven","f":"eff"} ["a","b"]
    asked the server again: get["ma:h"] type["ma:h"] mget[["ma:s","ma:none","ma:h"]]
no phpredis compatibility  36 of 39 answered locally; all equal; {"7":"seven","f":"eff"} ["a","b"]
    asked the server again: get["ma:h"] type["ma:h"] mget[["ma:s","ma:none","ma:h"]]
null multibulk as null     36 of 39 answered locally; all equal; {"7":"seven","f":"eff"} ["a","b"]
    asked the server again: get["ma:h"] type["ma:h"] mget[["ma:s","ma:none","ma:h"]]
reply literal              36 of 39 answered locally; all equal; {"7":"seven","f":"eff"} ["a","b"]
    asked the server again: get["ma:h"] type["ma:h"] mget[["ma:s","ma:none","ma:h"]]
php serializer             36 of 39 answered locally; all equal; {"7":"seven","f":"eff"} ["a","b"]
    asked the server again: get["ma:h"] type["ma:h"] mget[["ma:s","ma:none","ma:h"]]
json serializer, prefix    34 of 39 answered locally; all equal; {"7":"seven","f":"eff"} ["a","b"]
    asked the server again: get["ma:h"] type["ma:h"] mget[["ma:s","ma:none","ma:h"]] rawCommand["TYPE","ma:h"] rawCommand["HGET","ma:h","nope"]
