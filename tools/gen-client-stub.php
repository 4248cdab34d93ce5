<?php
/*
 * Generates the PHP face of the client classes from their method tables:
 *   Kelvo\Kelvo from tools/client_methods.tsv:
 *     stubs/client.stub.php          the class declarations (tools/gen-stubs turns it into stubs/client_arginfo.h)
 *     src/commands/client_methods.cc the method handlers and the table of method attributes
 *   Kelvo\Cluster from tools/cluster_methods.tsv:
 *     stubs/cluster.stub.php, src/cluster/cluster_methods.cc   the same for the cluster client
 *
 *   php tools/gen-client-stub.php [--check]     (--check: fail when the outputs are stale)
 *
 * One row per method, tab-separated: name, handler, flags, attributes, sensitive parameters,
 * parameters, return type, summary for the stub's docblock ("-" for none). In the cluster's
 * table a parameters or return cell "=" takes the Kelvo\Kelvo method of the same name (its
 * return type naming Cluster where it names Kelvo). Handlers:
 *   command:WIRE     forwards to the class's dispatcher (kelvoCommand, kelvoClusterCommand) with REDIS_CMD_<WIRE>
 *   subscribe:WIRE   forwards to kelvoSubscribeCommand (kelvoClusterSubscribeCommand) with REDIS_CMD_<WIRE>
 *   scan:WIRE        (cluster) forwards to kelvoClusterScanCommand with REDIS_CMD_<WIRE>
 *   shared           (cluster) runs the handler of the Kelvo\Kelvo method of the same name
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
            'sensitive' => $sensitive === '-' ? [] : explode(',', $sensitive),
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

/** Resolves the "=" cells of a table against the Kelvo\Kelvo methods. */
function inheritSignatures(array $methods, array $client): array
{
    $byName = [];
    foreach ($client as $c) {
        $byName[$c['name']] = $c;
    }
    foreach ($methods as &$m) {
        foreach (['params', 'returns'] as $cell) {
            if ($m[$cell] !== '=') {
                continue;
            }
            $c = $byName[$m['name']] ?? fail("{$m['name']}: no Kelvo\\Kelvo method to take the $cell of");
            $m[$cell] = $cell === 'returns' && $c['returns'] !== null
                ? preg_replace('/(?<![\\\\\w])Kelvo(?![\\\\\w])/', 'Cluster', $c['returns']) : $c[$cell];
        }
    }
    return $methods;
}

function validate(array $methods, array $class): void
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
        if (!in_array($kind, $class['handlers'], true)) {
            fail("{$m['name']}: handler kind '$kind' is not one of {$class['class']}'s");
        }
        switch ($kind) {
            case 'command':
            case 'subscribe':
            case 'scan':
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
            case 'shared':
            case 'pending':
            case 'own':
                break;
            default:
                fail("{$m['name']}: unknown handler kind '$kind'");
        }
        foreach ($m['sensitive'] as $p) {
            if (!in_array($p, paramNames($m['params']), true)) {
                fail("{$m['name']}: no parameter \$$p");
            }
        }
    }
}

