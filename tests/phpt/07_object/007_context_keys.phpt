--TEST--
Context array: every option key works by name and by the number of its OPT_* constant
--FILE--
<?php
use Kelvo\Kelvo;
$byName = [
    'serializer' => Kelvo::SERIALIZER_JSON, 'compression' => Kelvo::COMPRESSION_LZF, 'compression-level' => 7,
    'prefix' => 'ctx:', 'availability-zone' => 'az9', 'max-retries' => 3, 'client-invalidations' => false,
    'adaptive-cache' => ['width' => 600, 'depth' => 2], 'reply-literal' => true, 'null-mbulk-as-null' => true,
    'phpredis-compatibility' => true, 'throw-on-error' => true,
];
$byNumber = [
    Kelvo::OPT_SERIALIZER => Kelvo::SERIALIZER_JSON, Kelvo::OPT_COMPRESSION => Kelvo::COMPRESSION_LZF,
    Kelvo::OPT_COMPRESSION_LEVEL => 7, Kelvo::OPT_PREFIX => 'ctx:', 110 => 'az9', Kelvo::OPT_MAX_RETRIES => 3,
    Kelvo::OPT_CLIENT_INVALIDATIONS => false, Kelvo::OPT_ADAPTIVE_CACHE => ['width' => 600, 'depth' => 2],
    Kelvo::OPT_REPLY_LITERAL => true, Kelvo::OPT_NULL_MULTIBULK_AS_NULL => true,
    Kelvo::OPT_PHPREDIS_COMPATIBILITY => true, Kelvo::OPT_THROW_ON_ERROR => true,
];
$read = [Kelvo::OPT_SERIALIZER, Kelvo::OPT_COMPRESSION, Kelvo::OPT_COMPRESSION_LEVEL, Kelvo::OPT_PREFIX, 110,
         Kelvo::OPT_MAX_RETRIES, Kelvo::OPT_CLIENT_INVALIDATIONS, Kelvo::OPT_REPLY_LITERAL,
         Kelvo::OPT_NULL_MULTIBULK_AS_NULL, Kelvo::OPT_PHPREDIS_COMPATIBILITY, Kelvo::OPT_THROW_ON_ERROR];
$show = function (Kelvo $k) use ($read) {
    foreach ($read as $option) {
        echo json_encode($k->getOption($option)), " ";
    }
    echo json_encode($k->getOption(Kelvo::OPT_ADAPTIVE_CACHE)['width']), "\n";
};
// Port 1: the constructor only records the settings (phpredis compatibility is on when it starts).
$show(new Kelvo('127.0.0.1', 1, 0.0, 0.0, $byName));
$show(new Kelvo('127.0.0.1', 1, 0.0, 0.0, $byNumber));

echo "phpredis-compatibility alone leaves throw-on-error, and without it the constructor connects at once:\n";
$k = new Kelvo();
try {
    $k->__construct('127.0.0.1', 1, 0.0, 0.0, ['phpredis-compatibility' => false]);
} catch (\Kelvo\Exception $e) {
    echo strtok($e->getMessage(), '('), "(code {$e->getCode()})\n";
}
var_dump($k->getOption(Kelvo::OPT_PHPREDIS_COMPATIBILITY), $k->getOption(Kelvo::OPT_THROW_ON_ERROR), $k->isConnected());

echo "negative max-retries is ignored, bad values warn and keep the default:\n";
set_error_handler(function (int $level, string $message) { echo "warning: $message\n"; return true; });
$k = new Kelvo('127.0.0.1', 1, 0.0, 0.0, ['max-retries' => -4, 'serializer' => 9, 'adaptive-cache' => 'x']);
var_dump($k->getOption(Kelvo::OPT_MAX_RETRIES), $k->getOption(Kelvo::OPT_SERIALIZER));

echo "the constructor's single array is options and context at once:\n";
$k = new Kelvo(['host' => '127.0.0.1', 'port' => 1, 'readTimeout' => 2.5, 'prefix' => 'one:']);
var_dump($k->getOption(Kelvo::OPT_READ_TIMEOUT), $k->getOption(Kelvo::OPT_PREFIX));
?>
--EXPECT--
4 1 7 "ctx:" "az9" 3 false true true true true 1024
4 1 7 "ctx:" "az9" 3 false true true true true 1024
phpredis-compatibility alone leaves throw-on-error, and without it the constructor connects at once:
Connection refused (code 1)
bool(false)
bool(false)
bool(false)
negative max-retries is ignored, bad values warn and keep the default:
warning: Kelvo\Kelvo::__construct(): Must pass an array
int(10)
int(0)
the constructor's single array is options and context at once:
float(2.5)
string(4) "one:"
