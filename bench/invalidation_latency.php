<?php
// Invalidation under php-fpm. 8 idle workers hold a key in the shared cache (each read it at its
// last request; the one whose read went to the server is the link told of a write). An outside
// client writes it while a ninth worker, inside a request, reads the key in a loop from the shared
// cache through a new link that never read it from the server (checked with the server's GET count),
// so only the idle workers' signal reader can take the value away. The figure is the time from just
// before the write is sent to the prober's last read of the old value: median, 99th percentile, max.
// Then the request start with nothing pending: two pinned workers, one with 1 pooled link and one
// with 8 (one per server), report when their script starts; the difference of the medians of
// send -> user code over 7 links is the cost per link.
// Starts 8 redis-servers and php-fpm (php8.2-fpm, 11 static workers) on free loopback ports; the
// FastCGI connections are kept open so each stays with the worker that accepted it.
//   php -n -d extension=modules/kelvo.so bench/invalidation_latency.php [writes] [requests]
$writes = (int) ($argv[1] ?? 2000);
$requests = (int) ($argv[2] ?? 5000);
$module = realpath(__DIR__ . '/../modules/kelvo.so');
$dir = sys_get_temp_dir() . '/kelvo-bench-' . getmypid();
@mkdir($dir);

function freePort(): int
{
    $s = stream_socket_server('tcp://127.0.0.1:0');
    $name = stream_socket_get_name($s, false);
    fclose($s);
    return (int) substr($name, strrpos($name, ':') + 1);
}

function waitPort(int $port): void
{
    for ($i = 0; $i < 500; $i++) {
        if ($s = @stream_socket_client("tcp://127.0.0.1:$port", $e, $m, 0.1)) {
            fclose($s);
            return;
        }
        usleep(10000);
    }
    throw new RuntimeException("nothing listens on $port");
}

$children = [];
register_shutdown_function(function () use (&$children, $dir) {
    foreach (array_reverse($children) as $p) {
        proc_terminate($p, SIGTERM);
        proc_close($p);
    }
    $log = (string) @file_get_contents("$dir/out.log");
    if (preg_match('/exited on signal|SIGSEGV/i', $log)) {
        echo "workers died:\n$log";
    }
    array_map('unlink', glob("$dir/*"));
    @rmdir($dir);
});
$ports = [];
for ($i = 0; $i < 8; $i++) {
    $ports[$i] = freePort();
    $children[] = proc_open(['redis-server', '--port', (string) $ports[$i], '--bind', '127.0.0.1', '--save', '',
                             '--appendonly', 'no'], [0 => ['file', '/dev/null', 'r'], 1 => ['file', '/dev/null', 'w'],
                                                    2 => ['file', '/dev/null', 'w']], $pipes);
}
foreach ($ports as $port) {
    waitPort($port);
}

