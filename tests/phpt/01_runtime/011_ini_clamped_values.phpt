--TEST--
Directives read at start-up show the value in effect after their clamps
--EXTENSIONS--
kelvo
--INI--
kelvo.maxmemory=1M
kelvo.databases=4294967296
kelvo.maxmemory_pct=10
kelvo.eviction_policy=LRU
kelvo.eviction_sample_keys=1000
kelvo.initial_readers=9999999999
kelvo.invalidation_poll_freq=-7
kelvo.prefault=Touch
kelvo.reserve_maps=500
kelvo.default_pconnect=off
kelvo.cap_endpoint_dbs=0
kelvo.max_endpoint_dbs=0
kelvo.max_db_writers=5000
kelvo.key_leases=100000
--FILE--
<?php
foreach (['maxmemory', 'databases', 'maxmemory_pct', 'eviction_policy', 'eviction_sample_keys',
          'initial_readers', 'invalidation_poll_freq', 'prefault', 'reserve_maps', 'default_pconnect',
          'max_endpoint_dbs', 'max_db_writers', 'key_leases'] as $name) {
    $d = ini_get_all('kelvo')["kelvo.$name"];
    printf("%s=%s/%s\n", $name, $d['global_value'], $d['local_value']);
}
?>
--EXPECT--
maxmemory=16777216/16777216
databases=4294967295/4294967295
maxmemory_pct=50/50
eviction_policy=lru/lru
eviction_sample_keys=256/256
initial_readers=65536/65536
invalidation_poll_freq=0/0
prefault=touch/touch
reserve_maps=128/128
default_pconnect=0/0
max_endpoint_dbs=1/1
max_db_writers=1024/1024
key_leases=65535/65535
