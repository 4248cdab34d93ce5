--TEST--
A worker killed while it holds a table lock: the next process to take the lock finds it dead, and from then on every worker's table calls fail with a warning that says why, without hanging or crashing
--EXTENSIONS--
kelvo
pcntl
posix
--INI--
kelvo.maxmemory=256M
--FILE--
<?php
use Kelvo\Table;

// The victim empties a large namespace, which holds the namespace lock for a while, and is killed meanwhile.
$broken = false;
for ($attempt = 0; $attempt < 8 && !$broken; $attempt++) {
    [$parentEnd, $childEnd] = stream_socket_pair(STREAM_PF_UNIX, STREAM_SOCK_STREAM, STREAM_IPPROTO_IP);
    $pid = pcntl_fork();
    if ($pid === 0) {
        for ($k = 0; $k < 400000; $k++) {
            Table::set("k$k", $k, null, 'victim');
        }
        fwrite($childEnd, "clearing\n");
        Table::clear('victim');
        exit(0);
    }
    fgets($parentEnd);
    usleep(1500 + 1000 * $attempt);
    posix_kill($pid, SIGKILL);
    pcntl_waitpid($pid, $status);
    // A write takes the lock: it either finds the dead holder or the clear was over.
    $broken = @Table::set('probe', 1, null, 'victim') === false;
}
var_dump($broken);

echo "every method fails cleanly now:\n";
var_dump(Table::get('probe', 'victim'), Table::set('k', 1), Table::keys('*'), Table::clearAll(), Table::stats(),
         Table::fullscan());
echo "and in another worker:\n";
$pid = pcntl_fork();
if ($pid === 0) {
    var_dump(Table::set('k', 1), Table::namespaces());
    exit(0);
}
pcntl_waitpid($pid, $status);
var_dump(pcntl_wexitstatus($status));
?>
--EXPECTF--
bool(true)
every method fails cleanly now:

Warning: Kelvo\Table::get(): Kelvo's shared memory is disabled: a process died holding one of its locks in %s on line %d

Warning: Kelvo\Table::set(): Kelvo's shared memory is disabled: a process died holding one of its locks in %s on line %d

Warning: Kelvo\Table::keys(): Kelvo's shared memory is disabled: a process died holding one of its locks in %s on line %d

Warning: Kelvo\Table::clearAll(): Kelvo's shared memory is disabled: a process died holding one of its locks in %s on line %d

Warning: Kelvo\Table::stats(): Kelvo's shared memory is disabled: a process died holding one of its locks in %s on line %d

Warning: Kelvo\Table::fullscan(): Kelvo's shared memory is disabled: a process died holding one of its locks in %s on line %d
bool(false)
bool(false)
bool(false)
bool(false)
bool(false)
bool(false)
and in another worker:

Warning: Kelvo\Table::set(): Kelvo's shared memory is disabled: a process died holding one of its locks in %s on line %d

Warning: Kelvo\Table::namespaces(): Kelvo's shared memory is disabled: a process died holding one of its locks in %s on line %d
bool(false)
bool(false)
int(0)
