--TEST--
Bytes the cluster moved: nothing before the first command, then the exact requests and replies of every node summed, from zero again after clearTransferredBytes, and still counted once the links are closed
--EXTENSIONS--
kelvo
--INI--
kelvo.maxmemory=0
--FILE--
<?php
require __DIR__ . '/../inc/cluster.inc';
$c = KelvoTestCluster::shared();
$k = new Kelvo\Cluster(null, $c->seeds, 0, 0, false, null, ['use-cache' => false]);
var_dump($k->getTransferredBytes(), $k->clearTransferredBytes(), $k->getTransferredBytes());

/* One key on each primary. */
$base = uniqid('bytes:');
$keys = [];
for ($i = 0; count($keys) < 3; $i++) {
    $keys[$c->owner($c->keyslot("$base:$i"))] ??= "$base:$i";
}
foreach ($keys as $key) {
    $k->get($key);
}
[$sent, $received] = $k->getTransferredBytes();
echo "after the handshakes: ", $sent > 0 && $received > 0 ? 'counted' : 'NOT COUNTED', "\n";

function request(string ...$words): string
{
    $out = '*' . count($words) . "\r\n";
    foreach ($words as $w) {
        $out .= '$' . strlen($w) . "\r\n$w\r\n";
    }
    return $out;
}
var_dump($k->clearTransferredBytes(), $k->getTransferredBytes());
$value = str_repeat('v', 100);
$wantSent = $wantReceived = 0;
foreach ($keys as $key) {
    $k->set($key, $value);
    $k->get($key);
    $wantSent += strlen(request('SET', $key, $value)) + strlen(request('GET', $key));
    $wantReceived += strlen("+OK\r\n") + strlen("\$100\r\n$value\r\n");
}
[$sent, $received] = $k->getTransferredBytes();
var_dump($sent === $wantSent, $received === $wantReceived);

$k->close();
var_dump($k->getTransferredBytes() === [$sent, $received]);
foreach ($keys as $key) {
    $k->del($key);
}
?>
--EXPECT--
array(2) {
  [0]=>
  int(0)
  [1]=>
  int(0)
}
bool(true)
array(2) {
  [0]=>
  int(0)
  [1]=>
  int(0)
}
after the handshakes: counted
bool(true)
array(2) {
  [0]=>
  int(0)
  [1]=>
  int(0)
}
bool(true)
bool(true)
bool(true)
