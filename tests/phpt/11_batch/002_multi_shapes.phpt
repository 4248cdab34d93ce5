--TEST--
MULTI and pipelines: result shapes, nested and repeated transactions, modes, misuse, DISCARD, and what each sends
--EXTENSIONS--
kelvo
--FILE--
<?php
require __DIR__ . '/batch.inc';

$own = new OwnServer();
$admin = new Kelvo\Kelvo('127.0.0.1', $own->port);
$r = new Kelvo\Kelvo('127.0.0.1', $own->port);
$reset = function () use ($admin) {
    $admin->flushAll();
    $admin->rawCommand('CONFIG', 'RESETSTAT');
};
$cases = [
    'multi: flat' => fn() => $r->multi()->incr('n')->incr('n')->exec(),
    'multi twice: one MULTI' => fn() => $r->multi()->incr('n')->multi()->incr('n')->exec(),
    'transaction in a pipeline' => fn() => $r->pipeline()->multi()->incr('n')->incr('n')->exec()->get('n')->exec(),
    'two transactions in a pipeline' => fn() => $r->pipeline()->set('a', 'x')->multi()->incr('n')->exec()->get('a')
        ->multi()->incr('n')->get('n')->exec()->exec(),
    'pipeline() again keeps the queue' => fn() => $r->pipeline()->incr('n')->pipeline()->incr('n')->exec(),
    'multi(PIPELINE)' => fn() => $r->multi(Kelvo\Kelvo::PIPELINE)->incr('n')->exec(),
    'empty pipeline' => fn() => $r->pipeline()->exec(),
    'empty transaction' => fn() => $r->multi()->exec(),
    'discarded pipeline sends nothing' => fn() => [$r->pipeline()->incr('n')->multi()->incr('n')->discard(), $r->getMode()],
    'discarded transaction' => fn() => [$r->multi()->incr('n')->discard(), $r->getMode()],
    'raw DISCARD ends the transaction' => fn() => [$r->multi()->incr('n')->rawCommand('DISCARD'), $r->getMode(),
        $r->get('n')],
];
foreach ($cases as $name => $case) {
    $reset();
    printf("%-33s %s | %s\n", $name, kelvo_outcome($case), kelvo_calls($admin, ['incr', 'multi', 'exec', 'discard']));
}

echo 'modes: ', $r->getMode(), ' ', $r->pipeline()->getMode(), ' ', $r->multi()->getMode(), ' ', $r->getMode(true);
$r->discard();
echo ' ', $r->multi()->getMode(), ' ', $r->getMode(true), "\n";
$r->discard();
echo 'returns the client: ', var_export($r->multi() === $r && $r->set('k', 'v') === $r, true), "\n";
$r->discard();

// Misuse outside a batch: false, and an exception only with throw-on-error.
foreach ([false, true] as $throw) {
    $r->setOption(Kelvo\Kelvo::OPT_THROW_ON_ERROR, $throw);
    echo 'exec: ', kelvo_outcome(fn() => $r->exec()), ', discard: ', kelvo_outcome(fn() => $r->discard()), "\n";
}
$r->setOption(Kelvo\Kelvo::OPT_THROW_ON_ERROR, false);
echo 'multi(0): ', kelvo_outcome(fn() => $r->multi(0)), ', mode ', $r->getMode(), "\n";
$r->multi();
$r->pipeline();
echo "not reached\n";
?>
--EXPECTF--
multi: flat                       [1,2] | incr=2 multi=1 exec=1 discard=0
multi twice: one MULTI            [1,2] | incr=2 multi=1 exec=1 discard=0
transaction in a pipeline         [[1,2],"2"] | incr=2 multi=1 exec=1 discard=0
two transactions in a pipeline    [true,[1],"x",[2,"2"]] | incr=2 multi=2 exec=2 discard=0
pipeline() again keeps the queue  [1,2] | incr=2 multi=0 exec=0 discard=0
multi(PIPELINE)                   [1] | incr=1 multi=0 exec=0 discard=0
empty pipeline                    [] | incr=0 multi=0 exec=0 discard=0
empty transaction                 [] | incr=0 multi=1 exec=1 discard=0
discarded pipeline sends nothing  [true,0] | incr=0 multi=0 exec=0 discard=0
discarded transaction             [true,0] | incr=0 multi=1 exec=0 discard=1
raw DISCARD ends the transaction  [true,0,false] | incr=0 multi=1 exec=0 discard=1
modes: 0 2 2 3 1 1
returns the client: true
exec: false, discard: false
exec: Kelvo\Exception(14) EXEC without MULTI or PIPELINE, discard: Kelvo\Exception(14) DISCARD without MULTI
multi(0): 
Warning: Kelvo\Kelvo::multi(): Unknown multi mode '0' in %s on line %d
false, mode 0

Fatal error: Can't activate pipeline in MULTI mode in %s on line %d
