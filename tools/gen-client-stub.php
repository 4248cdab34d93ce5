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

/*
 * [PHP name, type, C++ name]: the arginfo header registers the C++ constant's value. A word of a
 * command has no C++ name: [PHP name, type, null, literal value].
 */
const KELVO_CONSTANTS = [
    ['VERSION', 'string', 'PHP_KELVO_VERSION'], ['Version', 'string', 'PHP_KELVO_VERSION'],
    ['COMPRESSION_NONE', 'int', 'KELVO_COMPRESSION_NONE'], ['COMPRESSION_LZF', 'int', 'KELVO_COMPRESSION_LZF'],
    ['COMPRESSION_ZSTD', 'int', 'KELVO_COMPRESSION_ZSTD'], ['COMPRESSION_LZ4', 'int', 'KELVO_COMPRESSION_LZ4'],
    ['SERIALIZER_NONE', 'int', 'KELVO_SERIALIZER_NONE'], ['SERIALIZER_PHP', 'int', 'KELVO_SERIALIZER_PHP'],
    ['SERIALIZER_IGBINARY', 'int', 'KELVO_SERIALIZER_IGBINARY'], ['SERIALIZER_MSGPACK', 'int', 'KELVO_SERIALIZER_MSGPACK'],
    ['SERIALIZER_JSON', 'int', 'KELVO_SERIALIZER_JSON'],
    ['ATOMIC', 'int', 'kelvoModeAtomic'], ['PIPELINE', 'int', 'kelvoModePipeline'], ['MULTI', 'int', 'kelvoModeMulti'],
    ['SUBSCRIBED', 'int', 'kelvoModeSubscribed'],
    ['OPT_PREFIX', 'int', 'KELVO_OPT_PREFIX'], ['OPT_READ_TIMEOUT', 'int', 'KELVO_OPT_READ_TIMEOUT'],
    ['OPT_MAX_RETRIES', 'int', 'KELVO_OPT_MAX_RETRIES'], ['OPT_BACKOFF_ALGORITHM', 'int', 'KELVO_OPT_BACKOFF_ALGORITHM'],
    ['OPT_TCP_KEEPALIVE', 'int', 'KELVO_OPT_TCP_KEEPALIVE'],
    ['BACKOFF_ALGORITHM_DEFAULT', 'int', 'BACKOFF_ALGORITHM_DEFAULT'],
    ['BACKOFF_ALGORITHM_DECORRELATED_JITTER', 'int', 'BACKOFF_ALGORITHM_DECORRELATED_JITTER'],
    ['BACKOFF_ALGORITHM_FULL_JITTER', 'int', 'BACKOFF_ALGORITHM_FULL_JITTER'],
    ['BACKOFF_ALGORITHM_EQUAL_JITTER', 'int', 'BACKOFF_ALGORITHM_EQUAL_JITTER'],
    ['BACKOFF_ALGORITHM_EXPONENTIAL', 'int', 'BACKOFF_ALGORITHM_EXPONENTIAL'],
    ['BACKOFF_ALGORITHM_UNIFORM', 'int', 'BACKOFF_ALGORITHM_UNIFORM'],
    ['BACKOFF_ALGORITHM_CONSTANT', 'int', 'BACKOFF_ALGORITHM_CONSTANT'],
    ['OPT_BACKOFF_BASE', 'int', 'KELVO_OPT_BACKOFF_BASE'], ['OPT_BACKOFF_CAP', 'int', 'KELVO_OPT_BACKOFF_CAP'],
    ['OPT_PHPREDIS_COMPATIBILITY', 'int', 'KELVO_OPT_PHPREDIS_COMPATIBILITY'],
    ['OPT_SERIALIZER', 'int', 'KELVO_OPT_SERIALIZER'], ['OPT_COMPRESSION', 'int', 'KELVO_OPT_COMPRESSION'],
    ['OPT_COMPRESSION_LEVEL', 'int', 'KELVO_OPT_COMPRESSION_LEVEL'], ['OPT_REPLY_LITERAL', 'int', 'KELVO_OPT_REPLY_LITERAL'],
    ['OPT_NULL_MULTIBULK_AS_NULL', 'int', 'KELVO_OPT_NULL_MULTIBULK_AS_NULL'],
    ['OPT_PACK_IGNORE_NUMBERS', 'int', 'KELVO_OPT_PACK_IGNORE_NUMBERS'],
    ['OPT_THROW_ON_ERROR', 'int', 'KELVO_OPT_THROW_ON_ERROR'],
    ['OPT_CLIENT_INVALIDATIONS', 'int', 'KELVO_OPT_CLIENT_INVALIDATIONS'],
    ['OPT_ALLOW_PATTERNS', 'int', 'KELVO_OPT_ALLOW_PATTERNS'], ['OPT_IGNORE_PATTERNS', 'int', 'KELVO_OPT_IGNORE_PATTERNS'],
    ['OPT_USE_CACHE', 'int', 'KELVO_OPT_USE_CACHE'], ['OPT_CLIENT_TRACKING', 'int', 'KELVO_OPT_CLIENT_TRACKING'],
    ['OPT_SCAN', 'int', 'KELVO_OPT_SCAN'], ['OPT_CAPA_REDIRECT', 'int', 'KELVO_OPT_CAPA_REDIRECT'],
    ['OPT_RESTORE_PUBSUB', 'int', 'KELVO_OPT_RESTORE_PUBSUB'], ['OPT_ADAPTIVE_CACHE', 'int', 'KELVO_OPT_ADAPTIVE_CACHE'],
    ['SCAN_NORETRY', 'int', 'KELVO_SCAN_NORETRY'], ['SCAN_RETRY', 'int', 'KELVO_SCAN_RETRY'],
    ['SCAN_PREFIX', 'int', 'KELVO_SCAN_PREFIX'], ['SCAN_NOPREFIX', 'int', 'KELVO_SCAN_NOPREFIX'],
    ['BEFORE', 'string', null, 'BEFORE'], ['AFTER', 'string', null, 'AFTER'], ['LEFT', 'string', null, 'LEFT'],
    ['RIGHT', 'string', null, 'RIGHT'],
    ['REDIS_NOT_FOUND', 'int', 'KELVO_KEYTYPE_NOT_FOUND'], ['REDIS_STRING', 'int', 'KELVO_KEYTYPE_STRING'],
    ['REDIS_SET', 'int', 'KELVO_KEYTYPE_SET'], ['REDIS_LIST', 'int', 'KELVO_KEYTYPE_LIST'],
    ['REDIS_ZSET', 'int', 'KELVO_KEYTYPE_ZSET'], ['REDIS_HASH', 'int', 'KELVO_KEYTYPE_HASH'],
    ['REDIS_STREAM', 'int', 'KELVO_KEYTYPE_STREAM'], ['REDIS_VECTORSET', 'int', 'KELVO_KEYTYPE_VECTORSET'],
];

