/* This is a generated file, edit the .stub.php file instead.
 * Stub hash: b5f4a7dd489e9403ffa91dadc7a24d5e0b01505f */




static const zend_function_entry class_Kelvo_Exception_methods[] = {
	ZEND_FE_END
};


static const zend_function_entry class_Kelvo_KeyType_methods[] = {
	ZEND_FE_END
};

static zend_class_entry *register_class_Kelvo_Exception(zend_class_entry *class_entry_RuntimeException)
{
	zend_class_entry ce, *class_entry;

	INIT_NS_CLASS_ENTRY(ce, "Kelvo", "Exception", class_Kelvo_Exception_methods);
	class_entry = zend_register_internal_class_ex(&ce, class_entry_RuntimeException);

	return class_entry;
}

static zend_class_entry *register_class_Kelvo_KeyType(void)
{
	zend_class_entry *class_entry = zend_register_internal_enum("Kelvo\\KeyType", IS_LONG, class_Kelvo_KeyType_methods);

	zval enum_case_NotFound_value;
	ZVAL_LONG(&enum_case_NotFound_value, KELVO_KEYTYPE_NOT_FOUND);
	zend_enum_add_case_cstr(class_entry, "NotFound", &enum_case_NotFound_value);

	zval enum_case_String_value;
	ZVAL_LONG(&enum_case_String_value, KELVO_KEYTYPE_STRING);
	zend_enum_add_case_cstr(class_entry, "String", &enum_case_String_value);

	zval enum_case_Set_value;
	ZVAL_LONG(&enum_case_Set_value, KELVO_KEYTYPE_SET);
	zend_enum_add_case_cstr(class_entry, "Set", &enum_case_Set_value);

	zval enum_case_List_value;
	ZVAL_LONG(&enum_case_List_value, KELVO_KEYTYPE_LIST);
	zend_enum_add_case_cstr(class_entry, "List", &enum_case_List_value);

	zval enum_case_Zset_value;
	ZVAL_LONG(&enum_case_Zset_value, KELVO_KEYTYPE_ZSET);
	zend_enum_add_case_cstr(class_entry, "Zset", &enum_case_Zset_value);

	zval enum_case_Hash_value;
	ZVAL_LONG(&enum_case_Hash_value, KELVO_KEYTYPE_HASH);
	zend_enum_add_case_cstr(class_entry, "Hash", &enum_case_Hash_value);

	zval enum_case_Stream_value;
	ZVAL_LONG(&enum_case_Stream_value, KELVO_KEYTYPE_STREAM);
	zend_enum_add_case_cstr(class_entry, "Stream", &enum_case_Stream_value);

	zval enum_case_Vectorset_value;
	ZVAL_LONG(&enum_case_Vectorset_value, KELVO_KEYTYPE_VECTORSET);
	zend_enum_add_case_cstr(class_entry, "Vectorset", &enum_case_Vectorset_value);

	return class_entry;
}
