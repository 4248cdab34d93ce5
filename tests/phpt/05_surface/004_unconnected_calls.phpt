--TEST--
Methods of a client that never connected: commands fail with "Not connected", deprecated methods announce it
--FILE--
<?php
$k = new Kelvo\Kelvo();
foreach (['get' => ['k'], 'jsonForget' => ['k'], 'subscribe' => [['c'], fn() => null], 'cmsQuery' => ['k', 'a']] as $method => $args) {
    try {
        $k->$method(...$args);
        echo "$method: returned\n";
    } catch (Kelvo\Exception $e) {
        printf("%s: %s (code %d)\n", $method, str_starts_with($e->getMessage(), 'Not connected') ? 'Not connected' : $e->getMessage(), $e->getCode());
    }
}

set_error_handler(function (int $level, string $message) {
    echo $level === E_DEPRECATED ? "deprecated: $message\n" : "error $level: $message\n";
    return true;
});
foreach ([fn() => $k->pclose(), fn() => Kelvo\Kelvo::memory()] as $call) {
    try {
        $call();
    } catch (Throwable) {
    }
}
?>
--EXPECT--
get: Not connected (code 1)
jsonForget: Not connected (code 1)
subscribe: Not connected (code 1)
cmsQuery: Not connected (code 1)
deprecated: Method Kelvo\Kelvo::pclose() is deprecated
deprecated: Method Kelvo\Kelvo::memory() is deprecated
