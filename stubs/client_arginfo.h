/* This is a generated file, edit the .stub.php file instead.
 * Stub hash: 1b71d5fbc6fc9f47852338c1d71e1a60975f23d7 */

ZEND_BEGIN_ARG_INFO_EX(arginfo_class_Kelvo_Kelvo___construct, 0, 0, 0)
	ZEND_ARG_TYPE_MASK(0, host, MAY_BE_NULL|MAY_BE_STRING|MAY_BE_ARRAY, "null")
	ZEND_ARG_TYPE_INFO_WITH_DEFAULT_VALUE(0, port, IS_LONG, 0, "6379")
	ZEND_ARG_TYPE_INFO_WITH_DEFAULT_VALUE(0, connect_timeout, IS_DOUBLE, 0, "0.0")
	ZEND_ARG_TYPE_INFO_WITH_DEFAULT_VALUE(0, command_timeout, IS_DOUBLE, 0, "0.0")
	ZEND_ARG_TYPE_INFO_WITH_DEFAULT_VALUE(0, context, IS_ARRAY, 0, "[]")
	ZEND_ARG_TYPE_INFO_WITH_DEFAULT_VALUE(0, database, IS_LONG, 0, "0")
ZEND_END_ARG_INFO()

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_class_Kelvo_Kelvo_connect, 0, 1, _IS_BOOL, 0)
	ZEND_ARG_TYPE_INFO(0, host, IS_STRING, 0)
	ZEND_ARG_TYPE_INFO_WITH_DEFAULT_VALUE(0, port, IS_LONG, 0, "6379")
	ZEND_ARG_TYPE_INFO_WITH_DEFAULT_VALUE(0, timeout, IS_DOUBLE, 0, "0.0")
	ZEND_ARG_TYPE_INFO_WITH_DEFAULT_VALUE(0, persistent_id, IS_STRING, 1, "null")
	ZEND_ARG_TYPE_INFO_WITH_DEFAULT_VALUE(0, retry_interval, IS_LONG, 0, "0")
	ZEND_ARG_TYPE_INFO_WITH_DEFAULT_VALUE(0, read_timeout, IS_DOUBLE, 0, "0.0")
	ZEND_ARG_TYPE_INFO_WITH_DEFAULT_VALUE(0, context, IS_ARRAY, 0, "[]")
	ZEND_ARG_TYPE_INFO_WITH_DEFAULT_VALUE(0, database, IS_LONG, 0, "0")
ZEND_END_ARG_INFO()

#define arginfo_class_Kelvo_Kelvo_pconnect arginfo_class_Kelvo_Kelvo_connect

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_class_Kelvo_Kelvo_close, 0, 0, _IS_BOOL, 0)
ZEND_END_ARG_INFO()

#define arginfo_class_Kelvo_Kelvo_pclose arginfo_class_Kelvo_Kelvo_close

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_class_Kelvo_Kelvo_listen, 0, 1, _IS_BOOL, 0)
	ZEND_ARG_TYPE_INFO(0, callback, IS_CALLABLE, 1)
ZEND_END_ARG_INFO()

#define arginfo_class_Kelvo_Kelvo_onFlushed arginfo_class_Kelvo_Kelvo_listen

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_class_Kelvo_Kelvo_onInvalidated, 0, 1, _IS_BOOL, 0)
	ZEND_ARG_TYPE_INFO(0, callback, IS_CALLABLE, 1)
	ZEND_ARG_TYPE_INFO_WITH_DEFAULT_VALUE(0, pattern, IS_STRING, 1, "null")
ZEND_END_ARG_INFO()

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_MASK_EX(arginfo_class_Kelvo_Kelvo_dispatchEvents, 0, 0, MAY_BE_FALSE|MAY_BE_LONG)
ZEND_END_ARG_INFO()

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_class_Kelvo_Kelvo_getOption, 0, 1, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, option, IS_LONG, 0)
ZEND_END_ARG_INFO()

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_class_Kelvo_Kelvo_option, 0, 1, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, option, IS_LONG, 0)
	ZEND_ARG_TYPE_INFO_WITH_DEFAULT_VALUE(0, value, IS_MIXED, 0, "null")
ZEND_END_ARG_INFO()

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_class_Kelvo_Kelvo_setOption, 0, 2, _IS_BOOL, 0)
	ZEND_ARG_TYPE_INFO(0, option, IS_LONG, 0)
	ZEND_ARG_TYPE_INFO(0, value, IS_MIXED, 0)
ZEND_END_ARG_INFO()

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_class_Kelvo_Kelvo_addIgnorePatterns, 0, 0, IS_LONG, 0)
	ZEND_ARG_VARIADIC_TYPE_INFO(0, pattern, IS_STRING, 0)
ZEND_END_ARG_INFO()

#define arginfo_class_Kelvo_Kelvo_addAllowPatterns arginfo_class_Kelvo_Kelvo_addIgnorePatterns

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_MASK_EX(arginfo_class_Kelvo_Kelvo_getTimeout, 0, 0, MAY_BE_FALSE|MAY_BE_DOUBLE)
ZEND_END_ARG_INFO()

#define arginfo_class_Kelvo_Kelvo_timeout arginfo_class_Kelvo_Kelvo_getTimeout

#define arginfo_class_Kelvo_Kelvo_getReadTimeout arginfo_class_Kelvo_Kelvo_getTimeout

#define arginfo_class_Kelvo_Kelvo_readTimeout arginfo_class_Kelvo_Kelvo_getTimeout

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_class_Kelvo_Kelvo_getBytes, 0, 0, IS_ARRAY, 0)
ZEND_END_ARG_INFO()

#define arginfo_class_Kelvo_Kelvo_bytes arginfo_class_Kelvo_Kelvo_getBytes

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_MASK_EX(arginfo_class_Kelvo_Kelvo_getHost, 0, 0, MAY_BE_FALSE|MAY_BE_STRING)
ZEND_END_ARG_INFO()

#define arginfo_class_Kelvo_Kelvo_isConnected arginfo_class_Kelvo_Kelvo_close

#define arginfo_class_Kelvo_Kelvo_getPort arginfo_class_Kelvo_Kelvo_dispatchEvents

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_class_Kelvo_Kelvo_getAuth, 0, 0, IS_MIXED, 0)
ZEND_END_ARG_INFO()

#define arginfo_class_Kelvo_Kelvo_getDbNum arginfo_class_Kelvo_Kelvo_getAuth

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_class_Kelvo_Kelvo__serialize, 0, 1, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, value, IS_MIXED, 0)
ZEND_END_ARG_INFO()

#define arginfo_class_Kelvo_Kelvo__unserialize arginfo_class_Kelvo_Kelvo__serialize

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_class_Kelvo_Kelvo__compress, 0, 1, IS_STRING, 0)
	ZEND_ARG_TYPE_INFO(0, value, IS_STRING, 0)
ZEND_END_ARG_INFO()

#define arginfo_class_Kelvo_Kelvo__uncompress arginfo_class_Kelvo_Kelvo__compress

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_class_Kelvo_Kelvo__pack, 0, 1, IS_STRING, 0)
	ZEND_ARG_TYPE_INFO(0, value, IS_MIXED, 0)
ZEND_END_ARG_INFO()

#define arginfo_class_Kelvo_Kelvo__digest arginfo_class_Kelvo_Kelvo__pack

#define arginfo_class_Kelvo_Kelvo__unpack arginfo_class_Kelvo_Kelvo__serialize

#define arginfo_class_Kelvo_Kelvo__prefix arginfo_class_Kelvo_Kelvo__pack

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_class_Kelvo_Kelvo_getLastError, 0, 0, IS_STRING, 1)
ZEND_END_ARG_INFO()

#define arginfo_class_Kelvo_Kelvo_clearLastError arginfo_class_Kelvo_Kelvo_close

#define arginfo_class_Kelvo_Kelvo_endpointId arginfo_class_Kelvo_Kelvo_getHost

#define arginfo_class_Kelvo_Kelvo_getPersistentID arginfo_class_Kelvo_Kelvo_getHost

#define arginfo_class_Kelvo_Kelvo_socketId arginfo_class_Kelvo_Kelvo_getHost

#define arginfo_class_Kelvo_Kelvo_stats arginfo_class_Kelvo_Kelvo_getBytes

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_class_Kelvo_Kelvo_maxMemory, 0, 0, IS_LONG, 0)
ZEND_END_ARG_INFO()

#define arginfo_class_Kelvo_Kelvo_memory arginfo_class_Kelvo_Kelvo_maxMemory

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_class_Kelvo_Kelvo_rawCommand, 0, 1, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, cmd, IS_STRING, 0)
	ZEND_ARG_VARIADIC_TYPE_INFO(0, args, IS_MIXED, 0)
ZEND_END_ARG_INFO()

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_class_Kelvo_Kelvo_auth, 0, 1, _IS_BOOL, 0)
	ZEND_ARG_TYPE_INFO(0, auth, IS_MIXED, 0)
ZEND_END_ARG_INFO()

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_class_Kelvo_Kelvo_flushMemory, 0, 0, _IS_BOOL, 0)
	ZEND_ARG_TYPE_INFO_WITH_DEFAULT_VALUE(0, endpointId, IS_STRING, 1, "null")
	ZEND_ARG_TYPE_INFO_WITH_DEFAULT_VALUE(0, db, IS_LONG, 1, "null")
ZEND_END_ARG_INFO()

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_MASK_EX(arginfo_class_Kelvo_Kelvo_lastMemoryFlush, 0, 0, MAY_BE_FALSE|MAY_BE_DOUBLE)
	ZEND_ARG_TYPE_INFO_WITH_DEFAULT_VALUE(0, endpointId, IS_STRING, 1, "null")
	ZEND_ARG_TYPE_INFO_WITH_DEFAULT_VALUE(0, db, IS_LONG, 1, "null")
ZEND_END_ARG_INFO()

ZEND_BEGIN_ARG_WITH_RETURN_OBJ_TYPE_MASK_EX(arginfo_class_Kelvo_Kelvo_idleTime, 0, 0, Kelvo\\Kelvo, MAY_BE_FALSE|MAY_BE_LONG)
ZEND_END_ARG_INFO()

ZEND_BEGIN_ARG_WITH_RETURN_OBJ_TYPE_MASK_EX(arginfo_class_Kelvo_Kelvo_getWithMeta, 0, 1, Kelvo\\Kelvo, MAY_BE_FALSE|MAY_BE_ARRAY)
	ZEND_ARG_TYPE_INFO(0, key, IS_MIXED, 0)
ZEND_END_ARG_INFO()

ZEND_BEGIN_ARG_WITH_RETURN_OBJ_TYPE_MASK_EX(arginfo_class_Kelvo_Kelvo_hgetWithMeta, 0, 2, Kelvo\\Kelvo, MAY_BE_FALSE|MAY_BE_ARRAY)
	ZEND_ARG_TYPE_INFO(0, hash, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, member, IS_MIXED, 0)
ZEND_END_ARG_INFO()

ZEND_BEGIN_ARG_WITH_RETURN_OBJ_TYPE_MASK_EX(arginfo_class_Kelvo_Kelvo_pipeline, 0, 0, Kelvo\\Kelvo, MAY_BE_BOOL)
ZEND_END_ARG_INFO()

ZEND_BEGIN_ARG_WITH_RETURN_OBJ_TYPE_MASK_EX(arginfo_class_Kelvo_Kelvo_multi, 0, 0, Kelvo\\Kelvo, MAY_BE_BOOL)
	ZEND_ARG_TYPE_INFO_WITH_DEFAULT_VALUE(0, mode, IS_LONG, 0, "Kelvo\\Kelvo::MULTI")
ZEND_END_ARG_INFO()

ZEND_BEGIN_ARG_WITH_RETURN_OBJ_TYPE_MASK_EX(arginfo_class_Kelvo_Kelvo_exec, 0, 0, Kelvo\\Kelvo, MAY_BE_BOOL|MAY_BE_ARRAY)
ZEND_END_ARG_INFO()

#define arginfo_class_Kelvo_Kelvo_discard arginfo_class_Kelvo_Kelvo_close

#define arginfo_class_Kelvo_Kelvo_serverName arginfo_class_Kelvo_Kelvo_getHost

#define arginfo_class_Kelvo_Kelvo_serverVersion arginfo_class_Kelvo_Kelvo_getHost

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_class_Kelvo_Kelvo_getMode, 0, 0, IS_LONG, 0)
	ZEND_ARG_TYPE_INFO_WITH_DEFAULT_VALUE(0, masked, _IS_BOOL, 0, "false")
ZEND_END_ARG_INFO()

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_class_Kelvo_Kelvo_clearBytes, 0, 0, IS_VOID, 0)
ZEND_END_ARG_INFO()

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_MASK_EX(arginfo_class_Kelvo_Kelvo_scan, 0, 1, MAY_BE_FALSE|MAY_BE_ARRAY)
	ZEND_ARG_TYPE_INFO(1, iterator, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO_WITH_DEFAULT_VALUE(0, match, IS_MIXED, 0, "null")
	ZEND_ARG_TYPE_INFO_WITH_DEFAULT_VALUE(0, count, IS_LONG, 0, "0")
	ZEND_ARG_TYPE_INFO_WITH_DEFAULT_VALUE(0, type, IS_STRING, 1, "null")
ZEND_END_ARG_INFO()

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_MASK_EX(arginfo_class_Kelvo_Kelvo_hscan, 0, 2, MAY_BE_FALSE|MAY_BE_ARRAY)
	ZEND_ARG_TYPE_INFO(0, key, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(1, iterator, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO_WITH_DEFAULT_VALUE(0, match, IS_MIXED, 0, "null")
	ZEND_ARG_TYPE_INFO_WITH_DEFAULT_VALUE(0, count, IS_LONG, 0, "0")
ZEND_END_ARG_INFO()

#define arginfo_class_Kelvo_Kelvo_sscan arginfo_class_Kelvo_Kelvo_hscan

#define arginfo_class_Kelvo_Kelvo_zscan arginfo_class_Kelvo_Kelvo_hscan

ZEND_BEGIN_ARG_INFO_EX(arginfo_class_Kelvo_Kelvo__getKeys, 0, 0, 0)
ZEND_END_ARG_INFO()

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_class_Kelvo_Kelvo_isTracked, 0, 1, _IS_BOOL, 0)
	ZEND_ARG_TYPE_INFO(0, key, IS_STRING, 0)
ZEND_END_ARG_INFO()

#define arginfo_class_Kelvo_Kelvo_acl arginfo_class_Kelvo_Kelvo_rawCommand

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_class_Kelvo_Kelvo_append, 0, 2, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, key, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, value, IS_MIXED, 0)
ZEND_END_ARG_INFO()

#define arginfo_class_Kelvo_Kelvo_bgrewriteaof arginfo_class_Kelvo_Kelvo_getAuth

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_class_Kelvo_Kelvo_bgsave, 0, 0, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO_WITH_DEFAULT_VALUE(0, arg, IS_STRING, 1, "null")
ZEND_END_ARG_INFO()

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_class_Kelvo_Kelvo_bitcount, 0, 1, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, key, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO_WITH_DEFAULT_VALUE(0, start, IS_LONG, 0, "0")
	ZEND_ARG_TYPE_INFO_WITH_DEFAULT_VALUE(0, end, IS_LONG, 0, "-1")
	ZEND_ARG_TYPE_INFO_WITH_DEFAULT_VALUE(0, by_bit, _IS_BOOL, 0, "false")
ZEND_END_ARG_INFO()

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_class_Kelvo_Kelvo_bitfield, 0, 1, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, key, IS_MIXED, 0)
	ZEND_ARG_VARIADIC_TYPE_INFO(0, args, IS_MIXED, 0)
ZEND_END_ARG_INFO()

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_class_Kelvo_Kelvo_bitop, 0, 3, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, operation, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, deskey, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, srckey, IS_MIXED, 0)
	ZEND_ARG_VARIADIC_TYPE_INFO(0, other_keys, IS_MIXED, 0)
ZEND_END_ARG_INFO()

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_class_Kelvo_Kelvo_bitpos, 0, 2, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, key, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, bit, IS_LONG, 0)
	ZEND_ARG_TYPE_INFO_WITH_DEFAULT_VALUE(0, start, IS_LONG, 0, "0")
	ZEND_ARG_TYPE_INFO_WITH_DEFAULT_VALUE(0, end, IS_LONG, 0, "-1")
	ZEND_ARG_TYPE_INFO_WITH_DEFAULT_VALUE(0, bybit, _IS_BOOL, 0, "false")
ZEND_END_ARG_INFO()

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_class_Kelvo_Kelvo_blmove, 0, 5, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, src, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, dst, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, wherefrom, IS_STRING, 0)
	ZEND_ARG_TYPE_INFO(0, whereto, IS_STRING, 0)
	ZEND_ARG_TYPE_INFO(0, timeout, IS_DOUBLE, 0)
ZEND_END_ARG_INFO()

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_class_Kelvo_Kelvo_blmovem, 0, 5, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, src, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, dst, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, from, IS_STRING, 0)
	ZEND_ARG_TYPE_INFO(0, to, IS_STRING, 0)
	ZEND_ARG_TYPE_INFO(0, timeout, IS_DOUBLE, 0)
	ZEND_ARG_TYPE_INFO_WITH_DEFAULT_VALUE(0, options, IS_ARRAY, 1, "null")
ZEND_END_ARG_INFO()

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_class_Kelvo_Kelvo_blmpop, 0, 3, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, timeout, IS_DOUBLE, 0)
	ZEND_ARG_TYPE_INFO(0, keys, IS_ARRAY, 0)
	ZEND_ARG_TYPE_INFO(0, from, IS_STRING, 0)
	ZEND_ARG_TYPE_INFO_WITH_DEFAULT_VALUE(0, count, IS_LONG, 0, "1")
ZEND_END_ARG_INFO()

ZEND_BEGIN_ARG_WITH_RETURN_OBJ_TYPE_MASK_EX(arginfo_class_Kelvo_Kelvo_blpop, 0, 2, Kelvo\\Kelvo, MAY_BE_NULL|MAY_BE_FALSE|MAY_BE_ARRAY)
	ZEND_ARG_TYPE_MASK(0, key, MAY_BE_STRING|MAY_BE_ARRAY, NULL)
	ZEND_ARG_TYPE_MASK(0, timeout_or_key, MAY_BE_DOUBLE|MAY_BE_STRING, NULL)
	ZEND_ARG_VARIADIC_TYPE_INFO(0, extra_args, IS_MIXED, 0)
ZEND_END_ARG_INFO()

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_class_Kelvo_Kelvo_brpop, 0, 2, IS_MIXED, 0)
	ZEND_ARG_TYPE_MASK(0, key, MAY_BE_STRING|MAY_BE_ARRAY, NULL)
	ZEND_ARG_TYPE_MASK(0, timeout_or_key, MAY_BE_DOUBLE|MAY_BE_STRING, NULL)
	ZEND_ARG_VARIADIC_TYPE_INFO(0, extra_args, IS_MIXED, 0)
ZEND_END_ARG_INFO()

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_class_Kelvo_Kelvo_brpoplpush, 0, 3, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, src, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, dst, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, timeout, IS_DOUBLE, 0)
ZEND_END_ARG_INFO()

#define arginfo_class_Kelvo_Kelvo_bzmpop arginfo_class_Kelvo_Kelvo_blmpop

#define arginfo_class_Kelvo_Kelvo_bzpopmax arginfo_class_Kelvo_Kelvo_brpop

#define arginfo_class_Kelvo_Kelvo_bzpopmin arginfo_class_Kelvo_Kelvo_brpop

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_class_Kelvo_Kelvo_client, 0, 1, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, operation, IS_STRING, 0)
	ZEND_ARG_VARIADIC_TYPE_INFO(0, args, IS_MIXED, 0)
ZEND_END_ARG_INFO()

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_class_Kelvo_Kelvo_command, 0, 0, IS_MIXED, 0)
	ZEND_ARG_VARIADIC_TYPE_INFO(0, args, IS_MIXED, 0)
ZEND_END_ARG_INFO()

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_class_Kelvo_Kelvo_commandlog, 0, 1, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, subcommand, IS_STRING, 0)
	ZEND_ARG_VARIADIC_TYPE_INFO(0, args, IS_MIXED, 0)
ZEND_END_ARG_INFO()

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_class_Kelvo_Kelvo_config, 0, 1, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, operation, IS_STRING, 0)
	ZEND_ARG_TYPE_INFO_WITH_DEFAULT_VALUE(0, key, IS_MIXED, 0, "null")
	ZEND_ARG_TYPE_INFO_WITH_DEFAULT_VALUE(0, value, IS_MIXED, 0, "null")
ZEND_END_ARG_INFO()

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_class_Kelvo_Kelvo_copy, 0, 2, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, src, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, dst, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO_WITH_DEFAULT_VALUE(0, options, IS_ARRAY, 1, "null")
ZEND_END_ARG_INFO()

#define arginfo_class_Kelvo_Kelvo_dbsize arginfo_class_Kelvo_Kelvo_getAuth

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_class_Kelvo_Kelvo_decr, 0, 1, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, key, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO_WITH_DEFAULT_VALUE(0, by, IS_LONG, 0, "1")
ZEND_END_ARG_INFO()

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_class_Kelvo_Kelvo_decrby, 0, 2, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, key, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, value, IS_LONG, 0)
ZEND_END_ARG_INFO()

ZEND_BEGIN_ARG_WITH_RETURN_OBJ_TYPE_MASK_EX(arginfo_class_Kelvo_Kelvo_del, 0, 0, Kelvo\\Kelvo, MAY_BE_BOOL|MAY_BE_LONG)
	ZEND_ARG_VARIADIC_TYPE_INFO(0, keys, IS_MIXED, 0)
ZEND_END_ARG_INFO()

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_class_Kelvo_Kelvo_delex, 0, 1, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, key, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO_WITH_DEFAULT_VALUE(0, options, IS_ARRAY, 1, "null")
ZEND_END_ARG_INFO()

#define arginfo_class_Kelvo_Kelvo_delifeq arginfo_class_Kelvo_Kelvo_append

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_class_Kelvo_Kelvo_digest, 0, 1, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, key, IS_MIXED, 0)
ZEND_END_ARG_INFO()

#define arginfo_class_Kelvo_Kelvo_dump arginfo_class_Kelvo_Kelvo_digest

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_class_Kelvo_Kelvo_echo, 0, 1, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, str, IS_STRING, 0)
ZEND_END_ARG_INFO()

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_class_Kelvo_Kelvo_eval, 0, 1, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, script, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO_WITH_DEFAULT_VALUE(0, args, IS_ARRAY, 0, "[]")
	ZEND_ARG_TYPE_INFO_WITH_DEFAULT_VALUE(0, num_keys, IS_LONG, 0, "0")
