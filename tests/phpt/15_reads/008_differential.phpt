--TEST--
Cached reads: over seeded random reads and writes in four forked workers, with an outside writer on a plain socket, keys expiring between steps, pipelines and transactions, every cached answer equals the uncached twin's under each option profile
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
// By hand: KELVO_DIFF_SEED=a,b,... runs those seeds, the profiles taken in turn from the first.
$seeds = getenv('KELVO_DIFF_SEED') ? array_map('intval', explode(',', getenv('KELVO_DIFF_SEED'))) : range(11, 18);
$profiles = [
    'defaults' => [],
    'php serializer, prefix, database 3' => [Kelvo::OPT_SERIALIZER => Kelvo::SERIALIZER_PHP, Kelvo::OPT_PREFIX => 'pfx:',
                                             'db' => 3],
    'no compatibility, null multibulk' => [Kelvo::OPT_PHPREDIS_COMPATIBILITY => false,
                                           Kelvo::OPT_NULL_MULTIBULK_AS_NULL => true],
    'throw on error, reply literal' => [Kelvo::OPT_THROW_ON_ERROR => true, Kelvo::OPT_REPLY_LITERAL => true],
    'lzf compressor, ignore numbers' => [Kelvo::OPT_COMPRESSION => Kelvo::COMPRESSION_LZF,
                                         Kelvo::OPT_PACK_IGNORE_NUMBERS => true],
    'zstd compressor, json serializer, ignore numbers' => [Kelvo::OPT_COMPRESSION => Kelvo::COMPRESSION_ZSTD,
                                                           Kelvo::OPT_SERIALIZER => Kelvo::SERIALIZER_JSON,
                                                           Kelvo::OPT_PACK_IGNORE_NUMBERS => true],
    'lz4 compressor, php serializer, database 3' => [Kelvo::OPT_COMPRESSION => Kelvo::COMPRESSION_LZ4,
                                                     Kelvo::OPT_SERIALIZER => Kelvo::SERIALIZER_PHP, 'db' => 3],
    // d:hll is not allowed and d:set3 is ignored: their values are not stored.
    'allow and ignore patterns' => [Kelvo::OPT_ALLOW_PATTERNS => ['d:[sz]*', 'd:h1', 'd:l*'],
                                    Kelvo::OPT_IGNORE_PATTERNS => ['d:set3']],
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
    while (count($ops) < $steps) {
        $kind = mt_rand(0, 99);
        $ops[] = $op = match (true) {
            $kind < 24 => ['w', ...diff_write($pick)],
            $kind < 32 => ['o', ...diff_outside($pick)],
            $kind < 37 => ['b', ...diff_batch($pick)],
            default => ['r', ...diff_read($pick)],
        };
        // The same read again, often in another worker, is where most local answers come from.
        if ($op[0] === 'r' && mt_rand(0, 99) < 30) {
            $ops[] = $op;
        }
    }
    return array_slice($ops, 0, $steps);
}

/* A worker: runs the steps it is sent, answering each with what it saw. */
function worker($sock, int $port, array $profile, array $ops): void
{
    $c = client($port, $profile, true);
    $twin = client($port, $profile, false);
    $raw = new RawResp($port);
    $prefix = $profile[Kelvo::OPT_PREFIX] ?? '';
    while (($line = fgets($sock)) !== false) {
        if ($line === "barrier\n") {
            $c->ping();
            fwrite($sock, "[]\n");
            continue;
        }
        $op = $ops[(int) $line];
        if ($op[0] === 'w') {
            diff_outcome($c, $op[2], $op[1]);
            if ($op[1] === 'select') {
                diff_outcome($twin, $op[2], $op[1]);
            }
            fwrite($sock, json_encode(['w']) . "\n");
            continue;
        }
        if ($op[0] === 'b') {
            // The batch runs on the caching client, its writes are undone, then it runs on the twin.
            [, $kind, $steps, , $written] = $op;
            $db = $twin->getDbNum();
            $snapshot = $written ? $raw->snapshot($db, array_unique([...$written, ...diff_prefixed($prefix, $written)])) : [];
            $hits = Kelvo::stats()['stats']['hits'];
            $cached = diff_batch_outcome($c, $kind, $steps);
            $local = Kelvo::stats()['stats']['hits'] > $hits;
            if ($snapshot) {
                $raw->restore($db, $snapshot);
            }
            $twinAnswer = diff_batch_outcome($twin, $kind, $steps);
            fwrite($sock, json_encode([$kind, $local, $cached === $twinAnswer, $cached, $twinAnswer]) . "\n");
            continue;
        }
        [, $name, $call, $keys, $count, $prefixed] = $op;
        $before = $c->getBytes()[0];
        $random = diff_is_random($name);
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
            $ok = diff_random_ok($name, $cached, $twin, $keys[0], $count, $prefixed, $whole);
            $twinAnswer = 'drawn from ' . json_encode($whole, JSON_INVALID_UTF8_SUBSTITUTE);
            $cached = json_encode($cached, JSON_INVALID_UTF8_SUBSTITUTE);
        } else {
            $twinAnswer = diff_outcome($twin, $call, $name);
            $ok = $cached === $twinAnswer;
        }
        fwrite($sock, json_encode([$name, $local, $ok, $cached, $twinAnswer]) . "\n");
    }
    exit(0);
}

function diff_prefixed(string $prefix, array $keys): array
{
    return array_map(fn($k) => $prefix . $k, $keys);
}

/* A step as the failure log shows it. */
function diff_describe(array $op): string
{
    $steps = $op[0] === 'b' ? ' [' . implode(' ', array_map('diff_describe', $op[2])) . ']' : '';
    return $op[1] . '(' . implode(',', $op[3]) . ')' . $steps;
}

