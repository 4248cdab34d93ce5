--TEST--
subscribe, psubscribe, ssubscribe: callbacks get the client, pattern, channel and the unpacked message; key prefixes; confirmations without phpredis compatibility; the loop ends when the last name is left
--EXTENSIONS--
kelvo
--FILE--
<?php
require __DIR__ . '/pubsub.inc';

[$host, $port] = kelvo_server();
$cases = [
    'subscribe' => ['subscribe', ['ps1:a', 'ps1:b'], [],
        [['PUBLISH', 'ps1:a', 'one', 'sub', 2], ['PUBLISH', 'ps1:b', 'two'], ['PUBLISH', 'ps1:a', 'stop']]],
    'psubscribe' => ['psubscribe', ['ps1:p*'], [], [['PUBLISH', 'ps1:px', 'one', 'psub'], ['PUBLISH', 'ps1:py', 'stop', 'psub']]],
    'ssubscribe' => ['ssubscribe', ['ps1:s'], [], [['SPUBLISH', 'ps1:s', 'one', 'ssub'], ['SPUBLISH', 'ps1:s', 'stop', 'ssub']]],
    'key prefix' => ['subscribe', ['ps1:c'], [Kelvo\Kelvo::OPT_PREFIX => 'pre:'], [['PUBLISH', 'pre:ps1:c', 'stop']]],
    'serialized' => ['subscribe', ['ps1:z'], [Kelvo\Kelvo::OPT_SERIALIZER => Kelvo\Kelvo::SERIALIZER_PHP],
        [['PUBLISH', 'ps1:z', serialize(['n' => 1])], ['PUBLISH', 'ps1:z', serialize('stop')]]],
    'confirmations' => ['psubscribe', ['ps1:q*', 'ps1:r*'], [Kelvo\Kelvo::OPT_PHPREDIS_COMPATIBILITY => false],
        [['PUBLISH', 'ps1:r1', 'stop', 'psub', 2]]],
];
foreach ($cases as $name => [$method, $names, $options, $messages]) {
    $r = new Kelvo\Kelvo($host, $port);
    foreach ($options as $option => $value) {
        $r->setOption($option, $value);
    }
    $log = [];
    $callback = function (...$args) use (&$log, $r, $method) {
        $client = array_shift($args);
        $log[] = ($client === $r ? 'client ' : 'another object ') . json_encode($args);
        if (end($args) === 'stop') {
            $leave = ['subscribe' => 'unsubscribe', 'psubscribe' => 'punsubscribe', 'ssubscribe' => 'sunsubscribe'][$method];
            $log[] = 'leaving: ' . json_encode($client->$leave());
        }
    };
    $publisher = kelvo_publisher($messages);
    $result = $r->$method($names, $callback);
    kelvo_wait($publisher);
    echo "$name: ", json_encode($result), ', mode after ', $r->getMode(true), ', next command ', json_encode($r->echo('ok')), "\n";
    foreach ($log as $line) {
        echo "  $line\n";
    }
}
?>
--EXPECT--
subscribe: true, mode after 0, next command "ok"
  client ["ps1:a","one"]
  client ["ps1:b","two"]
  client ["ps1:a","stop"]
  leaving: true
psubscribe: true, mode after 0, next command "ok"
  client ["ps1:p*","ps1:px","one"]
  client ["ps1:p*","ps1:py","stop"]
  leaving: true
ssubscribe: true, mode after 0, next command "ok"
  client ["ps1:s","one"]
  client ["ps1:s","stop"]
  leaving: true
key prefix: true, mode after 0, next command "ok"
  client ["pre:ps1:c","stop"]
  leaving: true
serialized: true, mode after 0, next command "ok"
  client ["ps1:z",{"n":1}]
  client ["ps1:z","stop"]
  leaving: true
confirmations: true, mode after 0, next command "ok"
  client [null,"ps1:q*",null]
  client [null,"ps1:r*",null]
  client ["ps1:r*","ps1:r1","stop"]
  leaving: true
