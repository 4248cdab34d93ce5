/*
 * The vector-set builders: VADD, VSIM, VSETATTR, VGETATTR, VEMB and VLINKS (VRANGE is built with
 * XRANGE). A vector is a PHP array of numbers, sent as one FP32 blob (binary32, little-endian)
 * or as VALUES with one decimal per component; an element is packed like any stored value;
 * attributes are a string or an array sent as its JSON text. The formatters of VEMB and VGETATTR
 * follow the builders.
 *
 * Options that only warn are read twice: silently first, so that a refusal found later is the
 * call's one report, and once more for their warnings after the request is complete.
 */
#include "commands/cmdroles.h"
#include "commands/builder.h"
#include "commands/formatter.h"
#include "pack/pack.h"

extern "C" {
#include "ext/json/php_json.h"
#include "zend_smart_str.h"
}

#include <cfloat>
#include <cstring>
#include <memory>

using namespace kelvoFormat;

namespace {

constexpr const char *kNotNumeric = "Vector components must be numeric";
constexpr const char *kAttributesType = "Attributes must be a string or array";

struct ZStrRelease {
    void operator()(zend_string *s) const { zend_string_release(s); }
};
using ZStrPtr = std::unique_ptr<zend_string, ZStrRelease>;

/* A component as PHP reads a number: an integer, a float, a numeric string or a boolean. Null,
 * arrays, objects and other strings are refused: their conversion would send a 0 nobody gave. */
bool componentOf(zval *value, double *out)
{
    value = kelvoDeref(value);
    switch (Z_TYPE_P(value)) {
    case IS_LONG:
        *out = static_cast<double>(Z_LVAL_P(value));
        return true;
    case IS_DOUBLE:
        *out = Z_DVAL_P(value);
        return true;
    case IS_TRUE:
        *out = 1.0;
        return true;
    case IS_FALSE:
        *out = 0.0;
        return true;
    case IS_STRING: {
        zend_long whole;
        switch (is_numeric_string(Z_STRVAL_P(value), Z_STRLEN_P(value), &whole, out, false)) {
        case IS_LONG:
            *out = static_cast<double>(whole);
            return true;
        case IS_DOUBLE:
            return true;
        default:
            return false;
        }
    }
    default:
        return false;
    }
}

/* The nearest binary32; beyond its range the largest finite one of the same sign. NaN stays NaN. */
float toFloat32(double d)
{
    if (d > FLT_MAX)
        return FLT_MAX;
    if (d < -FLT_MAX)
        return -FLT_MAX;
    return static_cast<float>(d);
}

/* The vector as one argument of 4 bytes per component. */
int kelvoRespCmdCatFP32Blob(rrc *req, HashTable *vector)
{
    char *at = kelvoRespCmdCatAlloc(req, 4 * static_cast<size_t>(zend_hash_num_elements(vector)));
    zval *component;
    ZEND_HASH_FOREACH_VAL(vector, component)
    {
        double d;
        if (!componentOf(component, &d))
            return kelvoRefuse("%s", kNotNumeric);
        const float f = toFloat32(d);
        uint32_t bits;
        memcpy(&bits, &f, sizeof bits);
        for (int shift = 0; shift < 32; shift += 8)
            *at++ = static_cast<char>(bits >> shift);
    }
    ZEND_HASH_FOREACH_END();
    return 0;
}

/* "VALUES", the count, and each component as the binary32 the blob would carry. */
int catValues(rrc *req, HashTable *vector)
{
    kelvoCatWord(req, "VALUES");
    kelvoRespCmdCatZendULong(req, zend_hash_num_elements(vector));
    kelvoReserveArgs(req, zend_hash_num_elements(vector));
    zval *component;
    ZEND_HASH_FOREACH_VAL(vector, component)
    {
        double d;
        if (!componentOf(component, &d))
            return kelvoRefuse("%s", kNotNumeric);
        kelvoRespCmdCatDouble(req, static_cast<double>(toFloat32(d)));
    }
    ZEND_HASH_FOREACH_END();
    return 0;
}

int catVector(rrc *req, HashTable *vector, bool asValues)
{
    if (asValues)
        return catValues(req, vector);
    kelvoCatWord(req, "FP32");
    return kelvoRespCmdCatFP32Blob(req, vector);
}

/* Every element an integer or a float: the array is a vector, not an element. */
bool allNumbers(HashTable *array)
{
    zval *value;
    ZEND_HASH_FOREACH_VAL(array, value)
    {
        value = kelvoDeref(value);
        if (Z_TYPE_P(value) != IS_LONG && Z_TYPE_P(value) != IS_DOUBLE)
            return false;
    }
    ZEND_HASH_FOREACH_END();
    return true;
}

/* REDUCE, M, EF, COUNT and FILTER-EF take a PHP integer of at least 1, nothing else. */
bool readPositive(zval *value, zend_long *out)
{
    if (Z_TYPE_P(value) != IS_LONG || Z_LVAL_P(value) < 1)
        return false;
    *out = Z_LVAL_P(value);
    return true;
}

void warnPositive(const zend_string *name) { kelvoWarn("%s must be >= %ld", ZSTR_VAL(name), 1L); }

/* A positive option under `name`: taken, or (with `warn`) reported and left as it was. False
 * when the value was refused. */
bool takePositive(const zend_string *name, zval *value, zend_long *slot, bool warn)
{
    if (readPositive(value, slot))
        return true;
    if (warn)
        warnPositive(name);
    return false;
}

/* The attribute text: a string as it is, an array as JSON with < and > escaped. Null after the
 * refusal was reported: a value of another type, or an array the encoder cannot write exactly
 * (invalid UTF-8, INF or NAN, too deep), whose partial text is never sent. */
ZStrPtr attributesText(zval *attributes)
{
    attributes = kelvoDeref(attributes);
    if (Z_TYPE_P(attributes) == IS_STRING)
        return ZStrPtr(zend_string_copy(Z_STR_P(attributes)));
    if (Z_TYPE_P(attributes) != IS_ARRAY) {
        kelvoWarn("%s", kAttributesType);
        return nullptr;
    }
    smart_str buf = {};
    if (php_json_encode_ex(&buf, attributes, PHP_JSON_HEX_TAG, PHP_JSON_PARSER_DEFAULT_DEPTH) == FAILURE ||
        JSON_G(error_code) != PHP_JSON_ERROR_NONE || EG(exception)) {
        smart_str_free(&buf);
        if (!EG(exception)) {
            const char *why = kelvoJsonFailureText();
            kelvoWarn("Attributes cannot be encoded as JSON: %s", why ? why : "unknown error");
        }
        return nullptr;
    }
    smart_str_0(&buf);
    return ZStrPtr(buf.s ? buf.s : ZSTR_EMPTY_ALLOC());
}

/* Option words of an options array: a string value under an integer key. */
const zend_string *wordOf(const zend_string *name, zval *value)
{
    return !name && Z_TYPE_P(value) == IS_STRING ? Z_STR_P(value) : nullptr;
}

enum Quantisation : uint8_t { QUANT_DEFAULT, QUANT_NOQUANT, QUANT_Q8, QUANT_BIN };

struct VAddOptions {
    zend_long reduce = 0, m = 0, ef = 0; /* 0: not given */
    bool cas = false;
    bool values = false; /* the vector as VALUES, else FP32 */
    Quantisation quantisation = QUANT_DEFAULT;
    zval *attributes = nullptr;
    const zend_string *badReduce = nullptr; /* REDUCE given as no positive integer */
    bool ignored = false;                   /* an option was dropped with a warning */
};

void readVAddOptions(HashTable *options, VAddOptions *o, bool warn)
{
    zend_string *name;
    zval *value;
    ZEND_HASH_FOREACH_STR_KEY_VAL(options, name, value)
    {
        value = kelvoDeref(value);
        if (const zend_string *word = wordOf(name, value)) {
            if (kelvoIsWord(word, "VALUES"))
                o->values = true;
            else if (kelvoIsWord(word, "FP32"))
                o->values = false;
            else if (kelvoIsWord(word, "NOQUANT"))
                o->quantisation = QUANT_NOQUANT;
            else if (kelvoIsWord(word, "Q8"))
                o->quantisation = QUANT_Q8;
            else if (kelvoIsWord(word, "BIN"))
                o->quantisation = QUANT_BIN;
        } else if (!name) {
            continue;
        } else if (kelvoIsWord(name, "REDUCE")) {
            /* A dimension silently left out would store vectors of another size: refused. */
            if (!readPositive(value, &o->reduce) && !o->badReduce)
                o->badReduce = name;
        } else if (kelvoIsWord(name, "M")) {
            o->ignored |= !takePositive(name, value, &o->m, warn);
        } else if (kelvoIsWord(name, "EF")) {
            o->ignored |= !takePositive(name, value, &o->ef, warn);
        } else if (kelvoIsWord(name, "CAS")) {
            o->cas = zend_is_true(value);
        } else if (kelvoIsWord(name, "VALUES")) {
            o->values = zend_is_true(value);
        } else if (kelvoIsWord(name, "SETATTR")) {
            o->attributes = value;
        }
    }
    ZEND_HASH_FOREACH_END();
}

enum VSimMode : uint8_t { VSIM_AUTO, VSIM_ELE, VSIM_FP32, VSIM_VALUES };

struct VSimOptions {
    VSimMode mode = VSIM_AUTO;
    bool withscores = false, withattribs = false, truth = false, nothread = false;
    zend_long count = 0, ef = 0, filterEf = 0; /* 0: not given */
    double epsilon = -1.0;                     /* below 0: not given */
    zval *filter = nullptr;
    bool ignored = false;
};

/* WITHSCORES, WITHATTRIBS, TRUTH and NOTHREAD, as words or keyed by their truth. */
bool *vsimFlag(VSimOptions *o, const zend_string *word)
{
    if (kelvoIsWord(word, "WITHSCORES"))
        return &o->withscores;
    if (kelvoIsWord(word, "WITHATTRIBS"))
        return &o->withattribs;
    if (kelvoIsWord(word, "TRUTH"))
        return &o->truth;
    if (kelvoIsWord(word, "NOTHREAD"))
        return &o->nothread;
    return nullptr;
}

void readVSimOptions(HashTable *options, VSimOptions *o, bool warn)
{
    zend_string *name;
    zval *value;
    ZEND_HASH_FOREACH_STR_KEY_VAL(options, name, value)
    {
        value = kelvoDeref(value);
        if (const zend_string *word = wordOf(name, value)) {
            if (bool *flag = vsimFlag(o, word))
                *flag = true;
            else if (kelvoIsWord(word, "VALUES"))
                o->mode = VSIM_VALUES;
            else if (kelvoIsWord(word, "FP32"))
                o->mode = VSIM_FP32;
            else if (kelvoIsWord(word, "ELE"))
                o->mode = VSIM_ELE;
        } else if (!name) {
            continue;
        } else if (bool *flag = vsimFlag(o, name)) {
            *flag = zend_is_true(value);
        } else if (kelvoIsWord(name, "EPSILON")) {
            const bool inRange = Z_TYPE_P(value) == IS_DOUBLE && Z_DVAL_P(value) >= 0.0 && Z_DVAL_P(value) <= 1.0;
            if (inRange)
                o->epsilon = Z_DVAL_P(value);
            o->ignored |= !inRange;
            if (!inRange && warn)
                kelvoWarn("EPSILON must be a double between 0.0 and 1.0");
        } else if (kelvoIsWord(name, "COUNT")) {
            o->ignored |= !takePositive(name, value, &o->count, warn);
        } else if (kelvoIsWord(name, "EF")) {
            o->ignored |= !takePositive(name, value, &o->ef, warn);
        } else if (kelvoIsWord(name, "FILTER-EF")) {
            o->ignored |= !takePositive(name, value, &o->filterEf, warn);
        } else if (kelvoIsWord(name, "FILTER")) {
            o->filter = value;
        }
    }
    ZEND_HASH_FOREACH_END();
}

/* The query of VSIM: a vector (FP32 or VALUES) or an element (ELE). An array is a vector unless
 * ELE is asked for, so one holding anything but numbers is refused rather than guessed at. */
int catVSimQuery(rrc *req, const robj *obj, zval *member, VSimMode mode)
{
    member = kelvoDeref(member);
    if (mode == VSIM_AUTO && Z_TYPE_P(member) == IS_ARRAY) {
        if (!allNumbers(Z_ARRVAL_P(member)))
            return kelvoRefuse("A vector must hold only numbers; use ELE to send an array as an element");
        mode = VSIM_FP32;
    }
    if (mode == VSIM_AUTO || mode == VSIM_ELE) {
        /* Without a serializer an array has no bytes of its own: it would go out as the text "Array". */
        if (Z_TYPE_P(member) == IS_ARRAY && obj->opts.serializer->id == KELVO_SERIALIZER_NONE)
            return kelvoRefuse("ELE with an array member requires a serializer");
        kelvoCatWord(req, "ELE");
        return kelvoCatValue(req, obj, member) ? 0 : -1;
    }
    if (Z_TYPE_P(member) != IS_ARRAY)
        return kelvoRefuse("FP32 or VALUES requires an array of floats");
    if (zend_hash_num_elements(Z_ARRVAL_P(member)) == 0)
        return kelvoRefuse("FP32 or VALUES requires at least one float");
    return catVector(req, Z_ARRVAL_P(member), mode == VSIM_VALUES);
}

void catPositive(rrc *req, const char *word, size_t len, zend_long value)
{
    if (value < 1)
        return;
    kelvoRespCmdCatLen(req, word, len);
    kelvoRespCmdCatZendLong(req, value);
}

/* The key and the element, which every builder here but VADD and VSIM starts with. */
int catKeyElement(rrc *req, const robj *obj, zend_string *key, zval *element)
{
    kelvoCatKey(req, obj, key);
    return kelvoCatValue(req, obj, kelvoDeref(element)) ? 0 : -1;
}

} // namespace

