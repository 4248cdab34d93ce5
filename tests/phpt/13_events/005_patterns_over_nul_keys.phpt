--TEST--
Listener patterns match whole keys: a key holding a NUL byte is not heard by a pattern that matches only its part before the NUL, and a NUL in a pattern is an ordinary byte
--EXTENSIONS--
kelvo
--FILE--
<?php
require_once __DIR__ . '/../inc/servers.inc';

$c = new Kelvo\Kelvo('127.0.0.1', (int) kelvo_test_env('KELVO_TEST_PORT'));
$patterns = ['nk:1', 'nk:1*', 'nk:2', "nk:2\0b", "nk:2\0*", 'nk:2?b', '*'];
$heard = array_fill_keys($patterns, []);
foreach ($patterns as $pattern) {
    $c->onInvalidated(function ($event, $pattern) use (&$heard) {
        if ($event->client) {
            $heard[$pattern][] = $event->key;
        }
    }, $pattern);
}
$keys = ['nk:1', "nk:1\0secret", 'nk:2', "nk:2\0b"];
foreach ($keys as $key) {
    $c->set($key, 'v');
}
$c->del(...$keys);
foreach ($heard as $pattern => $got) {
    $got = array_values(array_unique($got));
    sort($got);
    printf("%-10s %s\n", json_encode($pattern), json_encode($got));
}
?>
--EXPECT--
"nk:1"     ["nk:1"]
"nk:1*"    ["nk:1","nk:1\u0000secret"]
"nk:2"     ["nk:2"]
"nk:2\u0000b" ["nk:2\u0000b"]
"nk:2\u0000*" ["nk:2\u0000b"]
"nk:2?b"   ["nk:2\u0000b"]
"*"        ["nk:1","nk:1\u0000secret","nk:2","nk:2\u0000b"]
