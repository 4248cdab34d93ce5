--TEST--
OPT_PACK_IGNORE_NUMBERS: numbers go out as text that reads back as the same number, whatever the compressor
--EXTENSIONS--
kelvo
--FILE--
<?php
use Kelvo\Kelvo;

$k = new Kelvo();
$k->setOption(Kelvo::OPT_PACK_IGNORE_NUMBERS, true);
$k->setOption(Kelvo::OPT_SERIALIZER, Kelvo::SERIALIZER_PHP);
$k->setOption(Kelvo::OPT_COMPRESSION, Kelvo::COMPRESSION_LZ4);
foreach ([42, -7, 0.1 + 0.2, 1.0, 1.5, 1e25] as $n) {
    $packed = $k->_pack($n);
    $back = $k->_unpack($packed);
    echo $packed, ' ', var_export($back === $n, true), "\n";
}
var_dump($k->_unpack('1.5'), $k->_unpack('12abc'));
// Without a serializer or compressor the bytes stay a string.
$k->setOption(Kelvo::OPT_SERIALIZER, Kelvo::SERIALIZER_NONE);
$k->setOption(Kelvo::OPT_COMPRESSION, Kelvo::COMPRESSION_NONE);
var_dump($k->_unpack('42'));
?>
--EXPECT--
42 true
-7 true
0.30000000000000004 true
1.0 true
1.5 true
1.0E+25 true
float(1.5)
string(5) "12abc"
string(2) "42"
