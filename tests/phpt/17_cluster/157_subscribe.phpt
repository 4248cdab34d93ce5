--TEST--
Cluster publish/subscribe: subscribe, psubscribe and ssubscribe run their loop on the node of the first channel's slot and hand the cluster object to the callback, which leaves from inside; shard channels of several slots and leaving without a subscription are refused
--FILE--
<?php
require __DIR__ . '/../inc/cluster.inc';
$t = KelvoTestCluster::shared();
$ns = 'nw157-' . getmypid();

/*
 * A forked publisher: each [command, channel, payload, name] to the node of the name's slot (where
 * the subscription is), again until a subscriber there got it.
 */
function publisher(array $messages): int
{
    global $t;
    $pid = pcntl_fork();
    if ($pid !== 0) {
        return $pid;
    }
    foreach ($messages as [$command, $channel, $payload, $name]) {
        $node = new KelvoRawNode($t->owner($t->keyslot($name)));
        $deadline = microtime(true) + 30;
        while ($node->call($command, $channel, $payload) < 1 && microtime(true) < $deadline) {
            usleep(20000);
        }
    }
    exit(0);
}

foreach ([
    'subscribe' => ['subscribe', 'unsubscribe', ["$ns:a"], null, 'PUBLISH', ["$ns:a"]],
    'psubscribe' => ['psubscribe', 'punsubscribe', ["$ns:p*"], null, 'PUBLISH', ["$ns:px"]],
    'ssubscribe' => ['ssubscribe', 'sunsubscribe', ["{{$ns}}s1", "{{$ns}}s2"], null, 'SPUBLISH', ["{{$ns}}s2"]],
    'ssubscribe, key prefix' => ['ssubscribe', 'sunsubscribe', ["{{$ns}}s"], 'pre:', 'SPUBLISH', ["pre:{{$ns}}s"]],
] as $case => [$method, $leave, $names, $prefix, $command, $targets]) {
    $c = new Kelvo\Cluster(null, $t->seeds, 0, 0, false, null, $prefix ? ['prefix' => $prefix] : []);
    $messages = [];
    foreach ($targets as $target) {
        $messages[] = [$command, $target, 'one', ($prefix ?? '') . $names[0]];
        $messages[] = [$command, $target, 'stop', ($prefix ?? '') . $names[0]];
    }
    $pid = publisher($messages);
    $log = [];
    $result = $c->$method($names, function ($client, ...$args) use (&$log, $c, $leave, $ns) {
        $log[] = ($client === $c ? 'cluster ' : 'another object ') . str_replace($ns, 'NS', json_encode($args));
        if (end($args) === 'stop') {
            $log[] = 'leaving: ' . json_encode($client->$leave());
        }
    });
    pcntl_waitpid($pid, $status);
    echo "$case: ", json_encode($result), ', next command ', json_encode($c->set("$ns:after", 1)), "\n  ",
         implode("\n  ", $log), "\n";
}

$c = new Kelvo\Cluster(null, $t->seeds);
var_dump($c->ssubscribe(['a', 'b'], fn() => null), $c->unsubscribe(['x']));
$c->del("$ns:after");
?>
--EXPECTF--
subscribe: true, next command true
  cluster ["NS:a","one"]
  cluster ["NS:a","stop"]
  leaving: true
psubscribe: true, next command true
  cluster ["NS:p*","NS:px","one"]
  cluster ["NS:p*","NS:px","stop"]
  leaving: true
ssubscribe: true, next command true
  cluster ["{NS}s2","one"]
  cluster ["{NS}s2","stop"]
  leaving: true
ssubscribe, key prefix: true, next command true
  cluster ["pre:{NS}s","one"]
  cluster ["pre:{NS}s","stop"]
  leaving: true

Warning: Kelvo\Cluster::ssubscribe(): Shard channels must all map to one slot in %s on line %d

Warning: Kelvo\Cluster::unsubscribe(): Not subscribed in %s on line %d
bool(false)
bool(false)
