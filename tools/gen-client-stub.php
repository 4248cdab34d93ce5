<?php
/*
 * Generates the PHP face of Kelvo\Kelvo from tools/client_methods.tsv:
 *   stubs/client.stub.php   the class declarations (tools/gen-stubs turns it into stubs/client_arginfo.h)
 *   src/client/client_methods.cc   the method handlers and the table of method attributes
 *
 *   php tools/gen-client-stub.php [--check]     (--check: fail when the outputs are stale)
 *
 * One row per method, tab-separated: name, handler, flags, attributes, sensitive parameter,
 * parameters, return type, summary for the stub's docblock ("-" for none). Handlers:
 *   command:WIRE     forwards to kelvoCommand with REDIS_CMD_<WIRE>
 *   subscribe:WIRE   forwards to kelvoSubscribeCommand with REDIS_CMD_<WIRE>
 *   alias:method     shares the handler of another method
 *   pending          not built yet: forwards to kelvoMethodPending
 *   own              written by hand in the component that owns it
 */

const ATTRIBUTE_ORDER = ['Server', 'RedisCommand', 'ValkeyCommand', 'Cached', 'Deprecated', 'Local'];

function fail(string $message): never
{
    fwrite(STDERR, "gen-client-stub: $message\n");
    exit(1);
}

/** @return list<array<string, mixed>> */
function readMethods(string $path): array
{
    $methods = [];
    foreach (file($path, FILE_IGNORE_NEW_LINES) as $n => $line) {
        if ($line === '' || $line[0] === '#') {
            continue;
        }
        $cols = explode("\t", $line);
        if (count($cols) !== 8) {
            fail("$path:" . ($n + 1) . ": expected 8 columns");
        }
        [$name, $handler, $flags, $attrs, $sensitive, $params, $returns, $summary] = $cols;
        $attrs = $attrs === '-' ? [] : explode(',', $attrs);
        foreach ($attrs as $a) {
            if (!in_array($a, ATTRIBUTE_ORDER, true)) {
                fail("$name: unknown attribute $a");
            }
        }
        usort($attrs, fn($a, $b) => array_search($a, ATTRIBUTE_ORDER) <=> array_search($b, ATTRIBUTE_ORDER));
        $methods[] = [
            'name' => $name,
            'handler' => $handler,
            'flags' => $flags === '-' ? [] : explode(',', $flags),
            'attrs' => $attrs,
            'sensitive' => $sensitive === '-' ? null : $sensitive,
            'params' => $params === '-' ? '' : $params,
            'returns' => $returns === '-' ? null : $returns,
            'summary' => $summary === '-' ? null : $summary,
        ];
    }
    return $methods;
}

/** Parameter names in order, from a declaration list such as "mixed $key, int ...$rest". */
function paramNames(string $params): array
{
    preg_match_all('/\$(\w+)/', $params, $m);
    return $m[1];
}

/** Untyped parameters ("$port = 0", "...$rest") need a docblock type for gen_stub. */
function untypedParams(string $params): array
{
    $names = [];
    foreach ($params === '' ? [] : preg_split('/,\s*(?=[^,]*\$)/', $params) as $p) {
        if (preg_match('/^\s*(?:&|\.\.\.)*\$(\w+)/', $p, $m)) {
            $names[] = $m[1];
        }
    }
    return $names;
}

/* The command a method's name stands for: "hgetall" HGETALL, "cmsIncrBy" CMS.INCRBY, "jsonArrLen" JSON.ARRLEN. */
function expectedCommand(string $method): string
{
    if (preg_match('/^(cms|ft|json)([A-Z]\w*)$/', $method, $m)) {
        return strtoupper($m[1]) . '.' . strtoupper($m[2]);
    }
    return strtoupper($method);
}

function commandId(string $wire): string
{
    return 'REDIS_CMD_' . strtoupper(str_replace('.', '_', $wire));
}

