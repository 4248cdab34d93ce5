--TEST--
Cached reads: SUNIONCARD over cached sets on a server that knows it, exact and APPROX, with LIMIT; the estimate is the server's PFCOUNT of the same members
--EXTENSIONS--
kelvo
--INI--
kelvo.invalidation_poll_freq=4000000000
--FILE--
<?php
require __DIR__ . '/reads.inc';
use Kelvo\Kelvo;

function resp_set(array $members): string
{
    $out = '~' . count($members) . '\r\n';
    foreach ($members as $m) {
        $out .= '$' . strlen($m) . '\r\n' . $m . '\r\n';
    }
    return $out;
}

$ten1 = ['a', 'b', 'c', 'd', 'e', 'f'];
$ten2 = ['e', 'f', 'g', 'h', 'i', 'j'];
$big1 = array_map(fn($i) => "member:$i", range(1, 3000));
$big2 = array_map(fn($i) => "member:$i", range(2001, 4500));
$sets = ['ten1' => $ten1, 'ten2' => $ten2, 'big1' => $big1, 'big2' => $big2, 'none' => []];

/* The reference sketches first: with polls off, cached sets are served only for a short while after the
 * link's last reply, and starting a server on a busy machine could take longer than that. */
$own = new OwnServer();
$ref = new Kelvo('127.0.0.1', $own->port);
$ref->pfadd('ten', array_merge($ten1, $ten2));
$ref->pfadd('big', array_merge($big1, $big2));

/* A valkey 9 that sends each set once; what else it meets is checked word for word. */
$steps = ['reply %2\r\n$6\r\nserver\r\n$6\r\nvalkey\r\n$7\r\nversion\r\n$5\r\n9.0.0\r\n', 'reply +OK\r\n',
          'reply +OK\r\n', 'reply +OK\r\n', 'reply =7\r\ntxt:a:1\r\n'];
foreach ($sets as $members) {
    $steps[] = 'reply ' . resp_set($members);
}
$steps[] = 'expect *7\r\n$10\r\nSUNIONCARD\r\n$1\r\n2\r\n$4\r\nten1\r\n$7\r\nnocache\r\n$6\r\nAPPROX\r\n$5\r\nLIMIT\r\n$1\r\n3\r\n';
$steps[] = 'reply :3\r\n';
foreach (['03', ' 3', '+3'] as $limit) {
    $steps[] = 'reply -ERR value is out of range, must be positive\r\n';
}
$fake = new FakeServer($steps, false);
$c = kelvo_fake_client($fake);
foreach (array_keys($sets) as $key) {
    $c->smembers($key);
}

$cases = [
    ['10 distinct', 'sunioncard', [['ten1', 'ten2']]],
    ['10 distinct LIMIT 3', 'sunioncard', [['ten1', 'ten2'], ['LIMIT' => 3]]],
    ['10 distinct LIMIT 30', 'sunioncard', [['ten1', 'ten2'], ['LIMIT' => 30]]],
    ['10 distinct APPROX', 'sunioncard', [['ten1', 'ten2'], ['APPROX']]],
    ['10 distinct APPROX LIMIT 3', 'sunioncard', [['ten1', 'ten2'], ['APPROX', 'LIMIT' => 3]]],
    ['a missing set APPROX', 'sunioncard', [['none', 'none'], ['APPROX']]],
    ['raw APPROX LIMIT 3', 'rawCommand', ['SUNIONCARD', '2', 'ten1', 'ten2', 'LIMIT', '3', 'APPROX']],
    ['4500 distinct', 'sunioncard', [['big1', 'big2']]],
    ['a set not cached', 'sunioncard', [['ten1', 'nocache'], ['APPROX', 'LIMIT' => 3]]],
    ['raw LIMIT 03', 'rawCommand', ['SUNIONCARD', '2', 'ten1', 'ten2', 'LIMIT', '03']],
    ['raw LIMIT " 3"', 'rawCommand', ['SUNIONCARD', '2', 'ten1', 'ten2', 'LIMIT', ' 3']],
    ['raw LIMIT +3', 'rawCommand', ['SUNIONCARD', '2', 'ten1', 'ten2', 'LIMIT', '+3']],
];
foreach ($cases as [$name, $method, $args]) {
    $before = $c->getBytes()[0];
    $answer = kelvo_outcome(fn() => $c->$method(...$args));
    printf("%-28s %s %s\n", $name, $c->getBytes()[0] === $before ? 'cache ' : 'server', $answer);
}

/* The server estimates with the sketch PFADD fills: a real one counts the same members. */
foreach ([['ten', ['ten1', 'ten2']], ['big', ['big1', 'big2']], ['big', ['big2', 'big1', 'big2']]] as [$hll, $keys]) {
    $before = $c->getBytes()[0];
    $approx = $c->sunioncard($keys, ['APPROX']);
    printf("APPROX %s: %s, PFCOUNT %s\n", implode(' ', $keys), $c->getBytes()[0] === $before ? 'cache' : 'server',
           $approx === $ref->pfcount($hll) ? 'equal' : "differs ($approx)");
}
?>
--EXPECT--
10 distinct                  cache  10
10 distinct LIMIT 3          cache  3
10 distinct LIMIT 30         cache  10
10 distinct APPROX           cache  10
10 distinct APPROX LIMIT 3   cache  3
a missing set APPROX         cache  0
raw APPROX LIMIT 3           cache  3
4500 distinct                cache  4500
a set not cached             server 3
raw LIMIT 03                 server false
raw LIMIT " 3"               server false
raw LIMIT +3                 server false
APPROX ten1 ten2: cache, PFCOUNT equal
APPROX big1 big2: cache, PFCOUNT equal
APPROX big2 big1 big2: cache, PFCOUNT equal
