/*
 * The geo commands: GEOADD, GEODIST, the radius queries (GEORADIUS, GEORADIUSBYMEMBER and their
 * read-only forms), GEOSEARCH and GEOSEARCHSTORE. Coordinates and distances go out as the numbers
 * given (floats with 17 significant digits, never through `precision`); every member is packed
 * as GEOADD packed it when it stored the member, or it would not be found under a serializer or
 * compressor. GEOSEARCH leaves 1 in the context byte when it asked for details of each member.
 */
#include "commands/geo.h"

#include "commands/cmdroles.h"
#include "commands/builder.h"
#include "commands/numeric.h"
#include "runtime/fatal.h"

namespace {

/* A member given as a string parameter, packed. */
bool catMember(rrc *req, const robj *obj, zend_string *member)
{
    zval value;
    ZVAL_STR(&value, member);
    return kelvoCatValue(req, obj, &value);
}

/* Every element of an array as a float; false after `message` for one that is no number. */
bool catFloats(rrc *req, HashTable *numbers, const char *message)
{
    kelvoReserveArgs(req, zend_hash_num_elements(numbers));
    zval *number;
    ZEND_HASH_FOREACH_VAL(numbers, number)
    {
        if (!kelvoCatNumericAsDouble(req, number)) {
            kelvoWarn("%s", message);
            return false;
        }
    }
    ZEND_HASH_FOREACH_END();
    return true;
}

/* COUNT n, or COUNT [n, any]; false for anything else or a count below 1. */
bool readCount(kelvoGeoOptions *options, zval *value)
{
    if (Z_TYPE_P(value) == IS_LONG) {
        options->count = Z_LVAL_P(value);
        options->any = false;
        return options->count >= 1;
    }
    if (Z_TYPE_P(value) != IS_ARRAY)
        return false;
    zval *count = zend_hash_index_find(Z_ARRVAL_P(value), 0);
    zval *any = zend_hash_index_find(Z_ARRVAL_P(value), 1);
    if (!count || !any)
        return false;
    options->count = zval_get_long(kelvoDeref(count));
    options->any = zend_is_true(kelvoDeref(any));
    return options->count >= 1;
}

void takeWord(kelvoGeoOptions *options, zend_string *word)
{
    if (kelvoIsWord(word, "WITHCOORD"))
        options->withCoord = true;
    else if (kelvoIsWord(word, "WITHDIST"))
        options->withDist = true;
    else if (kelvoIsWord(word, "WITHHASH"))
        options->withHash = true;
    else if (kelvoIsWord(word, "STOREDIST"))
        options->storeDist = true;
    else if (kelvoIsWord(word, "ASC") || kelvoIsWord(word, "DESC"))
        options->sort = word;
}

bool withDetails(const kelvoGeoOptions &options) { return options.withCoord || options.withDist || options.withHash; }

void catDetailWords(rrc *req, const kelvoGeoOptions &options)
{
    if (options.withCoord)
        kelvoCatWord(req, "WITHCOORD");
    if (options.withDist)
        kelvoCatWord(req, "WITHDIST");
    if (options.withHash)
        kelvoCatWord(req, "WITHHASH");
}

void catSortAndCount(rrc *req, const kelvoGeoOptions &options, bool any)
{
    if (options.sort)
        kelvoRespCmdCatZStr(req, options.sort);
    if (options.count > 0) {
        kelvoCatWord(req, "COUNT");
        kelvoRespCmdCatZendLong(req, options.count);
        if (any && options.any)
            kelvoCatWord(req, "ANY");
    }
}

/* A search shape as an int|float|array parameter reads it: a numeric string is its number; any
 * other value is the engine's type error for argument `number`. */
bool readShape(zval *shape, zval *out, uint32_t number)
{
    shape = kelvoDeref(shape);
    if (Z_TYPE_P(shape) == IS_ARRAY) {
        ZVAL_COPY_VALUE(out, shape);
        return true;
    }
    if (kelvoReadNumeric(shape, out))
        return true;
    zend_argument_type_error(number, "must be of type array|int|float, %s given", zend_zval_type_name(shape));
    return false;
}

/* A shape array of other than 2 elements is a polygon: at least three vertices, in pairs. */
bool isPolygon(const zval *shape)
{
    return Z_TYPE_P(shape) == IS_ARRAY && zend_hash_num_elements(Z_ARRVAL_P(shape)) != 2;
}

int checkPolygon(const zval *shape)
{
    const uint32_t count = Z_TYPE_P(shape) == IS_ARRAY ? zend_hash_num_elements(Z_ARRVAL_P(shape)) : 2;
    if (count != 2 && (count < 6 || count % 2 != 0))
        return kelvoRefuse("shape array must contain either 2 elements (for BYBOX) or at least 6 elements (for "
                           "BYPOLYGON)");
    return 0;
}

/* The origin, shape and unit of a search, or the polygon alone. */
bool catArea(rrc *req, const robj *obj, HashTable *lonLat, zend_string *member, zval *shape, zend_string *unit)
{
    if (isPolygon(shape))
        return kelvoRespCmdCatGeoShape(req, shape);
    if (!kelvoRespCmdCatGeoPos(req, obj, lonLat, member) || !kelvoRespCmdCatGeoShape(req, shape))
        return false;
    kelvoRespCmdCatZStr(req, unit);
    return true;
}

} // namespace

