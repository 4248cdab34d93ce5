--TEST--
Session compression: lzf, lz4 and zstd store fewer bytes and read back; bytes the compressor does not recognise are read as stored; unknown names warn
--EXTENSIONS--
kelvo
session
--FILE--
<?php
require __DIR__ . '/session.inc';
$port = (int) kelvo_test_env('KELVO_TEST_PORT');
$peer = kelvo_session_peer($port, 9);
$payload = str_repeat('all work and no play makes jack a dull boy. ', 200);

foreach (['none', '', 'LZF', 'lz4', 'zstd'] as $type) {
    kelvo_session_settings(kelvo_session_url($port, 'database=9'),
                           ['kelvo.session.compression' => $type, 'kelvo.session.compression_level' => 3]);
    $id = 'cmp-' . ($type ?: 'empty');
    kelvo_session_open($id);
    $_SESSION['text'] = $payload;
    session_write_close();
    $stored = strlen($peer->get($id));
    kelvo_session_open($id);
    $back = $_SESSION['text'] ?? null;
    session_write_close();
    printf("%-5s stored %s, read back %s\n", $type === '' ? "''" : $type,
           $stored < strlen($payload) ? 'smaller' : 'as is', $back === $payload ? 'intact' : 'damaged');
}

echo "a session written uncompressed reads back under each compressor:\n";
foreach (['lzf', 'lz4', 'zstd'] as $type) {
    $peer->set("plain-$type", 'n|i:41;');
    kelvo_session_settings(kelvo_session_url($port, 'database=9'), ['kelvo.session.compression' => $type]);
    kelvo_session_open("plain-$type");
    echo $type, ': ', json_encode($_SESSION), "\n";
    session_write_close();
}

echo "an unknown compressor:\n";
kelvo_session_settings(kelvo_session_url($port, 'database=9'), ['kelvo.session.compression' => 'brotli']);
kelvo_session_open('cmp-unknown');
$_SESSION['n'] = 1;
session_write_close();
var_dump($peer->get('cmp-unknown'));
$peer->del('cmp-none', 'cmp-empty', 'cmp-LZF', 'cmp-lz4', 'cmp-zstd', 'cmp-unknown', 'plain-lzf', 'plain-lz4', 'plain-zstd');
?>
--EXPECTF--
none  stored as is, read back intact
''    stored as is, read back intact
LZF   stored smaller, read back intact
lz4   stored smaller, read back intact
zstd  stored smaller, read back intact
a session written uncompressed reads back under each compressor:
lzf: {"n":41}
lz4: {"n":41}
zstd: {"n":41}
an unknown compressor:

Warning: session_write_close(): Unknown session compression type 'brotli', using 'none' in %s on line %d
string(6) "n|i:1;"
