--TEST--
Cached reads: the request each method and rawCommand form sends on a miss, and the arguments they refuse
--EXTENSIONS--
kelvo
--INI--
; the scripted server answers the handshake and commands only, not the cache's upkeep
kelvo.maxmemory=0
--FILE--
<?php
require __DIR__ . '/reads.inc';
use Kelvo\Kelvo;

$nil = 'reply _\r\n';
$int = 'reply :1\r\n';
$list = 'reply *0\r\n';
$str = 'reply $1\r\nv\r\n';
// [reply, call]: each on its own scripted server; what went out and what came back.
$cases = [
    [$str, fn($r) => $r->get('k')],
    [$str, fn($r) => $r->rawCommand('GET', 'k')],
    [$int, fn($r) => $r->strlen(7)],
    [$str, fn($r) => $r->hget('h', 5)],
    [$int, fn($r) => $r->hexists('h', 'f')],
    [$int, fn($r) => $r->hstrlen('h', 'f')],
    ['reply *2\r\n$1\r\na\r\n_\r\n', fn($r) => $r->hmget('h', ['a', '', 7, null])],
    [$nil, fn($r) => $r->hmget('h', ['', null])],
    [$int, fn($r) => $r->sismember('s', 5)],
    [$list, fn($r) => $r->smismember('s', 'a', 'b')],
    [$int, fn($r) => $r->getbit('k', 4294967295)],
    [$int, fn($r) => $r->getbit('k', 4294967296)],
    [$int, fn($r) => $r->getbit('k', -1)],
    [$int, fn($r) => $r->rawCommand('GETBIT', 'k', 'x')],
    [$int, fn($r) => $r->rawCommand('GETBIT', 'k', 7)],
    [$nil, fn($r) => $r->lindex('l', -1)],
    [$nil, fn($r) => $r->srandmember('s')],
    [$list, fn($r) => $r->srandmember('s', 1)],
    [$str, fn($r) => $r->getrange('k', 0, -1)],
    [$list, fn($r) => $r->lrange('l', 1, 2)],
    [$int, fn($r) => $r->bitcount('k')],
    [$int, fn($r) => $r->bitcount('k', 0, -1, true)],
    [$nil, fn($r) => $r->hrandfield('h')],
    [$list, fn($r) => $r->hrandfield('h', ['withvalues' => true])],
    [$list, fn($r) => $r->hrandfield('h', ['COUNT' => 3, 'withvalues' => false])],
    [$int, fn($r) => $r->pfcount('a')],
    [$int, fn($r) => $r->pfcount(['a', 'b'])],
    [$int, fn($r) => $r->pfcount([])],
    [$nil, fn($r) => $r->lpos('l', 'a')],
    [$nil, fn($r) => $r->lpos('l', 'a', ['rank' => -1, 'maxlen' => 0])],
    [$list, fn($r) => $r->lpos('l', 'a', ['count' => 0, 'maxlen' => 5, 'ignored' => 'x'])],
    [$nil, fn($r) => $r->lpos('l', 'a', ['count' => -1])],
    [$nil, fn($r) => $r->lpos('l', 'a', ['rank' => 0])],
    [$nil, fn($r) => $r->lpos('l', 'a', ['other' => 1])],
    [$int, fn($r) => $r->sintercard(['a', 'b'], 2)],
    [$int, fn($r) => $r->sintercard(['a'])],
    [$int, fn($r) => $r->sintercard(['a'], -1)],
    [$int, fn($r) => $r->sintercard([])],
    [$int, fn($r) => $r->sunioncard(['a', 'b'], ['LIMIT' => 3, 'approx'])],
    [$int, fn($r) => $r->sunioncard(['a'], ['approx' => false, 'limit' => '2'])],
    [$int, fn($r) => $r->sunioncard(['a'], ['LIMIT' => -1])],
    [$int, fn($r) => $r->sunioncard(['a'], [5])],
    [$int, fn($r) => $r->sunioncard(['a'], ['other' => 1])],
    [$int, fn($r) => $r->sdiffcard(['a', 'b'], ['APPROX'])],
    ['reply ~0\r\n', fn($r) => $r->sdiff('a', 'b')],
    ['reply ~0\r\n', fn($r) => $r->sinter(['a', 'b'])],
    [$list, fn($r) => $r->sunion()],
    [$list, fn($r) => $r->mget(['a', 'b'])],
    [$list, fn($r) => $r->mget([])],
    [$int, fn($r) => $r->exists('a', 'b')],
    [$int, fn($r) => $r->exists(['a', 'b'])],
    [$int, fn($r) => $r->exists()],
    [$int, fn($r) => $r->exists([])],
    ['reply +string\r\n', fn($r) => $r->type('k')],
    // rawCommand sends the caller's own words, whatever its parse made of them for the cache.
    [$int, fn($r) => $r->rawCommand('BITCOUNT', 'k', '1', '2', 'bit')],
    [$nil, fn($r) => $r->rawCommand('LPOS', 'k', 'a', 'RANK')],
    [$nil, fn($r) => $r->rawCommand('LPOS', 'k', 'a', 'rank', 0)],
    [$list, fn($r) => $r->rawCommand('HRANDFIELD', 'h', 'x')],
    [$int, fn($r) => $r->rawCommand('SINTERCARD', '2', 'a', 'b', 'limit', 3)],
    [$int, fn($r) => $r->rawCommand('SINTERCARD', '2', 'a')],
    [$int, fn($r) => $r->rawCommand('SDIFFCARD', '2', 'a', 'b', 'LIMIT', '3')],
    ['reply -ERR LIMIT can\'t be negative\r\n', fn($r) => $r->rawCommand('SINTERCARD', '1', 'a', 'LIMIT', '-1')],
    [$int, fn($r) => $r->rawCommand('SUNIONCARD', '1', 'a', 'approx', 'LIMIT', '2')],
    [$int, fn($r) => $r->rawCommand('SUNIONCARD', '1', 'a', 'bogus')],
];
foreach ($cases as $i => [$reply, $call]) {
    $fake = new FakeServer([$reply]);
    $r = kelvo_fake_client($fake, [Kelvo::OPT_PREFIX => 'p:', Kelvo::OPT_SERIALIZER => Kelvo::SERIALIZER_PHP]);
    $outcome = kelvo_outcome(fn() => $call($r));
    printf("%2d %-40s %s\n", $i, kelvo_sent($fake) ?: '(nothing sent)', $outcome);
}
// The GETBIT refusal throws under throw-on-error.
$fake = new FakeServer([]);
$r = kelvo_fake_client($fake, [Kelvo::OPT_THROW_ON_ERROR => true]);
echo kelvo_outcome(fn() => $r->rawCommand('GETBIT', 'k', '-1')), "\n";
?>
--EXPECTF--
0 GET p:k                                  "v"
 1 GET k                                    "v"
 2 STRLEN p:7                               1
 3 HGET p:h 5                               "v"
 4 HEXISTS p:h f                            true
 5 HSTRLEN p:h f                            1
 6 HMGET p:h a 7                            {"a":"a","7":false}
 7 (nothing sent)                           false
 8 SISMEMBER p:s i:5;                       true
 9 SMISMEMBER p:s s:1:"a"; s:1:"b";         []
