/* This is a generated file, edit the .stub.php file instead.
 * Stub hash: c8a4a370dded35ed9a56ff054614c7cf429b8da7 */

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_class_Kelvo_Table_get, 0, 1, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO(0, key, IS_STRING, 0)
	ZEND_ARG_TYPE_INFO_WITH_DEFAULT_VALUE(0, namespace, IS_STRING, 1, "null")
ZEND_END_ARG_INFO()

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_MASK_EX(arginfo_class_Kelvo_Table_getWithMeta, 0, 1, MAY_BE_FALSE|MAY_BE_ARRAY)
	ZEND_ARG_TYPE_INFO(0, key, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO_WITH_DEFAULT_VALUE(0, namespace, IS_STRING, 1, "null")
ZEND_END_ARG_INFO()

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_class_Kelvo_Table_set, 0, 2, _IS_BOOL, 0)
	ZEND_ARG_TYPE_INFO(0, key, IS_STRING, 0)
	ZEND_ARG_TYPE_INFO(0, value, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO_WITH_DEFAULT_VALUE(0, expire, IS_LONG, 1, "null")
	ZEND_ARG_TYPE_INFO_WITH_DEFAULT_VALUE(0, namespace, IS_STRING, 1, "null")
ZEND_END_ARG_INFO()

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_class_Kelvo_Table_exists, 0, 1, _IS_BOOL, 0)
	ZEND_ARG_TYPE_INFO(0, key, IS_STRING, 0)
	ZEND_ARG_TYPE_INFO_WITH_DEFAULT_VALUE(0, namespace, IS_STRING, 1, "null")
ZEND_END_ARG_INFO()

#define arginfo_class_Kelvo_Table_delete arginfo_class_Kelvo_Table_exists

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_MASK_EX(arginfo_class_Kelvo_Table_ttl, 0, 1, MAY_BE_FALSE|MAY_BE_LONG)
	ZEND_ARG_TYPE_INFO(0, key, IS_STRING, 0)
	ZEND_ARG_TYPE_INFO_WITH_DEFAULT_VALUE(0, namespace, IS_STRING, 1, "null")
ZEND_END_ARG_INFO()

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_MASK_EX(arginfo_class_Kelvo_Table_count, 0, 0, MAY_BE_FALSE|MAY_BE_LONG)
	ZEND_ARG_TYPE_INFO_WITH_DEFAULT_VALUE(0, namespace, IS_STRING, 1, "null")
ZEND_END_ARG_INFO()

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_class_Kelvo_Table_clear, 0, 0, _IS_BOOL, 0)
	ZEND_ARG_TYPE_INFO_WITH_DEFAULT_VALUE(0, namespace, IS_STRING, 1, "null")
ZEND_END_ARG_INFO()

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_MASK_EX(arginfo_class_Kelvo_Table_keys, 0, 1, MAY_BE_FALSE|MAY_BE_ARRAY)
	ZEND_ARG_TYPE_INFO(0, pattern, IS_MIXED, 0)
	ZEND_ARG_TYPE_INFO_WITH_DEFAULT_VALUE(0, namespace, IS_STRING, 1, "null")
ZEND_END_ARG_INFO()

#define arginfo_class_Kelvo_Table_memory arginfo_class_Kelvo_Table_count

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_MASK_EX(arginfo_class_Kelvo_Table_namespaces, 0, 0, MAY_BE_FALSE|MAY_BE_ARRAY)
ZEND_END_ARG_INFO()

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_MASK_EX(arginfo_class_Kelvo_Table_clearAll, 0, 0, MAY_BE_FALSE|MAY_BE_LONG)
ZEND_END_ARG_INFO()

ZEND_BEGIN_ARG_WITH_RETURN_OBJ_TYPE_MASK_EX(arginfo_class_Kelvo_Table_fullscan, 0, 0, Generator, MAY_BE_FALSE)
	ZEND_ARG_TYPE_INFO_WITH_DEFAULT_VALUE(0, match, IS_MIXED, 0, "null")
	ZEND_ARG_TYPE_INFO_WITH_DEFAULT_VALUE(0, count, IS_LONG, 0, "0")
ZEND_END_ARG_INFO()

#define arginfo_class_Kelvo_Table_stats arginfo_class_Kelvo_Table_namespaces