int kelvoGetGeoOptions(kelvoGeoOptions *options, HashTable *ht)
{
    *options = kelvoGeoOptions{};
    if (!ht)
        return 0;
    zend_string *name;
    zval *value;
    ZEND_HASH_FOREACH_STR_KEY_VAL(ht, name, value)
    {
        value = kelvoDeref(value);
        if (!name) {
            if (Z_TYPE_P(value) == IS_STRING)
                takeWord(options, Z_STR_P(value));
        } else if (kelvoIsWord(name, "COUNT")) {
            if (!readCount(options, value))
                return kelvoRefuse("Invalid COUNT value");
        } else if (kelvoIsWord(name, "STORE") || kelvoIsWord(name, "STOREDIST")) {
            options->storeWord = name;
            options->storeKey = value;
        }
    }
    ZEND_HASH_FOREACH_END();
    return 0;
}

bool kelvoRespCmdCatGeoRadiusOpts(rrc *req, const robj *obj, const kelvoGeoOptions *options)
{
    catDetailWords(req, *options);
    catSortAndCount(req, *options, true);
    if (!options->storeWord)
        return true;
    const zval *key = options->storeKey;
    if (Z_TYPE_P(key) != IS_STRING && Z_TYPE_P(key) != IS_LONG && Z_TYPE_P(key) != IS_DOUBLE) {
        kelvoWarn("The %s key must be a string", ZSTR_VAL(options->storeWord));
        return false;
    }
    kelvoRespCmdCatZStr(req, options->storeWord);
    return kelvoCatKeyZVal(req, obj, options->storeKey);
}

bool kelvoRespCmdCatGeoPos(rrc *req, const robj *obj, HashTable *lonLat, zend_string *member)
{
    kelvoAssert(req != NULL && (lonLat != NULL) != (member != NULL));
    if (member) {
        kelvoCatWord(req, "FROMMEMBER");
        return catMember(req, obj, member);
    }
    kelvoCatWord(req, "FROMLONLAT");
    return catFloats(req, lonLat, "position array must contain numbers");
}

bool kelvoRespCmdCatGeoShape(rrc *req, zval *shape)
{
    kelvoAssert(req != NULL && shape != NULL &&
                (Z_TYPE_P(shape) == IS_ARRAY || Z_TYPE_P(shape) == IS_DOUBLE || Z_TYPE_P(shape) == IS_LONG));
    if (Z_TYPE_P(shape) != IS_ARRAY) {
        kelvoCatWord(req, "BYRADIUS");
        kelvoRespCmdCatDouble(req, Z_TYPE_P(shape) == IS_LONG ? static_cast<double>(Z_LVAL_P(shape)) : Z_DVAL_P(shape));
        return true;
    }
    HashTable *numbers = Z_ARRVAL_P(shape);
    const uint32_t count = zend_hash_num_elements(numbers);
    if (count == 2) {
        kelvoCatWord(req, "BYBOX");
    } else {
        kelvoCatWord(req, "BYPOLYGON");
        kelvoRespCmdCatZendULong(req, count / 2);
    }
    return catFloats(req, numbers, "shape array must contain numbers");
}

/* GEOADD key [NX|XX] [CH] longitude latitude member ... [options]: the options array, when
 * given, is the last argument after whole triples. */