$counts = $bySeed = [];
$failures = [];
$raced = 0;
foreach ($seeds as $n => $seed) {
    $profileName = array_keys($profiles)[$n % count($profiles)];
    $profile = $profiles[$profileName];
    $prefix = $profile[Kelvo::OPT_PREFIX] ?? '';
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
    $outside = new RawResp($own->port);
    $expiry = new DiffExpiry();
    $pushed = false; // writes kelvo did not make may wait as pushes on the workers' links
    mt_srand($seed * 7919);
    foreach ($ops as $i => $op) {
        $w = mt_rand(0, 3);
        $sent = microtime(true);
        if ($op[0] === 'o') {
            [, , $words, $keys, $ttl, $db, $prefixed] = $op;
            $key = ($prefixed ? $prefix : '') . $keys[0];
            $outside->run(['SELECT', (string) $db], array_map(fn($word) => $word === "\0k" ? $key : $word, $words));
            $pushed = true;
            if ($ttl) {
                $expiry->set($keys[0], $ttl, $sent, microtime(true));
            }
            continue;
        }
        $mayExpire = INF;
        if ($op[0] !== 'w') {
            // A key whose TTL may have run out is settled first: deleted by the server, its push applied.
            $mayExpire = $expiry->earliest($op[3]);
            if ($op[0] === 'b' || $mayExpire <= $sent) {
                if ($gone = $expiry->waitPast($op[3])) {
                    $names = [...$gone, ...diff_prefixed($prefix, $gone)];
                    $outside->run(['SELECT', '0'], ['EXISTS', ...$names], ['SELECT', '3'], ['EXISTS', ...$names]);
                    $pushed = true;
                }
                $mayExpire = INF;
            }
            if ($pushed) {
                foreach ($socks as $s) {
                    fwrite($s, "barrier\n");
                }
                foreach ($socks as $s) {
                    fgets($s);
                }
                $pushed = false;
            }
        }
        fwrite($socks[$w], "$i\n");
        $seen = json_decode(fgets($socks[$w]), true);
        if ($op[0] === 'w') {
            if ($op[4]) {
                $expiry->set($op[3][0], $op[4], $sent, microtime(true));
            }
            continue;
        }
        $pushed = $pushed || ($op[0] === 'b' && $op[4]);
        if (microtime(true) >= $mayExpire) {
            // A key may have run out between the two reads: they need not agree.
            $raced++;
            continue;
        }
        [$name, $local, $ok, $cached, $twin] = $seen;
        $counts[$name][$local ? 'local' : 'server'] = ($counts[$name][$local ? 'local' : 'server'] ?? 0) + 1;
        $bySeed[$n][$local ? 'local' : 'server'][$name] = true;
        if (!$ok) {
            // The op log shrunk to the steps that touched the read's keys.
            $log = [];
            foreach (array_slice($ops, 0, $i + 1, true) as $j => $o) {
                if (array_intersect($o[3], $op[3])) {
                    $log[] = "$j:" . diff_describe($o);
                }
            }
            $failures[] = "seed $seed ($profileName), step $i, worker $w: " . diff_describe($op) .
                " cached $cached, server $twin\n    after " . implode(' ', array_slice($log, -12));
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
// Each read must have met both paths to mean anything; some are never answered locally (a
// transaction never consults the cache).
$serverOnly = ['raw bad GETRANGE', 'raw bad BITCOUNT', 'multi', 'sdiffcard', 'sunioncard', 'raw SDIFFCARD', 'raw SUNIONCARD'];
foreach ($counts as $name => $c) {
    $local = $c['local'] ?? 0;
    $server = $c['server'] ?? 0;
    if (in_array($name, $serverOnly, true) ? $local !== 0 : ($local === 0 || $server === 0)) {
        echo "$name: $local local, $server from the server\n";
    }
}
// Each profile must keep the cache at work: a seed answering few forms locally proves little.
foreach ($bySeed as $n => $met) {
    $forms = count($met['local'] ?? []);
    if ($forms < 3 * count($counts) / 4) {
        echo "seed {$seeds[$n]} (", array_keys($profiles)[$n % count($profiles)], "): only $forms forms answered locally\n";
    }
}
// Every cached read of the catalogue is here, by its method and by rawCommand.
[$reads, $rand] = diff_read_forms(fn(array $from) => $from[0]);
$names = array_column([...$reads, ...$rand], 0);
foreach (file(__DIR__ . '/../../../tools/commands.tsv') as $line) {
    $columns = preg_split('/\s+/', trim($line));
    if ($line[0] === '#' || ($columns[3] ?? '') !== 'cached') {
        continue;
    }
    $word = $columns[1];
    if (!array_filter($names, fn($n) => strtok($n, ' +') === strtolower($word))) {
        echo "$word: no method form\n";
    }
    if (!preg_grep('/^raw ' . $word . '([ +]|$)/', $names)) {
        echo "$word: no rawCommand form\n";
    }
}
echo count($counts), " read forms seen\n";
if (getenv('DIFF_SHOW')) {
    // By hand: what each form met, and per seed the forms it never answered locally.
    ksort($counts);
    foreach ($counts as $name => $c) {
        echo "$name ", json_encode($c), "\n";
    }
    foreach ($bySeed as $n => $met) {
        echo "seed {$seeds[$n]}: ", count($met['local'] ?? []), ' forms answered locally, none of ',
            implode(', ', array_keys(array_diff_key($met['server'], $met['local'] ?? []))), "\n";
    }
    echo "$raced reads raced an expiry\n";
}
?>
--EXPECT--
every cached answer equals the server's
93 read forms seen
