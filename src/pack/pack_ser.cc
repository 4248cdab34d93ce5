/*
 * The serializers: none, php (the engine's native format), igbinary and
 * msgpack (the extensions' own functions, found at start-up) and json.
 * Unserializers return non-zero on success and leave no value behind on
 * failure.
 */
#include "pack/pack.h"
#include "pack/pack_libs.h"
#include "runtime/fatal.h"

extern "C" {
#include "ext/json/php_json.h"
#include "ext/standard/php_var.h"
}

kelvoIgbinaryFnTable kelvoIgbinaryFns;
kelvoMsgpackFnTable kelvoMsgpackFns;

zend_string *kelvoNoneSerialize(zval *zsrc, const kelvoPackOptions *)
{
    kelvoAssert(zsrc != NULL);
    ZVAL_DEREF(zsrc);
    switch (Z_TYPE_P(zsrc)) {
    case IS_STRING:
        return zend_string_copy(Z_STR_P(zsrc));
    case IS_ARRAY:
        return ZSTR_KNOWN(ZEND_STR_ARRAY_CAPITALIZED);
    case IS_OBJECT:
        return zend_string_init("Object", sizeof("Object") - 1, 0);
    default:
        return zval_get_string_func(zsrc);
    }
}

/* What a smart_str holds once a serializer is done with it: terminated, or null when empty. */
static zend_string *kelvoSmartStrResult(smart_str *buf)
{
    smart_str_0(buf);
    return buf->s;
}

static zend_string *kelvoPhpSerialize(zval *value, const kelvoPackOptions *)
{
    smart_str buf = {};
    php_serialize_data_t varHash;
    PHP_VAR_SERIALIZE_INIT(varHash);
    php_var_serialize(&buf, value, &varHash);
    PHP_VAR_SERIALIZE_DESTROY(varHash);
    /* Unserializable values (closures, __sleep throwing) leave the exception to the caller. */
    if (EG(exception)) {
        smart_str_free(&buf);
        return nullptr;
    }
    return kelvoSmartStrResult(&buf);
}

static int kelvoPhpUnserialize(zval *out, const char *buf, size_t len)
{
    php_unserialize_data_t varHash;
    PHP_VAR_UNSERIALIZE_INIT(varHash);
    /* The value lives in the state's own slot until the delayed __wakeup/__unserialize calls have run. */
    zval *slot = var_tmp_var(&varHash);
    const unsigned char *p = reinterpret_cast<const unsigned char *>(buf);
    int ok = php_var_unserialize(slot, &p, p + len, &varHash);
    if (ok)
        ZVAL_COPY_DEREF(out, slot);
    PHP_VAR_UNSERIALIZE_DESTROY(varHash);
    if (ok && EG(exception)) {
        zval_ptr_dtor(out);
        ok = 0;
    }
    if (!ok)
        ZVAL_UNDEF(out);
    return ok;
}

/*
 * The extensions warn about bytes that are not theirs; to a reader such bytes
 * are just a string, so their diagnostics stay quiet, as under "@".
 */
class kelvoQuietErrors {
  public:
    kelvoQuietErrors() : saved_(EG(error_reporting)) { EG(error_reporting) = 0; }
    ~kelvoQuietErrors() { EG(error_reporting) = saved_; }
    kelvoQuietErrors(const kelvoQuietErrors &) = delete;
    kelvoQuietErrors &operator=(const kelvoQuietErrors &) = delete;

  private:
    int saved_;
};

static zend_string *kelvoIgbinarySerialize(zval *value, const kelvoPackOptions *)
{
    kelvoAssert(kelvoIgbinaryFns.serialize != nullptr);
    uint8_t *bytes = nullptr;
    size_t len = 0;
    if (kelvoIgbinaryFns.serialize(&bytes, &len, value) != 0) {
        if (bytes)
            efree(bytes);
        return nullptr;
    }
    zend_string *out = zend_string_init(reinterpret_cast<char *>(bytes), len, 0);
    efree(bytes);
    return out;
}

