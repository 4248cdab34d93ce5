<?php
// kelvo demo, against the redis-server that scripts/demo started: the shared cache first (one cache
// for every worker of a host, kept coherent by the server's invalidation pushes), then the client.
use Kelvo\Kelvo;

$host = getenv('KELVO_DEMO_HOST') ?: '127.0.0.1';
$port = (int) (getenv('KELVO_DEMO_PORT') ?: 6379);

$kelvo = new Kelvo($host, $port);
printf("kelvo %s, talking RESP3 to %s %s at %s:%d\n",
    phpversion('kelvo'), $kelvo->serverName(), $kelvo->serverVersion(), $host, $port);

/* A read and where it was answered: the bytes its client sent tell the server from shared memory. */
function read(Kelvo $client, string $who, string $key): void
{
    $before = $client->getBytes()[0];
    $value = $client->get($key);
    $sent = $client->getBytes()[0] - $before;
    printf("  %-14s GET %s -> %-15s %s\n", $who, $key, json_encode($value),
        $sent ? "from the server ($sent bytes sent)" : 'from shared memory (nothing sent)');
}

/*
 * A worker: a forked process, as php-fpm forks them, with a client of its own. What a link stored is
 * served while that link is heard from (it is the one the server pushes invalidations to), so the
 * parent keeps its link read, as a busy worker does; what a worker stores goes when it ends.
 */
function worker(string $who, callable $job): void
{
    global $host, $port, $kelvo;
    $kelvo->ping();
    $pid = pcntl_fork();
    if ($pid === 0) {
        $client = new Kelvo($host, $port);
        $client->ping();
        $job($client, $who);
        exit(0);
    }
    pcntl_waitpid($pid, $status);
}

echo "One cache for every worker:\n";
$kelvo->set('demo:page', 'rendered once');
read($kelvo, 'parent', 'demo:page');
read($kelvo, 'parent', 'demo:page');
worker('worker 1', fn($k, $who) => read($k, $who, 'demo:page'));
worker('worker 2', fn($k, $who) => read($k, $who, 'demo:page'));

echo "Kept coherent by the server's pushes:\n";
$writer = new Kelvo($host, $port);
$writer->setOption(Kelvo::OPT_USE_CACHE, false);
$writer->set('demo:page', 'rendered twice');
echo "  another client  SET demo:page \"rendered twice\" (the server pushes an invalidation to the parent's link)\n";
worker('worker 3', fn($k, $who) => read($k, $who, 'demo:page'));
read($kelvo, 'parent', 'demo:page');
worker('worker 4', fn($k, $who) => read($k, $who, 'demo:page'));

echo "A pipeline of cached reads sends nothing:\n";
$before = $kelvo->getBytes()[0];
$results = $kelvo->pipeline()->get('demo:page')->get('demo:page')->get('demo:page')->exec();
printf("  3 GETs -> %s, %d bytes sent\n", json_encode($results), $kelvo->getBytes()[0] - $before);

echo "The client:\n";
$kelvo->set('demo:greeting', 'hello from kelvo');
printf("  GET demo:greeting       -> %s\n", $kelvo->get('demo:greeting'));
printf("  INCR demo:visits        -> %d\n", $kelvo->incr('demo:visits'));
$kelvo->hset('demo:user', 'name', 'Ada');
$kelvo->hset('demo:user', 'lang', 'PHP');
printf("  HGETALL demo:user       -> %s\n", json_encode($kelvo->hgetall('demo:user')));

// Values packed on the way out and unpacked on the way back.
$kelvo->setOption(Kelvo::OPT_SERIALIZER, Kelvo::SERIALIZER_PHP);
$kelvo->setOption(Kelvo::OPT_COMPRESSION, Kelvo::COMPRESSION_LZF);
$kelvo->set('demo:packed', ['id' => 7, 'tags' => ['a', 'b']]);
printf("  a PHP array comes back  -> %s (%d bytes on the server)\n", json_encode($kelvo->get('demo:packed')),
    $kelvo->strlen('demo:packed'));

// Server errors: recorded as the last error by default, thrown on request.
printf("  an unknown command      -> %s, last error: %s\n", json_encode($kelvo->rawCommand('NO-SUCH-COMMAND')),
    $kelvo->getLastError());
$kelvo->setOption(Kelvo::OPT_THROW_ON_ERROR, true);
try {
    $kelvo->rawCommand('NO-SUCH-COMMAND');
} catch (\Kelvo\Exception $e) {
    printf("  thrown                  -> %s\n", strtok($e->getMessage(), '('));
}

$kelvo->del('demo:page', 'demo:greeting', 'demo:visits', 'demo:user', 'demo:packed');