int kelvoVAddRCmd(zend_execute_data *execute_data, zval *, rrc *req, robj *obj)
{
    zend_string *key;
    HashTable *vector, *options = nullptr;
    zval *element;
    ZEND_PARSE_PARAMETERS_START(3, 4)
    Z_PARAM_STR(key)
    Z_PARAM_ARRAY_HT(vector)
    Z_PARAM_ZVAL(element)
    Z_PARAM_OPTIONAL
    Z_PARAM_ARRAY_HT_OR_NULL(options)
    ZEND_PARSE_PARAMETERS_END_EX(return -1);
    if (zend_hash_num_elements(vector) == 0)
        return kelvoRefuse("Must pass at least one value");
    VAddOptions o;
    if (options)
        readVAddOptions(options, &o, false);
    if (o.badReduce) {
        warnPositive(o.badReduce);
        return -1;
    }
    ZStrPtr attributes;
    if (o.attributes && !(attributes = attributesText(o.attributes)))
        return -1;

    kelvoCatKey(req, obj, key);
    catPositive(req, ZEND_STRL("REDUCE"), o.reduce);
    if (catVector(req, vector, o.values) != 0 || !kelvoCatValue(req, obj, kelvoDeref(element)))
        return -1;
    if (o.cas)
        kelvoCatWord(req, "CAS");
    static constexpr const char *quantisations[] = {nullptr, "NOQUANT", "Q8", "BIN"};
    if (o.quantisation != QUANT_DEFAULT)
        kelvoRespCmdCatLen(req, quantisations[o.quantisation], strlen(quantisations[o.quantisation]));
    catPositive(req, ZEND_STRL("EF"), o.ef);
    if (attributes) {
        kelvoCatWord(req, "SETATTR");
        kelvoRespCmdCatZStr(req, attributes.get());
    }
    catPositive(req, ZEND_STRL("M"), o.m);
    if (o.ignored) {
        VAddOptions again;
        readVAddOptions(options, &again, true);
    }
    return 0;
}