/* igbinary's header: 00 00 00 01 or 00 00 00 02, then at least one byte. */
static bool kelvoIgbinaryHeader(const char *buf, size_t len)
{
    return len >= 5 && buf[0] == 0 && buf[1] == 0 && buf[2] == 0 && (buf[3] == 1 || buf[3] == 2);
}

static int kelvoIgbinaryUnserialize(zval *out, const char *buf, size_t len)
{
    if (!kelvoIgbinaryFns.unserialize || !kelvoIgbinaryHeader(buf, len))
        return 0;
    ZVAL_NULL(out);
    kelvoQuietErrors quiet;
    if (kelvoIgbinaryFns.unserialize(reinterpret_cast<const uint8_t *>(buf), len, out) == 0)
        return 1;
    ZVAL_NULL(out);
    return 0;
}

static zend_string *kelvoMsgpackSerialize(zval *value, const kelvoPackOptions *)
{
    kelvoAssert(kelvoMsgpackFns.serialize != nullptr);
    smart_str buf = {};
    kelvoMsgpackFns.serialize(&buf, value);
    if (EG(exception)) {
        smart_str_free(&buf);
        return nullptr;
    }
    return kelvoSmartStrResult(&buf);
}

/* Width of the big-endian length or count that follows a msgpack type byte. */
static uint64_t kelvoBigEndian(const uint8_t *p, size_t width)
{
    uint64_t value = 0;
    for (size_t i = 0; i < width; i++)
        value = value << 8 | p[i];
    return value;
}

/*
 * The length of the one msgpack value that `buf` starts with, or 0 when it
 * does not hold a whole one. msgpack's own reader takes the first value and
 * ignores the rest, which would read any plain ASCII string as a small
 * integer; a stored value is exactly one msgpack value.
 */
size_t kelvoMsgpackLength(const uint8_t *buf, size_t len)
{
    size_t pos = 0;
    uint64_t pending = 1; /* values still to walk over */
    while (pending > 0) {
        if (pos >= len || pending > len - pos)
            return 0;
        uint8_t type = buf[pos++];
        size_t width = 0;      /* bytes of the length or count field */
        uint64_t payload = 0;  /* bytes of data after that field */
        uint64_t children = 0; /* values nested in this one */
        if (type <= 0x7f || type >= 0xe0 || type == 0xc0 || type == 0xc2 || type == 0xc3) {
            /* fixint, nil, false, true: the type byte is the whole value */
        } else if (type <= 0x8f) {
            children = 2 * uint64_t(type & 0x0f);
        } else if (type <= 0x9f) {
            children = type & 0x0f;
        } else if (type <= 0xbf) {
            payload = type & 0x1f;
        } else if (type >= 0xc4 && type <= 0xc6) { /* bin 8/16/32 */
            width = size_t{1} << (type - 0xc4);
        } else if (type >= 0xc7 && type <= 0xc9) { /* ext 8/16/32: length, then a type byte */
            width = size_t{1} << (type - 0xc7);
            payload = 1;
        } else if (type == 0xca || type == 0xcb) { /* float 32/64 */
            payload = type == 0xca ? 4 : 8;
        } else if (type >= 0xcc && type <= 0xd3) { /* uint and int 8 to 64 */
            payload = uint64_t{1} << ((type - 0xcc) & 3);
        } else if (type >= 0xd4 && type <= 0xd8) { /* fixext 1 to 16, after a type byte */
            payload = 1 + (uint64_t{1} << (type - 0xd4));
        } else if (type >= 0xd9 && type <= 0xdb) { /* str 8/16/32 */
            width = size_t{1} << (type - 0xd9);
        } else if (type == 0xdc || type == 0xdd) { /* array 16/32 */
            width = type == 0xdc ? 2 : 4;
        } else if (type == 0xde || type == 0xdf) { /* map 16/32 */
            width = type == 0xde ? 2 : 4;
        } else {
            return 0; /* 0xc1 is never used */
        }
        if (width > len - pos)
            return 0;
        uint64_t field = kelvoBigEndian(buf + pos, width);
        pos += width;
        if (type >= 0xdc && type <= 0xdf)
            children = type >= 0xde ? 2 * field : field;
        else
            payload += field;
        if (payload > len - pos)
            return 0;
        pos += payload;
        pending = pending - 1 + children;
    }
    return pos;
}

