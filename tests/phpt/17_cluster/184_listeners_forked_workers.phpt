--TEST--
Cluster listeners in forked workers: each worker registers its own listener on every node, hears the invalidations of keys on all three primaries written by an outside client, and never runs a listener its parent registered before the fork
--EXTENSIONS--
kelvo
pcntl
--INI--
kelvo.maxmemory=16777216
--FILE--
<?php
require __DIR__ . '/../inc/cluster.inc';
$c = KelvoTestCluster::shared();
$t = uniqid('listen:');
/* Keys of this test on a given primary, all of one slot there (a node's transaction keeps to one slot). */
$tags = [];
$on = function (int $primary, string $name) use ($c, $t, &$tags): string {
    for ($i = 0; !isset($tags[$primary]); $i++) {
        if ($c->owner($c->keyslot("$t:$i")) === $c->primaries[$primary]) {
            $tags[$primary] = "$t:$i";
        }
    }
    return "{{$tags[$primary]}}$name";
};
$keys = [$on(0, 'a'), $on(1, 'b'), $on(2, 'd')];
$pattern = '{' . $t . ':*';
sort($keys);
foreach ($keys as $key) {
    $c->must($c->owner($c->keyslot($key)), 'SET', $key, 'old');
}
$parent = new Kelvo\Cluster(null, $c->seeds, 0, 0, false, null, ['use-cache' => true]);
var_dump($parent->onInvalidated(function () {
    echo "the parent's listener ran in ", getmypid(), "\n";
}, $pattern));

$workers = [];
foreach (['first', 'second'] as $name) {
    [$mine, $theirs] = stream_socket_pair(STREAM_PF_UNIX, STREAM_SOCK_STREAM, STREAM_IPPROTO_IP);
    $pid = pcntl_fork();
    if ($pid === 0) {
        fclose($mine);
        $k = new Kelvo\Cluster(null, $c->seeds, 0, 0, false, null, ['use-cache' => true]);
        $heard = [];
        $ok = $k->onInvalidated(function ($event) use (&$heard) {
            $heard[$event->key] = true;
        }, $pattern);
        foreach ($keys as $key) {
            $k->get($key);
        }
        fwrite($theirs, "ready\n");
        $deadline = microtime(true) + 30;
        while (count($heard) < count($keys) && microtime(true) < $deadline) {
            $k->dispatchEvents();
            usleep(5000);
        }
        $heard = array_keys($heard);
        sort($heard);
        fwrite($theirs, json_encode(['registered' => $ok, 'heard' => $heard === $keys ? 'every key' : $heard]) . "\n");
        exit(0);
    }
    fclose($theirs);
    $workers[$name] = [$pid, $mine];
}
foreach ($workers as [, $pipe]) {
    echo trim(fgets($pipe)), "\n";
}
foreach ($keys as $key) {
    $c->must($c->owner($c->keyslot($key)), 'SET', $key, 'new');
}
foreach ($workers as $name => [$pid, $pipe]) {
    echo "$name: ", trim((string) fgets($pipe)), "\n";
    pcntl_waitpid($pid, $status);
}
var_dump($parent->onInvalidated(null, $pattern));
var_dump($parent->onInvalidated(fn() => null, ''));
?>
--EXPECTF--
bool(true)
ready
ready
first: {"registered":true,"heard":"every key"}
second: {"registered":true,"heard":"every key"}
bool(true)

Warning: Kelvo\Cluster::onInvalidated(): Invalid argument supplied for pattern ({KELVO_ERR_CONFIG}) in %s on line %d
bool(false)
