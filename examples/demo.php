<?php
// kelvo demo, against the redis-server that scripts/demo started.
use Kelvo\Kelvo;

$host = getenv('KELVO_DEMO_HOST') ?: '127.0.0.1';
$port = (int) (getenv('KELVO_DEMO_PORT') ?: 6379);

$kelvo = new Kelvo($host, $port);
printf("kelvo %s, talking RESP3 to %s %s at %s:%d\n",
    phpversion('kelvo'), $kelvo->serverName(), $kelvo->serverVersion(), $host, $port);

// Plain commands.
$kelvo->set('demo:greeting', 'hello from kelvo');
printf("GET demo:greeting      -> %s\n", $kelvo->get('demo:greeting'));
printf("INCR demo:visits       -> %d\n", $kelvo->incr('demo:visits'));
$kelvo->hset('demo:user', 'name', 'Ada');
$kelvo->hset('demo:user', 'lang', 'PHP');
printf("HGETALL demo:user      -> %s\n", json_encode($kelvo->hgetall('demo:user')));

// Values packed on the way out and unpacked on the way back.
$kelvo->setOption(Kelvo::OPT_SERIALIZER, Kelvo::SERIALIZER_PHP);
$kelvo->setOption(Kelvo::OPT_COMPRESSION, Kelvo::COMPRESSION_LZF);
$packed = $kelvo->_pack(['id' => 7, 'tags' => ['a', 'b']]);
printf("_pack(array)           -> %d bytes, digest %s\n", strlen($packed), $kelvo->_digest(['id' => 7, 'tags' => ['a', 'b']]));
$kelvo->rawCommand('SET', 'demo:packed', $packed);
printf("stored value comes back -> %s\n", json_encode($kelvo->_unpack($kelvo->rawCommand('GET', 'demo:packed'))));

// Server errors: recorded as the last error by default, thrown on request.
var_dump($kelvo->rawCommand('NO-SUCH-COMMAND'));
printf("last error             -> %s\n", $kelvo->getLastError());
$kelvo->setOption(Kelvo::OPT_THROW_ON_ERROR, true);
try {
    $kelvo->rawCommand('NO-SUCH-COMMAND');
} catch (\Kelvo\Exception $e) {
    printf("thrown                 -> %s\n", $e->getMessage());
}

$kelvo->del('demo:greeting', 'demo:visits', 'demo:user', 'demo:packed');
