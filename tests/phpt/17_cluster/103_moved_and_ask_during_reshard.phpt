--TEST--
A slot moving between primaries: reads and writes through the ASK window while its keys migrate and through MOVED once it has moved, with no error, every value right and the new owner learnt
--EXTENSIONS--
kelvo
--INI--
kelvo.maxmemory=0
--FILE--
<?php
require __DIR__ . '/../inc/cluster.inc';
$c = KelvoTestCluster::start();
[$from, $to] = $c->primaries;

/* A hash tag whose slot the first primary serves, and keys of that slot. */
for ($i = 0; $c->owner($c->keyslot("{t$i}")) !== $from; $i++);
$tag = "{t$i}";
$slot = $c->keyslot($tag);
$keys = ["{$tag}a", "{$tag}b", "{$tag}c", "{$tag}d"];

$k = new Kelvo\Cluster(null, $c->seeds);
foreach ($keys as $key) {
    $k->set($key, "v:$key");
}
function errorstat(KelvoTestCluster $c, string $node, string $kind): int
{
    preg_match("/errorstat_$kind:count=(\d+)/", $c->must($node, 'INFO', 'errorstats'), $m);
    return (int) ($m[1] ?? 0);
}
foreach ($c->seeds as $e) {
    $c->must($e, 'CONFIG', 'RESETSTAT');
}

echo "ASK window:\n";
$c->beginMigration($slot, $from, $to);
$c->migrateKeys($slot, $from, $to, 2);
$moved = [];
foreach ($keys as $key) {
    if ($c->call($from, 'EXISTS', $key) instanceof KelvoRawError) {
        $moved[] = $key; /* the source answers ASK for a key it no longer has */
    }
}
var_dump(count($moved));
foreach ($keys as $key) {
    var_dump($k->get($key) === "v:$key");
}
/* A new key of a migrating slot is written on the target; an old key still on the source is
   changed there. */
var_dump($k->set("{$tag}new", 'fresh'), $k->get("{$tag}new"));
$stay = array_values(array_diff($keys, $moved))[0];
var_dump($k->set($stay, 'changed'), $k->get($stay));
var_dump(errorstat($c, $from, 'ASK') > 0);

echo "MOVED:\n";
$c->migrateKeys($slot, $from, $to);
$c->finishMigration($slot, $from, $to);
$c->waitOk();
foreach ($keys as $key) {
    var_dump($k->get($key) === ($key === $stay ? 'changed' : "v:$key"));
}
var_dump($k->get("{$tag}new"));
/* Once told, the client goes to the new owner directly. */
$before = errorstat($c, $from, 'MOVED');
foreach ($keys as $key) {
    $k->get($key);
}
var_dump(errorstat($c, $from, 'MOVED') === $before);
/* The values are where the server keeps them. */
var_dump($c->must($to, 'GET', "{$tag}new"), $c->must($to, 'GET', $stay));
echo "done\n";
?>
--EXPECT--
ASK window:
int(2)
bool(true)
bool(true)
bool(true)
bool(true)
bool(true)
string(5) "fresh"
bool(true)
string(7) "changed"
bool(true)
MOVED:
bool(true)
bool(true)
bool(true)
bool(true)
string(5) "fresh"
bool(true)
string(5) "fresh"
string(7) "changed"
done
