--TEST--
Key leases: with 16 slots a seventeenth link attaches nothing and only reads; when a holder leaves, it attaches at its next command and turns tracking on
--EXTENSIONS--
kelvo
--INI--
kelvo.key_leases=16
kelvo.max_db_writers=16
--FILE--
<?php
require __DIR__ . '/../inc/servers.inc';
use Kelvo\Kelvo;

$port = (int) kelvo_test_env('KELVO_TEST_PORT');
var_dump(ini_get('kelvo.key_leases'), ini_get('kelvo.max_db_writers'));

/* A link with a cached database reports the time since its last reply; one without reports 0. */
function writes(Kelvo $c): bool
{
    $c->ping();
    usleep(20000);
    return $c->idleTime() >= 20;
}

function tracking(Kelvo $c): string
{
    return $c->rawCommand('CLIENT', 'TRACKINGINFO')[1][0];
}

$holders = [];
for ($i = 0; $i < 16; $i++) {
    $holders[] = new Kelvo('127.0.0.1', $port);
}
var_dump(count(array_filter(array_map('writes', $holders))));
$late = new Kelvo('127.0.0.1', $port);
var_dump(writes($late), tracking($late), $late->isTracked('any'));

$holders[7]->close();
var_dump(writes($late), tracking($late));
?>
--EXPECT--
string(2) "16"
string(2) "16"
int(16)
bool(false)
string(3) "off"
bool(false)
bool(true)
string(2) "on"
