/* The request under construction: start, append, finish, release. */
#include "wire/command.h"

#include <array>
#include <charconv>
#include <cmath>
#include <cstring>

#include "catalog/cmdids.h"
#include "runtime/fatal.h"

extern "C" {
#include "zend_strtod.h"
}

template <size_t N>
static constexpr kelvoRespLookupEntry entry(const char (&text)[N])
{
    static_assert(N - 1 <= sizeof(kelvoRespLookupEntry::str), "a header fits the entry");
    kelvoRespLookupEntry e{};
    for (size_t i = 0; i < N - 1; i++)
        e.str[i] = text[i];
    e.len = N - 1;
    return e;
}

const kelvoRespLookupEntry kelvoRespBulkLookup[37] = {
    entry("$0\r\n"),  entry("$1\r\n"),  entry("$2\r\n"),  entry("$3\r\n"),  entry("$4\r\n"),  entry("$5\r\n"),
    entry("$6\r\n"),  entry("$7\r\n"),  entry("$8\r\n"),  entry("$9\r\n"),  entry("$10\r\n"), entry("$11\r\n"),
    entry("$12\r\n"), entry("$13\r\n"), entry("$14\r\n"), entry("$15\r\n"), entry("$16\r\n"), entry("$17\r\n"),
    entry("$18\r\n"), entry("$19\r\n"), entry("$20\r\n"), entry("$21\r\n"), entry("$22\r\n"), entry("$23\r\n"),
    entry("$24\r\n"), entry("$25\r\n"), entry("$26\r\n"), entry("$27\r\n"), entry("$28\r\n"), entry("$29\r\n"),
    entry("$30\r\n"), entry("$31\r\n"), entry("$32\r\n"), entry("$33\r\n"), entry("$34\r\n"), entry("$35\r\n"),
    entry("$36\r\n"),
};

const kelvoRespLookupEntry kelvoRespMbulkLookup[37] = {
    entry("*0\r\n"),  entry("*1\r\n"),  entry("*2\r\n"),  entry("*3\r\n"),  entry("*4\r\n"),  entry("*5\r\n"),
    entry("*6\r\n"),  entry("*7\r\n"),  entry("*8\r\n"),  entry("*9\r\n"),  entry("*10\r\n"), entry("*11\r\n"),
    entry("*12\r\n"), entry("*13\r\n"), entry("*14\r\n"), entry("*15\r\n"), entry("*16\r\n"), entry("*17\r\n"),
    entry("*18\r\n"), entry("*19\r\n"), entry("*20\r\n"), entry("*21\r\n"), entry("*22\r\n"), entry("*23\r\n"),
    entry("*24\r\n"), entry("*25\r\n"), entry("*26\r\n"), entry("*27\r\n"), entry("*28\r\n"), entry("*29\r\n"),
    entry("*30\r\n"), entry("*31\r\n"), entry("*32\r\n"), entry("*33\r\n"), entry("*34\r\n"), entry("*35\r\n"),
    entry("*36\r\n"),
};

static constexpr auto digitPairs = [] {
    std::array<char, 200> pairs{};
    for (int i = 0; i < 100; i++) {
        pairs[2 * i] = static_cast<char>('0' + i / 10);
        pairs[2 * i + 1] = static_cast<char>('0' + i % 10);
    }
    return pairs;
}();

static constexpr auto powersOfTen = [] {
    std::array<uint64_t, 20> powers{};
    uint64_t p = 1;
    for (auto &power : powers) {
        power = p;
        p *= 10;
    }
    return powers;
}();

static size_t decimalDigits(uint64_t value)
{
    /* log10 from the bit length (1233/4096 ~ log10(2)), corrected by one comparison */
    const size_t guess = (64 - __builtin_clzll(value | 1)) * 1233 >> 12;
    return guess + (value >= powersOfTen[guess]);
}

size_t kelvoUnsignedToString(char *buf, uint64_t value)
{
    const size_t count = value ? decimalDigits(value) : 1;
    char *p = buf + count;
    while (value >= 100) {
        const size_t pair = (value % 100) * 2;
        value /= 100;
        *--p = digitPairs[pair + 1];
        *--p = digitPairs[pair];
    }
    if (value >= 10) {
        *--p = digitPairs[value * 2 + 1];
        *--p = digitPairs[value * 2];
    } else {
        *--p = static_cast<char>('0' + value);
    }
    return count;
}

/* Negated in unsigned arithmetic, so the most negative value is exact. */
static size_t signedToString(char *buf, int64_t value)
{
    if (value >= 0)
        return kelvoUnsignedToString(buf, static_cast<uint64_t>(value));
    buf[0] = '-';
    return 1 + kelvoUnsignedToString(buf + 1, 0 - static_cast<uint64_t>(value));
}

