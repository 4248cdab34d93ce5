--TEST--
Cached reads: sorted-set ranges answered from a stored whole set, and score ranges from a stored part whose covered bounds enclose theirs, where the bounds are read as the server reads them; left to the server otherwise
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
$c->rawCommand('ZADD', 'z', '1', 'one', '2', 'two', '3', 'three', '4', 'four');
$c->rawCommand('ZADD', 'lex', '0', 'a', '0', 'ab', '0', 'b', '0', 'bc', '0', 'c');
$c->rawCommand('ZADD', 'z2', '1', 'one', '2', 'two');
$c->rawCommand('ZADD', 'mixed', '1', 'b', '2', 'a', '3', 'c');

/* [the read that stores, the read asked afterwards] */
$cases = [
    ['rank, whole', ['zrange', ['z', 0, -1, ['WITHSCORES' => true]]], ['zrange', ['z', 1, 2]]],
    ['rank, reversed', ['zrange', ['z', 0, -1, true]], ['zrevrange', ['z', 0, 0]]],
    ['rank past the end', ['zrange', ['z', 0, -1, true]], ['zrange', ['z', 5, 10]]],
    ['rank with scores', ['zrange', ['z', 0, -1, true]], ['zrange', ['z', -2, -1, true]]],
    ['score from a rank store', ['zrange', ['z', 0, -1, true]], ['zrangebyscore', ['z', 2, 3]]],
    ['rank given as 1.5', ['zrange', ['z', 0, -1, true]], ['zrange', ['z', '1.5', 2]]],
    ['score, whole', ['zrangebyscore', ['z', '-inf', '+inf', ['withscores' => true]]], ['zrangebyscore', ['z', '(1', 3]]],
    ['score, reversed with scores', ['zrangebyscore', ['z', '-inf', '+inf', true]], ['zrevrangebyscore', ['z', '+inf', '(2', true]]],
    ['score LIMIT 1 2', ['zrangebyscore', ['z', '-inf', '+inf', true]], ['zrangebyscore', ['z', '-inf', '+inf', ['limit' => [1, 2]]]]],
    ['score LIMIT -1 2', ['zrangebyscore', ['z', '-inf', '+inf', true]], ['zrangebyscore', ['z', '-inf', '+inf', ['limit' => [-1, 2]]]]],
    ['score LIMIT 1 -1', ['zrangebyscore', ['z', '-inf', '+inf', true]], ['zrangebyscore', ['z', '-inf', '+inf', ['limit' => [1, -1]]]]],
    ['score LIMIT near 2^63', ['zrangebyscore', ['z', '-inf', '+inf', true]], ['zrangebyscore', ['z', '-inf', '+inf', ['limit' => [PHP_INT_MAX - 1, 1]]]]],
    ['score (-inf', ['zrangebyscore', ['z', '-inf', '+inf', true]], ['zrangebyscore', ['z', '(-inf', '3']]],
    ['score 0x10', ['zrangebyscore', ['z', '-inf', '+inf', true]], ['zrangebyscore', ['z', '0x1', '3']]],
    ['score infinity', ['zrangebyscore', ['z', '-inf', '+inf', true]], ['zrangebyscore', ['z', '1', 'infinity']]],
    ['score 10abc', ['zrangebyscore', ['z', '-inf', '+inf', true]], ['zrangebyscore', ['z', '1', '10abc']]],
    ['score stored without scores', ['zrangebyscore', ['z2', '-inf', '+inf']], ['zrangebyscore', ['z2', '1', '2']]],
    ['lex, whole', ['zrange', ['lex', '-', '+', ['BYLEX']]], ['zrange', ['lex', '[b', '[c', ['BYLEX']]]],
    ['lex, exclusive', ['zrange', ['lex', '-', '+', ['BYLEX']]], ['zrange', ['lex', '(b', '[c', ['BYLEX']]]],
    ['lex, + as start', ['zrange', ['lex', '-', '+', ['BYLEX']]], ['zrange', ['lex', '+', '[c', ['BYLEX']]]],
    ['lex, reversed', ['zrange', ['lex', '-', '+', ['BYLEX']]], ['zrange', ['lex', '[c', '(a', ['BYLEX', 'REV']]]],
    ['lex without a bracket', ['zrange', ['lex', '-', '+', ['BYLEX']]], ['zrange', ['lex', 'b', '[c', ['BYLEX']]]],
    ['lex over unequal scores', ['zrange', ['mixed', '-', '+', ['BYLEX']]], ['zrange', ['mixed', '[a', '[b', ['BYLEX']]]],
    ['LIMIT on a rank query', ['zrange', ['z', 0, -1, true]], ['zrange', ['z', 0, -1, ['limit' => [0, 1]]]]],
    ['a key known missing', ['exists', ['none']], ['zrange', ['none', 0, 5, true]]],
    ['raw, with scores', ['zrange', ['z', 0, -1, true]], ['rawCommand', ['ZRANGE', 'z', '0', '1', 'WITHSCORES']]],
    ['raw by score, reversed', ['zrangebyscore', ['z', '-inf', '+inf', true]], ['rawCommand', ['ZRANGE', 'z', '3', '1', 'BYSCORE', 'REV', 'LIMIT', '0', '1']]],
];
foreach ($cases as [$name, [$fm, $fa], [$m, $a]]) {
    $c->$fm(...$fa);
    $before = $c->getBytes()[0];
    $answer = kelvo_outcome(fn() => @$c->$m(...$a));
    printf("%-32s %s %s\n", $name, $c->getBytes()[0] === $before ? 'cache ' : 'server', $answer);
}