ZEND_END_ARG_INFO()

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_class_Kelvo_Kelvo_evalsha, 0, 1, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, sha1, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO_WITH_DEFAULT_VALUE(0, args, IS_ARRAY, 0, "[]")
	ZEND_ARG_TYPE_INFO_WITH_DEFAULT_VALUE(0, num_keys, IS_LONG, 0, "0")
ZEND_END_ARG_INFO()

#define arginfo_class_Kelvo_Kelvo_evalsha_ro arginfo_class_Kelvo_Kelvo_evalsha

#define arginfo_class_Kelvo_Kelvo_eval_ro arginfo_class_Kelvo_Kelvo_eval

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_class_Kelvo_Kelvo_exists, 0, 1, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, key, IS_MIXED, 0)
	ZEND_ARG_VARIADIC_TYPE_INFO(0, other_keys, IS_MIXED, 0)
ZEND_END_ARG_INFO()

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_class_Kelvo_Kelvo_expire, 0, 2, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, key, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, timeout, IS_LONG, 0)
	ZEND_ARG_TYPE_INFO_WITH_DEFAULT_VALUE(0, mode, IS_STRING, 1, "null")
ZEND_END_ARG_INFO()

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_class_Kelvo_Kelvo_expireat, 0, 2, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, key, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, timestamp, IS_LONG, 0)
ZEND_END_ARG_INFO()

#define arginfo_class_Kelvo_Kelvo_expiretime arginfo_class_Kelvo_Kelvo_digest

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_class_Kelvo_Kelvo_fcall, 0, 1, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, name, IS_STRING, 0)
	ZEND_ARG_TYPE_INFO_WITH_DEFAULT_VALUE(0, keys, IS_ARRAY, 0, "[]")
	ZEND_ARG_TYPE_INFO_WITH_DEFAULT_VALUE(0, argv, IS_ARRAY, 0, "[]")
	ZEND_ARG_TYPE_INFO_WITH_DEFAULT_VALUE(0, handler, IS_CALLABLE, 1, "null")
ZEND_END_ARG_INFO()

#define arginfo_class_Kelvo_Kelvo_fcall_ro arginfo_class_Kelvo_Kelvo_fcall

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_class_Kelvo_Kelvo_flushall, 0, 0, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO_WITH_DEFAULT_VALUE(0, sync, _IS_BOOL, 1, "null")
ZEND_END_ARG_INFO()

#define arginfo_class_Kelvo_Kelvo_flushdb arginfo_class_Kelvo_Kelvo_flushall

#define arginfo_class_Kelvo_Kelvo_function arginfo_class_Kelvo_Kelvo_client

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_class_Kelvo_Kelvo_gcra, 0, 4, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, key, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, max_burst, IS_LONG, 0)
	ZEND_ARG_TYPE_INFO(0, requests_per_period, IS_LONG, 0)
	ZEND_ARG_TYPE_INFO(0, period, IS_LONG, 0)
	ZEND_ARG_TYPE_INFO_WITH_DEFAULT_VALUE(0, tokens, IS_LONG, 0, "0")
ZEND_END_ARG_INFO()

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_class_Kelvo_Kelvo_geoadd, 0, 4, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, key, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, lng, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, lat, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, member, IS_MIXED, 0)
	ZEND_ARG_VARIADIC_TYPE_INFO(0, other_triples_and_options, IS_MIXED, 0)
ZEND_END_ARG_INFO()

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_class_Kelvo_Kelvo_geodist, 0, 3, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, key, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, src, IS_STRING, 0)
	ZEND_ARG_TYPE_INFO(0, dst, IS_STRING, 0)
	ZEND_ARG_TYPE_INFO_WITH_DEFAULT_VALUE(0, unit, IS_STRING, 1, "null")
ZEND_END_ARG_INFO()

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_class_Kelvo_Kelvo_geohash, 0, 2, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, key, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, member, IS_MIXED, 0)
	ZEND_ARG_VARIADIC_TYPE_INFO(0, other_members, IS_MIXED, 0)
ZEND_END_ARG_INFO()

#define arginfo_class_Kelvo_Kelvo_geopos arginfo_class_Kelvo_Kelvo_geohash

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_class_Kelvo_Kelvo_georadius, 0, 5, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, key, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, lng, IS_DOUBLE, 0)
	ZEND_ARG_TYPE_INFO(0, lat, IS_DOUBLE, 0)
	ZEND_ARG_TYPE_INFO(0, radius, IS_DOUBLE, 0)
	ZEND_ARG_TYPE_INFO(0, unit, IS_STRING, 0)
	ZEND_ARG_TYPE_INFO_WITH_DEFAULT_VALUE(0, options, IS_ARRAY, 1, "null")
ZEND_END_ARG_INFO()

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_class_Kelvo_Kelvo_georadiusbymember, 0, 4, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, key, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, member, IS_STRING, 0)
	ZEND_ARG_TYPE_INFO(0, radius, IS_DOUBLE, 0)
	ZEND_ARG_TYPE_INFO(0, unit, IS_STRING, 0)
	ZEND_ARG_TYPE_INFO_WITH_DEFAULT_VALUE(0, options, IS_ARRAY, 1, "null")
ZEND_END_ARG_INFO()

#define arginfo_class_Kelvo_Kelvo_georadiusbymember_ro arginfo_class_Kelvo_Kelvo_georadiusbymember

#define arginfo_class_Kelvo_Kelvo_georadius_ro arginfo_class_Kelvo_Kelvo_georadius

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_class_Kelvo_Kelvo_geosearch, 0, 4, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, key, IS_MIXED, 0)
	ZEND_ARG_TYPE_MASK(0, position, MAY_BE_ARRAY|MAY_BE_STRING, NULL)
	ZEND_ARG_TYPE_MASK(0, shape, MAY_BE_ARRAY|MAY_BE_LONG|MAY_BE_DOUBLE, NULL)
	ZEND_ARG_TYPE_INFO(0, unit, IS_STRING, 0)
	ZEND_ARG_TYPE_INFO_WITH_DEFAULT_VALUE(0, options, IS_ARRAY, 1, "null")
ZEND_END_ARG_INFO()

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_class_Kelvo_Kelvo_geosearchstore, 0, 5, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, dst, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, src, IS_MIXED, 0)
	ZEND_ARG_TYPE_MASK(0, position, MAY_BE_ARRAY|MAY_BE_STRING, NULL)
	ZEND_ARG_TYPE_MASK(0, shape, MAY_BE_ARRAY|MAY_BE_LONG|MAY_BE_DOUBLE, NULL)
	ZEND_ARG_TYPE_INFO(0, unit, IS_STRING, 0)
	ZEND_ARG_TYPE_INFO_WITH_DEFAULT_VALUE(0, options, IS_ARRAY, 1, "null")
ZEND_END_ARG_INFO()

#define arginfo_class_Kelvo_Kelvo_get arginfo_class_Kelvo_Kelvo_digest

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_class_Kelvo_Kelvo_getbit, 0, 2, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, key, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, idx, IS_LONG, 0)
ZEND_END_ARG_INFO()

#define arginfo_class_Kelvo_Kelvo_getdel arginfo_class_Kelvo_Kelvo_digest

#define arginfo_class_Kelvo_Kelvo_getex arginfo_class_Kelvo_Kelvo_delex

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_class_Kelvo_Kelvo_getrange, 0, 3, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, key, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, start, IS_LONG, 0)
	ZEND_ARG_TYPE_INFO(0, end, IS_LONG, 0)
ZEND_END_ARG_INFO()

#define arginfo_class_Kelvo_Kelvo_getset arginfo_class_Kelvo_Kelvo_append

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_class_Kelvo_Kelvo_hdel, 0, 2, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, key, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, field, IS_MIXED, 0)
	ZEND_ARG_VARIADIC_TYPE_INFO(0, other_fields, IS_MIXED, 0)
ZEND_END_ARG_INFO()

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_class_Kelvo_Kelvo_hexists, 0, 2, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, key, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, field, IS_MIXED, 0)
ZEND_END_ARG_INFO()

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_class_Kelvo_Kelvo_hexpire, 0, 3, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, key, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, ttl, IS_LONG, 0)
	ZEND_ARG_TYPE_INFO(0, fields, IS_ARRAY, 0)
	ZEND_ARG_TYPE_INFO_WITH_DEFAULT_VALUE(0, mode, IS_STRING, 1, "null")
ZEND_END_ARG_INFO()

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_class_Kelvo_Kelvo_hexpireat, 0, 3, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, key, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, time, IS_LONG, 0)
	ZEND_ARG_TYPE_INFO(0, fields, IS_ARRAY, 0)
	ZEND_ARG_TYPE_INFO_WITH_DEFAULT_VALUE(0, mode, IS_STRING, 1, "null")
ZEND_END_ARG_INFO()

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_class_Kelvo_Kelvo_hexpiretime, 0, 2, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, key, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, fields, IS_ARRAY, 0)
ZEND_END_ARG_INFO()

#define arginfo_class_Kelvo_Kelvo_hget arginfo_class_Kelvo_Kelvo_hexists

#define arginfo_class_Kelvo_Kelvo_hgetall arginfo_class_Kelvo_Kelvo_digest

#define arginfo_class_Kelvo_Kelvo_hgetdel arginfo_class_Kelvo_Kelvo_hexpiretime

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_class_Kelvo_Kelvo_hgetex, 0, 2, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, key, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, fields, IS_ARRAY, 0)
	ZEND_ARG_TYPE_INFO_WITH_DEFAULT_VALUE(0, expiry, IS_MIXED, 0, "null")
ZEND_END_ARG_INFO()

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_class_Kelvo_Kelvo_hincrby, 0, 3, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, key, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, field, IS_STRING, 0)
	ZEND_ARG_TYPE_INFO(0, value, IS_LONG, 0)
ZEND_END_ARG_INFO()

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_class_Kelvo_Kelvo_hincrbyfloat, 0, 3, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, key, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, field, IS_STRING, 0)
	ZEND_ARG_TYPE_INFO(0, value, IS_DOUBLE, 0)
ZEND_END_ARG_INFO()

#define arginfo_class_Kelvo_Kelvo_hkeys arginfo_class_Kelvo_Kelvo_digest

#define arginfo_class_Kelvo_Kelvo_hlen arginfo_class_Kelvo_Kelvo_digest

#define arginfo_class_Kelvo_Kelvo_hmget arginfo_class_Kelvo_Kelvo_hexpiretime

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_class_Kelvo_Kelvo_hmset, 0, 2, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, key, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, fieldvals, IS_ARRAY, 0)
ZEND_END_ARG_INFO()

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_class_Kelvo_Kelvo_hotkeys, 0, 1, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, subcommand, IS_STRING, 0)
	ZEND_ARG_TYPE_INFO_WITH_DEFAULT_VALUE(0, options, IS_ARRAY, 0, "[]")
ZEND_END_ARG_INFO()

#define arginfo_class_Kelvo_Kelvo_hpersist arginfo_class_Kelvo_Kelvo_hexpiretime

#define arginfo_class_Kelvo_Kelvo_hpexpire arginfo_class_Kelvo_Kelvo_hexpire

#define arginfo_class_Kelvo_Kelvo_hpexpireat arginfo_class_Kelvo_Kelvo_hexpireat

#define arginfo_class_Kelvo_Kelvo_hpexpiretime arginfo_class_Kelvo_Kelvo_hexpiretime

#define arginfo_class_Kelvo_Kelvo_hpttl arginfo_class_Kelvo_Kelvo_hexpiretime

#define arginfo_class_Kelvo_Kelvo_hrandfield arginfo_class_Kelvo_Kelvo_delex

ZEND_BEGIN_ARG_WITH_RETURN_OBJ_TYPE_MASK_EX(arginfo_class_Kelvo_Kelvo_hset, 0, 1, Kelvo\\Kelvo, MAY_BE_FALSE|MAY_BE_LONG)
	ZEND_ARG_TYPE_INFO(0, key, IS_MIXED, 0)
	ZEND_ARG_VARIADIC_TYPE_INFO(0, keys_and_vals, IS_MIXED, 0)
ZEND_END_ARG_INFO()

#define arginfo_class_Kelvo_Kelvo_hsetex arginfo_class_Kelvo_Kelvo_hgetex

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_class_Kelvo_Kelvo_hsetnx, 0, 3, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, key, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, field, IS_STRING, 0)
	ZEND_ARG_TYPE_INFO(0, value, IS_MIXED, 0)
ZEND_END_ARG_INFO()

#define arginfo_class_Kelvo_Kelvo_hstrlen arginfo_class_Kelvo_Kelvo_hexists

#define arginfo_class_Kelvo_Kelvo_httl arginfo_class_Kelvo_Kelvo_hexpiretime

#define arginfo_class_Kelvo_Kelvo_hvals arginfo_class_Kelvo_Kelvo_digest

#define arginfo_class_Kelvo_Kelvo_incr arginfo_class_Kelvo_Kelvo_decr

#define arginfo_class_Kelvo_Kelvo_incrby arginfo_class_Kelvo_Kelvo_decrby

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_class_Kelvo_Kelvo_incrbyfloat, 0, 2, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, key, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, value, IS_DOUBLE, 0)
ZEND_END_ARG_INFO()

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_class_Kelvo_Kelvo_increx, 0, 1, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, key, IS_MIXED, 0)
	ZEND_ARG_TYPE_MASK(0, increment, MAY_BE_LONG|MAY_BE_DOUBLE|MAY_BE_STRING|MAY_BE_NULL, "null")
	ZEND_ARG_TYPE_INFO_WITH_DEFAULT_VALUE(0, options, IS_ARRAY, 1, "null")
ZEND_END_ARG_INFO()

ZEND_BEGIN_ARG_WITH_RETURN_OBJ_TYPE_MASK_EX(arginfo_class_Kelvo_Kelvo_info, 0, 0, Kelvo\\Kelvo, MAY_BE_FALSE|MAY_BE_ARRAY)
	ZEND_ARG_VARIADIC_TYPE_INFO(0, sections, IS_STRING, 0)
ZEND_END_ARG_INFO()

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_class_Kelvo_Kelvo_keys, 0, 1, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, pattern, IS_MIXED, 0)
ZEND_END_ARG_INFO()

#define arginfo_class_Kelvo_Kelvo_lastsave arginfo_class_Kelvo_Kelvo_getAuth

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_class_Kelvo_Kelvo_lcs, 0, 2, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, key1, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, key2, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO_WITH_DEFAULT_VALUE(0, options, IS_ARRAY, 1, "null")
ZEND_END_ARG_INFO()

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_class_Kelvo_Kelvo_lindex, 0, 2, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, key, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, index, IS_LONG, 0)
ZEND_END_ARG_INFO()

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_class_Kelvo_Kelvo_linsert, 0, 4, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, key, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, pos, IS_STRING, 0)
	ZEND_ARG_TYPE_INFO(0, pivot, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, value, IS_MIXED, 0)
ZEND_END_ARG_INFO()

#define arginfo_class_Kelvo_Kelvo_llen arginfo_class_Kelvo_Kelvo_digest

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_class_Kelvo_Kelvo_lmove, 0, 4, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, src, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, dst, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, wherefrom, IS_STRING, 0)
	ZEND_ARG_TYPE_INFO(0, whereto, IS_STRING, 0)
ZEND_END_ARG_INFO()

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_class_Kelvo_Kelvo_lmovem, 0, 4, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, src, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, dst, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, from, IS_STRING, 0)
	ZEND_ARG_TYPE_INFO(0, to, IS_STRING, 0)
	ZEND_ARG_TYPE_INFO_WITH_DEFAULT_VALUE(0, options, IS_ARRAY, 1, "null")
ZEND_END_ARG_INFO()

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_class_Kelvo_Kelvo_lmpop, 0, 2, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, keys, IS_ARRAY, 0)
	ZEND_ARG_TYPE_INFO(0, from, IS_STRING, 0)
	ZEND_ARG_TYPE_INFO_WITH_DEFAULT_VALUE(0, count, IS_LONG, 0, "1")
ZEND_END_ARG_INFO()

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_class_Kelvo_Kelvo_lpop, 0, 1, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, key, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO_WITH_DEFAULT_VALUE(0, count, IS_LONG, 0, "1")
ZEND_END_ARG_INFO()

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_class_Kelvo_Kelvo_lpos, 0, 2, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, key, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, value, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO_WITH_DEFAULT_VALUE(0, options, IS_ARRAY, 0, "[]")
ZEND_END_ARG_INFO()

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_class_Kelvo_Kelvo_lpush, 0, 2, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, key, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, value, IS_MIXED, 0)
	ZEND_ARG_VARIADIC_TYPE_INFO(0, other_values, IS_MIXED, 0)
ZEND_END_ARG_INFO()

#define arginfo_class_Kelvo_Kelvo_lpushx arginfo_class_Kelvo_Kelvo_lpush

#define arginfo_class_Kelvo_Kelvo_lrange arginfo_class_Kelvo_Kelvo_getrange

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_class_Kelvo_Kelvo_lrem, 0, 2, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, key, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, value, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO_WITH_DEFAULT_VALUE(0, count, IS_LONG, 0, "0")
ZEND_END_ARG_INFO()

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_class_Kelvo_Kelvo_lset, 0, 3, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, key, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, index, IS_LONG, 0)
	ZEND_ARG_TYPE_INFO(0, value, IS_MIXED, 0)
ZEND_END_ARG_INFO()

#define arginfo_class_Kelvo_Kelvo_ltrim arginfo_class_Kelvo_Kelvo_getrange

ZEND_BEGIN_ARG_WITH_RETURN_OBJ_TYPE_MASK_EX(arginfo_class_Kelvo_Kelvo_mget, 0, 1, Kelvo\\Kelvo, MAY_BE_FALSE|MAY_BE_ARRAY)
	ZEND_ARG_TYPE_INFO(0, keys, IS_ARRAY, 0)
ZEND_END_ARG_INFO()

ZEND_BEGIN_ARG_WITH_RETURN_OBJ_TYPE_MASK_EX(arginfo_class_Kelvo_Kelvo_migrate, 0, 5, Kelvo\\Kelvo, MAY_BE_BOOL)
	ZEND_ARG_TYPE_INFO(0, host, IS_STRING, 0)
	ZEND_ARG_TYPE_INFO(0, port, IS_LONG, 0)
	ZEND_ARG_TYPE_MASK(0, key, MAY_BE_STRING|MAY_BE_ARRAY, NULL)
	ZEND_ARG_TYPE_INFO(0, dstdb, IS_LONG, 0)
	ZEND_ARG_TYPE_INFO(0, timeout, IS_LONG, 0)
	ZEND_ARG_TYPE_INFO_WITH_DEFAULT_VALUE(0, copy, _IS_BOOL, 0, "false")
	ZEND_ARG_TYPE_INFO_WITH_DEFAULT_VALUE(0, replace, _IS_BOOL, 0, "false")
	ZEND_ARG_TYPE_INFO_WITH_DEFAULT_VALUE(0, credentials, IS_MIXED, 0, "null")
ZEND_END_ARG_INFO()

#define arginfo_class_Kelvo_Kelvo_move arginfo_class_Kelvo_Kelvo_lindex

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_class_Kelvo_Kelvo_mset, 0, 1, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, key_values, IS_ARRAY, 0)
ZEND_END_ARG_INFO()

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_class_Kelvo_Kelvo_msetex, 0, 1, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, key_values, IS_ARRAY, 0)
	ZEND_ARG_TYPE_INFO_WITH_DEFAULT_VALUE(0, options, IS_MIXED, 0, "null")
ZEND_END_ARG_INFO()

#define arginfo_class_Kelvo_Kelvo_msetnx arginfo_class_Kelvo_Kelvo_mset

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_class_Kelvo_Kelvo_object, 0, 2, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, subcommand, IS_STRING, 0)
	ZEND_ARG_TYPE_INFO(0, key, IS_MIXED, 0)
ZEND_END_ARG_INFO()

#define arginfo_class_Kelvo_Kelvo_persist arginfo_class_Kelvo_Kelvo_digest

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_class_Kelvo_Kelvo_pexpire, 0, 2, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, key, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, timeout, IS_LONG, 0)
ZEND_END_ARG_INFO()

#define arginfo_class_Kelvo_Kelvo_pexpireat arginfo_class_Kelvo_Kelvo_expireat

#define arginfo_class_Kelvo_Kelvo_pexpiretime arginfo_class_Kelvo_Kelvo_digest

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_class_Kelvo_Kelvo_pfadd, 0, 2, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, key, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, elements, IS_ARRAY, 0)
ZEND_END_ARG_INFO()

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_class_Kelvo_Kelvo_pfcount, 0, 1, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, key_or_keys, IS_MIXED, 0)
ZEND_END_ARG_INFO()

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_class_Kelvo_Kelvo_pfmerge, 0, 2, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, dst, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, srckeys, IS_ARRAY, 0)
ZEND_END_ARG_INFO()

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_class_Kelvo_Kelvo_ping, 0, 0, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO_WITH_DEFAULT_VALUE(0, message, IS_STRING, 1, "null")
ZEND_END_ARG_INFO()

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_class_Kelvo_Kelvo_psetex, 0, 3, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, key, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, expire, IS_LONG, 0)
	ZEND_ARG_TYPE_INFO(0, value, IS_MIXED, 0)
ZEND_END_ARG_INFO()

#define arginfo_class_Kelvo_Kelvo_pttl arginfo_class_Kelvo_Kelvo_digest

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_class_Kelvo_Kelvo_publish, 0, 2, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, channel, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, message, IS_STRING, 0)
ZEND_END_ARG_INFO()

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_class_Kelvo_Kelvo_pubsub, 0, 1, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, command, IS_STRING, 0)
	ZEND_ARG_VARIADIC_TYPE_INFO(0, args, IS_MIXED, 0)
ZEND_END_ARG_INFO()

#define arginfo_class_Kelvo_Kelvo_randomkey arginfo_class_Kelvo_Kelvo_getAuth

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_class_Kelvo_Kelvo_rename, 0, 2, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, old_name, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, new_name, IS_MIXED, 0)
ZEND_END_ARG_INFO()

#define arginfo_class_Kelvo_Kelvo_renamenx arginfo_class_Kelvo_Kelvo_rename

ZEND_BEGIN_ARG_WITH_RETURN_OBJ_TYPE_MASK_EX(arginfo_class_Kelvo_Kelvo_replicaof, 0, 0, Kelvo\\Kelvo, MAY_BE_BOOL)
	ZEND_ARG_TYPE_INFO_WITH_DEFAULT_VALUE(0, host, IS_STRING, 1, "null")
	ZEND_ARG_INFO_WITH_DEFAULT_VALUE(0, port, "0")
ZEND_END_ARG_INFO()

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_class_Kelvo_Kelvo_restore, 0, 3, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, key, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, ttl, IS_LONG, 0)
	ZEND_ARG_TYPE_INFO(0, value, IS_STRING, 0)
	ZEND_ARG_TYPE_INFO_WITH_DEFAULT_VALUE(0, options, IS_ARRAY, 1, "null")
ZEND_END_ARG_INFO()

#define arginfo_class_Kelvo_Kelvo_role arginfo_class_Kelvo_Kelvo_getAuth

