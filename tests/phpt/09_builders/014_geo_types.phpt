--TEST--
Geo positions, shapes, coordinates and store keys of unexpected types, run in a child process so that a fatal end would show: each is coerced as the engine's weak mode does or refused with a type error or one warning, and the child ends normally
--EXTENSIONS--
kelvo
--FILE--
<?php
require __DIR__ . '/../inc/servers.inc';
require __DIR__ . '/../inc/own_server.inc';

$own = new OwnServer(); // FLUSHDB reaches every client of a server

$child = <<<'PHP'
$k = new Kelvo\Kelvo(getenv('KELVO_TEST_HOST'), (int) getenv('KELVO_TEST_PORT'));
$k->select(13);
$k->setOption(Kelvo\Kelvo::OPT_PREFIX, 'p:');
$k->geoadd('g', 15, 37, 'm', 15.1, 37.1, '100');
set_error_handler(function (int $level, string $message) {
    echo $level === E_DEPRECATED ? 'deprecated' : 'warning', ': ', preg_replace('/^.*?\(\): /', '', $message), "\n";
    return true;
});
$calls = [
    "geosearch('g', '100', '50', 'km')" => fn() => $k->geosearch('g', '100', '50', 'km'),
    "geosearch('g', 100, 50, 'km')" => fn() => $k->geosearch('g', 100, 50, 'km'),
    "geosearch('g', null, 50, 'km')" => fn() => $k->geosearch('g', null, 50, 'km'),
    "geosearch('g', 'm', null, 'km')" => fn() => $k->geosearch('g', 'm', null, 'km'),
    "geosearch('g', 'm', true, 'km')" => fn() => $k->geosearch('g', 'm', true, 'km'),
    "geosearch('g', 'm', 'wide', 'km')" => fn() => $k->geosearch('g', 'm', 'wide', 'km'),
    "geosearch('g', 'm', new stdClass, 'km')" => fn() => $k->geosearch('g', 'm', new stdClass, 'km'),
    "geosearch('g', new stdClass, 50, 'km')" => fn() => $k->geosearch('g', new stdClass, 50, 'km'),
    "geosearch('g', [15, null], 50, 'km')" => fn() => $k->geosearch('g', [15, null], 50, 'km'),
    "geosearch('g', [15, '37'], [100, []], 'km')" => fn() => $k->geosearch('g', [15, '37'], [100, []], 'km'),
    "geosearchstore('d', 'g', null, '50', 'km')" => fn() => $k->geosearchstore('d', 'g', null, '50', 'km'),
    "geosearchstore('d', 'g', 'm', [], 'km')" => fn() => $k->geosearchstore('d', 'g', 'm', [], 'km'),
    "georadius(... ['store' => ['x']])" => fn() => $k->georadius('g', 15, 37, 100, 'km', ['store' => ['x']]),
    "georadius(... ['store' => null])" => fn() => $k->georadius('g', 15, 37, 100, 'km', ['store' => null]),
    "georadius(... ['STORE' => new stdClass])" => fn() => $k->georadius('g', 15, 37, 100, 'km', ['STORE' => new stdClass]),
    "georadius(... ['store' => 7])" => fn() => $k->georadius('g', 15, 37, 100, 'km', ['store' => 7]),
    "georadiusbymember(... ['storedist' => 1.5])" => fn() => $k->georadiusbymember('g', 'm', 100, 'km', ['storedist' => 1.5]),
    "georadius('g', '15', '37', '100', 'km')" => fn() => $k->georadius('g', '15', '37', '100', 'km'),
    "georadius('g', 'east', 37, 100, 'km')" => fn() => $k->georadius('g', 'east', 37, 100, 'km'),
    "geoadd('g', ' 15.2', '37.2', 'n')" => fn() => $k->geoadd('g', ' 15.2', '37.2', 'n'),
    "geoadd('g', null, 37, 'n')" => fn() => $k->geoadd('g', null, 37, 'n'),
    "geoadd('g', 15, [37], 'n')" => fn() => $k->geoadd('g', 15, [37], 'n'),
    "geoadd('g', new stdClass, 37, 'n')" => fn() => $k->geoadd('g', new stdClass, 37, 'n'),
    "geoadd('g', 15, 37, 'n', null)" => fn() => $k->geoadd('g', 15, 37, 'n', null),
];
foreach ($calls as $text => $call) {
    echo $text, ' -> ';
    try {
        echo json_encode($call()), "\n";
    } catch (Throwable $e) {
        echo get_class($e), ': ', preg_replace('/^.*?\(\): /', '', $e->getMessage()), "\n";
    }
}
echo json_encode([$k->rawCommand('EXISTS', 'p:7'), $k->rawCommand('EXISTS', 'p:1.5'), $k->rawCommand('ZCARD', 'p:g')]), "\n";
$k->flushdb();
echo "child done\n";
PHP;