$worker = <<<'PHP'
<?php
$ports = explode(',', $_SERVER['BENCH_PORTS']);
switch ($_GET['do'] ?? '') {
    case 'warm': // the key cached, and this worker's link tracking it
        $c = new Kelvo\Kelvo();
        $c->pconnect('127.0.0.1', (int) $ports[0]);
        echo json_encode([getmypid(), $c->get('bench:key')]);
        break;
    case 'links': // one pooled link per server, for the first `n` servers
        for ($i = 0; $i < (int) $_GET['n']; $i++) {
            $c = new Kelvo\Kelvo();
            $c->pconnect('127.0.0.1', (int) $ports[$i]);
            $c->ping();
        }
        echo json_encode([getmypid()]);
        break;
    case 'start': // when user code starts: the request start duties are behind
        echo json_encode([getmypid(), hrtime(true)]);
        break;
    case 'probe': // reads the key from the shared cache until the old value stops being served
        $start = hrtime(true);
        $c = new Kelvo\Kelvo('127.0.0.1', (int) $ports[0]); // a new link, which has never read the key
        $old = $_GET['old'];
        echo json_encode([getmypid(), 'ready']), "\n";
        flush();
        $last = hrtime(true);
        while (($v = $c->get('bench:key')) === $old) {
            $last = hrtime(true);
            if ($last - $start > 2e9) {
                break;
            }
        }
        echo json_encode([getmypid(), $v, $last, hrtime(true), $c->getLastError()]);
        break;
}
PHP;
file_put_contents("$dir/worker.php", $worker);
$fpmPort = freePort();
file_put_contents("$dir/fpm.conf", implode("\n", [
    '[global]', "error_log = $dir/fpm.log", 'daemonize = no', "pid = $dir/fpm.pid",
    '[pool]', "listen = 127.0.0.1:$fpmPort", 'pm = static', 'pm.max_children = 11', 'pm.max_requests = 0',
    'clear_env = no', 'catch_workers_output = yes', '',
]));
putenv('BENCH_PORTS=' . implode(',', $ports));
$children[] = proc_open(['/usr/sbin/php-fpm8.2', '-n', '-R', '-F', '-y', "$dir/fpm.conf", '-d', "extension=$module",
                         '-d', 'kelvo.max_db_writers=16'],
                        [0 => ['file', '/dev/null', 'r'], 1 => ['file', "$dir/out.log", 'a'], 2 => ['file', "$dir/out.log", 'a']],
                        $pipes);
waitPort($fpmPort);

/** A FastCGI connection kept open, so every request on it goes to the worker that accepted it. */
final class Fcgi
{
    /** @var resource */
    public $s;

    public function __construct(int $port, private string $script)
    {
        $this->s = stream_socket_client("tcp://127.0.0.1:$port");
        stream_set_write_buffer($this->s, 0);
    }

    private static function record(int $type, string $body): string
    {
        return pack('CCnnCC', 1, $type, 1, strlen($body), 0, 0) . $body;
    }

    private static function pair(string $k, string $v): string
    {
        $len = fn($n) => $n < 128 ? chr($n) : pack('N', $n | 0x80000000);
        return $len(strlen($k)) . $len(strlen($v)) . $k . $v;
    }

    public function send(string $query): void
    {
        $params = '';
        foreach (['SCRIPT_FILENAME' => $this->script, 'REQUEST_METHOD' => 'GET', 'QUERY_STRING' => $query,
                  'BENCH_PORTS' => getenv('BENCH_PORTS')] as $k => $v) {
            $params .= self::pair($k, $v);
        }
        fwrite($this->s, self::record(1, pack('nCx5', 1, 1)) . self::record(4, $params) . self::record(4, '')
                         . self::record(5, ''));
    }

    private function exactly(int $n): string
    {
        $out = '';
        while (strlen($out) < $n) {
            $chunk = fread($this->s, $n - strlen($out));
            if ($chunk === '' || $chunk === false) {
                throw new RuntimeException('php-fpm closed the connection');
            }
            $out .= $chunk;
        }
        return $out;
    }

    /** The next line of output (a probe's ready line), or the rest of the body at the request's end. */
    public function receive(bool $line = false): string
    {
        static $pending = [];
        $key = (int) $this->s;
        $body = $pending[$key] ?? '';
        for (;;) {
            $head = strpos($body, "\r\n\r\n");
            if ($line && $head !== false && ($at = strpos($body, "\n", $head + 4)) !== false) {
                $pending[$key] = substr($body, $at + 1);
                return substr($body, $head + 4, $at - $head - 4);
            }
            $h = unpack('Cv/Ctype/nid/nlen/Cpad/Cr', $this->exactly(8));
            $content = $h['len'] ? $this->exactly($h['len']) : '';
            if ($h['pad']) {
                $this->exactly($h['pad']);
            }
            if ($h['type'] === 6) {
                $body .= $content;
            } elseif ($h['type'] === 3) {
                $wasLine = array_key_exists($key, $pending);
                unset($pending[$key]);
                $at = $wasLine ? false : strpos($body, "\r\n\r\n");
                return $at === false ? $body : substr($body, $at + 4);
            }
        }
    }

