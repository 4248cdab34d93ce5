--TEST--
Value packing methods: serialize, compress, pack, unpack and digest under each serializer and compressor, and packed values stored through a server
--INI--
extension=igbinary
extension=msgpack
--FILE--
<?php
use Kelvo\Kelvo;
require __DIR__ . '/../inc/servers.inc';
$k = new Kelvo('127.0.0.1', (int) kelvo_test_env('KELVO_TEST_PORT'));
$value = ['id' => 7, 'tags' => ['a', 'b'], 'ratio' => 0.5];

echo "serializers:\n";
foreach (['NONE', 'PHP', 'IGBINARY', 'MSGPACK', 'JSON'] as $name) {
    var_dump($k->setOption(Kelvo::OPT_SERIALIZER, constant("Kelvo\\Kelvo::SERIALIZER_$name")));
    $bytes = $k->_serialize($name === 'NONE' ? 'plain' : $value);
    $back = $k->_unserialize($bytes);
    printf("  %-8s %s %s\n", $name, $back === ($name === 'NONE' ? 'plain' : $value) ? 'round trip' : 'DIFFERS: ' . var_export($back, true),
        $k->_unserialize('not serialized') === 'not serialized' ? 'foreign bytes as they are' : 'FOREIGN BYTES CHANGED');
}

echo "compressors:\n";
$k->setOption(Kelvo::OPT_SERIALIZER, Kelvo::SERIALIZER_NONE);
$text = str_repeat('kelvo ', 100);
foreach (['NONE', 'LZF', 'ZSTD', 'LZ4'] as $name) {
    $k->setOption(Kelvo::OPT_COMPRESSION, constant("Kelvo\\Kelvo::COMPRESSION_$name"));
    $small = $k->_compress($text);
    printf("  %-5s %s %s %s\n", $name, strlen($small) < strlen($text) || $name === 'NONE' ? 'ok' : 'NOT SMALLER',
        $k->_uncompress($small) === $text ? 'round trip' : 'DIFFERS', $k->_uncompress('') === '' ? 'empty stays empty' : 'EMPTY CHANGED');
}
$k->setOption(Kelvo::OPT_COMPRESSION, Kelvo::COMPRESSION_LZF);
try {
    $k->_uncompress('not lzf data');
} catch (\Kelvo\Exception $e) {
    printf("%s (code %d)\n", trim(strtok($e->getMessage(), '(')), $e->getCode());
}

echo "pack, digest and the server:\n";
$k->setOption(Kelvo::OPT_SERIALIZER, Kelvo::SERIALIZER_IGBINARY);
$k->setOption(Kelvo::OPT_COMPRESSION, Kelvo::COMPRESSION_ZSTD);
$packed = $k->_pack($value);
var_dump($k->_unpack($packed) === $value, strlen($k->_digest($value)), $k->_digest($value) === $k->_digest($value));
var_dump($k->rawCommand('SET', 'kelvo:object:packed', $packed));
var_dump($k->_unpack($k->rawCommand('GET', 'kelvo:object:packed')) === $value);
var_dump($k->_unpack('plain bytes'));
$k->setOption(Kelvo::OPT_PACK_IGNORE_NUMBERS, true);
var_dump($k->_pack(42), $k->_pack(1.5));

echo "bytes moved on the link:\n";
[$sent, $received] = $k->getBytes();
var_dump($sent > 0, $received > 0, $k->clearBytes(), $k->bytes());
?>
--EXPECT--
serializers:
bool(true)
  NONE     round trip foreign bytes as they are
bool(true)
  PHP      round trip foreign bytes as they are
bool(true)
  IGBINARY round trip foreign bytes as they are
bool(true)
  MSGPACK  round trip foreign bytes as they are
bool(true)
  JSON     round trip foreign bytes as they are
compressors:
  NONE  ok round trip empty stays empty
  LZF   ok round trip empty stays empty
  ZSTD  ok round trip empty stays empty
  LZ4   ok round trip empty stays empty
Invalid compressed data or uncompression error (code 2)
pack, digest and the server:
bool(true)
int(16)
bool(true)
bool(true)
bool(true)
string(11) "plain bytes"
string(2) "42"
string(3) "1.5"
bytes moved on the link:
bool(true)
bool(true)
NULL
array(2) {
  [0]=>
  int(0)
  [1]=>
  int(0)
}