echo "-- parts of a set, by score\n";
/* Each case starts from a fresh key, so only its own read can have stored a part. */
$fresh = function () use ($c) {
    $c->rawCommand('DEL', 'p');
    $c->rawCommand('ZADD', 'p', '10', 'ten', '20', 'twenty', '50', 'fifty', '100', 'hundred', '150', 'one-fifty');
};
$scores = ['withscores' => true];
$parts = [
    ['[0, 100], asked 10 (50', ['zrangebyscore', ['p', 0, 100, $scores]], ['zrangebyscore', ['p', 10, '(50']]],
    ['[0, 100], asked with scores', ['zrangebyscore', ['p', 0, 100, $scores]], ['zrangebyscore', ['p', 10, '(50', $scores]]],
    ['[0, 100], asked 10 200', ['zrangebyscore', ['p', 0, 100, $scores]], ['zrangebyscore', ['p', 10, 200]]],
    ['[0, 100], asked -1 50', ['zrangebyscore', ['p', 0, 100, $scores]], ['zrangebyscore', ['p', -1, 50]]],
    ['[0, 100], asked 0 5', ['zrangebyscore', ['p', 0, 100, $scores]], ['zrangebyscore', ['p', 0, 5]]],
    ['[0, 100], asked (100 100', ['zrangebyscore', ['p', 0, 100, $scores]], ['zrangebyscore', ['p', '(100', 100]]],
    ['[0, 100], asked ranks 0 -1', ['zrangebyscore', ['p', 0, 100, $scores]], ['zrange', ['p', 0, -1]]],
    ['[0, 100], asked -inf +inf', ['zrangebyscore', ['p', 0, 100, $scores]], ['zrangebyscore', ['p', '-inf', '+inf']]],
    ['reversed, asked 20 50', ['zrevrangebyscore', ['p', 100, 0, true]], ['zrangebyscore', ['p', 20, 50, true]]],
    ['reversed, asked reversed LIMIT', ['zrevrangebyscore', ['p', 100, 0, true]], ['zrevrangebyscore', ['p', 100, '(10', ['limit' => [1, 2]]]]],
    ['(10 100, asked 10 50', ['zrangebyscore', ['p', '(10', 100, $scores]], ['zrangebyscore', ['p', 10, 50]]],
    ['(10 100, asked (10 50', ['zrangebyscore', ['p', '(10', 100, $scores]], ['zrangebyscore', ['p', '(10', 50]]],
    ['0 (100, asked 50 100', ['zrangebyscore', ['p', 0, '(100', $scores]], ['zrangebyscore', ['p', 50, 100]]],
    ['0 (100, asked 50 (100', ['zrangebyscore', ['p', 0, '(100', $scores]], ['zrangebyscore', ['p', 50, '(100']]],
    ['0 1e2, asked 50 100', ['zrangebyscore', ['p', 0, '1e2', $scores]], ['zrangebyscore', ['p', 50, 100]]],
    ['without scores, asked 10 (50', ['zrangebyscore', ['p', 0, 100]], ['zrangebyscore', ['p', 10, '(50']]],
    ['LIMIT 0 10 reached the end', ['zrangebyscore', ['p', 0, 100, $scores + ['limit' => [0, 10]]]], ['zrangebyscore', ['p', 20, 50]]],
    ['LIMIT 0 -1', ['zrangebyscore', ['p', 0, 100, $scores + ['limit' => [0, -1]]]], ['zrangebyscore', ['p', 20, 50]]],
    ['LIMIT 0 2 filled its count', ['zrangebyscore', ['p', 0, 100, $scores + ['limit' => [0, 2]]]], ['zrangebyscore', ['p', 0, 10]]],
    ['LIMIT 1 10 skipped one', ['zrangebyscore', ['p', 0, 100, $scores + ['limit' => [1, 10]]]], ['zrangebyscore', ['p', 20, 50]]],
    ['ZRANGE BYSCORE, asked raw', ['zrange', ['p', 0, 100, ['BYSCORE', 'WITHSCORES']]], ['rawCommand', ['ZRANGEBYSCORE', 'p', '10', '(50', 'WITHSCORES']]],
    ['raw, asked by method', ['rawCommand', ['ZRANGE', 'p', '0', '100', 'BYSCORE', 'WITHSCORES']], ['zrange', ['p', 100, 20, ['BYSCORE', 'REV']]]],
];
foreach ($parts as [$name, [$fm, $fa], [$m, $a]]) {
    $fresh();
    $c->$fm(...$fa);
    $before = $c->getBytes()[0];
    $answer = kelvo_outcome(fn() => $c->$m(...$a));
    printf("%-32s %s %s\n", $name, $c->getBytes()[0] === $before ? 'cache ' : 'server', $answer);
}
$fresh();
$c->zrangebyscore('p', 0, 100, $scores);
$c->zadd('p', 30, 'thirty');
printf("%-32s %s\n", 'a write drops the part', json_encode($c->zrangebyscore('p', 10, 50)));

