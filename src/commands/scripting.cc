/*
 * Scripting and sorting: EVAL and EVALSHA (and their read-only forms), whose one argument array
 * is split into keys and plain arguments by a key count; FCALL and FCALL_RO with separate key
 * and argument arrays and an optional PHP handler of the result; SORT and SORT_RO, whose options
 * go out in the caller's order; RESTORE. With the reply formatters of EVAL and FCALL.
 *
 * FCALL's handler travels with the request as its user data: a record the request's release
 * frees (its first word, then the callable's name, which it holds a reference to).
 */
#include "commands/cmdroles.h"
#include "commands/builder.h"
#include "commands/formatter.h"

extern "C" {
#include "zend_API.h"
}

#include <cstddef>

using namespace kelvoFormat;

namespace {

/* FCALL's handler: the call information and cache of the method's callable. */
struct FcallHandler {
    zend_fcall_info fci; /* its function name counted once */
    zend_fcall_info_cache fcc;
};
/* The request's release reads a record as a word and then the zval to destroy. */
static_assert(offsetof(FcallHandler, fci) == 0 && offsetof(zend_fcall_info, function_name) == sizeof(uint64_t));

/* An element by string conversion, as a key or as plain bytes; false when the conversion threw. */
bool catConverted(rrc *req, const robj *obj, zval *value, bool asKey)
{
    if (asKey)
        return kelvoCatKeyZVal(req, obj, value);
    zend_string *tmp;
    zend_string *text = zval_try_get_tmp_string(value, &tmp);
    if (!text)
        return false;
    kelvoRespCmdCatZStr(req, text);
    zend_tmp_string_release(tmp);
    return !EG(exception);
}

bool catConvertedHt(rrc *req, const robj *obj, HashTable *values, bool asKeys)
{
    zval *value;
    ZEND_HASH_FOREACH_VAL(values, value)
    {
        if (!catConverted(req, obj, value, asKeys))
            return false;
    }
    ZEND_HASH_FOREACH_END();
    return true;
}

} // namespace

/* EVAL family: the key count goes out as given; the server judges it against the arguments. */
int kelvoEvalRCmd(zend_execute_data *execute_data, zval *, rrc *req, robj *obj)
{
    zend_string *script;
    HashTable *args = nullptr;
    zend_long keyCount = 0;
    ZEND_PARSE_PARAMETERS_START(1, 3)
    Z_PARAM_STR(script)
    Z_PARAM_OPTIONAL
    Z_PARAM_ARRAY_HT_OR_NULL(args)
    Z_PARAM_LONG(keyCount)
    ZEND_PARSE_PARAMETERS_END_EX(return -1);
    kelvoReserveArgs(req, 2 + (args ? zend_hash_num_elements(args) : 0));
    kelvoRespCmdCatZStr(req, script);
    kelvoRespCmdCatZendLong(req, keyCount);
    if (!args)
        return 0;
    zend_long index = 0;
    zval *value;
    ZEND_HASH_FOREACH_VAL(args, value)
    {
        if (!catConverted(req, obj, value, index++ < keyCount))
            return -1;
    }
    ZEND_HASH_FOREACH_END();
    return 0;
}

int kelvoFcallRCmd(zend_execute_data *execute_data, zval *, rrc *req, robj *obj)
{
    zend_string *name;
    HashTable *keys = nullptr, *args = nullptr;
    zend_fcall_info fci = empty_fcall_info;
    zend_fcall_info_cache fcc = empty_fcall_info_cache;
    ZEND_PARSE_PARAMETERS_START(1, 4)
    Z_PARAM_STR(name)
    Z_PARAM_OPTIONAL
    Z_PARAM_ARRAY_HT_OR_NULL(keys)
    Z_PARAM_ARRAY_HT_OR_NULL(args)
    Z_PARAM_FUNC_OR_NULL(fci, fcc)
    ZEND_PARSE_PARAMETERS_END_EX(return -1);
    if (ZEND_FCI_INITIALIZED(fci)) {
        auto *handler = static_cast<FcallHandler *>(emalloc(sizeof(FcallHandler)));
        handler->fci = fci;
        handler->fcc = fcc;
        Z_TRY_ADDREF(handler->fci.function_name);
        kelvoRespCmdSetRecord(req, handler);
    }
    const uint32_t keyCount = keys ? zend_hash_num_elements(keys) : 0;
    kelvoReserveArgs(req, 2 + keyCount + (args ? zend_hash_num_elements(args) : 0));
    kelvoRespCmdCatZStr(req, name);
    kelvoRespCmdCatZendULong(req, keyCount);
    if (keys && !catConvertedHt(req, obj, keys, true))
        return -1;
    if (args && !catConvertedHt(req, obj, args, false))
        return -1;
    return 0;
}

/*
 * SORT, SORT_RO: each option goes out where it stands in the caller's array. BY, GET and STORE
 * name patterns and a destination as the caller wrote them, without the key prefix.
 */