    public function request(string $query): string
    {
        $this->send($query);
        return $this->receive();
    }
}

function getCalls(Kelvo\Kelvo $c): int
{
    return preg_match('/cmdstat_get:calls=(\d+)/', $c->rawCommand('INFO', 'commandstats'), $m) ? (int) $m[1] : 0;
}

function percentile(array $v, float $p): float
{
    sort($v);
    return $v[min(count($v) - 1, (int) floor($p * count($v)))];
}

$writer = new Kelvo\Kelvo('127.0.0.1', $ports[0]);
$writer->setOption(Kelvo\Kelvo::OPT_USE_CACHE, false);
$writer->set('bench:key', 'v0');

// Eight connections opened and each given a request before the next: each lands on its own worker.
$holders = [];
$pids = [];
for ($i = 0; $i < 8; $i++) {
    $holders[$i] = new Fcgi($fpmPort, "$dir/worker.php");
    $holders[$i]->send('do=warm');
}
foreach ($holders as $h) {
    $pids[json_decode($h->receive(), true)[0]] = true;
}
$prober = new Fcgi($fpmPort, "$dir/worker.php");
$prober->send('do=start');
$proberPid = json_decode($prober->receive(), true)[0];
if (count($pids) !== 8 || isset($pids[$proberPid])) {
    throw new RuntimeException('the holders and the prober are not nine distinct workers');
}

$latency = [];
$late = 0;
$errors = [];
for ($n = 1; $n <= $writes; $n++) {
    $old = 'v' . ($n - 1);
    foreach ($holders as $h) { // every holder has the current value cached and its link armed again
        $r = json_decode($h->request('do=warm'), true);
        if ($r[1] !== $old) {
            throw new RuntimeException("a holder read {$r[1]}, not $old");
        }
    }
    $getsWarm = getCalls($writer);
    $prober->send("do=probe&old=$old");
    $prober->receive(true);
    usleep(200); // the prober is spinning on cache hits
    $gets = getCalls($writer);
    if ($gets !== $getsWarm) {
        throw new RuntimeException('the prober read the key from the server: its own link would be told of the write');
    }
    $t0 = hrtime(true);
    $writer->set('bench:key', "v$n");
    [$pid, $v, $lastOld, $firstNew, $error] = json_decode($prober->receive(), true);
    if ($v !== "v$n") {
        $late++;
        $errors[$error ?? var_export($v, true)] = true;
        continue;
    }
    // The old value stopped being served between the last old read and the first new one.
    $latency[] = (max($lastOld, $t0) - $t0) / 1e3;
}
printf("write -> no worker serves the old value (8 idle holders, %d writes): median %.1f µs, p99 %.1f µs, max %.1f µs%s\n",
       count($latency), percentile($latency, 0.5), percentile($latency, 0.99), max($latency),
       $late ? ", $late probes got neither value (" . implode('; ', array_keys($errors)) . ')' : '');

// Request start with nothing pending: one worker with 1 pooled link, another with 8.
$one = new Fcgi($fpmPort, "$dir/worker.php");
$eight = new Fcgi($fpmPort, "$dir/worker.php");
$one->send('do=links&n=1');
$eight->send('do=links&n=8');
$one->receive();
$eight->receive();
$starts = [1 => [], 8 => []];
for ($i = 0; $i < $requests; $i++) {
    foreach ([1 => $one, 8 => $eight] as $links => $c) {
        $sent = hrtime(true);
        $starts[$links][] = (json_decode($c->request('do=start'), true)[1] - $sent) / 1e3;
    }
}
$m1 = percentile($starts[1], 0.5);
$m8 = percentile($starts[8], 0.5);
printf("request start, send -> user code (%d requests): 1 pooled link %.1f µs, 8 pooled links %.1f µs, per link %.2f µs\n",
       $requests, $m1, $m8, ($m8 - $m1) / 7);

