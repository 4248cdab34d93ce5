--TEST--
php-fpm workers share a namespace: what each worker stores, replaces and removes, every other worker of the pool sees
--EXTENSIONS--
kelvo
--FILE--
<?php
require __DIR__ . '/fpm.inc';

$pool = new FpmPool(4, <<<'PHP'
<?php
use Kelvo\Table;
$pid = getmypid();
switch ($_GET['op']) {
case 'join':
    // Stores its own key, then waits until every worker of the pool has.
    Table::set("worker:$pid", ['pid' => $pid, 'n' => (int) $_GET['n']], null, 'fpm');
    for ($i = 0; $i < 400 && Table::count('fpm') < 4; $i++) {
        usleep(10000);
    }
    $keys = Table::keys('worker:*', 'fpm');
    sort($keys);
    echo json_encode(['pid' => $pid, 'keys' => $keys, 'mine' => Table::get("worker:$pid", 'fpm')]);
    break;
case 'replace':
    foreach (Table::keys('worker:*', 'fpm') as $key) {
        Table::set($key, 'replaced by ' . $pid, null, 'fpm');
    }
    Table::delete($_GET['remove'], 'fpm');
    echo $pid;
    break;
case 'read':
    usleep(200000);
    $all = [];
    foreach (Table::fullscan(null, 2) as $batch) {
        foreach ($batch as $key) {
            $all[$key] = Table::get($key, 'fpm');
        }
    }
    ksort($all);
    echo json_encode(['pid' => $pid, 'all' => $all]);
    break;
}
PHP);

$sockets = [];
for ($n = 0; $n < 4; $n++) {
    $sockets[] = $pool->request(['op' => 'join', 'n' => $n]);
}
$joined = array_map(fn($s) => json_decode($pool->response($s), true), $sockets);
$pids = array_column($joined, 'pid');
echo count(array_unique($pids)), " workers answered\n";
$expected = array_map(fn($p) => "worker:$p", $pids);
sort($expected);
foreach ($joined as $i => $r) {
    printf("worker %d sees every worker's key: %s, its own value: %s\n", $i,
           var_export($r['keys'] === $expected, true), var_export($r['mine']['n'] === $i, true));
}

$writer = (int) $pool->response($pool->request(['op' => 'replace', 'remove' => "worker:$pids[0]"]));
$sockets = [];
for ($n = 0; $n < 4; $n++) {
    $sockets[] = $pool->request(['op' => 'read']);
}
$replaced = array_fill_keys(array_slice($expected, 0), "replaced by $writer");
unset($replaced["worker:$pids[0]"]);
ksort($replaced);
$readers = [];
foreach ($sockets as $s) {
    $r = json_decode($pool->response($s), true);
    $readers[] = $r['pid'];
    echo 'a worker sees the replacements and the removal: ', var_export($r['all'] === $replaced, true), "\n";
}
echo count(array_unique($readers)), " workers read\n";
?>
--EXPECT--
4 workers answered
worker 0 sees every worker's key: true, its own value: true
worker 1 sees every worker's key: true, its own value: true
worker 2 sees every worker's key: true, its own value: true
worker 3 sees every worker's key: true, its own value: true
a worker sees the replacements and the removal: true
a worker sees the replacements and the removal: true
a worker sees the replacements and the removal: true
a worker sees the replacements and the removal: true
4 workers read
