--TEST--
A primary killed under a loop of new objects (each with the process's slot cache): writes and reads of its slots work again once its replica is promoted, and every new object works once the cluster agrees
--EXTENSIONS--
kelvo
--INI--
kelvo.maxmemory=0
--FILE--
<?php
require __DIR__ . '/../inc/cluster.inc';
$c = KelvoTestCluster::start();
$victim = $c->primaries[0];
$heir = $c->replicas[0];
for ($i = 0; $c->owner($c->keyslot("key$i")) !== $victim; $i++);
$key = "key$i";
$other = null;
for ($i = 0; $c->owner($c->keyslot("other$i")) === $victim; $i++);
$other = "other$i";

function attempt(array $seeds, string $key, string $value): string
{
    try {
        $k = new Kelvo\Cluster(null, $seeds);
        $k->set($key, $value);
        return $k->get($key) === $value ? 'ok' : 'wrong value';
    } catch (Kelvo\Exception $e) {
        return 'error';
    }
}
var_dump(attempt($c->seeds, $key, 'before'), attempt($c->seeds, $other, 'before'));

$c->kill($victim);
$killed = microtime(true);
$promoted = null;
$recovered = null;
for ($n = 0; $recovered === null; $n++) {
    if (microtime(true) - $killed > 120) {
        echo "no recovery within 120 s\n";
        break;
    }
    $outcome = attempt($c->seeds, $key, "v$n");
    if ($outcome === 'wrong value') {
        echo "wrong value\n";
    }
    if ($promoted === null && $c->primaryOf($heir) === null) {
        $promoted = microtime(true);
    } elseif ($promoted !== null && $outcome === 'ok') {
        $recovered = microtime(true);
    }
}
/* Once the cluster agrees again, every new object works, on every shard. */
$c->waitOk();
$outcomes = [];
for ($n = 0; $n < 20; $n++) {
    $outcomes[attempt($c->seeds, $key, "after$n")] = true;
    $outcomes[attempt($c->seeds, $other, "after$n")] = true;
}
var_dump(array_keys($outcomes));
$report = getenv('KELVO_TEST_REPORT');
if ($report && $recovered !== null) {
    file_put_contents($report, sprintf("killed primary: promoted after %.3f s, new objects working %.3f s after the promotion\n",
                                       $promoted - $killed, $recovered - $promoted), FILE_APPEND);
}
echo "done\n";
?>
--EXPECT--
string(2) "ok"
string(2) "ok"
array(1) {
  [0]=>
  string(2) "ok"
}
done