#define arginfo_class_Kelvo_Kelvo_rpop arginfo_class_Kelvo_Kelvo_lpop

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_class_Kelvo_Kelvo_rpoplpush, 0, 2, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, src, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, dst, IS_MIXED, 0)
ZEND_END_ARG_INFO()

#define arginfo_class_Kelvo_Kelvo_rpush arginfo_class_Kelvo_Kelvo_lpush

#define arginfo_class_Kelvo_Kelvo_rpushx arginfo_class_Kelvo_Kelvo_lpush

#define arginfo_class_Kelvo_Kelvo_sadd arginfo_class_Kelvo_Kelvo_lpush

#define arginfo_class_Kelvo_Kelvo_save arginfo_class_Kelvo_Kelvo_getAuth

#define arginfo_class_Kelvo_Kelvo_scard arginfo_class_Kelvo_Kelvo_digest

#define arginfo_class_Kelvo_Kelvo_script arginfo_class_Kelvo_Kelvo_pubsub

#define arginfo_class_Kelvo_Kelvo_sdiff arginfo_class_Kelvo_Kelvo_exists

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_class_Kelvo_Kelvo_sdiffcard, 0, 1, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, keys, IS_ARRAY, 0)
	ZEND_ARG_TYPE_INFO_WITH_DEFAULT_VALUE(0, options, IS_ARRAY, 1, "null")
ZEND_END_ARG_INFO()

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_class_Kelvo_Kelvo_sdiffstore, 0, 1, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, dst, IS_MIXED, 0)
	ZEND_ARG_VARIADIC_TYPE_INFO(0, other_keys, IS_MIXED, 0)
ZEND_END_ARG_INFO()

ZEND_BEGIN_ARG_WITH_RETURN_OBJ_TYPE_MASK_EX(arginfo_class_Kelvo_Kelvo_select, 0, 1, Kelvo\\Kelvo, MAY_BE_BOOL|MAY_BE_STRING)
	ZEND_ARG_TYPE_INFO(0, db, IS_LONG, 0)
ZEND_END_ARG_INFO()

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_class_Kelvo_Kelvo_set, 0, 2, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, key, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, value, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO_WITH_DEFAULT_VALUE(0, options, IS_MIXED, 0, "null")
ZEND_END_ARG_INFO()

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_class_Kelvo_Kelvo_setbit, 0, 3, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, key, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, idx, IS_LONG, 0)
	ZEND_ARG_TYPE_INFO(0, value, _IS_BOOL, 0)
ZEND_END_ARG_INFO()

#define arginfo_class_Kelvo_Kelvo_setex arginfo_class_Kelvo_Kelvo_psetex

#define arginfo_class_Kelvo_Kelvo_setnx arginfo_class_Kelvo_Kelvo_append

#define arginfo_class_Kelvo_Kelvo_setrange arginfo_class_Kelvo_Kelvo_lset

#define arginfo_class_Kelvo_Kelvo_sinter arginfo_class_Kelvo_Kelvo_exists

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_class_Kelvo_Kelvo_sintercard, 0, 1, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, keys, IS_ARRAY, 0)
	ZEND_ARG_TYPE_INFO_WITH_DEFAULT_VALUE(0, limit, IS_LONG, 0, "0")
ZEND_END_ARG_INFO()

#define arginfo_class_Kelvo_Kelvo_sinterstore arginfo_class_Kelvo_Kelvo_sdiffstore

#define arginfo_class_Kelvo_Kelvo_sismember arginfo_class_Kelvo_Kelvo_append

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_class_Kelvo_Kelvo_slowlog, 0, 1, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, operation, IS_STRING, 0)
	ZEND_ARG_VARIADIC_TYPE_INFO(0, extra_args, IS_MIXED, 0)
ZEND_END_ARG_INFO()

#define arginfo_class_Kelvo_Kelvo_smembers arginfo_class_Kelvo_Kelvo_digest

#define arginfo_class_Kelvo_Kelvo_smismember arginfo_class_Kelvo_Kelvo_geohash

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_class_Kelvo_Kelvo_smove, 0, 3, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, src, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, dst, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, value, IS_MIXED, 0)
ZEND_END_ARG_INFO()

#define arginfo_class_Kelvo_Kelvo_sort arginfo_class_Kelvo_Kelvo_delex

#define arginfo_class_Kelvo_Kelvo_sort_ro arginfo_class_Kelvo_Kelvo_delex

#define arginfo_class_Kelvo_Kelvo_spop arginfo_class_Kelvo_Kelvo_lpop

#define arginfo_class_Kelvo_Kelvo_spublish arginfo_class_Kelvo_Kelvo_publish

#define arginfo_class_Kelvo_Kelvo_srandmember arginfo_class_Kelvo_Kelvo_lpop

#define arginfo_class_Kelvo_Kelvo_srem arginfo_class_Kelvo_Kelvo_lpush

#define arginfo_class_Kelvo_Kelvo_strlen arginfo_class_Kelvo_Kelvo_digest

#define arginfo_class_Kelvo_Kelvo_sunion arginfo_class_Kelvo_Kelvo_exists

#define arginfo_class_Kelvo_Kelvo_sunioncard arginfo_class_Kelvo_Kelvo_sdiffcard

#define arginfo_class_Kelvo_Kelvo_sunionstore arginfo_class_Kelvo_Kelvo_sdiffstore

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_class_Kelvo_Kelvo_swapdb, 0, 2, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, src, IS_LONG, 0)
	ZEND_ARG_TYPE_INFO(0, dst, IS_LONG, 0)
ZEND_END_ARG_INFO()

#define arginfo_class_Kelvo_Kelvo_time arginfo_class_Kelvo_Kelvo_getAuth

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_class_Kelvo_Kelvo_touch, 0, 0, IS_MIXED, 0)
	ZEND_ARG_VARIADIC_TYPE_INFO(0, keys, IS_MIXED, 0)
ZEND_END_ARG_INFO()

#define arginfo_class_Kelvo_Kelvo_ttl arginfo_class_Kelvo_Kelvo_digest

ZEND_BEGIN_ARG_WITH_RETURN_OBJ_TYPE_MASK_EX(arginfo_class_Kelvo_Kelvo_type, 0, 1, Kelvo\\Kelvo, MAY_BE_BOOL|MAY_BE_LONG|MAY_BE_STRING)
	ZEND_ARG_TYPE_INFO(0, key, IS_MIXED, 0)
ZEND_END_ARG_INFO()

#define arginfo_class_Kelvo_Kelvo_unlink arginfo_class_Kelvo_Kelvo_touch

#define arginfo_class_Kelvo_Kelvo_unwatch arginfo_class_Kelvo_Kelvo_getAuth

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_class_Kelvo_Kelvo_vadd, 0, 3, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, key, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, values, IS_ARRAY, 0)
	ZEND_ARG_TYPE_INFO(0, element, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO_WITH_DEFAULT_VALUE(0, options, IS_ARRAY, 1, "null")
ZEND_END_ARG_INFO()

#define arginfo_class_Kelvo_Kelvo_vcard arginfo_class_Kelvo_Kelvo_digest

#define arginfo_class_Kelvo_Kelvo_vdim arginfo_class_Kelvo_Kelvo_digest

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_class_Kelvo_Kelvo_vemb, 0, 2, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, key, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, member, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO_WITH_DEFAULT_VALUE(0, raw, _IS_BOOL, 0, "false")
ZEND_END_ARG_INFO()

#define arginfo_class_Kelvo_Kelvo_vgetattr arginfo_class_Kelvo_Kelvo_vemb

#define arginfo_class_Kelvo_Kelvo_vinfo arginfo_class_Kelvo_Kelvo_digest

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_class_Kelvo_Kelvo_vismember, 0, 2, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, key, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, member, IS_MIXED, 0)
ZEND_END_ARG_INFO()

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_class_Kelvo_Kelvo_vlinks, 0, 2, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, key, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, member, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO_WITH_DEFAULT_VALUE(0, withscores, _IS_BOOL, 0, "false")
ZEND_END_ARG_INFO()

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_class_Kelvo_Kelvo_vrandmember, 0, 1, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, key, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO_WITH_DEFAULT_VALUE(0, count, IS_LONG, 0, "0")
ZEND_END_ARG_INFO()

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_class_Kelvo_Kelvo_vrange, 0, 3, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, key, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, min, IS_STRING, 0)
	ZEND_ARG_TYPE_INFO(0, max, IS_STRING, 0)
	ZEND_ARG_TYPE_INFO_WITH_DEFAULT_VALUE(0, count, IS_LONG, 0, "-1")
ZEND_END_ARG_INFO()

#define arginfo_class_Kelvo_Kelvo_vrem arginfo_class_Kelvo_Kelvo_vismember

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_class_Kelvo_Kelvo_vsetattr, 0, 3, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, key, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, member, IS_MIXED, 0)
	ZEND_ARG_TYPE_MASK(0, attributes, MAY_BE_ARRAY|MAY_BE_STRING, NULL)
ZEND_END_ARG_INFO()

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_class_Kelvo_Kelvo_vsim, 0, 2, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, key, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, member, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO_WITH_DEFAULT_VALUE(0, options, IS_ARRAY, 1, "null")
ZEND_END_ARG_INFO()

ZEND_BEGIN_ARG_WITH_RETURN_OBJ_TYPE_MASK_EX(arginfo_class_Kelvo_Kelvo_wait, 0, 2, Kelvo\\Kelvo, MAY_BE_FALSE|MAY_BE_LONG)
	ZEND_ARG_TYPE_INFO(0, replicas, IS_LONG, 0)
	ZEND_ARG_INFO(0, timeout)
ZEND_END_ARG_INFO()

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_class_Kelvo_Kelvo_waitaof, 0, 3, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, numlocal, IS_LONG, 0)
	ZEND_ARG_TYPE_INFO(0, numreplicas, IS_LONG, 0)
	ZEND_ARG_TYPE_INFO(0, timeout, IS_LONG, 0)
ZEND_END_ARG_INFO()

#define arginfo_class_Kelvo_Kelvo_watch arginfo_class_Kelvo_Kelvo_exists

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_class_Kelvo_Kelvo_xack, 0, 3, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, key, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, group, IS_STRING, 0)
	ZEND_ARG_TYPE_INFO(0, ids, IS_ARRAY, 0)
ZEND_END_ARG_INFO()

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_class_Kelvo_Kelvo_xackdel, 0, 3, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, key, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, group, IS_STRING, 0)
	ZEND_ARG_TYPE_INFO(0, ids, IS_ARRAY, 0)
	ZEND_ARG_TYPE_INFO_WITH_DEFAULT_VALUE(0, mode, IS_STRING, 1, "null")
ZEND_END_ARG_INFO()

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_class_Kelvo_Kelvo_xadd, 0, 3, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, key, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, id, IS_STRING, 0)
	ZEND_ARG_TYPE_INFO(0, values, IS_ARRAY, 0)
	ZEND_ARG_TYPE_INFO_WITH_DEFAULT_VALUE(0, maxlen, IS_LONG, 0, "0")
	ZEND_ARG_TYPE_INFO_WITH_DEFAULT_VALUE(0, approx, _IS_BOOL, 0, "false")
	ZEND_ARG_TYPE_INFO_WITH_DEFAULT_VALUE(0, nomkstream, _IS_BOOL, 0, "false")
ZEND_END_ARG_INFO()

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_class_Kelvo_Kelvo_xautoclaim, 0, 5, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, key, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, group, IS_STRING, 0)
	ZEND_ARG_TYPE_INFO(0, consumer, IS_STRING, 0)
	ZEND_ARG_TYPE_INFO(0, min_idle, IS_LONG, 0)
	ZEND_ARG_TYPE_INFO(0, start, IS_STRING, 0)
	ZEND_ARG_TYPE_INFO_WITH_DEFAULT_VALUE(0, count, IS_LONG, 0, "-1")
	ZEND_ARG_TYPE_INFO_WITH_DEFAULT_VALUE(0, justid, _IS_BOOL, 0, "false")
ZEND_END_ARG_INFO()

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_class_Kelvo_Kelvo_xclaim, 0, 5, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, key, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, group, IS_STRING, 0)
	ZEND_ARG_TYPE_INFO(0, consumer, IS_STRING, 0)
	ZEND_ARG_TYPE_INFO(0, min_idle, IS_LONG, 0)
	ZEND_ARG_TYPE_INFO(0, ids, IS_ARRAY, 0)
	ZEND_ARG_TYPE_INFO_WITH_DEFAULT_VALUE(0, options, IS_ARRAY, 1, "null")
ZEND_END_ARG_INFO()

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_class_Kelvo_Kelvo_xdel, 0, 2, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, key, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, ids, IS_ARRAY, 0)
ZEND_END_ARG_INFO()

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_class_Kelvo_Kelvo_xdelex, 0, 2, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, key, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, ids, IS_ARRAY, 0)
	ZEND_ARG_TYPE_INFO_WITH_DEFAULT_VALUE(0, mode, IS_STRING, 1, "null")
ZEND_END_ARG_INFO()

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_class_Kelvo_Kelvo_xgroup, 0, 1, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, operation, IS_STRING, 0)
	ZEND_ARG_TYPE_INFO_WITH_DEFAULT_VALUE(0, key, IS_MIXED, 0, "null")
	ZEND_ARG_TYPE_INFO_WITH_DEFAULT_VALUE(0, group, IS_STRING, 1, "null")
	ZEND_ARG_TYPE_INFO_WITH_DEFAULT_VALUE(0, id_or_consumer, IS_STRING, 1, "null")
	ZEND_ARG_TYPE_INFO_WITH_DEFAULT_VALUE(0, mkstream, _IS_BOOL, 0, "false")
	ZEND_ARG_TYPE_INFO_WITH_DEFAULT_VALUE(0, entries_read, IS_LONG, 0, "-2")
ZEND_END_ARG_INFO()

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_class_Kelvo_Kelvo_xinfo, 0, 1, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, operation, IS_STRING, 0)
	ZEND_ARG_TYPE_INFO_WITH_DEFAULT_VALUE(0, arg1, IS_STRING, 1, "null")
	ZEND_ARG_TYPE_INFO_WITH_DEFAULT_VALUE(0, arg2, IS_STRING, 1, "null")
	ZEND_ARG_TYPE_INFO_WITH_DEFAULT_VALUE(0, count, IS_LONG, 0, "-1")
ZEND_END_ARG_INFO()

#define arginfo_class_Kelvo_Kelvo_xlen arginfo_class_Kelvo_Kelvo_digest

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_class_Kelvo_Kelvo_xnack, 0, 4, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, key, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, group, IS_STRING, 0)
	ZEND_ARG_TYPE_INFO(0, mode, IS_STRING, 0)
	ZEND_ARG_TYPE_INFO(0, ids, IS_ARRAY, 0)
	ZEND_ARG_TYPE_INFO_WITH_DEFAULT_VALUE(0, options, IS_ARRAY, 1, "null")
ZEND_END_ARG_INFO()

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_class_Kelvo_Kelvo_xpending, 0, 2, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, key, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, group, IS_STRING, 0)
	ZEND_ARG_TYPE_INFO_WITH_DEFAULT_VALUE(0, start, IS_STRING, 1, "null")
	ZEND_ARG_TYPE_INFO_WITH_DEFAULT_VALUE(0, end, IS_STRING, 1, "null")
	ZEND_ARG_TYPE_INFO_WITH_DEFAULT_VALUE(0, count, IS_LONG, 0, "-1")
	ZEND_ARG_TYPE_INFO_WITH_DEFAULT_VALUE(0, consumer, IS_STRING, 1, "null")
	ZEND_ARG_TYPE_INFO_WITH_DEFAULT_VALUE(0, idle, IS_LONG, 0, "0")
ZEND_END_ARG_INFO()

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_class_Kelvo_Kelvo_xrange, 0, 3, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, key, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, start, IS_STRING, 0)
	ZEND_ARG_TYPE_INFO(0, end, IS_STRING, 0)
	ZEND_ARG_TYPE_INFO_WITH_DEFAULT_VALUE(0, count, IS_LONG, 0, "-1")
ZEND_END_ARG_INFO()

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_class_Kelvo_Kelvo_xread, 0, 1, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, streams, IS_ARRAY, 0)
	ZEND_ARG_TYPE_INFO_WITH_DEFAULT_VALUE(0, count, IS_LONG, 0, "-1")
	ZEND_ARG_TYPE_INFO_WITH_DEFAULT_VALUE(0, block, IS_LONG, 0, "-1")
ZEND_END_ARG_INFO()

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_class_Kelvo_Kelvo_xreadgroup, 0, 3, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, group, IS_STRING, 0)
	ZEND_ARG_TYPE_INFO(0, consumer, IS_STRING, 0)
	ZEND_ARG_TYPE_INFO(0, streams, IS_ARRAY, 0)
	ZEND_ARG_TYPE_INFO_WITH_DEFAULT_VALUE(0, count, IS_LONG, 1, "null")
	ZEND_ARG_TYPE_INFO_WITH_DEFAULT_VALUE(0, block, IS_LONG, 1, "null")
ZEND_END_ARG_INFO()

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_class_Kelvo_Kelvo_xrevrange, 0, 3, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, key, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, end, IS_STRING, 0)
	ZEND_ARG_TYPE_INFO(0, start, IS_STRING, 0)
	ZEND_ARG_TYPE_INFO_WITH_DEFAULT_VALUE(0, count, IS_LONG, 0, "-1")
ZEND_END_ARG_INFO()

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_class_Kelvo_Kelvo_xtrim, 0, 2, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, key, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, threshold, IS_STRING, 0)
	ZEND_ARG_TYPE_INFO_WITH_DEFAULT_VALUE(0, approx, _IS_BOOL, 0, "false")
	ZEND_ARG_TYPE_INFO_WITH_DEFAULT_VALUE(0, minid, _IS_BOOL, 0, "false")
	ZEND_ARG_TYPE_INFO_WITH_DEFAULT_VALUE(0, limit, IS_LONG, 0, "-1")
ZEND_END_ARG_INFO()

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_class_Kelvo_Kelvo_zadd, 0, 2, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, key, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, score_or_options, IS_MIXED, 0)
	ZEND_ARG_VARIADIC_TYPE_INFO(0, more_scores_and_mems, IS_MIXED, 0)
ZEND_END_ARG_INFO()

#define arginfo_class_Kelvo_Kelvo_zcard arginfo_class_Kelvo_Kelvo_digest

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_class_Kelvo_Kelvo_zcount, 0, 3, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, key, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, start, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, end, IS_MIXED, 0)
ZEND_END_ARG_INFO()

#define arginfo_class_Kelvo_Kelvo_zdiff arginfo_class_Kelvo_Kelvo_sdiffcard

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_class_Kelvo_Kelvo_zdiffstore, 0, 2, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, dst, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, keys, IS_ARRAY, 0)
ZEND_END_ARG_INFO()

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_class_Kelvo_Kelvo_zincrby, 0, 3, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, key, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, value, IS_DOUBLE, 0)
	ZEND_ARG_TYPE_INFO(0, member, IS_MIXED, 0)
ZEND_END_ARG_INFO()

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_class_Kelvo_Kelvo_zinter, 0, 1, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, keys, IS_ARRAY, 0)
	ZEND_ARG_TYPE_INFO_WITH_DEFAULT_VALUE(0, weights, IS_ARRAY, 1, "null")
	ZEND_ARG_TYPE_INFO_WITH_DEFAULT_VALUE(0, options, IS_MIXED, 0, "null")
ZEND_END_ARG_INFO()

#define arginfo_class_Kelvo_Kelvo_zintercard arginfo_class_Kelvo_Kelvo_sintercard

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_class_Kelvo_Kelvo_zinterstore, 0, 2, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, dst, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, keys, IS_ARRAY, 0)
	ZEND_ARG_TYPE_INFO_WITH_DEFAULT_VALUE(0, weights, IS_ARRAY, 1, "null")
	ZEND_ARG_TYPE_INFO_WITH_DEFAULT_VALUE(0, options, IS_MIXED, 0, "null")
ZEND_END_ARG_INFO()

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_class_Kelvo_Kelvo_zlexcount, 0, 3, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, key, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, min, IS_STRING, 0)
	ZEND_ARG_TYPE_INFO(0, max, IS_STRING, 0)
ZEND_END_ARG_INFO()

#define arginfo_class_Kelvo_Kelvo_zmpop arginfo_class_Kelvo_Kelvo_lmpop

#define arginfo_class_Kelvo_Kelvo_zmscore arginfo_class_Kelvo_Kelvo_geohash

#define arginfo_class_Kelvo_Kelvo_zpopmax arginfo_class_Kelvo_Kelvo_lpop

#define arginfo_class_Kelvo_Kelvo_zpopmin arginfo_class_Kelvo_Kelvo_lpop

#define arginfo_class_Kelvo_Kelvo_zrandmember arginfo_class_Kelvo_Kelvo_delex

ZEND_BEGIN_ARG_WITH_RETURN_OBJ_TYPE_MASK_EX(arginfo_class_Kelvo_Kelvo_zrange, 0, 3, Kelvo\\Kelvo, MAY_BE_FALSE|MAY_BE_ARRAY)
	ZEND_ARG_TYPE_INFO(0, key, IS_MIXED, 0)
	ZEND_ARG_TYPE_MASK(0, start, MAY_BE_LONG|MAY_BE_STRING, NULL)
	ZEND_ARG_TYPE_MASK(0, end, MAY_BE_LONG|MAY_BE_STRING, NULL)
	ZEND_ARG_TYPE_INFO_WITH_DEFAULT_VALUE(0, options, IS_MIXED, 0, "null")
ZEND_END_ARG_INFO()

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_class_Kelvo_Kelvo_zrangebylex, 0, 3, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, key, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, min, IS_STRING, 0)
	ZEND_ARG_TYPE_INFO(0, max, IS_STRING, 0)
	ZEND_ARG_TYPE_INFO_WITH_DEFAULT_VALUE(0, offset, IS_LONG, 0, "-1")
	ZEND_ARG_TYPE_INFO_WITH_DEFAULT_VALUE(0, count, IS_LONG, 0, "-1")
ZEND_END_ARG_INFO()

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_class_Kelvo_Kelvo_zrangebyscore, 0, 3, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, key, IS_MIXED, 0)
	ZEND_ARG_TYPE_MASK(0, start, MAY_BE_LONG|MAY_BE_STRING, NULL)
	ZEND_ARG_TYPE_MASK(0, end, MAY_BE_LONG|MAY_BE_STRING, NULL)
	ZEND_ARG_TYPE_INFO_WITH_DEFAULT_VALUE(0, options, IS_MIXED, 0, "null")
ZEND_END_ARG_INFO()

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_class_Kelvo_Kelvo_zrangestore, 0, 4, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, dstkey, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, srckey, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, start, IS_STRING, 0)
	ZEND_ARG_TYPE_INFO(0, end, IS_STRING, 0)
	ZEND_ARG_TYPE_INFO_WITH_DEFAULT_VALUE(0, options, IS_MIXED, 0, "null")
