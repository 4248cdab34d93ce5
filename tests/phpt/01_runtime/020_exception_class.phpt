--TEST--
Kelvo\Exception extends RuntimeException and declares nothing of its own
--EXTENSIONS--
kelvo
--FILE--
<?php
$c = new ReflectionClass(Kelvo\Exception::class);
var_dump($c->getParentClass()->getName(), $c->isInternal(), $c->isFinal());
var_dump(array_filter($c->getMethods(), fn($m) => $m->class === Kelvo\Exception::class));
var_dump($c->getConstants(), array_filter($c->getProperties(), fn($p) => $p->class === Kelvo\Exception::class));
try {
    throw new Kelvo\Exception('boom', 14);
} catch (RuntimeException $e) {
    var_dump($e instanceof Exception, $e->getMessage(), $e->getCode());
}
?>
--EXPECT--
string(16) "RuntimeException"
bool(true)
bool(false)
array(0) {
}
array(0) {
}
array(0) {
}
bool(true)
string(4) "boom"
int(14)
