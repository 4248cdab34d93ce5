--TEST--
Kelvo\AdaptiveCache of a clone: an object of its own with default settings, inactive until the clone attaches, then bound to the endpoint's sketch; the clone's settings, release and end leave the original's object as it was
--EXTENSIONS--
kelvo
--FILE--
<?php
require __DIR__ . '/../inc/servers.inc';
use Kelvo\Kelvo;

$port = (int) kelvo_test_env('KELVO_TEST_PORT');
$show = fn(string $who, Kelvo $c) => printf("%-28s %s %s width %d minRatio %.1f\n", $who, $c->adaptiveCache->status,
                                             json_encode($c->adaptiveCache->enabled), $c->adaptiveCache->width,
                                             $c->adaptiveCache->minRatio);

$k = new Kelvo('127.0.0.1', $port);
$k->setOption(Kelvo::OPT_ADAPTIVE_CACHE, ['width' => 1024, 'depth' => 4, 'minRatio' => 2.0]);
$k->ping();
$show('original', $k);

$c = clone $k;
var_dump($c->adaptiveCache === $k->adaptiveCache);
$show('clone, before its link', $c);
var_dump($c->adaptiveCache->incrBy('ck', true, 1));

$c->ping();
$show('clone, attached', $c);
// One sketch behind both objects.
$c->adaptiveCache->incrBy('ck', true, 3);
$k->adaptiveCache->incrBy('ck', false, 2);
echo json_encode($k->adaptiveCache->stats('ck')), ' ', json_encode($c->adaptiveCache->stats('ck')), "\n";

$c->setOption(Kelvo::OPT_ADAPTIVE_CACHE, ['minRatio' => 9.0]);
$show('clone, its own settings', $c);
$show('original', $k);

$c->close();
$show('clone, closed', $c);
$show('original', $k);
unset($c);
$show('original, clone gone', $k);
echo json_encode($k->adaptiveCache->stats('ck')), "\n";
?>
--EXPECT--
original                     active true width 1024 minRatio 2.0
bool(false)
clone, before its link       inactive false width 0 minRatio 0.0
bool(false)
clone, attached              active false width 0 minRatio 0.0
{"reads":2,"writes":3} {"reads":2,"writes":3}
clone, its own settings      active false width 0 minRatio 9.0
original                     active true width 1024 minRatio 2.0
clone, closed                inactive false width 0 minRatio 9.0
original                     active true width 1024 minRatio 2.0
original, clone gone         active true width 1024 minRatio 2.0
{"reads":2,"writes":3}