int kelvoVSimRCmd(zend_execute_data *execute_data, zval *, rrc *req, robj *obj)
{
    zend_string *key;
    zval *member;
    HashTable *options = nullptr;
    ZEND_PARSE_PARAMETERS_START(2, 3)
    Z_PARAM_STR(key)
    Z_PARAM_ZVAL(member)
    Z_PARAM_OPTIONAL
    Z_PARAM_ARRAY_HT_OR_NULL(options)
    ZEND_PARSE_PARAMETERS_END_EX(return -1);
    VSimOptions o;
    if (options)
        readVSimOptions(options, &o, false);

    kelvoCatKey(req, obj, key);
    if (catVSimQuery(req, obj, member, o.mode) != 0)
        return -1;
    if (o.withscores)
        kelvoCatWord(req, "WITHSCORES");
    if (o.withattribs)
        kelvoCatWord(req, "WITHATTRIBS");
    catPositive(req, ZEND_STRL("COUNT"), o.count);
    if (o.epsilon >= 0.0) {
        kelvoCatWord(req, "EPSILON");
        kelvoRespCmdCatDouble(req, o.epsilon);
    }
    catPositive(req, ZEND_STRL("EF"), o.ef);
    if (o.filter) {
        kelvoCatWord(req, "FILTER");
        kelvoRespCmdCatZValZStr(req, o.filter);
        if (EG(exception))
            return -1;
    }
    catPositive(req, ZEND_STRL("FILTER-EF"), o.filterEf);
    if (o.truth)
        kelvoCatWord(req, "TRUTH");
    if (o.nothread)
        kelvoCatWord(req, "NOTHREAD");
    if (o.ignored) {
        VSimOptions again;
        readVSimOptions(options, &again, true);
    }
    return 0;
}