ZEND_END_ARG_INFO()

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_class_Kelvo_Kelvo_zrank, 0, 2, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, key, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, member, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO_WITH_DEFAULT_VALUE(0, withscore, _IS_BOOL, 0, "false")
ZEND_END_ARG_INFO()

#define arginfo_class_Kelvo_Kelvo_zrem arginfo_class_Kelvo_Kelvo_geohash

#define arginfo_class_Kelvo_Kelvo_zremrangebylex arginfo_class_Kelvo_Kelvo_zlexcount

#define arginfo_class_Kelvo_Kelvo_zremrangebyrank arginfo_class_Kelvo_Kelvo_getrange

#define arginfo_class_Kelvo_Kelvo_zremrangebyscore arginfo_class_Kelvo_Kelvo_zcount

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_class_Kelvo_Kelvo_zrevrange, 0, 3, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, key, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, start, IS_LONG, 0)
	ZEND_ARG_TYPE_INFO(0, end, IS_LONG, 0)
	ZEND_ARG_TYPE_INFO_WITH_DEFAULT_VALUE(0, options, IS_MIXED, 0, "null")
ZEND_END_ARG_INFO()

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_class_Kelvo_Kelvo_zrevrangebylex, 0, 3, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, key, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, max, IS_STRING, 0)
	ZEND_ARG_TYPE_INFO(0, min, IS_STRING, 0)
	ZEND_ARG_TYPE_INFO_WITH_DEFAULT_VALUE(0, offset, IS_LONG, 0, "-1")
	ZEND_ARG_TYPE_INFO_WITH_DEFAULT_VALUE(0, count, IS_LONG, 0, "-1")
ZEND_END_ARG_INFO()

#define arginfo_class_Kelvo_Kelvo_zrevrangebyscore arginfo_class_Kelvo_Kelvo_zrangebyscore

#define arginfo_class_Kelvo_Kelvo_zrevrank arginfo_class_Kelvo_Kelvo_zrank

#define arginfo_class_Kelvo_Kelvo_zscore arginfo_class_Kelvo_Kelvo_vismember

#define arginfo_class_Kelvo_Kelvo_zunion arginfo_class_Kelvo_Kelvo_zinter

#define arginfo_class_Kelvo_Kelvo_zunionstore arginfo_class_Kelvo_Kelvo_zinterstore

ZEND_BEGIN_ARG_WITH_RETURN_OBJ_TYPE_MASK_EX(arginfo_class_Kelvo_Kelvo_cmsIncrBy, 0, 3, Kelvo\\Kelvo, MAY_BE_FALSE|MAY_BE_ARRAY)
	ZEND_ARG_TYPE_INFO(0, key, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, field, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, value, IS_LONG, 0)
	ZEND_ARG_VARIADIC_INFO(0, fields_and_values)
ZEND_END_ARG_INFO()

#define arginfo_class_Kelvo_Kelvo_cmsInfo arginfo_class_Kelvo_Kelvo_digest

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_class_Kelvo_Kelvo_cmsInitByDim, 0, 3, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, key, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, width, IS_LONG, 0)
	ZEND_ARG_TYPE_INFO(0, depth, IS_LONG, 0)
ZEND_END_ARG_INFO()

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_class_Kelvo_Kelvo_cmsInitByProb, 0, 3, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, key, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, error, IS_DOUBLE, 0)
	ZEND_ARG_TYPE_INFO(0, probability, IS_DOUBLE, 0)
ZEND_END_ARG_INFO()

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_class_Kelvo_Kelvo_cmsMerge, 0, 2, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, dst, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, keys, IS_ARRAY, 0)
	ZEND_ARG_TYPE_INFO_WITH_DEFAULT_VALUE(0, weights, IS_ARRAY, 1, "null")
ZEND_END_ARG_INFO()

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_class_Kelvo_Kelvo_cmsQuery, 0, 2, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, key, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, item, IS_MIXED, 0)
	ZEND_ARG_VARIADIC_TYPE_INFO(0, other_items, IS_MIXED, 0)
ZEND_END_ARG_INFO()

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_class_Kelvo_Kelvo_ftAggregate, 0, 2, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, index, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, query, IS_STRING, 0)
	ZEND_ARG_TYPE_INFO_WITH_DEFAULT_VALUE(0, options, IS_ARRAY, 1, "null")
ZEND_END_ARG_INFO()

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_class_Kelvo_Kelvo_ftAliasAdd, 0, 2, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, index, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, alias, IS_STRING, 0)
ZEND_END_ARG_INFO()

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_class_Kelvo_Kelvo_ftAliasDel, 0, 1, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, alias, IS_MIXED, 0)
ZEND_END_ARG_INFO()

#define arginfo_class_Kelvo_Kelvo_ftAliasUpdate arginfo_class_Kelvo_Kelvo_ftAliasAdd

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_class_Kelvo_Kelvo_ftAlter, 0, 2, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, index, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, schema, IS_ARRAY, 0)
	ZEND_ARG_TYPE_INFO_WITH_DEFAULT_VALUE(0, skipinitialscan, _IS_BOOL, 0, "false")
ZEND_END_ARG_INFO()

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_class_Kelvo_Kelvo_ftConfig, 0, 2, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, operation, IS_STRING, 0)
	ZEND_ARG_TYPE_INFO(0, option, IS_STRING, 0)
	ZEND_ARG_TYPE_INFO_WITH_DEFAULT_VALUE(0, value, IS_MIXED, 0, "null")
ZEND_END_ARG_INFO()

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_class_Kelvo_Kelvo_ftCreate, 0, 2, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, index, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, schema, IS_ARRAY, 0)
	ZEND_ARG_TYPE_INFO_WITH_DEFAULT_VALUE(0, options, IS_ARRAY, 1, "null")
ZEND_END_ARG_INFO()

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_class_Kelvo_Kelvo_ftCursor, 0, 3, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, operation, IS_STRING, 0)
	ZEND_ARG_TYPE_INFO(0, index, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, cursor, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO_WITH_DEFAULT_VALUE(0, options, IS_ARRAY, 1, "null")
ZEND_END_ARG_INFO()

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_class_Kelvo_Kelvo_ftDictAdd, 0, 2, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, dict, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, term, IS_STRING, 0)
	ZEND_ARG_VARIADIC_TYPE_INFO(0, other_terms, IS_MIXED, 0)
ZEND_END_ARG_INFO()

#define arginfo_class_Kelvo_Kelvo_ftDictDel arginfo_class_Kelvo_Kelvo_ftDictAdd

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_class_Kelvo_Kelvo_ftDictDump, 0, 1, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, dict, IS_MIXED, 0)
ZEND_END_ARG_INFO()

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_class_Kelvo_Kelvo_ftDropIndex, 0, 1, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, index, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO_WITH_DEFAULT_VALUE(0, dd, _IS_BOOL, 0, "false")
ZEND_END_ARG_INFO()

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_class_Kelvo_Kelvo_ftExplain, 0, 2, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, index, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, query, IS_STRING, 0)
	ZEND_ARG_TYPE_INFO_WITH_DEFAULT_VALUE(0, dialect, IS_LONG, 1, "0")
ZEND_END_ARG_INFO()

#define arginfo_class_Kelvo_Kelvo_ftExplainCli arginfo_class_Kelvo_Kelvo_ftExplain

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_class_Kelvo_Kelvo_ftInfo, 0, 1, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, index, IS_MIXED, 0)
ZEND_END_ARG_INFO()

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_class_Kelvo_Kelvo_ftProfile, 0, 3, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, index, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, command, IS_STRING, 0)
	ZEND_ARG_TYPE_INFO(0, query, IS_STRING, 0)
	ZEND_ARG_TYPE_INFO_WITH_DEFAULT_VALUE(0, limited, _IS_BOOL, 0, "false")
ZEND_END_ARG_INFO()

#define arginfo_class_Kelvo_Kelvo_ftSearch arginfo_class_Kelvo_Kelvo_ftAggregate

#define arginfo_class_Kelvo_Kelvo_ftSpellCheck arginfo_class_Kelvo_Kelvo_ftAggregate

#define arginfo_class_Kelvo_Kelvo_ftSynDump arginfo_class_Kelvo_Kelvo_ftInfo

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_class_Kelvo_Kelvo_ftSynUpdate, 0, 3, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, index, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, group_id, IS_STRING, 0)
	ZEND_ARG_TYPE_INFO(0, terms, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO_WITH_DEFAULT_VALUE(0, skipinitialscan, _IS_BOOL, 0, "false")
ZEND_END_ARG_INFO()

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_class_Kelvo_Kelvo_ftTagVals, 0, 2, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, index, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, field, IS_STRING, 0)
ZEND_END_ARG_INFO()

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_class_Kelvo_Kelvo_jsonArrAppend, 0, 2, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, key, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, value_or_array, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO_WITH_DEFAULT_VALUE(0, path, IS_STRING, 1, "null")
ZEND_END_ARG_INFO()

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_class_Kelvo_Kelvo_jsonArrIndex, 0, 3, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, key, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, path, IS_STRING, 0)
	ZEND_ARG_TYPE_INFO(0, value, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO_WITH_DEFAULT_VALUE(0, start, IS_LONG, 1, "0")
	ZEND_ARG_TYPE_INFO_WITH_DEFAULT_VALUE(0, stop, IS_LONG, 1, "-1")
ZEND_END_ARG_INFO()

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_class_Kelvo_Kelvo_jsonArrInsert, 0, 4, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, key, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, path, IS_STRING, 0)
	ZEND_ARG_TYPE_INFO(0, index, IS_LONG, 0)
	ZEND_ARG_TYPE_INFO(0, value, IS_MIXED, 0)
	ZEND_ARG_VARIADIC_TYPE_INFO(0, other_values, IS_MIXED, 0)
ZEND_END_ARG_INFO()

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_class_Kelvo_Kelvo_jsonArrLen, 0, 1, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, key, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO_WITH_DEFAULT_VALUE(0, path, IS_STRING, 1, "null")
ZEND_END_ARG_INFO()

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_class_Kelvo_Kelvo_jsonArrPop, 0, 1, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, key, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO_WITH_DEFAULT_VALUE(0, path, IS_STRING, 1, "null")
	ZEND_ARG_TYPE_INFO_WITH_DEFAULT_VALUE(0, index, IS_LONG, 1, "-1")
ZEND_END_ARG_INFO()

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_class_Kelvo_Kelvo_jsonArrTrim, 0, 4, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, key, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, path, IS_STRING, 0)
	ZEND_ARG_TYPE_INFO(0, start, IS_LONG, 0)
	ZEND_ARG_TYPE_INFO(0, stop, IS_LONG, 0)
ZEND_END_ARG_INFO()

#define arginfo_class_Kelvo_Kelvo_jsonClear arginfo_class_Kelvo_Kelvo_jsonArrLen

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_class_Kelvo_Kelvo_jsonDebug, 0, 2, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, subcommand, IS_STRING, 0)
	ZEND_ARG_TYPE_INFO(0, key, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO_WITH_DEFAULT_VALUE(0, path, IS_STRING, 1, "null")
ZEND_END_ARG_INFO()

#define arginfo_class_Kelvo_Kelvo_jsonDel arginfo_class_Kelvo_Kelvo_jsonArrLen

#define arginfo_class_Kelvo_Kelvo_jsonForget arginfo_class_Kelvo_Kelvo_jsonArrLen

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_class_Kelvo_Kelvo_jsonGet, 0, 1, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, key, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO_WITH_DEFAULT_VALUE(0, options, IS_ARRAY, 0, "[]")
	ZEND_ARG_VARIADIC_TYPE_INFO(0, paths, IS_MIXED, 0)
ZEND_END_ARG_INFO()

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_class_Kelvo_Kelvo_jsonMerge, 0, 3, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, key, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, path, IS_STRING, 0)
	ZEND_ARG_TYPE_INFO(0, value, IS_MIXED, 0)
ZEND_END_ARG_INFO()

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_class_Kelvo_Kelvo_jsonMget, 0, 2, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, key_or_array, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, path, IS_STRING, 0)
ZEND_END_ARG_INFO()

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_class_Kelvo_Kelvo_jsonMset, 0, 3, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, key, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, path, IS_STRING, 0)
	ZEND_ARG_TYPE_INFO(0, value, IS_MIXED, 0)
	ZEND_ARG_VARIADIC_TYPE_INFO(0, other_triples, IS_MIXED, 0)
ZEND_END_ARG_INFO()

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_class_Kelvo_Kelvo_jsonNumIncrBy, 0, 3, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, key, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, path, IS_STRING, 0)
	ZEND_ARG_TYPE_MASK(0, value, MAY_BE_LONG|MAY_BE_DOUBLE, NULL)
ZEND_END_ARG_INFO()

#define arginfo_class_Kelvo_Kelvo_jsonNumMultBy arginfo_class_Kelvo_Kelvo_jsonNumIncrBy

#define arginfo_class_Kelvo_Kelvo_jsonObjKeys arginfo_class_Kelvo_Kelvo_jsonArrLen

#define arginfo_class_Kelvo_Kelvo_jsonObjLen arginfo_class_Kelvo_Kelvo_jsonArrLen

#define arginfo_class_Kelvo_Kelvo_jsonResp arginfo_class_Kelvo_Kelvo_jsonArrLen

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_class_Kelvo_Kelvo_jsonSet, 0, 3, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, key, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, path, IS_STRING, 0)
	ZEND_ARG_TYPE_INFO(0, value, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO_WITH_DEFAULT_VALUE(0, condition, IS_STRING, 1, "null")
	ZEND_ARG_TYPE_INFO_WITH_DEFAULT_VALUE(0, fpha, IS_STRING, 1, "null")
ZEND_END_ARG_INFO()

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_class_Kelvo_Kelvo_jsonStrAppend, 0, 2, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, key, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, value, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO_WITH_DEFAULT_VALUE(0, path, IS_STRING, 1, "null")
ZEND_END_ARG_INFO()

#define arginfo_class_Kelvo_Kelvo_jsonStrLen arginfo_class_Kelvo_Kelvo_jsonArrLen

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_class_Kelvo_Kelvo_jsonToggle, 0, 2, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, key, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, path, IS_STRING, 0)
ZEND_END_ARG_INFO()

#define arginfo_class_Kelvo_Kelvo_jsonType arginfo_class_Kelvo_Kelvo_jsonArrLen

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_class_Kelvo_Kelvo_subscribe, 0, 2, _IS_BOOL, 0)
	ZEND_ARG_TYPE_INFO(0, channels, IS_ARRAY, 0)
	ZEND_ARG_TYPE_INFO(0, callback, IS_CALLABLE, 0)
ZEND_END_ARG_INFO()

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_class_Kelvo_Kelvo_psubscribe, 0, 2, _IS_BOOL, 0)
	ZEND_ARG_TYPE_INFO(0, patterns, IS_ARRAY, 0)
	ZEND_ARG_TYPE_INFO(0, callback, IS_CALLABLE, 0)
ZEND_END_ARG_INFO()

#define arginfo_class_Kelvo_Kelvo_ssubscribe arginfo_class_Kelvo_Kelvo_subscribe

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_class_Kelvo_Kelvo_unsubscribe, 0, 0, _IS_BOOL, 0)
	ZEND_ARG_TYPE_INFO_WITH_DEFAULT_VALUE(0, channels, IS_ARRAY, 0, "[]")
ZEND_END_ARG_INFO()

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_class_Kelvo_Kelvo_punsubscribe, 0, 0, _IS_BOOL, 0)
	ZEND_ARG_TYPE_INFO_WITH_DEFAULT_VALUE(0, patterns, IS_ARRAY, 0, "[]")
ZEND_END_ARG_INFO()

#define arginfo_class_Kelvo_Kelvo_sunsubscribe arginfo_class_Kelvo_Kelvo_unsubscribe


