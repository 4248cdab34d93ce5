--TEST--
Values through a server: packed bytes stored as they are, other producers' bytes read back, damaged ones returned as bytes
--EXTENSIONS--
kelvo
--FILE--
<?php
require __DIR__ . '/../inc/servers.inc';
use Kelvo\Kelvo;

function zstd_tool(string $args, string $input): string
{
    $file = tempnam(sys_get_temp_dir(), 'kelvo');
    file_put_contents($file, $input);
    $out = shell_exec("zstd -q -c $args " . escapeshellarg($file));
    unlink($file);
    return $out;
}

$k = new Kelvo(kelvo_test_env('KELVO_TEST_HOST'), (int) kelvo_test_env('KELVO_TEST_PORT'));
$k->setOption(Kelvo::OPT_SERIALIZER, Kelvo::SERIALIZER_PHP);
$k->setOption(Kelvo::OPT_COMPRESSION, Kelvo::COMPRESSION_ZSTD);
$v = ['list' => range(1, 50), 'text' => str_repeat('kelvo ', 100)];

// Ours, read by the zstd tool and the engine's unserialize.
$k->rawCommand('SET', 'pack:ours', $k->_pack($v));
$stored = $k->rawCommand('GET', 'pack:ours');
var_dump(unserialize(zstd_tool('-d', $stored)) === $v, $k->get('pack:ours') === $v);

// The tool's frame of serialize(), read through the client.
$k->rawCommand('SET', 'pack:theirs', zstd_tool('-19', serialize($v)));
var_dump($k->get('pack:theirs') === $v);

// Uncompressed serialize() bytes, as a client without compression writes them.
$k->rawCommand('SET', 'pack:plain', serialize($v));
var_dump($k->get('pack:plain') === $v);

// An lz4 value with a damaged check byte, and a 9-byte one whose length claims 1 GiB.
function crc8(string $bytes): int
{
    $crc = 0xFF;
    foreach (str_split($bytes) as $c) {
        $crc ^= ord($c);
        for ($bit = 0; $bit < 8; $bit++) {
            $crc = ($crc & 0x80 ? ($crc << 1) ^ 0x31 : $crc << 1) & 0xFF;
        }
    }
    return $crc;
}
$k->setOption(Kelvo::OPT_COMPRESSION, Kelvo::COMPRESSION_LZ4);
$damaged = $k->_pack($v);
$damaged[0] = chr(ord($damaged[0]) ^ 1);
$length = pack('V', 1 << 30);
$crafted = chr(crc8($length)) . $length . 'abcd';
foreach (['damaged' => $damaged, 'crafted' => $crafted] as $name => $bytes) {
    $k->rawCommand('SET', "pack:$name", $bytes);
    var_dump($k->get("pack:$name") === $bytes);
}
$k->rawCommand('DEL', 'pack:ours', 'pack:theirs', 'pack:plain', 'pack:damaged', 'pack:crafted');
?>
--EXPECT--
bool(true)
bool(true)
bool(true)
bool(true)
bool(true)
bool(true)
