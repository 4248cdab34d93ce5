--TEST--
Options: defaults of a new object, and every option read back as it was set
--FILE--
<?php
use Kelvo\Kelvo;
$k = new Kelvo();
echo "defaults:\n";
foreach (['OPT_THROW_ON_ERROR', 'OPT_PHPREDIS_COMPATIBILITY', 'OPT_MAX_RETRIES', 'OPT_BACKOFF_BASE', 'OPT_BACKOFF_CAP',
          'OPT_BACKOFF_ALGORITHM', 'OPT_PREFIX', 'OPT_ALLOW_PATTERNS', 'OPT_IGNORE_PATTERNS', 'OPT_SERIALIZER',
          'OPT_COMPRESSION', 'OPT_COMPRESSION_LEVEL', 'OPT_READ_TIMEOUT', 'OPT_SCAN', 'OPT_REPLY_LITERAL',
          'OPT_NULL_MULTIBULK_AS_NULL', 'OPT_PACK_IGNORE_NUMBERS', 'OPT_CLIENT_INVALIDATIONS', 'OPT_CAPA_REDIRECT',
          'OPT_RESTORE_PUBSUB'] as $name) {
    printf("  %-28s %s\n", $name, json_encode($k->getOption(constant("Kelvo\\Kelvo::$name"))));
}
printf("  %-28s %s\n", '110', json_encode($k->getOption(110)));

// [option, value set, value read back]
$cases = [
    [Kelvo::OPT_SERIALIZER, Kelvo::SERIALIZER_PHP, 1],
    [Kelvo::OPT_SERIALIZER, Kelvo::SERIALIZER_JSON, 4],
    [Kelvo::OPT_PREFIX, 'p:', 'p:'],
    [Kelvo::OPT_PREFIX, '', null],
    [Kelvo::OPT_PREFIX, 12, '12'],
    [Kelvo::OPT_READ_TIMEOUT, 1.5, 1.5],
    [Kelvo::OPT_READ_TIMEOUT, 1.9999999, 2.0],
    [Kelvo::OPT_READ_TIMEOUT, 5e9, 4294967295.0],
    [Kelvo::OPT_READ_TIMEOUT, '0.25', 0.25],
    [Kelvo::OPT_COMPRESSION, Kelvo::COMPRESSION_LZF, 1],
    [Kelvo::OPT_COMPRESSION_LEVEL, -3, -3],
    [Kelvo::OPT_REPLY_LITERAL, true, true],
    [Kelvo::OPT_NULL_MULTIBULK_AS_NULL, 1, true],
    [Kelvo::OPT_MAX_RETRIES, 0, 0],
    [Kelvo::OPT_MAX_RETRIES, 2147483647, 2147483647],
    [Kelvo::OPT_BACKOFF_ALGORITHM, Kelvo::BACKOFF_ALGORITHM_CONSTANT, 6],
    [Kelvo::OPT_BACKOFF_BASE, 250, 250],
    [Kelvo::OPT_BACKOFF_CAP, 10000, 10000],
    [Kelvo::OPT_PACK_IGNORE_NUMBERS, true, true],
    [Kelvo::OPT_THROW_ON_ERROR, true, true],
    [Kelvo::OPT_CLIENT_INVALIDATIONS, false, false],
    [Kelvo::OPT_CAPA_REDIRECT, true, true],
    [Kelvo::OPT_RESTORE_PUBSUB, true, true],
    [110, 'use1-az1', 'use1-az1'],
    [110, null, null],
];
echo "round trips:\n";
foreach ($cases as [$option, $set, $expected]) {
    $ok = $k->setOption($option, $set);
    $got = $k->getOption($option);
    printf("  %3d %-14s %s%s\n", $option, var_export($set, true), json_encode($ok),
        $got === $expected ? '' : ' MISMATCH ' . var_export($got, true));
}

