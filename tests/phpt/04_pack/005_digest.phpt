--TEST--
_digest: the XXH3-64 of the packed bytes in 16 lowercase hex digits, so it follows the serializer
--EXTENSIONS--
kelvo
--FILE--
<?php
use Kelvo\Kelvo;

$k = new Kelvo();
$short = 0;
for ($i = 0; $i < 200; $i++) {
    $d = $k->_digest("key$i");
    if ($d !== hash('xxh3', "key$i") || !preg_match('/^[0-9a-f]{16}$/', $d)) {
        echo "key$i: $d\n";
    }
    $short += $d[0] === '0';
}
var_dump($short > 0); // some hashes are below 2^60 and still give 16 digits
$plain = $k->_digest([1, 2]);
$k->setOption(Kelvo::OPT_SERIALIZER, Kelvo::SERIALIZER_PHP);
var_dump($k->_digest([1, 2]) === hash('xxh3', serialize([1, 2])), $k->_digest([1, 2]) !== $plain);
?>
--EXPECT--
bool(true)
bool(true)
bool(true)
