/* This is a generated file, edit the .stub.php file instead.
 * Stub hash: 68ab4546721d1b374e5d50a265c92187f5cbb6d4 */

ZEND_BEGIN_ARG_INFO_EX(arginfo_class_Kelvo_Cluster___construct, 0, 0, 1)
	ZEND_ARG_TYPE_INFO(0, name, IS_STRING, 1)
	ZEND_ARG_TYPE_INFO_WITH_DEFAULT_VALUE(0, seeds, IS_ARRAY, 1, "null")
	ZEND_ARG_TYPE_MASK(0, connect_timeout, MAY_BE_LONG|MAY_BE_DOUBLE, "0")
	ZEND_ARG_TYPE_MASK(0, command_timeout, MAY_BE_LONG|MAY_BE_DOUBLE, "0")
	ZEND_ARG_TYPE_INFO_WITH_DEFAULT_VALUE(0, persistent, _IS_BOOL, 0, "false")
	ZEND_ARG_TYPE_INFO_WITH_DEFAULT_VALUE(0, auth, IS_MIXED, 0, "null")
	ZEND_ARG_TYPE_INFO_WITH_DEFAULT_VALUE(0, context, IS_ARRAY, 1, "null")
ZEND_END_ARG_INFO()

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_class_Kelvo_Cluster__compress, 0, 1, IS_STRING, 0)
	ZEND_ARG_TYPE_INFO(0, value, IS_STRING, 0)
ZEND_END_ARG_INFO()

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_class_Kelvo_Cluster_idleTime, 0, 0, IS_LONG, 0)
ZEND_END_ARG_INFO()

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_MASK_EX(arginfo_class_Kelvo_Cluster__getKeys, 0, 0, MAY_BE_FALSE|MAY_BE_ARRAY)
ZEND_END_ARG_INFO()

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_class_Kelvo_Cluster__masters, 0, 0, IS_ARRAY, 0)
ZEND_END_ARG_INFO()

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_class_Kelvo_Cluster__pack, 0, 1, IS_STRING, 0)
	ZEND_ARG_TYPE_INFO(0, value, IS_MIXED, 0)
ZEND_END_ARG_INFO()

#define arginfo_class_Kelvo_Cluster__digest arginfo_class_Kelvo_Cluster__pack

#define arginfo_class_Kelvo_Cluster__prefix arginfo_class_Kelvo_Cluster__pack

#define arginfo_class_Kelvo_Cluster__serialize arginfo_class_Kelvo_Cluster__pack

#define arginfo_class_Kelvo_Cluster__uncompress arginfo_class_Kelvo_Cluster__compress

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_class_Kelvo_Cluster__unpack, 0, 1, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, value, IS_STRING, 0)
ZEND_END_ARG_INFO()

#define arginfo_class_Kelvo_Cluster__unserialize arginfo_class_Kelvo_Cluster__unpack

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_class_Kelvo_Cluster_acl, 0, 2, IS_MIXED, 0)
	ZEND_ARG_TYPE_MASK(0, key_or_address, MAY_BE_STRING|MAY_BE_ARRAY, NULL)
	ZEND_ARG_TYPE_INFO(0, operation, IS_STRING, 0)
	ZEND_ARG_VARIADIC_TYPE_INFO(0, args, IS_STRING, 0)
ZEND_END_ARG_INFO()

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_class_Kelvo_Cluster_addAllowPatterns, 0, 0, IS_LONG, 0)
	ZEND_ARG_VARIADIC_TYPE_INFO(0, pattern, IS_STRING, 0)
ZEND_END_ARG_INFO()

#define arginfo_class_Kelvo_Cluster_addIgnorePatterns arginfo_class_Kelvo_Cluster_addAllowPatterns

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_class_Kelvo_Cluster_append, 0, 2, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, key, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, value, IS_MIXED, 0)
ZEND_END_ARG_INFO()

ZEND_BEGIN_ARG_WITH_RETURN_OBJ_TYPE_MASK_EX(arginfo_class_Kelvo_Cluster_bgrewriteaof, 0, 1, Kelvo\\Cluster, MAY_BE_BOOL)
	ZEND_ARG_TYPE_MASK(0, key_or_address, MAY_BE_STRING|MAY_BE_ARRAY, NULL)
ZEND_END_ARG_INFO()

ZEND_BEGIN_ARG_WITH_RETURN_OBJ_TYPE_MASK_EX(arginfo_class_Kelvo_Cluster_wait, 0, 3, Kelvo\\Cluster, MAY_BE_FALSE|MAY_BE_LONG)
	ZEND_ARG_TYPE_MASK(0, key_or_address, MAY_BE_STRING|MAY_BE_ARRAY, NULL)
	ZEND_ARG_TYPE_INFO(0, replicas, IS_LONG, 0)
	ZEND_ARG_INFO(0, timeout)
ZEND_END_ARG_INFO()

ZEND_BEGIN_ARG_WITH_RETURN_OBJ_TYPE_MASK_EX(arginfo_class_Kelvo_Cluster_waitaof, 0, 4, Kelvo\\Cluster, MAY_BE_FALSE|MAY_BE_ARRAY)
	ZEND_ARG_TYPE_MASK(0, key_or_address, MAY_BE_STRING|MAY_BE_ARRAY, NULL)
	ZEND_ARG_TYPE_INFO(0, numlocal, IS_LONG, 0)
	ZEND_ARG_TYPE_INFO(0, numremote, IS_LONG, 0)
	ZEND_ARG_TYPE_INFO(0, timeout, IS_LONG, 0)
ZEND_END_ARG_INFO()

ZEND_BEGIN_ARG_WITH_RETURN_OBJ_TYPE_MASK_EX(arginfo_class_Kelvo_Cluster_bgsave, 0, 1, Kelvo\\Cluster, MAY_BE_BOOL)
	ZEND_ARG_TYPE_MASK(0, key_or_address, MAY_BE_STRING|MAY_BE_ARRAY, NULL)
	ZEND_ARG_TYPE_INFO_WITH_DEFAULT_VALUE(0, schedule, _IS_BOOL, 0, "false")
ZEND_END_ARG_INFO()

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_class_Kelvo_Cluster_bitcount, 0, 1, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, key, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO_WITH_DEFAULT_VALUE(0, start, IS_LONG, 0, "0")
	ZEND_ARG_TYPE_INFO_WITH_DEFAULT_VALUE(0, end, IS_LONG, 0, "-1")
	ZEND_ARG_TYPE_INFO_WITH_DEFAULT_VALUE(0, by_bit, _IS_BOOL, 0, "false")
ZEND_END_ARG_INFO()

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_class_Kelvo_Cluster_bitop, 0, 3, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, operation, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, deskey, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, srckey, IS_MIXED, 0)
	ZEND_ARG_VARIADIC_TYPE_INFO(0, other_keys, IS_MIXED, 0)
ZEND_END_ARG_INFO()

ZEND_BEGIN_ARG_WITH_RETURN_OBJ_TYPE_MASK_EX(arginfo_class_Kelvo_Cluster_bitpos, 0, 2, Kelvo\\Cluster, MAY_BE_FALSE|MAY_BE_LONG)
	ZEND_ARG_TYPE_INFO(0, key, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, bit, IS_LONG, 0)
	ZEND_ARG_TYPE_INFO_WITH_DEFAULT_VALUE(0, start, IS_LONG, 1, "null")
	ZEND_ARG_TYPE_INFO_WITH_DEFAULT_VALUE(0, end, IS_LONG, 1, "null")
	ZEND_ARG_TYPE_INFO_WITH_DEFAULT_VALUE(0, by_bit, _IS_BOOL, 0, "false")
ZEND_END_ARG_INFO()

ZEND_BEGIN_ARG_WITH_RETURN_OBJ_TYPE_MASK_EX(arginfo_class_Kelvo_Cluster_blmove, 0, 5, Kelvo\\Cluster, MAY_BE_NULL|MAY_BE_FALSE|MAY_BE_STRING)
	ZEND_ARG_TYPE_INFO(0, srckey, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, dstkey, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, srcpos, IS_STRING, 0)
	ZEND_ARG_TYPE_INFO(0, dstpos, IS_STRING, 0)
	ZEND_ARG_TYPE_INFO(0, timeout, IS_DOUBLE, 0)
ZEND_END_ARG_INFO()

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_class_Kelvo_Cluster_blmovem, 0, 5, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, src, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, dst, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, from, IS_STRING, 0)
	ZEND_ARG_TYPE_INFO(0, to, IS_STRING, 0)
	ZEND_ARG_TYPE_INFO(0, timeout, IS_DOUBLE, 0)
	ZEND_ARG_TYPE_INFO_WITH_DEFAULT_VALUE(0, options, IS_ARRAY, 1, "null")
ZEND_END_ARG_INFO()

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_class_Kelvo_Cluster_blmpop, 0, 3, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, timeout, IS_DOUBLE, 0)
	ZEND_ARG_TYPE_INFO(0, keys, IS_ARRAY, 0)
	ZEND_ARG_TYPE_INFO(0, from, IS_STRING, 0)
	ZEND_ARG_TYPE_INFO_WITH_DEFAULT_VALUE(0, count, IS_LONG, 0, "1")
ZEND_END_ARG_INFO()

ZEND_BEGIN_ARG_WITH_RETURN_OBJ_TYPE_MASK_EX(arginfo_class_Kelvo_Cluster_blpop, 0, 2, Kelvo\\Cluster, MAY_BE_NULL|MAY_BE_FALSE|MAY_BE_ARRAY)
	ZEND_ARG_TYPE_MASK(0, key, MAY_BE_STRING|MAY_BE_ARRAY, NULL)
	ZEND_ARG_TYPE_MASK(0, timeout_or_key, MAY_BE_DOUBLE|MAY_BE_STRING, NULL)
	ZEND_ARG_VARIADIC_TYPE_INFO(0, extra_args, IS_MIXED, 0)
ZEND_END_ARG_INFO()

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_class_Kelvo_Cluster_brpop, 0, 2, IS_MIXED, 0)
	ZEND_ARG_TYPE_MASK(0, key, MAY_BE_STRING|MAY_BE_ARRAY, NULL)
	ZEND_ARG_TYPE_MASK(0, timeout_or_key, MAY_BE_DOUBLE|MAY_BE_STRING, NULL)
	ZEND_ARG_VARIADIC_TYPE_INFO(0, extra_args, IS_MIXED, 0)
ZEND_END_ARG_INFO()

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_class_Kelvo_Cluster_brpoplpush, 0, 3, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, srckey, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, dstkey, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, timeout, IS_DOUBLE, 0)
ZEND_END_ARG_INFO()

#define arginfo_class_Kelvo_Cluster_bzmpop arginfo_class_Kelvo_Cluster_blmpop

#define arginfo_class_Kelvo_Cluster_bzpopmax arginfo_class_Kelvo_Cluster_brpop

#define arginfo_class_Kelvo_Cluster_bzpopmin arginfo_class_Kelvo_Cluster_brpop

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_class_Kelvo_Cluster_clearLastError, 0, 0, _IS_BOOL, 0)
ZEND_END_ARG_INFO()

#define arginfo_class_Kelvo_Cluster_clearTransferredBytes arginfo_class_Kelvo_Cluster_clearLastError

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_class_Kelvo_Cluster_client, 0, 2, IS_MIXED, 0)
	ZEND_ARG_TYPE_MASK(0, key_or_address, MAY_BE_STRING|MAY_BE_ARRAY, NULL)
	ZEND_ARG_TYPE_INFO(0, operation, IS_STRING, 0)
	ZEND_ARG_VARIADIC_TYPE_INFO(0, args, IS_MIXED, 0)
ZEND_END_ARG_INFO()

#define arginfo_class_Kelvo_Cluster_close arginfo_class_Kelvo_Cluster_clearLastError

#define arginfo_class_Kelvo_Cluster_cluster arginfo_class_Kelvo_Cluster_client

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_MASK_EX(arginfo_class_Kelvo_Cluster_clusterscan, 0, 1, MAY_BE_FALSE|MAY_BE_ARRAY)
	ZEND_ARG_TYPE_INFO(1, iterator, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO_WITH_DEFAULT_VALUE(0, match, IS_MIXED, 0, "null")
	ZEND_ARG_TYPE_INFO_WITH_DEFAULT_VALUE(0, count, IS_LONG, 0, "0")
	ZEND_ARG_TYPE_INFO_WITH_DEFAULT_VALUE(0, type, IS_STRING, 1, "null")
	ZEND_ARG_TYPE_INFO_WITH_DEFAULT_VALUE(0, slot, IS_LONG, 1, "null")
ZEND_END_ARG_INFO()

#define arginfo_class_Kelvo_Cluster_config arginfo_class_Kelvo_Cluster_client

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_class_Kelvo_Cluster_command, 0, 0, IS_MIXED, 0)
	ZEND_ARG_VARIADIC_TYPE_INFO(0, args, IS_MIXED, 0)
ZEND_END_ARG_INFO()

ZEND_BEGIN_ARG_WITH_RETURN_OBJ_TYPE_MASK_EX(arginfo_class_Kelvo_Cluster_copy, 0, 2, Kelvo\\Cluster, MAY_BE_BOOL)
	ZEND_ARG_TYPE_INFO(0, srckey, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, dstkey, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO_WITH_DEFAULT_VALUE(0, options, IS_ARRAY, 1, "null")
ZEND_END_ARG_INFO()

ZEND_BEGIN_ARG_WITH_RETURN_OBJ_TYPE_MASK_EX(arginfo_class_Kelvo_Cluster_dbsize, 0, 1, Kelvo\\Cluster, MAY_BE_FALSE|MAY_BE_LONG)
	ZEND_ARG_TYPE_MASK(0, key_or_address, MAY_BE_STRING|MAY_BE_ARRAY, NULL)
ZEND_END_ARG_INFO()

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_class_Kelvo_Cluster_decr, 0, 1, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, key, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO_WITH_DEFAULT_VALUE(0, by, IS_LONG, 0, "1")
ZEND_END_ARG_INFO()

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_class_Kelvo_Cluster_decrby, 0, 2, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, key, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, value, IS_LONG, 0)
ZEND_END_ARG_INFO()

ZEND_BEGIN_ARG_WITH_RETURN_OBJ_TYPE_MASK_EX(arginfo_class_Kelvo_Cluster_del, 0, 0, Kelvo\\Cluster, MAY_BE_BOOL|MAY_BE_LONG)
	ZEND_ARG_VARIADIC_TYPE_INFO(0, keys, IS_MIXED, 0)
ZEND_END_ARG_INFO()

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_class_Kelvo_Cluster_delex, 0, 1, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, key, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO_WITH_DEFAULT_VALUE(0, options, IS_ARRAY, 1, "null")
ZEND_END_ARG_INFO()

#define arginfo_class_Kelvo_Cluster_delifeq arginfo_class_Kelvo_Cluster_append

#define arginfo_class_Kelvo_Cluster_discard arginfo_class_Kelvo_Cluster_clearLastError

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_MASK_EX(arginfo_class_Kelvo_Cluster_dispatchEvents, 0, 0, MAY_BE_FALSE|MAY_BE_LONG)
ZEND_END_ARG_INFO()

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_class_Kelvo_Cluster_digest, 0, 1, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, key, IS_MIXED, 0)
ZEND_END_ARG_INFO()

ZEND_BEGIN_ARG_WITH_RETURN_OBJ_TYPE_MASK_EX(arginfo_class_Kelvo_Cluster_dump, 0, 1, Kelvo\\Cluster, MAY_BE_FALSE|MAY_BE_STRING)
	ZEND_ARG_TYPE_INFO(0, key, IS_MIXED, 0)
ZEND_END_ARG_INFO()

ZEND_BEGIN_ARG_WITH_RETURN_OBJ_TYPE_MASK_EX(arginfo_class_Kelvo_Cluster_echo, 0, 2, Kelvo\\Cluster, MAY_BE_FALSE|MAY_BE_STRING)
	ZEND_ARG_TYPE_MASK(0, key_or_address, MAY_BE_STRING|MAY_BE_ARRAY, NULL)
	ZEND_ARG_TYPE_INFO(0, message, IS_STRING, 0)
ZEND_END_ARG_INFO()

#define arginfo_class_Kelvo_Cluster_endpointId arginfo_class_Kelvo_Cluster__getKeys

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_class_Kelvo_Cluster_eval, 0, 1, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, script, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO_WITH_DEFAULT_VALUE(0, args, IS_ARRAY, 0, "[]")
	ZEND_ARG_TYPE_INFO_WITH_DEFAULT_VALUE(0, num_keys, IS_LONG, 0, "0")
ZEND_END_ARG_INFO()

#define arginfo_class_Kelvo_Cluster_eval_ro arginfo_class_Kelvo_Cluster_eval

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_class_Kelvo_Cluster_evalsha, 0, 1, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, sha1, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO_WITH_DEFAULT_VALUE(0, args, IS_ARRAY, 0, "[]")
	ZEND_ARG_TYPE_INFO_WITH_DEFAULT_VALUE(0, num_keys, IS_LONG, 0, "0")
ZEND_END_ARG_INFO()

#define arginfo_class_Kelvo_Cluster_evalsha_ro arginfo_class_Kelvo_Cluster_evalsha

#define arginfo_class_Kelvo_Cluster_exec arginfo_class_Kelvo_Cluster__getKeys

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_class_Kelvo_Cluster_exists, 0, 1, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, key, IS_MIXED, 0)
	ZEND_ARG_VARIADIC_TYPE_INFO(0, other_keys, IS_MIXED, 0)
