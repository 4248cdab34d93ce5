/*
 * The hash writes and field-list commands: HSET, HSETNX, HMSET, HSETEX, HGETEX, HGETDEL, the
 * field time-to-live queries (HTTL and its kin) and the field expiries (HEXPIRE and its kin).
 * Field names go out as names: never prefixed, never packed; field values are packed. The
 * field-list forms record, as the request's number, the argument where their fields start, so
 * the later roles find the hash key and the fields without parsing the options before them.
 */
#include "commands/cmdroles.h"
#include "commands/builder.h"
#include "commands/commands.h"
#include "commands/strings.h"

namespace {

/* One field name given as a value: a string as it is, another scalar by its text, an object by
 * its own string form. An array (or an object without a string form) names no field: false,
 * after the warning or the engine's exception, rather than "Array" or "Object" on the wire. */
bool catField(rrc *req, zval *field)
{
    ZVAL_DEREF(field);
    if (Z_TYPE_P(field) == IS_STRING) {
        kelvoRespCmdCatZStr(req, Z_STR_P(field));
        return true;
    }
    if (Z_TYPE_P(field) == IS_ARRAY) {
        kelvoWarn("Field names must be strings or numbers");
        return false;
    }
    zend_string *tmp;
    zend_string *text = zval_try_get_tmp_string(field, &tmp);
    if (!text)
        return false;
    kelvoRespCmdCatZStr(req, text);
    zend_tmp_string_release(tmp);
    return true;
}

/* field value ... from the keys and values of an array: integer keys (and list positions) as
 * decimal text, values packed. False after a value was refused (reported). */
bool catFieldValues(rrc *req, const robj *obj, HashTable *pairs)
{
    kelvoReserveArgs(req, 2 * zend_hash_num_elements(pairs));
    zend_ulong index;
    zend_string *name;
    zval *value;
    ZEND_HASH_FOREACH_KEY_VAL(pairs, index, name, value)
    {
        if (name)
            kelvoRespCmdCatZStr(req, name);
        else
            kelvoRespCmdCatZendLong(req, static_cast<zend_long>(index));
        if (!kelvoCatValue(req, obj, kelvoDeref(value)))
            return false;
    }
    ZEND_HASH_FOREACH_END();
    return true;
}

/* FIELDS n field ...: the values of the array as field names, their count in front. The field
 * list's first argument is recorded with the request. */
bool catFieldList(rrc *req, HashTable *fields)
{
    const uint32_t count = zend_hash_num_elements(fields);
    kelvoReserveArgs(req, count + 2);
    kelvoCatWord(req, "FIELDS");
    kelvoRespCmdCatZendULong(req, count);
    kelvoRespCmdSetNumber(req, req->pos);
    zval *field;
    ZEND_HASH_FOREACH_VAL(fields, field)
    {
        if (!catField(req, field))
            return false;
    }
    ZEND_HASH_FOREACH_END();
    return true;
}

int refuseNoFields() { return kelvoRefuse("Must pass at least one field"); }

} // namespace

/* HSET key field value ...: one array of fields and values, or the pairs as arguments. */
int kelvoHSetRCmd(zend_execute_data *execute_data, zval *, rrc *req, robj *obj)
{
    zend_string *key;
    zval *args;
    uint32_t argc;
    if (kelvoParseKeyArgs(execute_data, 2, &key, &args, &argc) != 0)
        return -1;
    if (argc == 1) {
        zval *pairs = kelvoDeref(&args[0]);
        if (Z_TYPE_P(pairs) != IS_ARRAY || zend_hash_num_elements(Z_ARRVAL_P(pairs)) == 0)
            return kelvoRefuse("Must pass array with at least one key and value");
        kelvoCatKey(req, obj, key);
        return catFieldValues(req, obj, Z_ARRVAL_P(pairs)) ? 0 : -1;
    }
    if (argc % 2 != 0)
        return kelvoRefuse("Must have an even number of fields and values");
    kelvoReserveArgs(req, argc + 1);
    kelvoCatKey(req, obj, key);
    for (uint32_t i = 0; i < argc; i += 2)
        if (!catField(req, &args[i]) || !kelvoCatValue(req, obj, kelvoDeref(&args[i + 1])))
            return -1;
    return 0;
}

int kelvoHSetNxRCmd(zend_execute_data *execute_data, zval *, rrc *req, robj *obj)
{
    zend_string *key, *field;
    zval *value;
    ZEND_PARSE_PARAMETERS_START(3, 3)
    Z_PARAM_STR(key)
    Z_PARAM_STR(field)
    Z_PARAM_ZVAL(value)
    ZEND_PARSE_PARAMETERS_END_EX(return -1);
    kelvoCatKey(req, obj, key);
    kelvoRespCmdCatZStr(req, field);
    return kelvoCatValue(req, obj, value) ? 0 : -1;
}

/* HMSET key field value ...; an empty array goes out as it is and the server's error answers. */
int kelvoHMSetRCmd(zend_execute_data *execute_data, zval *, rrc *req, robj *obj)
{
    zend_string *key;
    HashTable *pairs;
    ZEND_PARSE_PARAMETERS_START(2, 2)
    Z_PARAM_STR(key)
    Z_PARAM_ARRAY_HT(pairs)
    ZEND_PARSE_PARAMETERS_END_EX(return -1);
    kelvoCatKey(req, obj, key);
    return catFieldValues(req, obj, pairs) ? 0 : -1;
}

/* HSETEX key [FNX|FXX] [KEEPTTL|expiry] FIELDS n field value ... An expiry given but unusable
 * refuses the call: the fields must never be written without the time to live asked for. */
