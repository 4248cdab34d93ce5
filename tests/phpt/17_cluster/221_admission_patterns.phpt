--TEST--
Cache admission patterns of the cluster: added patterns count only new non-empty ones and reach the nodes already connected, so that on every primary a read is kept in the shared cache only when the patterns admit its key
--EXTENSIONS--
kelvo
--INI--
kelvo.maxmemory=16777216
--FILE--
<?php
require __DIR__ . '/../inc/cluster.inc';
$c = KelvoTestCluster::shared();
$k = new Kelvo\Cluster(null, $c->seeds);
$base = uniqid('adm');
/* For each primary a key of each kind; read once before any pattern, so every node has its link. */
$names = ['keep', 'skip', 'other'];
$keys = [];
foreach ($names as $kind) {
    for ($i = 0; count($keys[$kind] ?? []) < 3; $i++) {
        $key = "$kind:$base:$i";
        $keys[$kind][$c->owner($c->keyslot($key))] ??= $key;
    }
}
foreach ($keys as $kind => $byOwner) {
    foreach ($byOwner as $key) {
        $k->set($key, $kind);
        $k->get($key);
    }
}
$ids = $k->endpointId();

/* Which keys of a kind the shared cache holds after a fresh read of each. */
function cached(Kelvo\Cluster $k, array $byOwner): string
{
    Kelvo\Cluster::flushMemory();
    foreach ($byOwner as $key) {
        $k->get($key);
    }
    $held = [];
    foreach ($k->_getKeys() as $keys) {
        $held = array_merge($held, array_intersect(array_keys($keys), $byOwner));
    }
    return count($held) === count($byOwner) ? 'cached on every primary' : (count($held) ? 'cached on some' : 'never cached');
}
$report = function (string $step) use ($k, $keys) {
    echo "$step:\n";
    foreach ($keys as $kind => $byOwner) {
        printf("  %-5s %s\n", $kind, cached($k, $byOwner));
    }
};
$report('no patterns');
var_dump($k->addIgnorePatterns('skip:*', '', 'skip:*'), $k->addIgnorePatterns('skip:*'));
var_dump($k->getOption(Kelvo\Kelvo::OPT_IGNORE_PATTERNS));
$report('ignore skip:*');
var_dump($k->addAllowPatterns('keep:*', 'skip:*'));
$report('allow keep:* and skip:*, ignore skip:*');
?>
--EXPECT--
no patterns:
  keep  cached on every primary
  skip  cached on every primary
  other cached on every primary
int(1)
int(0)
array(1) {
  [0]=>
  string(6) "skip:*"
}
ignore skip:*:
  keep  cached on every primary
  skip  never cached
  other cached on every primary
int(2)
allow keep:* and skip:*, ignore skip:*:
  keep  cached on every primary
  skip  never cached
  other never cached
