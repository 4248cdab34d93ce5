--TEST--
A pooled link whose name or flags a client() call changed is closed at release, never handed to the next object; an untouched one is taken again
--FILE--
<?php
require __DIR__ . '/../inc/servers.inc';
$host = kelvo_test_env('KELVO_TEST_HOST');
$port = (int) kelvo_test_env('KELVO_TEST_PORT');

$cases = [
    'nothing changed' => fn($k) => $k->ping(),
    'setname' => fn($k) => $k->client('setname', 'left-behind'),
    'no-evict on' => fn($k) => $k->client('no-evict', 'on'),
    'no-touch on' => fn($k) => $k->client('NO-TOUCH', 'on'),
    'setinfo lib-name' => fn($k) => $k->client('setinfo', 'lib-name', 'other'),
    'getname (reads only)' => fn($k) => $k->client('getname'),
];
foreach ($cases as $name => $call) {
    $first = new Kelvo\Kelvo($host, $port);
    $id = $first->client('id');
    $call($first);
    unset($first);
    $next = new Kelvo\Kelvo($host, $port);
    $flags = array_values(array_filter($next->client('list'), fn($row) => $row['id'] === $next->client('id')))[0]['flags'];
    printf("%-22s next object: %s, name %s, flags %s\n", $name . ':', $next->client('id') === $id ? 'same link' : 'new link',
           str_replace((string) getmypid(), 'PID', json_encode($next->client('getname'))), $flags);
    unset($next);
}
--EXPECT--
nothing changed:       next object: same link, name "kelvo@default:PID", flags t
setname:               next object: new link, name "kelvo@default:PID", flags t
no-evict on:           next object: new link, name "kelvo@default:PID", flags t
no-touch on:           next object: new link, name "kelvo@default:PID", flags t
setinfo lib-name:      next object: new link, name "kelvo@default:PID", flags t
getname (reads only):  next object: same link, name "kelvo@default:PID", flags t