static int kelvoMsgpackUnserialize(zval *out, const char *buf, size_t len)
{
    if (!kelvoMsgpackFns.unserialize || kelvoMsgpackLength(reinterpret_cast<const uint8_t *>(buf), len) != len)
        return 0;
    ZVAL_NULL(out);
    kelvoQuietErrors quiet;
    if (kelvoMsgpackFns.unserialize(out, const_cast<char *>(buf), len) == SUCCESS)
        return 1;
    zval_ptr_dtor(out);
    ZVAL_UNDEF(out);
    return 0;
}

static zend_string *kelvoJsonSerialize(zval *value, const kelvoPackOptions *)
{
    smart_str buf = {};
    /*
     * The encoder reports success for NAN and INF after writing 0 in their place: only its
     * error code tells whether the document is the value. Nothing it could not write exactly
     * is stored, neither a stand-in nor half a document.
     */
    if (php_json_encode(&buf, value, PHP_JSON_HEX_TAG) == FAILURE || JSON_G(error_code) != PHP_JSON_ERROR_NONE ||
        EG(exception)) {
        smart_str_free(&buf);
        return nullptr;
    }
    return kelvoSmartStrResult(&buf);
}

const char *kelvoJsonFailureText(void)
{
    switch (JSON_G(error_code)) {
    case PHP_JSON_ERROR_NONE:
        return nullptr;
    case PHP_JSON_ERROR_DEPTH:
        return "Maximum stack depth exceeded";
    case PHP_JSON_ERROR_UTF8:
        return "Malformed UTF-8 characters, possibly incorrectly encoded";
    case PHP_JSON_ERROR_RECURSION:
        return "Recursion detected";
    case PHP_JSON_ERROR_INF_OR_NAN:
        return "Inf and NaN cannot be JSON encoded";
    case PHP_JSON_ERROR_UNSUPPORTED_TYPE:
        return "Type is not supported";
    case PHP_JSON_ERROR_NON_BACKED_ENUM:
        return "Non-backed enums have no value";
    default:
        return "Encoding error";
    }
}

static int kelvoJsonUnserialize(zval *out, const char *buf, size_t len)
{
    if (php_json_decode_ex(out, buf, len, PHP_JSON_OBJECT_AS_ARRAY, 512) == SUCCESS)
        return 1;
    zval_ptr_dtor(out);
    ZVAL_UNDEF(out);
    return 0;
}

const kelvoSerInfo kelvoNoneSerInfo = {"none", KELVO_SERIALIZER_NONE, kelvoNoneSerialize, nullptr};
const kelvoSerInfo kelvoPhpSerInfo = {"php", KELVO_SERIALIZER_PHP, kelvoPhpSerialize, kelvoPhpUnserialize};
const kelvoSerInfo kelvoIgbinarySerInfo = {"igbinary", KELVO_SERIALIZER_IGBINARY, kelvoIgbinarySerialize,
                                           kelvoIgbinaryUnserialize};
const kelvoSerInfo kelvoMsgpackSerInfo = {"msgpack", KELVO_SERIALIZER_MSGPACK, kelvoMsgpackSerialize,
                                          kelvoMsgpackUnserialize};
const kelvoSerInfo kelvoJsonSerInfo = {"json", KELVO_SERIALIZER_JSON, kelvoJsonSerialize, kelvoJsonUnserialize};
