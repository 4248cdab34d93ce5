--TEST--
Replica health: a replica whose ROLE shows no connected primary is marked unhealthy and never read from; a replica the topology lists as not online is skipped without contact until kelvo.cluster.shard_health_wait_time has passed, then asked CLUSTER SHARDS and used once it reports itself online
--EXTENSIONS--
kelvo
--FILE--
<?php
require __DIR__ . '/../inc/fakecluster.inc';
use Kelvo\Cluster as C;

/* Primary p and replica r; $health: r's health in the topology; $link: the replication state r's ROLE shows. */
function shard(string $health, string $link): FakeCluster
{
    $f = new FakeCluster(['p', 'r']);
    $topology = fn($h) => FakeCluster::reply($f->shards([['slots' => [[0, 16383]], 'nodes' => [['p'], ['r', 'replica', $h]]]]));
    $scripts = [];
    foreach (['p', 'r'] as $name) {
        /* discovery asks p and sees $health; r, asked about itself later, finds itself online */
        $scripts[$name] = array_merge(FakeCluster::handshake(), [
            'on CLUSTER SHARDS', $topology($name === 'p' ? $health : 'online'),
            'on ROLE', FakeCluster::reply(kelvo_resp3(['slave', '127.0.0.1', $f->ports['p'], $link, 1])),
            'on GET', FakeCluster::reply(kelvo_resp3("from $name")),
        ]);
    }
    $f->start($scripts);
    return $f;
}

function reads(FakeCluster $f, int $times = 4): string
{
    $c = new C(null, [$f->endpoint('p')], 0, 0, false, null, ['use-cache' => false]);
    $c->setOption(C::OPT_DISTRIBUTE, C::DISTRIBUTE_REPLICAS);
    $out = [];
    for ($i = 0; $i < $times; $i++) {
        $out[] = $c->get('k');
    }
    return implode(',', $out);
}
$words = fn(FakeCluster $f) => sprintf('r got ROLE %d, READONLY %d, SHARDS %d', substr_count($f->received('r'), '|ROLE|'),
                                       substr_count($f->received('r'), '|READONLY|'), substr_count($f->received('r'), '|SHARDS|'));

/* An hour between health questions: none comes during the reads below. */
ini_set('kelvo.cluster.shard_health_wait_time', '3600');
foreach (['connected', 'connecting', 'sync', 'handshake'] as $link) {
    $f = shard('online', $link);
    echo "ROLE $link: ", reads($f), '; ', $words($f), "\n";
}

$f = shard('loading', 'connected');
echo 'loading, wait not over: ', reads($f), '; ', $words($f), "\n";

ini_set('kelvo.cluster.shard_health_wait_time', '1');
$f = shard('loading', 'connected');
$c = new C(null, [$f->endpoint('p')], 0, 0, false, null, ['use-cache' => false]);
$c->setOption(C::OPT_DISTRIBUTE, C::DISTRIBUTE_RANDOM_REPLICA);
sleep(2); /* more than the wait since discovery */
echo 'loading, wait over: ', $c->get('k'), ',', $c->get('k'), '; ', $words($f), "\n";
?>
--EXPECT--
ROLE connected: from r,from r,from r,from r; r got ROLE 1, READONLY 1, SHARDS 0
ROLE connecting: from p,from p,from p,from p; r got ROLE 1, READONLY 0, SHARDS 0
ROLE sync: from p,from p,from p,from p; r got ROLE 1, READONLY 0, SHARDS 0
ROLE handshake: from p,from p,from p,from p; r got ROLE 1, READONLY 0, SHARDS 0
loading, wait not over: from p,from p,from p,from p; r got ROLE 0, READONLY 0, SHARDS 0
loading, wait over: from r,from r; r got ROLE 1, READONLY 1, SHARDS 1