10 GETBIT p:k 4294967295                    1
11 (nothing sent)                           false
12 (nothing sent)                           false
13 (nothing sent)                           false
14 GETBIT k 7                               1
15 LINDEX p:l -1                            false
16 SRANDMEMBER p:s                          false
17 SRANDMEMBER p:s 1                        []
18 GETRANGE p:k 0 -1                        "v"
19 LRANGE p:l 1 2                           []
20 BITCOUNT p:k 0 -1                        1
21 BITCOUNT p:k 0 -1 BIT                    1
22 HRANDFIELD p:h                           false
23 HRANDFIELD p:h 1 WITHVALUES              []
24 HRANDFIELD p:h 3                         []
25 PFCOUNT p:a                              1
26 PFCOUNT p:a p:b                          1

Warning: Kelvo\Kelvo::pfcount(): Must pass at least one key in %s on line %d
27 (nothing sent)                           false
28 LPOS p:l s:1:"a";                        false
29 LPOS p:l s:1:"a"; RANK -1                false
30 LPOS p:l s:1:"a"; COUNT 0 MAXLEN 5       []

Warning: Kelvo\Kelvo::lpos(): COUNT can't be negative in %s on line %d
31 LPOS p:l s:1:"a";                        false

Warning: Kelvo\Kelvo::lpos(): RANK must be negative or positive in %s on line %d
32 (nothing sent)                           false

Warning: Kelvo\Kelvo::lpos(): Unknown LPOS argument 'other' in %s on line %d
33 (nothing sent)                           false
34 SINTERCARD 2 p:a p:b LIMIT 2             1
35 SINTERCARD 1 p:a                         1

Warning: Kelvo\Kelvo::sintercard(): LIMIT cannot be negative in %s on line %d
36 (nothing sent)                           false

Warning: Kelvo\Kelvo::sintercard(): Must pass at least one input key in %s on line %d
37 (nothing sent)                           false
38 SUNIONCARD 2 p:a p:b APPROX LIMIT 3      1
39 SUNIONCARD 1 p:a LIMIT 2                 1

Warning: Kelvo\Kelvo::sunioncard(): LIMIT must be a non-negative integer in %s on line %d
40 (nothing sent)                           false

Warning: Kelvo\Kelvo::sunioncard(): Invalid SUNIONCARD option in %s on line %d
41 (nothing sent)                           false

Warning: Kelvo\Kelvo::sunioncard(): Unknown option 'other' in %s on line %d
42 (nothing sent)                           false
43 SDIFFCARD 2 p:a p:b                      1
44 SDIFF p:a p:b                            []
45 SINTER p:a p:b                           []
46 (nothing sent)                           false
47 MGET p:a p:b                             []
48 (nothing sent)                           false
49 EXISTS p:a p:b                           1
50 EXISTS p:a p:b                           1
51 (nothing sent)                           false
52 (nothing sent)                           false
53 TYPE p:k                                 1
54 BITCOUNT k 1 2 bit                       1

Warning: Kelvo\Kelvo::rawCommand(): Malformed raw LPOS command, ignoring remaining arguments in %s on line %d
55 LPOS k a RANK                            false

Warning: Kelvo\Kelvo::rawCommand(): RANK must be negative or positive in %s on line %d
56 (nothing sent)                           false
57 HRANDFIELD h x                           []
58 SINTERCARD 2 a b limit 3                 1
59 (nothing sent)                           false
60 SDIFFCARD 2 a b LIMIT 3                  1
61 SINTERCARD 1 a LIMIT -1                  false
62 SUNIONCARD 1 a approx LIMIT 2            1
63 (nothing sent)                           false
Kelvo\Exception(2) bit offset is not an integer or out of range
