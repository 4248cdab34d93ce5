--TEST--
Every command method sends its catalogue's command word (aliases the word of their target)
--EXTENSIONS--
kelvo
--INI--
; the scripted server answers the handshake and commands only, not the cache's upkeep
kelvo.maxmemory=0
--FILE--
<?php
require __DIR__ . '/../08_dispatch/fake.inc';

// Methods that send nothing from where this test calls them; each must still fail to send its
// word, so an entry that starts sending shows up here. The unsubscribe family is refused outside
// subscribe mode ("Not subscribed"); the subscribe family sends and is refused by the fake server.
const NOT_SENDING = [
    'unsubscribe' => 'refused outside subscribe mode',
    'punsubscribe' => 'refused outside subscribe mode',
    'sunsubscribe' => 'refused outside subscribe mode',
];

// A real subcommand (or operation word) for each method whose first parameter is one: the
// request's second word.
const SUBCOMMANDS = [
    'acl' => 'WHOAMI', 'bitop' => 'AND', 'client' => 'LIST', 'commandlog' => 'HELP', 'config' => 'HELP',
    'function' => 'LIST', 'hotkeys' => 'STOP', 'object' => 'ENCODING', 'pubsub' => 'CHANNELS',
    'script' => 'FLUSH', 'slowlog' => 'GET', 'xgroup' => 'HELP', 'xinfo' => 'HELP', 'ftConfig' => 'GET',
    'ftCursor' => 'READ', 'jsonDebug' => 'MEMORY',
];

// Arguments for the methods whose builders refuse the dummy ones (a non-numeric timeout, an
// empty key list, a from word or a direction, an amount of 1 that turns INCRBY into INCR, a
// field without its value, a score or coordinate that is no number, a bound that is no lex bound).
const VALID_ARGS = [
    'blpop' => ['a', 0.1], 'brpop' => ['a', 0.1], 'bzpopmax' => ['a', 0.1], 'bzpopmin' => ['a', 0.1],
    'blmpop' => [0.1, ['a'], 'LEFT'], 'bzmpop' => [0.1, ['a'], 'MIN'],
    'lmpop' => [['a'], 'LEFT'], 'zmpop' => [['a'], 'MIN'],
    'incrby' => ['a', 2], 'decrby' => ['a', 2],
    'del' => ['a'], 'unlink' => ['a'], 'touch' => ['a'], 'wait' => [1, 0],
    'lmove' => ['a', 'b', 'LEFT', 'RIGHT'], 'blmove' => ['a', 'b', 'LEFT', 'RIGHT', 0.1],
    'lmovem' => ['a', 'b', 'LEFT', 'RIGHT'], 'blmovem' => ['a', 'b', 'LEFT', 'RIGHT', 0.1],
    'linsert' => ['a', 'BEFORE', 'p', 'v'],
    'hset' => ['a', 'f', 'v'], 'zadd' => ['a', 1, 'm'], 'geoadd' => ['a', 1.5, 2.5, 'm'],
    'zlexcount' => ['a', '-', '+'], 'zremrangebylex' => ['a', '-', '+'],
    'ftCreate' => ['i', ['f' => ['TYPE' => 'TAG']]], 'ftAlter' => ['i', ['f' => ['TYPE' => 'TAG']]],
    'ftProfile' => ['i', 'SEARCH', '*'],
];

/* method => wire name, from the method table: command and subscribe rows, and aliases of them. */
function kelvo_command_methods(string $root): array
{
    $rows = [];
    foreach (file("$root/tools/client_methods.tsv", FILE_IGNORE_NEW_LINES) as $line) {
        if ($line !== '' && $line[0] !== '#') {
            [$name, $handler] = explode("\t", $line);
            $rows[$name] = $handler;
        }
    }
    $words = [];
    foreach ($rows as $name => $handler) {
        if (str_starts_with($handler, 'alias:')) {
            $handler = $rows[substr($handler, 6)];
        }
        if (preg_match('/^(?:command|subscribe):(.+)$/', $handler, $m)) {
            $words[$name] = $m[1];
        }
    }
    return $words;
}

function kelvo_catalogue(string $root): array
{
    $names = [];
    foreach (file("$root/tools/commands.tsv", FILE_IGNORE_NEW_LINES) as $line) {
        if (preg_match('/^\d+\s+(\S+)/', $line, $m)) {
            $names[$m[1]] = true;
        }
    }
    return $names;
}

/* A value for a required parameter: the first type it admits in the order below. */
function kelvo_dummy_value(ReflectionParameter $p): mixed
{
    $byType = ['string' => 'a', 'mixed' => 'a', 'int' => 1, 'float' => 1.5, 'bool' => false,
               'array' => ['a'], 'callable' => fn() => null];
    $type = $p->getType();
    $types = $type instanceof ReflectionUnionType ? $type->getTypes() : [$type];
    $names = $type === null ? ['mixed'] : array_map(fn($t) => $t->getName(), $types);
    return $byType[array_values(array_intersect(array_keys($byType), $names))[0]];
}

/* Arguments for the required parameters; a subcommand first where the method takes one. */
function kelvo_dummy_args(ReflectionMethod $method): array
{
    $params = $method->getParameters();
    $args = [];
    if ($params && in_array($params[0]->getName(), ['cmd', 'command', 'operation', 'subcommand'], true)) {
        if (!isset(SUBCOMMANDS[$method->getName()])) {
            echo $method->getName(), ": no subcommand in the table\n";
        }
        $args[] = SUBCOMMANDS[$method->getName()] ?? 'a';
        array_shift($params);
    }
    foreach ($params as $p) {
        if ($p->isOptional()) {
            break;
        }
        $args[] = kelvo_dummy_value($p);
    }
    return $args;
}

/* The words of the first request in a received text (CR LF shown as |). */
function kelvo_first_request(string $text): array
{
    if (!preg_match('/^\*(\d+)\|/', $text, $m)) {
        return [];
    }
    $parts = explode('|', substr($text, strlen($m[0])));
    $words = [];
    for ($i = 0; $i < (int) $m[1]; $i++) {
        $words[] = $parts[2 * $i + 1] ?? '';
    }
    return $words;
}

$root = dirname(__DIR__, 3);
$words = kelvo_command_methods($root);
$catalogue = kelvo_catalogue($root);
$fake = new FakeServer(array_fill(0, count($words) + 1, 'reply -ERR fake\r\n'));
$r = kelvo_fake_client($fake);
$r->ping();
$class = new ReflectionClass(Kelvo\Kelvo::class);
$sent = 0;
foreach ($words as $method => $word) {
    if (!isset($catalogue[$word])) {
        echo "$method: $word is not in the catalogue\n";
    }
    $seen = strlen($fake->received());
    // The placeholder builders that remain send an array argument as "Array", with a warning.
    $args = VALID_ARGS[$method] ?? kelvo_dummy_args($class->getMethod($method));
    $outcome = kelvo_outcome(fn() => @$r->$method(...$args));
    $request = kelvo_first_request(substr($fake->received(), $seen));
    $ok = ($request[0] ?? null) === $word
        && (!isset(SUBCOMMANDS[$method]) || ($request[1] ?? null) === SUBCOMMANDS[$method]);
    if ($ok === isset(NOT_SENDING[$method])) {
        printf("%s: expected %s, sent %s (%s)\n", $method, $word, json_encode($request), $outcome);
    }
    $sent += $ok;
}
echo "$sent of ", count($words), " command methods send their word\n";
?>
--EXPECTF--
%d of %d command methods send their word