ZEND_END_ARG_INFO()

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_class_Kelvo_Cluster_expire, 0, 2, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, key, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, timeout, IS_LONG, 0)
	ZEND_ARG_TYPE_INFO_WITH_DEFAULT_VALUE(0, mode, IS_STRING, 1, "null")
ZEND_END_ARG_INFO()

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_class_Kelvo_Cluster_expireat, 0, 2, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, key, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, timestamp, IS_LONG, 0)
ZEND_END_ARG_INFO()

#define arginfo_class_Kelvo_Cluster_expiretime arginfo_class_Kelvo_Cluster_digest

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_class_Kelvo_Cluster_flushMemory, 0, 0, _IS_BOOL, 0)
	ZEND_ARG_TYPE_INFO_WITH_DEFAULT_VALUE(0, endpointId, IS_STRING, 1, "null")
	ZEND_ARG_TYPE_INFO_WITH_DEFAULT_VALUE(0, db, IS_LONG, 1, "null")
ZEND_END_ARG_INFO()

ZEND_BEGIN_ARG_WITH_RETURN_OBJ_TYPE_MASK_EX(arginfo_class_Kelvo_Cluster_flushall, 0, 1, Kelvo\\Cluster, MAY_BE_BOOL)
	ZEND_ARG_TYPE_MASK(0, key_or_address, MAY_BE_STRING|MAY_BE_ARRAY, NULL)
	ZEND_ARG_TYPE_INFO_WITH_DEFAULT_VALUE(0, sync, _IS_BOOL, 1, "null")
ZEND_END_ARG_INFO()

#define arginfo_class_Kelvo_Cluster_flushdb arginfo_class_Kelvo_Cluster_flushall

#define arginfo_class_Kelvo_Cluster_flushSlotCache arginfo_class_Kelvo_Cluster_clearLastError

ZEND_BEGIN_ARG_WITH_RETURN_OBJ_TYPE_MASK_EX(arginfo_class_Kelvo_Cluster_geoadd, 0, 4, Kelvo\\Cluster, MAY_BE_FALSE|MAY_BE_LONG)
	ZEND_ARG_TYPE_INFO(0, key, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, lng, IS_DOUBLE, 0)
	ZEND_ARG_TYPE_INFO(0, lat, IS_DOUBLE, 0)
	ZEND_ARG_TYPE_INFO(0, member, IS_STRING, 0)
	ZEND_ARG_VARIADIC_TYPE_INFO(0, other_triples_and_options, IS_MIXED, 0)
ZEND_END_ARG_INFO()

ZEND_BEGIN_ARG_WITH_RETURN_OBJ_TYPE_MASK_EX(arginfo_class_Kelvo_Cluster_geodist, 0, 3, Kelvo\\Cluster, MAY_BE_FALSE|MAY_BE_DOUBLE)
	ZEND_ARG_TYPE_INFO(0, key, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, src, IS_STRING, 0)
	ZEND_ARG_TYPE_INFO(0, dst, IS_STRING, 0)
	ZEND_ARG_TYPE_INFO_WITH_DEFAULT_VALUE(0, unit, IS_STRING, 1, "null")
ZEND_END_ARG_INFO()

ZEND_BEGIN_ARG_WITH_RETURN_OBJ_TYPE_MASK_EX(arginfo_class_Kelvo_Cluster_geohash, 0, 2, Kelvo\\Cluster, MAY_BE_FALSE|MAY_BE_ARRAY)
	ZEND_ARG_TYPE_INFO(0, key, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, member, IS_STRING, 0)
	ZEND_ARG_VARIADIC_TYPE_INFO(0, other_members, IS_STRING, 0)
ZEND_END_ARG_INFO()

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_class_Kelvo_Cluster_geopos, 0, 2, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, key, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, member, IS_MIXED, 0)
	ZEND_ARG_VARIADIC_TYPE_INFO(0, other_members, IS_MIXED, 0)
ZEND_END_ARG_INFO()

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_class_Kelvo_Cluster_georadius, 0, 5, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, key, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, lng, IS_DOUBLE, 0)
	ZEND_ARG_TYPE_INFO(0, lat, IS_DOUBLE, 0)
	ZEND_ARG_TYPE_INFO(0, radius, IS_DOUBLE, 0)
	ZEND_ARG_TYPE_INFO(0, unit, IS_STRING, 0)
	ZEND_ARG_TYPE_INFO_WITH_DEFAULT_VALUE(0, options, IS_ARRAY, 0, "[]")
ZEND_END_ARG_INFO()

#define arginfo_class_Kelvo_Cluster_georadius_ro arginfo_class_Kelvo_Cluster_georadius

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_class_Kelvo_Cluster_georadiusbymember, 0, 4, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, key, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, member, IS_STRING, 0)
	ZEND_ARG_TYPE_INFO(0, radius, IS_DOUBLE, 0)
	ZEND_ARG_TYPE_INFO(0, unit, IS_STRING, 0)
	ZEND_ARG_TYPE_INFO_WITH_DEFAULT_VALUE(0, options, IS_ARRAY, 0, "[]")
ZEND_END_ARG_INFO()

#define arginfo_class_Kelvo_Cluster_georadiusbymember_ro arginfo_class_Kelvo_Cluster_georadiusbymember

ZEND_BEGIN_ARG_WITH_RETURN_OBJ_TYPE_MASK_EX(arginfo_class_Kelvo_Cluster_geosearch, 0, 4, Kelvo\\Cluster, MAY_BE_FALSE|MAY_BE_ARRAY)
	ZEND_ARG_TYPE_INFO(0, key, IS_MIXED, 0)
	ZEND_ARG_TYPE_MASK(0, position, MAY_BE_STRING|MAY_BE_ARRAY, NULL)
	ZEND_ARG_TYPE_MASK(0, shape, MAY_BE_LONG|MAY_BE_DOUBLE|MAY_BE_ARRAY, NULL)
	ZEND_ARG_TYPE_INFO(0, unit, IS_STRING, 0)
	ZEND_ARG_TYPE_INFO_WITH_DEFAULT_VALUE(0, options, IS_ARRAY, 0, "[]")
ZEND_END_ARG_INFO()

ZEND_BEGIN_ARG_WITH_RETURN_OBJ_TYPE_MASK_EX(arginfo_class_Kelvo_Cluster_geosearchstore, 0, 5, Kelvo\\Cluster, MAY_BE_FALSE|MAY_BE_LONG)
	ZEND_ARG_TYPE_INFO(0, dstkey, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, srckey, IS_MIXED, 0)
	ZEND_ARG_TYPE_MASK(0, position, MAY_BE_STRING|MAY_BE_ARRAY, NULL)
	ZEND_ARG_TYPE_MASK(0, shape, MAY_BE_LONG|MAY_BE_DOUBLE|MAY_BE_ARRAY, NULL)
	ZEND_ARG_TYPE_INFO(0, unit, IS_STRING, 0)
	ZEND_ARG_TYPE_INFO_WITH_DEFAULT_VALUE(0, options, IS_ARRAY, 0, "[]")
ZEND_END_ARG_INFO()

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_class_Kelvo_Cluster_gcra, 0, 4, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, key, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, max_burst, IS_LONG, 0)
	ZEND_ARG_TYPE_INFO(0, requests_per_period, IS_LONG, 0)
	ZEND_ARG_TYPE_INFO(0, period, IS_LONG, 0)
	ZEND_ARG_TYPE_INFO_WITH_DEFAULT_VALUE(0, tokens, IS_LONG, 0, "0")
ZEND_END_ARG_INFO()

#define arginfo_class_Kelvo_Cluster_get arginfo_class_Kelvo_Cluster_digest

ZEND_BEGIN_ARG_WITH_RETURN_OBJ_TYPE_MASK_EX(arginfo_class_Kelvo_Cluster_getWithMeta, 0, 1, Kelvo\\Cluster, MAY_BE_FALSE|MAY_BE_ARRAY)
	ZEND_ARG_TYPE_INFO(0, key, IS_MIXED, 0)
ZEND_END_ARG_INFO()

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_class_Kelvo_Cluster_getbit, 0, 2, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, key, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, idx, IS_LONG, 0)
ZEND_END_ARG_INFO()

#define arginfo_class_Kelvo_Cluster_getex arginfo_class_Kelvo_Cluster_delex

#define arginfo_class_Kelvo_Cluster_getdel arginfo_class_Kelvo_Cluster_digest

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_class_Kelvo_Cluster_getDbNum, 0, 0, IS_MIXED, 0)
ZEND_END_ARG_INFO()

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_class_Kelvo_Cluster_getLastError, 0, 0, IS_STRING, 1)
ZEND_END_ARG_INFO()

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_class_Kelvo_Cluster_getMode, 0, 0, IS_LONG, 0)
	ZEND_ARG_TYPE_INFO_WITH_DEFAULT_VALUE(0, masked, _IS_BOOL, 0, "false")
ZEND_END_ARG_INFO()

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_class_Kelvo_Cluster_getOption, 0, 1, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, option, IS_LONG, 0)
ZEND_END_ARG_INFO()

#define arginfo_class_Kelvo_Cluster_getTransferredBytes arginfo_class_Kelvo_Cluster__getKeys

ZEND_BEGIN_ARG_WITH_RETURN_OBJ_TYPE_MASK_EX(arginfo_class_Kelvo_Cluster_getrange, 0, 3, Kelvo\\Cluster, MAY_BE_FALSE|MAY_BE_STRING)
	ZEND_ARG_TYPE_INFO(0, key, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, start, IS_LONG, 0)
	ZEND_ARG_TYPE_INFO(0, end, IS_LONG, 0)
ZEND_END_ARG_INFO()

#define arginfo_class_Kelvo_Cluster_getset arginfo_class_Kelvo_Cluster_append

ZEND_BEGIN_ARG_WITH_RETURN_OBJ_TYPE_MASK_EX(arginfo_class_Kelvo_Cluster_hdel, 0, 2, Kelvo\\Cluster, MAY_BE_FALSE|MAY_BE_LONG)
	ZEND_ARG_TYPE_INFO(0, key, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, member, IS_MIXED, 0)
	ZEND_ARG_VARIADIC_TYPE_INFO(0, members, IS_MIXED, 0)
ZEND_END_ARG_INFO()

ZEND_BEGIN_ARG_WITH_RETURN_OBJ_TYPE_MASK_EX(arginfo_class_Kelvo_Cluster_hexists, 0, 2, Kelvo\\Cluster, MAY_BE_BOOL)
	ZEND_ARG_TYPE_INFO(0, key, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, member, IS_MIXED, 0)
ZEND_END_ARG_INFO()

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_class_Kelvo_Cluster_hexpire, 0, 3, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, key, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, ttl, IS_LONG, 0)
	ZEND_ARG_TYPE_INFO(0, fields, IS_ARRAY, 0)
	ZEND_ARG_TYPE_INFO_WITH_DEFAULT_VALUE(0, mode, IS_STRING, 1, "null")
ZEND_END_ARG_INFO()

#define arginfo_class_Kelvo_Cluster_hpexpire arginfo_class_Kelvo_Cluster_hexpire

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_class_Kelvo_Cluster_hexpireat, 0, 3, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, key, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, time, IS_LONG, 0)
	ZEND_ARG_TYPE_INFO(0, fields, IS_ARRAY, 0)
	ZEND_ARG_TYPE_INFO_WITH_DEFAULT_VALUE(0, mode, IS_STRING, 1, "null")
ZEND_END_ARG_INFO()

#define arginfo_class_Kelvo_Cluster_hpexpireat arginfo_class_Kelvo_Cluster_hexpireat

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_class_Kelvo_Cluster_httl, 0, 2, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, key, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, fields, IS_ARRAY, 0)
ZEND_END_ARG_INFO()

#define arginfo_class_Kelvo_Cluster_hpttl arginfo_class_Kelvo_Cluster_httl

#define arginfo_class_Kelvo_Cluster_hexpiretime arginfo_class_Kelvo_Cluster_httl

#define arginfo_class_Kelvo_Cluster_hpexpiretime arginfo_class_Kelvo_Cluster_httl

#define arginfo_class_Kelvo_Cluster_hpersist arginfo_class_Kelvo_Cluster_httl

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_class_Kelvo_Cluster_hget, 0, 2, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, key, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, member, IS_MIXED, 0)
ZEND_END_ARG_INFO()

#define arginfo_class_Kelvo_Cluster_hgetall arginfo_class_Kelvo_Cluster_getWithMeta

ZEND_BEGIN_ARG_WITH_RETURN_OBJ_TYPE_MASK_EX(arginfo_class_Kelvo_Cluster_hgetWithMeta, 0, 2, Kelvo\\Cluster, MAY_BE_FALSE|MAY_BE_ARRAY)
	ZEND_ARG_TYPE_INFO(0, hash, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, member, IS_MIXED, 0)
ZEND_END_ARG_INFO()

ZEND_BEGIN_ARG_WITH_RETURN_OBJ_TYPE_MASK_EX(arginfo_class_Kelvo_Cluster_hincrby, 0, 3, Kelvo\\Cluster, MAY_BE_FALSE|MAY_BE_LONG)
	ZEND_ARG_TYPE_INFO(0, key, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, member, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, value, IS_LONG, 0)
ZEND_END_ARG_INFO()

ZEND_BEGIN_ARG_WITH_RETURN_OBJ_TYPE_MASK_EX(arginfo_class_Kelvo_Cluster_hincrbyfloat, 0, 3, Kelvo\\Cluster, MAY_BE_BOOL|MAY_BE_DOUBLE)
	ZEND_ARG_TYPE_INFO(0, key, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, member, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, value, IS_DOUBLE, 0)
ZEND_END_ARG_INFO()

#define arginfo_class_Kelvo_Cluster_hkeys arginfo_class_Kelvo_Cluster_getWithMeta

#define arginfo_class_Kelvo_Cluster_hlen arginfo_class_Kelvo_Cluster_digest

ZEND_BEGIN_ARG_WITH_RETURN_OBJ_TYPE_MASK_EX(arginfo_class_Kelvo_Cluster_hmget, 0, 2, Kelvo\\Cluster, MAY_BE_FALSE|MAY_BE_ARRAY)
	ZEND_ARG_TYPE_INFO(0, key, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, members, IS_ARRAY, 0)
ZEND_END_ARG_INFO()

#define arginfo_class_Kelvo_Cluster_hgetdel arginfo_class_Kelvo_Cluster_httl

ZEND_BEGIN_ARG_WITH_RETURN_OBJ_TYPE_MASK_EX(arginfo_class_Kelvo_Cluster_hmset, 0, 2, Kelvo\\Cluster, MAY_BE_BOOL)
	ZEND_ARG_TYPE_INFO(0, key, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, members, IS_ARRAY, 0)
ZEND_END_ARG_INFO()

ZEND_BEGIN_ARG_WITH_RETURN_OBJ_TYPE_MASK_EX(arginfo_class_Kelvo_Cluster_hrandfield, 0, 1, Kelvo\\Cluster, MAY_BE_FALSE|MAY_BE_STRING|MAY_BE_ARRAY)
	ZEND_ARG_TYPE_INFO(0, key, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO_WITH_DEFAULT_VALUE(0, options, IS_ARRAY, 1, "null")
ZEND_END_ARG_INFO()

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_MASK_EX(arginfo_class_Kelvo_Cluster_hscan, 0, 2, MAY_BE_FALSE|MAY_BE_ARRAY)
	ZEND_ARG_TYPE_INFO(0, key, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(1, iterator, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO_WITH_DEFAULT_VALUE(0, match, IS_MIXED, 0, "null")
	ZEND_ARG_TYPE_INFO_WITH_DEFAULT_VALUE(0, count, IS_LONG, 0, "0")
ZEND_END_ARG_INFO()

ZEND_BEGIN_ARG_WITH_RETURN_OBJ_TYPE_MASK_EX(arginfo_class_Kelvo_Cluster_hset, 0, 1, Kelvo\\Cluster, MAY_BE_FALSE|MAY_BE_LONG)
	ZEND_ARG_TYPE_INFO(0, key, IS_MIXED, 0)
	ZEND_ARG_VARIADIC_TYPE_INFO(0, keys_and_vals, IS_MIXED, 0)
ZEND_END_ARG_INFO()

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_class_Kelvo_Cluster_hsetex, 0, 2, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, key, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, fields, IS_ARRAY, 0)
	ZEND_ARG_TYPE_INFO_WITH_DEFAULT_VALUE(0, expiry, IS_MIXED, 0, "null")
ZEND_END_ARG_INFO()

ZEND_BEGIN_ARG_WITH_RETURN_OBJ_TYPE_MASK_EX(arginfo_class_Kelvo_Cluster_hsetnx, 0, 3, Kelvo\\Cluster, MAY_BE_BOOL)
	ZEND_ARG_TYPE_INFO(0, key, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, member, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, value, IS_MIXED, 0)
ZEND_END_ARG_INFO()

ZEND_BEGIN_ARG_WITH_RETURN_OBJ_TYPE_MASK_EX(arginfo_class_Kelvo_Cluster_hstrlen, 0, 2, Kelvo\\Cluster, MAY_BE_FALSE|MAY_BE_LONG)
	ZEND_ARG_TYPE_INFO(0, key, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, member, IS_MIXED, 0)
ZEND_END_ARG_INFO()

#define arginfo_class_Kelvo_Cluster_hgetex arginfo_class_Kelvo_Cluster_hsetex

#define arginfo_class_Kelvo_Cluster_hvals arginfo_class_Kelvo_Cluster_getWithMeta

#define arginfo_class_Kelvo_Cluster_incr arginfo_class_Kelvo_Cluster_decr

#define arginfo_class_Kelvo_Cluster_incrby arginfo_class_Kelvo_Cluster_decrby

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_class_Kelvo_Cluster_incrbyfloat, 0, 2, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, key, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, value, IS_DOUBLE, 0)
ZEND_END_ARG_INFO()

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_class_Kelvo_Cluster_increx, 0, 1, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, key, IS_MIXED, 0)
	ZEND_ARG_TYPE_MASK(0, increment, MAY_BE_LONG|MAY_BE_DOUBLE|MAY_BE_STRING|MAY_BE_NULL, "null")
	ZEND_ARG_TYPE_INFO_WITH_DEFAULT_VALUE(0, options, IS_ARRAY, 1, "null")