function handlerTarget(array $method): array
{
    $parts = explode(':', $method['handler'], 2);
    return [$parts[0], $parts[1] ?? null];
}

function validate(array $methods): void
{
    $byName = [];
    foreach ($methods as $m) {
        $lc = strtolower($m['name']);
        if (isset($byName[$lc])) {
            fail("duplicate method {$m['name']}");
        }
        $byName[$lc] = $m;
    }
    foreach ($methods as $m) {
        [$kind, $target] = handlerTarget($m);
        switch ($kind) {
            case 'command':
            case 'subscribe':
                if ($target !== expectedCommand($m['name'])) {
                    fail("{$m['name']}: sends '$target', its name says " . expectedCommand($m['name']));
                }
                break;
            case 'alias':
                $t = $byName[strtolower((string) $target)] ?? null;
                if ($t === null || handlerTarget($t)[0] === 'alias') {
                    fail("{$m['name']}: alias of unknown or aliased method '$target'");
                }
                break;
            case 'pending':
            case 'own':
                break;
            default:
                fail("{$m['name']}: unknown handler kind '$kind'");
        }
        if ($m['sensitive'] !== null && !in_array($m['sensitive'], paramNames($m['params']), true)) {
            fail("{$m['name']}: no parameter \${$m['sensitive']}");
        }
    }
}

function stubMethod(array $m): string
{
    $doc = $m['summary'] === null ? [] : [$m['summary']];
    [$kind, $target] = handlerTarget($m);
    if ($kind === 'command' || $kind === 'subscribe') {
        $doc[] = "Sends $target." . (in_array('Cached', $m['attrs'], true)
            ? ' Answered from the shared cache when the cache holds the answer.' : '');
    }
    if ($kind === 'alias') {
        $doc[] = "Same as $target().";
        $doc[] = "@implementation-alias Kelvo\\Kelvo::$target";
    }
    if (in_array('deprecated', $m['flags'], true)) {
        $doc[] = '@deprecated';
    }
    foreach (untypedParams($m['params']) as $p) {
        $doc[] = "@param mixed \$$p";
    }
    if ($m['returns'] === null && $m['name'] !== '__construct') {
        $doc[] = '@return mixed';
    }
    $out = '';
    if ($doc) {
        $out .= "        /**\n" . implode('', array_map(fn($d) => "         * $d\n", $doc)) . "         */\n";
    }
    $static = in_array('static', $m['flags'], true) ? 'static ' : '';
    $returns = $m['returns'] === null ? '' : ": {$m['returns']}";
    return $out . "        public {$static}function {$m['name']}({$m['params']}){$returns} {}\n";
}

