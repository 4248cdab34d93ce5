--TEST--
kelvo.prefault populate and touch make the whole arena resident at start-up; off leaves it to first use
--EXTENSIONS--
kelvo
--FILE--
<?php
require __DIR__ . '/arena.inc';
foreach (['off', 'populate', 'TOUCH', 'bogus'] as $mode) {
    [, $out] = kelvo_run_with(['kelvo.maxmemory' => '24M', 'kelvo.prefault' => $mode],
        '[[$bytes, $rss]] = kelvo_shared_mappings(); echo "\n", $bytes, " ", $rss === $bytes ? "resident" : "lazy";');
    $lines = explode("\n", trim($out));
    echo "$mode: ", array_pop($lines), "\n", implode("\n", array_filter($lines)), $lines ? "\n" : '';
}
?>
--EXPECT--
off: 25165824 lazy
populate: 25165824 resident
TOUCH: 25165824 resident
bogus: 25165824 lazy
Warning: PHP Startup: Invalid kelvo.prefault value 'bogus', using 'off' in Unknown on line 0
