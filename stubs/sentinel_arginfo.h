/* This is a generated file, edit the .stub.php file instead.
 * Stub hash: 00fe5284cba1e76b8ee4c9702fff39995bc47f0c */




static const zend_function_entry class_Kelvo_Sentinel_methods[] = {
	ZEND_FE_END
};

static zend_class_entry *register_class_Kelvo_Sentinel(void)
{
	zend_class_entry ce, *class_entry;

	INIT_NS_CLASS_ENTRY(ce, "Kelvo", "Sentinel", class_Kelvo_Sentinel_methods);
	class_entry = zend_register_internal_class_ex(&ce, NULL);

	return class_entry;
}
