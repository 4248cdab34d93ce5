--TEST--
Distribution on a real cluster: reads stay on the primaries without it, go to the replicas only under RANDOM_REPLICA and REPLICAS, and to both under RANDOM and ALL; each replica answers ROLE and READONLY once per link before its first read; a write goes to its primary
--EXTENSIONS--
kelvo
--FILE--
<?php
require __DIR__ . '/../inc/cluster.inc';
use Kelvo\Cluster as C;

$cluster = KelvoTestCluster::start();
/* Keys of every shard, written and replicated before any read. */
$keys = [];
for ($i = 0; count($keys) < 30; $i++) {
    $keys[] = "key$i";
}
foreach ($keys as $k) {
    $owner = $cluster->owner($cluster->keyslot($k));
    $cluster->must($owner, 'SET', $k, "value of $k");
}
foreach ($cluster->primaries as $p) {
    $cluster->must($p, 'WAIT', 1, 0);
}

function calls(KelvoTestCluster $cluster, string $node, string $command): int
{
    $stats = kelvo_info_fields($cluster->must($node, 'INFO', 'commandstats'));
    return preg_match('/calls=(\d+)/', $stats["cmdstat_$command"] ?? '', $m) ? (int) $m[1] : 0;
}
function served(KelvoTestCluster $cluster, array $nodes, string $command): int
{
    return array_sum(array_map(fn($n) => calls($cluster, $n, $command), $nodes));
}

foreach ([C::DISTRIBUTE_NONE, C::DISTRIBUTE_RANDOM_REPLICA, C::DISTRIBUTE_REPLICAS, C::DISTRIBUTE_RANDOM, C::DISTRIBUTE_ALL] as $mode) {
    foreach ($cluster->seeds as $n) {
        $cluster->must($n, 'CONFIG', 'RESETSTAT');
    }
    $c = new C(null, $cluster->seeds, 0, 0, false, null, ['use-cache' => false]);
    $c->setOption(C::OPT_DISTRIBUTE, $mode);
    $wrong = 0;
    /* Each read under RANDOM and ALL stays on the primary with one chance in two. */
    foreach ([...$keys, ...$keys] as $k) {
        $wrong += $c->get($k) !== "value of $k";
    }
    $c->set('written', 'w');
    printf("mode %d: %d wrong, primaries %d, replicas %d, ROLE %d, READONLY %d\n", $mode, $wrong,
           served($cluster, $cluster->primaries, 'get') > 0, served($cluster, $cluster->replicas, 'get') > 0,
           served($cluster, $cluster->replicas, 'role'), served($cluster, $cluster->replicas, 'readonly'));
    unset($c);
}
/* The one write of the last object went to its primary, and replicas only replay it. */
echo calls($cluster, $cluster->owner($cluster->keyslot('written')), 'set'), " SET on its primary\n";
?>
--EXPECT--
mode 0: 0 wrong, primaries 1, replicas 0, ROLE 0, READONLY 0
mode 2: 0 wrong, primaries 0, replicas 1, ROLE 3, READONLY 3
mode 3: 0 wrong, primaries 0, replicas 1, ROLE 3, READONLY 3
mode 1: 0 wrong, primaries 1, replicas 1, ROLE 3, READONLY 3
mode 4: 0 wrong, primaries 1, replicas 1, ROLE 3, READONLY 3
1 SET on its primary
