--TEST--
Lock release by server kind: DELIFEQ on valkey 9, DELEX IFEQ on redis 8.4, the script elsewhere; an error or refusal of the native form falls back to the script, NOSCRIPT to EVAL
--EXTENSIONS--
kelvo
session
--INI--
kelvo.maxmemory=0
kelvo.default_pconnect=0
--FILE--
<?php
require __DIR__ . '/session.inc';
require __DIR__ . '/../08_dispatch/fake.inc';
const SCRIPT = 'if redis.call("get",KEYS[1]) == ARGV[1] then return redis.call("del",KEYS[1]) else return 0 end';

function hello(string $server, string $version): string
{
    return sprintf('reply %%2\r\n$6\r\nserver\r\n$%d\r\n%s\r\n$7\r\nversion\r\n$%d\r\n%s\r\n', strlen($server), $server,
                   strlen($version), $version);
}

/* One locked session that reads nothing and is abandoned: the release meets `$replies`. */
function release(string $server, string $version, array $replies): void
{
    $fake = new FakeServer(array_merge([hello($server, $version), 'reply +OK\r\n', 'reply +OK\r\n',
                                        'reply +OK\r\n', 'reply $-1\r\n'], $replies), false);
    kelvo_session_settings("tcp://127.0.0.1:{$fake->port}",
                           ['kelvo.session.locking_enabled' => 1, 'kelvo.session.lock_expire' => 9]);
    kelvo_session_open('sess-kind');
    $outcome = kelvo_session_try(fn() => session_abort());
    /* What went out after the handshake, with the lock value (process id and start) folded. */
    $sent = substr($fake->received(), strpos($fake->received(), '*6|$3|SET|'));
    $sent = preg_replace('/\$\d+\|' . getmypid() . '\d{16}\|/', 'VALUE|', $sent);
    $sent = str_replace([sha1(SCRIPT), SCRIPT], ['DIGEST', 'SCRIPT'], $sent);
    $sent = preg_replace('/\$\d+\|(DIGEST|SCRIPT)\|/', '$1|', $sent);
    printf("%s %s: %s\n  %s\n", $server, $version, $outcome, $sent);
}

release('valkey', '9.0.0', ['reply :1\r\n']);
release('Valkey', '9.1.2', ['reply :0\r\n']);
release('redis', '8.4.0', ['reply :1\r\n']);
release('redis', '8.2.0', ['reply :1\r\n']);
release('valkey', '8.1.4', ['reply -NOSCRIPT No matching script.\r\n', 'reply :1\r\n']);
release('valkey', '9.0.0', ['reply -NOPERM User may not run DELIFEQ\r\n', 'reply :1\r\n']);
release('redis', '8.4.0', ['reply -ERR unknown command DELEX\r\n', 'reply -NOSCRIPT No matching script.\r\n', 'reply :1\r\n']);
release('redis', '7.0.15', ['reply :0\r\n']);
release('redis', '7.0.15', ['reply -ERR busy\r\n']);
echo "the digest is the script's:\n";
var_dump(sha1(SCRIPT), strlen(SCRIPT));
?>
--EXPECT--
valkey 9.0.0: true
  *6|$3|SET|$14|sess-kind_LOCK|VALUE|$2|NX|$2|EX|$1|9|*2|$3|GET|$9|sess-kind|*3|$7|DELIFEQ|$14|sess-kind_LOCK|VALUE|
Valkey 9.1.2: Kelvo\Exception: Failed to release lock
  *6|$3|SET|$14|sess-kind_LOCK|VALUE|$2|NX|$2|EX|$1|9|*2|$3|GET|$9|sess-kind|*3|$7|DELIFEQ|$14|sess-kind_LOCK|VALUE|
redis 8.4.0: true
  *6|$3|SET|$14|sess-kind_LOCK|VALUE|$2|NX|$2|EX|$1|9|*2|$3|GET|$9|sess-kind|*4|$5|DELEX|$14|sess-kind_LOCK|$4|IFEQ|VALUE|
redis 8.2.0: true
  *6|$3|SET|$14|sess-kind_LOCK|VALUE|$2|NX|$2|EX|$1|9|*2|$3|GET|$9|sess-kind|*5|$7|EVALSHA|DIGEST|$1|1|$14|sess-kind_LOCK|VALUE|
valkey 8.1.4: true
  *6|$3|SET|$14|sess-kind_LOCK|VALUE|$2|NX|$2|EX|$1|9|*2|$3|GET|$9|sess-kind|*5|$7|EVALSHA|DIGEST|$1|1|$14|sess-kind_LOCK|VALUE|*5|$4|EVAL|SCRIPT|$1|1|$14|sess-kind_LOCK|VALUE|
valkey 9.0.0: true
  *6|$3|SET|$14|sess-kind_LOCK|VALUE|$2|NX|$2|EX|$1|9|*2|$3|GET|$9|sess-kind|*3|$7|DELIFEQ|$14|sess-kind_LOCK|VALUE|*5|$7|EVALSHA|DIGEST|$1|1|$14|sess-kind_LOCK|VALUE|
redis 8.4.0: true
  *6|$3|SET|$14|sess-kind_LOCK|VALUE|$2|NX|$2|EX|$1|9|*2|$3|GET|$9|sess-kind|*4|$5|DELEX|$14|sess-kind_LOCK|$4|IFEQ|VALUE|*5|$7|EVALSHA|DIGEST|$1|1|$14|sess-kind_LOCK|VALUE|*5|$4|EVAL|SCRIPT|$1|1|$14|sess-kind_LOCK|VALUE|
redis 7.0.15: Kelvo\Exception: Failed to release lock
  *6|$3|SET|$14|sess-kind_LOCK|VALUE|$2|NX|$2|EX|$1|9|*2|$3|GET|$9|sess-kind|*5|$7|EVALSHA|DIGEST|$1|1|$14|sess-kind_LOCK|VALUE|
redis 7.0.15: Kelvo\Exception: Failed to release lock
  *6|$3|SET|$14|sess-kind_LOCK|VALUE|$2|NX|$2|EX|$1|9|*2|$3|GET|$9|sess-kind|*5|$7|EVALSHA|DIGEST|$1|1|$14|sess-kind_LOCK|VALUE|
the digest is the script's:
string(40) "b70c2384248f88e6b75b9f89241a180f856ad852"
int(95)
