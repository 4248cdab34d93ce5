--TEST--
Cached reads: over seeded random reads and writes in four forked workers, every cached answer equals the uncached twin's, under each option profile
--EXTENSIONS--
kelvo
pcntl
--INI--
kelvo.invalidation_poll_freq=4000000000
kelvo.databases=4
--ENV--
KELVO_DIFF_STEPS=3000
--FILE--
<?php
require __DIR__ . '/differential.inc';
use Kelvo\Kelvo;

$own = new OwnServer();
$steps = (int) (getenv('KELVO_DIFF_STEPS') ?: 1200);
$seeds = getenv('KELVO_DIFF_SEED') ? [(int) getenv('KELVO_DIFF_SEED')] : [11, 12, 13, 14];
$profiles = [
    'defaults' => [],
    'php serializer, prefix, database 3' => [Kelvo::OPT_SERIALIZER => Kelvo::SERIALIZER_PHP, Kelvo::OPT_PREFIX => 'pfx:',
                                             'db' => 3],
    'no compatibility, null multibulk' => [Kelvo::OPT_PHPREDIS_COMPATIBILITY => false,
                                           Kelvo::OPT_NULL_MULTIBULK_AS_NULL => true],
    'throw on error, reply literal' => [Kelvo::OPT_THROW_ON_ERROR => true, Kelvo::OPT_REPLY_LITERAL => true],
];

function client(int $port, array $profile, bool $cached): Kelvo
{
    $c = new Kelvo('127.0.0.1', $port);
    $c->setOption(Kelvo::OPT_USE_CACHE, $cached);
    foreach ($profile as $option => $value) {
        if ($option !== 'db') {
            $c->setOption($option, $value);
        }
    }
    $c->select($profile['db'] ?? 0);
    return $c;
}

/* The same sequence in every process: the coordinator and each worker draw it from the seed. */
function sequence(int $seed, int $steps): array
{
    mt_srand($seed);
    $pick = fn(array $from) => $from[mt_rand(0, count($from) - 1)];
    $ops = [];
    for ($i = 0; $i < $steps; $i++) {
        $ops[] = mt_rand(0, 99) < 30 ? ['w', ...diff_write($pick)] : ['r', ...diff_read($pick)];
    }
    return $ops;
}

/* A worker: runs the steps it is sent, answering each with what it saw. */
function worker($sock, int $port, array $profile, array $ops): void
{
    $c = client($port, $profile, true);
    $twin = client($port, $profile, false);
    while (($line = fgets($sock)) !== false) {
        $op = $ops[(int) $line];
        if ($op[0] === 'w') {
            diff_outcome($c, $op[2], $op[1]);
            if ($op[1] === 'select') {
                diff_outcome($twin, $op[2], $op[1]);
            }
            fwrite($sock, json_encode(['w']) . "\n");
            continue;
        }
        [, $name, $call, $keys, $count] = $op;
        $before = $c->getBytes()[0];
        $random = str_contains($name, 'rand');
        if ($random) {
            try {
                $cached = @$call($c);
            } catch (\Kelvo\Exception $e) {
                $cached = diff_error($e);
            }
        } else {
            $cached = diff_outcome($c, $call, $name);
        }
        $local = $c->getBytes()[0] === $before;
        if ($random) {
            $ok = diff_random_ok($name, $cached, $twin, $keys[0], $count);
            $twinAnswer = 'members of the whole value';
            $cached = json_encode($cached, JSON_INVALID_UTF8_SUBSTITUTE);
        } else {
            $twinAnswer = diff_outcome($twin, $call, $name);
            $ok = $cached === $twinAnswer;
        }
        fwrite($sock, json_encode([$name, $local, $ok, $cached, $twinAnswer]) . "\n");
    }
    exit(0);
}

$counts = [];
$failures = [];
foreach ($seeds as $n => $seed) {
    $profileName = array_keys($profiles)[$n % count($profiles)];
    $profile = $profiles[$profileName];
    $ops = sequence($seed, $steps);
    (new Kelvo('127.0.0.1', $own->port))->flushall();
    $socks = $pids = [];
    for ($w = 0; $w < 4; $w++) {
        [$mine, $theirs] = stream_socket_pair(STREAM_PF_UNIX, STREAM_SOCK_STREAM, STREAM_IPPROTO_IP);
        $pid = pcntl_fork();
        if ($pid === 0) {
            fclose($mine);
            worker($theirs, $own->port, $profile, $ops);
        }
        fclose($theirs);
        $socks[] = $mine;
        $pids[] = $pid;
    }
    mt_srand($seed * 7919);
    foreach ($ops as $i => $op) {
        $w = mt_rand(0, 3);
        fwrite($socks[$w], "$i\n");
        $seen = json_decode(fgets($socks[$w]), true);
        if ($op[0] === 'w') {
            continue;
        }
        [$name, $local, $ok, $cached, $twin] = $seen;
        $counts[$name][$local ? 'local' : 'server'] = ($counts[$name][$local ? 'local' : 'server'] ?? 0) + 1;
        if (!$ok) {
            // The op log shrunk to the steps that touched the read's keys.
            $log = [];
            foreach (array_slice($ops, 0, $i + 1, true) as $j => $o) {
                if (array_intersect($o[0] === 'w' ? $o[3] : $o[3], $op[3])) {
                    $log[] = "$j:" . $o[1] . '(' . implode(',', $o[3]) . ')';
                }
            }
            $failures[] = "seed $seed ($profileName), step $i, worker $w: $name(" . implode(',', $op[3]) .
                ") cached $cached, server $twin\n    after " . implode(' ', array_slice($log, -12));
            if (count($failures) > 5) {
                break;
            }
        }
    }
    foreach ($socks as $s) {
        fclose($s);
    }
    foreach ($pids as $pid) {
        pcntl_waitpid($pid, $status);
    }
}

echo $failures ? implode("\n", $failures) . "\n" : "every cached answer equals the server's\n";
// Each read must have met both paths to mean anything; some are never answered locally.
$serverOnly = ['raw bad GETRANGE', 'raw bad BITCOUNT'];
foreach ($counts as $name => $c) {
    $local = $c['local'] ?? 0;
    $server = $c['server'] ?? 0;
    if (in_array($name, $serverOnly, true) ? $local !== 0 : ($local === 0 || $server === 0)) {
        echo "$name: $local local, $server from the server\n";
    }
}
echo count($counts), " read forms seen\n"; if (getenv("DIFF_SHOW")) { ksort($counts); foreach ($counts as $n => $c) echo "$n ", json_encode($c), "\n"; }
?>
--EXPECT--
every cached answer equals the server's
58 read forms seen