ZEND_END_ARG_INFO()

ZEND_BEGIN_ARG_WITH_RETURN_OBJ_TYPE_MASK_EX(arginfo_class_Kelvo_Cluster_info, 0, 1, Kelvo\\Cluster, MAY_BE_FALSE|MAY_BE_ARRAY)
	ZEND_ARG_TYPE_MASK(0, key_or_address, MAY_BE_STRING|MAY_BE_ARRAY, NULL)
	ZEND_ARG_VARIADIC_TYPE_INFO(0, sections, IS_STRING, 0)
ZEND_END_ARG_INFO()

#define arginfo_class_Kelvo_Cluster_invalidateSlotCaches arginfo_class_Kelvo_Cluster_clearLastError

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_class_Kelvo_Cluster_keys, 0, 1, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, pattern, IS_MIXED, 0)
ZEND_END_ARG_INFO()

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_MASK_EX(arginfo_class_Kelvo_Cluster_lastMemoryFlush, 0, 0, MAY_BE_FALSE|MAY_BE_DOUBLE)
	ZEND_ARG_TYPE_INFO_WITH_DEFAULT_VALUE(0, endpointId, IS_STRING, 1, "null")
	ZEND_ARG_TYPE_INFO_WITH_DEFAULT_VALUE(0, db, IS_LONG, 1, "null")
ZEND_END_ARG_INFO()

#define arginfo_class_Kelvo_Cluster_lastsave arginfo_class_Kelvo_Cluster_dbsize

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_class_Kelvo_Cluster_lcs, 0, 2, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, key1, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, key2, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO_WITH_DEFAULT_VALUE(0, options, IS_ARRAY, 1, "null")
ZEND_END_ARG_INFO()

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_class_Kelvo_Cluster_lindex, 0, 2, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, key, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, index, IS_LONG, 0)
ZEND_END_ARG_INFO()

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_class_Kelvo_Cluster_linsert, 0, 4, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, key, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, pos, IS_STRING, 0)
	ZEND_ARG_TYPE_INFO(0, pivot, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, value, IS_MIXED, 0)
ZEND_END_ARG_INFO()

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_class_Kelvo_Cluster_listen, 0, 1, _IS_BOOL, 0)
	ZEND_ARG_TYPE_INFO(0, callback, IS_CALLABLE, 1)
ZEND_END_ARG_INFO()

#define arginfo_class_Kelvo_Cluster_llen arginfo_class_Kelvo_Cluster_digest

ZEND_BEGIN_ARG_WITH_RETURN_OBJ_TYPE_MASK_EX(arginfo_class_Kelvo_Cluster_lmove, 0, 4, Kelvo\\Cluster, MAY_BE_NULL|MAY_BE_FALSE|MAY_BE_STRING)
	ZEND_ARG_TYPE_INFO(0, srckey, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, dstkey, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, srcpos, IS_STRING, 0)
	ZEND_ARG_TYPE_INFO(0, dstpos, IS_STRING, 0)
ZEND_END_ARG_INFO()

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_class_Kelvo_Cluster_lmovem, 0, 4, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, src, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, dst, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, from, IS_STRING, 0)
	ZEND_ARG_TYPE_INFO(0, to, IS_STRING, 0)
	ZEND_ARG_TYPE_INFO_WITH_DEFAULT_VALUE(0, options, IS_ARRAY, 1, "null")
ZEND_END_ARG_INFO()

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_class_Kelvo_Cluster_lmpop, 0, 2, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, keys, IS_ARRAY, 0)
	ZEND_ARG_TYPE_INFO(0, from, IS_STRING, 0)
	ZEND_ARG_TYPE_INFO_WITH_DEFAULT_VALUE(0, count, IS_LONG, 0, "1")
ZEND_END_ARG_INFO()

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_class_Kelvo_Cluster_lpop, 0, 1, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, key, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO_WITH_DEFAULT_VALUE(0, count, IS_LONG, 0, "1")
ZEND_END_ARG_INFO()

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_class_Kelvo_Cluster_lpos, 0, 2, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, key, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, value, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO_WITH_DEFAULT_VALUE(0, options, IS_ARRAY, 1, "null")
ZEND_END_ARG_INFO()

#define arginfo_class_Kelvo_Cluster_lpush arginfo_class_Kelvo_Cluster_hdel

#define arginfo_class_Kelvo_Cluster_lpushx arginfo_class_Kelvo_Cluster_hdel

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_class_Kelvo_Cluster_lrange, 0, 3, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, key, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, start, IS_LONG, 0)
	ZEND_ARG_TYPE_INFO(0, end, IS_LONG, 0)
ZEND_END_ARG_INFO()

ZEND_BEGIN_ARG_WITH_RETURN_OBJ_TYPE_MASK_EX(arginfo_class_Kelvo_Cluster_lrem, 0, 2, Kelvo\\Cluster, MAY_BE_FALSE|MAY_BE_LONG)
	ZEND_ARG_TYPE_INFO(0, key, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, member, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO_WITH_DEFAULT_VALUE(0, count, IS_LONG, 0, "0")
ZEND_END_ARG_INFO()

ZEND_BEGIN_ARG_WITH_RETURN_OBJ_TYPE_MASK_EX(arginfo_class_Kelvo_Cluster_lset, 0, 3, Kelvo\\Cluster, MAY_BE_BOOL)
	ZEND_ARG_TYPE_INFO(0, key, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, index, IS_LONG, 0)
	ZEND_ARG_TYPE_INFO(0, member, IS_MIXED, 0)
ZEND_END_ARG_INFO()

#define arginfo_class_Kelvo_Cluster_ltrim arginfo_class_Kelvo_Cluster_lrange

#define arginfo_class_Kelvo_Cluster_maxMemory arginfo_class_Kelvo_Cluster_idleTime

ZEND_BEGIN_ARG_WITH_RETURN_OBJ_TYPE_MASK_EX(arginfo_class_Kelvo_Cluster_mget, 0, 1, Kelvo\\Cluster, MAY_BE_FALSE|MAY_BE_ARRAY)
	ZEND_ARG_TYPE_INFO(0, keys, IS_ARRAY, 0)
ZEND_END_ARG_INFO()

ZEND_BEGIN_ARG_WITH_RETURN_OBJ_TYPE_MASK_EX(arginfo_class_Kelvo_Cluster_mset, 0, 1, Kelvo\\Cluster, MAY_BE_BOOL|MAY_BE_ARRAY)
	ZEND_ARG_TYPE_INFO(0, kvals, IS_ARRAY, 0)
ZEND_END_ARG_INFO()

#define arginfo_class_Kelvo_Cluster_msetnx arginfo_class_Kelvo_Cluster_mset

ZEND_BEGIN_ARG_WITH_RETURN_OBJ_TYPE_MASK_EX(arginfo_class_Kelvo_Cluster_multi, 0, 0, Kelvo\\Cluster, MAY_BE_BOOL)
	ZEND_ARG_TYPE_INFO_WITH_DEFAULT_VALUE(0, mode, IS_LONG, 0, "Kelvo\\Kelvo::MULTI")
ZEND_END_ARG_INFO()

#define arginfo_class_Kelvo_Cluster_move arginfo_class_Kelvo_Cluster_lindex

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_class_Kelvo_Cluster_object, 0, 2, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, subcommand, IS_STRING, 0)
	ZEND_ARG_TYPE_INFO(0, key, IS_MIXED, 0)
ZEND_END_ARG_INFO()

#define arginfo_class_Kelvo_Cluster_onFlushed arginfo_class_Kelvo_Cluster_listen

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_class_Kelvo_Cluster_onInvalidated, 0, 1, _IS_BOOL, 0)
	ZEND_ARG_TYPE_INFO(0, callback, IS_CALLABLE, 1)
	ZEND_ARG_TYPE_INFO_WITH_DEFAULT_VALUE(0, pattern, IS_STRING, 1, "null")
ZEND_END_ARG_INFO()

#define arginfo_class_Kelvo_Cluster_persist arginfo_class_Kelvo_Cluster_digest

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_class_Kelvo_Cluster_pexpire, 0, 2, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, key, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, timeout, IS_LONG, 0)
ZEND_END_ARG_INFO()

#define arginfo_class_Kelvo_Cluster_pexpireat arginfo_class_Kelvo_Cluster_expireat

#define arginfo_class_Kelvo_Cluster_pexpiretime arginfo_class_Kelvo_Cluster_digest

ZEND_BEGIN_ARG_WITH_RETURN_OBJ_TYPE_MASK_EX(arginfo_class_Kelvo_Cluster_pfadd, 0, 2, Kelvo\\Cluster, MAY_BE_FALSE|MAY_BE_LONG)
	ZEND_ARG_TYPE_INFO(0, key, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, elements, IS_ARRAY, 0)
ZEND_END_ARG_INFO()

ZEND_BEGIN_ARG_WITH_RETURN_OBJ_TYPE_MASK_EX(arginfo_class_Kelvo_Cluster_pfcount, 0, 1, Kelvo\\Cluster, MAY_BE_FALSE|MAY_BE_LONG)
	ZEND_ARG_TYPE_INFO(0, key, IS_MIXED, 0)
ZEND_END_ARG_INFO()

ZEND_BEGIN_ARG_WITH_RETURN_OBJ_TYPE_MASK_EX(arginfo_class_Kelvo_Cluster_pfmerge, 0, 2, Kelvo\\Cluster, MAY_BE_BOOL)
	ZEND_ARG_TYPE_INFO(0, dstkey, IS_STRING, 0)
	ZEND_ARG_TYPE_INFO(0, srckeys, IS_ARRAY, 0)
ZEND_END_ARG_INFO()

ZEND_BEGIN_ARG_WITH_RETURN_OBJ_TYPE_MASK_EX(arginfo_class_Kelvo_Cluster_ping, 0, 1, Kelvo\\Cluster, MAY_BE_BOOL|MAY_BE_STRING)
	ZEND_ARG_TYPE_MASK(0, key_or_address, MAY_BE_STRING|MAY_BE_ARRAY, NULL)
	ZEND_ARG_TYPE_INFO_WITH_DEFAULT_VALUE(0, message, IS_STRING, 1, "null")
ZEND_END_ARG_INFO()

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_class_Kelvo_Cluster_psetex, 0, 3, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, key, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, expire, IS_LONG, 0)
	ZEND_ARG_TYPE_INFO(0, value, IS_MIXED, 0)
ZEND_END_ARG_INFO()

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_class_Kelvo_Cluster_psubscribe, 0, 2, _IS_BOOL, 0)
	ZEND_ARG_TYPE_INFO(0, patterns, IS_ARRAY, 0)
	ZEND_ARG_TYPE_INFO(0, callback, IS_CALLABLE, 0)
ZEND_END_ARG_INFO()

#define arginfo_class_Kelvo_Cluster_pttl arginfo_class_Kelvo_Cluster_digest

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_class_Kelvo_Cluster_publish, 0, 2, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, channel, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, message, IS_STRING, 0)
ZEND_END_ARG_INFO()

#define arginfo_class_Kelvo_Cluster_pubsub arginfo_class_Kelvo_Cluster_client

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_class_Kelvo_Cluster_punsubscribe, 0, 0, _IS_BOOL, 0)
	ZEND_ARG_TYPE_INFO_WITH_DEFAULT_VALUE(0, patterns, IS_ARRAY, 0, "[]")
ZEND_END_ARG_INFO()

ZEND_BEGIN_ARG_WITH_RETURN_OBJ_TYPE_MASK_EX(arginfo_class_Kelvo_Cluster_randomkey, 0, 1, Kelvo\\Cluster, MAY_BE_BOOL|MAY_BE_STRING)
	ZEND_ARG_TYPE_MASK(0, key_or_address, MAY_BE_STRING|MAY_BE_ARRAY, NULL)
ZEND_END_ARG_INFO()

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_class_Kelvo_Cluster_rawCommand, 0, 2, IS_MIXED, 0)
	ZEND_ARG_TYPE_MASK(0, key_or_address, MAY_BE_STRING|MAY_BE_ARRAY, NULL)
	ZEND_ARG_TYPE_INFO(0, cmd, IS_STRING, 0)
	ZEND_ARG_VARIADIC_TYPE_INFO(0, args, IS_MIXED, 0)
ZEND_END_ARG_INFO()

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_class_Kelvo_Cluster_rename, 0, 2, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, old_name, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, new_name, IS_MIXED, 0)
ZEND_END_ARG_INFO()

#define arginfo_class_Kelvo_Cluster_renamenx arginfo_class_Kelvo_Cluster_rename

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_class_Kelvo_Cluster_restore, 0, 3, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, key, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, ttl, IS_LONG, 0)
	ZEND_ARG_TYPE_INFO(0, value, IS_STRING, 0)
	ZEND_ARG_TYPE_INFO_WITH_DEFAULT_VALUE(0, options, IS_ARRAY, 1, "null")
ZEND_END_ARG_INFO()

ZEND_BEGIN_ARG_WITH_RETURN_OBJ_TYPE_MASK_EX(arginfo_class_Kelvo_Cluster_role, 0, 1, Kelvo\\Cluster, MAY_BE_FALSE|MAY_BE_ARRAY)
	ZEND_ARG_TYPE_MASK(0, key_or_address, MAY_BE_STRING|MAY_BE_ARRAY, NULL)
ZEND_END_ARG_INFO()

#define arginfo_class_Kelvo_Cluster_rpop arginfo_class_Kelvo_Cluster_lpop

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_class_Kelvo_Cluster_rpoplpush, 0, 2, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, srckey, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, dstkey, IS_MIXED, 0)
ZEND_END_ARG_INFO()

#define arginfo_class_Kelvo_Cluster_rpush arginfo_class_Kelvo_Cluster_hdel

#define arginfo_class_Kelvo_Cluster_rpushx arginfo_class_Kelvo_Cluster_hdel

#define arginfo_class_Kelvo_Cluster_sadd arginfo_class_Kelvo_Cluster_hdel

#define arginfo_class_Kelvo_Cluster_save arginfo_class_Kelvo_Cluster_bgrewriteaof

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_MASK_EX(arginfo_class_Kelvo_Cluster_scan, 0, 2, MAY_BE_FALSE|MAY_BE_ARRAY)
	ZEND_ARG_TYPE_INFO(1, iterator, IS_MIXED, 0)
	ZEND_ARG_TYPE_MASK(0, key_or_address, MAY_BE_STRING|MAY_BE_ARRAY, NULL)
	ZEND_ARG_TYPE_INFO_WITH_DEFAULT_VALUE(0, match, IS_MIXED, 0, "null")
	ZEND_ARG_TYPE_INFO_WITH_DEFAULT_VALUE(0, count, IS_LONG, 0, "0")
	ZEND_ARG_TYPE_INFO_WITH_DEFAULT_VALUE(0, type, IS_STRING, 1, "null")
ZEND_END_ARG_INFO()

ZEND_BEGIN_ARG_WITH_RETURN_OBJ_TYPE_MASK_EX(arginfo_class_Kelvo_Cluster_fullscan, 0, 0, Generator, MAY_BE_FALSE)
	ZEND_ARG_TYPE_INFO_WITH_DEFAULT_VALUE(0, match, IS_MIXED, 0, "null")
	ZEND_ARG_TYPE_INFO_WITH_DEFAULT_VALUE(0, count, IS_LONG, 0, "0")
	ZEND_ARG_TYPE_INFO_WITH_DEFAULT_VALUE(0, type, IS_STRING, 1, "null")
ZEND_END_ARG_INFO()

#define arginfo_class_Kelvo_Cluster_scard arginfo_class_Kelvo_Cluster_digest

#define arginfo_class_Kelvo_Cluster_script arginfo_class_Kelvo_Cluster_acl

#define arginfo_class_Kelvo_Cluster_sdiff arginfo_class_Kelvo_Cluster_exists

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_class_Kelvo_Cluster_sdiffcard, 0, 1, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, keys, IS_ARRAY, 0)
	ZEND_ARG_TYPE_INFO_WITH_DEFAULT_VALUE(0, options, IS_ARRAY, 1, "null")
ZEND_END_ARG_INFO()

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_class_Kelvo_Cluster_sdiffstore, 0, 1, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, dst, IS_MIXED, 0)
	ZEND_ARG_VARIADIC_TYPE_INFO(0, other_keys, IS_MIXED, 0)
ZEND_END_ARG_INFO()

ZEND_BEGIN_ARG_WITH_RETURN_OBJ_TYPE_MASK_EX(arginfo_class_Kelvo_Cluster_select, 0, 1, Kelvo\\Cluster, MAY_BE_BOOL|MAY_BE_STRING)
	ZEND_ARG_TYPE_INFO(0, db, IS_LONG, 0)
ZEND_END_ARG_INFO()