const KELVO_CONSTANTS = [
    ['VERSION', 'string', null, 'PHP_KELVO_VERSION'], ['Version', 'string', null, 'PHP_KELVO_VERSION'],
    ['COMPRESSION_NONE', 'int', 0], ['COMPRESSION_LZF', 'int', 1], ['COMPRESSION_ZSTD', 'int', 2],
    ['COMPRESSION_LZ4', 'int', 3],
    ['SERIALIZER_NONE', 'int', 0], ['SERIALIZER_PHP', 'int', 1], ['SERIALIZER_IGBINARY', 'int', 2],
    ['SERIALIZER_MSGPACK', 'int', 3], ['SERIALIZER_JSON', 'int', 4],
    ['ATOMIC', 'int', 0], ['PIPELINE', 'int', 2], ['MULTI', 'int', 1], ['SUBSCRIBED', 'int', 4],
    ['OPT_PREFIX', 'int', 2], ['OPT_READ_TIMEOUT', 'int', 3], ['OPT_MAX_RETRIES', 'int', 11],
    ['OPT_BACKOFF_ALGORITHM', 'int', 12], ['OPT_TCP_KEEPALIVE', 'int', 6],
    ['BACKOFF_ALGORITHM_DEFAULT', 'int', 0], ['BACKOFF_ALGORITHM_DECORRELATED_JITTER', 'int', 1],
    ['BACKOFF_ALGORITHM_FULL_JITTER', 'int', 2], ['BACKOFF_ALGORITHM_EQUAL_JITTER', 'int', 3],
    ['BACKOFF_ALGORITHM_EXPONENTIAL', 'int', 4], ['BACKOFF_ALGORITHM_UNIFORM', 'int', 5],
    ['BACKOFF_ALGORITHM_CONSTANT', 'int', 6],
    ['OPT_BACKOFF_BASE', 'int', 13], ['OPT_BACKOFF_CAP', 'int', 14], ['OPT_PHPREDIS_COMPATIBILITY', 'int', 100],
    ['OPT_SERIALIZER', 'int', 1], ['OPT_COMPRESSION', 'int', 7], ['OPT_COMPRESSION_LEVEL', 'int', 9],
    ['OPT_REPLY_LITERAL', 'int', 8], ['OPT_NULL_MULTIBULK_AS_NULL', 'int', 10], ['OPT_PACK_IGNORE_NUMBERS', 'int', 15],
    ['OPT_THROW_ON_ERROR', 'int', 106], ['OPT_CLIENT_INVALIDATIONS', 'int', 101], ['OPT_ALLOW_PATTERNS', 'int', 102],
    ['OPT_IGNORE_PATTERNS', 'int', 103], ['OPT_USE_CACHE', 'int', 104], ['OPT_CLIENT_TRACKING', 'int', 105],
    ['OPT_SCAN', 'int', 4], ['OPT_CAPA_REDIRECT', 'int', 107], ['OPT_RESTORE_PUBSUB', 'int', 108],
    ['OPT_ADAPTIVE_CACHE', 'int', 109],
    ['SCAN_NORETRY', 'int', 0], ['SCAN_RETRY', 'int', 1], ['SCAN_PREFIX', 'int', 2], ['SCAN_NOPREFIX', 'int', 3],
    ['BEFORE', 'string', 'BEFORE'], ['AFTER', 'string', 'AFTER'], ['LEFT', 'string', 'LEFT'], ['RIGHT', 'string', 'RIGHT'],
    ['REDIS_NOT_FOUND', 'int', 0], ['REDIS_STRING', 'int', 1], ['REDIS_SET', 'int', 2], ['REDIS_LIST', 'int', 3],
    ['REDIS_ZSET', 'int', 4], ['REDIS_HASH', 'int', 5], ['REDIS_STREAM', 'int', 6], ['REDIS_VECTORSET', 'int', 7],
];

function stubConstant(array $c): string
{
    [$name, $type, $value] = $c;
    $cvalue = $c[3] ?? null;
    if ($cvalue !== null) {
        return "        /**\n         * @var $type\n         * @cvalue $cvalue\n         */\n        public const $name = UNKNOWN;\n";
    }
    $literal = $type === 'string' ? var_export($value, true) : (string) $value;
    return "        /** @var $type */\n        public const $name = $literal;\n";
}

function stub(array $methods): string
{
    $out = <<<'PHP'
<?php

/**
 * @generate-class-entries
 * @undocumentable
 */

/* Generated by tools/gen-client-stub.php from tools/client_methods.tsv; edit those, not this file. */

namespace Kelvo {
    /**
     * The single-server client: one method per server command, plus connection, option, pipeline,
     * transaction, event and value-packing methods. A method whose return type names Kelvo\Kelvo
     * returns the object itself while a pipeline or MULTI block is open.
     */
    class Kelvo
    {

PHP;
    foreach (KELVO_CONSTANTS as $c) {
        $out .= stubConstant($c);
    }
    $out .= "\n        /** This object's adaptive-cache settings; set by the module and not replaceable. */\n";
    $out .= "        public AdaptiveCache \$adaptiveCache;\n\n";
    $out .= implode("\n", array_map('stubMethod', $methods));
    $out .= <<<'PHP'
    }

    /**
     * What an event listener receives: a key the server invalidated (Kelvo\Event\Invalidated)
     * or a flush of the cached database (Kelvo\Event\Flushed). `type` and `key` are set by
     * the module and cannot be changed; `client` is true when this client caused the event.
     */
    abstract class Event
    {
        /** @var int */
        public const INVALIDATED = 1;
        /** @var int */
        public const Invalidated = 1;
        /** @var int */
        public const FLUSHED = 2;
        /** @var int */
        public const Flushed = 2;

        public int $type;
        public mixed $key = null;
        public bool $client;
    }
}

namespace Kelvo\Event {
    /** A key was invalidated; `key` names it. */
    final class Invalidated extends \Kelvo\Event
    {
        public int $type = 1;
    }

    /** A cached database was flushed; `key` is null. */
    final class Flushed extends \Kelvo\Event
    {
        public int $type = 2;
    }
}

PHP;
    return $out;
}