/* "$<n>\r\n" or "*<n>\r\n" into `buf` (room for 24 bytes); returns its length. */
static size_t headerText(char *buf, char lead, uint64_t count)
{
    buf[0] = lead;
    size_t len = 1 + kelvoUnsignedToString(buf + 1, count);
    buf[len++] = '\r';
    buf[len++] = '\n';
    return len;
}

static void growIndex(struct rrc *rrc)
{
    if (rrc->pos < rrc->size)
        return;
    const uint64_t newsize = rrc->size * 2;
    kelvoAssert(newsize > rrc->size);
    rrc->args = static_cast<rrcArg *>(safe_erealloc(rrc->args, newsize, sizeof(rrcArg), 0));
    rrc->size = newsize;
}

size_t kelvoRespBulkHeaderText(char *buf, uint64_t len) { return headerText(buf, '$', len); }

void kelvoRespCmdMakeRoom(rrc *req, size_t total)
{
    growIndex(req);
    smart_string_alloc(&req->buffer, total, false);
}

void kelvoRespCmdReserve(rrc *req, uint64_t args, size_t bytes)
{
    kelvoAssert(req != NULL);
    if (req->pos + args > req->size) {
        req->size = req->pos + args;
        req->args = static_cast<rrcArg *>(safe_erealloc(req->args, req->size, sizeof(rrcArg), 0));
    }
    smart_string_alloc(&req->buffer, bytes, false);
}

void kelvoRespCmdInitEmpty(rrc *req, uint8_t flags, int32_t cmd)
{
    kelvoAssert(req != NULL);
    *req = rrc{};
    req->size = 4;
    req->args = static_cast<rrcArg *>(safe_emalloc(req->size, sizeof(rrcArg), 0));
    smart_string_appendl(&req->buffer, "           \r\n", KELVO_RESP_RESERVE);
    req->head = KELVO_RESP_RESERVE;
    req->flags = flags | KELVO_INITIALIZED;
    req->cmd = cmd;
}

void kelvoRespCmdInitLen(rrc *req, uint8_t flags, const char *name, size_t len)
{
    kelvoRespCmdInitEmpty(req, flags, REDIS_CMD_UNKNOWN);
    kelvoRespCmdCatLen(req, name, len);
}

void kelvoRespCmdFinish(rrc *req)
{
    kelvoAssert(req != NULL);
    char scratch[24];
    const char *header = scratch;
    size_t hlen;
    if (req->pos < 37) {
        header = kelvoRespMbulkLookup[req->pos].str;
        hlen = kelvoRespMbulkLookup[req->pos].len;
    } else {
        hlen = headerText(scratch, '*', req->pos);
    }
    kelvoAssert(hlen <= KELVO_RESP_RESERVE);
    req->head = static_cast<uint8_t>(KELVO_RESP_RESERVE - hlen);
    kelvoRespCopy(req->buffer.c + req->head, header, hlen);
}

static void freeRecord(void *record)
{
    /* A record is an 8-byte word followed by a zval (zend_fcall_info: size, function_name). */
    static_assert(offsetof(zend_fcall_info, function_name) == sizeof(uint64_t));
    zval *value = reinterpret_cast<zval *>(static_cast<char *>(record) + sizeof(uint64_t));
    zval_ptr_dtor(value);
    efree(record);
}

void kelvoRespCmdRelease(rrc *req)
{
    kelvoAssert(req != NULL);
    if (!(req->flags & KELVO_INITIALIZED))
        return;
    efree(req->args);
    req->args = NULL;
    req->size = 0;
    smart_string_free(&req->buffer);
    if (req->udkind == KELVO_REQ_DATA_RECORD)
        freeRecord(req->userdata.record);
    req->userdata.record = NULL;
    req->udkind = KELVO_REQ_DATA_NONE;
    req->flags &= ~KELVO_INITIALIZED;
}

void kelvoRespCmdSetRecord(rrc *req, void *record)
{
    kelvoAssert(req != NULL && req->udkind == KELVO_REQ_DATA_NONE && record != NULL);
    req->userdata.record = record;
    req->udkind = KELVO_REQ_DATA_RECORD;
}

void kelvoRespCmdSetNumber(rrc *req, uint64_t number)
{
    kelvoAssert(req != NULL && req->udkind == KELVO_REQ_DATA_NONE);
    req->userdata.number = number;
    req->udkind = KELVO_REQ_DATA_NUMBER;
}

rrcUserdata kelvoRespCmdTakeUserdata(rrc *req, kelvoReqDataKind *kind)
{
    kelvoAssert(req != NULL);
    const rrcUserdata taken = req->userdata;
    if (kind)
        *kind = req->udkind;
    req->userdata.record = NULL;
    req->udkind = KELVO_REQ_DATA_NONE;
    return taken;
}