int kelvoGeoaddRCmd(zend_execute_data *execute_data, zval *, rrc *req, robj *obj)
{
    zend_string *key;
    zval *args;
    uint32_t argc;
    if (kelvoParseKeyArgs(execute_data, 4, &key, &args, &argc) != 0)
        return -1;
    if (argc % 3 == 2) {
        zend_wrong_param_count();
        return -1;
    }
    uint32_t triples = argc;
    zend_string *condition = nullptr;
    bool changed = false;
    if (argc % 3 == 1) {
        triples--;
        zval *options = kelvoDeref(&args[triples]);
        if (Z_TYPE_P(options) != IS_ARRAY) {
            zend_wrong_parameter_type_error(argc + 1, Z_EXPECTED_ARRAY, options);
            return -1;
        }
        zval *word;
        ZEND_HASH_FOREACH_VAL(Z_ARRVAL_P(options), word)
        {
            word = kelvoDeref(word);
            if (Z_TYPE_P(word) != IS_STRING)
                continue;
            if (kelvoIsWord(Z_STR_P(word), "NX") || kelvoIsWord(Z_STR_P(word), "XX"))
                condition = Z_STR_P(word);
            else if (kelvoIsWord(Z_STR_P(word), "CH"))
                changed = true;
        }
        ZEND_HASH_FOREACH_END();
    }
    kelvoReserveArgs(req, triples + 3);
    kelvoCatKey(req, obj, key);
    if (condition)
        kelvoRespCmdCatZStr(req, condition);
    if (changed)
        kelvoCatWord(req, "CH");
    for (uint32_t i = 0; i < triples; i += 3) {
        for (uint32_t c = i; c < i + 2; c++) {
            if (!kelvoCatNumeric(req, &args[c])) {
                zend_argument_type_error(c + 2, "must be of type float, %s given",
                                         zend_zval_type_name(kelvoDeref(&args[c])));
                return -1;
            }
        }
        if (!kelvoCatValue(req, obj, kelvoDeref(&args[i + 2])))
            return -1;
    }
    return 0;
}

/* GEODIST key member member [unit] */
int kelvoGeodistRCmd(zend_execute_data *execute_data, zval *, rrc *req, robj *obj)
{
    zend_string *key, *first, *second, *unit = nullptr;
    ZEND_PARSE_PARAMETERS_START(3, 4)
    Z_PARAM_STR(key)
    Z_PARAM_STR(first)
    Z_PARAM_STR(second)
    Z_PARAM_OPTIONAL
    Z_PARAM_STR_OR_NULL(unit)
    ZEND_PARSE_PARAMETERS_END_EX(return -1);
    kelvoCatKey(req, obj, key);
    if (!catMember(req, obj, first) || !catMember(req, obj, second))
        return -1;
    if (unit)
        kelvoRespCmdCatZStr(req, unit);
    return 0;
}

/* GEORADIUS, GEORADIUS_RO: key longitude latitude radius unit [options]. A store option cannot
 * come with the detail words, which ask for a reply the store forms do not give. */
int kelvoGeoradiusRCmd(zend_execute_data *execute_data, zval *, rrc *req, robj *obj)
{
    zend_string *key, *unit;
    double longitude, latitude, radius;
    HashTable *ht = nullptr;
    ZEND_PARSE_PARAMETERS_START(5, 6)
    Z_PARAM_STR(key)
    Z_PARAM_DOUBLE(longitude)
    Z_PARAM_DOUBLE(latitude)
    Z_PARAM_DOUBLE(radius)
    Z_PARAM_STR(unit)
    Z_PARAM_OPTIONAL
    Z_PARAM_ARRAY_HT_OR_NULL(ht)
    ZEND_PARSE_PARAMETERS_END_EX(return -1);
    kelvoGeoOptions options;
    if (kelvoGetGeoOptions(&options, ht) != 0)
        return -1;
    if (options.storeWord && withDetails(options))
        return kelvoRefuse("STORE[DIST] is not compatible with WITHCCOORD, WITHDIST, or WITHHASH");
    kelvoCatKey(req, obj, key);
    kelvoRespCmdCatDouble(req, longitude);
    kelvoRespCmdCatDouble(req, latitude);
    kelvoRespCmdCatDouble(req, radius);
    kelvoRespCmdCatZStr(req, unit);
    return kelvoRespCmdCatGeoRadiusOpts(req, obj, &options) ? 0 : -1;
}