ZEND_METHOD(Kelvo_Kelvo, __construct);
ZEND_METHOD(Kelvo_Kelvo, connect);
ZEND_METHOD(Kelvo_Kelvo, pconnect);
ZEND_METHOD(Kelvo_Kelvo, close);
ZEND_METHOD(Kelvo_Kelvo, listen);
ZEND_METHOD(Kelvo_Kelvo, onFlushed);
ZEND_METHOD(Kelvo_Kelvo, onInvalidated);
ZEND_METHOD(Kelvo_Kelvo, dispatchEvents);
ZEND_METHOD(Kelvo_Kelvo, getOption);
ZEND_METHOD(Kelvo_Kelvo, option);
ZEND_METHOD(Kelvo_Kelvo, setOption);
ZEND_METHOD(Kelvo_Kelvo, addIgnorePatterns);
ZEND_METHOD(Kelvo_Kelvo, addAllowPatterns);
ZEND_METHOD(Kelvo_Kelvo, getTimeout);
ZEND_METHOD(Kelvo_Kelvo, getReadTimeout);
ZEND_METHOD(Kelvo_Kelvo, getBytes);
ZEND_METHOD(Kelvo_Kelvo, getHost);
ZEND_METHOD(Kelvo_Kelvo, isConnected);
ZEND_METHOD(Kelvo_Kelvo, getPort);
ZEND_METHOD(Kelvo_Kelvo, getAuth);
ZEND_METHOD(Kelvo_Kelvo, getDbNum);
ZEND_METHOD(Kelvo_Kelvo, _serialize);
ZEND_METHOD(Kelvo_Kelvo, _unserialize);
ZEND_METHOD(Kelvo_Kelvo, _compress);
ZEND_METHOD(Kelvo_Kelvo, _uncompress);
ZEND_METHOD(Kelvo_Kelvo, _pack);
ZEND_METHOD(Kelvo_Kelvo, _digest);
ZEND_METHOD(Kelvo_Kelvo, _unpack);
ZEND_METHOD(Kelvo_Kelvo, _prefix);
ZEND_METHOD(Kelvo_Kelvo, getLastError);
ZEND_METHOD(Kelvo_Kelvo, clearLastError);
ZEND_METHOD(Kelvo_Kelvo, endpointId);
ZEND_METHOD(Kelvo_Kelvo, socketId);
ZEND_METHOD(Kelvo_Kelvo, stats);
ZEND_METHOD(Kelvo_Kelvo, maxMemory);
ZEND_METHOD(Kelvo_Kelvo, memory);
ZEND_METHOD(Kelvo_Kelvo, rawCommand);
ZEND_METHOD(Kelvo_Kelvo, auth);
ZEND_METHOD(Kelvo_Kelvo, flushMemory);
ZEND_METHOD(Kelvo_Kelvo, lastMemoryFlush);
ZEND_METHOD(Kelvo_Kelvo, idleTime);
ZEND_METHOD(Kelvo_Kelvo, getWithMeta);
ZEND_METHOD(Kelvo_Kelvo, hgetWithMeta);
ZEND_METHOD(Kelvo_Kelvo, pipeline);
ZEND_METHOD(Kelvo_Kelvo, multi);
ZEND_METHOD(Kelvo_Kelvo, exec);
ZEND_METHOD(Kelvo_Kelvo, discard);
ZEND_METHOD(Kelvo_Kelvo, serverName);
ZEND_METHOD(Kelvo_Kelvo, serverVersion);
ZEND_METHOD(Kelvo_Kelvo, getMode);
ZEND_METHOD(Kelvo_Kelvo, clearBytes);
ZEND_METHOD(Kelvo_Kelvo, scan);
ZEND_METHOD(Kelvo_Kelvo, hscan);
ZEND_METHOD(Kelvo_Kelvo, sscan);
ZEND_METHOD(Kelvo_Kelvo, zscan);
ZEND_METHOD(Kelvo_Kelvo, _getKeys);
ZEND_METHOD(Kelvo_Kelvo, isTracked);
ZEND_METHOD(Kelvo_Kelvo, acl);
ZEND_METHOD(Kelvo_Kelvo, append);
ZEND_METHOD(Kelvo_Kelvo, bgrewriteaof);
ZEND_METHOD(Kelvo_Kelvo, bgsave);
ZEND_METHOD(Kelvo_Kelvo, bitcount);
ZEND_METHOD(Kelvo_Kelvo, bitfield);
ZEND_METHOD(Kelvo_Kelvo, bitop);
ZEND_METHOD(Kelvo_Kelvo, bitpos);
ZEND_METHOD(Kelvo_Kelvo, blmove);
ZEND_METHOD(Kelvo_Kelvo, blmovem);
ZEND_METHOD(Kelvo_Kelvo, blmpop);
ZEND_METHOD(Kelvo_Kelvo, blpop);
ZEND_METHOD(Kelvo_Kelvo, brpop);
ZEND_METHOD(Kelvo_Kelvo, brpoplpush);
ZEND_METHOD(Kelvo_Kelvo, bzmpop);
ZEND_METHOD(Kelvo_Kelvo, bzpopmax);
ZEND_METHOD(Kelvo_Kelvo, bzpopmin);
ZEND_METHOD(Kelvo_Kelvo, client);
ZEND_METHOD(Kelvo_Kelvo, command);
ZEND_METHOD(Kelvo_Kelvo, commandlog);
ZEND_METHOD(Kelvo_Kelvo, config);
ZEND_METHOD(Kelvo_Kelvo, copy);
ZEND_METHOD(Kelvo_Kelvo, dbsize);
ZEND_METHOD(Kelvo_Kelvo, decr);
ZEND_METHOD(Kelvo_Kelvo, decrby);
ZEND_METHOD(Kelvo_Kelvo, del);
ZEND_METHOD(Kelvo_Kelvo, delex);
ZEND_METHOD(Kelvo_Kelvo, delifeq);
ZEND_METHOD(Kelvo_Kelvo, digest);
ZEND_METHOD(Kelvo_Kelvo, dump);
ZEND_METHOD(Kelvo_Kelvo, echo);
ZEND_METHOD(Kelvo_Kelvo, eval);
ZEND_METHOD(Kelvo_Kelvo, evalsha);
ZEND_METHOD(Kelvo_Kelvo, evalsha_ro);
ZEND_METHOD(Kelvo_Kelvo, eval_ro);
ZEND_METHOD(Kelvo_Kelvo, exists);
ZEND_METHOD(Kelvo_Kelvo, expire);
ZEND_METHOD(Kelvo_Kelvo, expireat);
ZEND_METHOD(Kelvo_Kelvo, expiretime);
ZEND_METHOD(Kelvo_Kelvo, fcall);
ZEND_METHOD(Kelvo_Kelvo, fcall_ro);
ZEND_METHOD(Kelvo_Kelvo, flushall);
ZEND_METHOD(Kelvo_Kelvo, flushdb);
ZEND_METHOD(Kelvo_Kelvo, function);
ZEND_METHOD(Kelvo_Kelvo, gcra);
ZEND_METHOD(Kelvo_Kelvo, geoadd);
ZEND_METHOD(Kelvo_Kelvo, geodist);
ZEND_METHOD(Kelvo_Kelvo, geohash);
ZEND_METHOD(Kelvo_Kelvo, geopos);
ZEND_METHOD(Kelvo_Kelvo, georadius);
ZEND_METHOD(Kelvo_Kelvo, georadiusbymember);
ZEND_METHOD(Kelvo_Kelvo, georadiusbymember_ro);
ZEND_METHOD(Kelvo_Kelvo, georadius_ro);
ZEND_METHOD(Kelvo_Kelvo, geosearch);
ZEND_METHOD(Kelvo_Kelvo, geosearchstore);
ZEND_METHOD(Kelvo_Kelvo, get);
ZEND_METHOD(Kelvo_Kelvo, getbit);
ZEND_METHOD(Kelvo_Kelvo, getdel);
ZEND_METHOD(Kelvo_Kelvo, getex);
ZEND_METHOD(Kelvo_Kelvo, getrange);
ZEND_METHOD(Kelvo_Kelvo, getset);
ZEND_METHOD(Kelvo_Kelvo, hdel);
ZEND_METHOD(Kelvo_Kelvo, hexists);
ZEND_METHOD(Kelvo_Kelvo, hexpire);
ZEND_METHOD(Kelvo_Kelvo, hexpireat);
ZEND_METHOD(Kelvo_Kelvo, hexpiretime);
ZEND_METHOD(Kelvo_Kelvo, hget);
ZEND_METHOD(Kelvo_Kelvo, hgetall);
ZEND_METHOD(Kelvo_Kelvo, hgetdel);
ZEND_METHOD(Kelvo_Kelvo, hgetex);
ZEND_METHOD(Kelvo_Kelvo, hincrby);
ZEND_METHOD(Kelvo_Kelvo, hincrbyfloat);
ZEND_METHOD(Kelvo_Kelvo, hkeys);
ZEND_METHOD(Kelvo_Kelvo, hlen);
ZEND_METHOD(Kelvo_Kelvo, hmget);
ZEND_METHOD(Kelvo_Kelvo, hmset);
ZEND_METHOD(Kelvo_Kelvo, hotkeys);
ZEND_METHOD(Kelvo_Kelvo, hpersist);
ZEND_METHOD(Kelvo_Kelvo, hpexpire);
ZEND_METHOD(Kelvo_Kelvo, hpexpireat);
ZEND_METHOD(Kelvo_Kelvo, hpexpiretime);
ZEND_METHOD(Kelvo_Kelvo, hpttl);
ZEND_METHOD(Kelvo_Kelvo, hrandfield);
ZEND_METHOD(Kelvo_Kelvo, hset);
ZEND_METHOD(Kelvo_Kelvo, hsetex);
ZEND_METHOD(Kelvo_Kelvo, hsetnx);
ZEND_METHOD(Kelvo_Kelvo, hstrlen);
ZEND_METHOD(Kelvo_Kelvo, httl);
ZEND_METHOD(Kelvo_Kelvo, hvals);
ZEND_METHOD(Kelvo_Kelvo, incr);
ZEND_METHOD(Kelvo_Kelvo, incrby);
ZEND_METHOD(Kelvo_Kelvo, incrbyfloat);
ZEND_METHOD(Kelvo_Kelvo, increx);
ZEND_METHOD(Kelvo_Kelvo, info);
ZEND_METHOD(Kelvo_Kelvo, keys);
ZEND_METHOD(Kelvo_Kelvo, lastsave);
ZEND_METHOD(Kelvo_Kelvo, lcs);
ZEND_METHOD(Kelvo_Kelvo, lindex);
ZEND_METHOD(Kelvo_Kelvo, linsert);
ZEND_METHOD(Kelvo_Kelvo, llen);
ZEND_METHOD(Kelvo_Kelvo, lmove);
ZEND_METHOD(Kelvo_Kelvo, lmovem);
ZEND_METHOD(Kelvo_Kelvo, lmpop);
ZEND_METHOD(Kelvo_Kelvo, lpop);
ZEND_METHOD(Kelvo_Kelvo, lpos);
ZEND_METHOD(Kelvo_Kelvo, lpush);
ZEND_METHOD(Kelvo_Kelvo, lpushx);
ZEND_METHOD(Kelvo_Kelvo, lrange);
ZEND_METHOD(Kelvo_Kelvo, lrem);
ZEND_METHOD(Kelvo_Kelvo, lset);
ZEND_METHOD(Kelvo_Kelvo, ltrim);
ZEND_METHOD(Kelvo_Kelvo, mget);
ZEND_METHOD(Kelvo_Kelvo, migrate);
ZEND_METHOD(Kelvo_Kelvo, move);
ZEND_METHOD(Kelvo_Kelvo, mset);
ZEND_METHOD(Kelvo_Kelvo, msetex);
ZEND_METHOD(Kelvo_Kelvo, msetnx);
ZEND_METHOD(Kelvo_Kelvo, object);
ZEND_METHOD(Kelvo_Kelvo, persist);
ZEND_METHOD(Kelvo_Kelvo, pexpire);
ZEND_METHOD(Kelvo_Kelvo, pexpireat);
ZEND_METHOD(Kelvo_Kelvo, pexpiretime);
ZEND_METHOD(Kelvo_Kelvo, pfadd);
ZEND_METHOD(Kelvo_Kelvo, pfcount);
ZEND_METHOD(Kelvo_Kelvo, pfmerge);
ZEND_METHOD(Kelvo_Kelvo, ping);
ZEND_METHOD(Kelvo_Kelvo, psetex);
ZEND_METHOD(Kelvo_Kelvo, pttl);
ZEND_METHOD(Kelvo_Kelvo, publish);
ZEND_METHOD(Kelvo_Kelvo, pubsub);
ZEND_METHOD(Kelvo_Kelvo, randomkey);
ZEND_METHOD(Kelvo_Kelvo, rename);
ZEND_METHOD(Kelvo_Kelvo, renamenx);
ZEND_METHOD(Kelvo_Kelvo, replicaof);
ZEND_METHOD(Kelvo_Kelvo, restore);
ZEND_METHOD(Kelvo_Kelvo, role);
ZEND_METHOD(Kelvo_Kelvo, rpop);
ZEND_METHOD(Kelvo_Kelvo, rpoplpush);
ZEND_METHOD(Kelvo_Kelvo, rpush);
ZEND_METHOD(Kelvo_Kelvo, rpushx);
ZEND_METHOD(Kelvo_Kelvo, sadd);
ZEND_METHOD(Kelvo_Kelvo, save);
ZEND_METHOD(Kelvo_Kelvo, scard);
ZEND_METHOD(Kelvo_Kelvo, script);
ZEND_METHOD(Kelvo_Kelvo, sdiff);
ZEND_METHOD(Kelvo_Kelvo, sdiffcard);
ZEND_METHOD(Kelvo_Kelvo, sdiffstore);
ZEND_METHOD(Kelvo_Kelvo, select);
ZEND_METHOD(Kelvo_Kelvo, set);
ZEND_METHOD(Kelvo_Kelvo, setbit);
ZEND_METHOD(Kelvo_Kelvo, setex);
ZEND_METHOD(Kelvo_Kelvo, setnx);
ZEND_METHOD(Kelvo_Kelvo, setrange);
ZEND_METHOD(Kelvo_Kelvo, sinter);
ZEND_METHOD(Kelvo_Kelvo, sintercard);
ZEND_METHOD(Kelvo_Kelvo, sinterstore);
ZEND_METHOD(Kelvo_Kelvo, sismember);
ZEND_METHOD(Kelvo_Kelvo, slowlog);
ZEND_METHOD(Kelvo_Kelvo, smembers);
ZEND_METHOD(Kelvo_Kelvo, smismember);
ZEND_METHOD(Kelvo_Kelvo, smove);
ZEND_METHOD(Kelvo_Kelvo, sort);
ZEND_METHOD(Kelvo_Kelvo, sort_ro);
ZEND_METHOD(Kelvo_Kelvo, spop);
ZEND_METHOD(Kelvo_Kelvo, spublish);
ZEND_METHOD(Kelvo_Kelvo, srandmember);
ZEND_METHOD(Kelvo_Kelvo, srem);
ZEND_METHOD(Kelvo_Kelvo, strlen);
ZEND_METHOD(Kelvo_Kelvo, sunion);
ZEND_METHOD(Kelvo_Kelvo, sunioncard);
ZEND_METHOD(Kelvo_Kelvo, sunionstore);
ZEND_METHOD(Kelvo_Kelvo, swapdb);
ZEND_METHOD(Kelvo_Kelvo, time);
ZEND_METHOD(Kelvo_Kelvo, touch);
ZEND_METHOD(Kelvo_Kelvo, ttl);
ZEND_METHOD(Kelvo_Kelvo, type);
ZEND_METHOD(Kelvo_Kelvo, unlink);
ZEND_METHOD(Kelvo_Kelvo, unwatch);
ZEND_METHOD(Kelvo_Kelvo, vadd);
ZEND_METHOD(Kelvo_Kelvo, vcard);
ZEND_METHOD(Kelvo_Kelvo, vdim);
ZEND_METHOD(Kelvo_Kelvo, vemb);
ZEND_METHOD(Kelvo_Kelvo, vgetattr);
ZEND_METHOD(Kelvo_Kelvo, vinfo);
ZEND_METHOD(Kelvo_Kelvo, vismember);
ZEND_METHOD(Kelvo_Kelvo, vlinks);
ZEND_METHOD(Kelvo_Kelvo, vrandmember);
ZEND_METHOD(Kelvo_Kelvo, vrange);
ZEND_METHOD(Kelvo_Kelvo, vrem);
ZEND_METHOD(Kelvo_Kelvo, vsetattr);
ZEND_METHOD(Kelvo_Kelvo, vsim);
ZEND_METHOD(Kelvo_Kelvo, wait);
ZEND_METHOD(Kelvo_Kelvo, waitaof);
ZEND_METHOD(Kelvo_Kelvo, watch);
ZEND_METHOD(Kelvo_Kelvo, xack);
ZEND_METHOD(Kelvo_Kelvo, xackdel);
ZEND_METHOD(Kelvo_Kelvo, xadd);
ZEND_METHOD(Kelvo_Kelvo, xautoclaim);
ZEND_METHOD(Kelvo_Kelvo, xclaim);
ZEND_METHOD(Kelvo_Kelvo, xdel);
ZEND_METHOD(Kelvo_Kelvo, xdelex);
ZEND_METHOD(Kelvo_Kelvo, xgroup);
ZEND_METHOD(Kelvo_Kelvo, xinfo);
ZEND_METHOD(Kelvo_Kelvo, xlen);
ZEND_METHOD(Kelvo_Kelvo, xnack);
ZEND_METHOD(Kelvo_Kelvo, xpending);
ZEND_METHOD(Kelvo_Kelvo, xrange);
ZEND_METHOD(Kelvo_Kelvo, xread);
ZEND_METHOD(Kelvo_Kelvo, xreadgroup);
ZEND_METHOD(Kelvo_Kelvo, xrevrange);
ZEND_METHOD(Kelvo_Kelvo, xtrim);
ZEND_METHOD(Kelvo_Kelvo, zadd);
ZEND_METHOD(Kelvo_Kelvo, zcard);
ZEND_METHOD(Kelvo_Kelvo, zcount);
ZEND_METHOD(Kelvo_Kelvo, zdiff);
ZEND_METHOD(Kelvo_Kelvo, zdiffstore);
ZEND_METHOD(Kelvo_Kelvo, zincrby);
ZEND_METHOD(Kelvo_Kelvo, zinter);
ZEND_METHOD(Kelvo_Kelvo, zintercard);
ZEND_METHOD(Kelvo_Kelvo, zinterstore);
ZEND_METHOD(Kelvo_Kelvo, zlexcount);
ZEND_METHOD(Kelvo_Kelvo, zmpop);
ZEND_METHOD(Kelvo_Kelvo, zmscore);
ZEND_METHOD(Kelvo_Kelvo, zpopmax);
ZEND_METHOD(Kelvo_Kelvo, zpopmin);
ZEND_METHOD(Kelvo_Kelvo, zrandmember);
ZEND_METHOD(Kelvo_Kelvo, zrange);
ZEND_METHOD(Kelvo_Kelvo, zrangebylex);
ZEND_METHOD(Kelvo_Kelvo, zrangebyscore);
ZEND_METHOD(Kelvo_Kelvo, zrangestore);
ZEND_METHOD(Kelvo_Kelvo, zrank);
ZEND_METHOD(Kelvo_Kelvo, zrem);
ZEND_METHOD(Kelvo_Kelvo, zremrangebylex);
ZEND_METHOD(Kelvo_Kelvo, zremrangebyrank);
ZEND_METHOD(Kelvo_Kelvo, zremrangebyscore);
ZEND_METHOD(Kelvo_Kelvo, zrevrange);
ZEND_METHOD(Kelvo_Kelvo, zrevrangebylex);
ZEND_METHOD(Kelvo_Kelvo, zrevrangebyscore);
ZEND_METHOD(Kelvo_Kelvo, zrevrank);
ZEND_METHOD(Kelvo_Kelvo, zscore);
ZEND_METHOD(Kelvo_Kelvo, zunion);
ZEND_METHOD(Kelvo_Kelvo, zunionstore);
ZEND_METHOD(Kelvo_Kelvo, cmsIncrBy);
ZEND_METHOD(Kelvo_Kelvo, cmsInfo);
ZEND_METHOD(Kelvo_Kelvo, cmsInitByDim);
ZEND_METHOD(Kelvo_Kelvo, cmsInitByProb);
ZEND_METHOD(Kelvo_Kelvo, cmsMerge);
ZEND_METHOD(Kelvo_Kelvo, cmsQuery);
ZEND_METHOD(Kelvo_Kelvo, ftAggregate);
ZEND_METHOD(Kelvo_Kelvo, ftAliasAdd);
ZEND_METHOD(Kelvo_Kelvo, ftAliasDel);
ZEND_METHOD(Kelvo_Kelvo, ftAliasUpdate);
ZEND_METHOD(Kelvo_Kelvo, ftAlter);
ZEND_METHOD(Kelvo_Kelvo, ftConfig);
ZEND_METHOD(Kelvo_Kelvo, ftCreate);
ZEND_METHOD(Kelvo_Kelvo, ftCursor);
ZEND_METHOD(Kelvo_Kelvo, ftDictAdd);
ZEND_METHOD(Kelvo_Kelvo, ftDictDel);
ZEND_METHOD(Kelvo_Kelvo, ftDictDump);
ZEND_METHOD(Kelvo_Kelvo, ftDropIndex);
ZEND_METHOD(Kelvo_Kelvo, ftExplain);
ZEND_METHOD(Kelvo_Kelvo, ftExplainCli);
ZEND_METHOD(Kelvo_Kelvo, ftInfo);
ZEND_METHOD(Kelvo_Kelvo, ftProfile);
ZEND_METHOD(Kelvo_Kelvo, ftSearch);
ZEND_METHOD(Kelvo_Kelvo, ftSpellCheck);
ZEND_METHOD(Kelvo_Kelvo, ftSynDump);
ZEND_METHOD(Kelvo_Kelvo, ftSynUpdate);
ZEND_METHOD(Kelvo_Kelvo, ftTagVals);
ZEND_METHOD(Kelvo_Kelvo, jsonArrAppend);
ZEND_METHOD(Kelvo_Kelvo, jsonArrIndex);
ZEND_METHOD(Kelvo_Kelvo, jsonArrInsert);
ZEND_METHOD(Kelvo_Kelvo, jsonArrLen);
ZEND_METHOD(Kelvo_Kelvo, jsonArrPop);
ZEND_METHOD(Kelvo_Kelvo, jsonArrTrim);
ZEND_METHOD(Kelvo_Kelvo, jsonClear);
ZEND_METHOD(Kelvo_Kelvo, jsonDebug);
ZEND_METHOD(Kelvo_Kelvo, jsonDel);
ZEND_METHOD(Kelvo_Kelvo, jsonForget);
ZEND_METHOD(Kelvo_Kelvo, jsonGet);
ZEND_METHOD(Kelvo_Kelvo, jsonMerge);
ZEND_METHOD(Kelvo_Kelvo, jsonMget);
ZEND_METHOD(Kelvo_Kelvo, jsonMset);
ZEND_METHOD(Kelvo_Kelvo, jsonNumIncrBy);
ZEND_METHOD(Kelvo_Kelvo, jsonNumMultBy);
ZEND_METHOD(Kelvo_Kelvo, jsonObjKeys);
ZEND_METHOD(Kelvo_Kelvo, jsonObjLen);
ZEND_METHOD(Kelvo_Kelvo, jsonResp);
ZEND_METHOD(Kelvo_Kelvo, jsonSet);
ZEND_METHOD(Kelvo_Kelvo, jsonStrAppend);
ZEND_METHOD(Kelvo_Kelvo, jsonStrLen);
ZEND_METHOD(Kelvo_Kelvo, jsonToggle);
ZEND_METHOD(Kelvo_Kelvo, jsonType);
ZEND_METHOD(Kelvo_Kelvo, subscribe);
ZEND_METHOD(Kelvo_Kelvo, psubscribe);
ZEND_METHOD(Kelvo_Kelvo, ssubscribe);
ZEND_METHOD(Kelvo_Kelvo, unsubscribe);
ZEND_METHOD(Kelvo_Kelvo, punsubscribe);
ZEND_METHOD(Kelvo_Kelvo, sunsubscribe);


