--TEST--
Weighted shards: the first four bytes of the id, little-endian and zero-padded, modulo the total weight pick the shard in save-path order
--EXTENSIONS--
kelvo
session
--FILE--
<?php
require __DIR__ . '/session.inc';
$port = (int) kelvo_test_env('KELVO_TEST_PORT');
$port2 = (int) kelvo_test_env('KELVO_TEST_PORT2');
$peers = [kelvo_session_peer($port, 9), kelvo_session_peer($port2, 9)];

/* The shard the rule gives for `$id` with these weights. */
function expected_shard(string $id, array $weights): int
{
    $point = unpack('V', str_pad(substr($id, 0, 4), 4, "\0"))[1] % array_sum($weights);
    foreach ($weights as $i => $w) {
        if ($point < $w) {
            return $i;
        }
        $point -= $w;
    }
}

function shard_of(string $id, array $peers): string
{
    $on = [];
    foreach ($peers as $i => $peer) {
        if ($peer->exists($id)) {
            $on[] = $i;
            $peer->del($id);
        }
    }
    return implode(',', $on);
}

$layouts = [
    'weights 1, 1' => [1, 1],
    'weights 3, 1' => [3, 1],
    'weights 1, 5' => [1, 5],
];
foreach ($layouts as $name => $weights) {
    $path = kelvo_session_url($port, "database=9&weight={$weights[0]}") . ', ' .
            kelvo_session_url($port2, "database=9&weight={$weights[1]}");
    kelvo_session_settings($path);
    $ids = ['a', 'ab', 'abc', 'b0', 'abcd', 'bbcd', 'cbcd', 'dbcd', 'zzzz-long-id', 'AAAA', ',,,,', '----'];
    for ($i = 0; $i < 200; $i++) {
        $ids[] = bin2hex(random_bytes(8));
    }
    $wrong = [];
    $counts = [0, 0];
    foreach ($ids as $id) {
        kelvo_session_open($id);
        $_SESSION['w'] = 1;
        session_write_close();
        $got = shard_of($id, $peers);
        $want = (string) expected_shard($id, $weights);
        if ($got !== $want) {
            $wrong[] = "$id on [$got], expected $want";
        }
        $counts[(int) $got]++;
    }
    printf("%s: %s; both used: %s\n", $name, $wrong ? implode('; ', $wrong) : 'every id where the rule puts it',
           var_export($counts[0] > 0 && $counts[1] > 0, true));
}

echo "ids with an even first byte go to the first of two equal shards, odd ones to the second:\n";
kelvo_session_settings(kelvo_session_url($port, 'database=9') . ',' . kelvo_session_url($port2, 'database=9'));
foreach (['b000', 'c000', 'x', 'y'] as $id) {
    kelvo_session_open($id);
    $_SESSION['w'] = 1;
    session_write_close();
    echo $id, ' => ', shard_of($id, $peers), "\n";
}
?>
--EXPECT--
weights 1, 1: every id where the rule puts it; both used: true
weights 3, 1: every id where the rule puts it; both used: true
weights 1, 5: every id where the rule puts it; both used: true
ids with an even first byte go to the first of two equal shards, odd ones to the second:
b000 => 0
c000 => 1
x => 0
y => 1