ZEND_BEGIN_ARG_WITH_RETURN_OBJ_TYPE_MASK_EX(arginfo_class_Kelvo_Cluster_set, 0, 2, Kelvo\\Cluster, MAY_BE_BOOL|MAY_BE_STRING)
	ZEND_ARG_TYPE_INFO(0, key, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, value, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO_WITH_DEFAULT_VALUE(0, options, IS_MIXED, 0, "null")
ZEND_END_ARG_INFO()

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_class_Kelvo_Cluster_setOption, 0, 2, _IS_BOOL, 0)
	ZEND_ARG_TYPE_INFO(0, option, IS_LONG, 0)
	ZEND_ARG_TYPE_INFO(0, value, IS_MIXED, 0)
ZEND_END_ARG_INFO()

ZEND_BEGIN_ARG_WITH_RETURN_OBJ_TYPE_MASK_EX(arginfo_class_Kelvo_Cluster_setbit, 0, 3, Kelvo\\Cluster, MAY_BE_FALSE|MAY_BE_LONG)
	ZEND_ARG_TYPE_INFO(0, key, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, pos, IS_LONG, 0)
	ZEND_ARG_TYPE_INFO(0, value, IS_LONG, 0)
ZEND_END_ARG_INFO()

#define arginfo_class_Kelvo_Cluster_setex arginfo_class_Kelvo_Cluster_psetex

#define arginfo_class_Kelvo_Cluster_setnx arginfo_class_Kelvo_Cluster_append

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_class_Kelvo_Cluster_setrange, 0, 3, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, key, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, index, IS_LONG, 0)
	ZEND_ARG_TYPE_INFO(0, value, IS_MIXED, 0)
ZEND_END_ARG_INFO()

#define arginfo_class_Kelvo_Cluster_sinter arginfo_class_Kelvo_Cluster_exists

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_class_Kelvo_Cluster_sintercard, 0, 1, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, keys, IS_ARRAY, 0)
	ZEND_ARG_TYPE_INFO_WITH_DEFAULT_VALUE(0, limit, IS_LONG, 0, "0")
ZEND_END_ARG_INFO()

#define arginfo_class_Kelvo_Cluster_sinterstore arginfo_class_Kelvo_Cluster_sdiffstore

#define arginfo_class_Kelvo_Cluster_sismember arginfo_class_Kelvo_Cluster_hexists

ZEND_BEGIN_ARG_WITH_RETURN_OBJ_TYPE_MASK_EX(arginfo_class_Kelvo_Cluster_slowlog, 0, 2, Kelvo\\Cluster, MAY_BE_BOOL|MAY_BE_LONG|MAY_BE_ARRAY)
	ZEND_ARG_TYPE_MASK(0, key_or_address, MAY_BE_STRING|MAY_BE_ARRAY, NULL)
	ZEND_ARG_TYPE_INFO(0, operation, IS_STRING, 0)
	ZEND_ARG_VARIADIC_TYPE_INFO(0, args, IS_MIXED, 0)
ZEND_END_ARG_INFO()

#define arginfo_class_Kelvo_Cluster_smembers arginfo_class_Kelvo_Cluster_getWithMeta

ZEND_BEGIN_ARG_WITH_RETURN_OBJ_TYPE_MASK_EX(arginfo_class_Kelvo_Cluster_smismember, 0, 1, Kelvo\\Cluster, MAY_BE_FALSE|MAY_BE_ARRAY)
	ZEND_ARG_TYPE_INFO(0, key, IS_MIXED, 0)
	ZEND_ARG_VARIADIC_TYPE_INFO(0, members, IS_MIXED, 0)
ZEND_END_ARG_INFO()

ZEND_BEGIN_ARG_WITH_RETURN_OBJ_TYPE_MASK_EX(arginfo_class_Kelvo_Cluster_smove, 0, 3, Kelvo\\Cluster, MAY_BE_BOOL)
	ZEND_ARG_TYPE_INFO(0, srckey, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, dstkey, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, member, IS_MIXED, 0)
ZEND_END_ARG_INFO()

#define arginfo_class_Kelvo_Cluster_sort arginfo_class_Kelvo_Cluster_delex

ZEND_BEGIN_ARG_WITH_RETURN_OBJ_TYPE_MASK_EX(arginfo_class_Kelvo_Cluster_sort_ro, 0, 1, Kelvo\\Cluster, MAY_BE_FALSE|MAY_BE_LONG|MAY_BE_ARRAY)
	ZEND_ARG_TYPE_INFO(0, key, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO_WITH_DEFAULT_VALUE(0, options, IS_ARRAY, 0, "[]")
ZEND_END_ARG_INFO()

#define arginfo_class_Kelvo_Cluster_spop arginfo_class_Kelvo_Cluster_lpop

#define arginfo_class_Kelvo_Cluster_srandmember arginfo_class_Kelvo_Cluster_lpop

#define arginfo_class_Kelvo_Cluster_srem arginfo_class_Kelvo_Cluster_hdel

#define arginfo_class_Kelvo_Cluster_sscan arginfo_class_Kelvo_Cluster_hscan

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_class_Kelvo_Cluster_ssubscribe, 0, 2, _IS_BOOL, 0)
	ZEND_ARG_TYPE_INFO(0, channels, IS_ARRAY, 0)
	ZEND_ARG_TYPE_INFO(0, callback, IS_CALLABLE, 0)
ZEND_END_ARG_INFO()

#define arginfo_class_Kelvo_Cluster_stats arginfo_class_Kelvo_Cluster__masters

#define arginfo_class_Kelvo_Cluster_strlen arginfo_class_Kelvo_Cluster_digest

#define arginfo_class_Kelvo_Cluster_subscribe arginfo_class_Kelvo_Cluster_ssubscribe

#define arginfo_class_Kelvo_Cluster_sunion arginfo_class_Kelvo_Cluster_exists

#define arginfo_class_Kelvo_Cluster_sunioncard arginfo_class_Kelvo_Cluster_sdiffcard

#define arginfo_class_Kelvo_Cluster_sunionstore arginfo_class_Kelvo_Cluster_sdiffstore

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_class_Kelvo_Cluster_sunsubscribe, 0, 0, _IS_BOOL, 0)
	ZEND_ARG_TYPE_INFO_WITH_DEFAULT_VALUE(0, channels, IS_ARRAY, 0, "[]")
ZEND_END_ARG_INFO()

#define arginfo_class_Kelvo_Cluster_time arginfo_class_Kelvo_Cluster_role

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_class_Kelvo_Cluster_touch, 0, 0, IS_MIXED, 0)
	ZEND_ARG_VARIADIC_TYPE_INFO(0, keys, IS_MIXED, 0)
ZEND_END_ARG_INFO()

#define arginfo_class_Kelvo_Cluster_ttl arginfo_class_Kelvo_Cluster_digest

ZEND_BEGIN_ARG_WITH_RETURN_OBJ_TYPE_MASK_EX(arginfo_class_Kelvo_Cluster_type, 0, 1, Kelvo\\Cluster, MAY_BE_BOOL|MAY_BE_LONG|MAY_BE_STRING)
	ZEND_ARG_TYPE_INFO(0, key, IS_MIXED, 0)
ZEND_END_ARG_INFO()

#define arginfo_class_Kelvo_Cluster_unlink arginfo_class_Kelvo_Cluster_touch

#define arginfo_class_Kelvo_Cluster_unsubscribe arginfo_class_Kelvo_Cluster_sunsubscribe

ZEND_BEGIN_ARG_WITH_RETURN_OBJ_TYPE_MASK_EX(arginfo_class_Kelvo_Cluster_unwatch, 0, 0, Kelvo\\Cluster, MAY_BE_BOOL)
ZEND_END_ARG_INFO()

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_class_Kelvo_Cluster_vadd, 0, 3, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, key, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, values, IS_ARRAY, 0)
	ZEND_ARG_TYPE_INFO(0, element, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO_WITH_DEFAULT_VALUE(0, options, IS_ARRAY, 1, "null")
ZEND_END_ARG_INFO()

#define arginfo_class_Kelvo_Cluster_vcard arginfo_class_Kelvo_Cluster_digest

#define arginfo_class_Kelvo_Cluster_vdim arginfo_class_Kelvo_Cluster_digest

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_class_Kelvo_Cluster_vemb, 0, 2, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, key, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, member, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO_WITH_DEFAULT_VALUE(0, raw, _IS_BOOL, 0, "false")
ZEND_END_ARG_INFO()

#define arginfo_class_Kelvo_Cluster_vgetattr arginfo_class_Kelvo_Cluster_vemb

#define arginfo_class_Kelvo_Cluster_vinfo arginfo_class_Kelvo_Cluster_digest

#define arginfo_class_Kelvo_Cluster_vismember arginfo_class_Kelvo_Cluster_hget

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_class_Kelvo_Cluster_vlinks, 0, 2, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, key, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, member, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO_WITH_DEFAULT_VALUE(0, withscores, _IS_BOOL, 0, "false")
ZEND_END_ARG_INFO()

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_class_Kelvo_Cluster_vrandmember, 0, 1, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, key, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO_WITH_DEFAULT_VALUE(0, count, IS_LONG, 0, "0")
ZEND_END_ARG_INFO()

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_class_Kelvo_Cluster_vrange, 0, 3, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, key, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, min, IS_STRING, 0)
	ZEND_ARG_TYPE_INFO(0, max, IS_STRING, 0)
	ZEND_ARG_TYPE_INFO_WITH_DEFAULT_VALUE(0, count, IS_LONG, 0, "-1")
ZEND_END_ARG_INFO()

#define arginfo_class_Kelvo_Cluster_vrem arginfo_class_Kelvo_Cluster_hget

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_class_Kelvo_Cluster_vsetattr, 0, 3, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, key, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, member, IS_MIXED, 0)
	ZEND_ARG_TYPE_MASK(0, attributes, MAY_BE_ARRAY|MAY_BE_STRING, NULL)
ZEND_END_ARG_INFO()

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_class_Kelvo_Cluster_vsim, 0, 2, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, key, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, member, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO_WITH_DEFAULT_VALUE(0, options, IS_ARRAY, 1, "null")
ZEND_END_ARG_INFO()

ZEND_BEGIN_ARG_WITH_RETURN_OBJ_TYPE_MASK_EX(arginfo_class_Kelvo_Cluster_watch, 0, 1, Kelvo\\Cluster, MAY_BE_BOOL)
	ZEND_ARG_TYPE_INFO(0, key, IS_MIXED, 0)
	ZEND_ARG_VARIADIC_TYPE_INFO(0, other_keys, IS_MIXED, 0)
ZEND_END_ARG_INFO()

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_class_Kelvo_Cluster_xack, 0, 3, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, key, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, group, IS_STRING, 0)
	ZEND_ARG_TYPE_INFO(0, ids, IS_ARRAY, 0)
ZEND_END_ARG_INFO()

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_class_Kelvo_Cluster_xnack, 0, 4, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, key, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, group, IS_STRING, 0)
	ZEND_ARG_TYPE_INFO(0, mode, IS_STRING, 0)
	ZEND_ARG_TYPE_INFO(0, ids, IS_ARRAY, 0)
	ZEND_ARG_TYPE_INFO_WITH_DEFAULT_VALUE(0, options, IS_ARRAY, 1, "null")
ZEND_END_ARG_INFO()

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_class_Kelvo_Cluster_xackdel, 0, 3, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, key, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, group, IS_STRING, 0)
	ZEND_ARG_TYPE_INFO(0, ids, IS_ARRAY, 0)
	ZEND_ARG_TYPE_INFO_WITH_DEFAULT_VALUE(0, mode, IS_STRING, 1, "null")
ZEND_END_ARG_INFO()

ZEND_BEGIN_ARG_WITH_RETURN_OBJ_TYPE_MASK_EX(arginfo_class_Kelvo_Cluster_xadd, 0, 3, Kelvo\\Cluster, MAY_BE_FALSE|MAY_BE_STRING)
	ZEND_ARG_TYPE_INFO(0, key, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, id, IS_STRING, 0)
	ZEND_ARG_TYPE_INFO(0, values, IS_ARRAY, 0)
	ZEND_ARG_TYPE_INFO_WITH_DEFAULT_VALUE(0, maxlen, IS_LONG, 0, "0")
	ZEND_ARG_TYPE_INFO_WITH_DEFAULT_VALUE(0, approx, _IS_BOOL, 0, "false")
	ZEND_ARG_TYPE_INFO_WITH_DEFAULT_VALUE(0, nomkstream, _IS_BOOL, 0, "false")
ZEND_END_ARG_INFO()

ZEND_BEGIN_ARG_WITH_RETURN_OBJ_TYPE_MASK_EX(arginfo_class_Kelvo_Cluster_xautoclaim, 0, 5, Kelvo\\Cluster, MAY_BE_BOOL|MAY_BE_ARRAY)
	ZEND_ARG_TYPE_INFO(0, key, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, group, IS_STRING, 0)
	ZEND_ARG_TYPE_INFO(0, consumer, IS_STRING, 0)
	ZEND_ARG_TYPE_INFO(0, min_idle, IS_LONG, 0)
	ZEND_ARG_TYPE_INFO(0, start, IS_STRING, 0)
	ZEND_ARG_TYPE_INFO_WITH_DEFAULT_VALUE(0, count, IS_LONG, 0, "-1")
	ZEND_ARG_TYPE_INFO_WITH_DEFAULT_VALUE(0, justid, _IS_BOOL, 0, "false")
ZEND_END_ARG_INFO()

ZEND_BEGIN_ARG_WITH_RETURN_OBJ_TYPE_MASK_EX(arginfo_class_Kelvo_Cluster_xclaim, 0, 6, Kelvo\\Cluster, MAY_BE_BOOL|MAY_BE_ARRAY)
	ZEND_ARG_TYPE_INFO(0, key, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, group, IS_STRING, 0)
	ZEND_ARG_TYPE_INFO(0, consumer, IS_STRING, 0)
	ZEND_ARG_TYPE_INFO(0, min_idle, IS_LONG, 0)
	ZEND_ARG_TYPE_INFO(0, ids, IS_ARRAY, 0)
	ZEND_ARG_TYPE_INFO(0, options, IS_ARRAY, 0)
ZEND_END_ARG_INFO()

ZEND_BEGIN_ARG_WITH_RETURN_OBJ_TYPE_MASK_EX(arginfo_class_Kelvo_Cluster_xdel, 0, 2, Kelvo\\Cluster, MAY_BE_FALSE|MAY_BE_LONG)
	ZEND_ARG_TYPE_INFO(0, key, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, ids, IS_ARRAY, 0)
ZEND_END_ARG_INFO()

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_class_Kelvo_Cluster_xdelex, 0, 2, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, key, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, ids, IS_ARRAY, 0)
	ZEND_ARG_TYPE_INFO_WITH_DEFAULT_VALUE(0, mode, IS_STRING, 1, "null")
ZEND_END_ARG_INFO()

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_class_Kelvo_Cluster_xgroup, 0, 1, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, operation, IS_STRING, 0)
	ZEND_ARG_TYPE_INFO_WITH_DEFAULT_VALUE(0, key, IS_MIXED, 0, "null")
	ZEND_ARG_TYPE_INFO_WITH_DEFAULT_VALUE(0, group, IS_STRING, 1, "null")
	ZEND_ARG_TYPE_INFO_WITH_DEFAULT_VALUE(0, id_or_consumer, IS_STRING, 1, "null")
	ZEND_ARG_TYPE_INFO_WITH_DEFAULT_VALUE(0, mkstream, _IS_BOOL, 0, "false")
	ZEND_ARG_TYPE_INFO_WITH_DEFAULT_VALUE(0, entries_read, IS_LONG, 0, "-2")
ZEND_END_ARG_INFO()

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_class_Kelvo_Cluster_xinfo, 0, 1, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, operation, IS_STRING, 0)
	ZEND_ARG_TYPE_INFO_WITH_DEFAULT_VALUE(0, arg1, IS_STRING, 1, "null")
	ZEND_ARG_TYPE_INFO_WITH_DEFAULT_VALUE(0, arg2, IS_STRING, 1, "null")
	ZEND_ARG_TYPE_INFO_WITH_DEFAULT_VALUE(0, count, IS_LONG, 0, "-1")
ZEND_END_ARG_INFO()

#define arginfo_class_Kelvo_Cluster_xlen arginfo_class_Kelvo_Cluster_pfcount

ZEND_BEGIN_ARG_WITH_RETURN_OBJ_TYPE_MASK_EX(arginfo_class_Kelvo_Cluster_xpending, 0, 2, Kelvo\\Cluster, MAY_BE_FALSE|MAY_BE_ARRAY)
	ZEND_ARG_TYPE_INFO(0, key, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, group, IS_STRING, 0)
	ZEND_ARG_TYPE_INFO_WITH_DEFAULT_VALUE(0, start, IS_STRING, 1, "null")
	ZEND_ARG_TYPE_INFO_WITH_DEFAULT_VALUE(0, end, IS_STRING, 1, "null")
	ZEND_ARG_TYPE_INFO_WITH_DEFAULT_VALUE(0, count, IS_LONG, 0, "-1")
	ZEND_ARG_TYPE_INFO_WITH_DEFAULT_VALUE(0, consumer, IS_STRING, 1, "null")
	ZEND_ARG_TYPE_INFO_WITH_DEFAULT_VALUE(0, idle, IS_LONG, 0, "0")
ZEND_END_ARG_INFO()

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_class_Kelvo_Cluster_xrange, 0, 3, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, key, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, start, IS_STRING, 0)
	ZEND_ARG_TYPE_INFO(0, end, IS_STRING, 0)
	ZEND_ARG_TYPE_INFO_WITH_DEFAULT_VALUE(0, count, IS_LONG, 0, "-1")
