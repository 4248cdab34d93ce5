--TEST--
Constructor: argument errors are ValueErrors after which nothing is set up
--FILE--
<?php
use Kelvo\Kelvo;
$cases = [
    'port above range' => ['127.0.0.1', 65536],
    'port negative' => ['127.0.0.1', -1],
    'connect timeout too large' => ['127.0.0.1', 6379, 2147483648.0],
    'connect timeout NaN' => ['127.0.0.1', 6379, NAN],
    'command timeout too large' => ['127.0.0.1', 6379, 0.0, 1e12],
    'command timeout NaN' => ['127.0.0.1', 6379, 0.0, NAN],
    'database negative' => ['127.0.0.1', 6379, 0.0, 0.0, [], -1],
    'database above range' => ['127.0.0.1', 6379, 0.0, 0.0, [], 2147483648],
    'context database negative' => ['127.0.0.1', 6379, 0.0, 0.0, ['database' => -1]],
    'context database above range' => ['127.0.0.1', 6379, 0.0, 0.0, ['database' => 4294967296]],
    'host not a string' => [['host' => '127.0.0.1'], 6379],
    'array: host' => [['host' => 1]],
    'array: port' => [['host' => '127.0.0.1', 'port' => 70000]],
    'array: connect timeout' => [['host' => '127.0.0.1', 'connectTimeout' => -1]],
    'array: connect timeout NaN' => [['host' => '127.0.0.1', 'connectTimeout' => NAN]],
    'array: read timeout' => [['host' => '127.0.0.1', 'readTimeout' => 'x']],
    'array: retry interval' => [['host' => '127.0.0.1', 'retryInterval' => -1]],
    'array: weight' => [['host' => '127.0.0.1', 'weight' => 0]],
];
foreach ($cases as $name => $args) {
    $k = new Kelvo();
    try {
        $k->__construct(...$args);
        echo "$name: accepted\n";
    } catch (ValueError $e) {
        echo "$name: ", $e->getMessage(), "\n";
    }
    // Nothing was set up: the object still has no connection settings.
    try {
        $k->getHost();
        echo "  configured!\n";
    } catch (\Kelvo\Exception $e) {
        if (!str_starts_with($e->getMessage(), 'Not connected')) {
            echo "  ", $e->getMessage(), "\n";
        }
    }
}
try {
    new Kelvo('127.0.0.1', 6379, 0.0, 0.0, [], 0, 'extra');
} catch (ArgumentCountError $e) {
    echo $e->getMessage(), "\n";
}
echo "nothing set up:\n";
foreach ([[], [null], [['port' => 26379]]] as $args) {
    try {
        (new Kelvo(...$args))->getHost();
    } catch (\Kelvo\Exception $e) {
        echo strtok($e->getMessage(), '('), "\n";
    }
}
?>
--EXPECT--
port above range: Port must be an integer between 0 - 65536
port negative: Port must be an integer between 0 - 65536
connect timeout too large: Invalid connect timeout
connect timeout NaN: Invalid connect timeout
command timeout too large: Invalid command timeout
command timeout NaN: Invalid command timeout
database negative: Database must be between 0 and 2147483647
database above range: Database must be between 0 and 2147483647
context database negative: Database must be between 0 and 2147483647
context database above range: Database must be between 0 and 2147483647
host not a string: When not using an options array, the host argument must be a string
array: host: Invalid host
array: port: Port must be an integer between 0 - 65536
array: connect timeout: Connection timeout must be a number >= 0.0
array: connect timeout NaN: Connection timeout must be a number >= 0.0
array: read timeout: Read timeout must be a number >= 0.0
array: retry interval: Retry interval must be numeric and >= 0
array: weight: Weight must be numeric and >= 1
Kelvo\Kelvo::__construct() expects at most 6 arguments, 7 given
nothing set up:
Not connected 
Not connected 
Not connected 
