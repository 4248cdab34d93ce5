--TEST--
php-fpm with pm.max_requests = 1: every worker ends after one request and gives its lease and writer place back, so with two writer places every new worker still gets one
--EXTENSIONS--
kelvo
--FILE--
<?php
require __DIR__ . '/fpm.inc';

$script = <<<'PHP'
<?php
$c = new Kelvo\Kelvo('127.0.0.1', (int) getenv('KELVO_TEST_PORT'));
$c->get('fpm:short');
echo getmypid(), ' ', $c->rawCommand('CLIENT', 'TRACKINGINFO')[1][0];
PHP;

$fpm = new FpmPool(2, 1, $script, ['kelvo.max_db_writers' => 2, 'kelvo.max_endpoint_dbs' => 1]);
$pids = [];
$refused = 0;
for ($i = 0; $i < 20; $i++) {
    [$pid, $tracking] = explode(' ', $fpm->request()) + [1 => '?'];
    $pids[$pid] = true;
    $refused += $tracking !== 'on';
}
echo count($pids), " workers, $refused without a writer place\n";
?>
--EXPECT--
20 workers, 0 without a writer place
