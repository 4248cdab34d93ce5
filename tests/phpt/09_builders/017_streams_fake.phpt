--TEST--
Stream forms the harness's server lacks, against the scripted fake server (XDELEX, XNACK, XACKDEL): deletion modes in any case sent in upper case, none when null; an unknown mode, like an empty id list, is refused with nothing sent; XNACK's options
--EXTENSIONS--
kelvo
--INI--
; the scripted server answers the handshake and commands only, not the cache's upkeep
kelvo.maxmemory=0
--FILE--
<?php
require __DIR__ . '/requests.inc';
use Kelvo\Kelvo;

$fake = new FakeServer([
    'reply *2\r\n:1\r\n:-1\r\n', // XDELEX KEEPREF
    'reply *1\r\n:1\r\n',        // XDELEX
    'reply :1\r\n',              // XNACK
    'reply :1\r\n',              // XNACK, RETRYCOUNT dropped
    'reply *1\r\n:1\r\n',        // XACKDEL ACKED
    'reply *2\r\n:1\r\n:2\r\n',  // XACKDEL
]);
$k = kelvo_fake_client($fake, [Kelvo::OPT_PREFIX => 'p:']);

function refused(Kelvo $k, string $method, array $args): void
{
    $before = $k->getBytes()[0];
    $r = @$k->$method(...$args);
    echo json_encode($r), ' ', error_get_last()['message'], ' (', $k->getBytes()[0] - $before, " bytes)\n";
}

echo json_encode($k->xdelex('s', ['1-1', '1-2'], 'keepref')), "\n";
echo json_encode($k->xdelex('s', ['1-1'], null)), "\n";
refused($k, 'xdelex', ['s', ['1-1'], 'keep']);
refused($k, 'xdelex', ['s', ['1-1'], 'DELREFS']);
refused($k, 'xdelex', ['s', []]);
echo json_encode($k->xnack('s', 'g', 'SILENT', ['1-1', 2], ['RETRYCOUNT' => 3, 'force'])), "\n";
echo json_encode(@$k->xnack('s', 'g', 'FAIL', ['1-1'], ['RETRYCOUNT' => '3'])), ' ', error_get_last()['message'], "\n";
refused($k, 'xnack', ['s', 'g', 'FAIL', [], ['FORCE']]);
echo json_encode($k->xackdel('s', 'g', ['1-1'], 'Acked')), "\n";
echo json_encode($k->xackdel('s', 'g', ['1-1', '1-2'])), "\n";
refused($k, 'xackdel', ['s', 'g', ['1-1'], 'nope']);
refused($k, 'xackdel', ['s', 'g', [], 'ACKED']);

foreach (kelvo_requests($fake->received()) as $line) {
    echo $line, "\n";
}
?>
--EXPECT--
[1,-1]
[1]
false Kelvo\Kelvo::xdelex(): Invalid mode 'keep' (0 bytes)
false Kelvo\Kelvo::xdelex(): Invalid mode 'DELREFS' (0 bytes)
false Kelvo\Kelvo::xdelex(): Must pass at least one ID to delete (0 bytes)
1
1 Kelvo\Kelvo::xnack(): RETRYCOUNT must be a non-negative integer
false Kelvo\Kelvo::xnack(): Must pass at least one ID (0 bytes)
[1]
[1,2]
false Kelvo\Kelvo::xackdel(): Invalid mode 'nope' (0 bytes)
false Kelvo\Kelvo::xackdel(): Must pass at least one ID to acknowledge and delete (0 bytes)
XDELEX p:s KEEPREF IDS 2 1-1 1-2
XDELEX p:s IDS 1 1-1
XNACK p:s g SILENT IDS 2 1-1 2 RETRYCOUNT 3 FORCE
XNACK p:s g FAIL IDS 1 1-1
XACKDEL p:s g ACKED IDS 1 1-1
XACKDEL p:s g IDS 2 1-1 1-2