ZEND_METHOD(Kelvo_Table, get);
ZEND_METHOD(Kelvo_Table, getWithMeta);
ZEND_METHOD(Kelvo_Table, set);
ZEND_METHOD(Kelvo_Table, exists);
ZEND_METHOD(Kelvo_Table, delete);
ZEND_METHOD(Kelvo_Table, ttl);
ZEND_METHOD(Kelvo_Table, count);
ZEND_METHOD(Kelvo_Table, clear);
ZEND_METHOD(Kelvo_Table, keys);
ZEND_METHOD(Kelvo_Table, memory);
ZEND_METHOD(Kelvo_Table, namespaces);
ZEND_METHOD(Kelvo_Table, clearAll);
ZEND_METHOD(Kelvo_Table, fullscan);
ZEND_METHOD(Kelvo_Table, stats);


static const zend_function_entry class_Kelvo_Table_methods[] = {
	ZEND_ME(Kelvo_Table, get, arginfo_class_Kelvo_Table_get, ZEND_ACC_PUBLIC|ZEND_ACC_STATIC)
	ZEND_ME(Kelvo_Table, getWithMeta, arginfo_class_Kelvo_Table_getWithMeta, ZEND_ACC_PUBLIC|ZEND_ACC_STATIC)
	ZEND_ME(Kelvo_Table, set, arginfo_class_Kelvo_Table_set, ZEND_ACC_PUBLIC|ZEND_ACC_STATIC)
	ZEND_ME(Kelvo_Table, exists, arginfo_class_Kelvo_Table_exists, ZEND_ACC_PUBLIC|ZEND_ACC_STATIC)
	ZEND_ME(Kelvo_Table, delete, arginfo_class_Kelvo_Table_delete, ZEND_ACC_PUBLIC|ZEND_ACC_STATIC)
	ZEND_ME(Kelvo_Table, ttl, arginfo_class_Kelvo_Table_ttl, ZEND_ACC_PUBLIC|ZEND_ACC_STATIC)
	ZEND_ME(Kelvo_Table, count, arginfo_class_Kelvo_Table_count, ZEND_ACC_PUBLIC|ZEND_ACC_STATIC)
	ZEND_ME(Kelvo_Table, clear, arginfo_class_Kelvo_Table_clear, ZEND_ACC_PUBLIC|ZEND_ACC_STATIC)
	ZEND_ME(Kelvo_Table, keys, arginfo_class_Kelvo_Table_keys, ZEND_ACC_PUBLIC|ZEND_ACC_STATIC)
	ZEND_ME(Kelvo_Table, memory, arginfo_class_Kelvo_Table_memory, ZEND_ACC_PUBLIC|ZEND_ACC_STATIC)
	ZEND_ME(Kelvo_Table, namespaces, arginfo_class_Kelvo_Table_namespaces, ZEND_ACC_PUBLIC|ZEND_ACC_STATIC)
	ZEND_ME(Kelvo_Table, clearAll, arginfo_class_Kelvo_Table_clearAll, ZEND_ACC_PUBLIC|ZEND_ACC_STATIC)
	ZEND_ME(Kelvo_Table, fullscan, arginfo_class_Kelvo_Table_fullscan, ZEND_ACC_PUBLIC|ZEND_ACC_STATIC)
	ZEND_ME(Kelvo_Table, stats, arginfo_class_Kelvo_Table_stats, ZEND_ACC_PUBLIC|ZEND_ACC_STATIC)
	ZEND_FE_END
};


static const zend_function_entry class_Kelvo_Table_FullscanGenerator_methods[] = {
	ZEND_FE_END
};

static zend_class_entry *register_class_Kelvo_Table(void)
{
	zend_class_entry ce, *class_entry;

	INIT_NS_CLASS_ENTRY(ce, "Kelvo", "Table", class_Kelvo_Table_methods);
	class_entry = zend_register_internal_class_ex(&ce, NULL);

	return class_entry;
}

static zend_class_entry *register_class_Kelvo_Table_FullscanGenerator(zend_class_entry *class_entry_Generator)
{
	zend_class_entry ce, *class_entry;

	INIT_NS_CLASS_ENTRY(ce, "Kelvo\\Table", "FullscanGenerator", class_Kelvo_Table_FullscanGenerator_methods);
	class_entry = zend_register_internal_class_ex(&ce, class_entry_Generator);
	class_entry->ce_flags |= ZEND_ACC_FINAL;

	return class_entry;
}
