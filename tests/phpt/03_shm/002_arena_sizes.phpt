--TEST--
Arena sizes: a small kelvo.maxmemory is raised to 16 MiB, an uneven one to whole pages, 0 maps two pages
--EXTENSIONS--
kelvo
--FILE--
<?php
require __DIR__ . '/arena.inc';
foreach (['1M', '16777217', '0'] as $size) {
    [, $out] = kelvo_run_with(['kelvo.maxmemory' => $size],
                              'foreach (kelvo_shared_mappings() as [$bytes]) echo $bytes, " ";');
    echo "$size: $out\n";
}
?>
--EXPECT--
1M: 16777216 
16777217: 16781312 
0: 8192 