/* GEORADIUSBYMEMBER, GEORADIUSBYMEMBER_RO: key member radius unit [options]. */
int kelvoGeoradiusbymemberRCmd(zend_execute_data *execute_data, zval *, rrc *req, robj *obj)
{
    zend_string *key, *member, *unit;
    double radius;
    HashTable *ht = nullptr;
    ZEND_PARSE_PARAMETERS_START(4, 5)
    Z_PARAM_STR(key)
    Z_PARAM_STR(member)
    Z_PARAM_DOUBLE(radius)
    Z_PARAM_STR(unit)
    Z_PARAM_OPTIONAL
    Z_PARAM_ARRAY_HT_OR_NULL(ht)
    ZEND_PARSE_PARAMETERS_END_EX(return -1);
    kelvoGeoOptions options;
    if (kelvoGetGeoOptions(&options, ht) != 0)
        return -1;
    kelvoCatKey(req, obj, key);
    if (!catMember(req, obj, member))
        return -1;
    kelvoRespCmdCatDouble(req, radius);
    kelvoRespCmdCatZStr(req, unit);
    return kelvoRespCmdCatGeoRadiusOpts(req, obj, &options) ? 0 : -1;
}

/* GEOSEARCH key FROMMEMBER m | FROMLONLAT x y  BYRADIUS r | BYBOX w h  unit, or key BYPOLYGON n
 * x y ...; then the detail words, the sort word and COUNT n [ANY]. */
int kelvoGeosearchRCmd(zend_execute_data *execute_data, zval *, rrc *req, robj *obj)
{
    zend_string *key, *member = nullptr, *unit;
    HashTable *lonLat = nullptr, *ht = nullptr;
    zval *shapeArg, shape;
    ZEND_PARSE_PARAMETERS_START(4, 5)
    Z_PARAM_STR(key)
    Z_PARAM_ARRAY_HT_OR_STR(lonLat, member)
    Z_PARAM_ZVAL(shapeArg)
    Z_PARAM_STR(unit)
    Z_PARAM_OPTIONAL
    Z_PARAM_ARRAY_HT_OR_NULL(ht)
    ZEND_PARSE_PARAMETERS_END_EX(return -1);
    if (!readShape(shapeArg, &shape, 3) || checkPolygon(&shape) != 0)
        return -1;
    if (!isPolygon(&shape) && lonLat && zend_hash_num_elements(lonLat) != 2)
        return kelvoRefuse("position array must contain two elements");
    kelvoGeoOptions options;
    if (kelvoGetGeoOptions(&options, ht) != 0)
        return -1;
    kelvoCatKey(req, obj, key);
    if (!catArea(req, obj, lonLat, member, &shape, unit))
        return -1;
    catDetailWords(req, options);
    catSortAndCount(req, options, true);
    req->context = withDetails(options) ? 1 : 0;
    return 0;
}

/* GEOSEARCHSTORE destination source area [sort] [COUNT n] [STOREDIST]. */
int kelvoGeosearchstoreRCmd(zend_execute_data *execute_data, zval *, rrc *req, robj *obj)
{
    zend_string *destination, *source, *member = nullptr, *unit;
    HashTable *lonLat = nullptr, *ht = nullptr;
    zval *shapeArg, shape;
    ZEND_PARSE_PARAMETERS_START(5, 6)
    Z_PARAM_STR(destination)
    Z_PARAM_STR(source)
    Z_PARAM_ARRAY_HT_OR_STR(lonLat, member)
    Z_PARAM_ZVAL(shapeArg)
    Z_PARAM_STR(unit)
    Z_PARAM_OPTIONAL
    Z_PARAM_ARRAY_HT_OR_NULL(ht)
    ZEND_PARSE_PARAMETERS_END_EX(return -1);
    if (!readShape(shapeArg, &shape, 4) || checkPolygon(&shape) != 0)
        return -1;
    kelvoGeoOptions options;
    if (kelvoGetGeoOptions(&options, ht) != 0)
        return -1;
    kelvoCatKey(req, obj, destination);
    kelvoCatKey(req, obj, source);
    if (!catArea(req, obj, lonLat, member, &shape, unit))
        return -1;
    catSortAndCount(req, options, false);
    if (options.storeDist)
        kelvoCatWord(req, "STOREDIST");
    return 0;
}
