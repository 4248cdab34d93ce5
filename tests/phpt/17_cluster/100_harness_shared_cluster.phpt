--TEST--
The harness's shared cluster: every node reports it ok with every slot assigned, the replicas follow their primaries and the primaries own the three slot ranges
--FILE--
<?php
require __DIR__ . '/../inc/cluster.inc';
$c = KelvoTestCluster::shared();
foreach ($c->seeds as $e) {
    $info = kelvo_info_fields($c->must($e, 'CLUSTER', 'INFO'));
    if ($info['cluster_state'] !== 'ok' || $info['cluster_slots_assigned'] !== '16384' || $info['cluster_known_nodes'] !== '6') {
        echo "$e: {$info['cluster_state']} {$info['cluster_slots_assigned']} {$info['cluster_known_nodes']}\n";
    }
}
foreach ($c->replicas as $i => $r) {
    var_dump($c->primaryOf($r) === $c->primaries[$i]);
}
foreach (KelvoTestCluster::SLOT_RANGES as $i => [$first, $last]) {
    var_dump($c->owner($first) === $c->primaries[$i] && $c->owner($last) === $c->primaries[$i]);
}
echo "done\n";
?>
--EXPECT--
bool(true)
bool(true)
bool(true)
bool(true)
bool(true)
bool(true)
done