static const zend_function_entry class_Kelvo_Kelvo_methods[] = {
	ZEND_ME(Kelvo_Kelvo, __construct, arginfo_class_Kelvo_Kelvo___construct, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, connect, arginfo_class_Kelvo_Kelvo_connect, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, pconnect, arginfo_class_Kelvo_Kelvo_pconnect, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, close, arginfo_class_Kelvo_Kelvo_close, ZEND_ACC_PUBLIC)
	ZEND_MALIAS(Kelvo_Kelvo, pclose, close, arginfo_class_Kelvo_Kelvo_pclose, ZEND_ACC_PUBLIC|ZEND_ACC_DEPRECATED)
	ZEND_ME(Kelvo_Kelvo, listen, arginfo_class_Kelvo_Kelvo_listen, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, onFlushed, arginfo_class_Kelvo_Kelvo_onFlushed, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, onInvalidated, arginfo_class_Kelvo_Kelvo_onInvalidated, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, dispatchEvents, arginfo_class_Kelvo_Kelvo_dispatchEvents, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, getOption, arginfo_class_Kelvo_Kelvo_getOption, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, option, arginfo_class_Kelvo_Kelvo_option, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, setOption, arginfo_class_Kelvo_Kelvo_setOption, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, addIgnorePatterns, arginfo_class_Kelvo_Kelvo_addIgnorePatterns, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, addAllowPatterns, arginfo_class_Kelvo_Kelvo_addAllowPatterns, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, getTimeout, arginfo_class_Kelvo_Kelvo_getTimeout, ZEND_ACC_PUBLIC)
	ZEND_MALIAS(Kelvo_Kelvo, timeout, getTimeout, arginfo_class_Kelvo_Kelvo_timeout, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, getReadTimeout, arginfo_class_Kelvo_Kelvo_getReadTimeout, ZEND_ACC_PUBLIC)
	ZEND_MALIAS(Kelvo_Kelvo, readTimeout, getReadTimeout, arginfo_class_Kelvo_Kelvo_readTimeout, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, getBytes, arginfo_class_Kelvo_Kelvo_getBytes, ZEND_ACC_PUBLIC)
	ZEND_MALIAS(Kelvo_Kelvo, bytes, getBytes, arginfo_class_Kelvo_Kelvo_bytes, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, getHost, arginfo_class_Kelvo_Kelvo_getHost, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, isConnected, arginfo_class_Kelvo_Kelvo_isConnected, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, getPort, arginfo_class_Kelvo_Kelvo_getPort, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, getAuth, arginfo_class_Kelvo_Kelvo_getAuth, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, getDbNum, arginfo_class_Kelvo_Kelvo_getDbNum, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, _serialize, arginfo_class_Kelvo_Kelvo__serialize, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, _unserialize, arginfo_class_Kelvo_Kelvo__unserialize, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, _compress, arginfo_class_Kelvo_Kelvo__compress, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, _uncompress, arginfo_class_Kelvo_Kelvo__uncompress, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, _pack, arginfo_class_Kelvo_Kelvo__pack, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, _digest, arginfo_class_Kelvo_Kelvo__digest, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, _unpack, arginfo_class_Kelvo_Kelvo__unpack, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, _prefix, arginfo_class_Kelvo_Kelvo__prefix, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, getLastError, arginfo_class_Kelvo_Kelvo_getLastError, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, clearLastError, arginfo_class_Kelvo_Kelvo_clearLastError, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, endpointId, arginfo_class_Kelvo_Kelvo_endpointId, ZEND_ACC_PUBLIC)
	ZEND_MALIAS(Kelvo_Kelvo, getPersistentID, endpointId, arginfo_class_Kelvo_Kelvo_getPersistentID, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, socketId, arginfo_class_Kelvo_Kelvo_socketId, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, stats, arginfo_class_Kelvo_Kelvo_stats, ZEND_ACC_PUBLIC|ZEND_ACC_STATIC)
	ZEND_ME(Kelvo_Kelvo, maxMemory, arginfo_class_Kelvo_Kelvo_maxMemory, ZEND_ACC_PUBLIC|ZEND_ACC_STATIC)
	ZEND_ME(Kelvo_Kelvo, memory, arginfo_class_Kelvo_Kelvo_memory, ZEND_ACC_PUBLIC|ZEND_ACC_STATIC|ZEND_ACC_DEPRECATED)
	ZEND_ME(Kelvo_Kelvo, rawCommand, arginfo_class_Kelvo_Kelvo_rawCommand, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, auth, arginfo_class_Kelvo_Kelvo_auth, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, flushMemory, arginfo_class_Kelvo_Kelvo_flushMemory, ZEND_ACC_PUBLIC|ZEND_ACC_STATIC)
	ZEND_ME(Kelvo_Kelvo, lastMemoryFlush, arginfo_class_Kelvo_Kelvo_lastMemoryFlush, ZEND_ACC_PUBLIC|ZEND_ACC_STATIC)
	ZEND_ME(Kelvo_Kelvo, idleTime, arginfo_class_Kelvo_Kelvo_idleTime, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, getWithMeta, arginfo_class_Kelvo_Kelvo_getWithMeta, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, hgetWithMeta, arginfo_class_Kelvo_Kelvo_hgetWithMeta, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, pipeline, arginfo_class_Kelvo_Kelvo_pipeline, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, multi, arginfo_class_Kelvo_Kelvo_multi, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, exec, arginfo_class_Kelvo_Kelvo_exec, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, discard, arginfo_class_Kelvo_Kelvo_discard, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, serverName, arginfo_class_Kelvo_Kelvo_serverName, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, serverVersion, arginfo_class_Kelvo_Kelvo_serverVersion, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, getMode, arginfo_class_Kelvo_Kelvo_getMode, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, clearBytes, arginfo_class_Kelvo_Kelvo_clearBytes, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, scan, arginfo_class_Kelvo_Kelvo_scan, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, hscan, arginfo_class_Kelvo_Kelvo_hscan, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, sscan, arginfo_class_Kelvo_Kelvo_sscan, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, zscan, arginfo_class_Kelvo_Kelvo_zscan, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, _getKeys, arginfo_class_Kelvo_Kelvo__getKeys, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, isTracked, arginfo_class_Kelvo_Kelvo_isTracked, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, acl, arginfo_class_Kelvo_Kelvo_acl, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, append, arginfo_class_Kelvo_Kelvo_append, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, bgrewriteaof, arginfo_class_Kelvo_Kelvo_bgrewriteaof, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, bgsave, arginfo_class_Kelvo_Kelvo_bgsave, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, bitcount, arginfo_class_Kelvo_Kelvo_bitcount, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, bitfield, arginfo_class_Kelvo_Kelvo_bitfield, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, bitop, arginfo_class_Kelvo_Kelvo_bitop, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, bitpos, arginfo_class_Kelvo_Kelvo_bitpos, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, blmove, arginfo_class_Kelvo_Kelvo_blmove, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, blmovem, arginfo_class_Kelvo_Kelvo_blmovem, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, blmpop, arginfo_class_Kelvo_Kelvo_blmpop, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, blpop, arginfo_class_Kelvo_Kelvo_blpop, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, brpop, arginfo_class_Kelvo_Kelvo_brpop, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, brpoplpush, arginfo_class_Kelvo_Kelvo_brpoplpush, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, bzmpop, arginfo_class_Kelvo_Kelvo_bzmpop, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, bzpopmax, arginfo_class_Kelvo_Kelvo_bzpopmax, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, bzpopmin, arginfo_class_Kelvo_Kelvo_bzpopmin, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, client, arginfo_class_Kelvo_Kelvo_client, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, command, arginfo_class_Kelvo_Kelvo_command, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, commandlog, arginfo_class_Kelvo_Kelvo_commandlog, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, config, arginfo_class_Kelvo_Kelvo_config, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, copy, arginfo_class_Kelvo_Kelvo_copy, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, dbsize, arginfo_class_Kelvo_Kelvo_dbsize, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, decr, arginfo_class_Kelvo_Kelvo_decr, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, decrby, arginfo_class_Kelvo_Kelvo_decrby, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, del, arginfo_class_Kelvo_Kelvo_del, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, delex, arginfo_class_Kelvo_Kelvo_delex, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, delifeq, arginfo_class_Kelvo_Kelvo_delifeq, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, digest, arginfo_class_Kelvo_Kelvo_digest, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, dump, arginfo_class_Kelvo_Kelvo_dump, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, echo, arginfo_class_Kelvo_Kelvo_echo, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, eval, arginfo_class_Kelvo_Kelvo_eval, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, evalsha, arginfo_class_Kelvo_Kelvo_evalsha, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, evalsha_ro, arginfo_class_Kelvo_Kelvo_evalsha_ro, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, eval_ro, arginfo_class_Kelvo_Kelvo_eval_ro, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, exists, arginfo_class_Kelvo_Kelvo_exists, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, expire, arginfo_class_Kelvo_Kelvo_expire, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, expireat, arginfo_class_Kelvo_Kelvo_expireat, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, expiretime, arginfo_class_Kelvo_Kelvo_expiretime, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, fcall, arginfo_class_Kelvo_Kelvo_fcall, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, fcall_ro, arginfo_class_Kelvo_Kelvo_fcall_ro, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, flushall, arginfo_class_Kelvo_Kelvo_flushall, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, flushdb, arginfo_class_Kelvo_Kelvo_flushdb, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, function, arginfo_class_Kelvo_Kelvo_function, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, gcra, arginfo_class_Kelvo_Kelvo_gcra, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, geoadd, arginfo_class_Kelvo_Kelvo_geoadd, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, geodist, arginfo_class_Kelvo_Kelvo_geodist, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, geohash, arginfo_class_Kelvo_Kelvo_geohash, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, geopos, arginfo_class_Kelvo_Kelvo_geopos, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, georadius, arginfo_class_Kelvo_Kelvo_georadius, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, georadiusbymember, arginfo_class_Kelvo_Kelvo_georadiusbymember, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, georadiusbymember_ro, arginfo_class_Kelvo_Kelvo_georadiusbymember_ro, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, georadius_ro, arginfo_class_Kelvo_Kelvo_georadius_ro, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, geosearch, arginfo_class_Kelvo_Kelvo_geosearch, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, geosearchstore, arginfo_class_Kelvo_Kelvo_geosearchstore, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, get, arginfo_class_Kelvo_Kelvo_get, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, getbit, arginfo_class_Kelvo_Kelvo_getbit, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, getdel, arginfo_class_Kelvo_Kelvo_getdel, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, getex, arginfo_class_Kelvo_Kelvo_getex, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, getrange, arginfo_class_Kelvo_Kelvo_getrange, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, getset, arginfo_class_Kelvo_Kelvo_getset, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, hdel, arginfo_class_Kelvo_Kelvo_hdel, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, hexists, arginfo_class_Kelvo_Kelvo_hexists, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, hexpire, arginfo_class_Kelvo_Kelvo_hexpire, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, hexpireat, arginfo_class_Kelvo_Kelvo_hexpireat, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, hexpiretime, arginfo_class_Kelvo_Kelvo_hexpiretime, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, hget, arginfo_class_Kelvo_Kelvo_hget, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, hgetall, arginfo_class_Kelvo_Kelvo_hgetall, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, hgetdel, arginfo_class_Kelvo_Kelvo_hgetdel, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, hgetex, arginfo_class_Kelvo_Kelvo_hgetex, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, hincrby, arginfo_class_Kelvo_Kelvo_hincrby, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, hincrbyfloat, arginfo_class_Kelvo_Kelvo_hincrbyfloat, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, hkeys, arginfo_class_Kelvo_Kelvo_hkeys, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, hlen, arginfo_class_Kelvo_Kelvo_hlen, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, hmget, arginfo_class_Kelvo_Kelvo_hmget, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, hmset, arginfo_class_Kelvo_Kelvo_hmset, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, hotkeys, arginfo_class_Kelvo_Kelvo_hotkeys, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, hpersist, arginfo_class_Kelvo_Kelvo_hpersist, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, hpexpire, arginfo_class_Kelvo_Kelvo_hpexpire, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, hpexpireat, arginfo_class_Kelvo_Kelvo_hpexpireat, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, hpexpiretime, arginfo_class_Kelvo_Kelvo_hpexpiretime, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, hpttl, arginfo_class_Kelvo_Kelvo_hpttl, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, hrandfield, arginfo_class_Kelvo_Kelvo_hrandfield, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, hset, arginfo_class_Kelvo_Kelvo_hset, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, hsetex, arginfo_class_Kelvo_Kelvo_hsetex, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, hsetnx, arginfo_class_Kelvo_Kelvo_hsetnx, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, hstrlen, arginfo_class_Kelvo_Kelvo_hstrlen, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, httl, arginfo_class_Kelvo_Kelvo_httl, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, hvals, arginfo_class_Kelvo_Kelvo_hvals, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, incr, arginfo_class_Kelvo_Kelvo_incr, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, incrby, arginfo_class_Kelvo_Kelvo_incrby, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, incrbyfloat, arginfo_class_Kelvo_Kelvo_incrbyfloat, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, increx, arginfo_class_Kelvo_Kelvo_increx, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, info, arginfo_class_Kelvo_Kelvo_info, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, keys, arginfo_class_Kelvo_Kelvo_keys, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, lastsave, arginfo_class_Kelvo_Kelvo_lastsave, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, lcs, arginfo_class_Kelvo_Kelvo_lcs, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, lindex, arginfo_class_Kelvo_Kelvo_lindex, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, linsert, arginfo_class_Kelvo_Kelvo_linsert, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, llen, arginfo_class_Kelvo_Kelvo_llen, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, lmove, arginfo_class_Kelvo_Kelvo_lmove, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, lmovem, arginfo_class_Kelvo_Kelvo_lmovem, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, lmpop, arginfo_class_Kelvo_Kelvo_lmpop, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, lpop, arginfo_class_Kelvo_Kelvo_lpop, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, lpos, arginfo_class_Kelvo_Kelvo_lpos, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, lpush, arginfo_class_Kelvo_Kelvo_lpush, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, lpushx, arginfo_class_Kelvo_Kelvo_lpushx, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, lrange, arginfo_class_Kelvo_Kelvo_lrange, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, lrem, arginfo_class_Kelvo_Kelvo_lrem, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, lset, arginfo_class_Kelvo_Kelvo_lset, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, ltrim, arginfo_class_Kelvo_Kelvo_ltrim, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, mget, arginfo_class_Kelvo_Kelvo_mget, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, migrate, arginfo_class_Kelvo_Kelvo_migrate, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, move, arginfo_class_Kelvo_Kelvo_move, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, mset, arginfo_class_Kelvo_Kelvo_mset, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, msetex, arginfo_class_Kelvo_Kelvo_msetex, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, msetnx, arginfo_class_Kelvo_Kelvo_msetnx, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, object, arginfo_class_Kelvo_Kelvo_object, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, persist, arginfo_class_Kelvo_Kelvo_persist, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, pexpire, arginfo_class_Kelvo_Kelvo_pexpire, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, pexpireat, arginfo_class_Kelvo_Kelvo_pexpireat, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, pexpiretime, arginfo_class_Kelvo_Kelvo_pexpiretime, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, pfadd, arginfo_class_Kelvo_Kelvo_pfadd, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, pfcount, arginfo_class_Kelvo_Kelvo_pfcount, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, pfmerge, arginfo_class_Kelvo_Kelvo_pfmerge, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, ping, arginfo_class_Kelvo_Kelvo_ping, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, psetex, arginfo_class_Kelvo_Kelvo_psetex, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, pttl, arginfo_class_Kelvo_Kelvo_pttl, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, publish, arginfo_class_Kelvo_Kelvo_publish, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, pubsub, arginfo_class_Kelvo_Kelvo_pubsub, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, randomkey, arginfo_class_Kelvo_Kelvo_randomkey, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, rename, arginfo_class_Kelvo_Kelvo_rename, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, renamenx, arginfo_class_Kelvo_Kelvo_renamenx, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, replicaof, arginfo_class_Kelvo_Kelvo_replicaof, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, restore, arginfo_class_Kelvo_Kelvo_restore, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, role, arginfo_class_Kelvo_Kelvo_role, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, rpop, arginfo_class_Kelvo_Kelvo_rpop, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, rpoplpush, arginfo_class_Kelvo_Kelvo_rpoplpush, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, rpush, arginfo_class_Kelvo_Kelvo_rpush, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, rpushx, arginfo_class_Kelvo_Kelvo_rpushx, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, sadd, arginfo_class_Kelvo_Kelvo_sadd, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, save, arginfo_class_Kelvo_Kelvo_save, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, scard, arginfo_class_Kelvo_Kelvo_scard, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, script, arginfo_class_Kelvo_Kelvo_script, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, sdiff, arginfo_class_Kelvo_Kelvo_sdiff, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, sdiffcard, arginfo_class_Kelvo_Kelvo_sdiffcard, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, sdiffstore, arginfo_class_Kelvo_Kelvo_sdiffstore, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, select, arginfo_class_Kelvo_Kelvo_select, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, set, arginfo_class_Kelvo_Kelvo_set, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, setbit, arginfo_class_Kelvo_Kelvo_setbit, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, setex, arginfo_class_Kelvo_Kelvo_setex, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, setnx, arginfo_class_Kelvo_Kelvo_setnx, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, setrange, arginfo_class_Kelvo_Kelvo_setrange, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, sinter, arginfo_class_Kelvo_Kelvo_sinter, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, sintercard, arginfo_class_Kelvo_Kelvo_sintercard, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, sinterstore, arginfo_class_Kelvo_Kelvo_sinterstore, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, sismember, arginfo_class_Kelvo_Kelvo_sismember, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, slowlog, arginfo_class_Kelvo_Kelvo_slowlog, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, smembers, arginfo_class_Kelvo_Kelvo_smembers, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, smismember, arginfo_class_Kelvo_Kelvo_smismember, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, smove, arginfo_class_Kelvo_Kelvo_smove, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, sort, arginfo_class_Kelvo_Kelvo_sort, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, sort_ro, arginfo_class_Kelvo_Kelvo_sort_ro, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, spop, arginfo_class_Kelvo_Kelvo_spop, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, spublish, arginfo_class_Kelvo_Kelvo_spublish, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, srandmember, arginfo_class_Kelvo_Kelvo_srandmember, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, srem, arginfo_class_Kelvo_Kelvo_srem, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, strlen, arginfo_class_Kelvo_Kelvo_strlen, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, sunion, arginfo_class_Kelvo_Kelvo_sunion, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, sunioncard, arginfo_class_Kelvo_Kelvo_sunioncard, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, sunionstore, arginfo_class_Kelvo_Kelvo_sunionstore, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, swapdb, arginfo_class_Kelvo_Kelvo_swapdb, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, time, arginfo_class_Kelvo_Kelvo_time, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, touch, arginfo_class_Kelvo_Kelvo_touch, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, ttl, arginfo_class_Kelvo_Kelvo_ttl, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, type, arginfo_class_Kelvo_Kelvo_type, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, unlink, arginfo_class_Kelvo_Kelvo_unlink, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, unwatch, arginfo_class_Kelvo_Kelvo_unwatch, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, vadd, arginfo_class_Kelvo_Kelvo_vadd, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, vcard, arginfo_class_Kelvo_Kelvo_vcard, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, vdim, arginfo_class_Kelvo_Kelvo_vdim, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, vemb, arginfo_class_Kelvo_Kelvo_vemb, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, vgetattr, arginfo_class_Kelvo_Kelvo_vgetattr, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, vinfo, arginfo_class_Kelvo_Kelvo_vinfo, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, vismember, arginfo_class_Kelvo_Kelvo_vismember, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, vlinks, arginfo_class_Kelvo_Kelvo_vlinks, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, vrandmember, arginfo_class_Kelvo_Kelvo_vrandmember, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, vrange, arginfo_class_Kelvo_Kelvo_vrange, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, vrem, arginfo_class_Kelvo_Kelvo_vrem, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, vsetattr, arginfo_class_Kelvo_Kelvo_vsetattr, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, vsim, arginfo_class_Kelvo_Kelvo_vsim, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, wait, arginfo_class_Kelvo_Kelvo_wait, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, waitaof, arginfo_class_Kelvo_Kelvo_waitaof, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, watch, arginfo_class_Kelvo_Kelvo_watch, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, xack, arginfo_class_Kelvo_Kelvo_xack, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, xackdel, arginfo_class_Kelvo_Kelvo_xackdel, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, xadd, arginfo_class_Kelvo_Kelvo_xadd, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, xautoclaim, arginfo_class_Kelvo_Kelvo_xautoclaim, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, xclaim, arginfo_class_Kelvo_Kelvo_xclaim, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, xdel, arginfo_class_Kelvo_Kelvo_xdel, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, xdelex, arginfo_class_Kelvo_Kelvo_xdelex, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, xgroup, arginfo_class_Kelvo_Kelvo_xgroup, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, xinfo, arginfo_class_Kelvo_Kelvo_xinfo, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, xlen, arginfo_class_Kelvo_Kelvo_xlen, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, xnack, arginfo_class_Kelvo_Kelvo_xnack, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, xpending, arginfo_class_Kelvo_Kelvo_xpending, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, xrange, arginfo_class_Kelvo_Kelvo_xrange, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, xread, arginfo_class_Kelvo_Kelvo_xread, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, xreadgroup, arginfo_class_Kelvo_Kelvo_xreadgroup, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, xrevrange, arginfo_class_Kelvo_Kelvo_xrevrange, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, xtrim, arginfo_class_Kelvo_Kelvo_xtrim, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, zadd, arginfo_class_Kelvo_Kelvo_zadd, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, zcard, arginfo_class_Kelvo_Kelvo_zcard, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, zcount, arginfo_class_Kelvo_Kelvo_zcount, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, zdiff, arginfo_class_Kelvo_Kelvo_zdiff, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, zdiffstore, arginfo_class_Kelvo_Kelvo_zdiffstore, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, zincrby, arginfo_class_Kelvo_Kelvo_zincrby, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, zinter, arginfo_class_Kelvo_Kelvo_zinter, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, zintercard, arginfo_class_Kelvo_Kelvo_zintercard, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, zinterstore, arginfo_class_Kelvo_Kelvo_zinterstore, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, zlexcount, arginfo_class_Kelvo_Kelvo_zlexcount, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, zmpop, arginfo_class_Kelvo_Kelvo_zmpop, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, zmscore, arginfo_class_Kelvo_Kelvo_zmscore, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, zpopmax, arginfo_class_Kelvo_Kelvo_zpopmax, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, zpopmin, arginfo_class_Kelvo_Kelvo_zpopmin, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, zrandmember, arginfo_class_Kelvo_Kelvo_zrandmember, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, zrange, arginfo_class_Kelvo_Kelvo_zrange, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, zrangebylex, arginfo_class_Kelvo_Kelvo_zrangebylex, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, zrangebyscore, arginfo_class_Kelvo_Kelvo_zrangebyscore, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, zrangestore, arginfo_class_Kelvo_Kelvo_zrangestore, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, zrank, arginfo_class_Kelvo_Kelvo_zrank, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, zrem, arginfo_class_Kelvo_Kelvo_zrem, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, zremrangebylex, arginfo_class_Kelvo_Kelvo_zremrangebylex, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, zremrangebyrank, arginfo_class_Kelvo_Kelvo_zremrangebyrank, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, zremrangebyscore, arginfo_class_Kelvo_Kelvo_zremrangebyscore, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, zrevrange, arginfo_class_Kelvo_Kelvo_zrevrange, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, zrevrangebylex, arginfo_class_Kelvo_Kelvo_zrevrangebylex, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, zrevrangebyscore, arginfo_class_Kelvo_Kelvo_zrevrangebyscore, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, zrevrank, arginfo_class_Kelvo_Kelvo_zrevrank, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, zscore, arginfo_class_Kelvo_Kelvo_zscore, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, zunion, arginfo_class_Kelvo_Kelvo_zunion, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, zunionstore, arginfo_class_Kelvo_Kelvo_zunionstore, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, cmsIncrBy, arginfo_class_Kelvo_Kelvo_cmsIncrBy, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, cmsInfo, arginfo_class_Kelvo_Kelvo_cmsInfo, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, cmsInitByDim, arginfo_class_Kelvo_Kelvo_cmsInitByDim, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, cmsInitByProb, arginfo_class_Kelvo_Kelvo_cmsInitByProb, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, cmsMerge, arginfo_class_Kelvo_Kelvo_cmsMerge, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, cmsQuery, arginfo_class_Kelvo_Kelvo_cmsQuery, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, ftAggregate, arginfo_class_Kelvo_Kelvo_ftAggregate, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, ftAliasAdd, arginfo_class_Kelvo_Kelvo_ftAliasAdd, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, ftAliasDel, arginfo_class_Kelvo_Kelvo_ftAliasDel, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, ftAliasUpdate, arginfo_class_Kelvo_Kelvo_ftAliasUpdate, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, ftAlter, arginfo_class_Kelvo_Kelvo_ftAlter, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, ftConfig, arginfo_class_Kelvo_Kelvo_ftConfig, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, ftCreate, arginfo_class_Kelvo_Kelvo_ftCreate, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, ftCursor, arginfo_class_Kelvo_Kelvo_ftCursor, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, ftDictAdd, arginfo_class_Kelvo_Kelvo_ftDictAdd, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, ftDictDel, arginfo_class_Kelvo_Kelvo_ftDictDel, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, ftDictDump, arginfo_class_Kelvo_Kelvo_ftDictDump, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, ftDropIndex, arginfo_class_Kelvo_Kelvo_ftDropIndex, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, ftExplain, arginfo_class_Kelvo_Kelvo_ftExplain, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, ftExplainCli, arginfo_class_Kelvo_Kelvo_ftExplainCli, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, ftInfo, arginfo_class_Kelvo_Kelvo_ftInfo, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, ftProfile, arginfo_class_Kelvo_Kelvo_ftProfile, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, ftSearch, arginfo_class_Kelvo_Kelvo_ftSearch, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, ftSpellCheck, arginfo_class_Kelvo_Kelvo_ftSpellCheck, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, ftSynDump, arginfo_class_Kelvo_Kelvo_ftSynDump, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, ftSynUpdate, arginfo_class_Kelvo_Kelvo_ftSynUpdate, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, ftTagVals, arginfo_class_Kelvo_Kelvo_ftTagVals, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, jsonArrAppend, arginfo_class_Kelvo_Kelvo_jsonArrAppend, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, jsonArrIndex, arginfo_class_Kelvo_Kelvo_jsonArrIndex, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, jsonArrInsert, arginfo_class_Kelvo_Kelvo_jsonArrInsert, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, jsonArrLen, arginfo_class_Kelvo_Kelvo_jsonArrLen, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, jsonArrPop, arginfo_class_Kelvo_Kelvo_jsonArrPop, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, jsonArrTrim, arginfo_class_Kelvo_Kelvo_jsonArrTrim, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, jsonClear, arginfo_class_Kelvo_Kelvo_jsonClear, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, jsonDebug, arginfo_class_Kelvo_Kelvo_jsonDebug, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, jsonDel, arginfo_class_Kelvo_Kelvo_jsonDel, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, jsonForget, arginfo_class_Kelvo_Kelvo_jsonForget, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, jsonGet, arginfo_class_Kelvo_Kelvo_jsonGet, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, jsonMerge, arginfo_class_Kelvo_Kelvo_jsonMerge, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, jsonMget, arginfo_class_Kelvo_Kelvo_jsonMget, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, jsonMset, arginfo_class_Kelvo_Kelvo_jsonMset, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, jsonNumIncrBy, arginfo_class_Kelvo_Kelvo_jsonNumIncrBy, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, jsonNumMultBy, arginfo_class_Kelvo_Kelvo_jsonNumMultBy, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, jsonObjKeys, arginfo_class_Kelvo_Kelvo_jsonObjKeys, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, jsonObjLen, arginfo_class_Kelvo_Kelvo_jsonObjLen, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, jsonResp, arginfo_class_Kelvo_Kelvo_jsonResp, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, jsonSet, arginfo_class_Kelvo_Kelvo_jsonSet, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, jsonStrAppend, arginfo_class_Kelvo_Kelvo_jsonStrAppend, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, jsonStrLen, arginfo_class_Kelvo_Kelvo_jsonStrLen, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, jsonToggle, arginfo_class_Kelvo_Kelvo_jsonToggle, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, jsonType, arginfo_class_Kelvo_Kelvo_jsonType, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, subscribe, arginfo_class_Kelvo_Kelvo_subscribe, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, psubscribe, arginfo_class_Kelvo_Kelvo_psubscribe, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, ssubscribe, arginfo_class_Kelvo_Kelvo_ssubscribe, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, unsubscribe, arginfo_class_Kelvo_Kelvo_unsubscribe, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, punsubscribe, arginfo_class_Kelvo_Kelvo_punsubscribe, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Kelvo, sunsubscribe, arginfo_class_Kelvo_Kelvo_sunsubscribe, ZEND_ACC_PUBLIC)
	ZEND_FE_END
};


