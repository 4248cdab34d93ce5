--TEST--
Local invalidation: conditional writes tell the client's own listeners only when they wrote, a drop ignores the client's patterns, and malformed raw writes in batches reach the server instead of ending the process
--EXTENSIONS--
kelvo
--INI--
kelvo.databases=2
--FILE--
<?php
require __DIR__ . '/reads.inc';
use Kelvo\Kelvo;

$port = (int) kelvo_test_env('KELVO_TEST_PORT');
$c = new Kelvo('127.0.0.1', $port);
$heard = [];
$c->onInvalidated(function ($event) use (&$heard) { $heard[] = $event->key; });
$c->del('ed:a', 'ed:b');
$heard = [];
$cases = [
    'EXPIRE of no key (0)' => fn() => $c->expire('ed:a', 10),
    'SET' => fn() => $c->set('ed:a', 1),
    'EXPIRE (1)' => fn() => $c->expire('ed:a', 10),
    'SETNX on a key (0)' => fn() => $c->setnx('ed:a', 2),
    'SET of the other key' => fn() => $c->set('ed:b', 1),
    'RENAMENX onto a key (0)' => fn() => $c->renameNx('ed:a', 'ed:b'),
    'RENAME' => fn() => $c->rename('ed:a', 'ed:b'),
    'pipeline: EXPIRE of no key, SET' => fn() => $c->pipeline()->expire('ed:a', 5)->set('ed:a', 3)->exec(),
    'MULTI: SETNX on a key, DEL' => fn() => $c->multi()->setnx('ed:a', 4)->del('ed:a')->exec(),
];
foreach ($cases as $name => $call) {
    $heard = [];
    $result = json_encode($call());
    printf("%-34s %-18s heard %s\n", $name, $result, json_encode($heard));
}

// A key stored by another client is dropped whatever this client's own patterns say.
$other = new Kelvo('127.0.0.1', $port);
$other->set('ed:p', 'old');
$other->get('ed:p');
$w = new Kelvo('127.0.0.1', $port);
$w->setOption(Kelvo::OPT_ALLOW_PATTERNS, ['nothing:*']);
$w->set('ed:p', 'new');
$before = $other->getBytes()[0];
var_dump($other->get('ed:p'), $other->getBytes()[0] != $before);

// Raw writes the server refuses, queued where their reply comes later: each gets its error.
$r = new Kelvo('127.0.0.1', $port);
$r->set('ed:m', 'v');
$r->get('ed:m');
$out = $r->pipeline()->rawCommand('MSET', 'ed:m', 'x', 'ed:n')->rawCommand('SELECT', '99999999999')
    ->rawCommand('SWAPDB', '0', '-1')->rawCommand('SELECT', 'x')->get('ed:m')->exec();
echo json_encode($out), ' ', $r->getDbNum(), "\n";
$out = $r->multi()->rawCommand('MSET', 'ed:m', 'y', 'ed:n')->rawCommand('SELECT', '4294967296')->exec();
echo json_encode($out), ' ', $r->getDbNum(), "\n";
// The MSET's keys were dropped when it was queued: the next read asks the server.
$before = $r->getBytes()[0];
echo json_encode($r->get('ed:m')), ' ', $r->getBytes()[0] != $before ? 'server' : 'local', "\n";

// rawCommand of a client that turned the cache off never consults it.
$n = new Kelvo('127.0.0.1', $port);
$n->setOption(Kelvo::OPT_USE_CACHE, false);
$n->rawCommand('GET', 'ed:m');
$before = $n->getBytes()[0];
echo json_encode($n->rawCommand('GET', 'ed:m')), ' ', $n->getBytes()[0] != $before ? 'server' : 'local', "\n";
$c->del('ed:a', 'ed:b', 'ed:p', 'ed:m');
?>
--EXPECT--
EXPIRE of no key (0)               false              heard []
SET                                true               heard ["ed:a"]
EXPIRE (1)                         true               heard ["ed:a"]
SETNX on a key (0)                 false              heard []
SET of the other key               true               heard ["ed:b"]
RENAMENX onto a key (0)            false              heard []
RENAME                             true               heard ["ed:a","ed:b"]
pipeline: EXPIRE of no key, SET    [false,true]       heard ["ed:a"]
MULTI: SETNX on a key, DEL         [false,1]          heard ["ed:a"]
string(3) "new"
bool(true)
[false,false,false,false,"v"] 0
[false,false] 0
"v" server
"v" server
