--TEST--
Options: each refused value warns with its text (or refuses silently), returns false and keeps the old value
--FILE--
<?php
use Kelvo\Kelvo;
set_error_handler(function (int $level, string $message) {
    echo "    warning: $message\n";
    return true;
});
$k = new Kelvo();
$k->setOption(Kelvo::OPT_MAX_RETRIES, 3);
$k->setOption(Kelvo::OPT_BACKOFF_BASE, 7);
$k->setOption(Kelvo::OPT_BACKOFF_ALGORITHM, 2);
$k->setOption(Kelvo::OPT_READ_TIMEOUT, 1.25);
$k->setOption(Kelvo::OPT_SCAN, Kelvo::SCAN_RETRY);
$k->setOption(Kelvo::OPT_ALLOW_PATTERNS, ['keep*']);
$k->setOption(Kelvo::OPT_COMPRESSION_LEVEL, 5);
$k->setOption(Kelvo::OPT_ADAPTIVE_CACHE, ['width' => 512, 'depth' => 2]);

// [option, refused value]
$cases = [
    [5, 1], [16, 1], [17, 1],
    [Kelvo::OPT_TCP_KEEPALIVE, 1],
    [Kelvo::OPT_BACKOFF_ALGORITHM, 7], [Kelvo::OPT_BACKOFF_ALGORITHM, -1],
    [Kelvo::OPT_BACKOFF_BASE, -1], [Kelvo::OPT_BACKOFF_BASE, PHP_INT_MAX],
    [Kelvo::OPT_BACKOFF_CAP, -5],
    [Kelvo::OPT_ALLOW_PATTERNS, 'a*'], [Kelvo::OPT_IGNORE_PATTERNS, 1],
    [Kelvo::OPT_ADAPTIVE_CACHE, 'x'],
    [Kelvo::OPT_ADAPTIVE_CACHE, ['width' => '1024', 'depth' => 4]],
    [Kelvo::OPT_ADAPTIVE_CACHE, ['width' => 1024, 'depth' => 9]],
    [Kelvo::OPT_ADAPTIVE_CACHE, ['width' => 100, 'depth' => 4]],
    [Kelvo::OPT_ADAPTIVE_CACHE, ['minEvents' => '3']],
    [Kelvo::OPT_ADAPTIVE_CACHE, ['minEvents' => PHP_INT_MAX]],
    [Kelvo::OPT_ADAPTIVE_CACHE, ['formula' => 'linear']],
    [Kelvo::OPT_ADAPTIVE_CACHE, ['minRatio' => 2]],
    [Kelvo::OPT_ADAPTIVE_CACHE, ['minRatio' => -0.5]],
    // refused without a message
    [Kelvo::OPT_SERIALIZER, 9], [Kelvo::OPT_COMPRESSION, -1], [Kelvo::OPT_SCAN, 5],
    [Kelvo::OPT_READ_TIMEOUT, -1], [Kelvo::OPT_READ_TIMEOUT, NAN], [Kelvo::OPT_READ_TIMEOUT, INF],
    [Kelvo::OPT_MAX_RETRIES, -1], [Kelvo::OPT_MAX_RETRIES, 2147483648],
    [Kelvo::OPT_COMPRESSION_LEVEL, 2147483648], [Kelvo::OPT_COMPRESSION_LEVEL, -2147483649],
    [42, 1], [0, 1], [111, 1],
];
$watch = [Kelvo::OPT_MAX_RETRIES, Kelvo::OPT_BACKOFF_BASE, Kelvo::OPT_BACKOFF_CAP, Kelvo::OPT_BACKOFF_ALGORITHM,
          Kelvo::OPT_READ_TIMEOUT, Kelvo::OPT_SCAN, Kelvo::OPT_ALLOW_PATTERNS, Kelvo::OPT_IGNORE_PATTERNS,
          Kelvo::OPT_COMPRESSION_LEVEL, Kelvo::OPT_SERIALIZER, Kelvo::OPT_COMPRESSION, Kelvo::OPT_ADAPTIVE_CACHE];
