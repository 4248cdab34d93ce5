/* This is a generated file, edit the .stub.php file instead.
 * Stub hash: 3f8efa320ecd0ef530ff9e5f7d8b98df159d07bf */




static const zend_function_entry class_Kelvo_Cluster_methods[] = {
	ZEND_FE_END
};


static const zend_function_entry class_Kelvo_Cluster_FullscanGenerator_methods[] = {
	ZEND_FE_END
};

static zend_class_entry *register_class_Kelvo_Cluster(void)
{
	zend_class_entry ce, *class_entry;

	INIT_NS_CLASS_ENTRY(ce, "Kelvo", "Cluster", class_Kelvo_Cluster_methods);
	class_entry = zend_register_internal_class_ex(&ce, NULL);

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