echo "scan bits:\n";
$k->setOption(Kelvo::OPT_SCAN, Kelvo::SCAN_RETRY);
$k->setOption(Kelvo::OPT_SCAN, Kelvo::SCAN_PREFIX);
var_dump($k->getOption(Kelvo::OPT_SCAN));
$k->setOption(Kelvo::OPT_SCAN, Kelvo::SCAN_NORETRY);
var_dump($k->getOption(Kelvo::OPT_SCAN));

echo "phpredis compatibility flips throw-on-error:\n";
$k->setOption(Kelvo::OPT_PHPREDIS_COMPATIBILITY, false);
var_dump($k->getOption(Kelvo::OPT_THROW_ON_ERROR));
$k->setOption(Kelvo::OPT_PHPREDIS_COMPATIBILITY, true);
var_dump($k->getOption(Kelvo::OPT_THROW_ON_ERROR));

echo "option():\n";
var_dump($k->option(Kelvo::OPT_PREFIX, 'q:'), $k->option(Kelvo::OPT_PREFIX), $k->option(Kelvo::OPT_PREFIX, null));

echo "adaptive cache:\n";
var_dump($k->setOption(Kelvo::OPT_ADAPTIVE_CACHE, ['width' => 1000, 'depth' => 4, 'formula' => 'PURE', 'minRatio' => 2.5, 'minEvents' => 7]));
echo json_encode($k->getOption(Kelvo::OPT_ADAPTIVE_CACHE)), "\n";
var_dump($k->setOption(Kelvo::OPT_ADAPTIVE_CACHE, ['width' => 1000]));
echo json_encode($k->getOption(Kelvo::OPT_ADAPTIVE_CACHE)), "\n";
var_dump($k->setOption(Kelvo::OPT_ADAPTIVE_CACHE, ['width' => 512, 'depth' => 1, 'enabled' => false]));
echo json_encode($k->getOption(Kelvo::OPT_ADAPTIVE_CACHE)), "\n";
?>
--EXPECT--
defaults:
  OPT_THROW_ON_ERROR           false
  OPT_PHPREDIS_COMPATIBILITY   true
  OPT_MAX_RETRIES              10
  OPT_BACKOFF_BASE             0
  OPT_BACKOFF_CAP              0
  OPT_BACKOFF_ALGORITHM        0
  OPT_PREFIX                   null
  OPT_ALLOW_PATTERNS           []
  OPT_IGNORE_PATTERNS          []
  OPT_SERIALIZER               0
  OPT_COMPRESSION              0
  OPT_COMPRESSION_LEVEL        0
  OPT_READ_TIMEOUT             0
  OPT_SCAN                     0
  OPT_REPLY_LITERAL            false
  OPT_NULL_MULTIBULK_AS_NULL   false
  OPT_PACK_IGNORE_NUMBERS      false
  OPT_CLIENT_INVALIDATIONS     true
  OPT_CAPA_REDIRECT            false
  OPT_RESTORE_PUBSUB           false
  110                          null
round trips:
    1 1              true
    1 4              true
    2 'p:'           true
    2 ''             true
    2 12             true
    3 1.5            true
    3 1.9999999      true
    3 5000000000.0   true
    3 '0.25'         true
    7 1              true
    9 -3             true
    8 true           true
   10 1              true
   11 0              true
   11 2147483647     true
   12 6              true
   13 250            true
   14 10000          true
   15 true           true
  106 true           true
  101 false          true
  107 true           true
  108 true           true
  110 'use1-az1'     true
  110 NULL           true
scan bits:
int(3)
int(2)
phpredis compatibility flips throw-on-error:
bool(true)
bool(false)
option():
bool(true)
string(2) "q:"
string(2) "q:"
adaptive cache:
bool(true)
{"enabled":true,"width":1024,"depth":4,"minEvents":7,"minRatio":2.5,"formula":"pure"}
bool(true)
{"enabled":false,"width":0,"depth":0,"minEvents":10,"minRatio":5,"formula":"scaled"}
bool(true)
{"enabled":false,"width":512,"depth":1,"minEvents":10,"minRatio":5,"formula":"scaled"}
