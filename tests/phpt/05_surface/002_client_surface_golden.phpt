--TEST--
Kelvo\Kelvo and event class surface matches the checked-in dump, and the generated files are current
--FILE--
<?php
$root = dirname(__DIR__, 3);
require "$root/tools/dump-client-surface.php";

$golden = explode("\n", file_get_contents(__DIR__ . '/client_surface.golden'));
$actual = explode("\n", kelvoSurfaceDump());
$shown = 0;
foreach (array_diff($golden, $actual) as $line) {
    if ($shown++ < 20) echo "- $line\n";
}
foreach (array_diff($actual, $golden) as $line) {
    if ($shown++ < 40) echo "+ $line\n";
}
echo $golden === $actual ? "surface unchanged\n" : "surface differs from client_surface.golden\n";

// The handlers and the stub come from tools/client_methods.tsv; the arginfo header records its stub's hash.
exec(escapeshellarg(PHP_BINARY) . " -n " . escapeshellarg("$root/tools/gen-client-stub.php") . " --check 2>&1", $out, $status);
echo $status === 0 ? "generated sources current\n" : implode("\n", $out) . "\n";
$stubHash = sha1_file("$root/stubs/client.stub.php");
echo str_contains(file_get_contents("$root/stubs/client_arginfo.h"), "Stub hash: $stubHash")
    ? "arginfo current\n" : "stubs/client_arginfo.h is stale: run tools/gen-stubs\n";
?>
--EXPECT--
surface unchanged
generated sources current
arginfo current