int kelvoVSetAttrRCmd(zend_execute_data *execute_data, zval *, rrc *req, robj *obj)
{
    zend_string *key;
    zval *element, *attributes;
    ZEND_PARSE_PARAMETERS_START(3, 3)
    Z_PARAM_STR(key)
    Z_PARAM_ZVAL(element)
    Z_PARAM_ZVAL(attributes)
    ZEND_PARSE_PARAMETERS_END_EX(return -1);
    ZStrPtr text = attributesText(attributes);
    if (!text || catKeyElement(req, obj, key, element) != 0)
        return -1;
    kelvoRespCmdCatZStr(req, text.get());
    return 0;
}

namespace {

/* VGETATTR, VEMB, VLINKS: a key, an element and one flag. */
int keyElementFlag(zend_execute_data *execute_data, rrc *req, robj *obj, bool *flag)
{
    zend_string *key;
    zval *element;
    ZEND_PARSE_PARAMETERS_START(2, 3)
    Z_PARAM_STR(key)
    Z_PARAM_ZVAL(element)
    Z_PARAM_OPTIONAL
    Z_PARAM_BOOL(*flag)
    ZEND_PARSE_PARAMETERS_END_EX(return -1);
    return catKeyElement(req, obj, key, element);
}

} // namespace

/* Raw is for the formatter alone: JSON decoded, or the text as the server sent it. */
int kelvoVGetAttrRCmd(zend_execute_data *execute_data, zval *, rrc *req, robj *obj)
{
    bool raw = false;
    if (keyElementFlag(execute_data, req, obj, &raw) != 0)
        return -1;
    req->context = raw ? 1 : 0;
    return 0;
}

