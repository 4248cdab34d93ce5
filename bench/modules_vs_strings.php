<?php
// The module commands' per-call CPU against the string commands of the same size, on the scripted
// fake server (no server here carries the modules): JSON.SET of a 1 KiB document against SET of
// the same document through the json serializer (the same encoding work) and against SET of a
// 1 KiB string (no encoding at all), and FT.SEARCH with ten options against a GET whose key is as
// long as the search's arguments. Each row's user+system CPU of this process per call, five rounds
// alternating rows; the target is a ratio of at most 1 against the peer of the same work.
//   php -n -d extension=modules/kelvo.so -d kelvo.maxmemory=0 bench/modules_vs_strings.php [calls]
$calls = (int) ($argv[1] ?? 20000);
$rounds = 5;

$document = ['title' => str_repeat('t', 200), 'tags' => array_fill(0, 20, 'tag'), 'body' => str_repeat('b', 600),
             'n' => 12345, 'f' => 1.5];
$documentJson = json_encode($document);
$string = str_repeat('s', strlen($documentJson));
$searchOptions = ['NOCONTENT' => true, 'VERBATIM' => true, 'WITHSCORES' => true, 'INKEYS' => ['a', 'b'],
                  'RETURN' => ['title', 'c' => 'cost'], 'SLOP' => 1, 'INORDER' => true, 'LANGUAGE' => 'english',
                  'SORTBY' => ['price', 'DESC'], 'LIMIT' => [0, 10]];
$searchKey = str_repeat('k', strlen('idx@title:hello') + 80);

$rows = [
    'JSON.SET 1 KiB' => ['+OK\r\n', Kelvo\Kelvo::SERIALIZER_NONE, fn($k) => $k->jsonSet('doc', '$', $document)],
    'SET document (json)' => ['+OK\r\n', Kelvo\Kelvo::SERIALIZER_JSON, fn($k) => $k->set('doc', $document)],
    'SET 1 KiB string' => ['+OK\r\n', Kelvo\Kelvo::SERIALIZER_NONE, fn($k) => $k->set('doc', $string)],
    'FT.SEARCH 10 options' => ['*1\r\n:0\r\n', Kelvo\Kelvo::SERIALIZER_NONE, fn($k) => $k->ftSearch('idx', '@title:hello', $searchOptions)],
    'GET same size' => ['$1\r\n0\r\n', Kelvo\Kelvo::SERIALIZER_NONE, fn($k) => $k->get($searchKey)],
];

$lines = ['reply %2\r\n$6\r\nserver\r\n$5\r\nredis\r\n$7\r\nversion\r\n$5\r\n7.2.0\r\n', 'reply +OK\r\n', 'reply +OK\r\n'];
for ($r = 0; $r < $rounds; $r++) {
    foreach ($rows as [$reply]) {
        $lines = array_merge($lines, array_fill(0, $calls + 1, "reply $reply"));
    }
}
$script = tempnam(sys_get_temp_dir(), 'kbench');
file_put_contents($script, implode("\n", $lines) . "\n");
$server = proc_open(['python3', __DIR__ . '/../tests/harness/fakeserver', $script], [1 => ['pipe', 'w']], $pipes);
$port = (int) fgets($pipes[1]);

function cpu(): float
{
    $u = getrusage();
    return $u['ru_utime.tv_sec'] + $u['ru_utime.tv_usec'] / 1e6 + $u['ru_stime.tv_sec'] + $u['ru_stime.tv_usec'] / 1e6;
}

$k = new Kelvo\Kelvo('127.0.0.1', $port);
$spent = array_fill_keys(array_keys($rows), 0.0);
for ($r = 0; $r < $rounds; $r++) {
    foreach ($rows as $name => [, $serializer, $call]) {
        $k->setOption(Kelvo\Kelvo::OPT_SERIALIZER, $serializer);
        $call($k); // the first call of a round is not measured
        $start = cpu();
        for ($i = 0; $i < $calls; $i++) {
            $call($k);
        }
        $spent[$name] += cpu() - $start;
    }
}
$perCall = fn($name) => $spent[$name] / ($rounds * $calls) * 1e6;
printf("%-22s %10s\n", 'row', 'CPU us/call');
foreach ($rows as $name => $row) {
    printf("%-22s %10.2f\n", $name, $perCall($name));
}
printf("JSON.SET / SET document (json):  %.2f (target <= 1)\n", $perCall('JSON.SET 1 KiB') / $perCall('SET document (json)'));
printf("JSON.SET / SET 1 KiB string:     %.2f (the document's encoding included)\n", $perCall('JSON.SET 1 KiB') / $perCall('SET 1 KiB string'));
printf("FT.SEARCH / GET same size:       %.2f (target <= 1)\n", $perCall('FT.SEARCH 10 options') / $perCall('GET same size'));

proc_terminate($server);
proc_close($server);
unlink($script);