static const zend_function_entry class_Kelvo_Event_methods[] = {
	ZEND_FE_END
};


static const zend_function_entry class_Kelvo_Event_Invalidated_methods[] = {
	ZEND_FE_END
};


static const zend_function_entry class_Kelvo_Event_Flushed_methods[] = {
	ZEND_FE_END
};

static zend_class_entry *register_class_Kelvo_Kelvo(void)
{
	zend_class_entry ce, *class_entry;

	INIT_NS_CLASS_ENTRY(ce, "Kelvo", "Kelvo", class_Kelvo_Kelvo_methods);
	class_entry = zend_register_internal_class_ex(&ce, NULL);

	zval const_VERSION_value;
	zend_string *const_VERSION_value_str = zend_string_init(PHP_KELVO_VERSION, strlen(PHP_KELVO_VERSION), 1);
	ZVAL_STR(&const_VERSION_value, const_VERSION_value_str);
	zend_string *const_VERSION_name = zend_string_init_interned("VERSION", sizeof("VERSION") - 1, 1);
	zend_declare_class_constant_ex(class_entry, const_VERSION_name, &const_VERSION_value, ZEND_ACC_PUBLIC, NULL);
	zend_string_release(const_VERSION_name);

	zval const_Version_value;
	zend_string *const_Version_value_str = zend_string_init(PHP_KELVO_VERSION, strlen(PHP_KELVO_VERSION), 1);
	ZVAL_STR(&const_Version_value, const_Version_value_str);
	zend_string *const_Version_name = zend_string_init_interned("Version", sizeof("Version") - 1, 1);
	zend_declare_class_constant_ex(class_entry, const_Version_name, &const_Version_value, ZEND_ACC_PUBLIC, NULL);
	zend_string_release(const_Version_name);

	zval const_COMPRESSION_NONE_value;
	ZVAL_LONG(&const_COMPRESSION_NONE_value, KELVO_COMPRESSION_NONE);
	zend_string *const_COMPRESSION_NONE_name = zend_string_init_interned("COMPRESSION_NONE", sizeof("COMPRESSION_NONE") - 1, 1);
	zend_declare_class_constant_ex(class_entry, const_COMPRESSION_NONE_name, &const_COMPRESSION_NONE_value, ZEND_ACC_PUBLIC, NULL);
	zend_string_release(const_COMPRESSION_NONE_name);

	zval const_COMPRESSION_LZF_value;
	ZVAL_LONG(&const_COMPRESSION_LZF_value, KELVO_COMPRESSION_LZF);
	zend_string *const_COMPRESSION_LZF_name = zend_string_init_interned("COMPRESSION_LZF", sizeof("COMPRESSION_LZF") - 1, 1);
	zend_declare_class_constant_ex(class_entry, const_COMPRESSION_LZF_name, &const_COMPRESSION_LZF_value, ZEND_ACC_PUBLIC, NULL);
	zend_string_release(const_COMPRESSION_LZF_name);

	zval const_COMPRESSION_ZSTD_value;
	ZVAL_LONG(&const_COMPRESSION_ZSTD_value, KELVO_COMPRESSION_ZSTD);
	zend_string *const_COMPRESSION_ZSTD_name = zend_string_init_interned("COMPRESSION_ZSTD", sizeof("COMPRESSION_ZSTD") - 1, 1);
	zend_declare_class_constant_ex(class_entry, const_COMPRESSION_ZSTD_name, &const_COMPRESSION_ZSTD_value, ZEND_ACC_PUBLIC, NULL);
	zend_string_release(const_COMPRESSION_ZSTD_name);

	zval const_COMPRESSION_LZ4_value;
	ZVAL_LONG(&const_COMPRESSION_LZ4_value, KELVO_COMPRESSION_LZ4);
	zend_string *const_COMPRESSION_LZ4_name = zend_string_init_interned("COMPRESSION_LZ4", sizeof("COMPRESSION_LZ4") - 1, 1);
	zend_declare_class_constant_ex(class_entry, const_COMPRESSION_LZ4_name, &const_COMPRESSION_LZ4_value, ZEND_ACC_PUBLIC, NULL);
	zend_string_release(const_COMPRESSION_LZ4_name);

	zval const_SERIALIZER_NONE_value;
	ZVAL_LONG(&const_SERIALIZER_NONE_value, KELVO_SERIALIZER_NONE);
	zend_string *const_SERIALIZER_NONE_name = zend_string_init_interned("SERIALIZER_NONE", sizeof("SERIALIZER_NONE") - 1, 1);
	zend_declare_class_constant_ex(class_entry, const_SERIALIZER_NONE_name, &const_SERIALIZER_NONE_value, ZEND_ACC_PUBLIC, NULL);
	zend_string_release(const_SERIALIZER_NONE_name);

	zval const_SERIALIZER_PHP_value;
	ZVAL_LONG(&const_SERIALIZER_PHP_value, KELVO_SERIALIZER_PHP);
	zend_string *const_SERIALIZER_PHP_name = zend_string_init_interned("SERIALIZER_PHP", sizeof("SERIALIZER_PHP") - 1, 1);
	zend_declare_class_constant_ex(class_entry, const_SERIALIZER_PHP_name, &const_SERIALIZER_PHP_value, ZEND_ACC_PUBLIC, NULL);
	zend_string_release(const_SERIALIZER_PHP_name);

	zval const_SERIALIZER_IGBINARY_value;
	ZVAL_LONG(&const_SERIALIZER_IGBINARY_value, KELVO_SERIALIZER_IGBINARY);
	zend_string *const_SERIALIZER_IGBINARY_name = zend_string_init_interned("SERIALIZER_IGBINARY", sizeof("SERIALIZER_IGBINARY") - 1, 1);
	zend_declare_class_constant_ex(class_entry, const_SERIALIZER_IGBINARY_name, &const_SERIALIZER_IGBINARY_value, ZEND_ACC_PUBLIC, NULL);
	zend_string_release(const_SERIALIZER_IGBINARY_name);

	zval const_SERIALIZER_MSGPACK_value;
	ZVAL_LONG(&const_SERIALIZER_MSGPACK_value, KELVO_SERIALIZER_MSGPACK);
	zend_string *const_SERIALIZER_MSGPACK_name = zend_string_init_interned("SERIALIZER_MSGPACK", sizeof("SERIALIZER_MSGPACK") - 1, 1);
	zend_declare_class_constant_ex(class_entry, const_SERIALIZER_MSGPACK_name, &const_SERIALIZER_MSGPACK_value, ZEND_ACC_PUBLIC, NULL);
	zend_string_release(const_SERIALIZER_MSGPACK_name);

	zval const_SERIALIZER_JSON_value;
	ZVAL_LONG(&const_SERIALIZER_JSON_value, KELVO_SERIALIZER_JSON);
	zend_string *const_SERIALIZER_JSON_name = zend_string_init_interned("SERIALIZER_JSON", sizeof("SERIALIZER_JSON") - 1, 1);
	zend_declare_class_constant_ex(class_entry, const_SERIALIZER_JSON_name, &const_SERIALIZER_JSON_value, ZEND_ACC_PUBLIC, NULL);
	zend_string_release(const_SERIALIZER_JSON_name);

	zval const_ATOMIC_value;
	ZVAL_LONG(&const_ATOMIC_value, kelvoModeAtomic);
	zend_string *const_ATOMIC_name = zend_string_init_interned("ATOMIC", sizeof("ATOMIC") - 1, 1);
	zend_declare_class_constant_ex(class_entry, const_ATOMIC_name, &const_ATOMIC_value, ZEND_ACC_PUBLIC, NULL);
	zend_string_release(const_ATOMIC_name);

	zval const_PIPELINE_value;
	ZVAL_LONG(&const_PIPELINE_value, kelvoModePipeline);
	zend_string *const_PIPELINE_name = zend_string_init_interned("PIPELINE", sizeof("PIPELINE") - 1, 1);
	zend_declare_class_constant_ex(class_entry, const_PIPELINE_name, &const_PIPELINE_value, ZEND_ACC_PUBLIC, NULL);
	zend_string_release(const_PIPELINE_name);

	zval const_MULTI_value;
	ZVAL_LONG(&const_MULTI_value, kelvoModeMulti);
	zend_string *const_MULTI_name = zend_string_init_interned("MULTI", sizeof("MULTI") - 1, 1);
	zend_declare_class_constant_ex(class_entry, const_MULTI_name, &const_MULTI_value, ZEND_ACC_PUBLIC, NULL);
	zend_string_release(const_MULTI_name);

	zval const_SUBSCRIBED_value;
	ZVAL_LONG(&const_SUBSCRIBED_value, kelvoModeSubscribed);
	zend_string *const_SUBSCRIBED_name = zend_string_init_interned("SUBSCRIBED", sizeof("SUBSCRIBED") - 1, 1);
	zend_declare_class_constant_ex(class_entry, const_SUBSCRIBED_name, &const_SUBSCRIBED_value, ZEND_ACC_PUBLIC, NULL);
	zend_string_release(const_SUBSCRIBED_name);

	zval const_OPT_PREFIX_value;
	ZVAL_LONG(&const_OPT_PREFIX_value, KELVO_OPT_PREFIX);
	zend_string *const_OPT_PREFIX_name = zend_string_init_interned("OPT_PREFIX", sizeof("OPT_PREFIX") - 1, 1);
	zend_declare_class_constant_ex(class_entry, const_OPT_PREFIX_name, &const_OPT_PREFIX_value, ZEND_ACC_PUBLIC, NULL);
	zend_string_release(const_OPT_PREFIX_name);

	zval const_OPT_READ_TIMEOUT_value;
	ZVAL_LONG(&const_OPT_READ_TIMEOUT_value, KELVO_OPT_READ_TIMEOUT);
	zend_string *const_OPT_READ_TIMEOUT_name = zend_string_init_interned("OPT_READ_TIMEOUT", sizeof("OPT_READ_TIMEOUT") - 1, 1);
	zend_declare_class_constant_ex(class_entry, const_OPT_READ_TIMEOUT_name, &const_OPT_READ_TIMEOUT_value, ZEND_ACC_PUBLIC, NULL);
	zend_string_release(const_OPT_READ_TIMEOUT_name);

	zval const_OPT_MAX_RETRIES_value;
	ZVAL_LONG(&const_OPT_MAX_RETRIES_value, KELVO_OPT_MAX_RETRIES);
	zend_string *const_OPT_MAX_RETRIES_name = zend_string_init_interned("OPT_MAX_RETRIES", sizeof("OPT_MAX_RETRIES") - 1, 1);
	zend_declare_class_constant_ex(class_entry, const_OPT_MAX_RETRIES_name, &const_OPT_MAX_RETRIES_value, ZEND_ACC_PUBLIC, NULL);
	zend_string_release(const_OPT_MAX_RETRIES_name);

	zval const_OPT_BACKOFF_ALGORITHM_value;
	ZVAL_LONG(&const_OPT_BACKOFF_ALGORITHM_value, KELVO_OPT_BACKOFF_ALGORITHM);
	zend_string *const_OPT_BACKOFF_ALGORITHM_name = zend_string_init_interned("OPT_BACKOFF_ALGORITHM", sizeof("OPT_BACKOFF_ALGORITHM") - 1, 1);
	zend_declare_class_constant_ex(class_entry, const_OPT_BACKOFF_ALGORITHM_name, &const_OPT_BACKOFF_ALGORITHM_value, ZEND_ACC_PUBLIC, NULL);
	zend_string_release(const_OPT_BACKOFF_ALGORITHM_name);

	zval const_OPT_TCP_KEEPALIVE_value;
	ZVAL_LONG(&const_OPT_TCP_KEEPALIVE_value, KELVO_OPT_TCP_KEEPALIVE);
	zend_string *const_OPT_TCP_KEEPALIVE_name = zend_string_init_interned("OPT_TCP_KEEPALIVE", sizeof("OPT_TCP_KEEPALIVE") - 1, 1);
	zend_declare_class_constant_ex(class_entry, const_OPT_TCP_KEEPALIVE_name, &const_OPT_TCP_KEEPALIVE_value, ZEND_ACC_PUBLIC, NULL);
	zend_string_release(const_OPT_TCP_KEEPALIVE_name);

	zval const_BACKOFF_ALGORITHM_DEFAULT_value;
	ZVAL_LONG(&const_BACKOFF_ALGORITHM_DEFAULT_value, BACKOFF_ALGORITHM_DEFAULT);
	zend_string *const_BACKOFF_ALGORITHM_DEFAULT_name = zend_string_init_interned("BACKOFF_ALGORITHM_DEFAULT", sizeof("BACKOFF_ALGORITHM_DEFAULT") - 1, 1);
	zend_declare_class_constant_ex(class_entry, const_BACKOFF_ALGORITHM_DEFAULT_name, &const_BACKOFF_ALGORITHM_DEFAULT_value, ZEND_ACC_PUBLIC, NULL);
	zend_string_release(const_BACKOFF_ALGORITHM_DEFAULT_name);

	zval const_BACKOFF_ALGORITHM_DECORRELATED_JITTER_value;
	ZVAL_LONG(&const_BACKOFF_ALGORITHM_DECORRELATED_JITTER_value, BACKOFF_ALGORITHM_DECORRELATED_JITTER);
	zend_string *const_BACKOFF_ALGORITHM_DECORRELATED_JITTER_name = zend_string_init_interned("BACKOFF_ALGORITHM_DECORRELATED_JITTER", sizeof("BACKOFF_ALGORITHM_DECORRELATED_JITTER") - 1, 1);
	zend_declare_class_constant_ex(class_entry, const_BACKOFF_ALGORITHM_DECORRELATED_JITTER_name, &const_BACKOFF_ALGORITHM_DECORRELATED_JITTER_value, ZEND_ACC_PUBLIC, NULL);
	zend_string_release(const_BACKOFF_ALGORITHM_DECORRELATED_JITTER_name);

	zval const_BACKOFF_ALGORITHM_FULL_JITTER_value;
	ZVAL_LONG(&const_BACKOFF_ALGORITHM_FULL_JITTER_value, BACKOFF_ALGORITHM_FULL_JITTER);
	zend_string *const_BACKOFF_ALGORITHM_FULL_JITTER_name = zend_string_init_interned("BACKOFF_ALGORITHM_FULL_JITTER", sizeof("BACKOFF_ALGORITHM_FULL_JITTER") - 1, 1);
	zend_declare_class_constant_ex(class_entry, const_BACKOFF_ALGORITHM_FULL_JITTER_name, &const_BACKOFF_ALGORITHM_FULL_JITTER_value, ZEND_ACC_PUBLIC, NULL);
	zend_string_release(const_BACKOFF_ALGORITHM_FULL_JITTER_name);

	zval const_BACKOFF_ALGORITHM_EQUAL_JITTER_value;
	ZVAL_LONG(&const_BACKOFF_ALGORITHM_EQUAL_JITTER_value, BACKOFF_ALGORITHM_EQUAL_JITTER);
	zend_string *const_BACKOFF_ALGORITHM_EQUAL_JITTER_name = zend_string_init_interned("BACKOFF_ALGORITHM_EQUAL_JITTER", sizeof("BACKOFF_ALGORITHM_EQUAL_JITTER") - 1, 1);
	zend_declare_class_constant_ex(class_entry, const_BACKOFF_ALGORITHM_EQUAL_JITTER_name, &const_BACKOFF_ALGORITHM_EQUAL_JITTER_value, ZEND_ACC_PUBLIC, NULL);
	zend_string_release(const_BACKOFF_ALGORITHM_EQUAL_JITTER_name);

	zval const_BACKOFF_ALGORITHM_EXPONENTIAL_value;
	ZVAL_LONG(&const_BACKOFF_ALGORITHM_EXPONENTIAL_value, BACKOFF_ALGORITHM_EXPONENTIAL);
	zend_string *const_BACKOFF_ALGORITHM_EXPONENTIAL_name = zend_string_init_interned("BACKOFF_ALGORITHM_EXPONENTIAL", sizeof("BACKOFF_ALGORITHM_EXPONENTIAL") - 1, 1);
	zend_declare_class_constant_ex(class_entry, const_BACKOFF_ALGORITHM_EXPONENTIAL_name, &const_BACKOFF_ALGORITHM_EXPONENTIAL_value, ZEND_ACC_PUBLIC, NULL);
	zend_string_release(const_BACKOFF_ALGORITHM_EXPONENTIAL_name);

	zval const_BACKOFF_ALGORITHM_UNIFORM_value;
	ZVAL_LONG(&const_BACKOFF_ALGORITHM_UNIFORM_value, BACKOFF_ALGORITHM_UNIFORM);
	zend_string *const_BACKOFF_ALGORITHM_UNIFORM_name = zend_string_init_interned("BACKOFF_ALGORITHM_UNIFORM", sizeof("BACKOFF_ALGORITHM_UNIFORM") - 1, 1);
	zend_declare_class_constant_ex(class_entry, const_BACKOFF_ALGORITHM_UNIFORM_name, &const_BACKOFF_ALGORITHM_UNIFORM_value, ZEND_ACC_PUBLIC, NULL);
	zend_string_release(const_BACKOFF_ALGORITHM_UNIFORM_name);

	zval const_BACKOFF_ALGORITHM_CONSTANT_value;
	ZVAL_LONG(&const_BACKOFF_ALGORITHM_CONSTANT_value, BACKOFF_ALGORITHM_CONSTANT);
	zend_string *const_BACKOFF_ALGORITHM_CONSTANT_name = zend_string_init_interned("BACKOFF_ALGORITHM_CONSTANT", sizeof("BACKOFF_ALGORITHM_CONSTANT") - 1, 1);
	zend_declare_class_constant_ex(class_entry, const_BACKOFF_ALGORITHM_CONSTANT_name, &const_BACKOFF_ALGORITHM_CONSTANT_value, ZEND_ACC_PUBLIC, NULL);
	zend_string_release(const_BACKOFF_ALGORITHM_CONSTANT_name);

	zval const_OPT_BACKOFF_BASE_value;
	ZVAL_LONG(&const_OPT_BACKOFF_BASE_value, KELVO_OPT_BACKOFF_BASE);
	zend_string *const_OPT_BACKOFF_BASE_name = zend_string_init_interned("OPT_BACKOFF_BASE", sizeof("OPT_BACKOFF_BASE") - 1, 1);
	zend_declare_class_constant_ex(class_entry, const_OPT_BACKOFF_BASE_name, &const_OPT_BACKOFF_BASE_value, ZEND_ACC_PUBLIC, NULL);
	zend_string_release(const_OPT_BACKOFF_BASE_name);

	zval const_OPT_BACKOFF_CAP_value;
	ZVAL_LONG(&const_OPT_BACKOFF_CAP_value, KELVO_OPT_BACKOFF_CAP);
	zend_string *const_OPT_BACKOFF_CAP_name = zend_string_init_interned("OPT_BACKOFF_CAP", sizeof("OPT_BACKOFF_CAP") - 1, 1);
	zend_declare_class_constant_ex(class_entry, const_OPT_BACKOFF_CAP_name, &const_OPT_BACKOFF_CAP_value, ZEND_ACC_PUBLIC, NULL);
	zend_string_release(const_OPT_BACKOFF_CAP_name);

	zval const_OPT_PHPREDIS_COMPATIBILITY_value;
	ZVAL_LONG(&const_OPT_PHPREDIS_COMPATIBILITY_value, KELVO_OPT_PHPREDIS_COMPATIBILITY);
	zend_string *const_OPT_PHPREDIS_COMPATIBILITY_name = zend_string_init_interned("OPT_PHPREDIS_COMPATIBILITY", sizeof("OPT_PHPREDIS_COMPATIBILITY") - 1, 1);
	zend_declare_class_constant_ex(class_entry, const_OPT_PHPREDIS_COMPATIBILITY_name, &const_OPT_PHPREDIS_COMPATIBILITY_value, ZEND_ACC_PUBLIC, NULL);
	zend_string_release(const_OPT_PHPREDIS_COMPATIBILITY_name);

	zval const_OPT_SERIALIZER_value;
	ZVAL_LONG(&const_OPT_SERIALIZER_value, KELVO_OPT_SERIALIZER);
	zend_string *const_OPT_SERIALIZER_name = zend_string_init_interned("OPT_SERIALIZER", sizeof("OPT_SERIALIZER") - 1, 1);
	zend_declare_class_constant_ex(class_entry, const_OPT_SERIALIZER_name, &const_OPT_SERIALIZER_value, ZEND_ACC_PUBLIC, NULL);
	zend_string_release(const_OPT_SERIALIZER_name);

	zval const_OPT_COMPRESSION_value;
	ZVAL_LONG(&const_OPT_COMPRESSION_value, KELVO_OPT_COMPRESSION);
	zend_string *const_OPT_COMPRESSION_name = zend_string_init_interned("OPT_COMPRESSION", sizeof("OPT_COMPRESSION") - 1, 1);
	zend_declare_class_constant_ex(class_entry, const_OPT_COMPRESSION_name, &const_OPT_COMPRESSION_value, ZEND_ACC_PUBLIC, NULL);
	zend_string_release(const_OPT_COMPRESSION_name);

	zval const_OPT_COMPRESSION_LEVEL_value;
	ZVAL_LONG(&const_OPT_COMPRESSION_LEVEL_value, KELVO_OPT_COMPRESSION_LEVEL);
	zend_string *const_OPT_COMPRESSION_LEVEL_name = zend_string_init_interned("OPT_COMPRESSION_LEVEL", sizeof("OPT_COMPRESSION_LEVEL") - 1, 1);
	zend_declare_class_constant_ex(class_entry, const_OPT_COMPRESSION_LEVEL_name, &const_OPT_COMPRESSION_LEVEL_value, ZEND_ACC_PUBLIC, NULL);
	zend_string_release(const_OPT_COMPRESSION_LEVEL_name);

	zval const_OPT_REPLY_LITERAL_value;
	ZVAL_LONG(&const_OPT_REPLY_LITERAL_value, KELVO_OPT_REPLY_LITERAL);
	zend_string *const_OPT_REPLY_LITERAL_name = zend_string_init_interned("OPT_REPLY_LITERAL", sizeof("OPT_REPLY_LITERAL") - 1, 1);
	zend_declare_class_constant_ex(class_entry, const_OPT_REPLY_LITERAL_name, &const_OPT_REPLY_LITERAL_value, ZEND_ACC_PUBLIC, NULL);
	zend_string_release(const_OPT_REPLY_LITERAL_name);

	zval const_OPT_NULL_MULTIBULK_AS_NULL_value;
	ZVAL_LONG(&const_OPT_NULL_MULTIBULK_AS_NULL_value, KELVO_OPT_NULL_MULTIBULK_AS_NULL);
	zend_string *const_OPT_NULL_MULTIBULK_AS_NULL_name = zend_string_init_interned("OPT_NULL_MULTIBULK_AS_NULL", sizeof("OPT_NULL_MULTIBULK_AS_NULL") - 1, 1);
	zend_declare_class_constant_ex(class_entry, const_OPT_NULL_MULTIBULK_AS_NULL_name, &const_OPT_NULL_MULTIBULK_AS_NULL_value, ZEND_ACC_PUBLIC, NULL);
	zend_string_release(const_OPT_NULL_MULTIBULK_AS_NULL_name);

	zval const_OPT_PACK_IGNORE_NUMBERS_value;
	ZVAL_LONG(&const_OPT_PACK_IGNORE_NUMBERS_value, KELVO_OPT_PACK_IGNORE_NUMBERS);
	zend_string *const_OPT_PACK_IGNORE_NUMBERS_name = zend_string_init_interned("OPT_PACK_IGNORE_NUMBERS", sizeof("OPT_PACK_IGNORE_NUMBERS") - 1, 1);
	zend_declare_class_constant_ex(class_entry, const_OPT_PACK_IGNORE_NUMBERS_name, &const_OPT_PACK_IGNORE_NUMBERS_value, ZEND_ACC_PUBLIC, NULL);
	zend_string_release(const_OPT_PACK_IGNORE_NUMBERS_name);

	zval const_OPT_THROW_ON_ERROR_value;
	ZVAL_LONG(&const_OPT_THROW_ON_ERROR_value, KELVO_OPT_THROW_ON_ERROR);
	zend_string *const_OPT_THROW_ON_ERROR_name = zend_string_init_interned("OPT_THROW_ON_ERROR", sizeof("OPT_THROW_ON_ERROR") - 1, 1);
	zend_declare_class_constant_ex(class_entry, const_OPT_THROW_ON_ERROR_name, &const_OPT_THROW_ON_ERROR_value, ZEND_ACC_PUBLIC, NULL);
	zend_string_release(const_OPT_THROW_ON_ERROR_name);

	zval const_OPT_CLIENT_INVALIDATIONS_value;
	ZVAL_LONG(&const_OPT_CLIENT_INVALIDATIONS_value, KELVO_OPT_CLIENT_INVALIDATIONS);
	zend_string *const_OPT_CLIENT_INVALIDATIONS_name = zend_string_init_interned("OPT_CLIENT_INVALIDATIONS", sizeof("OPT_CLIENT_INVALIDATIONS") - 1, 1);
	zend_declare_class_constant_ex(class_entry, const_OPT_CLIENT_INVALIDATIONS_name, &const_OPT_CLIENT_INVALIDATIONS_value, ZEND_ACC_PUBLIC, NULL);
	zend_string_release(const_OPT_CLIENT_INVALIDATIONS_name);

	zval const_OPT_ALLOW_PATTERNS_value;
	ZVAL_LONG(&const_OPT_ALLOW_PATTERNS_value, KELVO_OPT_ALLOW_PATTERNS);
	zend_string *const_OPT_ALLOW_PATTERNS_name = zend_string_init_interned("OPT_ALLOW_PATTERNS", sizeof("OPT_ALLOW_PATTERNS") - 1, 1);
	zend_declare_class_constant_ex(class_entry, const_OPT_ALLOW_PATTERNS_name, &const_OPT_ALLOW_PATTERNS_value, ZEND_ACC_PUBLIC, NULL);
	zend_string_release(const_OPT_ALLOW_PATTERNS_name);

	zval const_OPT_IGNORE_PATTERNS_value;
	ZVAL_LONG(&const_OPT_IGNORE_PATTERNS_value, KELVO_OPT_IGNORE_PATTERNS);
	zend_string *const_OPT_IGNORE_PATTERNS_name = zend_string_init_interned("OPT_IGNORE_PATTERNS", sizeof("OPT_IGNORE_PATTERNS") - 1, 1);
	zend_declare_class_constant_ex(class_entry, const_OPT_IGNORE_PATTERNS_name, &const_OPT_IGNORE_PATTERNS_value, ZEND_ACC_PUBLIC, NULL);
	zend_string_release(const_OPT_IGNORE_PATTERNS_name);

	zval const_OPT_USE_CACHE_value;
	ZVAL_LONG(&const_OPT_USE_CACHE_value, KELVO_OPT_USE_CACHE);
	zend_string *const_OPT_USE_CACHE_name = zend_string_init_interned("OPT_USE_CACHE", sizeof("OPT_USE_CACHE") - 1, 1);
	zend_declare_class_constant_ex(class_entry, const_OPT_USE_CACHE_name, &const_OPT_USE_CACHE_value, ZEND_ACC_PUBLIC, NULL);
	zend_string_release(const_OPT_USE_CACHE_name);

	zval const_OPT_CLIENT_TRACKING_value;
	ZVAL_LONG(&const_OPT_CLIENT_TRACKING_value, KELVO_OPT_CLIENT_TRACKING);
	zend_string *const_OPT_CLIENT_TRACKING_name = zend_string_init_interned("OPT_CLIENT_TRACKING", sizeof("OPT_CLIENT_TRACKING") - 1, 1);
	zend_declare_class_constant_ex(class_entry, const_OPT_CLIENT_TRACKING_name, &const_OPT_CLIENT_TRACKING_value, ZEND_ACC_PUBLIC, NULL);
	zend_string_release(const_OPT_CLIENT_TRACKING_name);

	zval const_OPT_SCAN_value;
	ZVAL_LONG(&const_OPT_SCAN_value, KELVO_OPT_SCAN);
	zend_string *const_OPT_SCAN_name = zend_string_init_interned("OPT_SCAN", sizeof("OPT_SCAN") - 1, 1);
	zend_declare_class_constant_ex(class_entry, const_OPT_SCAN_name, &const_OPT_SCAN_value, ZEND_ACC_PUBLIC, NULL);
	zend_string_release(const_OPT_SCAN_name);

	zval const_OPT_CAPA_REDIRECT_value;
	ZVAL_LONG(&const_OPT_CAPA_REDIRECT_value, KELVO_OPT_CAPA_REDIRECT);
	zend_string *const_OPT_CAPA_REDIRECT_name = zend_string_init_interned("OPT_CAPA_REDIRECT", sizeof("OPT_CAPA_REDIRECT") - 1, 1);
	zend_declare_class_constant_ex(class_entry, const_OPT_CAPA_REDIRECT_name, &const_OPT_CAPA_REDIRECT_value, ZEND_ACC_PUBLIC, NULL);
	zend_string_release(const_OPT_CAPA_REDIRECT_name);

	zval const_OPT_RESTORE_PUBSUB_value;
	ZVAL_LONG(&const_OPT_RESTORE_PUBSUB_value, KELVO_OPT_RESTORE_PUBSUB);
	zend_string *const_OPT_RESTORE_PUBSUB_name = zend_string_init_interned("OPT_RESTORE_PUBSUB", sizeof("OPT_RESTORE_PUBSUB") - 1, 1);
	zend_declare_class_constant_ex(class_entry, const_OPT_RESTORE_PUBSUB_name, &const_OPT_RESTORE_PUBSUB_value, ZEND_ACC_PUBLIC, NULL);
	zend_string_release(const_OPT_RESTORE_PUBSUB_name);

	zval const_OPT_ADAPTIVE_CACHE_value;
	ZVAL_LONG(&const_OPT_ADAPTIVE_CACHE_value, KELVO_OPT_ADAPTIVE_CACHE);
	zend_string *const_OPT_ADAPTIVE_CACHE_name = zend_string_init_interned("OPT_ADAPTIVE_CACHE", sizeof("OPT_ADAPTIVE_CACHE") - 1, 1);
	zend_declare_class_constant_ex(class_entry, const_OPT_ADAPTIVE_CACHE_name, &const_OPT_ADAPTIVE_CACHE_value, ZEND_ACC_PUBLIC, NULL);
	zend_string_release(const_OPT_ADAPTIVE_CACHE_name);

	zval const_SCAN_NORETRY_value;
	ZVAL_LONG(&const_SCAN_NORETRY_value, KELVO_SCAN_NORETRY);
	zend_string *const_SCAN_NORETRY_name = zend_string_init_interned("SCAN_NORETRY", sizeof("SCAN_NORETRY") - 1, 1);
	zend_declare_class_constant_ex(class_entry, const_SCAN_NORETRY_name, &const_SCAN_NORETRY_value, ZEND_ACC_PUBLIC, NULL);
	zend_string_release(const_SCAN_NORETRY_name);

	zval const_SCAN_RETRY_value;
	ZVAL_LONG(&const_SCAN_RETRY_value, KELVO_SCAN_RETRY);
	zend_string *const_SCAN_RETRY_name = zend_string_init_interned("SCAN_RETRY", sizeof("SCAN_RETRY") - 1, 1);
	zend_declare_class_constant_ex(class_entry, const_SCAN_RETRY_name, &const_SCAN_RETRY_value, ZEND_ACC_PUBLIC, NULL);
	zend_string_release(const_SCAN_RETRY_name);

	zval const_SCAN_PREFIX_value;
	ZVAL_LONG(&const_SCAN_PREFIX_value, KELVO_SCAN_PREFIX);
	zend_string *const_SCAN_PREFIX_name = zend_string_init_interned("SCAN_PREFIX", sizeof("SCAN_PREFIX") - 1, 1);
	zend_declare_class_constant_ex(class_entry, const_SCAN_PREFIX_name, &const_SCAN_PREFIX_value, ZEND_ACC_PUBLIC, NULL);
	zend_string_release(const_SCAN_PREFIX_name);

	zval const_SCAN_NOPREFIX_value;
	ZVAL_LONG(&const_SCAN_NOPREFIX_value, KELVO_SCAN_NOPREFIX);
	zend_string *const_SCAN_NOPREFIX_name = zend_string_init_interned("SCAN_NOPREFIX", sizeof("SCAN_NOPREFIX") - 1, 1);
	zend_declare_class_constant_ex(class_entry, const_SCAN_NOPREFIX_name, &const_SCAN_NOPREFIX_value, ZEND_ACC_PUBLIC, NULL);
	zend_string_release(const_SCAN_NOPREFIX_name);

	zval const_BEFORE_value;
	zend_string *const_BEFORE_value_str = zend_string_init("BEFORE", strlen("BEFORE"), 1);
	ZVAL_STR(&const_BEFORE_value, const_BEFORE_value_str);
	zend_string *const_BEFORE_name = zend_string_init_interned("BEFORE", sizeof("BEFORE") - 1, 1);
	zend_declare_class_constant_ex(class_entry, const_BEFORE_name, &const_BEFORE_value, ZEND_ACC_PUBLIC, NULL);
	zend_string_release(const_BEFORE_name);

	zval const_AFTER_value;
	zend_string *const_AFTER_value_str = zend_string_init("AFTER", strlen("AFTER"), 1);
	ZVAL_STR(&const_AFTER_value, const_AFTER_value_str);
	zend_string *const_AFTER_name = zend_string_init_interned("AFTER", sizeof("AFTER") - 1, 1);
	zend_declare_class_constant_ex(class_entry, const_AFTER_name, &const_AFTER_value, ZEND_ACC_PUBLIC, NULL);
	zend_string_release(const_AFTER_name);

	zval const_LEFT_value;
	zend_string *const_LEFT_value_str = zend_string_init("LEFT", strlen("LEFT"), 1);
	ZVAL_STR(&const_LEFT_value, const_LEFT_value_str);
	zend_string *const_LEFT_name = zend_string_init_interned("LEFT", sizeof("LEFT") - 1, 1);
	zend_declare_class_constant_ex(class_entry, const_LEFT_name, &const_LEFT_value, ZEND_ACC_PUBLIC, NULL);
	zend_string_release(const_LEFT_name);

	zval const_RIGHT_value;
	zend_string *const_RIGHT_value_str = zend_string_init("RIGHT", strlen("RIGHT"), 1);
	ZVAL_STR(&const_RIGHT_value, const_RIGHT_value_str);
	zend_string *const_RIGHT_name = zend_string_init_interned("RIGHT", sizeof("RIGHT") - 1, 1);
	zend_declare_class_constant_ex(class_entry, const_RIGHT_name, &const_RIGHT_value, ZEND_ACC_PUBLIC, NULL);
	zend_string_release(const_RIGHT_name);

	zval const_REDIS_NOT_FOUND_value;
	ZVAL_LONG(&const_REDIS_NOT_FOUND_value, KELVO_KEYTYPE_NOT_FOUND);
	zend_string *const_REDIS_NOT_FOUND_name = zend_string_init_interned("REDIS_NOT_FOUND", sizeof("REDIS_NOT_FOUND") - 1, 1);
	zend_declare_class_constant_ex(class_entry, const_REDIS_NOT_FOUND_name, &const_REDIS_NOT_FOUND_value, ZEND_ACC_PUBLIC, NULL);
	zend_string_release(const_REDIS_NOT_FOUND_name);

	zval const_REDIS_STRING_value;
	ZVAL_LONG(&const_REDIS_STRING_value, KELVO_KEYTYPE_STRING);
	zend_string *const_REDIS_STRING_name = zend_string_init_interned("REDIS_STRING", sizeof("REDIS_STRING") - 1, 1);
	zend_declare_class_constant_ex(class_entry, const_REDIS_STRING_name, &const_REDIS_STRING_value, ZEND_ACC_PUBLIC, NULL);
	zend_string_release(const_REDIS_STRING_name);

	zval const_REDIS_SET_value;
	ZVAL_LONG(&const_REDIS_SET_value, KELVO_KEYTYPE_SET);
	zend_string *const_REDIS_SET_name = zend_string_init_interned("REDIS_SET", sizeof("REDIS_SET") - 1, 1);
	zend_declare_class_constant_ex(class_entry, const_REDIS_SET_name, &const_REDIS_SET_value, ZEND_ACC_PUBLIC, NULL);
	zend_string_release(const_REDIS_SET_name);

	zval const_REDIS_LIST_value;
	ZVAL_LONG(&const_REDIS_LIST_value, KELVO_KEYTYPE_LIST);
	zend_string *const_REDIS_LIST_name = zend_string_init_interned("REDIS_LIST", sizeof("REDIS_LIST") - 1, 1);
	zend_declare_class_constant_ex(class_entry, const_REDIS_LIST_name, &const_REDIS_LIST_value, ZEND_ACC_PUBLIC, NULL);
	zend_string_release(const_REDIS_LIST_name);

	zval const_REDIS_ZSET_value;
	ZVAL_LONG(&const_REDIS_ZSET_value, KELVO_KEYTYPE_ZSET);
	zend_string *const_REDIS_ZSET_name = zend_string_init_interned("REDIS_ZSET", sizeof("REDIS_ZSET") - 1, 1);
	zend_declare_class_constant_ex(class_entry, const_REDIS_ZSET_name, &const_REDIS_ZSET_value, ZEND_ACC_PUBLIC, NULL);
	zend_string_release(const_REDIS_ZSET_name);

	zval const_REDIS_HASH_value;
	ZVAL_LONG(&const_REDIS_HASH_value, KELVO_KEYTYPE_HASH);
	zend_string *const_REDIS_HASH_name = zend_string_init_interned("REDIS_HASH", sizeof("REDIS_HASH") - 1, 1);
	zend_declare_class_constant_ex(class_entry, const_REDIS_HASH_name, &const_REDIS_HASH_value, ZEND_ACC_PUBLIC, NULL);
	zend_string_release(const_REDIS_HASH_name);

	zval const_REDIS_STREAM_value;
	ZVAL_LONG(&const_REDIS_STREAM_value, KELVO_KEYTYPE_STREAM);
	zend_string *const_REDIS_STREAM_name = zend_string_init_interned("REDIS_STREAM", sizeof("REDIS_STREAM") - 1, 1);
	zend_declare_class_constant_ex(class_entry, const_REDIS_STREAM_name, &const_REDIS_STREAM_value, ZEND_ACC_PUBLIC, NULL);
	zend_string_release(const_REDIS_STREAM_name);

	zval const_REDIS_VECTORSET_value;
	ZVAL_LONG(&const_REDIS_VECTORSET_value, KELVO_KEYTYPE_VECTORSET);
	zend_string *const_REDIS_VECTORSET_name = zend_string_init_interned("REDIS_VECTORSET", sizeof("REDIS_VECTORSET") - 1, 1);
	zend_declare_class_constant_ex(class_entry, const_REDIS_VECTORSET_name, &const_REDIS_VECTORSET_value, ZEND_ACC_PUBLIC, NULL);
	zend_string_release(const_REDIS_VECTORSET_name);

	zend_string *property_adaptiveCache_class_Kelvo_AdaptiveCache = zend_string_init("Kelvo\\AdaptiveCache", sizeof("Kelvo\\AdaptiveCache")-1, 1);
	zval property_adaptiveCache_default_value;
	ZVAL_UNDEF(&property_adaptiveCache_default_value);
	zend_string *property_adaptiveCache_name = zend_string_init("adaptiveCache", sizeof("adaptiveCache") - 1, 1);
	zend_declare_typed_property(class_entry, property_adaptiveCache_name, &property_adaptiveCache_default_value, ZEND_ACC_PUBLIC, NULL, (zend_type) ZEND_TYPE_INIT_CLASS(property_adaptiveCache_class_Kelvo_AdaptiveCache, 0, 0));
	zend_string_release(property_adaptiveCache_name);

	return class_entry;
}

