--TEST--
Delivery: with polls off, a reply read on the link that stored an entry counts as a drain (pushes met on the way are applied), and an entry whose link has read nothing for longer than the bound is not served
--EXTENSIONS--
kelvo
--INI--
kelvo.invalidation_poll_freq=4000000000
--FILE--
<?php
require __DIR__ . '/../inc/own_server.inc';
use Kelvo\Kelvo;

$own = new OwnServer();
$other = new Kelvo('127.0.0.1', $own->port);
$other->setOption(Kelvo::OPT_USE_CACHE, false);
$c = new Kelvo('127.0.0.1', $own->port);
$c->set('k', 'one');

/* Where a read was answered (bytes sent or not) and what it answered. */
function read(Kelvo $c): string
{
    $before = $c->getBytes()[0];
    $value = $c->get('k');
    return ($c->getBytes()[0] === $before ? 'local' : 'server') . " $value";
}

$cases = [
    'stored' => fn() => null,
    'idle past the bound' => fn() => usleep(150000),
    'a reply read after the pause' => function () use ($c) { usleep(150000); $c->ping(); },
    'another client writes, a reply brings its push' => function () use ($c, $other) {
        $other->set('k', 'two');
        $c->ping();
    },
];
foreach ($cases as $name => $step) {
    read($c); // asked once so that the value is cached
    $step();
    printf("%-48s %s\n", $name, read($c));
}
?>
--EXPECT--
stored                                           local one
idle past the bound                              server one
a reply read after the pause                     local one
another client writes, a reply brings its push   server two