int kelvoVEmbRCmd(zend_execute_data *execute_data, zval *, rrc *req, robj *obj)
{
    bool raw = false;
    if (keyElementFlag(execute_data, req, obj, &raw) != 0)
        return -1;
    if (raw)
        kelvoCatWord(req, "RAW");
    return 0;
}

int kelvoVLinksRCmd(zend_execute_data *execute_data, zval *, rrc *req, robj *obj)
{
    bool withscores = false;
    if (keyElementFlag(execute_data, req, obj, &withscores) != 0)
        return -1;
    if (withscores)
        kelvoCatWord(req, "WITHSCORES");
    return 0;
}

/* -- replies ------------------------------------------------------------------------------------ */

namespace {

void vemb(zval *rv, kelvoQuerySet *rqs, kelvoReplyEnv *env, const kelvoReply *reply)
{
    convertWith(rv, reply, env, kelvoOptReplyLiteral, rqs->flags);
}

/* Attributes are JSON text: decoded, unless the caller asked for the text (context 1). */
void vgetattr(zval *rv, kelvoQuerySet *rqs, kelvoReplyEnv *env, const kelvoReply *reply)
{
    if (is(reply, KELVO_REPLY_STRING) && rqs->context != 1) {
        zend_string *s = reply->v.str;
        if (php_json_decode_ex(rv, ZSTR_VAL(s), ZSTR_LEN(s), PHP_JSON_OBJECT_AS_ARRAY, 512) == SUCCESS)
            return;
        zval_ptr_dtor(rv);
        php_error_docref(nullptr, E_WARNING, "Failed to deserialize json");
    }
    generic(rv, reply, env, rqs->flags);
}

} // namespace

KELVO_FORMATTER(kelvoVEmbFmt, vemb)
KELVO_FORMATTER(kelvoVGetAttrFmt, vgetattr)
