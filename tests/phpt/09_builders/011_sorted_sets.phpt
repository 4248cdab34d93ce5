--TEST--
Sorted-set builders on a real server: ZADD's options and scores given as texts, ZINTER and ZUNION with weights, aggregates and scores, their STORE forms, ZDIFF's WITHSCORES by truth and by the bare word, the lex ranges with a count passed by name, ZRANDMEMBER with scores, ZRANGESTORE with its range options (a malformed LIMIT warns and the range is stored without it); refused scores and weights send nothing
--EXTENSIONS--
kelvo
--FILE--
<?php
require __DIR__ . '/../inc/servers.inc';
require __DIR__ . '/../inc/own_server.inc';
use Kelvo\Kelvo;

$own = new OwnServer(); // FLUSHDB reaches every client of a server
$k = new Kelvo('127.0.0.1', $own->port);
$k->select(13);
$k->flushdb();

/* member:score ..., in the server's order (the sorted-set range reads are not what is tested). */
function show($v): string
{
    if (!is_array($v)) {
        return var_export($v, true);
    }
    return implode(' ', array_map(fn($m, $s) => is_int($m) ? $s : "$m:$s", array_keys($v), $v));
}
function stored(Kelvo $k, string $key): string
{
    return implode(' ', array_map(fn($pair) => implode(':', $pair), $k->rawCommand('ZRANGE', $key, 0, -1, 'WITHSCORES')));
}

echo "-- ZADD\n";
var_dump($k->zadd('a', 1, 'x', ' 2', 'y', '3.5', 'z'), $k->zadd('a', ['xx', 'ch', 'gt'], 0, 'x', 4, 'y'));
var_dump($k->zadd('a', ['INCR'], '0.25', 'z'), $k->zadd('b', 1, 'x', '-inf', 'w', 10, 'z'));
$before = $k->getBytes()[0];
var_dump(@$k->zadd('a', 'many', 'x'), error_get_last()['message'], $k->zadd('a', 1, 'x', 2), $k->getBytes()[0] - $before);
echo stored($k, 'a'), "\n";

echo "-- ZINTER, ZUNION\n";
echo show($k->zinter(['a', 'b'])), ' / ', show($k->zinter(['a', 'b'], null, 'WITHSCORES')), "\n";
echo show($k->zinter(['a', 'b'], [2, '0.5'], ['aggregate' => 'max', 'withscores' => true])), "\n";
echo show($k->zunion(['a', 'b'], ['1', 1], ['AGGREGATE' => 'min', 'WITHSCORES'])), "\n";
var_dump($k->zunionstore('u', ['a', 'b'], null, ['withscores' => true]), $k->zinterstore('i', ['a', 'b'], [1, 3], 'sum'));
echo stored($k, 'i'), "\n";
var_dump(@$k->zinter(['a', 'b'], [1, 'heavy']), error_get_last()['message'], @$k->zinter(['a', 'b'], [1]), error_get_last()['message']);
var_dump($k->zinter([]));

echo "-- ZDIFF\n";
echo show($k->zdiff(['a', 'b'], ['withscores' => false])), ' / ', show($k->zdiff(['a', 'b'], ['withscores'])), "\n";
var_dump($k->zdiffstore('d', ['a', 'b']));

echo "-- lex\n";
$k->zadd('lex', 0, 'a', 0, 'b', 0, 'c', 0, 'd');
echo json_encode([$k->zrangebylex('lex', '-', '+', count: 2), $k->zrangebylex('lex', '(a', '+', 1, 2), $k->zrevrangebylex('lex', '[c', '-')]), "\n";
var_dump(@$k->zrangebylex('lex', '-', '+', 1), error_get_last()['message']);
var_dump($k->zlexcount('lex', '[b', '+'), @$k->zlexcount('lex', 'b', '+'), $k->zremrangebylex('lex', '[d', '+'));

echo "-- ZRANDMEMBER, ZRANGESTORE\n";
$scored = $k->zrandmember('b', ['count' => 5, 'withscores' => true]);
ksort($scored);
echo show($scored), ' / ', count($k->zrandmember('a', ['count' => -5])), ' / ', show($k->zrandmember('d', ['withscores' => 1])), "\n";
var_dump($k->zrangestore('rs', 'a', '0', '1'), stored($k, 'rs'));
var_dump($k->zrangestore('rs', 'a', '+inf', '(1', ['BYSCORE', 'REV', 'LIMIT' => [1, 1]]), stored($k, 'rs'));
var_dump($k->zrangestore('rs', 'lex', '(a', '+', ['bylex', 'withscores' => true]), stored($k, 'rs'));
var_dump(@$k->zrangestore('rs', 'a', '0', '0', ['LIMIT' => [1], 'REV']), error_get_last()['message'], stored($k, 'rs'));
$k->flushdb();
?>
--EXPECT--
-- ZADD
int(3)
int(1)
float(3.75)
int(3)
bool(false)
string(62) "Kelvo\Kelvo::zadd(): Scores must be numeric, '-inf', or '+inf'"
bool(false)
int(0)
x:1 z:3.75 y:4
-- ZINTER, ZUNION
x z / x:2 z:13.75
x:2 z:7.5
w:-INF x:1 z:3.75 y:4
int(4)
int(2)
x:4 z:33.75
bool(false)
string(71) "Kelvo\Kelvo::zinter(): Weights must be numeric or '-inf', 'inf', '+inf'"
bool(false)
string(67) "Kelvo\Kelvo::zinter(): WEIGHTS and keys array must be the same size"
bool(false)
-- ZDIFF
y / y:4
int(1)
-- lex
[["a","b"],["c","d"],["c","b","a"]]
bool(false)
string(61) "Kelvo\Kelvo::zrangebylex(): Must pass either 3 or 5 arguments"
int(3)
bool(false)
int(1)
-- ZRANDMEMBER, ZRANGESTORE
w:-INF x:1 z:10 / 5 / y:4
int(2)
string(10) "x:1 z:3.75"
int(1)
string(6) "z:3.75"
int(2)
string(7) "b:0 c:0"
int(1)
string(74) "Kelvo\Kelvo::zrangestore(): LIMIT array must be an array with two elements"
string(3) "y:4"