static zend_class_entry *register_class_Kelvo_Event(void)
{
	zend_class_entry ce, *class_entry;

	INIT_NS_CLASS_ENTRY(ce, "Kelvo", "Event", class_Kelvo_Event_methods);
	class_entry = zend_register_internal_class_ex(&ce, NULL);
	class_entry->ce_flags |= ZEND_ACC_ABSTRACT;

	zval const_INVALIDATED_value;
	ZVAL_LONG(&const_INVALIDATED_value, kelvoEventInvalidated);
	zend_string *const_INVALIDATED_name = zend_string_init_interned("INVALIDATED", sizeof("INVALIDATED") - 1, 1);
	zend_declare_class_constant_ex(class_entry, const_INVALIDATED_name, &const_INVALIDATED_value, ZEND_ACC_PUBLIC, NULL);
	zend_string_release(const_INVALIDATED_name);

	zval const_Invalidated_value;
	ZVAL_LONG(&const_Invalidated_value, kelvoEventInvalidated);
	zend_string *const_Invalidated_name = zend_string_init_interned("Invalidated", sizeof("Invalidated") - 1, 1);
	zend_declare_class_constant_ex(class_entry, const_Invalidated_name, &const_Invalidated_value, ZEND_ACC_PUBLIC, NULL);
	zend_string_release(const_Invalidated_name);

	zval const_FLUSHED_value;
	ZVAL_LONG(&const_FLUSHED_value, kelvoEventFlushed);
	zend_string *const_FLUSHED_name = zend_string_init_interned("FLUSHED", sizeof("FLUSHED") - 1, 1);
	zend_declare_class_constant_ex(class_entry, const_FLUSHED_name, &const_FLUSHED_value, ZEND_ACC_PUBLIC, NULL);
	zend_string_release(const_FLUSHED_name);

	zval const_Flushed_value;
	ZVAL_LONG(&const_Flushed_value, kelvoEventFlushed);
	zend_string *const_Flushed_name = zend_string_init_interned("Flushed", sizeof("Flushed") - 1, 1);
	zend_declare_class_constant_ex(class_entry, const_Flushed_name, &const_Flushed_value, ZEND_ACC_PUBLIC, NULL);
	zend_string_release(const_Flushed_name);

	zval property_type_default_value;
	ZVAL_UNDEF(&property_type_default_value);
	zend_string *property_type_name = zend_string_init("type", sizeof("type") - 1, 1);
	zend_declare_typed_property(class_entry, property_type_name, &property_type_default_value, ZEND_ACC_PUBLIC, NULL, (zend_type) ZEND_TYPE_INIT_MASK(MAY_BE_LONG));
	zend_string_release(property_type_name);

	zval property_key_default_value;
	ZVAL_NULL(&property_key_default_value);
	zend_string *property_key_name = zend_string_init("key", sizeof("key") - 1, 1);
	zend_declare_typed_property(class_entry, property_key_name, &property_key_default_value, ZEND_ACC_PUBLIC, NULL, (zend_type) ZEND_TYPE_INIT_MASK(MAY_BE_ANY));
	zend_string_release(property_key_name);

	zval property_client_default_value;
	ZVAL_UNDEF(&property_client_default_value);
	zend_string *property_client_name = zend_string_init("client", sizeof("client") - 1, 1);
	zend_declare_typed_property(class_entry, property_client_name, &property_client_default_value, ZEND_ACC_PUBLIC, NULL, (zend_type) ZEND_TYPE_INIT_MASK(MAY_BE_BOOL));
	zend_string_release(property_client_name);

	return class_entry;
}

static zend_class_entry *register_class_Kelvo_Event_Invalidated(zend_class_entry *class_entry_Kelvo_Event)
{
	zend_class_entry ce, *class_entry;

	INIT_NS_CLASS_ENTRY(ce, "Kelvo\\Event", "Invalidated", class_Kelvo_Event_Invalidated_methods);
	class_entry = zend_register_internal_class_ex(&ce, class_entry_Kelvo_Event);
	class_entry->ce_flags |= ZEND_ACC_FINAL;

	zval property_type_default_value;
	ZVAL_LONG(&property_type_default_value, kelvoEventInvalidated);
	zend_string *property_type_name = zend_string_init("type", sizeof("type") - 1, 1);
	zend_declare_typed_property(class_entry, property_type_name, &property_type_default_value, ZEND_ACC_PUBLIC, NULL, (zend_type) ZEND_TYPE_INIT_MASK(MAY_BE_LONG));
	zend_string_release(property_type_name);

	return class_entry;
}

static zend_class_entry *register_class_Kelvo_Event_Flushed(zend_class_entry *class_entry_Kelvo_Event)
{
	zend_class_entry ce, *class_entry;

	INIT_NS_CLASS_ENTRY(ce, "Kelvo\\Event", "Flushed", class_Kelvo_Event_Flushed_methods);
	class_entry = zend_register_internal_class_ex(&ce, class_entry_Kelvo_Event);
	class_entry->ce_flags |= ZEND_ACC_FINAL;

	zval property_type_default_value;
	ZVAL_LONG(&property_type_default_value, kelvoEventFlushed);
	zend_string *property_type_name = zend_string_init("type", sizeof("type") - 1, 1);
	zend_declare_typed_property(class_entry, property_type_name, &property_type_default_value, ZEND_ACC_PUBLIC, NULL, (zend_type) ZEND_TYPE_INIT_MASK(MAY_BE_LONG));
	zend_string_release(property_type_name);

	return class_entry;
}
