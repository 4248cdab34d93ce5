--TEST--
Sentinel: the primary's address before and after a failover, a reset, and a stopped sentinel that makes calls fail within their timeouts (a group of its own)
--EXTENSIONS--
kelvo
--FILE--
<?php
require __DIR__ . '/sentinel.inc';
use Kelvo\Sentinel;

/* A primary, its replica and one sentinel of this test's own: a failover changes them for good. */
final class Group
{
    public array $env = [];
    private string $servers;

    public function __construct(private string $dir)
    {
        $this->servers = dirname(__DIR__, 3) . '/tests/harness/servers';
        exec(escapeshellarg($this->servers) . ' group ' . escapeshellarg($dir) . ' 2>&1', $out, $rc);
        if ($rc !== 0) {
            throw new RuntimeException('group did not start: ' . implode("\n", $out));
        }
        preg_match_all('/^export (\w+)=(.*)$/m', file_get_contents("$dir/env"), $m, PREG_SET_ORDER);
        foreach ($m as [, $name, $value]) {
            $this->env[$name] = $value;
        }
    }

    public function signal(string $signal): void
    {
        exec('kill -' . $signal . ' ' . (int) $this->env['KELVO_GROUP_SENTINEL_PID']);
    }

    public function __destruct()
    {
        $this->signal('CONT');
        exec(escapeshellarg($this->servers) . ' stop ' . escapeshellarg($this->dir));
        exec('rm -rf ' . escapeshellarg($this->dir));
    }
}

/* Calls `$call` until `$done` accepts its result or `$seconds` have passed; the last result. */
function within(float $seconds, callable $call, callable $done): mixed
{
    $until = microtime(true) + $seconds;
    do {
        $result = $call();
        if ($done($result)) {
            return $result;
        }
        usleep(100000);
    } while (microtime(true) < $until);
    return $result;
}

$group = new Group(sys_get_temp_dir() . '/kelvo-sentinel-group-' . getmypid());
$primary = $group->env['KELVO_GROUP_PRIMARY_PORT'];
$replica = $group->env['KELVO_GROUP_REPLICA_PORT'];
$port = (int) $group->env['KELVO_GROUP_SENTINEL_PORT'];
$s = new Sentinel('127.0.0.1', $port, 1.0, null, 0, 1.0);

echo 'before: the primary ', json_encode($s->getMasterAddrByName('kelvo-group') === ['127.0.0.1', $primary]), "\n";
// The sentinel may not have looked at the replica yet: it refuses with NOGOODSLAVE until it has.
$started = within(60, fn() => $s->failover('kelvo-group'), fn($ok) => $ok === true);
echo 'failover: ', json_encode($started), ' ', json_encode($s->getLastError() === null || str_contains($s->getLastError(), 'NOGOODSLAVE')), "\n";
$after = within(60, fn() => $s->getMasterAddrByName('kelvo-group'), fn($a) => $a === ['127.0.0.1', $replica]);
echo 'after: the former replica ', json_encode($after === ['127.0.0.1', $replica]), "\n";
// A reset while the failover is still under way would forget it: wait for the sentinel to switch over.
$switched = within(60, fn() => $s->master('kelvo-group')['port'] ?? null, fn($p) => $p === $replica);
echo 'switched: ', json_encode($switched === $replica), "\n";
echo 'reset: ', json_encode($s->reset('kelvo-*')), ', then the address: ', json_encode($s->getMasterAddrByName('kelvo-group') === ['127.0.0.1', $replica]), "\n";

echo "a stopped sentinel:\n";
$group->signal('STOP');
// A call that ignored its timeout would wait until the sentinel runs again: a ceiling far past the
// timeout tells them apart without asking the machine to be quick.
$timed = function (string $what, callable $call, float $limit) {
    $t = microtime(true);
    $outcome = explode('(', sentinel_outcome($call))[0];
    $elapsed = microtime(true) - $t;
    printf("  %s: %s, %s\n", $what, $outcome, $elapsed >= $limit * 0.5 && $elapsed < $limit + 10.0 ? 'within its timeout' : "after $elapsed s");
};
$timed('a command on a ready link', fn() => $s->myid(), 1.0);
$fresh = new Sentinel('127.0.0.1', $port, 1.0, null, 0, 0.5);
$timed('the handshake of a new link', fn() => $fresh->ping(), 0.5);
$group->signal('CONT');
echo '  running again, the next call connects anew: ', json_encode(strlen($s->myid())), ' ', json_encode($fresh->ping()), "\n";
--EXPECT--
before: the primary true
failover: true true
after: the former replica true
switched: true
reset: 1, then the address: true
a stopped sentinel:
  a command on a ready link: Kelvo\Exception, within its timeout
  the handshake of a new link: Kelvo\Exception, within its timeout
  running again, the next call connects anew: 40 true