ZEND_END_ARG_INFO()

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_class_Kelvo_Cluster_xread, 0, 1, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, streams, IS_ARRAY, 0)
	ZEND_ARG_TYPE_INFO_WITH_DEFAULT_VALUE(0, count, IS_LONG, 0, "-1")
	ZEND_ARG_TYPE_INFO_WITH_DEFAULT_VALUE(0, block, IS_LONG, 0, "-1")
ZEND_END_ARG_INFO()

ZEND_BEGIN_ARG_WITH_RETURN_OBJ_TYPE_MASK_EX(arginfo_class_Kelvo_Cluster_xreadgroup, 0, 3, Kelvo\\Cluster, MAY_BE_BOOL|MAY_BE_ARRAY|MAY_BE_NULL)
	ZEND_ARG_TYPE_INFO(0, key, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, consumer, IS_STRING, 0)
	ZEND_ARG_TYPE_INFO(0, streams, IS_ARRAY, 0)
	ZEND_ARG_TYPE_INFO_WITH_DEFAULT_VALUE(0, count, IS_LONG, 0, "1")
	ZEND_ARG_TYPE_INFO_WITH_DEFAULT_VALUE(0, block, IS_LONG, 0, "1")
ZEND_END_ARG_INFO()

ZEND_BEGIN_ARG_WITH_RETURN_OBJ_TYPE_MASK_EX(arginfo_class_Kelvo_Cluster_xrevrange, 0, 3, Kelvo\\Cluster, MAY_BE_BOOL|MAY_BE_ARRAY)
	ZEND_ARG_TYPE_INFO(0, key, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, end, IS_STRING, 0)
	ZEND_ARG_TYPE_INFO(0, start, IS_STRING, 0)
	ZEND_ARG_TYPE_INFO_WITH_DEFAULT_VALUE(0, count, IS_LONG, 0, "-1")
ZEND_END_ARG_INFO()

ZEND_BEGIN_ARG_WITH_RETURN_OBJ_TYPE_MASK_EX(arginfo_class_Kelvo_Cluster_xtrim, 0, 2, Kelvo\\Cluster, MAY_BE_FALSE|MAY_BE_LONG)
	ZEND_ARG_TYPE_INFO(0, key, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, threshold, IS_STRING, 0)
	ZEND_ARG_TYPE_INFO_WITH_DEFAULT_VALUE(0, approx, _IS_BOOL, 0, "false")
	ZEND_ARG_TYPE_INFO_WITH_DEFAULT_VALUE(0, minid, _IS_BOOL, 0, "false")
	ZEND_ARG_TYPE_INFO_WITH_DEFAULT_VALUE(0, limit, IS_LONG, 0, "-1")
ZEND_END_ARG_INFO()

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_class_Kelvo_Cluster_zadd, 0, 2, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, key, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, score_or_options, IS_MIXED, 0)
	ZEND_ARG_VARIADIC_TYPE_INFO(0, more_scores_and_mems, IS_MIXED, 0)
ZEND_END_ARG_INFO()

#define arginfo_class_Kelvo_Cluster_zcard arginfo_class_Kelvo_Cluster_digest

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_class_Kelvo_Cluster_zcount, 0, 3, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, key, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, start, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, end, IS_MIXED, 0)
ZEND_END_ARG_INFO()

#define arginfo_class_Kelvo_Cluster_zdiff arginfo_class_Kelvo_Cluster_sdiffcard

ZEND_BEGIN_ARG_WITH_RETURN_OBJ_TYPE_MASK_EX(arginfo_class_Kelvo_Cluster_zdiffstore, 0, 2, Kelvo\\Cluster, MAY_BE_FALSE|MAY_BE_LONG)
	ZEND_ARG_TYPE_INFO(0, dstkey, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, keys, IS_ARRAY, 0)
ZEND_END_ARG_INFO()

ZEND_BEGIN_ARG_WITH_RETURN_OBJ_TYPE_MASK_EX(arginfo_class_Kelvo_Cluster_zincrby, 0, 3, Kelvo\\Cluster, MAY_BE_FALSE|MAY_BE_DOUBLE)
	ZEND_ARG_TYPE_INFO(0, key, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, score, IS_DOUBLE, 0)
	ZEND_ARG_TYPE_INFO(0, member, IS_MIXED, 0)
ZEND_END_ARG_INFO()

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_class_Kelvo_Cluster_zinter, 0, 1, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, keys, IS_ARRAY, 0)
	ZEND_ARG_TYPE_INFO_WITH_DEFAULT_VALUE(0, weights, IS_ARRAY, 1, "null")
	ZEND_ARG_TYPE_INFO_WITH_DEFAULT_VALUE(0, options, IS_MIXED, 0, "null")
ZEND_END_ARG_INFO()

#define arginfo_class_Kelvo_Cluster_zintercard arginfo_class_Kelvo_Cluster_sintercard

ZEND_BEGIN_ARG_WITH_RETURN_OBJ_TYPE_MASK_EX(arginfo_class_Kelvo_Cluster_zinterstore, 0, 2, Kelvo\\Cluster, MAY_BE_FALSE|MAY_BE_LONG)
	ZEND_ARG_TYPE_INFO(0, dstkey, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, keys, IS_ARRAY, 0)
	ZEND_ARG_TYPE_INFO_WITH_DEFAULT_VALUE(0, weights, IS_ARRAY, 1, "null")
	ZEND_ARG_TYPE_INFO_WITH_DEFAULT_VALUE(0, options, IS_MIXED, 0, "null")
ZEND_END_ARG_INFO()

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_class_Kelvo_Cluster_zlexcount, 0, 3, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, key, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, min, IS_STRING, 0)
	ZEND_ARG_TYPE_INFO(0, max, IS_STRING, 0)
ZEND_END_ARG_INFO()

#define arginfo_class_Kelvo_Cluster_zmpop arginfo_class_Kelvo_Cluster_lmpop

#define arginfo_class_Kelvo_Cluster_zmscore arginfo_class_Kelvo_Cluster_smismember

#define arginfo_class_Kelvo_Cluster_zpopmax arginfo_class_Kelvo_Cluster_lpop

#define arginfo_class_Kelvo_Cluster_zpopmin arginfo_class_Kelvo_Cluster_lpop

#define arginfo_class_Kelvo_Cluster_zrandmember arginfo_class_Kelvo_Cluster_delex

ZEND_BEGIN_ARG_WITH_RETURN_OBJ_TYPE_MASK_EX(arginfo_class_Kelvo_Cluster_zrange, 0, 3, Kelvo\\Cluster, MAY_BE_FALSE|MAY_BE_ARRAY)
	ZEND_ARG_TYPE_INFO(0, key, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, start, IS_STRING, 0)
	ZEND_ARG_TYPE_INFO(0, end, IS_STRING, 0)
	ZEND_ARG_TYPE_INFO_WITH_DEFAULT_VALUE(0, options, IS_MIXED, 0, "null")
ZEND_END_ARG_INFO()

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_class_Kelvo_Cluster_zrangebylex, 0, 3, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, key, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, min, IS_STRING, 0)
	ZEND_ARG_TYPE_INFO(0, max, IS_STRING, 0)
	ZEND_ARG_TYPE_INFO_WITH_DEFAULT_VALUE(0, offset, IS_LONG, 0, "-1")
	ZEND_ARG_TYPE_INFO_WITH_DEFAULT_VALUE(0, count, IS_LONG, 0, "-1")
ZEND_END_ARG_INFO()

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_class_Kelvo_Cluster_zrangebyscore, 0, 3, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, key, IS_MIXED, 0)
	ZEND_ARG_TYPE_MASK(0, start, MAY_BE_LONG|MAY_BE_STRING, NULL)
	ZEND_ARG_TYPE_MASK(0, end, MAY_BE_LONG|MAY_BE_STRING, NULL)
	ZEND_ARG_TYPE_INFO_WITH_DEFAULT_VALUE(0, options, IS_MIXED, 0, "null")
ZEND_END_ARG_INFO()

ZEND_BEGIN_ARG_WITH_RETURN_OBJ_TYPE_MASK_EX(arginfo_class_Kelvo_Cluster_zrangestore, 0, 4, Kelvo\\Cluster, MAY_BE_FALSE|MAY_BE_LONG)
	ZEND_ARG_TYPE_INFO(0, dstkey, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, srckey, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, start, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, end, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO_WITH_DEFAULT_VALUE(0, options, IS_MIXED, 0, "null")
ZEND_END_ARG_INFO()

ZEND_BEGIN_ARG_WITH_RETURN_OBJ_TYPE_MASK_EX(arginfo_class_Kelvo_Cluster_zrank, 0, 2, Kelvo\\Cluster, MAY_BE_FALSE|MAY_BE_LONG|MAY_BE_ARRAY)
	ZEND_ARG_TYPE_INFO(0, key, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, rank, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO_WITH_DEFAULT_VALUE(0, withscore, _IS_BOOL, 0, "false")
ZEND_END_ARG_INFO()

#define arginfo_class_Kelvo_Cluster_zrem arginfo_class_Kelvo_Cluster_geopos

#define arginfo_class_Kelvo_Cluster_zremrangebylex arginfo_class_Kelvo_Cluster_zlexcount

#define arginfo_class_Kelvo_Cluster_zremrangebyrank arginfo_class_Kelvo_Cluster_lrange

#define arginfo_class_Kelvo_Cluster_zremrangebyscore arginfo_class_Kelvo_Cluster_zcount

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_class_Kelvo_Cluster_zrevrange, 0, 3, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, key, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, start, IS_LONG, 0)
	ZEND_ARG_TYPE_INFO(0, end, IS_LONG, 0)
	ZEND_ARG_TYPE_INFO_WITH_DEFAULT_VALUE(0, options, IS_MIXED, 0, "null")
ZEND_END_ARG_INFO()

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_class_Kelvo_Cluster_zrevrangebylex, 0, 3, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, key, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, max, IS_STRING, 0)
	ZEND_ARG_TYPE_INFO(0, min, IS_STRING, 0)
	ZEND_ARG_TYPE_INFO_WITH_DEFAULT_VALUE(0, offset, IS_LONG, 0, "-1")
	ZEND_ARG_TYPE_INFO_WITH_DEFAULT_VALUE(0, count, IS_LONG, 0, "-1")
ZEND_END_ARG_INFO()

#define arginfo_class_Kelvo_Cluster_zrevrangebyscore arginfo_class_Kelvo_Cluster_zrangebyscore

#define arginfo_class_Kelvo_Cluster_zrevrank arginfo_class_Kelvo_Cluster_zrank

#define arginfo_class_Kelvo_Cluster_zscan arginfo_class_Kelvo_Cluster_hscan

ZEND_BEGIN_ARG_WITH_RETURN_OBJ_TYPE_MASK_EX(arginfo_class_Kelvo_Cluster_zscore, 0, 2, Kelvo\\Cluster, MAY_BE_FALSE|MAY_BE_DOUBLE)
	ZEND_ARG_TYPE_INFO(0, key, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, member, IS_MIXED, 0)
ZEND_END_ARG_INFO()

#define arginfo_class_Kelvo_Cluster_zunion arginfo_class_Kelvo_Cluster_zinter

#define arginfo_class_Kelvo_Cluster_zunionstore arginfo_class_Kelvo_Cluster_zinterstore

#define arginfo_class_Kelvo_Cluster_FullscanGenerator_current arginfo_class_Kelvo_Cluster_getDbNum

#define arginfo_class_Kelvo_Cluster_FullscanGenerator_key arginfo_class_Kelvo_Cluster_getDbNum

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_class_Kelvo_Cluster_FullscanGenerator_next, 0, 0, IS_VOID, 0)
ZEND_END_ARG_INFO()

#define arginfo_class_Kelvo_Cluster_FullscanGenerator_valid arginfo_class_Kelvo_Cluster_clearLastError

#define arginfo_class_Kelvo_Cluster_FullscanGenerator_rewind arginfo_class_Kelvo_Cluster_FullscanGenerator_next

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_class_Kelvo_Cluster_FullscanGenerator_send, 0, 1, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, value, IS_MIXED, 0)
ZEND_END_ARG_INFO()

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_class_Kelvo_Cluster_FullscanGenerator_throw, 0, 1, IS_MIXED, 0)
	ZEND_ARG_OBJ_INFO(0, exception, Throwable, 0)
ZEND_END_ARG_INFO()

#define arginfo_class_Kelvo_Cluster_FullscanGenerator_getReturn arginfo_class_Kelvo_Cluster_getDbNum