function stubMethod(array $m): string
{
    $doc = $m['summary'] === null ? [] : [$m['summary']];
    [$kind, $target] = handlerTarget($m);
    if ($kind === 'command' || $kind === 'subscribe' || $kind === 'scan') {
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

/** The declarations of Kelvo\Kelvo and the event classes. */
function clientStub(array $methods): string
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
    $out .= classBody(KELVO_CONSTANTS, $methods);
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

/** The declarations of Kelvo\Cluster and its full-scan generator. */
function clusterStub(array $methods): string
{
    $out = <<<'PHP'
<?php

/**
 * @generate-class-entries
 * @undocumentable
 */

/* Generated by tools/gen-client-stub.php from tools/cluster_methods.tsv; edit those, not this file. */

namespace Kelvo {
    /**
     * The cluster client: routes each command to the node that serves its key's slot, follows
     * the cluster's redirections, splits multi-key commands per slot and may read from replicas.
     * Server-wide commands name their node with $key_or_address: a key (the node of its slot) or
     * [host, port]. Shared options, modes and serializers are the constants of Kelvo\Kelvo. A
     * method whose return type names Kelvo\Cluster returns the object itself inside a transaction.
     */
    class Cluster
    {

PHP;
    $out .= classBody(CLUSTER_CONSTANTS, $methods);
    $out .= <<<'PHP'
    }
}

namespace Kelvo\Cluster {
    /**
     * The generator Kelvo\Cluster::fullscan() returns: one page of keys per step, primary after
     * primary. It cannot be cloned; its iterator methods step it as foreach does.
     */
    final class FullscanGenerator extends \Generator
    {
        public function current(): mixed {}

        public function key(): mixed {}

        public function next(): void {}

        public function valid(): bool {}

        public function rewind(): void {}

        /** Refused: the generator takes no values. */
        public function send(mixed $value): mixed {}

        /** Refused: the generator takes no exceptions. */
        public function throw(\Throwable $exception): mixed {}

        /** Refused: the generator has no return value. */
        public function getReturn(): mixed {}
    }
}

PHP;
    return $out;
}

function classBody(array $constants, array $methods): string
{
    $out = '';
    foreach ($constants as $c) {
        $out .= stubConstant($c);
    }
    $out .= "\n        /** This object's adaptive-cache settings; set by the module and not replaceable. */\n";
    $out .= "        public AdaptiveCache \$adaptiveCache;\n\n";
    return $out . implode("\n", array_map('stubMethod', $methods));
}

function attributeMask(array $attrs): string
{
    return $attrs ? implode(' | ', array_map(fn($a) => "kelvoAttr$a", $attrs)) : '0';
}

function methodsSource(array $class, array $methods): string
{
    $out = $class['sourceHead'] . "\nextern \"C\" {\n";
    $sections = ['command' => '', 'subscribe' => '', 'scan' => '', 'shared' => '', 'pending' => ''];
    foreach ($methods as $m) {
        [$kind, $target] = handlerTarget($m);
        $sig = "ZEND_METHOD({$class['cname']}, {$m['name']})";
        if (isset($class['forwards'][$kind])) {
            $sections[$kind] .= "$sig { {$class['forwards'][$kind]}(INTERNAL_FUNCTION_PARAM_PASSTHRU, " . commandId($target) . "); }\n";
        } elseif ($kind === 'shared') {
            $sections[$kind] .= "ZEND_METHOD(Kelvo_Kelvo, {$m['name']});\n"
                . "$sig { ZEND_MN(Kelvo_Kelvo_{$m['name']})(INTERNAL_FUNCTION_PARAM_PASSTHRU); }\n";
        } elseif ($kind === 'pending') {
            $sections[$kind] .= "$sig { kelvoMethodPending(INTERNAL_FUNCTION_PARAM_PASSTHRU); }\n";
        }
    }
    $titles = ['command' => 'Command methods.', 'subscribe' => 'The subscribe family.', 'scan' => 'The scans.',
               'shared' => 'Methods that run the Kelvo\\Kelvo method of the same name.',
               'pending' => 'Methods whose behaviour is not built yet.'];
    foreach ($titles as $kind => $title) {
        if (in_array($kind, $class['handlers'], true) && $kind !== 'shared' || $sections[$kind] !== '') {
            $out .= "\n/* $title */\n" . $sections[$kind];
        }
    }
    $table = $class['attributes'];
    $out .= "\n}\n\nconst kelvoMethodAttributes {$table}[] = {\n";
    $count = 0;
    foreach ($methods as $m) {
        /* One row per sensitive parameter; the method's own attributes go with the first. */
        $sensitive = array_map(fn($p) => array_search($p, paramNames($m['params'])) + 1, $m['sensitive']);
        $rows = [[$m['attrs'], array_shift($sensitive) ?? 0]];
        foreach ($sensitive as $p) {
            $rows[] = [[], $p];
        }
        foreach ($rows as [$attrs, $p]) {
            if ($attrs || $p) {
                $out .= sprintf("    {\"%s\", %s, %d},\n", strtolower($m['name']), attributeMask($attrs), $p);
                $count++;
            }
        }
    }
    $out .= "};\nconst size_t " . preg_replace('/Attributes$/', 'AttributeCount', $table) . " = $count;\n";
    return $out;
}

/* Constants of Kelvo\Cluster: its option ids and their modes; literal values. */
const CLUSTER_CONSTANTS = [
    ['OPT_DISTRIBUTE', 'int', null, 16], ['DISTRIBUTE_NONE', 'int', null, 0], ['DISTRIBUTE_RANDOM', 'int', null, 1],
    ['DISTRIBUTE_RANDOM_REPLICA', 'int', null, 2], ['DISTRIBUTE_REPLICAS', 'int', null, 3],
    ['DISTRIBUTE_ALL', 'int', null, 4], ['OPT_SLAVE_FAILOVER', 'int', null, 5], ['OPT_REPLICA_FAILOVER', 'int', null, 5],
    ['OPT_FAILOVER', 'int', null, 17], ['FAILOVER_NONE', 'int', null, 0], ['FAILOVER_ERROR', 'int', null, 1],
    ['FAILOVER_DISTRIBUTE', 'int', null, 2], ['FAILOVER_DISTRIBUTE_SLAVES', 'int', null, 3],
    ['FAILOVER_DISTRIBUTE_REPLICAS', 'int', null, 3], ['FAILOVER_RANDOM_REPLICA', 'int', null, 4],
    ['FAILOVER_PRIMARY', 'int', null, 5], ['FAILOVER_REPLICAS', 'int', null, 6], ['FAILOVER_ALL', 'int', null, 7],
    ['OPT_AVAILABILITY_ZONE', 'int', null, 110],
];

const CLASSES = [
    [
        'class' => 'Kelvo\Kelvo', 'cname' => 'Kelvo_Kelvo', 'data' => 'tools/client_methods.tsv',
        'stub' => 'stubs/client.stub.php', 'source' => 'src/commands/client_methods.cc', 'stubFn' => 'clientStub',
        'handlers' => ['command', 'subscribe', 'alias', 'pending', 'own'],
        'forwards' => ['command' => 'kelvoCommand', 'subscribe' => 'kelvoSubscribeCommand'],
        'attributes' => 'kelvoClientMethodAttributes',
        'sourceHead' => <<<'CPP'
/*
 * The handlers of Kelvo\Kelvo's methods and the table of their attributes.
 * Generated by tools/gen-client-stub.php from tools/client_methods.tsv; edit those, not this file.
 *
 * A command method is one jump into the dispatcher with its command id: the dispatcher reads the
 * method's arguments from the call frame itself.
 */
#include "client/client.h"
#include "catalog/cmdids.h"

CPP,
    ],
    [
        'class' => 'Kelvo\Cluster', 'cname' => 'Kelvo_Cluster', 'data' => 'tools/cluster_methods.tsv',
        'stub' => 'stubs/cluster.stub.php', 'source' => 'src/cluster/cluster_methods.cc', 'stubFn' => 'clusterStub',
        'handlers' => ['command', 'subscribe', 'scan', 'shared', 'pending', 'own'],
        'forwards' => ['command' => 'kelvoClusterCommand', 'subscribe' => 'kelvoClusterSubscribeCommand',
                       'scan' => 'kelvoClusterScanCommand'],
        'attributes' => 'kelvoClusterMethodAttributes',
        'sourceHead' => <<<'CPP'
/*
 * The handlers of Kelvo\Cluster's methods and the table of their attributes.
 * Generated by tools/gen-client-stub.php from tools/cluster_methods.tsv; edit those, not this file.
 *
 * A command method is one jump into the cluster dispatcher with its command id: the dispatcher
 * reads the method's arguments from the call frame itself.
 */
#include "catalog/cmdids.h"
#include "client/client.h"
#include "cluster/cluster.h"
#include "cluster/cluster_methods.h"
#include "cluster/scan.h"

CPP,
    ],
];

$root = dirname(__DIR__);
$check = in_array('--check', $argv, true);
$outputs = [];
$client = null;
foreach (CLASSES as $class) {
    $methods = readMethods("$root/{$class['data']}");
    if ($client === null) {
        $client = $methods;
    } else {
        $methods = inheritSignatures($methods, $client);
    }
    validate($methods, $class);
    $outputs["$root/{$class['stub']}"] = $class['stubFn']($methods);
    $outputs["$root/{$class['source']}"] = methodsSource($class, $methods);
}
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