int kelvoHSetExRCmd(zend_execute_data *execute_data, zval *, rrc *req, robj *obj)
{
    zend_string *key;
    HashTable *pairs;
    zval *expiry = nullptr;
    ZEND_PARSE_PARAMETERS_START(2, 3)
    Z_PARAM_STR(key)
    Z_PARAM_ARRAY_HT(pairs)
    Z_PARAM_OPTIONAL
    Z_PARAM_ZVAL(expiry)
    ZEND_PARSE_PARAMETERS_END_EX(return -1);
    const uint32_t count = zend_hash_num_elements(pairs);
    if (count == 0)
        return kelvoRefuse("Must pass at least one field and value");
    kelvoSetOptions options;
    if (kelvoFillSetExpiryOptions(&options, REDIS_CMD_HSETEX, expiry) != 0)
        return -1;
    if (options.expiry == KELVO_EXPIRY_PERSIST)
        return kelvoRefuse("PERSIST is not valid for this command.");
    if (options.expiry != KELVO_EXPIRY_NONE && options.keepTtl)
        return kelvoRefuse("Cannot specify both expiry and KEEPTTL");
    kelvoCatKey(req, obj, key);
    if (options.mode)
        kelvoRespCmdCatZStr(req, options.mode);
    if (options.keepTtl)
        kelvoCatWord(req, "KEEPTTL");
    else
        kelvoRespCmdCatExpiryOptions(req, &options);
    kelvoCatWord(req, "FIELDS");
    kelvoRespCmdCatZendULong(req, count);
    return catFieldValues(req, obj, pairs) ? 0 : -1;
}

/* HGETEX key [EX n|PX n|EXAT n|PXAT n|PERSIST] FIELDS n field ... */
int kelvoHGetExRCmd(zend_execute_data *execute_data, zval *, rrc *req, robj *obj)
{
    zend_string *key;
    HashTable *fields;
    zval *expiry = nullptr;
    ZEND_PARSE_PARAMETERS_START(2, 3)
    Z_PARAM_STR(key)
    Z_PARAM_ARRAY_HT(fields)
    Z_PARAM_OPTIONAL
    Z_PARAM_ZVAL(expiry)
    ZEND_PARSE_PARAMETERS_END_EX(return -1);
    if (zend_hash_num_elements(fields) == 0)
        return refuseNoFields();
    kelvoSetOptions options;
    if (kelvoFillSetExpiryOptions(&options, REDIS_CMD_HGETEX, expiry) != 0)
        return -1;
    kelvoCatKey(req, obj, key);
    kelvoRespCmdCatExpiryOptions(req, &options);
    return catFieldList(req, fields) ? 0 : -1;
}

/* HGETDEL and the field time-to-live queries: key FIELDS n field ... */
int kelvoHGetDelRCmd(zend_execute_data *execute_data, zval *, rrc *req, robj *obj)
{
    zend_string *key;
    HashTable *fields;
    ZEND_PARSE_PARAMETERS_START(2, 2)
    Z_PARAM_STR(key)
    Z_PARAM_ARRAY_HT(fields)
    ZEND_PARSE_PARAMETERS_END_EX(return -1);
    if (zend_hash_num_elements(fields) == 0)
        return refuseNoFields();
    kelvoCatKey(req, obj, key);
    return catFieldList(req, fields) ? 0 : -1;
}

int kelvoHttlRCmd(zend_execute_data *execute_data, zval *return_value, rrc *req, robj *obj)
{
    return kelvoHGetDelRCmd(execute_data, return_value, req, obj);
}

/* HEXPIRE, HPEXPIRE, HEXPIREAT, HPEXPIREAT: key ttl [mode] FIELDS n field ...; the mode word
 * goes out as given and the server judges it. */
int kelvoHExpireRCmd(zend_execute_data *execute_data, zval *, rrc *req, robj *obj)
{
    zend_string *key, *mode = nullptr;
    zend_long ttl;
    HashTable *fields;
    ZEND_PARSE_PARAMETERS_START(3, 4)
    Z_PARAM_STR(key)
    Z_PARAM_LONG(ttl)
    Z_PARAM_ARRAY_HT(fields)
    Z_PARAM_OPTIONAL
    Z_PARAM_STR_OR_NULL(mode)
    ZEND_PARSE_PARAMETERS_END_EX(return -1);
    if (zend_hash_num_elements(fields) == 0)
        return refuseNoFields();
    kelvoCatKey(req, obj, key);
    kelvoRespCmdCatZendLong(req, ttl);
    if (mode)
        kelvoRespCmdCatZStr(req, mode);
    return catFieldList(req, fields) ? 0 : -1;
}

/*
 * HGETDEL, HGETEX: the hash key is the one key written (key 0, which the delete role drops); the
 * fields, from where the builder recorded their start, are what the reply's values belong to. A
 * raw request carries no record: its key alone is taken.
 */
void kelvoHFieldKeys(kelvoQuerySet *rqs, rrc *req)
{
    if (req->pos < 2)
        return;
    auto add = [&](uint64_t i, void (*to)(kelvoQuerySet *, zend_string *)) {
        zend_string *s = zend_string_init(kelvoRespCmdArg(req, i), req->args[i].len, false);
        to(rqs, s);
        zend_string_release(s);
    };
    add(1, kelvoQuerySetAddKey);
    if (rqs->udkind != KELVO_REQ_DATA_NUMBER)
        return;
    for (uint64_t i = rqs->userdata.number; i < req->pos; i++)
        add(i, kelvoQuerySetAddVal);
}
