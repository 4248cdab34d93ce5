--TEST--
Cluster full scan: MATCH, TYPE and COUNT options, OPT_SCAN's retry and prefix settings as SCAN honours them, and the generator's own methods (stepping as foreach does, the refused ones, no clone, no foreach by reference)
--FILE--
<?php
require __DIR__ . '/../inc/cluster.inc';
$t = KelvoTestCluster::shared();
$c = new Kelvo\Cluster(null, $t->seeds);
$ns = 'nw151-' . getmypid();

// 2,000 strings, one hash, one target string, under the test's own tags.
for ($tag = 0; $tag < 20; $tag++) {
    $pairs = [];
    for ($i = 0; $i < 100; $i++) {
        $pairs["{{$ns}:$tag}:filler$i"] = $i;
    }
    $c->mset($pairs);
}
$c->set("{{$ns}:0}:target", 'x');
$c->hset("{{$ns}:1}:hash", 'f', 'v');

function collect(Generator $g): array
{
    $pages = [];
    foreach ($g as $page) {
        $pages[] = $page;
    }
    return $pages;
}

function keysOf(array $pages): array
{
    $keys = array_values(array_unique(array_merge(...$pages)));
    sort($keys);
    return $keys;
}

foreach ([
    'type hash' => ["{{$ns}:*", 0, 'hash'],
    'type string, one key' => ["{{$ns}:*target", 0, 'string'],
    'no match' => ["{{$ns}:*nothing", 1000, null],
] as $case => $args) {
    printf("%s: %s\n", $case, implode(' ', str_replace("{{$ns}:", '', keysOf(collect($c->fullscan(...$args))))));
}

// Without SCAN_RETRY empty pages are produced; with it only the very last page may be empty.
foreach ([Kelvo\Kelvo::SCAN_NORETRY, Kelvo\Kelvo::SCAN_RETRY] as $retry) {
    var_dump($c->setOption(Kelvo\Kelvo::OPT_SCAN, $retry));
    $pages = collect($c->fullscan("{{$ns}:*target", 10));
    $emptyBeforeLast = count(array_filter(array_slice($pages, 0, -1), fn($p) => $p === []));
    printf("retry %d: %s, empty pages before the last: %s\n", $retry, implode(' ', keysOf($pages)) === "{{$ns}:0}:target" ? 'target' : 'WRONG',
           $emptyBeforeLast > 0 ? 'some' : 'none');
}

// The key prefix goes in front of the pattern only under SCAN_PREFIX, as with SCAN.
$p = new Kelvo\Cluster(null, $t->seeds, 0, 0, false, null, ['prefix' => "$ns-p:"]);
$p->set('{a}k1', 1);
$p->set('{b}k2', 2);
foreach ([[Kelvo\Kelvo::SCAN_PREFIX, '{*'], [Kelvo\Kelvo::SCAN_NOPREFIX, '{*'], [Kelvo\Kelvo::SCAN_NOPREFIX, "$ns-p:*"]] as [$mode, $match]) {
    $p->setOption(Kelvo\Kelvo::OPT_SCAN, $mode);
    $found = array_filter(keysOf(collect($p->fullscan($match, 1000)) ?: [[]]), fn($k) => str_starts_with($k, "$ns-p:"));
    printf("scan mode %d, match %s: %s\n", $mode, str_replace($ns, 'NS', $match), implode(' ', str_replace($ns, 'NS', $found)));
}

// The generator's methods step it as foreach does.
$g = $c->fullscan("{{$ns}:*", 1000);
$g->rewind();
var_dump($g instanceof Generator, $g->valid(), $g->key());
$first = $g->current();
var_dump(is_array($first) && $first !== [], $g->current() === $first);
$g->next();
var_dump($g->key());
$keys = $first;
for (; $g->valid(); $g->next()) {
    array_push($keys, ...$g->current());
}
var_dump(count(array_unique($keys)), $g->current(), $g->key());
foreach (['send' => fn() => $g->send(1), 'throw' => fn() => $g->throw(new Exception('x')),
          'getReturn' => fn() => $g->getReturn(), 'clone' => fn() => clone $g,
          'rewind after a step' => fn() => $g->rewind(),
          'foreach by reference' => function () use ($c, $ns) { foreach ($c->fullscan("{{$ns}:*") as &$page) {} }] as $what => $call) {
    try {
        $call();
        echo "$what: no error\n";
    } catch (Throwable $e) {
        echo "$what: ", get_class($e), ': ', $e->getMessage(), "\n";
    }
}
try {
    $c->fullscan(1);
} catch (TypeError $e) {
    echo $e->getMessage(), "\n";
}

$p->setOption(Kelvo\Kelvo::OPT_SCAN, Kelvo\Kelvo::SCAN_NOPREFIX);
$p->del('{a}k1', '{b}k2');
$c->del(array_merge(...array_map(fn($tag) => array_map(fn($i) => "{{$ns}:$tag}:filler$i", range(0, 99)), range(0, 19))));
$c->del("{{$ns}:0}:target", "{{$ns}:1}:hash");
?>
--EXPECTF--
type hash: 1}:hash
type string, one key: 0}:target
no match: 
bool(true)
retry 0: target, empty pages before the last: some
bool(true)
retry 1: target, empty pages before the last: none
scan mode 2, match {*: NS-p:{a}k1 NS-p:{b}k2
scan mode 3, match {*: 
scan mode 3, match NS-p:*: NS-p:{a}k1 NS-p:{b}k2
bool(true)
bool(true)
int(0)
bool(true)
bool(true)
int(1)
int(2002)
NULL
NULL
send: Error: Kelvo\Cluster\FullscanGenerator::send() is not supported
throw: Error: Kelvo\Cluster\FullscanGenerator::throw() is not supported
getReturn: Error: Kelvo\Cluster\FullscanGenerator::getReturn() is not supported
clone: Error: Trying to clone an uncloneable object of class Kelvo\Cluster\FullscanGenerator
rewind after a step: Exception: Cannot rewind a generator that was already run
foreach by reference: Error: An iterator cannot be used with foreach by reference
Kelvo\Cluster::fullscan(): Argument #1 ($match) must be of type ?string, int given