ZEND_METHOD(Kelvo_Cluster, __construct);
ZEND_METHOD(Kelvo_Cluster, _compress);
ZEND_METHOD(Kelvo_Cluster, idleTime);
ZEND_METHOD(Kelvo_Cluster, _getKeys);
ZEND_METHOD(Kelvo_Cluster, _masters);
ZEND_METHOD(Kelvo_Cluster, _pack);
ZEND_METHOD(Kelvo_Cluster, _digest);
ZEND_METHOD(Kelvo_Cluster, _prefix);
ZEND_METHOD(Kelvo_Cluster, _serialize);
ZEND_METHOD(Kelvo_Cluster, _uncompress);
ZEND_METHOD(Kelvo_Cluster, _unpack);
ZEND_METHOD(Kelvo_Cluster, _unserialize);
ZEND_METHOD(Kelvo_Cluster, acl);
ZEND_METHOD(Kelvo_Cluster, addAllowPatterns);
ZEND_METHOD(Kelvo_Cluster, addIgnorePatterns);
ZEND_METHOD(Kelvo_Cluster, append);
ZEND_METHOD(Kelvo_Cluster, bgrewriteaof);
ZEND_METHOD(Kelvo_Cluster, wait);
ZEND_METHOD(Kelvo_Cluster, waitaof);
ZEND_METHOD(Kelvo_Cluster, bgsave);
ZEND_METHOD(Kelvo_Cluster, bitcount);
ZEND_METHOD(Kelvo_Cluster, bitop);
ZEND_METHOD(Kelvo_Cluster, bitpos);
ZEND_METHOD(Kelvo_Cluster, blmove);
ZEND_METHOD(Kelvo_Cluster, blmovem);
ZEND_METHOD(Kelvo_Cluster, blmpop);
ZEND_METHOD(Kelvo_Cluster, blpop);
ZEND_METHOD(Kelvo_Cluster, brpop);
ZEND_METHOD(Kelvo_Cluster, brpoplpush);
ZEND_METHOD(Kelvo_Cluster, bzmpop);
ZEND_METHOD(Kelvo_Cluster, bzpopmax);
ZEND_METHOD(Kelvo_Cluster, bzpopmin);
ZEND_METHOD(Kelvo_Cluster, clearLastError);
ZEND_METHOD(Kelvo_Cluster, clearTransferredBytes);
ZEND_METHOD(Kelvo_Cluster, client);
ZEND_METHOD(Kelvo_Cluster, close);
ZEND_METHOD(Kelvo_Cluster, cluster);
ZEND_METHOD(Kelvo_Cluster, clusterscan);
ZEND_METHOD(Kelvo_Cluster, config);
ZEND_METHOD(Kelvo_Cluster, command);
ZEND_METHOD(Kelvo_Cluster, copy);
ZEND_METHOD(Kelvo_Cluster, dbsize);
ZEND_METHOD(Kelvo_Cluster, decr);
ZEND_METHOD(Kelvo_Cluster, decrby);
ZEND_METHOD(Kelvo_Cluster, del);
ZEND_METHOD(Kelvo_Cluster, delex);
ZEND_METHOD(Kelvo_Cluster, delifeq);
ZEND_METHOD(Kelvo_Cluster, discard);
ZEND_METHOD(Kelvo_Cluster, dispatchEvents);
ZEND_METHOD(Kelvo_Cluster, digest);
ZEND_METHOD(Kelvo_Cluster, dump);
ZEND_METHOD(Kelvo_Cluster, echo);
ZEND_METHOD(Kelvo_Cluster, endpointId);
ZEND_METHOD(Kelvo_Cluster, eval);
ZEND_METHOD(Kelvo_Cluster, eval_ro);
ZEND_METHOD(Kelvo_Cluster, evalsha);
ZEND_METHOD(Kelvo_Cluster, evalsha_ro);
ZEND_METHOD(Kelvo_Cluster, exec);
ZEND_METHOD(Kelvo_Cluster, exists);
ZEND_METHOD(Kelvo_Cluster, expire);
ZEND_METHOD(Kelvo_Cluster, expireat);
ZEND_METHOD(Kelvo_Cluster, expiretime);
ZEND_METHOD(Kelvo_Cluster, flushMemory);
ZEND_METHOD(Kelvo_Cluster, flushall);
ZEND_METHOD(Kelvo_Cluster, flushdb);
ZEND_METHOD(Kelvo_Cluster, flushSlotCache);
ZEND_METHOD(Kelvo_Cluster, geoadd);
ZEND_METHOD(Kelvo_Cluster, geodist);
ZEND_METHOD(Kelvo_Cluster, geohash);
ZEND_METHOD(Kelvo_Cluster, geopos);
ZEND_METHOD(Kelvo_Cluster, georadius);
ZEND_METHOD(Kelvo_Cluster, georadius_ro);
ZEND_METHOD(Kelvo_Cluster, georadiusbymember);
ZEND_METHOD(Kelvo_Cluster, georadiusbymember_ro);
ZEND_METHOD(Kelvo_Cluster, geosearch);
ZEND_METHOD(Kelvo_Cluster, geosearchstore);
ZEND_METHOD(Kelvo_Cluster, gcra);
ZEND_METHOD(Kelvo_Cluster, get);
ZEND_METHOD(Kelvo_Cluster, getWithMeta);
ZEND_METHOD(Kelvo_Cluster, getbit);
ZEND_METHOD(Kelvo_Cluster, getex);
ZEND_METHOD(Kelvo_Cluster, getdel);
ZEND_METHOD(Kelvo_Cluster, getDbNum);
ZEND_METHOD(Kelvo_Cluster, getLastError);
ZEND_METHOD(Kelvo_Cluster, getMode);
ZEND_METHOD(Kelvo_Cluster, getOption);
ZEND_METHOD(Kelvo_Cluster, getTransferredBytes);
ZEND_METHOD(Kelvo_Cluster, getrange);
ZEND_METHOD(Kelvo_Cluster, getset);
ZEND_METHOD(Kelvo_Cluster, hdel);
ZEND_METHOD(Kelvo_Cluster, hexists);
ZEND_METHOD(Kelvo_Cluster, hexpire);
ZEND_METHOD(Kelvo_Cluster, hpexpire);
ZEND_METHOD(Kelvo_Cluster, hexpireat);
ZEND_METHOD(Kelvo_Cluster, hpexpireat);
ZEND_METHOD(Kelvo_Cluster, httl);
ZEND_METHOD(Kelvo_Cluster, hpttl);
ZEND_METHOD(Kelvo_Cluster, hexpiretime);
ZEND_METHOD(Kelvo_Cluster, hpexpiretime);
ZEND_METHOD(Kelvo_Cluster, hpersist);
ZEND_METHOD(Kelvo_Cluster, hget);
ZEND_METHOD(Kelvo_Cluster, hgetall);
ZEND_METHOD(Kelvo_Cluster, hgetWithMeta);
ZEND_METHOD(Kelvo_Cluster, hincrby);
ZEND_METHOD(Kelvo_Cluster, hincrbyfloat);
ZEND_METHOD(Kelvo_Cluster, hkeys);
ZEND_METHOD(Kelvo_Cluster, hlen);
ZEND_METHOD(Kelvo_Cluster, hmget);
ZEND_METHOD(Kelvo_Cluster, hgetdel);
ZEND_METHOD(Kelvo_Cluster, hmset);
ZEND_METHOD(Kelvo_Cluster, hrandfield);
ZEND_METHOD(Kelvo_Cluster, hscan);
ZEND_METHOD(Kelvo_Cluster, hset);
ZEND_METHOD(Kelvo_Cluster, hsetex);
ZEND_METHOD(Kelvo_Cluster, hsetnx);
ZEND_METHOD(Kelvo_Cluster, hstrlen);
ZEND_METHOD(Kelvo_Cluster, hgetex);
ZEND_METHOD(Kelvo_Cluster, hvals);
ZEND_METHOD(Kelvo_Cluster, incr);
ZEND_METHOD(Kelvo_Cluster, incrby);
ZEND_METHOD(Kelvo_Cluster, incrbyfloat);
ZEND_METHOD(Kelvo_Cluster, increx);
ZEND_METHOD(Kelvo_Cluster, info);
ZEND_METHOD(Kelvo_Cluster, invalidateSlotCaches);
ZEND_METHOD(Kelvo_Cluster, keys);
ZEND_METHOD(Kelvo_Cluster, lastMemoryFlush);
ZEND_METHOD(Kelvo_Cluster, lastsave);
ZEND_METHOD(Kelvo_Cluster, lcs);
ZEND_METHOD(Kelvo_Cluster, lindex);
ZEND_METHOD(Kelvo_Cluster, linsert);
ZEND_METHOD(Kelvo_Cluster, listen);
ZEND_METHOD(Kelvo_Cluster, llen);
ZEND_METHOD(Kelvo_Cluster, lmove);
ZEND_METHOD(Kelvo_Cluster, lmovem);
ZEND_METHOD(Kelvo_Cluster, lmpop);
ZEND_METHOD(Kelvo_Cluster, lpop);
ZEND_METHOD(Kelvo_Cluster, lpos);
ZEND_METHOD(Kelvo_Cluster, lpush);
ZEND_METHOD(Kelvo_Cluster, lpushx);
ZEND_METHOD(Kelvo_Cluster, lrange);
ZEND_METHOD(Kelvo_Cluster, lrem);
ZEND_METHOD(Kelvo_Cluster, lset);
ZEND_METHOD(Kelvo_Cluster, ltrim);
ZEND_METHOD(Kelvo_Cluster, maxMemory);
ZEND_METHOD(Kelvo_Cluster, mget);
ZEND_METHOD(Kelvo_Cluster, mset);
ZEND_METHOD(Kelvo_Cluster, msetnx);
ZEND_METHOD(Kelvo_Cluster, multi);
ZEND_METHOD(Kelvo_Cluster, move);
ZEND_METHOD(Kelvo_Cluster, object);
ZEND_METHOD(Kelvo_Cluster, onFlushed);
ZEND_METHOD(Kelvo_Cluster, onInvalidated);
ZEND_METHOD(Kelvo_Cluster, persist);
ZEND_METHOD(Kelvo_Cluster, pexpire);
ZEND_METHOD(Kelvo_Cluster, pexpireat);
ZEND_METHOD(Kelvo_Cluster, pexpiretime);
ZEND_METHOD(Kelvo_Cluster, pfadd);
ZEND_METHOD(Kelvo_Cluster, pfcount);
ZEND_METHOD(Kelvo_Cluster, pfmerge);
ZEND_METHOD(Kelvo_Cluster, ping);
ZEND_METHOD(Kelvo_Cluster, psetex);
ZEND_METHOD(Kelvo_Cluster, psubscribe);
ZEND_METHOD(Kelvo_Cluster, pttl);
ZEND_METHOD(Kelvo_Cluster, publish);
ZEND_METHOD(Kelvo_Cluster, pubsub);
ZEND_METHOD(Kelvo_Cluster, punsubscribe);
ZEND_METHOD(Kelvo_Cluster, randomkey);
ZEND_METHOD(Kelvo_Cluster, rawCommand);
ZEND_METHOD(Kelvo_Cluster, rename);
ZEND_METHOD(Kelvo_Cluster, renamenx);
ZEND_METHOD(Kelvo_Cluster, restore);
ZEND_METHOD(Kelvo_Cluster, role);
ZEND_METHOD(Kelvo_Cluster, rpop);
ZEND_METHOD(Kelvo_Cluster, rpoplpush);
ZEND_METHOD(Kelvo_Cluster, rpush);
ZEND_METHOD(Kelvo_Cluster, rpushx);
ZEND_METHOD(Kelvo_Cluster, sadd);
ZEND_METHOD(Kelvo_Cluster, save);
ZEND_METHOD(Kelvo_Cluster, scan);
ZEND_METHOD(Kelvo_Cluster, fullscan);
ZEND_METHOD(Kelvo_Cluster, scard);
ZEND_METHOD(Kelvo_Cluster, script);
ZEND_METHOD(Kelvo_Cluster, sdiff);
ZEND_METHOD(Kelvo_Cluster, sdiffcard);
ZEND_METHOD(Kelvo_Cluster, sdiffstore);
ZEND_METHOD(Kelvo_Cluster, select);
ZEND_METHOD(Kelvo_Cluster, set);
ZEND_METHOD(Kelvo_Cluster, setOption);
ZEND_METHOD(Kelvo_Cluster, setbit);
ZEND_METHOD(Kelvo_Cluster, setex);
ZEND_METHOD(Kelvo_Cluster, setnx);
ZEND_METHOD(Kelvo_Cluster, setrange);
ZEND_METHOD(Kelvo_Cluster, sinter);
ZEND_METHOD(Kelvo_Cluster, sintercard);
ZEND_METHOD(Kelvo_Cluster, sinterstore);
ZEND_METHOD(Kelvo_Cluster, sismember);
ZEND_METHOD(Kelvo_Cluster, slowlog);
ZEND_METHOD(Kelvo_Cluster, smembers);
ZEND_METHOD(Kelvo_Cluster, smismember);
ZEND_METHOD(Kelvo_Cluster, smove);
ZEND_METHOD(Kelvo_Cluster, sort);
ZEND_METHOD(Kelvo_Cluster, sort_ro);
ZEND_METHOD(Kelvo_Cluster, spop);
ZEND_METHOD(Kelvo_Cluster, srandmember);
ZEND_METHOD(Kelvo_Cluster, srem);
ZEND_METHOD(Kelvo_Cluster, sscan);
ZEND_METHOD(Kelvo_Cluster, ssubscribe);
ZEND_METHOD(Kelvo_Cluster, stats);
ZEND_METHOD(Kelvo_Cluster, strlen);
ZEND_METHOD(Kelvo_Cluster, subscribe);
ZEND_METHOD(Kelvo_Cluster, sunion);
ZEND_METHOD(Kelvo_Cluster, sunioncard);
ZEND_METHOD(Kelvo_Cluster, sunionstore);
ZEND_METHOD(Kelvo_Cluster, sunsubscribe);
ZEND_METHOD(Kelvo_Cluster, time);
ZEND_METHOD(Kelvo_Cluster, touch);
ZEND_METHOD(Kelvo_Cluster, ttl);
ZEND_METHOD(Kelvo_Cluster, type);
ZEND_METHOD(Kelvo_Cluster, unlink);
ZEND_METHOD(Kelvo_Cluster, unsubscribe);
ZEND_METHOD(Kelvo_Cluster, unwatch);
ZEND_METHOD(Kelvo_Cluster, vadd);
ZEND_METHOD(Kelvo_Cluster, vcard);
ZEND_METHOD(Kelvo_Cluster, vdim);
ZEND_METHOD(Kelvo_Cluster, vemb);
ZEND_METHOD(Kelvo_Cluster, vgetattr);
ZEND_METHOD(Kelvo_Cluster, vinfo);
ZEND_METHOD(Kelvo_Cluster, vismember);
ZEND_METHOD(Kelvo_Cluster, vlinks);
ZEND_METHOD(Kelvo_Cluster, vrandmember);
ZEND_METHOD(Kelvo_Cluster, vrange);
ZEND_METHOD(Kelvo_Cluster, vrem);
ZEND_METHOD(Kelvo_Cluster, vsetattr);
ZEND_METHOD(Kelvo_Cluster, vsim);
ZEND_METHOD(Kelvo_Cluster, watch);
ZEND_METHOD(Kelvo_Cluster, xack);
ZEND_METHOD(Kelvo_Cluster, xnack);
ZEND_METHOD(Kelvo_Cluster, xackdel);
ZEND_METHOD(Kelvo_Cluster, xadd);
ZEND_METHOD(Kelvo_Cluster, xautoclaim);
ZEND_METHOD(Kelvo_Cluster, xclaim);
ZEND_METHOD(Kelvo_Cluster, xdel);
ZEND_METHOD(Kelvo_Cluster, xdelex);
ZEND_METHOD(Kelvo_Cluster, xgroup);
ZEND_METHOD(Kelvo_Cluster, xinfo);
ZEND_METHOD(Kelvo_Cluster, xlen);
ZEND_METHOD(Kelvo_Cluster, xpending);
ZEND_METHOD(Kelvo_Cluster, xrange);
ZEND_METHOD(Kelvo_Cluster, xread);
ZEND_METHOD(Kelvo_Cluster, xreadgroup);
ZEND_METHOD(Kelvo_Cluster, xrevrange);
ZEND_METHOD(Kelvo_Cluster, xtrim);
ZEND_METHOD(Kelvo_Cluster, zadd);
ZEND_METHOD(Kelvo_Cluster, zcard);
ZEND_METHOD(Kelvo_Cluster, zcount);
ZEND_METHOD(Kelvo_Cluster, zdiff);
ZEND_METHOD(Kelvo_Cluster, zdiffstore);
ZEND_METHOD(Kelvo_Cluster, zincrby);
ZEND_METHOD(Kelvo_Cluster, zinter);
ZEND_METHOD(Kelvo_Cluster, zintercard);
ZEND_METHOD(Kelvo_Cluster, zinterstore);
ZEND_METHOD(Kelvo_Cluster, zlexcount);
ZEND_METHOD(Kelvo_Cluster, zmpop);
ZEND_METHOD(Kelvo_Cluster, zmscore);
ZEND_METHOD(Kelvo_Cluster, zpopmax);
ZEND_METHOD(Kelvo_Cluster, zpopmin);
ZEND_METHOD(Kelvo_Cluster, zrandmember);
ZEND_METHOD(Kelvo_Cluster, zrange);
ZEND_METHOD(Kelvo_Cluster, zrangebylex);
ZEND_METHOD(Kelvo_Cluster, zrangebyscore);
ZEND_METHOD(Kelvo_Cluster, zrangestore);
ZEND_METHOD(Kelvo_Cluster, zrank);
ZEND_METHOD(Kelvo_Cluster, zrem);
ZEND_METHOD(Kelvo_Cluster, zremrangebylex);
ZEND_METHOD(Kelvo_Cluster, zremrangebyrank);
ZEND_METHOD(Kelvo_Cluster, zremrangebyscore);
ZEND_METHOD(Kelvo_Cluster, zrevrange);
ZEND_METHOD(Kelvo_Cluster, zrevrangebylex);
ZEND_METHOD(Kelvo_Cluster, zrevrangebyscore);
ZEND_METHOD(Kelvo_Cluster, zrevrank);
ZEND_METHOD(Kelvo_Cluster, zscan);
ZEND_METHOD(Kelvo_Cluster, zscore);
ZEND_METHOD(Kelvo_Cluster, zunion);
ZEND_METHOD(Kelvo_Cluster, zunionstore);
ZEND_METHOD(Kelvo_Cluster_FullscanGenerator, current);
ZEND_METHOD(Kelvo_Cluster_FullscanGenerator, key);
ZEND_METHOD(Kelvo_Cluster_FullscanGenerator, next);
ZEND_METHOD(Kelvo_Cluster_FullscanGenerator, valid);
ZEND_METHOD(Kelvo_Cluster_FullscanGenerator, rewind);
ZEND_METHOD(Kelvo_Cluster_FullscanGenerator, send);
ZEND_METHOD(Kelvo_Cluster_FullscanGenerator, throw);
ZEND_METHOD(Kelvo_Cluster_FullscanGenerator, getReturn);


