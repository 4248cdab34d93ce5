--TEST--
Pipeline: each reply folds through its command's formatter in queue order; a failed command fills only its own slot (false with the last error, or an unthrown exception under throw-on-error); each command runs once
--EXTENSIONS--
kelvo
--FILE--
<?php
require __DIR__ . '/batch.inc';

$own = new OwnServer();
$admin = new Kelvo\Kelvo('127.0.0.1', $own->port);
$queue = function (Kelvo\Kelvo $r): Kelvo\Kelvo {
    return $r->set('k', 'v')->get('k')->hset('h', 'f', '1')->hgetall('h')
        ->incr('s')             // refused: not an integer
        ->rawCommand('NOPE')    // refused: unknown command
        ->multi()->incr('n')->incr('n')->exec()
        ->exists('k', 'h', 'missing')->type('h')->zadd('z', 1.5, 'm')->zrange('z', 0, -1);
};
foreach (['record' => false, 'throw' => true] as $mode => $throw) {
    $r = new Kelvo\Kelvo('127.0.0.1', $own->port);
    $r->setOption(Kelvo\Kelvo::OPT_THROW_ON_ERROR, $throw);
    $admin->flushAll();
    $admin->set('s', 'text');
    $admin->rawCommand('CONFIG', 'RESETSTAT');
    $pipeline = $r->pipeline();
    echo "$mode: pipeline() returns the client: ", var_export($pipeline === $r, true), "\n";
    $result = $queue($pipeline)->exec();
    foreach ($result as $i => $value) {
        echo "  $i ", kelvo_slot($value), "\n";
    }
    echo '  last error: ', json_encode($r->getLastError()), ', mode after: ', $r->getMode(true), "\n";
    echo '  ', kelvo_calls($admin, ['set', 'get', 'hset', 'hgetall', 'incr', 'multi', 'exec', 'exists', 'zadd']), "\n";
}

// The same calls one by one give what the pipeline's slots hold.
$r = new Kelvo\Kelvo('127.0.0.1', $own->port);
$admin->flushAll();
$admin->set('s', 'text');
$piped = $queue($r->pipeline())->exec();
$admin->flushAll();
$admin->set('s', 'text');
$single = [$r->set('k', 'v'), $r->get('k'), $r->hset('h', 'f', '1'), $r->hgetall('h'), $r->incr('s'), $r->rawCommand('NOPE'),
           $r->multi()->incr('n')->incr('n')->exec(), $r->exists('k', 'h', 'missing'), $r->type('h'),
           $r->zadd('z', 1.5, 'm'), $r->zrange('z', 0, -1)];
echo 'one by one equals the pipeline: ', var_export($single === $piped, true), "\n";
?>
--EXPECTF--
record: pipeline() returns the client: true
  0 true
  1 "v"
  2 1
  3 {"f":"1"}
  4 false
  5 false
  6 [1,2]
  7 2
  8 5
  9 1
  10 ["m"]
  last error: "ERR unknown command 'NOPE', with args beginning with: ", mode after: 0
  set=1 get=1 hset=1 hgetall=1 incr=3 multi=1 exec=1 exists=1 zadd=1
throw: pipeline() returns the client: true
  0 true
  1 "v"
  2 1
  3 {"f":"1"}
  4 Kelvo\Exception(14) ERR value is not an integer or out of range
  5 Kelvo\Exception(14) ERR unknown command 'NOPE', with args beginning with: 
  6 [1,2]
  7 2
  8 5
  9 1
  10 ["m"]
  last error: %s, mode after: 0
  set=1 get=1 hset=1 hgetall=1 incr=3 multi=1 exec=1 exists=1 zadd=1
one by one equals the pipeline: true
