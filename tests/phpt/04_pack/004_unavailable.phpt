--TEST--
Choosing a serializer whose extension is not loaded is a configuration error and keeps the old choice
--EXTENSIONS--
kelvo
--FILE--
<?php
use Kelvo\Kelvo;

$k = new Kelvo();
$k->setOption(Kelvo::OPT_SERIALIZER, Kelvo::SERIALIZER_JSON);
foreach ([Kelvo::SERIALIZER_IGBINARY, Kelvo::SERIALIZER_MSGPACK] as $ser) {
    try {
        $k->setOption(Kelvo::OPT_SERIALIZER, $ser);
        echo "no exception\n";
    } catch (\Kelvo\Exception $e) {
        echo $e->getCode() === 11 ? '' : 'code ' . $e->getCode() . ': ', preg_replace('/ \(.*\)$/', '', $e->getMessage()), "\n";
    }
}
var_dump($k->getOption(Kelvo::OPT_SERIALIZER) === Kelvo::SERIALIZER_JSON);
var_dump($k->setOption(Kelvo::OPT_SERIALIZER, 9));
?>
--EXPECT--
The igbinary serializer is unavailable because the igbinary extension is not loaded
The msgpack serializer is unavailable because the msgpack extension is not loaded
bool(true)
bool(false)