static const zend_function_entry class_Kelvo_Cluster_methods[] = {
	ZEND_ME(Kelvo_Cluster, __construct, arginfo_class_Kelvo_Cluster___construct, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Cluster, _compress, arginfo_class_Kelvo_Cluster__compress, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Cluster, idleTime, arginfo_class_Kelvo_Cluster_idleTime, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Cluster, _getKeys, arginfo_class_Kelvo_Cluster__getKeys, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Cluster, _masters, arginfo_class_Kelvo_Cluster__masters, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Cluster, _pack, arginfo_class_Kelvo_Cluster__pack, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Cluster, _digest, arginfo_class_Kelvo_Cluster__digest, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Cluster, _prefix, arginfo_class_Kelvo_Cluster__prefix, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Cluster, _serialize, arginfo_class_Kelvo_Cluster__serialize, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Cluster, _uncompress, arginfo_class_Kelvo_Cluster__uncompress, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Cluster, _unpack, arginfo_class_Kelvo_Cluster__unpack, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Cluster, _unserialize, arginfo_class_Kelvo_Cluster__unserialize, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Cluster, acl, arginfo_class_Kelvo_Cluster_acl, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Cluster, addAllowPatterns, arginfo_class_Kelvo_Cluster_addAllowPatterns, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Cluster, addIgnorePatterns, arginfo_class_Kelvo_Cluster_addIgnorePatterns, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Cluster, append, arginfo_class_Kelvo_Cluster_append, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Cluster, bgrewriteaof, arginfo_class_Kelvo_Cluster_bgrewriteaof, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Cluster, wait, arginfo_class_Kelvo_Cluster_wait, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Cluster, waitaof, arginfo_class_Kelvo_Cluster_waitaof, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Cluster, bgsave, arginfo_class_Kelvo_Cluster_bgsave, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Cluster, bitcount, arginfo_class_Kelvo_Cluster_bitcount, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Cluster, bitop, arginfo_class_Kelvo_Cluster_bitop, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Cluster, bitpos, arginfo_class_Kelvo_Cluster_bitpos, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Cluster, blmove, arginfo_class_Kelvo_Cluster_blmove, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Cluster, blmovem, arginfo_class_Kelvo_Cluster_blmovem, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Cluster, blmpop, arginfo_class_Kelvo_Cluster_blmpop, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Cluster, blpop, arginfo_class_Kelvo_Cluster_blpop, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Cluster, brpop, arginfo_class_Kelvo_Cluster_brpop, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Cluster, brpoplpush, arginfo_class_Kelvo_Cluster_brpoplpush, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Cluster, bzmpop, arginfo_class_Kelvo_Cluster_bzmpop, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Cluster, bzpopmax, arginfo_class_Kelvo_Cluster_bzpopmax, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Cluster, bzpopmin, arginfo_class_Kelvo_Cluster_bzpopmin, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Cluster, clearLastError, arginfo_class_Kelvo_Cluster_clearLastError, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Cluster, clearTransferredBytes, arginfo_class_Kelvo_Cluster_clearTransferredBytes, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Cluster, client, arginfo_class_Kelvo_Cluster_client, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Cluster, close, arginfo_class_Kelvo_Cluster_close, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Cluster, cluster, arginfo_class_Kelvo_Cluster_cluster, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Cluster, clusterscan, arginfo_class_Kelvo_Cluster_clusterscan, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Cluster, config, arginfo_class_Kelvo_Cluster_config, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Cluster, command, arginfo_class_Kelvo_Cluster_command, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Cluster, copy, arginfo_class_Kelvo_Cluster_copy, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Cluster, dbsize, arginfo_class_Kelvo_Cluster_dbsize, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Cluster, decr, arginfo_class_Kelvo_Cluster_decr, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Cluster, decrby, arginfo_class_Kelvo_Cluster_decrby, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Cluster, del, arginfo_class_Kelvo_Cluster_del, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Cluster, delex, arginfo_class_Kelvo_Cluster_delex, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Cluster, delifeq, arginfo_class_Kelvo_Cluster_delifeq, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Cluster, discard, arginfo_class_Kelvo_Cluster_discard, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Cluster, dispatchEvents, arginfo_class_Kelvo_Cluster_dispatchEvents, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Cluster, digest, arginfo_class_Kelvo_Cluster_digest, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Cluster, dump, arginfo_class_Kelvo_Cluster_dump, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Cluster, echo, arginfo_class_Kelvo_Cluster_echo, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Cluster, endpointId, arginfo_class_Kelvo_Cluster_endpointId, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Cluster, eval, arginfo_class_Kelvo_Cluster_eval, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Cluster, eval_ro, arginfo_class_Kelvo_Cluster_eval_ro, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Cluster, evalsha, arginfo_class_Kelvo_Cluster_evalsha, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Cluster, evalsha_ro, arginfo_class_Kelvo_Cluster_evalsha_ro, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Cluster, exec, arginfo_class_Kelvo_Cluster_exec, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Cluster, exists, arginfo_class_Kelvo_Cluster_exists, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Cluster, expire, arginfo_class_Kelvo_Cluster_expire, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Cluster, expireat, arginfo_class_Kelvo_Cluster_expireat, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Cluster, expiretime, arginfo_class_Kelvo_Cluster_expiretime, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Cluster, flushMemory, arginfo_class_Kelvo_Cluster_flushMemory, ZEND_ACC_PUBLIC|ZEND_ACC_STATIC)
	ZEND_ME(Kelvo_Cluster, flushall, arginfo_class_Kelvo_Cluster_flushall, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Cluster, flushdb, arginfo_class_Kelvo_Cluster_flushdb, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Cluster, flushSlotCache, arginfo_class_Kelvo_Cluster_flushSlotCache, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Cluster, geoadd, arginfo_class_Kelvo_Cluster_geoadd, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Cluster, geodist, arginfo_class_Kelvo_Cluster_geodist, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Cluster, geohash, arginfo_class_Kelvo_Cluster_geohash, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Cluster, geopos, arginfo_class_Kelvo_Cluster_geopos, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Cluster, georadius, arginfo_class_Kelvo_Cluster_georadius, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Cluster, georadius_ro, arginfo_class_Kelvo_Cluster_georadius_ro, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Cluster, georadiusbymember, arginfo_class_Kelvo_Cluster_georadiusbymember, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Cluster, georadiusbymember_ro, arginfo_class_Kelvo_Cluster_georadiusbymember_ro, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Cluster, geosearch, arginfo_class_Kelvo_Cluster_geosearch, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Cluster, geosearchstore, arginfo_class_Kelvo_Cluster_geosearchstore, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Cluster, gcra, arginfo_class_Kelvo_Cluster_gcra, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Cluster, get, arginfo_class_Kelvo_Cluster_get, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Cluster, getWithMeta, arginfo_class_Kelvo_Cluster_getWithMeta, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Cluster, getbit, arginfo_class_Kelvo_Cluster_getbit, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Cluster, getex, arginfo_class_Kelvo_Cluster_getex, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Cluster, getdel, arginfo_class_Kelvo_Cluster_getdel, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Cluster, getDbNum, arginfo_class_Kelvo_Cluster_getDbNum, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Cluster, getLastError, arginfo_class_Kelvo_Cluster_getLastError, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Cluster, getMode, arginfo_class_Kelvo_Cluster_getMode, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Cluster, getOption, arginfo_class_Kelvo_Cluster_getOption, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Cluster, getTransferredBytes, arginfo_class_Kelvo_Cluster_getTransferredBytes, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Cluster, getrange, arginfo_class_Kelvo_Cluster_getrange, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Cluster, getset, arginfo_class_Kelvo_Cluster_getset, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Cluster, hdel, arginfo_class_Kelvo_Cluster_hdel, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Cluster, hexists, arginfo_class_Kelvo_Cluster_hexists, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Cluster, hexpire, arginfo_class_Kelvo_Cluster_hexpire, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Cluster, hpexpire, arginfo_class_Kelvo_Cluster_hpexpire, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Cluster, hexpireat, arginfo_class_Kelvo_Cluster_hexpireat, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Cluster, hpexpireat, arginfo_class_Kelvo_Cluster_hpexpireat, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Cluster, httl, arginfo_class_Kelvo_Cluster_httl, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Cluster, hpttl, arginfo_class_Kelvo_Cluster_hpttl, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Cluster, hexpiretime, arginfo_class_Kelvo_Cluster_hexpiretime, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Cluster, hpexpiretime, arginfo_class_Kelvo_Cluster_hpexpiretime, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Cluster, hpersist, arginfo_class_Kelvo_Cluster_hpersist, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Cluster, hget, arginfo_class_Kelvo_Cluster_hget, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Cluster, hgetall, arginfo_class_Kelvo_Cluster_hgetall, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Cluster, hgetWithMeta, arginfo_class_Kelvo_Cluster_hgetWithMeta, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Cluster, hincrby, arginfo_class_Kelvo_Cluster_hincrby, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Cluster, hincrbyfloat, arginfo_class_Kelvo_Cluster_hincrbyfloat, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Cluster, hkeys, arginfo_class_Kelvo_Cluster_hkeys, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Cluster, hlen, arginfo_class_Kelvo_Cluster_hlen, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Cluster, hmget, arginfo_class_Kelvo_Cluster_hmget, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Cluster, hgetdel, arginfo_class_Kelvo_Cluster_hgetdel, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Cluster, hmset, arginfo_class_Kelvo_Cluster_hmset, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Cluster, hrandfield, arginfo_class_Kelvo_Cluster_hrandfield, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Cluster, hscan, arginfo_class_Kelvo_Cluster_hscan, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Cluster, hset, arginfo_class_Kelvo_Cluster_hset, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Cluster, hsetex, arginfo_class_Kelvo_Cluster_hsetex, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Cluster, hsetnx, arginfo_class_Kelvo_Cluster_hsetnx, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Cluster, hstrlen, arginfo_class_Kelvo_Cluster_hstrlen, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Cluster, hgetex, arginfo_class_Kelvo_Cluster_hgetex, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Cluster, hvals, arginfo_class_Kelvo_Cluster_hvals, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Cluster, incr, arginfo_class_Kelvo_Cluster_incr, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Cluster, incrby, arginfo_class_Kelvo_Cluster_incrby, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Cluster, incrbyfloat, arginfo_class_Kelvo_Cluster_incrbyfloat, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Cluster, increx, arginfo_class_Kelvo_Cluster_increx, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Cluster, info, arginfo_class_Kelvo_Cluster_info, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Cluster, invalidateSlotCaches, arginfo_class_Kelvo_Cluster_invalidateSlotCaches, ZEND_ACC_PUBLIC|ZEND_ACC_STATIC)
	ZEND_ME(Kelvo_Cluster, keys, arginfo_class_Kelvo_Cluster_keys, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Cluster, lastMemoryFlush, arginfo_class_Kelvo_Cluster_lastMemoryFlush, ZEND_ACC_PUBLIC|ZEND_ACC_STATIC)
	ZEND_ME(Kelvo_Cluster, lastsave, arginfo_class_Kelvo_Cluster_lastsave, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Cluster, lcs, arginfo_class_Kelvo_Cluster_lcs, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Cluster, lindex, arginfo_class_Kelvo_Cluster_lindex, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Cluster, linsert, arginfo_class_Kelvo_Cluster_linsert, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Cluster, listen, arginfo_class_Kelvo_Cluster_listen, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Cluster, llen, arginfo_class_Kelvo_Cluster_llen, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Cluster, lmove, arginfo_class_Kelvo_Cluster_lmove, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Cluster, lmovem, arginfo_class_Kelvo_Cluster_lmovem, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Cluster, lmpop, arginfo_class_Kelvo_Cluster_lmpop, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Cluster, lpop, arginfo_class_Kelvo_Cluster_lpop, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Cluster, lpos, arginfo_class_Kelvo_Cluster_lpos, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Cluster, lpush, arginfo_class_Kelvo_Cluster_lpush, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Cluster, lpushx, arginfo_class_Kelvo_Cluster_lpushx, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Cluster, lrange, arginfo_class_Kelvo_Cluster_lrange, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Cluster, lrem, arginfo_class_Kelvo_Cluster_lrem, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Cluster, lset, arginfo_class_Kelvo_Cluster_lset, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Cluster, ltrim, arginfo_class_Kelvo_Cluster_ltrim, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Cluster, maxMemory, arginfo_class_Kelvo_Cluster_maxMemory, ZEND_ACC_PUBLIC|ZEND_ACC_STATIC)
	ZEND_ME(Kelvo_Cluster, mget, arginfo_class_Kelvo_Cluster_mget, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Cluster, mset, arginfo_class_Kelvo_Cluster_mset, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Cluster, msetnx, arginfo_class_Kelvo_Cluster_msetnx, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Cluster, multi, arginfo_class_Kelvo_Cluster_multi, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Cluster, move, arginfo_class_Kelvo_Cluster_move, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Cluster, object, arginfo_class_Kelvo_Cluster_object, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Cluster, onFlushed, arginfo_class_Kelvo_Cluster_onFlushed, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Cluster, onInvalidated, arginfo_class_Kelvo_Cluster_onInvalidated, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Cluster, persist, arginfo_class_Kelvo_Cluster_persist, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Cluster, pexpire, arginfo_class_Kelvo_Cluster_pexpire, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Cluster, pexpireat, arginfo_class_Kelvo_Cluster_pexpireat, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Cluster, pexpiretime, arginfo_class_Kelvo_Cluster_pexpiretime, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Cluster, pfadd, arginfo_class_Kelvo_Cluster_pfadd, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Cluster, pfcount, arginfo_class_Kelvo_Cluster_pfcount, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Cluster, pfmerge, arginfo_class_Kelvo_Cluster_pfmerge, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Cluster, ping, arginfo_class_Kelvo_Cluster_ping, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Cluster, psetex, arginfo_class_Kelvo_Cluster_psetex, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Cluster, psubscribe, arginfo_class_Kelvo_Cluster_psubscribe, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Cluster, pttl, arginfo_class_Kelvo_Cluster_pttl, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Cluster, publish, arginfo_class_Kelvo_Cluster_publish, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Cluster, pubsub, arginfo_class_Kelvo_Cluster_pubsub, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Cluster, punsubscribe, arginfo_class_Kelvo_Cluster_punsubscribe, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Cluster, randomkey, arginfo_class_Kelvo_Cluster_randomkey, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Cluster, rawCommand, arginfo_class_Kelvo_Cluster_rawCommand, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Cluster, rename, arginfo_class_Kelvo_Cluster_rename, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Cluster, renamenx, arginfo_class_Kelvo_Cluster_renamenx, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Cluster, restore, arginfo_class_Kelvo_Cluster_restore, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Cluster, role, arginfo_class_Kelvo_Cluster_role, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Cluster, rpop, arginfo_class_Kelvo_Cluster_rpop, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Cluster, rpoplpush, arginfo_class_Kelvo_Cluster_rpoplpush, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Cluster, rpush, arginfo_class_Kelvo_Cluster_rpush, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Cluster, rpushx, arginfo_class_Kelvo_Cluster_rpushx, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Cluster, sadd, arginfo_class_Kelvo_Cluster_sadd, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Cluster, save, arginfo_class_Kelvo_Cluster_save, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Cluster, scan, arginfo_class_Kelvo_Cluster_scan, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Cluster, fullscan, arginfo_class_Kelvo_Cluster_fullscan, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Cluster, scard, arginfo_class_Kelvo_Cluster_scard, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Cluster, script, arginfo_class_Kelvo_Cluster_script, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Cluster, sdiff, arginfo_class_Kelvo_Cluster_sdiff, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Cluster, sdiffcard, arginfo_class_Kelvo_Cluster_sdiffcard, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Cluster, sdiffstore, arginfo_class_Kelvo_Cluster_sdiffstore, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Cluster, select, arginfo_class_Kelvo_Cluster_select, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Cluster, set, arginfo_class_Kelvo_Cluster_set, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Cluster, setOption, arginfo_class_Kelvo_Cluster_setOption, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Cluster, setbit, arginfo_class_Kelvo_Cluster_setbit, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Cluster, setex, arginfo_class_Kelvo_Cluster_setex, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Cluster, setnx, arginfo_class_Kelvo_Cluster_setnx, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Cluster, setrange, arginfo_class_Kelvo_Cluster_setrange, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Cluster, sinter, arginfo_class_Kelvo_Cluster_sinter, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Cluster, sintercard, arginfo_class_Kelvo_Cluster_sintercard, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Cluster, sinterstore, arginfo_class_Kelvo_Cluster_sinterstore, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Cluster, sismember, arginfo_class_Kelvo_Cluster_sismember, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Cluster, slowlog, arginfo_class_Kelvo_Cluster_slowlog, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Cluster, smembers, arginfo_class_Kelvo_Cluster_smembers, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Cluster, smismember, arginfo_class_Kelvo_Cluster_smismember, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Cluster, smove, arginfo_class_Kelvo_Cluster_smove, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Cluster, sort, arginfo_class_Kelvo_Cluster_sort, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Cluster, sort_ro, arginfo_class_Kelvo_Cluster_sort_ro, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Cluster, spop, arginfo_class_Kelvo_Cluster_spop, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Cluster, srandmember, arginfo_class_Kelvo_Cluster_srandmember, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Cluster, srem, arginfo_class_Kelvo_Cluster_srem, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Cluster, sscan, arginfo_class_Kelvo_Cluster_sscan, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Cluster, ssubscribe, arginfo_class_Kelvo_Cluster_ssubscribe, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Cluster, stats, arginfo_class_Kelvo_Cluster_stats, ZEND_ACC_PUBLIC|ZEND_ACC_STATIC)
	ZEND_ME(Kelvo_Cluster, strlen, arginfo_class_Kelvo_Cluster_strlen, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Cluster, subscribe, arginfo_class_Kelvo_Cluster_subscribe, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Cluster, sunion, arginfo_class_Kelvo_Cluster_sunion, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Cluster, sunioncard, arginfo_class_Kelvo_Cluster_sunioncard, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Cluster, sunionstore, arginfo_class_Kelvo_Cluster_sunionstore, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Cluster, sunsubscribe, arginfo_class_Kelvo_Cluster_sunsubscribe, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Cluster, time, arginfo_class_Kelvo_Cluster_time, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Cluster, touch, arginfo_class_Kelvo_Cluster_touch, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Cluster, ttl, arginfo_class_Kelvo_Cluster_ttl, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Cluster, type, arginfo_class_Kelvo_Cluster_type, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Cluster, unlink, arginfo_class_Kelvo_Cluster_unlink, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Cluster, unsubscribe, arginfo_class_Kelvo_Cluster_unsubscribe, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Cluster, unwatch, arginfo_class_Kelvo_Cluster_unwatch, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Cluster, vadd, arginfo_class_Kelvo_Cluster_vadd, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Cluster, vcard, arginfo_class_Kelvo_Cluster_vcard, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Cluster, vdim, arginfo_class_Kelvo_Cluster_vdim, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Cluster, vemb, arginfo_class_Kelvo_Cluster_vemb, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Cluster, vgetattr, arginfo_class_Kelvo_Cluster_vgetattr, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Cluster, vinfo, arginfo_class_Kelvo_Cluster_vinfo, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Cluster, vismember, arginfo_class_Kelvo_Cluster_vismember, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Cluster, vlinks, arginfo_class_Kelvo_Cluster_vlinks, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Cluster, vrandmember, arginfo_class_Kelvo_Cluster_vrandmember, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Cluster, vrange, arginfo_class_Kelvo_Cluster_vrange, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Cluster, vrem, arginfo_class_Kelvo_Cluster_vrem, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Cluster, vsetattr, arginfo_class_Kelvo_Cluster_vsetattr, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Cluster, vsim, arginfo_class_Kelvo_Cluster_vsim, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Cluster, watch, arginfo_class_Kelvo_Cluster_watch, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Cluster, xack, arginfo_class_Kelvo_Cluster_xack, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Cluster, xnack, arginfo_class_Kelvo_Cluster_xnack, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Cluster, xackdel, arginfo_class_Kelvo_Cluster_xackdel, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Cluster, xadd, arginfo_class_Kelvo_Cluster_xadd, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Cluster, xautoclaim, arginfo_class_Kelvo_Cluster_xautoclaim, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Cluster, xclaim, arginfo_class_Kelvo_Cluster_xclaim, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Cluster, xdel, arginfo_class_Kelvo_Cluster_xdel, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Cluster, xdelex, arginfo_class_Kelvo_Cluster_xdelex, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Cluster, xgroup, arginfo_class_Kelvo_Cluster_xgroup, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Cluster, xinfo, arginfo_class_Kelvo_Cluster_xinfo, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Cluster, xlen, arginfo_class_Kelvo_Cluster_xlen, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Cluster, xpending, arginfo_class_Kelvo_Cluster_xpending, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Cluster, xrange, arginfo_class_Kelvo_Cluster_xrange, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Cluster, xread, arginfo_class_Kelvo_Cluster_xread, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Cluster, xreadgroup, arginfo_class_Kelvo_Cluster_xreadgroup, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Cluster, xrevrange, arginfo_class_Kelvo_Cluster_xrevrange, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Cluster, xtrim, arginfo_class_Kelvo_Cluster_xtrim, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Cluster, zadd, arginfo_class_Kelvo_Cluster_zadd, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Cluster, zcard, arginfo_class_Kelvo_Cluster_zcard, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Cluster, zcount, arginfo_class_Kelvo_Cluster_zcount, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Cluster, zdiff, arginfo_class_Kelvo_Cluster_zdiff, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Cluster, zdiffstore, arginfo_class_Kelvo_Cluster_zdiffstore, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Cluster, zincrby, arginfo_class_Kelvo_Cluster_zincrby, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Cluster, zinter, arginfo_class_Kelvo_Cluster_zinter, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Cluster, zintercard, arginfo_class_Kelvo_Cluster_zintercard, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Cluster, zinterstore, arginfo_class_Kelvo_Cluster_zinterstore, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Cluster, zlexcount, arginfo_class_Kelvo_Cluster_zlexcount, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Cluster, zmpop, arginfo_class_Kelvo_Cluster_zmpop, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Cluster, zmscore, arginfo_class_Kelvo_Cluster_zmscore, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Cluster, zpopmax, arginfo_class_Kelvo_Cluster_zpopmax, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Cluster, zpopmin, arginfo_class_Kelvo_Cluster_zpopmin, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Cluster, zrandmember, arginfo_class_Kelvo_Cluster_zrandmember, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Cluster, zrange, arginfo_class_Kelvo_Cluster_zrange, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Cluster, zrangebylex, arginfo_class_Kelvo_Cluster_zrangebylex, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Cluster, zrangebyscore, arginfo_class_Kelvo_Cluster_zrangebyscore, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Cluster, zrangestore, arginfo_class_Kelvo_Cluster_zrangestore, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Cluster, zrank, arginfo_class_Kelvo_Cluster_zrank, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Cluster, zrem, arginfo_class_Kelvo_Cluster_zrem, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Cluster, zremrangebylex, arginfo_class_Kelvo_Cluster_zremrangebylex, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Cluster, zremrangebyrank, arginfo_class_Kelvo_Cluster_zremrangebyrank, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Cluster, zremrangebyscore, arginfo_class_Kelvo_Cluster_zremrangebyscore, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Cluster, zrevrange, arginfo_class_Kelvo_Cluster_zrevrange, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Cluster, zrevrangebylex, arginfo_class_Kelvo_Cluster_zrevrangebylex, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Cluster, zrevrangebyscore, arginfo_class_Kelvo_Cluster_zrevrangebyscore, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Cluster, zrevrank, arginfo_class_Kelvo_Cluster_zrevrank, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Cluster, zscan, arginfo_class_Kelvo_Cluster_zscan, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Cluster, zscore, arginfo_class_Kelvo_Cluster_zscore, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Cluster, zunion, arginfo_class_Kelvo_Cluster_zunion, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Cluster, zunionstore, arginfo_class_Kelvo_Cluster_zunionstore, ZEND_ACC_PUBLIC)
	ZEND_FE_END
};


