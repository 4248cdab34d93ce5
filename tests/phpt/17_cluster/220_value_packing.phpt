--TEST--
Value packing through the cluster: after setOption on an object whose nodes are connected, every node stores exactly the bytes _pack gives, reads them back as _unpack does, and the other packing methods follow the same serializer, compressor and prefix
--EXTENSIONS--
kelvo
--INI--
extension=igbinary
extension=msgpack
kelvo.maxmemory=0
--FILE--
<?php
use Kelvo\Kelvo;
require __DIR__ . '/../inc/cluster.inc';
$c = KelvoTestCluster::shared();
$k = new \Kelvo\Cluster(null, $c->seeds);
$base = uniqid('pack:');
/* One key on each primary, written before any option changes, so that each node has its link. */
$keys = [];
for ($i = 0; count($keys) < 3; $i++) {
    $keys[$c->owner($c->keyslot("$base:$i"))] ??= "$base:$i";
}
foreach ($keys as $key) {
    $k->set($key, 'plain');
}
$value = ['id' => 7, 'tags' => ['a', 'b'], 'ratio' => 0.5, 'text' => str_repeat('kelvo ', 40)];

$cases = [
    ['PHP', 'NONE'],
    ['JSON', 'LZF'],
    ['IGBINARY', 'ZSTD'],
    ['MSGPACK', 'LZ4'],
];
foreach ($cases as [$ser, $cmp]) {
    $k->setOption(Kelvo::OPT_SERIALIZER, constant("Kelvo\\Kelvo::SERIALIZER_$ser"));
    $k->setOption(Kelvo::OPT_COMPRESSION, constant("Kelvo\\Kelvo::COMPRESSION_$cmp"));
    $packed = $k->_pack($value);
    $report = [];
    foreach ($keys as $owner => $key) {
        $k->set($key, $value);
        $stored = $c->must($owner, 'GET', $key);
        $report[] = ($stored === $packed ? 'stored as packed' : 'STORED OTHERWISE')
            . ', ' . ($k->_unpack($stored) === $value ? 'unpacked' : 'UNPACKED OTHERWISE')
            . ', ' . ($k->get($key) === $value ? 'read back' : 'READ OTHERWISE');
    }
    $serialized = $k->_serialize($value);
    printf("%-8s %-4s %s; serialize %s; compress %s; digest %s\n", $ser, $cmp,
        implode(' | ', array_unique($report)),
        $k->_unserialize($serialized) === $value ? 'round trip' : 'DIFFERS',
        $k->_uncompress($k->_compress($serialized)) === $serialized ? 'round trip' : 'DIFFERS',
        $k->_digest($value) === hash('xxh3', $packed) ? 'of the packed bytes' : 'OF SOMETHING ELSE');
}

echo "no serializer, no compressor:\n";
$k->setOption(Kelvo::OPT_SERIALIZER, Kelvo::SERIALIZER_NONE);
$k->setOption(Kelvo::OPT_COMPRESSION, Kelvo::COMPRESSION_NONE);
var_dump($k->_serialize('text'), $k->_unserialize('text'), $k->_compress('text'), $k->_uncompress('text'),
    $k->_pack(['x']), $k->_pack(1.5));
$k->setOption(Kelvo::OPT_PACK_IGNORE_NUMBERS, true);
$k->setOption(Kelvo::OPT_SERIALIZER, Kelvo::SERIALIZER_PHP);
var_dump($k->_pack(42), $k->_pack('42'));
$k->setOption(Kelvo::OPT_PACK_IGNORE_NUMBERS, false);

echo "compressor refusals:\n";
$k->setOption(Kelvo::OPT_COMPRESSION, Kelvo::COMPRESSION_LZF);
var_dump($k->_uncompress(''));
try {
    $k->_uncompress('not lzf data');
} catch (\Kelvo\Exception $e) {
    printf("%s (code %d)\n", trim(strtok($e->getMessage(), "(")), $e->getCode());
}
$k->setOption(Kelvo::OPT_COMPRESSION, Kelvo::COMPRESSION_NONE);

echo "prefix:\n";
var_dump($k->_prefix('k'));
$k->setOption(Kelvo::OPT_PREFIX, 'pfx:');
$k->setOption(Kelvo::OPT_SERIALIZER, Kelvo::SERIALIZER_NONE);
var_dump($k->_prefix('k'), $k->_prefix(12));
foreach ($keys as $key) {
    $k->set($key, 'prefixed');
    $owner = $c->owner($c->keyslot("pfx:$key"));
    if ($c->must($owner, 'GET', "pfx:$key") !== 'prefixed' || $k->get($key) !== 'prefixed') {
        echo "$key: not under its prefixed name\n";
    }
    $k->del($key);
    $c->must($c->owner($c->keyslot($key)), 'DEL', $key);
}
echo "done\n";
?>
--EXPECT--
PHP      NONE stored as packed, unpacked, read back; serialize round trip; compress round trip; digest of the packed bytes
JSON     LZF  stored as packed, unpacked, read back; serialize round trip; compress round trip; digest of the packed bytes
IGBINARY ZSTD stored as packed, unpacked, read back; serialize round trip; compress round trip; digest of the packed bytes
MSGPACK  LZ4  stored as packed, unpacked, read back; serialize round trip; compress round trip; digest of the packed bytes
no serializer, no compressor:
string(4) "text"
string(4) "text"
string(4) "text"
string(4) "text"
string(5) "Array"
string(3) "1.5"
string(2) "42"
string(9) "s:2:"42";"
compressor refusals:
string(0) ""
Invalid compressed data or uncompression error (code 2)
prefix:
string(1) "k"
string(5) "pfx:k"
string(6) "pfx:12"
done
