--TEST--
The cluster, sentinel and table classes are registered; the full-scan generators are final Generators
--EXTENSIONS--
kelvo
--FILE--
<?php
foreach (['Kelvo\Cluster', 'Kelvo\Sentinel', 'Kelvo\Table'] as $name) {
    $c = new ReflectionClass($name);
    printf("%s: internal=%d final=%d parent=%s\n", $name, $c->isInternal(), $c->isFinal(),
           $c->getParentClass() ? $c->getParentClass()->name : '-');
}
foreach (['Kelvo\Cluster\FullscanGenerator', 'Kelvo\Table\FullscanGenerator'] as $name) {
    $c = new ReflectionClass($name);
    printf("%s: final=%d parent=%s methods=%d\n", $name, $c->isFinal(), $c->getParentClass()->name,
           count(array_filter($c->getMethods(), fn($m) => $m->class === $name)));
    try {
        new $name();
    } catch (Error $e) {
        echo get_class($e), ': ', $e->getMessage(), "\n";
    }
}
// Registering the subclasses must leave Generator itself final.
var_dump((new ReflectionClass('Generator'))->isFinal());
?>
--EXPECT--
Kelvo\Cluster: internal=1 final=0 parent=-
Kelvo\Sentinel: internal=1 final=0 parent=-
Kelvo\Table: internal=1 final=0 parent=-
Kelvo\Cluster\FullscanGenerator: final=1 parent=Generator methods=8
Error: The "Generator" class is reserved for internal use and cannot be manually instantiated
Kelvo\Table\FullscanGenerator: final=1 parent=Generator methods=0
Error: The "Generator" class is reserved for internal use and cannot be manually instantiated
bool(true)
