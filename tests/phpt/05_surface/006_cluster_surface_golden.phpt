--TEST--
Kelvo\Cluster surface (constants, property, methods, parameters, attributes) matches the checked-in dump, and its generated sources are current
--FILE--
<?php
$root = dirname(__DIR__, 3);
require "$root/tools/dump-client-surface.php";

$golden = explode("\n", file_get_contents(__DIR__ . '/cluster_surface.golden'));
$actual = explode("\n", kelvoSurfaceDump('cluster'));
$shown = 0;
foreach (array_diff($golden, $actual) as $line) {
    if ($shown++ < 20) echo "- $line\n";
}
foreach (array_diff($actual, $golden) as $line) {
    if ($shown++ < 40) echo "+ $line\n";
}
echo $golden === $actual ? "surface unchanged\n" : "surface differs from cluster_surface.golden\n";

// The handlers and the stub come from tools/cluster_methods.tsv (scripts/test checks the arginfo header).
exec(escapeshellarg(PHP_BINARY) . " -n " . escapeshellarg("$root/tools/gen-client-stub.php") . " --check 2>&1", $out, $status);
echo $status === 0 ? "generated sources current\n" : implode("\n", $out) . "\n";
?>
--EXPECT--
surface unchanged
generated sources current
