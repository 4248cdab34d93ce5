--TEST--
ini_set refuses directives read only at start-up; the two run-time ones validate their value
--EXTENSIONS--
kelvo
--FILE--
<?php
foreach (['kelvo.maxmemory' => '64M', 'kelvo.databases' => '3', 'kelvo.prefault' => 'touch',
          'kelvo.default_pconnect' => '0', 'kelvo.loglevel' => 'debug', 'kelvo.logfile' => '/tmp/x',
          'kelvo.locks.cache' => 'spinlock', 'kelvo.key_leases' => '64'] as $name => $value) {
    $before = ini_get($name);
    printf("%s: %s, %s\n", $name, var_export(ini_set($name, $value), true),
           ini_get($name) === $before ? 'unchanged' : 'CHANGED');
}
var_dump(ini_set('kelvo.eviction_policy', 'Random'), ini_get('kelvo.eviction_policy'));
var_dump(ini_set('kelvo.eviction_policy', 'oldest'), ini_get('kelvo.eviction_policy'));
var_dump(ini_set('kelvo.invalidation_poll_freq', '250'), ini_get('kelvo.invalidation_poll_freq'));
var_dump(ini_set('kelvo.invalidation_poll_freq', '-1'), ini_get('kelvo.invalidation_poll_freq'));
var_dump(ini_set('kelvo.session.compression', 'lz4'), ini_get('kelvo.session.compression'));
?>
--EXPECT--
kelvo.maxmemory: false, unchanged
kelvo.databases: false, unchanged
kelvo.prefault: false, unchanged
kelvo.default_pconnect: false, unchanged
kelvo.loglevel: false, unchanged
kelvo.logfile: false, unchanged
kelvo.locks.cache: false, unchanged
kelvo.key_leases: false, unchanged
string(10) "noeviction"
string(6) "Random"
bool(false)
string(6) "Random"
string(1) "5"
string(3) "250"
bool(false)
string(3) "250"
string(4) "none"
string(3) "lz4"