$snapshot = fn() => array_map(fn($o) => $k->getOption($o), $watch);
$before = $snapshot();
foreach ($cases as [$option, $value]) {
    echo "  $option ", is_float($value) ? var_export($value, true) : json_encode($value), "\n";
    $result = $k->setOption($option, $value);
    if ($result !== false) {
        echo "    returned ", var_export($result, true), "\n";
    }
    if ($snapshot() !== $before) {
        echo "    CHANGED\n";
        $before = $snapshot();
    }
}
echo "reads:\n";
foreach ([5, Kelvo::OPT_TCP_KEEPALIVE, Kelvo::OPT_USE_CACHE, Kelvo::OPT_CLIENT_TRACKING, 42] as $option) {
    echo "  $option\n";
    var_dump($k->getOption($option));
}
echo "use-cache off clears tracking:\n";
var_dump($k->setOption(Kelvo::OPT_USE_CACHE, false));
var_dump($k->setOption(Kelvo::OPT_CLIENT_TRACKING, true));
?>
--EXPECT--
  5 1
    warning: Kelvo\Kelvo::setOption(): Cluster option with constant '5' is only valid on Kelvo\Cluster
  16 1
    warning: Kelvo\Kelvo::setOption(): Cluster option with constant '16' is only valid on Kelvo\Cluster
  17 1
    warning: Kelvo\Kelvo::setOption(): Cluster option with constant '17' is only valid on Kelvo\Cluster
  6 1
    warning: Kelvo\Kelvo::setOption(): Must be connected to set OPT_TCP_KEEPALIVE setting
  12 7
    warning: Kelvo\Kelvo::setOption(): Unsupported exponential backoff algorithm
  12 -1
    warning: Kelvo\Kelvo::setOption(): Unsupported exponential backoff algorithm
  13 -1
    warning: Kelvo\Kelvo::setOption(): Backoff base/cap cannot be negative
  13 9223372036854775807
    warning: Kelvo\Kelvo::setOption(): Backoff base/cap is too large
  14 -5
    warning: Kelvo\Kelvo::setOption(): Backoff base/cap cannot be negative
  102 "a*"
    warning: Kelvo\Kelvo::setOption(): Allowed patterns must be either an array or NULL
  103 1
    warning: Kelvo\Kelvo::setOption(): Ignored patterns must be either an array or NULL
  109 "x"
    warning: Kelvo\Kelvo::setOption(): Must pass an array
  109 {"width":"1024","depth":4}
    warning: Kelvo\Kelvo::setOption(): 'width' and 'depth' must be integers
  109 {"width":1024,"depth":9}
    warning: Kelvo\Kelvo::setOption(): Depth must be between 1 and 8
  109 {"width":100,"depth":4}
    warning: Kelvo\Kelvo::setOption(): Width must be between 512 and 2147483647
  109 {"minEvents":"3"}
    warning: Kelvo\Kelvo::setOption(): minEvents must be an integer
  109 {"minEvents":9223372036854775807}
    warning: Kelvo\Kelvo::setOption(): minEvents must be between -2147483647 and 2147483647
  109 {"formula":"linear"}
    warning: Kelvo\Kelvo::setOption(): Formula must be 'pure' or 'scaled'
  109 {"minRatio":2}
    warning: Kelvo\Kelvo::setOption(): minRatio must be a float and >= 0.0
  109 {"minRatio":-0.5}
    warning: Kelvo\Kelvo::setOption(): minRatio must be a float and >= 0.0
  1 9
  7 -1
  4 5
  3 -1
  3 NAN
  3 INF
  11 -1
  11 2147483648
  9 2147483648
  9 -2147483649
  42 1
  0 1
  111 1
reads:
  5
    warning: Kelvo\Kelvo::getOption(): Cluster option with constant '5' is only valid on Kelvo\Cluster
bool(false)
  6
    warning: Kelvo\Kelvo::getOption(): Must be connected to read OPT_TCP_KEEPALIVE setting
bool(false)
  104
    warning: Kelvo\Kelvo::getOption(): Must be connected to read OPT_USE_CACHE setting
bool(false)
  105
    warning: Kelvo\Kelvo::getOption(): Must be connected to read OPT_CLIENT_TRACKING setting
bool(false)
  42
bool(false)
use-cache off clears tracking:
bool(true)
    warning: Kelvo\Kelvo::setOption(): Must enable OPT_USE_CACHE to enable client tracking
bool(false)
