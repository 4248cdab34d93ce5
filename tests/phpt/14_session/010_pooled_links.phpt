--TEST--
Pooled shard links: links wait in the pool by database, so the next session in the same database takes the link again without a new connection, handshake or SELECT; whatever database, batch or watched keys the link's last user left, its next user works on the database it asked for; a link logged in with one password never serves another
--EXTENSIONS--
kelvo
session
--FILE--
<?php
require __DIR__ . '/session.inc';
require __DIR__ . '/../inc/own_server.inc';
/* A server of its own: its connection and command counts are this test's alone. */
$server = new OwnServer();
$port = $server->port;
$host = kelvo_test_env('KELVO_TEST_HOST');
$stats = kelvo_session_peer($port);

function server_counts(Kelvo\Kelvo $stats): array
{
    $commands = $stats->info('commandstats');
    $calls = fn(string $name) => preg_match('/calls=(\d+)/', $commands["cmdstat_$name"] ?? '', $m) ? (int) $m[1] : 0;
    return ['connections' => (int) $stats->info('stats')['total_connections_received'],
            'hello' => $calls('hello'), 'select' => $calls('select')];
}

function since(array $before, Kelvo\Kelvo $stats): string
{
    $now = server_counts($stats);
    return implode(', ', array_map(fn($k) => "$k " . ($now[$k] - $before[$k]), array_keys($now)));
}

function session_cycle(int $port, string $query, string $id): void
{
    kelvo_session_settings(kelvo_session_url($port, $query));
    kelvo_session_open($id);
    $_SESSION['n'] = ($_SESSION['n'] ?? 0) + 1;
    session_write_close();
}

/* An application client on the session links' identity (no cache, no tracking). */
function app_client(int $port, int $db): Kelvo\Kelvo
{
    return new Kelvo\Kelvo(kelvo_test_env('KELVO_TEST_HOST'), $port, 0, 0, ['use-cache' => false], $db);
}

/* The databases that hold the key (asked on the counting client's own link, so that the session
 * links' identity keeps a single pooled link). */
function found_in(Kelvo\Kelvo $stats, string $key): string
{
    $where = [];
    foreach ([0, 3, 7, 11] as $db) {
        $stats->select($db);
        if ($stats->exists($key)) {
            $where[] = $db;
            $stats->del($key);
        }
    }
    $stats->select(0);
    return $where ? 'database ' . implode(', ', $where) : 'nowhere';
}

echo "five session cycles in database 11:\n";
$before = server_counts($stats);
for ($i = 0; $i < 5; $i++) {
    session_cycle($port, 'database=11', 'pooled');
}
echo since($before, $stats), "\n";
var_dump(kelvo_session_peer($port, 11)->get('pooled'));

echo "what the link's last user left, and where its next user's write lands:\n";
$cases = [
    'a session in database 11; next, a client on database 0' => [
        fn() => session_cycle($port, 'database=11', 'left'),
        fn() => app_client($port, 0)->set('next', 1)],
    'a client moved to database 3 by select(); next, a session in database 11' => [
        function () use ($port) {
            $c = app_client($port, 0);
            $c->select(3);
            $c->set('left', 1);
        },
        fn() => session_cycle($port, 'database=11', 'next')],
    'a client on database 7 with SELECT 0 queued in an unsent pipeline; next, a client on database 7' => [
        function () use ($port) {
            $c = app_client($port, 7);
            $c->set('left', 1);
            $c->pipeline()->select(0)->set('queued', 1);
        },
        fn() => app_client($port, 7)->set('next', 1)],
    'a client on database 0 with SELECT 3 inside a MULTI never executed; next, a session in database 0' => [
        function () use ($port) {
            $c = app_client($port, 0);
            $c->set('left', 1);
            $c->multi()->select(3)->set('queued', 1);
        },
        fn() => session_cycle($port, '', 'next')],
    'a client watching a key changed since; next, a client\'s transaction' => [
        function () use ($port, $stats) {
            $c = app_client($port, 0);
            $c->watch('left');
            $stats->set('left', 1);
        },
        fn() => app_client($port, 0)->multi()->set('next', 1)->exec()],
];
foreach ($cases as $label => [$leave, $next]) {
    $leave();
    $before = server_counts($stats);
    $next();
    $counts = since($before, $stats);
    echo "$label: ", found_in($stats, 'next'), "; queued: ", found_in($stats, 'queued'), "\n";
    echo "  $counts\n";
    found_in($stats, 'left');
}

echo "a link logged in with one password never serves another:\n";
$acl = (int) kelvo_test_env('KELVO_TEST_ACL_PORT');
$aclPath = fn(string $pass) => kelvo_session_url($acl, "auth[]=kelvo&auth[]=$pass&database=7");
kelvo_session_settings($aclPath('secret'));
var_dump(kelvo_session_open('pooled-acl'));
$_SESSION['secret'] = 'kept';
session_write_close();
kelvo_session_settings($aclPath('wrong'));
var_dump(kelvo_session_open('pooled-acl'), $_SESSION);
kelvo_session_settings($aclPath('secret'));
var_dump(kelvo_session_open('pooled-acl'), $_SESSION);
session_destroy();
?>
--EXPECTF--
five session cycles in database 11:
connections 1, hello 1, select 1
string(6) "n|i:5;"
what the link's last user left, and where its next user's write lands:
a session in database 11; next, a client on database 0: database 0; queued: nowhere
  connections 1, hello 1, select 0
a client moved to database 3 by select(); next, a session in database 11: database 11; queued: nowhere
  connections 0, hello 0, select 0
a client on database 7 with SELECT 0 queued in an unsent pipeline; next, a client on database 7: database 7; queued: nowhere
  connections 0, hello 0, select 0
a client on database 0 with SELECT 3 inside a MULTI never executed; next, a session in database 0: database 0; queued: nowhere
  connections 0, hello 0, select 0
a client watching a key changed since; next, a client's transaction: database 0; queued: nowhere
  connections 0, hello 0, select 0
a link logged in with one password never serves another:
bool(true)

Warning: session_start(): Failed to attach - shard: 0, uri: 'tcp://kelvo@127.0.0.1:%d?cache=0&tracking=0' in %s on line %d

Warning: session_start(): Failed to read session data: kelvo (path: tcp://127.0.0.1:%d?auth[]=kelvo&auth[]=wrong&database=7) in %s on line %d
bool(false)
array(0) {
}
bool(true)
array(1) {
  ["secret"]=>
  string(4) "kept"
}