void kelvoRespCmdCatZendULong(rrc *req, zend_ulong value)
{
    char digits[20];
    kelvoRespCmdCatLen(req, digits, kelvoUnsignedToString(digits, value));
}

void kelvoRespCmdCatZendLong(rrc *req, zend_long value)
{
    char text[21];
    kelvoRespCmdCatLen(req, text, signedToString(text, value));
}

size_t kelvoDoubleText(char *buf, double value)
{
    /* zend_gcvt's digits come from a big-number conversion that costs more than the rest of a
     * request; the library's shortest exact conversion gives the same 17 correctly rounded
     * digits, laid out here as zend_gcvt lays them out. Zero, infinities and NaN keep its own text. */
    if (value == 0 || !std::isfinite(value)) {
        zend_gcvt(value, 17, '.', 'E', buf);
        return strlen(buf);
    }
    char sci[32];
    const char *end = std::to_chars(sci, sci + sizeof sci, value, std::chars_format::scientific, 16).ptr;
    const char *p = sci;
    char *out = buf;
    if (*p == '-')
        *out++ = *p++;
    char digits[17];
    int count = 0;
    digits[count++] = *p;
    for (p += 2; *p != 'e'; p++)
        digits[count++] = *p;
    const bool negativeExponent = p[1] == '-';
    int exponent = 0;
    for (p += 2; p < end; p++)
        exponent = exponent * 10 + (*p - '0');
    while (count > 1 && digits[count - 1] == '0')
        count--;
    const int decpt = (negativeExponent ? -exponent : exponent) + 1;
    if (decpt < -3 || decpt > 17) {
        *out++ = digits[0];
        *out++ = '.';
        if (count == 1)
            *out++ = '0';
        for (int i = 1; i < count; i++)
            *out++ = digits[i];
        *out++ = 'E';
        *out++ = decpt - 1 < 0 ? '-' : '+';
        out += kelvoUnsignedToString(out, static_cast<uint64_t>(decpt - 1 < 0 ? 1 - decpt : decpt - 1));
    } else if (decpt <= 0) {
        *out++ = '0';
        *out++ = '.';
        for (int i = decpt; i < 0; i++)
            *out++ = '0';
        for (int i = 0; i < count; i++)
            *out++ = digits[i];
    } else {
        for (int i = 0; i < decpt; i++)
            *out++ = i < count ? digits[i] : '0';
        if (count > decpt) {
            *out++ = '.';
            for (int i = decpt; i < count; i++)
                *out++ = digits[i];
        }
    }
    *out = '\0';
    return static_cast<size_t>(out - buf);
}

void kelvoRespCmdCatDouble(rrc *req, double value)
{
    char text[64];
    kelvoRespCmdCatLen(req, text, kelvoDoubleText(text, value));
}

void kelvoRespCmdCatZValZStr(rrc *req, zval *value)
{
    zend_string *tmp;
    zend_string *str = zval_get_tmp_string(value, &tmp);
    kelvoRespCmdCatZStr(req, str);
    zend_tmp_string_release(tmp);
}

void kelvoRespCmdCatKeyLong(rrc *req, const zend_string *prefix, zend_long key)
{
    char text[21];
    kelvoRespCmdCatKeyLen(req, prefix, text, signedToString(text, key));
}

void kelvoRespCmdCatKeyZVal(rrc *req, const zend_string *prefix, zval *key)
{
    zend_string *tmp;
    zend_string *str = zval_get_tmp_string(key, &tmp);
    kelvoRespCmdCatKeyZStr(req, prefix, str);
    zend_tmp_string_release(tmp);
}

void kelvoRespCmdCatKeyHt(rrc *req, const zend_string *prefix, HashTable *keys)
{
    zval *key;
    ZEND_HASH_FOREACH_VAL(keys, key) { kelvoRespCmdCatKeyZVal(req, prefix, key); }
    ZEND_HASH_FOREACH_END();
}

void kelvoRespCmdCatHt(rrc *req, HashTable *values)
{
    zval *value;
    ZEND_HASH_FOREACH_VAL(values, value) { kelvoRespCmdCatZValZStr(req, value); }
    ZEND_HASH_FOREACH_END();
}

void kelvoRespCmdCatStreams(rrc *req, HashTable *streams, const zend_string *prefix)
{
    kelvoAssert(streams != NULL && zend_hash_num_elements(streams) > 0);
    kelvoRespCmdCatLen(req, "STREAMS", sizeof("STREAMS") - 1);

    zend_ulong index;
    zend_string *name;
    ZEND_HASH_FOREACH_KEY(streams, index, name)
    {
        if (name)
            kelvoRespCmdCatKeyZStr(req, prefix, name);
        else
            kelvoRespCmdCatKeyLong(req, prefix, static_cast<zend_long>(index));
    }
    ZEND_HASH_FOREACH_END();

    kelvoRespCmdCatHt(req, streams);
}
