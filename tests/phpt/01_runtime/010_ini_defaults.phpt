--TEST--
Every kelvo.* directive is registered with its default and access level
--EXTENSIONS--
kelvo
--FILE--
<?php
$access = [0 => 'startup', INI_SYSTEM => 'system', INI_ALL => 'all'];
foreach (ini_get_all('kelvo') as $name => $d) {
    printf("%s=%s (%s)\n", $name, $d['local_value'], $access[$d['access']]);
}
?>
--EXPECT--
kelvo.adaptive_cache.min_events=10 (all)
kelvo.adaptive_cache.min_ratio=5 (all)
kelvo.cap_endpoint_dbs=1 (system)
kelvo.cluster.auth= (all)
kelvo.cluster.read_timeout= (all)
kelvo.cluster.seeds= (all)
kelvo.cluster.shard_health_wait_time=0 (all)
kelvo.cluster.slot_cache_expiry= (all)
kelvo.cluster.timeout= (all)
kelvo.databases=16 (system)
kelvo.default_pconnect=1 (system)
kelvo.eviction_policy=noeviction (all)
kelvo.eviction_sample_keys=128 (system)
kelvo.initial_readers=128 (system)
kelvo.invalidation_poll_freq=5 (all)
kelvo.key_leases=32 (system)
kelvo.locks.allocator=adaptive-mutex (system)
kelvo.locks.cache=adaptive-mutex (system)
kelvo.logfile= (startup)
kelvo.loglevel=none (startup)
kelvo.max_db_writers=4 (system)
kelvo.max_endpoint_dbs=1 (system)
kelvo.maxmemory=16777216 (startup)
kelvo.maxmemory_pct=95 (system)
kelvo.prefault=off (system)
kelvo.reserve_maps=8 (system)
kelvo.session.compression=none (all)
kelvo.session.compression_level=0 (all)
kelvo.session.lock_expire=0 (all)
kelvo.session.lock_retries=0 (all)
kelvo.session.lock_wait_time=0 (all)
kelvo.session.locking_enabled=0 (all)
