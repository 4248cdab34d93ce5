--TEST--
The scan family over 1,000 keys: pages, iterator, empty pages with SCAN_RETRY, the finished iterator
--EXTENSIONS--
kelvo
--INI--
kelvo.maxmemory=0
--FILE--
<?php
require __DIR__ . '/fake.inc';
require __DIR__ . '/../inc/own_server.inc';

$own = new OwnServer(); // FLUSHDB reaches every client of a server
$r = new Kelvo\Kelvo('127.0.0.1', $own->port);
$r->select(5);
$r->flushdb();
for ($i = 0; $i < 1000; $i++) {
    $r->set("scan:$i", $i);
    $r->hset('scan:hash', "f$i", "v$i");
    $r->sadd('scan:set', "m$i");
    $r->zadd('scan:zset', $i, "z$i");
}

function drain(callable $page): array
{
    $it = null;
    $all = [];
    $pages = 0;
    while (($batch = $page($it)) !== false) {
        $pages++;
        $all = array_merge($all, array_is_list($batch) ? $batch : array_keys($batch)) ;
        if ($it === 0) {
            break;
        }
    }
    return [count(array_unique($all)), $pages > 1, $it];
}

foreach ([false, true] as $retry) {
    $r->setOption(Kelvo\Kelvo::OPT_SCAN, $retry ? Kelvo\Kelvo::SCAN_RETRY : Kelvo\Kelvo::SCAN_NORETRY);
    echo $retry ? "retry\n" : "no retry\n";
    echo ' scan: ', json_encode(drain(fn(&$it) => $r->scan($it, 'scan:[0-9]*', 100))), "\n";
    echo ' hscan: ', json_encode(drain(fn(&$it) => $r->hscan('scan:hash', $it, null, 100))), "\n";
    echo ' sscan: ', json_encode(drain(fn(&$it) => $r->sscan('scan:set', $it, null, 100))), "\n";
    echo ' zscan: ', json_encode(drain(fn(&$it) => $r->zscan('scan:zset', $it, null, 100))), "\n";
}

$it = null;
$page = $r->hscan('scan:hash', $it, 'f99?', 1000);
ksort($page);
echo 'hscan page: ', json_encode($page), "\n";
$it = null;
$page = $r->zscan('scan:zset', $it, 'z1', 1000);
echo 'zscan page: ', json_encode($page), "\n";
$it = 0;
echo 'finished iterator: ', json_encode($r->scan($it)), "\n";

// Empty pages in the middle of a scan reach the caller only without SCAN_RETRY.
foreach ([Kelvo\Kelvo::SCAN_NORETRY => 'no retry', Kelvo\Kelvo::SCAN_RETRY => 'retry'] as $mode => $name) {
    $r->setOption(Kelvo\Kelvo::OPT_SCAN, $mode);
    $it = null;
    $found = [];
    $emptyMidway = 0;
    do {
        $keys = $r->scan($it, 'scan:777', 10);
        $found = array_merge($found, $keys ?: []);
        $emptyMidway += $keys === [] && $it !== 0;
    } while ($it !== 0);
    echo "$name: ", json_encode($found), ', empty pages before the end: ', $emptyMidway > 0 ? 'yes' : 'no', "\n";
}

// A cursor beyond 2^63 keeps its bits and goes back unsigned.
$fake = new FakeServer(['reply *2\r\n$20\r\n18446744073709551615\r\n*0\r\n', 'reply *2\r\n$1\r\n0\r\n*0\r\n']);
$f = kelvo_fake_client($fake);
$it = null;
$f->scan($it);
echo 'high cursor: ', $it, "\n";
$f->scan($it);
echo 'sent back: ', substr($fake->received(), -31), "\n";
$r->flushdb();
?>
--EXPECT--
no retry
 scan: [1000,true,0]
 hscan: [1000,true,0]
 sscan: [1000,true,0]
 zscan: [1000,true,0]
retry
 scan: [1000,true,0]
 hscan: [1000,true,0]
 sscan: [1000,true,0]
 zscan: [1000,true,0]
hscan page: {"f990":"v990","f991":"v991","f992":"v992","f993":"v993","f994":"v994","f995":"v995","f996":"v996","f997":"v997","f998":"v998","f999":"v999"}
zscan page: {"z1":1}
finished iterator: false
no retry: ["scan:777"], empty pages before the end: yes
retry: ["scan:777"], empty pages before the end: no
high cursor: -1
sent back: |SCAN|$20|18446744073709551615|