static const zend_function_entry class_Kelvo_Cluster_FullscanGenerator_methods[] = {
	ZEND_ME(Kelvo_Cluster_FullscanGenerator, current, arginfo_class_Kelvo_Cluster_FullscanGenerator_current, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Cluster_FullscanGenerator, key, arginfo_class_Kelvo_Cluster_FullscanGenerator_key, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Cluster_FullscanGenerator, next, arginfo_class_Kelvo_Cluster_FullscanGenerator_next, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Cluster_FullscanGenerator, valid, arginfo_class_Kelvo_Cluster_FullscanGenerator_valid, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Cluster_FullscanGenerator, rewind, arginfo_class_Kelvo_Cluster_FullscanGenerator_rewind, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Cluster_FullscanGenerator, send, arginfo_class_Kelvo_Cluster_FullscanGenerator_send, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Cluster_FullscanGenerator, throw, arginfo_class_Kelvo_Cluster_FullscanGenerator_throw, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Cluster_FullscanGenerator, getReturn, arginfo_class_Kelvo_Cluster_FullscanGenerator_getReturn, ZEND_ACC_PUBLIC)
	ZEND_FE_END
};

static zend_class_entry *register_class_Kelvo_Cluster(void)
{
	zend_class_entry ce, *class_entry;

	INIT_NS_CLASS_ENTRY(ce, "Kelvo", "Cluster", class_Kelvo_Cluster_methods);
	class_entry = zend_register_internal_class_ex(&ce, NULL);

	zval const_OPT_DISTRIBUTE_value;
	ZVAL_LONG(&const_OPT_DISTRIBUTE_value, 16);
	zend_string *const_OPT_DISTRIBUTE_name = zend_string_init_interned("OPT_DISTRIBUTE", sizeof("OPT_DISTRIBUTE") - 1, 1);
	zend_declare_class_constant_ex(class_entry, const_OPT_DISTRIBUTE_name, &const_OPT_DISTRIBUTE_value, ZEND_ACC_PUBLIC, NULL);
	zend_string_release(const_OPT_DISTRIBUTE_name);

	zval const_DISTRIBUTE_NONE_value;
	ZVAL_LONG(&const_DISTRIBUTE_NONE_value, 0);
	zend_string *const_DISTRIBUTE_NONE_name = zend_string_init_interned("DISTRIBUTE_NONE", sizeof("DISTRIBUTE_NONE") - 1, 1);
	zend_declare_class_constant_ex(class_entry, const_DISTRIBUTE_NONE_name, &const_DISTRIBUTE_NONE_value, ZEND_ACC_PUBLIC, NULL);
	zend_string_release(const_DISTRIBUTE_NONE_name);

	zval const_DISTRIBUTE_RANDOM_value;
	ZVAL_LONG(&const_DISTRIBUTE_RANDOM_value, 1);
	zend_string *const_DISTRIBUTE_RANDOM_name = zend_string_init_interned("DISTRIBUTE_RANDOM", sizeof("DISTRIBUTE_RANDOM") - 1, 1);
	zend_declare_class_constant_ex(class_entry, const_DISTRIBUTE_RANDOM_name, &const_DISTRIBUTE_RANDOM_value, ZEND_ACC_PUBLIC, NULL);
	zend_string_release(const_DISTRIBUTE_RANDOM_name);

	zval const_DISTRIBUTE_RANDOM_REPLICA_value;
	ZVAL_LONG(&const_DISTRIBUTE_RANDOM_REPLICA_value, 2);
	zend_string *const_DISTRIBUTE_RANDOM_REPLICA_name = zend_string_init_interned("DISTRIBUTE_RANDOM_REPLICA", sizeof("DISTRIBUTE_RANDOM_REPLICA") - 1, 1);
	zend_declare_class_constant_ex(class_entry, const_DISTRIBUTE_RANDOM_REPLICA_name, &const_DISTRIBUTE_RANDOM_REPLICA_value, ZEND_ACC_PUBLIC, NULL);
	zend_string_release(const_DISTRIBUTE_RANDOM_REPLICA_name);

	zval const_DISTRIBUTE_REPLICAS_value;
	ZVAL_LONG(&const_DISTRIBUTE_REPLICAS_value, 3);
	zend_string *const_DISTRIBUTE_REPLICAS_name = zend_string_init_interned("DISTRIBUTE_REPLICAS", sizeof("DISTRIBUTE_REPLICAS") - 1, 1);
	zend_declare_class_constant_ex(class_entry, const_DISTRIBUTE_REPLICAS_name, &const_DISTRIBUTE_REPLICAS_value, ZEND_ACC_PUBLIC, NULL);
	zend_string_release(const_DISTRIBUTE_REPLICAS_name);

	zval const_DISTRIBUTE_ALL_value;
	ZVAL_LONG(&const_DISTRIBUTE_ALL_value, 4);
	zend_string *const_DISTRIBUTE_ALL_name = zend_string_init_interned("DISTRIBUTE_ALL", sizeof("DISTRIBUTE_ALL") - 1, 1);
	zend_declare_class_constant_ex(class_entry, const_DISTRIBUTE_ALL_name, &const_DISTRIBUTE_ALL_value, ZEND_ACC_PUBLIC, NULL);
	zend_string_release(const_DISTRIBUTE_ALL_name);

	zval const_OPT_SLAVE_FAILOVER_value;
	ZVAL_LONG(&const_OPT_SLAVE_FAILOVER_value, 5);
	zend_string *const_OPT_SLAVE_FAILOVER_name = zend_string_init_interned("OPT_SLAVE_FAILOVER", sizeof("OPT_SLAVE_FAILOVER") - 1, 1);
	zend_declare_class_constant_ex(class_entry, const_OPT_SLAVE_FAILOVER_name, &const_OPT_SLAVE_FAILOVER_value, ZEND_ACC_PUBLIC, NULL);
	zend_string_release(const_OPT_SLAVE_FAILOVER_name);

	zval const_OPT_REPLICA_FAILOVER_value;
	ZVAL_LONG(&const_OPT_REPLICA_FAILOVER_value, 5);
	zend_string *const_OPT_REPLICA_FAILOVER_name = zend_string_init_interned("OPT_REPLICA_FAILOVER", sizeof("OPT_REPLICA_FAILOVER") - 1, 1);
	zend_declare_class_constant_ex(class_entry, const_OPT_REPLICA_FAILOVER_name, &const_OPT_REPLICA_FAILOVER_value, ZEND_ACC_PUBLIC, NULL);
	zend_string_release(const_OPT_REPLICA_FAILOVER_name);

	zval const_OPT_FAILOVER_value;
	ZVAL_LONG(&const_OPT_FAILOVER_value, 17);
	zend_string *const_OPT_FAILOVER_name = zend_string_init_interned("OPT_FAILOVER", sizeof("OPT_FAILOVER") - 1, 1);
	zend_declare_class_constant_ex(class_entry, const_OPT_FAILOVER_name, &const_OPT_FAILOVER_value, ZEND_ACC_PUBLIC, NULL);
	zend_string_release(const_OPT_FAILOVER_name);

	zval const_FAILOVER_NONE_value;
	ZVAL_LONG(&const_FAILOVER_NONE_value, 0);
	zend_string *const_FAILOVER_NONE_name = zend_string_init_interned("FAILOVER_NONE", sizeof("FAILOVER_NONE") - 1, 1);
	zend_declare_class_constant_ex(class_entry, const_FAILOVER_NONE_name, &const_FAILOVER_NONE_value, ZEND_ACC_PUBLIC, NULL);
	zend_string_release(const_FAILOVER_NONE_name);

	zval const_FAILOVER_ERROR_value;
	ZVAL_LONG(&const_FAILOVER_ERROR_value, 1);
	zend_string *const_FAILOVER_ERROR_name = zend_string_init_interned("FAILOVER_ERROR", sizeof("FAILOVER_ERROR") - 1, 1);
	zend_declare_class_constant_ex(class_entry, const_FAILOVER_ERROR_name, &const_FAILOVER_ERROR_value, ZEND_ACC_PUBLIC, NULL);
	zend_string_release(const_FAILOVER_ERROR_name);

	zval const_FAILOVER_DISTRIBUTE_value;
	ZVAL_LONG(&const_FAILOVER_DISTRIBUTE_value, 2);
	zend_string *const_FAILOVER_DISTRIBUTE_name = zend_string_init_interned("FAILOVER_DISTRIBUTE", sizeof("FAILOVER_DISTRIBUTE") - 1, 1);
	zend_declare_class_constant_ex(class_entry, const_FAILOVER_DISTRIBUTE_name, &const_FAILOVER_DISTRIBUTE_value, ZEND_ACC_PUBLIC, NULL);
	zend_string_release(const_FAILOVER_DISTRIBUTE_name);

	zval const_FAILOVER_DISTRIBUTE_SLAVES_value;
	ZVAL_LONG(&const_FAILOVER_DISTRIBUTE_SLAVES_value, 3);
	zend_string *const_FAILOVER_DISTRIBUTE_SLAVES_name = zend_string_init_interned("FAILOVER_DISTRIBUTE_SLAVES", sizeof("FAILOVER_DISTRIBUTE_SLAVES") - 1, 1);
	zend_declare_class_constant_ex(class_entry, const_FAILOVER_DISTRIBUTE_SLAVES_name, &const_FAILOVER_DISTRIBUTE_SLAVES_value, ZEND_ACC_PUBLIC, NULL);
	zend_string_release(const_FAILOVER_DISTRIBUTE_SLAVES_name);

	zval const_FAILOVER_DISTRIBUTE_REPLICAS_value;
	ZVAL_LONG(&const_FAILOVER_DISTRIBUTE_REPLICAS_value, 3);
	zend_string *const_FAILOVER_DISTRIBUTE_REPLICAS_name = zend_string_init_interned("FAILOVER_DISTRIBUTE_REPLICAS", sizeof("FAILOVER_DISTRIBUTE_REPLICAS") - 1, 1);
	zend_declare_class_constant_ex(class_entry, const_FAILOVER_DISTRIBUTE_REPLICAS_name, &const_FAILOVER_DISTRIBUTE_REPLICAS_value, ZEND_ACC_PUBLIC, NULL);
	zend_string_release(const_FAILOVER_DISTRIBUTE_REPLICAS_name);

	zval const_FAILOVER_RANDOM_REPLICA_value;
	ZVAL_LONG(&const_FAILOVER_RANDOM_REPLICA_value, 4);
	zend_string *const_FAILOVER_RANDOM_REPLICA_name = zend_string_init_interned("FAILOVER_RANDOM_REPLICA", sizeof("FAILOVER_RANDOM_REPLICA") - 1, 1);
	zend_declare_class_constant_ex(class_entry, const_FAILOVER_RANDOM_REPLICA_name, &const_FAILOVER_RANDOM_REPLICA_value, ZEND_ACC_PUBLIC, NULL);
	zend_string_release(const_FAILOVER_RANDOM_REPLICA_name);

	zval const_FAILOVER_PRIMARY_value;
	ZVAL_LONG(&const_FAILOVER_PRIMARY_value, 5);
	zend_string *const_FAILOVER_PRIMARY_name = zend_string_init_interned("FAILOVER_PRIMARY", sizeof("FAILOVER_PRIMARY") - 1, 1);
	zend_declare_class_constant_ex(class_entry, const_FAILOVER_PRIMARY_name, &const_FAILOVER_PRIMARY_value, ZEND_ACC_PUBLIC, NULL);
	zend_string_release(const_FAILOVER_PRIMARY_name);

	zval const_FAILOVER_REPLICAS_value;
	ZVAL_LONG(&const_FAILOVER_REPLICAS_value, 6);
	zend_string *const_FAILOVER_REPLICAS_name = zend_string_init_interned("FAILOVER_REPLICAS", sizeof("FAILOVER_REPLICAS") - 1, 1);
	zend_declare_class_constant_ex(class_entry, const_FAILOVER_REPLICAS_name, &const_FAILOVER_REPLICAS_value, ZEND_ACC_PUBLIC, NULL);
	zend_string_release(const_FAILOVER_REPLICAS_name);

	zval const_FAILOVER_ALL_value;
	ZVAL_LONG(&const_FAILOVER_ALL_value, 7);
	zend_string *const_FAILOVER_ALL_name = zend_string_init_interned("FAILOVER_ALL", sizeof("FAILOVER_ALL") - 1, 1);
	zend_declare_class_constant_ex(class_entry, const_FAILOVER_ALL_name, &const_FAILOVER_ALL_value, ZEND_ACC_PUBLIC, NULL);
	zend_string_release(const_FAILOVER_ALL_name);

	zval const_OPT_AVAILABILITY_ZONE_value;
	ZVAL_LONG(&const_OPT_AVAILABILITY_ZONE_value, 110);
	zend_string *const_OPT_AVAILABILITY_ZONE_name = zend_string_init_interned("OPT_AVAILABILITY_ZONE", sizeof("OPT_AVAILABILITY_ZONE") - 1, 1);
	zend_declare_class_constant_ex(class_entry, const_OPT_AVAILABILITY_ZONE_name, &const_OPT_AVAILABILITY_ZONE_value, ZEND_ACC_PUBLIC, NULL);
	zend_string_release(const_OPT_AVAILABILITY_ZONE_name);

	zend_string *property_adaptiveCache_class_Kelvo_AdaptiveCache = zend_string_init("Kelvo\\AdaptiveCache", sizeof("Kelvo\\AdaptiveCache")-1, 1);
	zval property_adaptiveCache_default_value;
	ZVAL_UNDEF(&property_adaptiveCache_default_value);
	zend_string *property_adaptiveCache_name = zend_string_init("adaptiveCache", sizeof("adaptiveCache") - 1, 1);
	zend_declare_typed_property(class_entry, property_adaptiveCache_name, &property_adaptiveCache_default_value, ZEND_ACC_PUBLIC, NULL, (zend_type) ZEND_TYPE_INIT_CLASS(property_adaptiveCache_class_Kelvo_AdaptiveCache, 0, 0));
	zend_string_release(property_adaptiveCache_name);

	return class_entry;
}

static zend_class_entry *register_class_Kelvo_Cluster_FullscanGenerator(zend_class_entry *class_entry_Generator)
{
	zend_class_entry ce, *class_entry;

	INIT_NS_CLASS_ENTRY(ce, "Kelvo\\Cluster", "FullscanGenerator", class_Kelvo_Cluster_FullscanGenerator_methods);
	class_entry = zend_register_internal_class_ex(&ce, class_entry_Generator);
	class_entry->ce_flags |= ZEND_ACC_FINAL;

	return class_entry;
}
