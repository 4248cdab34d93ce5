--TEST--
Kelvo\Kelvo surface: methods, static and deprecated flags, constants, attributes, sensitive parameters, typed property
--FILE--
<?php
$class = new ReflectionClass(Kelvo\Kelvo::class);
var_dump($class->isFinal(), $class->isAbstract(), $class->getParentClass());

$methods = $class->getMethods();
echo count($methods), " methods, all public: ", var_export(count($class->getMethods(ReflectionMethod::IS_PUBLIC)) === count($methods), true), "\n";
$names = fn(array $ms) => implode(' ', array_map(fn($m) => $m->getName(), $ms));
echo "static: ", $names($class->getMethods(ReflectionMethod::IS_STATIC)), "\n";
echo "deprecated: ", $names(array_filter($methods, fn($m) => $m->isDeprecated())), "\n";

$constants = $class->getConstants();
echo count($constants), " constants\n";
$expected = [
    'VERSION' => '0.40.0', 'Version' => '0.40.0',
    'COMPRESSION_NONE' => 0, 'COMPRESSION_LZF' => 1, 'COMPRESSION_ZSTD' => 2, 'COMPRESSION_LZ4' => 3,
    'SERIALIZER_NONE' => 0, 'SERIALIZER_PHP' => 1, 'SERIALIZER_IGBINARY' => 2, 'SERIALIZER_MSGPACK' => 3, 'SERIALIZER_JSON' => 4,
    'ATOMIC' => 0, 'PIPELINE' => 2, 'MULTI' => 1, 'SUBSCRIBED' => 4,
    'OPT_PREFIX' => 2, 'OPT_READ_TIMEOUT' => 3, 'OPT_MAX_RETRIES' => 11, 'OPT_BACKOFF_ALGORITHM' => 12, 'OPT_TCP_KEEPALIVE' => 6,
    'BACKOFF_ALGORITHM_DEFAULT' => 0, 'BACKOFF_ALGORITHM_DECORRELATED_JITTER' => 1, 'BACKOFF_ALGORITHM_FULL_JITTER' => 2,
    'BACKOFF_ALGORITHM_EQUAL_JITTER' => 3, 'BACKOFF_ALGORITHM_EXPONENTIAL' => 4, 'BACKOFF_ALGORITHM_UNIFORM' => 5,
    'BACKOFF_ALGORITHM_CONSTANT' => 6,
    'OPT_BACKOFF_BASE' => 13, 'OPT_BACKOFF_CAP' => 14, 'OPT_PHPREDIS_COMPATIBILITY' => 100, 'OPT_SERIALIZER' => 1,
    'OPT_COMPRESSION' => 7, 'OPT_COMPRESSION_LEVEL' => 9, 'OPT_REPLY_LITERAL' => 8, 'OPT_NULL_MULTIBULK_AS_NULL' => 10,
    'OPT_PACK_IGNORE_NUMBERS' => 15,
    'OPT_THROW_ON_ERROR' => 106, 'OPT_CLIENT_INVALIDATIONS' => 101, 'OPT_ALLOW_PATTERNS' => 102, 'OPT_IGNORE_PATTERNS' => 103,
    'OPT_USE_CACHE' => 104, 'OPT_CLIENT_TRACKING' => 105, 'OPT_SCAN' => 4, 'OPT_CAPA_REDIRECT' => 107,
    'OPT_RESTORE_PUBSUB' => 108, 'OPT_ADAPTIVE_CACHE' => 109,
    'SCAN_NORETRY' => 0, 'SCAN_RETRY' => 1, 'SCAN_PREFIX' => 2, 'SCAN_NOPREFIX' => 3,
    'BEFORE' => 'BEFORE', 'AFTER' => 'AFTER', 'LEFT' => 'LEFT', 'RIGHT' => 'RIGHT',
    'REDIS_NOT_FOUND' => 0, 'REDIS_STRING' => 1, 'REDIS_SET' => 2, 'REDIS_LIST' => 3, 'REDIS_ZSET' => 4,
    'REDIS_HASH' => 5, 'REDIS_STREAM' => 6, 'REDIS_VECTORSET' => 7,
];
echo "constants in order with their values: ", var_export($constants === $expected, true), "\n";
foreach ($class->getReflectionConstants() as $c) {
    if (!$c->isPublic() || $c->isFinal()) {
        echo "unexpected modifiers on {$c->getName()}\n";
    }
}