echo "-- refusals\n";
$before = $c->getBytes()[0];
var_dump($c->rawCommand('ZRANGE', 'z', '0', '-1', 'LIMIT', '0', '1'), $c->getBytes()[0] === $before);
$c->zrange('z', 0, -1, true);
var_dump($c->zrange('z', 1, -1, ['LIMIT' => [1]]));

echo "-- a write drops the stored range\n";
$c->zadd('z', 5, 'five');
var_dump($c->zrange('z', -1, -1));
?>
--EXPECTF--
rank, whole                      cache  ["two","three"]
rank, reversed                   cache  ["four"]
rank past the end                cache  []
rank with scores                 cache  {"three":3,"four":4}
score from a rank store          server ["two","three"]
rank given as 1.5                server false
score, whole                     cache  ["two","three"]
score, reversed with scores      cache  {"four":4,"three":3}
score LIMIT 1 2                  cache  ["two","three"]
score LIMIT -1 2                 cache  []
score LIMIT 1 -1                 cache  ["two","three","four"]
score LIMIT near 2^63            server []
score (-inf                      cache  ["one","two","three"]
score 0x10                       server ["one","two","three"]
score infinity                   server ["one","two","three","four"]
score 10abc                      server false
score stored without scores      server ["one","two"]
lex, whole                       cache  ["b","bc","c"]
lex, exclusive                   cache  ["bc","c"]
lex, + as start                  cache  []
lex, reversed                    cache  ["c","bc","b","ab"]
lex without a bracket            server false
lex over unequal scores          server %s
LIMIT on a rank query            server false
a key known missing              cache  []
raw, with scores                 cache  [["one",1],["two",2]]
raw by score, reversed           cache  ["three"]
-- parts of a set, by score
[0, 100], asked 10 (50           cache  ["ten","twenty"]
[0, 100], asked with scores      cache  {"ten":10,"twenty":20}
[0, 100], asked 10 200           server ["ten","twenty","fifty","hundred","one-fifty"]
[0, 100], asked -1 50            server ["ten","twenty","fifty"]
[0, 100], asked 0 5              cache  []
[0, 100], asked (100 100         cache  []
[0, 100], asked ranks 0 -1       server ["ten","twenty","fifty","hundred","one-fifty"]
[0, 100], asked -inf +inf        server ["ten","twenty","fifty","hundred","one-fifty"]
reversed, asked 20 50            cache  {"twenty":20,"fifty":50}
reversed, asked reversed LIMIT   cache  ["fifty","twenty"]
(10 100, asked 10 50             server ["ten","twenty","fifty"]
(10 100, asked (10 50            cache  ["twenty","fifty"]
0 (100, asked 50 100             server ["fifty","hundred"]
0 (100, asked 50 (100            cache  ["fifty"]
0 1e2, asked 50 100              cache  ["fifty","hundred"]
without scores, asked 10 (50     server ["ten","twenty"]
LIMIT 0 10 reached the end       cache  ["twenty","fifty"]
LIMIT 0 -1                       cache  ["twenty","fifty"]
LIMIT 0 2 filled its count       server ["ten"]
LIMIT 1 10 skipped one           server ["twenty","fifty"]
ZRANGE BYSCORE, asked raw        cache  [["ten",10],["twenty",20]]
raw, asked by method             cache  ["hundred","fifty","twenty"]
a write drops the part           ["ten","twenty","thirty","fifty"]
-- refusals
bool(false)
bool(true)

Warning: Kelvo\Kelvo::zrange(): LIMIT array must be an array with two elements in %s on line %d
array(3) {
  [0]=>
  string(3) "two"
  [1]=>
  string(5) "three"
  [2]=>
  string(4) "four"
}
-- a write drops the stored range
array(1) {
  [0]=>
  string(4) "five"
}
