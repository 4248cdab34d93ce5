--TEST--
Kelvo\AdaptiveCache: defaults and inactive answers, settings mirrored, the endpoint's sketch bound at attachment (also for a subclass and for a client that did not create the endpoint), the dimension conflict, loadFactor, incrBy, stats, flush and lastFlush
--EXTENSIONS--
kelvo
--FILE--
<?php
require __DIR__ . '/../inc/servers.inc';
use Kelvo\Kelvo;

$port = (int) kelvo_test_env('KELVO_TEST_PORT');

echo "defaults:\n";
$plain = new Kelvo('127.0.0.1', $port);
$ac = $plain->adaptiveCache;
var_dump($ac instanceof \Kelvo\AdaptiveCache, $ac->status, $ac->enabled, $ac->formula, $ac->width, $ac->minRatio);
var_dump($ac->loadFactor(), $ac->flush(), $ac->stats('k'), $ac->incrBy('k', true, 1), $ac->lastFlush());
try {
    new \Kelvo\AdaptiveCache();
} catch (Error $e) {
    echo get_class($e), "\n";
}

echo "an endpoint created by a client without a sketch gets one from the first client that wants one:\n";
$plain->ping();
var_dump($plain->adaptiveCache->status);
class MyClient extends Kelvo {}
$wants = new MyClient('127.0.0.1', $port);
var_dump($wants->setOption(Kelvo::OPT_ADAPTIVE_CACHE, ['width' => 1000, 'depth' => 4, 'minEvents' => -3, 'minRatio' => 2.5, 'formula' => 'pure']));
$ac = $wants->adaptiveCache;
var_dump($ac->enabled, $ac->width, $ac->depth, $ac->minEvents, $ac->minRatio, $ac->formula, $ac->status);
$wants->ping();
var_dump($ac->status);

echo "a second client asking for other dimensions takes the sketch's:\n";
$other = new Kelvo('127.0.0.1', $port);
$other->setOption(Kelvo::OPT_ADAPTIVE_CACHE, ['width' => 4096, 'depth' => 2]);
$other->ping();
var_dump($other->adaptiveCache->width, $other->adaptiveCache->depth, $other->adaptiveCache->status);

echo "counts:\n";
var_dump($ac->incrBy('hot', false, 5), $ac->incrBy('hot', true, 3), $ac->stats('hot'));
var_dump($ac->incrBy('hot', true, 0), $ac->incrBy('hot', true, -7), $ac->stats('hot'));
var_dump($ac->incrBy('huge', false, PHP_INT_MAX), $ac->stats('huge')['reads'] === PHP_INT_MAX);
var_dump($other->adaptiveCache->stats('hot'));

echo "load factor:\n";
var_dump($ac->loadFactor(0) === $ac->loadFactor(99), $ac->loadFactor(1) > 0.0, $ac->loadFactor(4) === $ac->loadFactor());
var_dump($ac->loadFactor(4) <= 8 / 4096 * 100 + 1e-9);

echo "flush:\n";
$before = microtime(true);
var_dump($ac->flush(false), $ac->loadFactor(4), $ac->stats('hot'));
var_dump($ac->lastFlush() >= $before - 0.001 && $ac->lastFlush() <= microtime(true) + 0.001);
$ac->incrBy('k', false, 1);
var_dump($ac->flush(), $ac->stats('k')['reads']);
// Cleared lazily: each count clears a chunk of cells first.
for ($i = 0; $i < 4; $i++) {
    $ac->incrBy('other', false, 1);
}
var_dump($ac->stats('k'));

echo "bad settings keep the old ones:\n";
var_dump($wants->setOption(Kelvo::OPT_ADAPTIVE_CACHE, ['minEvents' => -2147483648]));
var_dump($wants->setOption(Kelvo::OPT_ADAPTIVE_CACHE, ['minRatio' => NAN]));
var_dump($ac->minEvents, $ac->minRatio);

echo "giving the link up:\n";
$wants->close();
var_dump($ac->status, $ac->stats('hot'));
?>
--EXPECTF--
defaults:
bool(true)
string(8) "inactive"
bool(false)
string(6) "scaled"
int(0)
float(0)
float(0)
bool(false)
bool(false)
bool(false)
float(0)
Error
an endpoint created by a client without a sketch gets one from the first client that wants one:
string(8) "inactive"
bool(true)
bool(true)
int(1024)
int(4)
int(-3)
float(2.5)
string(4) "pure"
string(8) "inactive"
string(6) "active"
a second client asking for other dimensions takes the sketch's:

Warning: Kelvo\Kelvo::ping(): Unable to change existing adaptive  cache from {.width=1024, .depth=4} to {.width=4096, .depth=2} until the PHP process is restarted in %s on line %d
int(1024)
int(4)
string(6) "active"
counts:
bool(true)
bool(true)
array(2) {
  ["reads"]=>
  int(5)
  ["writes"]=>
  int(3)
}
bool(true)
bool(true)
array(2) {
  ["reads"]=>
  int(5)
  ["writes"]=>
  int(3)
}
bool(true)
bool(true)
array(2) {
  ["reads"]=>
  int(5)
  ["writes"]=>
  int(3)
}
load factor:
bool(true)
bool(true)
bool(true)
bool(true)
flush:
bool(true)
float(0)
array(2) {
  ["reads"]=>
  int(0)
  ["writes"]=>
  int(0)
}
bool(true)
bool(true)
int(1)
array(2) {
  ["reads"]=>
  int(0)
  ["writes"]=>
  int(0)
}
bad settings keep the old ones:

Warning: Kelvo\Kelvo::setOption(): minEvents must be between -2147483647 and 2147483647 in %s on line %d
bool(false)

Warning: Kelvo\Kelvo::setOption(): minRatio must be a float and >= 0.0 in %s on line %d
bool(false)
int(-3)
float(2.5)
giving the link up:
string(8) "inactive"
bool(false)
