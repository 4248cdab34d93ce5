/* This is a generated file, edit the .stub.php file instead.
 * Stub hash: c2733bed57d36eab78ef2a4e6fc37bf3236f76aa */




static const zend_function_entry class_Kelvo_Table_methods[] = {
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
