--TEST--
Cached reads through the cluster: a second read of a key is answered from the shared cache without reaching its node; a write through another object or by an outside client is seen at once; a cached key of another type answers WRONGTYPE as the single-server client does
--EXTENSIONS--
kelvo
--INI--
kelvo.maxmemory=16777216
--FILE--
<?php
require __DIR__ . '/../inc/cluster.inc';
$c = KelvoTestCluster::shared();
$key = uniqid('cached:');
$owner = $c->owner($c->keyslot($key));
$reader = new Kelvo\Cluster(null, $c->seeds);
$writer = new Kelvo\Cluster(null, $c->seeds);
$c->must($owner, 'SET', $key, 'one');

/* Judged by what the reader itself sends: other tests may read the same node meanwhile. */
$sent = fn(): int => $reader->getTransferredBytes()[0];
$before = $sent();
$first = $reader->get($key);
$afterFirst = $sent();
var_dump($first, $reader->get($key), $reader->get($key));
echo "bytes sent by the first read: ", $afterFirst > $before ? 'some' : 'none', ", by the two after it: ",
    $sent() - $afterFirst, "\n";

var_dump($writer->set($key, 'two'), $reader->get($key));
/* An outside write: any reply on the reader's link to that node comes after the server's
 * invalidation, so the reader has applied it before its next read. */
$c->must($owner, 'SET', $key, 'three');
$reader->ttl($key);
var_dump($reader->get($key));
$c->must($owner, 'DEL', $key);
$reader->ttl($key);
var_dump($reader->get($key));

/* A hash in the cache: GET of it is refused locally, thrown under throw-on-error. */
$hash = "$key:h";
$strict = new Kelvo\Cluster(null, $c->seeds, 0, 0, false, null, ['throw-on-error' => true]);
$strict->hset($hash, 'f', 'v');
var_dump($strict->hgetall($hash));
try {
    $strict->get($hash);
} catch (Kelvo\Exception $e) {
    echo preg_replace('/ \(.*/', '', $e->getMessage()), "\n";
}
var_dump($reader->get($hash));
$strict->del($hash);
?>
--EXPECT--
string(3) "one"
string(3) "one"
string(3) "one"
bytes sent by the first read: some, by the two after it: 0
bool(true)
string(3) "two"
string(5) "three"
bool(false)
array(1) {
  ["f"]=>
  string(1) "v"
}
WRONGTYPE Operation against a key holding the wrong kind of value
bool(false)
