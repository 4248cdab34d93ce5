--TEST--
A session save handler written in PHP on a kelvo client writes the session at request end, after every module's own request end: its link still works then
--EXTENSIONS--
kelvo
session
pcntl
--FILE--
<?php
require_once __DIR__ . '/../inc/servers.inc';

final class KelvoSessions implements SessionHandlerInterface
{
    public function __construct(private Kelvo\Kelvo $c) {}
    public function open(string $path, string $name): bool { return true; }
    public function close(): bool { return true; }
    public function read(string $id): string|false { return (string) $this->c->get("sess:$id"); }
    public function write(string $id, string $data): bool { return $this->c->set("sess:$id", $data); }
    public function destroy(string $id): bool { return (bool) $this->c->del("sess:$id"); }
    public function gc(int $max): int|false { return 0; }
}

$port = (int) kelvo_test_env('KELVO_TEST_PORT');
$admin = new Kelvo\Kelvo('127.0.0.1', $port);
$id = 'kelvo' . getmypid();
$admin->del("sess:$id");
$child = pcntl_fork();
if ($child === 0) {
    // Written by the session module at request end, not at shutdown-function time.
    session_set_save_handler(new KelvoSessions(new Kelvo\Kelvo('127.0.0.1', $port)), false);
    session_id($id);
    session_start();
    $_SESSION['n'] = 42;
    exit(0);
}
pcntl_waitpid($child, $status);
var_dump(pcntl_wexitstatus($status), $admin->get("sess:$id"));
$admin->del("sess:$id");
?>
--EXPECT--
int(0)
string(7) "n|i:42;"
