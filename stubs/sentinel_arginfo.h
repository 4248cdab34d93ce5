/* This is a generated file, edit the .stub.php file instead.
 * Stub hash: ec258f6df323edcd7438e1cfd3e22bdc95feecc4 */

ZEND_BEGIN_ARG_INFO_EX(arginfo_class_Kelvo_Sentinel___construct, 0, 0, 0)
	ZEND_ARG_TYPE_MASK(0, host, MAY_BE_NULL|MAY_BE_STRING|MAY_BE_ARRAY, "null")
	ZEND_ARG_TYPE_INFO_WITH_DEFAULT_VALUE(0, port, IS_LONG, 0, "26379")
	ZEND_ARG_TYPE_INFO_WITH_DEFAULT_VALUE(0, timeout, IS_DOUBLE, 0, "0")
	ZEND_ARG_TYPE_INFO_WITH_DEFAULT_VALUE(0, persistent, IS_MIXED, 0, "null")
	ZEND_ARG_TYPE_INFO_WITH_DEFAULT_VALUE(0, retry_interval, IS_LONG, 0, "0")
	ZEND_ARG_TYPE_INFO_WITH_DEFAULT_VALUE(0, read_timeout, IS_DOUBLE, 0, "0")
	ZEND_ARG_TYPE_INFO_WITH_DEFAULT_VALUE(0, auth, IS_MIXED, 0, "null")
	ZEND_ARG_TYPE_INFO_WITH_DEFAULT_VALUE(0, context, IS_ARRAY, 1, "null")
ZEND_END_ARG_INFO()

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_class_Kelvo_Sentinel_ckquorum, 0, 1, _IS_BOOL, 0)
	ZEND_ARG_TYPE_INFO(0, master, IS_STRING, 0)
ZEND_END_ARG_INFO()

#define arginfo_class_Kelvo_Sentinel_failover arginfo_class_Kelvo_Sentinel_ckquorum

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_class_Kelvo_Sentinel_flushconfig, 0, 0, _IS_BOOL, 0)
ZEND_END_ARG_INFO()

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_MASK_EX(arginfo_class_Kelvo_Sentinel_getMasterAddrByName, 0, 1, MAY_BE_ARRAY|MAY_BE_FALSE|MAY_BE_NULL)
	ZEND_ARG_TYPE_INFO(0, master, IS_STRING, 0)
ZEND_END_ARG_INFO()

#define arginfo_class_Kelvo_Sentinel_getPrimaryAddrByName arginfo_class_Kelvo_Sentinel_getMasterAddrByName

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_MASK_EX(arginfo_class_Kelvo_Sentinel_master, 0, 1, MAY_BE_ARRAY|MAY_BE_FALSE)
	ZEND_ARG_TYPE_INFO(0, master, IS_STRING, 0)
ZEND_END_ARG_INFO()

#define arginfo_class_Kelvo_Sentinel_primary arginfo_class_Kelvo_Sentinel_master

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_MASK_EX(arginfo_class_Kelvo_Sentinel_masters, 0, 0, MAY_BE_ARRAY|MAY_BE_FALSE)
ZEND_END_ARG_INFO()

#define arginfo_class_Kelvo_Sentinel_primaries arginfo_class_Kelvo_Sentinel_masters

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_MASK_EX(arginfo_class_Kelvo_Sentinel_myid, 0, 0, MAY_BE_STRING|MAY_BE_FALSE)
ZEND_END_ARG_INFO()

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_MASK_EX(arginfo_class_Kelvo_Sentinel_ping, 0, 0, MAY_BE_BOOL|MAY_BE_STRING)
	ZEND_ARG_TYPE_INFO_WITH_DEFAULT_VALUE(0, message, IS_STRING, 1, "null")
ZEND_END_ARG_INFO()

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_MASK_EX(arginfo_class_Kelvo_Sentinel_reset, 0, 1, MAY_BE_LONG|MAY_BE_FALSE)
	ZEND_ARG_TYPE_INFO(0, pattern, IS_STRING, 0)
ZEND_END_ARG_INFO()

#define arginfo_class_Kelvo_Sentinel_sentinels arginfo_class_Kelvo_Sentinel_master

#define arginfo_class_Kelvo_Sentinel_slaves arginfo_class_Kelvo_Sentinel_master

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_class_Kelvo_Sentinel_getLastError, 0, 0, IS_STRING, 1)
ZEND_END_ARG_INFO()

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_class_Kelvo_Sentinel_setOption, 0, 2, _IS_BOOL, 0)
	ZEND_ARG_TYPE_INFO(0, option, IS_LONG, 0)
	ZEND_ARG_TYPE_INFO(0, value, IS_MIXED, 0)
ZEND_END_ARG_INFO()

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_class_Kelvo_Sentinel_getOption, 0, 1, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, option, IS_LONG, 0)
ZEND_END_ARG_INFO()


