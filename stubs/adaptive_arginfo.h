/* This is a generated file, edit the .stub.php file instead.
 * Stub hash: 6c31cc7c5c6b3dc18f0dec95e6a7693c43b765b5 */

ZEND_BEGIN_ARG_INFO_EX(arginfo_class_Kelvo_AdaptiveCache___construct, 0, 0, 0)
ZEND_END_ARG_INFO()

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_MASK_EX(arginfo_class_Kelvo_AdaptiveCache_loadFactor, 0, 0, MAY_BE_FALSE|MAY_BE_DOUBLE)
	ZEND_ARG_TYPE_INFO_WITH_DEFAULT_VALUE(0, depth, IS_LONG, 0, "1")
ZEND_END_ARG_INFO()

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_class_Kelvo_AdaptiveCache_flush, 0, 0, _IS_BOOL, 0)
	ZEND_ARG_TYPE_INFO_WITH_DEFAULT_VALUE(0, async, _IS_BOOL, 0, "true")
ZEND_END_ARG_INFO()

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_MASK_EX(arginfo_class_Kelvo_AdaptiveCache_stats, 0, 1, MAY_BE_FALSE|MAY_BE_ARRAY)
	ZEND_ARG_TYPE_INFO(0, key, IS_STRING, 0)
ZEND_END_ARG_INFO()

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_class_Kelvo_AdaptiveCache_incrBy, 0, 3, _IS_BOOL, 0)
	ZEND_ARG_TYPE_INFO(0, key, IS_STRING, 0)
	ZEND_ARG_TYPE_INFO(0, write, _IS_BOOL, 0)
	ZEND_ARG_TYPE_INFO(0, count, IS_LONG, 0)
ZEND_END_ARG_INFO()

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_class_Kelvo_AdaptiveCache_lastFlush, 0, 0, IS_DOUBLE, 0)
ZEND_END_ARG_INFO()


ZEND_METHOD(Kelvo_AdaptiveCache, __construct);
ZEND_METHOD(Kelvo_AdaptiveCache, loadFactor);
ZEND_METHOD(Kelvo_AdaptiveCache, flush);
ZEND_METHOD(Kelvo_AdaptiveCache, stats);
ZEND_METHOD(Kelvo_AdaptiveCache, incrBy);
ZEND_METHOD(Kelvo_AdaptiveCache, lastFlush);


static const zend_function_entry class_Kelvo_AdaptiveCache_methods[] = {
	ZEND_ME(Kelvo_AdaptiveCache, __construct, arginfo_class_Kelvo_AdaptiveCache___construct, ZEND_ACC_PROTECTED)
	ZEND_ME(Kelvo_AdaptiveCache, loadFactor, arginfo_class_Kelvo_AdaptiveCache_loadFactor, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_AdaptiveCache, flush, arginfo_class_Kelvo_AdaptiveCache_flush, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_AdaptiveCache, stats, arginfo_class_Kelvo_AdaptiveCache_stats, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_AdaptiveCache, incrBy, arginfo_class_Kelvo_AdaptiveCache_incrBy, ZEND_ACC_PUBLIC)
	ZEND_ME(Kelvo_AdaptiveCache, lastFlush, arginfo_class_Kelvo_AdaptiveCache_lastFlush, ZEND_ACC_PUBLIC)
	ZEND_FE_END
};

static zend_class_entry *register_class_Kelvo_AdaptiveCache(void)
{
	zend_class_entry ce, *class_entry;

	INIT_NS_CLASS_ENTRY(ce, "Kelvo", "AdaptiveCache", class_Kelvo_AdaptiveCache_methods);
	class_entry = zend_register_internal_class_ex(&ce, NULL);

	zval property_enabled_default_value;
	ZVAL_FALSE(&property_enabled_default_value);
	zend_string *property_enabled_name = zend_string_init("enabled", sizeof("enabled") - 1, 1);
	zend_declare_typed_property(class_entry, property_enabled_name, &property_enabled_default_value, ZEND_ACC_PUBLIC, NULL, (zend_type) ZEND_TYPE_INIT_MASK(MAY_BE_BOOL));
	zend_string_release(property_enabled_name);

	zval property_status_default_value;
	zend_string *property_status_default_value_str = zend_string_init("inactive", strlen("inactive"), 1);
	ZVAL_STR(&property_status_default_value, property_status_default_value_str);
	zend_string *property_status_name = zend_string_init("status", sizeof("status") - 1, 1);
	zend_declare_typed_property(class_entry, property_status_name, &property_status_default_value, ZEND_ACC_PUBLIC, NULL, (zend_type) ZEND_TYPE_INIT_MASK(MAY_BE_STRING));
	zend_string_release(property_status_name);

	zval property_width_default_value;
	ZVAL_LONG(&property_width_default_value, 0);
	zend_string *property_width_name = zend_string_init("width", sizeof("width") - 1, 1);
	zend_declare_typed_property(class_entry, property_width_name, &property_width_default_value, ZEND_ACC_PUBLIC, NULL, (zend_type) ZEND_TYPE_INIT_MASK(MAY_BE_LONG));
	zend_string_release(property_width_name);

	zval property_depth_default_value;
	ZVAL_LONG(&property_depth_default_value, 0);
	zend_string *property_depth_name = zend_string_init("depth", sizeof("depth") - 1, 1);
	zend_declare_typed_property(class_entry, property_depth_name, &property_depth_default_value, ZEND_ACC_PUBLIC, NULL, (zend_type) ZEND_TYPE_INIT_MASK(MAY_BE_LONG));
	zend_string_release(property_depth_name);

	zval property_minEvents_default_value;
	ZVAL_LONG(&property_minEvents_default_value, 0);
	zend_string *property_minEvents_name = zend_string_init("minEvents", sizeof("minEvents") - 1, 1);
	zend_declare_typed_property(class_entry, property_minEvents_name, &property_minEvents_default_value, ZEND_ACC_PUBLIC, NULL, (zend_type) ZEND_TYPE_INIT_MASK(MAY_BE_LONG));
	zend_string_release(property_minEvents_name);

	zval property_minRatio_default_value;
	ZVAL_DOUBLE(&property_minRatio_default_value, 0);
	zend_string *property_minRatio_name = zend_string_init("minRatio", sizeof("minRatio") - 1, 1);
	zend_declare_typed_property(class_entry, property_minRatio_name, &property_minRatio_default_value, ZEND_ACC_PUBLIC, NULL, (zend_type) ZEND_TYPE_INIT_MASK(MAY_BE_DOUBLE));
	zend_string_release(property_minRatio_name);

	zval property_formula_default_value;
	zend_string *property_formula_default_value_str = zend_string_init("scaled", strlen("scaled"), 1);
	ZVAL_STR(&property_formula_default_value, property_formula_default_value_str);
	zend_string *property_formula_name = zend_string_init("formula", sizeof("formula") - 1, 1);
	zend_declare_typed_property(class_entry, property_formula_name, &property_formula_default_value, ZEND_ACC_PUBLIC, NULL, (zend_type) ZEND_TYPE_INIT_MASK(MAY_BE_STRING));
	zend_string_release(property_formula_name);

	return class_entry;
}