const KELVO_EVENT_CONSTANTS = [
    ['INVALIDATED', 'int', 'kelvoEventInvalidated'], ['Invalidated', 'int', 'kelvoEventInvalidated'],
    ['FLUSHED', 'int', 'kelvoEventFlushed'], ['Flushed', 'int', 'kelvoEventFlushed'],
];

function stubConstant(array $c): string
{
    [$name, $type, $cvalue] = $c;
    if ($cvalue !== null) {
        return "        /**\n         * @var $type\n         * @cvalue $cvalue\n         */\n        public const $name = UNKNOWN;\n";
    }
    return "        /** @var $type */\n        public const $name = " . var_export($c[3], true) . ";\n";
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

PHP;
    foreach (KELVO_EVENT_CONSTANTS as $c) {
        $out .= stubConstant($c);
    }
    $out .= <<<'PHP'

        public int $type;
        public mixed $key = null;
        public bool $client;
    }
}

namespace Kelvo\Event {
    /** A key was invalidated; `key` names it. */
    final class Invalidated extends \Kelvo\Event
    {
        public int $type = \Kelvo\Event::INVALIDATED;
    }

    /** A cached database was flushed; `key` is null. */
    final class Flushed extends \Kelvo\Event
    {
        public int $type = \Kelvo\Event::FLUSHED;
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