ZEND_METHOD(Kelvo_Sentinel, __construct);
ZEND_METHOD(Kelvo_Sentinel, ckquorum);
ZEND_METHOD(Kelvo_Sentinel, failover);
ZEND_METHOD(Kelvo_Sentinel, flushconfig);
ZEND_METHOD(Kelvo_Sentinel, getMasterAddrByName);
ZEND_METHOD(Kelvo_Sentinel, master);
ZEND_METHOD(Kelvo_Sentinel, masters);
ZEND_METHOD(Kelvo_Sentinel, myid);
ZEND_METHOD(Kelvo_Sentinel, ping);
ZEND_METHOD(Kelvo_Sentinel, reset);
ZEND_METHOD(Kelvo_Sentinel, sentinels);
ZEND_METHOD(Kelvo_Sentinel, slaves);
ZEND_METHOD(Kelvo_Sentinel, getLastError);
ZEND_METHOD(Kelvo_Sentinel, setOption);
ZEND_METHOD(Kelvo_Sentinel, getOption);


static const zend_function_entry class_Kelvo_Sentinel_methods[] = {
	ZEND_ME(Kelvo_Sentinel, __construct, arginfo_class_Kelvo_Sentinel___construct, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Sentinel, ckquorum, arginfo_class_Kelvo_Sentinel_ckquorum, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Sentinel, failover, arginfo_class_Kelvo_Sentinel_failover, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Sentinel, flushconfig, arginfo_class_Kelvo_Sentinel_flushconfig, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Sentinel, getMasterAddrByName, arginfo_class_Kelvo_Sentinel_getMasterAddrByName, ZEND_ACC_PUBLIC)
	ZEND_MALIAS(Kelvo_Sentinel, getPrimaryAddrByName, getMasterAddrByName, arginfo_class_Kelvo_Sentinel_getPrimaryAddrByName, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Sentinel, master, arginfo_class_Kelvo_Sentinel_master, ZEND_ACC_PUBLIC)
	ZEND_MALIAS(Kelvo_Sentinel, primary, master, arginfo_class_Kelvo_Sentinel_primary, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Sentinel, masters, arginfo_class_Kelvo_Sentinel_masters, ZEND_ACC_PUBLIC)
	ZEND_MALIAS(Kelvo_Sentinel, primaries, masters, arginfo_class_Kelvo_Sentinel_primaries, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Sentinel, myid, arginfo_class_Kelvo_Sentinel_myid, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Sentinel, ping, arginfo_class_Kelvo_Sentinel_ping, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Sentinel, reset, arginfo_class_Kelvo_Sentinel_reset, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Sentinel, sentinels, arginfo_class_Kelvo_Sentinel_sentinels, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Sentinel, slaves, arginfo_class_Kelvo_Sentinel_slaves, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Sentinel, getLastError, arginfo_class_Kelvo_Sentinel_getLastError, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Sentinel, setOption, arginfo_class_Kelvo_Sentinel_setOption, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_Sentinel, getOption, arginfo_class_Kelvo_Sentinel_getOption, ZEND_ACC_PUBLIC)
	ZEND_FE_END
};

static zend_class_entry *register_class_Kelvo_Sentinel(void)
{
	zend_class_entry ce, *class_entry;

	INIT_NS_CLASS_ENTRY(ce, "Kelvo", "Sentinel", class_Kelvo_Sentinel_methods);
	class_entry = zend_register_internal_class_ex(&ce, NULL);

	zval const_OPT_THROW_ON_ERR_value;
	ZVAL_LONG(&const_OPT_THROW_ON_ERR_value, KELVO_SENTINEL_OPT_THROW_ON_ERR);
	zend_string *const_OPT_THROW_ON_ERR_name = zend_string_init_interned("OPT_THROW_ON_ERR", sizeof("OPT_THROW_ON_ERR") - 1, 1);
	zend_declare_class_constant_ex(class_entry, const_OPT_THROW_ON_ERR_name, &const_OPT_THROW_ON_ERR_value, ZEND_ACC_PUBLIC, NULL);
	zend_string_release(const_OPT_THROW_ON_ERR_name);

	zval const_OPT_AUTO_DISCOVER_value;
	ZVAL_LONG(&const_OPT_AUTO_DISCOVER_value, KELVO_SENTINEL_OPT_AUTO_DISCOVER);
	zend_string *const_OPT_AUTO_DISCOVER_name = zend_string_init_interned("OPT_AUTO_DISCOVER", sizeof("OPT_AUTO_DISCOVER") - 1, 1);
	zend_declare_class_constant_ex(class_entry, const_OPT_AUTO_DISCOVER_name, &const_OPT_AUTO_DISCOVER_value, ZEND_ACC_PUBLIC, NULL);
	zend_string_release(const_OPT_AUTO_DISCOVER_name);

	return class_entry;
}