int kelvoSortRCmd(zend_execute_data *execute_data, zval *, rrc *req, robj *obj)
{
    zend_string *key;
    HashTable *options;
    if (kelvoParseKeyOptions(execute_data, &key, &options) != 0)
        return -1;
    kelvoCatKey(req, obj, key);
    if (!options)
        return 0;
    kelvoForEachOption(options, [req](zend_string *name, zval *value) {
        const bool text = Z_TYPE_P(value) == IS_STRING;
        if ((kelvoIsWord(name, "BY") || kelvoIsWord(name, "STORE")) && text) {
            kelvoRespCmdCatZStr(req, name);
            kelvoRespCmdCatZStr(req, Z_STR_P(value));
        } else if (kelvoIsWord(name, "SORT") && text) {
            kelvoRespCmdCatZStr(req, Z_STR_P(value));
        } else if (kelvoIsWord(name, "ALPHA")) {
            if (zend_is_true(value))
                kelvoCatWord(req, "ALPHA");
        } else if (kelvoIsWord(name, "GET") && text) {
            kelvoCatWord(req, "GET");
            kelvoRespCmdCatZStr(req, Z_STR_P(value));
        } else if (kelvoIsWord(name, "GET") && Z_TYPE_P(value) == IS_ARRAY) {
            zval *pattern;
            ZEND_HASH_FOREACH_VAL(Z_ARRVAL_P(value), pattern)
            {
                kelvoCatWord(req, "GET");
                kelvoCatPlain(req, pattern);
            }
            ZEND_HASH_FOREACH_END();
        } else if (kelvoIsWord(name, "LIMIT") && Z_TYPE_P(value) == IS_ARRAY) {
            zval *offset = zend_hash_index_find_deref(Z_ARRVAL_P(value), 0);
            zval *count = zend_hash_index_find_deref(Z_ARRVAL_P(value), 1);
            if (!offset || !count)
                return;
            kelvoCatWord(req, "LIMIT");
            kelvoRespCmdCatZendLong(req, zval_get_long(offset));
            kelvoRespCmdCatZendLong(req, zval_get_long(count));
        }
    });
    return 0;
}

/* RESTORE: the payload is DUMP's serialization, never packed; options in a fixed order. */
int kelvoRestoreRCmd(zend_execute_data *execute_data, zval *, rrc *req, robj *obj)
{
    zend_string *key, *payload;
    zend_long ttl;
    HashTable *options = nullptr;
    ZEND_PARSE_PARAMETERS_START(3, 4)
    Z_PARAM_STR(key)
    Z_PARAM_LONG(ttl)
    Z_PARAM_STR(payload)
    Z_PARAM_OPTIONAL
    Z_PARAM_ARRAY_HT_OR_NULL(options)
    ZEND_PARSE_PARAMETERS_END_EX(return -1);
    bool replace = false, absTtl = false;
    zend_long idleTime = 0, frequency = 0;
    if (options) {
        zend_string *name;
        zval *value;
        ZEND_HASH_FOREACH_STR_KEY_VAL(options, name, value)
        {
            ZVAL_DEREF(value);
            if (!name) {
                if (Z_TYPE_P(value) != IS_STRING)
                    continue;
                replace = replace || kelvoIsWord(Z_STR_P(value), "REPLACE");
                absTtl = absTtl || kelvoIsWord(Z_STR_P(value), "ABSTTL");
            } else if (kelvoIsWord(name, "REPLACE")) {
                replace = zend_is_true(value);
            } else if (kelvoIsWord(name, "ABSTTL")) {
                absTtl = zend_is_true(value);
            } else if (kelvoIsWord(name, "IDLETIME")) {
                idleTime = zval_get_long(value);
            } else if (kelvoIsWord(name, "FREQUENCY")) {
                frequency = zval_get_long(value);
            }
        }
        ZEND_HASH_FOREACH_END();
    }
    kelvoCatKey(req, obj, key);
    kelvoRespCmdCatZendLong(req, ttl);
    kelvoRespCmdCatZStr(req, payload);
    if (replace)
        kelvoCatWord(req, "REPLACE");
    if (absTtl)
        kelvoCatWord(req, "ABSTTL");
    if (idleTime != 0) {
        kelvoCatWord(req, "IDLETIME");
        kelvoRespCmdCatZendLong(req, idleTime);
    }
    if (frequency != 0) {
        kelvoCatWord(req, "FREQUENCY");
        kelvoRespCmdCatZendLong(req, frequency);
    }
    return 0;
}

/* -- reply formatters ----------------------------------------------------------------------------- */

namespace {

/* EVAL through the cluster client in phpredis mode gives a nil reply as null. */
void evalReply(zval *rv, kelvoQuerySet *rqs, kelvoReplyEnv *env, const kelvoReply *reply)
{
    const bool cluster = phpredisMode(env->opts.flags) && (rqs->flags & KELVO_REQ_CLUSTER);
    convertWith(rv, reply, env, cluster ? kelvoOptNullMultibulkAsNull : 0, rqs->flags);
}

/* FCALL: the generic conversion, then, with a handler, what the handler makes of it. */
void fcall(zval *rv, kelvoQuerySet *rqs, kelvoReplyEnv *env, const kelvoReply *reply)
{
    generic(rv, reply, env, rqs->flags);
    if (rqs->udkind != KELVO_REQ_DATA_RECORD || !rqs->userdata.record)
        return;
    auto *handler = static_cast<FcallHandler *>(rqs->userdata.record);
    kelvoAssert(ZEND_FCI_INITIALIZED(handler->fci));
    zval result;
    ZVAL_UNDEF(&result);
    zend_fcall_info fci = handler->fci;
    fci.retval = &result;
    fci.params = rv;
    fci.param_count = 1;
    fci.named_params = nullptr;
    if (zend_call_function(&fci, &handler->fcc) != SUCCESS) {
        php_error_docref(nullptr, E_WARNING, "Failed to invoke FCALL callback");
        zval_ptr_dtor(&result);
        return kelvoReplyFailure(rv);
    }
    zval_ptr_dtor(rv);
    if (Z_ISUNDEF(result))
        ZVAL_FALSE(rv); /* the handler threw: its exception is what the caller sees */
    else
        ZVAL_COPY_VALUE(rv, &result);
}

} // namespace

KELVO_FORMATTER(kelvoEvalReply, evalReply)
KELVO_FORMATTER(kelvoFcallFmt, fcall)