$proc = proc_open([PHP_BINARY, '-n', '-d', 'extension=' . kelvo_test_env('KELVO_MODULE'), '-r', $child],
                  [1 => ['pipe', 'w'], 2 => ['pipe', 'w']], $pipes, null,
                  ['KELVO_TEST_HOST' => '127.0.0.1', 'KELVO_TEST_PORT' => (string) $own->port] + getenv());
echo stream_get_contents($pipes[1]), stream_get_contents($pipes[2]);
echo 'exit ', proc_close($proc), "\n";
?>
--EXPECT--
geosearch('g', '100', '50', 'km') -> ["m","100"]
geosearch('g', 100, 50, 'km') -> ["m","100"]
geosearch('g', null, 50, 'km') -> deprecated: Passing null to parameter #2 ($position) of type array|string is deprecated
false
geosearch('g', 'm', null, 'km') -> TypeError: Argument #3 ($shape) must be of type array|int|float, null given
geosearch('g', 'm', true, 'km') -> TypeError: Argument #3 ($shape) must be of type array|int|float, bool given
geosearch('g', 'm', 'wide', 'km') -> TypeError: Argument #3 ($shape) must be of type array|int|float, string given
geosearch('g', 'm', new stdClass, 'km') -> TypeError: Argument #3 ($shape) must be of type array|int|float, stdClass given
geosearch('g', new stdClass, 50, 'km') -> TypeError: Argument #2 ($position) must be of type array|string, stdClass given
geosearch('g', [15, null], 50, 'km') -> warning: position array must contain numbers
false
geosearch('g', [15, '37'], [100, []], 'km') -> warning: shape array must contain numbers
false
geosearchstore('d', 'g', null, '50', 'km') -> deprecated: Passing null to parameter #3 ($position) of type array|string is deprecated
false
geosearchstore('d', 'g', 'm', [], 'km') -> warning: shape array must contain either 2 elements (for BYBOX) or at least 6 elements (for BYPOLYGON)
false
georadius(... ['store' => ['x']]) -> warning: The store key must be a string
false
georadius(... ['store' => null]) -> warning: The store key must be a string
false
georadius(... ['STORE' => new stdClass]) -> warning: The STORE key must be a string
false
georadius(... ['store' => 7]) -> 2
georadiusbymember(... ['storedist' => 1.5]) -> 2
georadius('g', '15', '37', '100', 'km') -> ["m","100"]
georadius('g', 'east', 37, 100, 'km') -> TypeError: Argument #2 ($lng) must be of type float, string given
geoadd('g', ' 15.2', '37.2', 'n') -> 1
geoadd('g', null, 37, 'n') -> TypeError: Argument #2 ($lng) must be of type float, null given
geoadd('g', 15, [37], 'n') -> TypeError: Argument #3 ($lat) must be of type float, array given
geoadd('g', new stdClass, 37, 'n') -> TypeError: Argument #2 ($lng) must be of type float, stdClass given
geoadd('g', 15, 37, 'n', null) -> TypeError: Argument #5 must be of type array, null given
[1,1,3]
child done
exit 0