function attributeMask(array $attrs): string
{
    return $attrs ? implode(' | ', array_map(fn($a) => "kelvoAttr$a", $attrs)) : '0';
}

function methodsSource(array $methods): string
{
    $out = <<<'CPP'
/*
 * The handlers of Kelvo\Kelvo's methods and the table of their attributes.
 * Generated by tools/gen-client-stub.php from tools/client_methods.tsv; edit those, not this file.
 *
 * A command method is one jump into the dispatcher with its command id: the dispatcher reads the
 * method's arguments from the call frame itself.
 */
#include "client/client.h"
#include "catalog/cmdids.h"

extern "C" {

CPP;
    $sections = ['command' => '', 'subscribe' => '', 'pending' => ''];
    foreach ($methods as $m) {
        [$kind, $target] = handlerTarget($m);
        $sig = "ZEND_METHOD(Kelvo_Kelvo, {$m['name']})";
        switch ($kind) {
            case 'command':
                $sections[$kind] .= "$sig { kelvoCommand(INTERNAL_FUNCTION_PARAM_PASSTHRU, " . commandId($target) . "); }\n";
                break;
            case 'subscribe':
                $sections[$kind] .= "$sig { kelvoSubscribeCommand(INTERNAL_FUNCTION_PARAM_PASSTHRU, " . commandId($target) . "); }\n";
                break;
            case 'pending':
                $sections[$kind] .= "$sig { kelvoMethodPending(INTERNAL_FUNCTION_PARAM_PASSTHRU); }\n";
                break;
        }
    }
    $out .= "\n/* Command methods. */\n" . $sections['command'];
    $out .= "\n/* The subscribe family. */\n" . $sections['subscribe'];
    $out .= "\n/* Methods whose behaviour is not built yet. */\n" . $sections['pending'];
    $out .= "\n}\n\nconst kelvoMethodAttributes kelvoClientMethodAttributes[] = {\n";
    $count = 0;
    foreach ($methods as $m) {
        if (!$m['attrs'] && $m['sensitive'] === null) {
            continue;
        }
        $sensitive = $m['sensitive'] === null ? 0 : array_search($m['sensitive'], paramNames($m['params'])) + 1;
        $out .= sprintf("    {\"%s\", %s, %d},\n", strtolower($m['name']), attributeMask($m['attrs']), $sensitive);
        $count++;
    }
    $out .= "};\nconst size_t kelvoClientMethodAttributeCount = $count;\n";
    return $out;
}

$root = dirname(__DIR__);
$check = in_array('--check', $argv, true);
$methods = readMethods("$root/tools/client_methods.tsv");
validate($methods);
$outputs = [
    "$root/stubs/client.stub.php" => stub($methods),
    "$root/src/client/client_methods.cc" => methodsSource($methods),
];
$stale = false;
foreach ($outputs as $path => $text) {
    if (@file_get_contents($path) === $text) {
        continue;
    }
    $stale = true;
    if ($check) {
        fwrite(STDERR, "gen-client-stub: $path is stale\n");
    } else {
        file_put_contents($path, $text);
    }
}
exit($check && $stale ? 1 : 0);