$count = [];
foreach ($methods as $m) {
    foreach ($m->getAttributes() as $a) {
        $count[$a->getName()] = ($count[$a->getName()] ?? 0) + 1;
    }
}
ksort($count);
print_r($count);

$attributes = fn(string $method) => implode(', ', array_map(fn($a) => $a->getName() . ($a->getArguments() ? '(...)' : ''),
    $class->getMethod($method)->getAttributes()));
foreach (['get', 'getWithMeta', 'zrevrangebyscore', 'georadius', 'sdiffcard', 'delifeq', 'vsim', 'pclose', 'connect',
          'getPersistentID', 'xadd', 'jsonForget', 'subscribe', 'rawCommand'] as $method) {
    printf("%-17s %s\n", $method, $attributes($method));
}
try {
    $class->getMethod('get')->getAttributes()[0]->newInstance();
} catch (Error $e) {
    echo get_class($e), ": ", $e->getMessage(), "\n";
}

echo "sensitive parameters:\n";
foreach ($methods as $m) {
    foreach ($m->getParameters() as $p) {
        if ($p->getAttributes(SensitiveParameter::class)) {
            echo "  {$m->getName()} \${$p->getName()} (position ", $p->getPosition() + 1, ")\n";
        }
    }
}

$property = $class->getProperty('adaptiveCache');
var_dump((string) $property->getType(), $property->getType()->allowsNull(), $property->isPublic(),
    $property->isStatic(), $property->hasDefaultValue());
echo count($class->getProperties()), " property\n";
?>
--EXPECT--
bool(false)
bool(false)
bool(false)
361 methods, all public: true
static: stats maxMemory memory flushMemory lastMemoryFlush
deprecated: pclose memory
62 constants
constants in order with their values: true
Array
(
    [Kelvo\Attributes\Cached] => 40
    [Kelvo\Attributes\Deprecated] => 16
    [Kelvo\Attributes\Local] => 47
    [Kelvo\Attributes\RedisCommand] => 301
    [Kelvo\Attributes\Server] => 4
    [Kelvo\Attributes\ValkeyCommand] => 264
)
get               Kelvo\Attributes\RedisCommand, Kelvo\Attributes\ValkeyCommand, Kelvo\Attributes\Cached
getWithMeta       Kelvo\Attributes\Server, Kelvo\Attributes\Cached
zrevrangebyscore  Kelvo\Attributes\RedisCommand, Kelvo\Attributes\ValkeyCommand, Kelvo\Attributes\Cached, Kelvo\Attributes\Deprecated
georadius         Kelvo\Attributes\RedisCommand, Kelvo\Attributes\ValkeyCommand, Kelvo\Attributes\Deprecated
sdiffcard         Kelvo\Attributes\RedisCommand, Kelvo\Attributes\Cached
delifeq           Kelvo\Attributes\ValkeyCommand
vsim              Kelvo\Attributes\RedisCommand
pclose            Kelvo\Attributes\Local
connect           Kelvo\Attributes\Server
getPersistentID   
xadd              
jsonForget        Kelvo\Attributes\RedisCommand, Kelvo\Attributes\ValkeyCommand
subscribe         Kelvo\Attributes\RedisCommand, Kelvo\Attributes\ValkeyCommand
rawCommand        Kelvo\Attributes\RedisCommand, Kelvo\Attributes\ValkeyCommand, Kelvo\Attributes\Cached
Error: Attribute class "Kelvo\Attributes\RedisCommand" not found
sensitive parameters:
  __construct $context (position 5)
  connect $context (position 7)
  pconnect $context (position 7)
  auth $auth (position 1)
  migrate $credentials (position 8)
string(19) "Kelvo\AdaptiveCache"
bool(false)
bool(true)
bool(false)
bool(false)
1 property
