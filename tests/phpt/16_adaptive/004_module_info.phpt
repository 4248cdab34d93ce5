--TEST--
The module information table: every row in order with the values in effect (start-up clamps, a run-time policy or poll change, adaptive-cache defaults as new clients take them)
--EXTENSIONS--
kelvo
--INI--
kelvo.maxmemory=20M
kelvo.maxmemory_pct=150
kelvo.eviction_sample_keys=7
kelvo.max_db_writers=5000
kelvo.max_endpoint_dbs=0
kelvo.key_leases=40
kelvo.adaptive_cache.min_ratio=-1
kelvo.adaptive_cache.min_events=-2147483648
kelvo.session.compression=lz4
--FILE--
<?php
ini_set('kelvo.eviction_policy', 'LRU');
ini_set('kelvo.invalidation_poll_freq', '250');
var_dump(ini_set('kelvo.maxmemory_pct', '50'));
ob_start();
(new ReflectionExtension('kelvo'))->info();
$info = ob_get_clean();
echo substr($info, 0, strpos($info, "\nDirective"));
?>
--EXPECTF--
bool(false)

kelvo

Kelvo Support => enabled
Kelvo Version => 0.40.0
Available cache => %d
Available serializers => php, json%S
Available compression => lzf%S
Allocator => kelvo-mmap
Build OS => Linux
Architecture => %s
OpenSSL version => OpenSSL %s
kelvo.enabled => true
kelvo.maxmemory => 20971520
kelvo.maxmemory_pct => 100
kelvo.eviction_policy => lru
kelvo.eviction_sample_keys => 128
kelvo.key_leases => 1024
kelvo.initial_readers => 128
kelvo.prefault => off
kelvo.reserve_maps => 8
kelvo.invalidation_poll_freq => 250
kelvo.default_pconnect => 1
kelvo.max_endpoint_dbs => 1
kelvo.max_db_writers => 1024
kelvo.cap_endpoint_dbs => On
kelvo.locks.allocator => adaptive-mutex
kelvo.locks.cache => adaptive-mutex
kelvo.adaptive_cache.min_ratio => 5.000000
kelvo.adaptive_cache.min_events => -2147483647
kelvo.loglevel => none
kelvo.logfile => %s
kelvo.session.compression => lz4
kelvo.session.compression_level => 0
kelvo.session.locking_enabled => 0
kelvo.session.lock_expire => 0
kelvo.session.lock_wait_time => 0
