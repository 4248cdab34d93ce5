--TEST--
key_or_address: a key (with the key prefix, hash tags and any bytes) reaches the owner of the slot the server computes for it, an address array in its named or positional forms reaches that node, a malformed one warns and an unknown one gives false quietly
--FILE--
<?php
require __DIR__ . '/../inc/cluster.inc';
$t = KelvoTestCluster::shared();

/* The port of the node that answered. */
function answered(Kelvo\Cluster $c, mixed $target): mixed
{
    $info = $c->info($target, 'server');
    return is_array($info) ? (int) $info['tcp_port'] : $info;
}

$keys = ['', 'foo', '123456789', '{user1000}.following', '{user1000}.followers', 'foo{}{bar}', 'foo{{bar}}zap',
         '{bar', 'foo{bar', "a\0b", "{a\0b}x", 'x{y}z{w}', '}{x}', "\xff\xfe"];
foreach (['' => null, 'with prefix' => 'pfx:'] as $label => $prefix) {
    $c = new Kelvo\Cluster(null, $t->seeds, 0, 0, false, null, $prefix === null ? null : ['prefix' => $prefix]);
    $wrong = [];
    $moved = 0;
    foreach ($keys as $key) {
        $owner = $t->owner($t->keyslot(($prefix ?? '') . $key));
        if (answered($c, $key) !== KelvoTestCluster::port($owner)) {
            $wrong[] = bin2hex($key);
        }
        $moved += $owner !== $t->owner($t->keyslot($key));
    }
    echo ($label ?: 'plain'), ": ", $wrong ? 'wrong node for ' . implode(' ', $wrong) : 'every key on its owner', "\n";
    if ($prefix !== null) {
        var_dump($moved > 0); /* the prefix does change the owner of some of these keys */
    }
}

// Scalars other than strings are keys by their text.
$c = new Kelvo\Cluster(null, $t->seeds);
foreach ([123, 1.5, true] as $scalar) {
    var_dump(answered($c, $scalar) === KelvoTestCluster::port($t->owner($t->keyslot((string) $scalar))));
}

// Every node, primaries and replicas, by its address in each form.
$forms = [
    'named' => fn($h, $p) => ['host' => $h, 'port' => $p],
    'positional' => fn($h, $p) => [$h, $p],
    'mixed' => fn($h, $p) => ['port' => $p, 0 => $h],
    'named first' => fn($h, $p) => [1 => 0, 'host' => $h, 0 => 'ignored', 'port' => $p],
];
foreach ($forms as $name => $form) {
    $ok = true;
    foreach ($t->seeds as $e) {
        $ok = $ok && answered($c, $form(KelvoTestCluster::hostOf($e), KelvoTestCluster::port($e))) === KelvoTestCluster::port($e);
    }
    echo "$name: ", $ok ? 'every node' : 'wrong', "\n";
}

[$h, $p] = [KelvoTestCluster::hostOf($t->seeds[0]), KelvoTestCluster::port($t->seeds[0])];
$malformed = [
    'port above 65535' => [$h, 65536],
    'negative port' => [$h, -1],
    'port as text' => [$h, (string) $p],
    'host not a string' => [7, $p],
    'no port' => [$h],
    'empty' => [],
    'null' => null,
    'object' => new stdClass(),
];
foreach ($malformed as $what => $target) {
    echo "$what: ";
    var_dump($c->dbsize($target));
}
$unknown = ['port of no node' => [$h, 1], 'other host' => ['127.0.0.2', $p], 'host alone' => [$h, 0]];
foreach ($unknown as $what => $target) {
    error_clear_last();
    echo "$what: ";
    var_dump($c->dbsize($target), error_get_last());
}
?>
--EXPECTF--
plain: every key on its owner
with prefix: every key on its owner
bool(true)
bool(true)
bool(true)
bool(true)
named: every node
positional: every node
mixed: every node
named first: every node
port above 65535: 
Warning: Kelvo\Cluster::dbsize(): Node must contain host and port in %s on line %d
bool(false)
negative port: 
Warning: Kelvo\Cluster::dbsize(): Node must contain host and port in %s on line %d
bool(false)
port as text: 
Warning: Kelvo\Cluster::dbsize(): Node must contain host and port in %s on line %d
bool(false)
host not a string: 
Warning: Kelvo\Cluster::dbsize(): Node must contain host and port in %s on line %d
bool(false)
no port: 
Warning: Kelvo\Cluster::dbsize(): Node must contain host and port in %s on line %d
bool(false)
empty: 
Warning: Kelvo\Cluster::dbsize(): Node must contain host and port in %s on line %d
bool(false)
null: 
Warning: Kelvo\Cluster::dbsize(): Node must contain host and port in %s on line %d
bool(false)
object: 
Warning: Kelvo\Cluster::dbsize(): Node must contain host and port in %s on line %d
bool(false)
port of no node: bool(false)
NULL
other host: bool(false)
NULL
host alone: bool(false)
NULL
