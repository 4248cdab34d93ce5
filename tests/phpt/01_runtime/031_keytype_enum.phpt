--TEST--
Kelvo\KeyType is an int-backed enum with the eight key types in order
--EXTENSIONS--
kelvo
--FILE--
<?php
var_dump((new ReflectionEnum(Kelvo\KeyType::class))->getBackingType()->getName());
foreach (Kelvo\KeyType::cases() as $case) {
    echo $case->name, '=', $case->value, "\n";
}
var_dump(Kelvo\KeyType::from(4) === Kelvo\KeyType::Zset, Kelvo\KeyType::tryFrom(8));
?>
--EXPECT--
string(3) "int"
NotFound=0
String=1
Set=2
List=3
Zset=4
Hash=5
Stream=6
Vectorset=7
bool(true)
NULL
