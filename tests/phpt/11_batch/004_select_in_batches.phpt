--TEST--
SELECT in a batch (the refused one sent raw: the method warns about a database the cache keeps nothing for): the client follows the database the server is on, also when the SELECT is discarded, aborted, refused or lost with its link
--EXTENSIONS--
kelvo
--FILE--
<?php
require __DIR__ . '/batch.inc';

$own = new OwnServer();
$admin = new Kelvo\Kelvo('127.0.0.1', $own->port);
$r = new Kelvo\Kelvo('127.0.0.1', $own->port);
$kill = fn(int $id) => $admin->rawCommand('CLIENT', 'KILL', 'ID', (string) $id);
/* Where the client now writes: the database that holds the marker afterwards. */
$where = function () use ($r, $admin): string {
    $r->set('marker', 'here');
    for ($db = 0; $db < 4; $db++) {
        $admin->select($db);
        if ($admin->get('marker') === 'here') {
            $admin->del('marker');
            $admin->select(0);
            return "db $db (getDbNum " . $r->getDbNum() . ')';
        }
    }
    return 'nowhere';
};
$cases = [
    'pipeline SELECT runs' => fn() => $r->pipeline()->select(1)->exec(),
    'MULTI SELECT runs' => fn() => $r->multi()->select(2)->exec(),
    'pipeline discarded' => fn() => $r->pipeline()->select(3)->set('k', 1)->discard(),
    'MULTI discarded' => fn() => $r->multi()->select(3)->set('k', 1)->discard(),
    'pipelined MULTI discarded' => fn() => $r->pipeline()->multi()->select(3)->discard(),
    'refused in a pipeline' => fn() => $r->pipeline()->select(1)->rawCommand('SELECT', '99999')->exec(),
    'refused, then one that runs' => fn() => $r->pipeline()->rawCommand('SELECT', '99999')->select(2)->exec(),
    'WATCH abort' => function () use ($r, $admin) {
        $r->watch('w');
        $admin->set('w', rand());
        return $r->multi()->select(3)->exec();
    },
    'WATCH abort in a pipeline' => function () use ($r, $admin) {
        $r->watch('w');
        $admin->set('w', rand());
        return $r->pipeline()->select(1)->multi()->select(3)->exec()->exec();
    },
    'queue-time error in MULTI' => fn() => $r->multi()->select(3)->rawCommand('NOPE'),
    'link closed before a pipeline' => function () use ($r, $kill) {
        $kill($r->rawCommand('CLIENT', 'ID'));
        return $r->pipeline()->select(3)->exec();
    },
];
foreach ($cases as $name => $case) {
    $r->select(0);
    printf("%-28s %s -> %s\n", $name, kelvo_outcome($case), $where());
}
?>
--EXPECTF--
pipeline SELECT runs         [true] -> db 1 (getDbNum 1)
MULTI SELECT runs            [true] -> db 2 (getDbNum 2)
pipeline discarded           true -> db 0 (getDbNum 0)
MULTI discarded              true -> db 0 (getDbNum 0)
pipelined MULTI discarded    true -> db 0 (getDbNum 0)
refused in a pipeline        [true,false] -> db 1 (getDbNum 1)
refused, then one that runs  [false,true] -> db 2 (getDbNum 2)
WATCH abort                  false -> db 0 (getDbNum 0)
WATCH abort in a pipeline    Kelvo\Exception(14) Error executing transaction. -> db 0 (getDbNum 0)
queue-time error in MULTI    Kelvo\Exception(14) ERR unknown command 'NOPE', with args beginning with:  -> db 0 (getDbNum 0)
link closed before a pipeline [true] -> db 3 (getDbNum 3)
