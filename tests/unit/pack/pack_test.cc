/*
 * Value packing inside a running engine (the embed SAPI): round trips over
 * every serializer and compressor, byte compatibility with the engine's and
 * the extensions' own functions and with the zstd tool, the lz4 form,
 * corrupted and crafted values, numbers, digests and the library binding.
 */
#include "runtime/exception.h"
#include "pack/pack.h"
#include "pack/pack_libs.h"
#include "support/engine_exception.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <dlfcn.h>
#include <fstream>
#include <lzf.h>
#include <sstream>
#include <string>
#include <unistd.h>
#include <xxhash.h>

extern "C" {
#include "sapi/embed/php_embed.h"
#include "zend_exceptions.h"
#include "zend_ini.h"
}

namespace {

/* kelvo_test_pack(mixed $value, int $serializer, int $compressor): string, for paths that need PHP frames. */
ZEND_BEGIN_ARG_INFO_EX(arginfoTestPack, 0, 0, 3)
ZEND_ARG_INFO(0, value)
ZEND_ARG_INFO(0, serializer)
ZEND_ARG_INFO(0, compressor)
ZEND_END_ARG_INFO()

void testPack(INTERNAL_FUNCTION_PARAMETERS)
{
    zval *value;
    zend_long ser, cmp;
    ZEND_PARSE_PARAMETERS_START(3, 3)
    Z_PARAM_ZVAL(value)
    Z_PARAM_LONG(ser)
    Z_PARAM_LONG(cmp)
    ZEND_PARSE_PARAMETERS_END();
    kelvoPackOptions o = {kelvoSerInfoById(ser), kelvoCmpInfoById(cmp), 0, 0};
    kelvoPackResult res;
    kelvoPackTmp(&res, &o, value);
    RETVAL_STR_COPY(res.str);
    kelvoPackRelease(&res);
}

/* kelvo_test_select(bool $compressor, int $id): ?string, the name of the selected descriptor. */
ZEND_BEGIN_ARG_INFO_EX(arginfoTestSelect, 0, 0, 2)
ZEND_ARG_INFO(0, compressor)
ZEND_ARG_INFO(0, id)
ZEND_END_ARG_INFO()

void testSelect(INTERNAL_FUNCTION_PARAMETERS)
{
    bool compressor;
    zend_long id;
    ZEND_PARSE_PARAMETERS_START(2, 2)
    Z_PARAM_BOOL(compressor)
    Z_PARAM_LONG(id)
    ZEND_PARSE_PARAMETERS_END();
    if (compressor) {
        if (const kelvoCmpInfo *cmp = kelvoSelectCompressor(id))
            RETURN_STRING(cmp->name);
    } else if (const kelvoSerInfo *ser = kelvoSelectSerializer(id)) {
        RETURN_STRING(ser->name);
    }
    RETURN_NULL();
}

const zend_function_entry testFunctions[] = {
    {"kelvo_test_pack", testPack, arginfoTestPack, 3, 0},
    {"kelvo_test_select", testSelect, arginfoTestSelect, 2, 0},
    ZEND_FE_END,
};

/*
 * Loads a PHP extension the way dl() does, minus RTLD_DEEPBIND, which
 * the sanitizer runtime refuses.
 */
void loadExtension(const char *name)
{
    std::string path = std::string(INI_STR("extension_dir")) + "/" + name + ".so";
    void *handle = dlopen(path.c_str(), RTLD_NOW | RTLD_GLOBAL);
    ASSERT_NE(handle, nullptr) << dlerror();
    auto getModule = reinterpret_cast<zend_module_entry *(*)()>(dlsym(handle, "get_module"));
    ASSERT_NE(getModule, nullptr);
    zend_module_entry *module = getModule();
    module->type = MODULE_TEMPORARY; /* as dl() does: loaded within the running request */
    EG(full_tables_cleanup) = 1;
    module->module_number = zend_next_free_module();
    module = zend_register_module_ex(module);
    ASSERT_NE(module, nullptr);
    ASSERT_EQ(zend_startup_module_ex(module), SUCCESS);
    if (module->request_startup_func)
        module->request_startup_func(module->type, module->module_number);
}

/* The engine, without the host's ini files, with igbinary and msgpack loaded and the pack tables filled. */
class EngineEnvironment : public ::testing::Environment {
  public:
    void SetUp() override
    {
        setenv("PHPRC", "/nonexistent", 1);
        setenv("PHP_INI_SCAN_DIR", "", 1);
        ASSERT_EQ(php_embed_init(0, nullptr), SUCCESS);
        ASSERT_EQ(zend_register_functions(nullptr, testFunctions, nullptr, MODULE_PERSISTENT), SUCCESS);
        loadExtension("igbinary");
        loadExtension("msgpack");
        /* Kelvo\Exception belongs to the module; its messages and codes are what is checked here. */
        kelvo_exception_ce = zend_ce_exception;
        kelvoPackStartup();
    }
    void TearDown() override
    {
        kelvoPackShutdown();
        zend_unregister_functions(testFunctions, -1, nullptr);
        php_embed_shutdown();
    }
};

const auto *const engine = ::testing::AddGlobalTestEnvironment(new EngineEnvironment);

/* A PHP value owned by the test. */
struct Zv {
    zval v;
    Zv() { ZVAL_UNDEF(&v); }
    ~Zv() { zval_ptr_dtor(&v); }
    Zv(const Zv &) = delete;
    Zv &operator=(const Zv &) = delete;
    zval *operator&() { return &v; }
};

void eval(const std::string &expr, zval *out)
{
    ASSERT_EQ(zend_eval_stringl(expr.data(), expr.size(), out, "pack_test"), SUCCESS) << expr;
}

std::string evalString(const std::string &expr)
{
    Zv v;
    eval(expr, &v);
    return Z_TYPE(v.v) == IS_STRING ? std::string(Z_STRVAL(v.v), Z_STRLEN(v.v)) : std::string("<not a string>");
}

/* Engine equality: identity for plain values, same class and equal properties for objects. */
bool sameValue(zval *a, zval *b)
{
    if (Z_TYPE_P(a) == IS_OBJECT && Z_TYPE_P(b) == IS_OBJECT)
        return Z_OBJCE_P(a) == Z_OBJCE_P(b) && zend_compare(a, b) == 0;
    return zend_is_identical(a, b);
}

std::string show(zval *v)
{
    Zv arg, out;
    ZVAL_COPY(&arg.v, v);
    zval fn;
    ZVAL_STRING(&fn, "var_export");
    zval args[2];
    ZVAL_COPY_VALUE(&args[0], &arg.v);
    ZVAL_TRUE(&args[1]);
    call_user_function(nullptr, nullptr, &fn, &out.v, 2, args);
    zval_ptr_dtor(&fn);
    std::string s = Z_TYPE(out.v) == IS_STRING ? std::string(Z_STRVAL(out.v), Z_STRLEN(out.v)) : "?";
    return s.size() > 200 ? s.substr(0, 200) + "..." : s;
}

kelvoPackOptions opts(const kelvoSerInfo &ser, const kelvoCmpInfo &cmp, int32_t level = 0, uint16_t flags = 0)
{
    return {&ser, &cmp, level, flags};
}

std::string pack(const kelvoPackOptions *o, zval *value)
{
    kelvoPackResult res;
    kelvoPackTmp(&res, o, value);
    std::string bytes(ZSTR_VAL(res.str), ZSTR_LEN(res.str));
    kelvoPackRelease(&res);
    return bytes;
}

/* Unpacks from a terminated copy, as every engine string is. */
void unpack(const kelvoPackOptions *o, const std::string &bytes, zval *out)
{
    zend_string *copy = zend_string_init(bytes.data(), bytes.size(), 0);
    kelvoUnpackEx(o, out, ZSTR_VAL(copy), ZSTR_LEN(copy), nullptr);
    zend_string_release(copy);
}

std::string unpackedBytes(const kelvoPackOptions *o, const std::string &bytes)
{
    Zv out;
    unpack(o, bytes, &out);
    return Z_TYPE(out.v) == IS_STRING ? std::string(Z_STRVAL(out.v), Z_STRLEN(out.v)) : "<not a string>";
}

/* 64 KiB of seeded pseudo-random bytes, made once per process. Joined once rather than grown a
 * byte at a time: under the sanitizers every growth is a fresh allocation kept in quarantine. */
const char *const random64k = "($GLOBALS['random64k'] ?"
                              "?= (function () { mt_srand(7); $b = [];"
                              " for ($i = 0; $i < 65536; $i++) $b[] = chr(mt_rand(0, 255));"
                              " return implode('', $b); })())";

std::string hex(const std::string &bytes, size_t n)
{
    std::string out;
    char buf[4];
    for (size_t i = 0; i < n && i < bytes.size(); i++) {
        snprintf(buf, sizeof(buf), "%02x", static_cast<unsigned char>(bytes[i]));
        out += buf;
    }
    return out;
}

/* -- round trips ---------------------------------------------------------- */

struct Sample {
    const char *label;
    std::string value;  /* PHP expression */
    std::string asNone; /* what the none serializer gives back; empty: the value itself */
    std::string asJson; /* what json gives back; empty: the value itself; "skip": not representable */
};

const Sample samples[] = {
    {"empty", "''", "", ""},
    {"short", "'hello'", "", ""},
    {"repeated", "str_repeat('a', 1000)", "", ""},
    {"random binary", random64k, "", "skip"},
    {"random text", std::string("bin2hex(substr(") + random64k + ", 0, 32768))", "", ""},
    {"nested array", "['a' => [1, 2, ['b' => true, 'c' => null]], 'd' => 'x<y>']", "'Array'", ""},
    {"float", "0.1 + 0.2", "'0.3'", ""},
    {"integer", "-42", "'-42'", ""},
    {"object", "(object) ['a' => 1, 'b' => [2, 3]]", "'Object'", "['a' => 1, 'b' => [2, 3]]"},
};

using Combo = std::tuple<const kelvoSerInfo *, const kelvoCmpInfo *>;

class PackRoundTrip : public ::testing::TestWithParam<Combo> {};

TEST_P(PackRoundTrip, EveryValueComesBack)
{
    const kelvoSerInfo *ser = std::get<0>(GetParam());
    const kelvoCmpInfo *cmp = std::get<1>(GetParam());
    ASSERT_TRUE(kelvoSerializerAvailable(ser)) << ser->name;
    ASSERT_TRUE(kelvoCompressorAvailable(cmp)) << cmp->name;
    kelvoPackOptions o = opts(*ser, *cmp);
    for (const Sample &sample : samples) {
        std::string expect = sample.value;
        if (ser->id == KELVO_SERIALIZER_NONE && !sample.asNone.empty())
            expect = sample.asNone;
        if (ser->id == KELVO_SERIALIZER_JSON && sample.asJson == "skip")
            continue;
        if (ser->id == KELVO_SERIALIZER_JSON && !sample.asJson.empty())
            expect = sample.asJson;
        Zv value, expected, back;
        eval(sample.value, &value);
        eval(expect, &expected);
        unpack(&o, pack(&o, &value), &back);
        EXPECT_TRUE(sameValue(&expected, &back)) << sample.label << ": got " << show(&back);
    }
}

std::string comboName(const ::testing::TestParamInfo<Combo> &info)
{
    return std::string(std::get<0>(info.param)->name) + "_" + std::get<1>(info.param)->name;
}

INSTANTIATE_TEST_SUITE_P(
    AllSerializersAndCompressors, PackRoundTrip,
    ::testing::Combine(::testing::Values(&kelvoNoneSerInfo, &kelvoPhpSerInfo, &kelvoIgbinarySerInfo,
                                         &kelvoMsgpackSerInfo, &kelvoJsonSerInfo),
                       ::testing::Values(&kelvoNoneCmpInfo, &kelvoLZFCmpInfo, &kelvoZSTDCmpInfo, &kelvoLZ4CmpInfo)),
    comboName);

/* -- the bytes other producers write and read ----------------------------- */

struct Peer {
    const kelvoSerInfo *ser;
    const char *encoder; /* PHP function producing the same bytes, %s the value */
};

TEST(PackCompat, SerializersWriteAndReadThePeersBytes)
{
    const Peer peers[] = {
        {&kelvoPhpSerInfo, "serialize(%s)"},
        {&kelvoIgbinarySerInfo, "igbinary_serialize(%s)"},
        {&kelvoMsgpackSerInfo, "msgpack_pack(%s)"},
        {&kelvoJsonSerInfo, "json_encode(%s, JSON_HEX_TAG)"},
    };
    const char *const values[] = {"['k' => [1.5, true, null], 'tag' => '<b>']", "'plain'", "123"};
    for (const Peer &peer : peers) {
        kelvoPackOptions o = opts(*peer.ser, kelvoNoneCmpInfo);
        for (const char *value : values) {
            char expr[256];
            snprintf(expr, sizeof(expr), peer.encoder, value);
            std::string theirs = evalString(expr);
            Zv v, back, expected;
            eval(value, &v);
            EXPECT_EQ(pack(&o, &v), theirs) << peer.ser->name << " " << value;
            unpack(&o, theirs, &back);
            eval(value, &expected);
            EXPECT_TRUE(sameValue(&expected, &back)) << peer.ser->name << " " << value << ": " << show(&back);
        }
    }
}

std::string run(const std::string &command)
{
    std::string out;
    FILE *p = popen(command.c_str(), "r");
    if (!p)
        return out;
    char buf[4096];
    size_t n;
    while ((n = fread(buf, 1, sizeof(buf), p)) > 0)
        out.append(buf, n);
    pclose(p);
    return out;
}

struct TempFile {
    std::string path;
    explicit TempFile(const std::string &bytes)
    {
        char name[] = "/tmp/kelvo-pack-data-XXXXXX";
        int fd = mkstemp(name);
        path = name;
        if (fd >= 0) {
            if (write(fd, bytes.data(), bytes.size()) != static_cast<ssize_t>(bytes.size()))
                path.clear();
            close(fd);
        }
    }
    ~TempFile() { unlink(path.c_str()); }
};

std::string readFile(const std::string &path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

TEST(PackCompat, ZstdFramesAreTheToolsFrames)
{
    Zv v;
    eval(std::string("str_repeat('kelvo ', 5000) . ") + random64k, &v);
    std::string plain(Z_STRVAL(v.v), Z_STRLEN(v.v));
    kelvoPackOptions o = opts(kelvoNoneSerInfo, kelvoZSTDCmpInfo);

    TempFile ours(pack(&o, &v));
    EXPECT_EQ(run("zstd -q -d -c " + ours.path), plain);

    TempFile source(plain);
    TempFile theirs("");
    run("zstd -q -f -19 -o " + theirs.path + " " + source.path);
    EXPECT_EQ(unpackedBytes(&o, readFile(theirs.path)), plain);

    /* Streamed through a pipe, the tool records no content size: such a frame is left as it is. */
    std::string streamed = run("zstd -q -c < " + source.path);
    ASSERT_FALSE(streamed.empty());
    EXPECT_EQ(unpackedBytes(&o, streamed), streamed);
}

TEST(PackCompat, LzfOutputIsRawLzf)
{
    Zv v;
    eval("str_repeat('lzf data ', 400)", &v);
    kelvoPackOptions o = opts(kelvoNoneSerInfo, kelvoLZFCmpInfo);
    std::string packed = pack(&o, &v);
    std::string plain(Z_STRLEN(v.v), '\0');
    ASSERT_EQ(lzf_decompress(packed.data(), packed.size(), plain.data(), plain.size()), Z_STRLEN(v.v));
    EXPECT_EQ(plain, std::string(Z_STRVAL(v.v), Z_STRLEN(v.v)));
}

/* -- the lz4 form ----------------------------------------------------------- */

TEST(PackLz4, Crc8IsTheStandardOne) { EXPECT_EQ(kelvoCrc8(reinterpret_cast<const uint8_t *>("123456789"), 9), 0xF7); }

TEST(PackLz4, FrameStartsWithCrcAndLittleEndianLength)
{
    kelvoPackOptions o = opts(kelvoNoneSerInfo, kelvoLZ4CmpInfo);
    Zv thousand, five;
    eval("str_repeat('x', 1000)", &thousand);
    eval("'abcde'", &five);
    EXPECT_EQ(hex(pack(&o, &thousand), 5), "60e8030000");
    EXPECT_EQ(hex(pack(&o, &five), 5), "4205000000");
}

TEST(PackLz4, LevelChoosesTheCompressionFunction)
{
    Zv v;
    eval(std::string("str_repeat('abcdefgh', 300) . substr(") + random64k + ", 0, 300)", &v);
    const char *src = Z_STRVAL(v.v);
    int len = static_cast<int>(Z_STRLEN(v.v));
    std::string block(kelvoLZ4Fns.compressBound(len), '\0');
    for (int level : {9, 1, 12, 0, -1, 13}) {
        kelvoPackOptions o = opts(kelvoNoneSerInfo, kelvoLZ4CmpInfo, level);
        int n = level >= 1 && level <= 12
                    ? kelvoLZ4Fns.compressHC(src, block.data(), len, static_cast<int>(block.size()), level)
                    : kelvoLZ4Fns.compressDefault(src, block.data(), len, static_cast<int>(block.size()));
        EXPECT_EQ(pack(&o, &v).substr(5), block.substr(0, n)) << "level " << level;
    }
}

TEST(PackZstd, LevelZeroIsThreeAndHighLevelsAreLowered)
{
    Zv v;
    eval(std::string("str_repeat('zstd level ', 2000) . substr(") + random64k + ", 0, 2000)", &v);
    auto direct = [&](int level) {
        std::string out(kelvoZSTDFns.compressBound(Z_STRLEN(v.v)), '\0');
        size_t n = kelvoZSTDFns.compress(out.data(), out.size(), Z_STRVAL(v.v), Z_STRLEN(v.v), level);
        return out.substr(0, n);
    };
    const std::pair<int, int> levels[] = {{0, 3}, {100, kelvoZSTDFns.maxCLevel()}, {-5, -5}, {7, 7}};
    for (auto [given, used] : levels) {
        kelvoPackOptions o = opts(kelvoNoneSerInfo, kelvoZSTDCmpInfo, given);
        EXPECT_EQ(pack(&o, &v), direct(used)) << "level " << given;
    }
}

/* -- values that are not what the settings expect -------------------------- */

std::string lz4Header(uint32_t length)
{
    std::string h(5, '\0');
    for (int i = 0; i < 4; i++)
        h[1 + i] = static_cast<char>(length >> (8 * i));
    h[0] = static_cast<char>(kelvoCrc8(reinterpret_cast<const uint8_t *>(h.data() + 1), 4));
    return h;
}

/* A Zstandard frame that declares `size` bytes of content and holds one RLE block of `run` bytes. */
std::string zstdRleFrame(uint64_t size, uint32_t run)
{
    std::string f = "\x28\xb5\x2f\xfd";
    f += '\xe0'; /* single segment, 8-byte content size */
    for (int i = 0; i < 8; i++)
        f += static_cast<char>(size >> (8 * i));
    uint32_t block = 1 | (1 << 1) | (run << 3); /* last block, RLE */
    for (int i = 0; i < 3; i++)
        f += static_cast<char>(block >> (8 * i));
    f += 'z';
    return f;
}

struct Crafted {
    const char *label;
    const kelvoCmpInfo *cmp;
    std::string bytes;
};

TEST(PackCorrupt, CraftedAndDamagedValuesComeBackAsTheirBytes)
{
    Zv v;
    eval("str_repeat('payload ', 200)", &v);
    auto packedWith = [&](const kelvoCmpInfo &cmp) {
        kelvoPackOptions o = opts(kelvoPhpSerInfo, cmp);
        return pack(&o, &v);
    };
    std::string lz4 = packedWith(kelvoLZ4CmpInfo);
    std::string lz4BadCrc = lz4;
    lz4BadCrc[0] ^= 1;
    std::string lz4Truncated = lz4.substr(0, lz4.size() - 3);
    std::string zstd = packedWith(kelvoZSTDCmpInfo);
    std::string zstdTruncated = zstd.substr(0, zstd.size() - 4);
    std::string lzf = packedWith(kelvoLZFCmpInfo);
    std::string lzfDamaged = lzf;
    lzfDamaged[lzfDamaged.size() / 2] = '\xff';
    lzfDamaged[lzfDamaged.size() / 2 + 1] = '\xff';

    const Crafted cases[] = {
        /* A 9-byte value whose length claims 1 GiB: never allocated. */
        {"lz4 claims 1 GiB", &kelvoLZ4CmpInfo, lz4Header(0x40000000) + "abcd"},
        {"lz4 claims more than 255 bytes per byte", &kelvoLZ4CmpInfo, lz4Header(4 * 255 + 1) + "abcd"},
        {"lz4 negative length", &kelvoLZ4CmpInfo, lz4Header(0x80000001) + "abcd"},
        {"lz4 damaged crc", &kelvoLZ4CmpInfo, lz4BadCrc},
        {"lz4 truncated block", &kelvoLZ4CmpInfo, lz4Truncated},
        {"lz4 shorter than a header", &kelvoLZ4CmpInfo, "\x42\x05"},
        {"zstd claims a terabyte", &kelvoZSTDCmpInfo, zstdRleFrame(uint64_t{1} << 40, 16)},
        {"zstd content size not what it holds", &kelvoZSTDCmpInfo, zstdRleFrame(17, 16)},
        {"zstd truncated", &kelvoZSTDCmpInfo, zstdTruncated},
        {"lzf damaged", &kelvoLZFCmpInfo, lzfDamaged},
        {"lzf random bytes", &kelvoLZFCmpInfo, evalString(std::string("substr(") + random64k + ", 0, 5000)")},
    };
    for (const Crafted &c : cases) {
        for (const kelvoSerInfo *ser :
             {&kelvoNoneSerInfo, &kelvoPhpSerInfo, &kelvoIgbinarySerInfo, &kelvoMsgpackSerInfo, &kelvoJsonSerInfo}) {
            if (ser->id == KELVO_SERIALIZER_MSGPACK)
                continue; /* msgpack reads nearly any bytes as some value */
            kelvoPackOptions o = opts(*ser, *c.cmp);
            EXPECT_EQ(unpackedBytes(&o, c.bytes), c.bytes) << c.label << " with " << ser->name;
        }
    }
}

TEST(PackCorrupt, AnRleFrameThatIsHonestDecodes)
{
    kelvoPackOptions o = opts(kelvoNoneSerInfo, kelvoZSTDCmpInfo);
    EXPECT_EQ(unpackedBytes(&o, zstdRleFrame(16, 16)), std::string(16, 'z'));
}

TEST(PackCorrupt, UnreadableBytesReuseTheSourceString)
{
    kelvoPackOptions o = opts(kelvoPhpSerInfo, kelvoLZ4CmpInfo);
    zend_string *source = zend_string_init("not packed at all", 17, 0);
    Zv out;
    kelvoUnpackEx(&o, &out, ZSTR_VAL(source), ZSTR_LEN(source), source);
    ASSERT_EQ(Z_TYPE(out.v), IS_STRING);
    EXPECT_EQ(Z_STR(out.v), source);
    EXPECT_EQ(GC_REFCOUNT(source), 2u);
    zend_string_release(source);
}

TEST(PackCorrupt, IgbinaryNeedsItsHeader)
{
    std::string one = evalString("igbinary_serialize(1)");
    ASSERT_EQ(one.substr(0, 4), std::string("\0\0\0\2", 4));
    std::string version3 = one;
    version3[3] = 3;
    Zv out;
    EXPECT_EQ(kelvoIgbinarySerInfo.unserializeFn(&out, one.data(), 4), 0);
    EXPECT_EQ(kelvoIgbinarySerInfo.unserializeFn(&out, version3.data(), version3.size()), 0);
    EXPECT_NE(kelvoIgbinarySerInfo.unserializeFn(&out, one.data(), one.size()), 0);
    EXPECT_EQ(Z_TYPE(out.v), IS_LONG);
}

TEST(PackCorrupt, ForeignBytesDoNotWarn)
{
    const std::pair<const kelvoSerInfo *, std::string> cases[] = {
        {&kelvoIgbinarySerInfo, std::string("\0\0\0\2\xff\xff", 6)},
        {&kelvoMsgpackSerInfo, "\xc1"},
    };
    /* A handler sees every diagnostic; the ones that count are those error_reporting() lets through. */
    Zv ignored;
    eval("set_error_handler(function ($no, $text) {"
         " if (error_reporting() & $no) $GLOBALS['loud'][] = $text; return true; })",
         &ignored);
    for (const auto &[ser, bytes] : cases) {
        kelvoPackOptions o = opts(*ser, kelvoNoneCmpInfo);
        EXPECT_EQ(unpackedBytes(&o, bytes), bytes) << ser->name;
    }
    EXPECT_EQ(evalString("implode(' | ', $GLOBALS['loud'] ?? [])"), "");
    eval("restore_error_handler()", &ignored);
}

TEST(PackMsgpack, EveryFormWalksToItsEnd)
{
    const char *const values[] = {
        "0",
        "127",
        "128",
        "255",
        "256",
        "65535",
        "65536",
        "4294967296",
        "-1",
        "-32",
        "-33",
        "-128",
        "-129",
        "-32768",
        "-32769",
        "-2147483649",
        "1.5",
        "null",
        "true",
        "false",
        "str_repeat('s', 31)",
        "str_repeat('s', 32)",
        "str_repeat('s', 256)",
        "str_repeat('s', 65536)",
        "range(1, 15)",
        "range(1, 16)",
        "range(1, 65536)",
        "array_fill_keys(range('a', 'p'), 1)",
        "array_fill_keys(range(1, 70000), 'v')",
        "(object) ['a' => [1, ['b' => null]]]",
    };
    kelvoPackOptions o = opts(kelvoMsgpackSerInfo, kelvoNoneCmpInfo);
    for (const char *expr : values) {
        Zv v, back;
        eval(expr, &v);
        std::string packed = pack(&o, &v);
        EXPECT_EQ(kelvoMsgpackLength(reinterpret_cast<const uint8_t *>(packed.data()), packed.size()), packed.size())
            << expr;
        unpack(&o, packed, &back);
        EXPECT_TRUE(sameValue(&v.v, &back.v)) << expr;
    }
}

TEST(PackMsgpack, BytesThatAreNotOneWholeValueStayBytes)
{
    /* msgpack itself reads "hello" as 104 and drops the rest. */
    kelvoPackOptions o = opts(kelvoMsgpackSerInfo, kelvoNoneCmpInfo);
    const std::string cases[] = {
        "hello world",
        "5 apples",
        evalString("msgpack_pack([1, 2]) . 'x'"),
        evalString("substr(msgpack_pack(str_repeat('s', 300)), 0, -1)"),
        std::string("\xdd\xff\xff\xff\xff", 5),
        std::string("\xc1"),
    };
    for (const std::string &bytes : cases)
        EXPECT_EQ(unpackedBytes(&o, bytes), bytes) << hex(bytes, 8);
}

/* -- the memory budget ------------------------------------------------------ */

struct MemoryLimit {
    explicit MemoryLimit(const char *value) { set(value); }
    ~MemoryLimit() { set("128M"); }
    static void set(const char *value)
    {
        zend_string *name = zend_string_init(ZEND_STRL("memory_limit"), 0);
        zend_alter_ini_entry_chars(name, value, strlen(value), PHP_INI_USER, PHP_INI_STAGE_RUNTIME);
        zend_string_release(name);
    }
};

TEST(PackBudget, LargeValuesDecodeOnlyWithinTheMemoryLimit)
{
    Zv v;
    eval("str_repeat(\"\\0\", 16 << 20)", &v);
    for (const kelvoCmpInfo *cmp : {&kelvoLZ4CmpInfo, &kelvoZSTDCmpInfo, &kelvoLZFCmpInfo}) {
        kelvoPackOptions o = opts(kelvoNoneSerInfo, *cmp);
        std::string packed = pack(&o, &v);
        {
            MemoryLimit limit("-1");
            EXPECT_EQ(unpackedBytes(&o, packed).size(), size_t{16} << 20) << cmp->name;
        }
        {
            /* 8 MiB more than what is in use: too little for the value. */
            MemoryLimit limit(std::to_string(zend_memory_usage(true) + (8 << 20)).c_str());
            EXPECT_TRUE(unpackedBytes(&o, packed) == packed) << cmp->name;
        }
    }
}

TEST(PackBudget, UnlimitedMemoryStillCapsTheDeclaredSize)
{
    MemoryLimit limit("-1");
    kelvoPackOptions o = opts(kelvoNoneSerInfo, kelvoZSTDCmpInfo);
    /* Enough bytes that the ratio allows it, so only the cap refuses. */
    std::string frame = zstdRleFrame(kelvoUnpackHardCap + 1, 16) + std::string(1 << 16, '\0');
    EXPECT_EQ(unpackedBytes(&o, frame), frame);
}

/* -- packing rules ---------------------------------------------------------- */

TEST(PackPlain, NoneSerializerTurnsValuesIntoText)
{
    kelvoPackOptions o = opts(kelvoNoneSerInfo, kelvoNoneCmpInfo);
    const std::pair<const char *, const char *> cases[] = {
        {"[1]", "Array"}, {"new stdClass", "Object"}, {"null", ""}, {"false", ""}, {"true", "1"}, {"1.5", "1.5"},
    };
    for (auto [expr, text] : cases) {
        Zv v;
        eval(expr, &v);
        EXPECT_EQ(pack(&o, &v), text) << expr;
        EXPECT_EQ(pack(nullptr, &v), text) << expr;
    }
}

TEST(PackPlain, StringsAreLentNotCopied)
{
    Zv v;
    eval("str_repeat('s', 10)", &v);
    kelvoPackOptions none = opts(kelvoNoneSerInfo, kelvoNoneCmpInfo);
    for (const kelvoPackOptions *o : std::initializer_list<const kelvoPackOptions *>{&none, nullptr}) {
        kelvoPackResult res;
        kelvoPackTmp(&res, o, &v.v);
        EXPECT_EQ(res.str, Z_STR(v.v));
        EXPECT_EQ(res.tmp, nullptr);
    }
}

TEST(PackPlain, WithoutSettingsBytesStayAString)
{
    kelvoPackOptions o = opts(kelvoNoneSerInfo, kelvoNoneCmpInfo, 0, kelvoOptPackIgnoreNumbers);
    for (const kelvoPackOptions *settings : std::initializer_list<const kelvoPackOptions *>{&o, nullptr}) {
        Zv out;
        unpack(settings, "42", &out);
        ASSERT_EQ(Z_TYPE(out.v), IS_STRING);
    }
}

TEST(PackPlain, UncompressedBytesAreUnserializedAfterDecompressionFails)
{
    /* What another client writes without compression, or what was sent uncompressed. */
    for (const kelvoCmpInfo *cmp : {&kelvoLZFCmpInfo, &kelvoZSTDCmpInfo, &kelvoLZ4CmpInfo}) {
        kelvoPackOptions o = opts(kelvoPhpSerInfo, *cmp);
        Zv back, expected;
        unpack(&o, evalString("serialize(['x' => 1.5])"), &back);
        eval("['x' => 1.5]", &expected);
        EXPECT_TRUE(sameValue(&expected, &back)) << cmp->name << ": " << show(&back);
    }
}

TEST(PackPlain, EmptyStringsAreSentUncompressed)
{
    Zv v;
    eval("''", &v);
    for (const kelvoCmpInfo *cmp : {&kelvoLZFCmpInfo, &kelvoLZ4CmpInfo}) {
        kelvoPackOptions o = opts(kelvoNoneSerInfo, *cmp);
        EXPECT_EQ(pack(&o, &v), "") << cmp->name;
    }
}

/* A value a serializer cannot write exactly is refused: never a stand-in, never half a document. */
TEST(PackPlain, ValuesASerializerCannotWriteAreRefused)
{
    struct Refusal {
        const kelvoSerInfo *ser;
        const char *value;
        const char *why; /* the json reason; null for an exception */
    };
    const Refusal cases[] = {
        {&kelvoJsonSerInfo, "['ok', \"bad \\xff utf-8\"]", "Malformed UTF-8 characters, possibly incorrectly encoded"},
        {&kelvoJsonSerInfo, "NAN", "Inf and NaN cannot be JSON encoded"},
        {&kelvoJsonSerInfo, "['a' => [1, -INF]]", "Inf and NaN cannot be JSON encoded"},
        {&kelvoJsonSerInfo, "fopen('php://memory', 'r')", "Type is not supported"},
        {&kelvoPhpSerInfo, "function () {}", nullptr},
        {&kelvoIgbinarySerInfo, "function () {}", nullptr},
    };
    for (const Refusal &c : cases) {
        for (const kelvoCmpInfo *cmp : {&kelvoNoneCmpInfo, &kelvoLZ4CmpInfo}) {
            SCOPED_TRACE(std::string(c.ser->name) + " " + c.value);
            Zv v;
            eval(c.value, &v);
            kelvoPackOptions o = opts(*c.ser, *cmp);
            kelvoPackResult res;
            FakeFrame frame; /* an exception needs a caller to reach */
            EXPECT_FALSE(kelvoPackTmp(&res, &o, &v.v));
            EXPECT_EQ(ZSTR_LEN(res.str), 0u);
            kelvoPackRelease(&res);
            if (c.why) {
                EXPECT_STREQ(kelvoJsonFailureText(), c.why);
                EXPECT_EQ(EG(exception), nullptr);
            } else {
                EXPECT_NE(EG(exception), nullptr);
                zend_clear_exception();
            }
        }
    }
    Zv fine;
    eval("['x' => 1.5]", &fine);
    kelvoPackOptions o = opts(kelvoJsonSerInfo, kelvoNoneCmpInfo);
    kelvoPackResult res;
    EXPECT_TRUE(kelvoPackTmp(&res, &o, &fine.v));
    EXPECT_EQ(std::string(ZSTR_VAL(res.str), ZSTR_LEN(res.str)), "{\"x\":1.5}");
    EXPECT_EQ(kelvoJsonFailureText(), nullptr);
    kelvoPackRelease(&res);
}

TEST(PackPlain, SerializationExceptionsReachTheCaller)
{
    EXPECT_EQ(evalString("(function () { try { kelvo_test_pack(function () {}, 1, 3); return 'none'; }"
                         " catch (Exception $e) { return $e->getMessage(); } })()"),
              "Serialization of 'Closure' is not allowed");
}

/* -- numbers as text -------------------------------------------------------- */

struct NumberCase {
    const char *expr;
    const char *text;
};

TEST(PackNumbers, NumbersAreWrittenAsTextThatReadsBackTheSame)
{
    const NumberCase cases[] = {
        {"42", "42"},
        {"-7", "-7"},
        {"PHP_INT_MAX", "9223372036854775807"},
        {"0.1 + 0.2", "0.30000000000000004"},
        {"1.0", "1.0"},
        {"-0.0", "-0.0"},
        {"1e25", "1.0E+25"},
        {"1.5", "1.5"},
    };
    for (const kelvoCmpInfo *cmp : {&kelvoNoneCmpInfo, &kelvoLZFCmpInfo, &kelvoLZ4CmpInfo}) {
        for (const kelvoSerInfo *ser : {&kelvoNoneSerInfo, &kelvoPhpSerInfo, &kelvoJsonSerInfo}) {
            if (ser->id == KELVO_SERIALIZER_NONE && cmp->id == KELVO_COMPRESSION_NONE)
                continue; /* nothing to undo: bytes stay strings */
            kelvoPackOptions o = opts(*ser, *cmp, 0, kelvoOptPackIgnoreNumbers);
            for (const NumberCase &c : cases) {
                Zv v, back;
                eval(c.expr, &v);
                std::string packed = pack(&o, &v);
                EXPECT_EQ(packed, c.text) << c.expr << " " << ser->name << "/" << cmp->name;
                unpack(&o, packed, &back);
                EXPECT_TRUE(zend_is_identical(&v.v, &back.v)) << c.expr << " came back as " << show(&back.v);
            }
        }
    }
}

TEST(PackNumbers, NonFiniteFloatsGoThroughTheSerializer)
{
    kelvoPackOptions o = opts(kelvoPhpSerInfo, kelvoNoneCmpInfo, 0, kelvoOptPackIgnoreNumbers);
    for (const char *expr : {"INF", "-INF"}) {
        Zv v, back;
        eval(expr, &v);
        std::string packed = pack(&o, &v);
        EXPECT_EQ(packed, evalString(std::string("serialize(") + expr + ")"));
        unpack(&o, packed, &back);
        EXPECT_TRUE(zend_is_identical(&v.v, &back.v)) << expr;
    }
}

TEST(PackNumbers, OnlyWholeShortNumericStringsAreNumbers)
{
    kelvoPackOptions o = opts(kelvoPhpSerInfo, kelvoNoneCmpInfo, 0, kelvoOptPackIgnoreNumbers);
    const std::pair<std::string, zend_uchar> cases[] = {
        {"12", IS_LONG},
        {"1.5", IS_DOUBLE},
        {"12abc", IS_STRING},
        {"a12", IS_STRING},
        {std::string(511, '1'), IS_DOUBLE},
        {std::string(512, '1'), IS_STRING},
    };
    for (const auto &[bytes, type] : cases) {
        Zv out;
        unpack(&o, bytes, &out);
        EXPECT_EQ(Z_TYPE(out.v), type) << bytes.substr(0, 20);
    }
}

/* -- digest ------------------------------------------------------------------ */

TEST(PackDigest, IsTheHashOfThePackedBytesInSixteenDigits)
{
    kelvoPackOptions plain = opts(kelvoNoneSerInfo, kelvoNoneCmpInfo);
    kelvoPackOptions php = opts(kelvoPhpSerInfo, kelvoNoneCmpInfo);
    /* A value whose hash has fewer than 16 significant digits still gives 16. */
    for (int i = 0;; i++) {
        std::string text = "key" + std::to_string(i);
        if (XXH3_64bits(text.data(), text.size()) >> 60)
            continue;
        Zv v;
        ZVAL_STRINGL(&v.v, text.data(), text.size());
        zend_string *digest = kelvoDigest(&plain, &v.v);
        char expect[17];
        snprintf(expect, sizeof(expect), "%016llx",
                 static_cast<unsigned long long>(XXH3_64bits(text.data(), text.size())));
        EXPECT_EQ(std::string(ZSTR_VAL(digest), ZSTR_LEN(digest)), expect);
        EXPECT_EQ(expect[0], '0');
        zend_string *other = kelvoDigest(&php, &v.v);
        EXPECT_NE(std::string(ZSTR_VAL(other)), expect);
        EXPECT_EQ(ZSTR_LEN(other), 16u);
        zend_string_release(digest);
        zend_string_release(other);
        break;
    }
}

/* -- choosing a serializer or compressor ----------------------------------- */

std::string select(bool compressor, int id)
{
    char expr[256];
    snprintf(expr, sizeof(expr),
             "(function () { try { return kelvo_test_select(%s, %d) ?? 'null'; }"
             " catch (Exception $e) { return $e->getCode() . ': ' . $e->getMessage(); } })()",
             compressor ? "true" : "false", id);
    return evalString(expr);
}

/* Empties one run-time table for the length of a test. */
template <typename Table>
struct Unavailable {
    Table &table;
    Table saved;
    explicit Unavailable(Table &t) : table(t), saved(t) { table = {}; }
    ~Unavailable() { table = saved; }
};

TEST(PackSelect, AvailableChoicesAndIdsOutOfRange)
{
    EXPECT_EQ(select(false, 2), "igbinary");
    EXPECT_EQ(select(false, 5), "null");
    EXPECT_EQ(select(true, 3), "LZ4");
    EXPECT_EQ(select(true, -1), "null");
}

TEST(PackSelect, UnavailableChoicesAreConfigurationErrors)
{
    const std::string code = std::to_string(KELVO_ERR_CONFIG) + ": ";
    {
        Unavailable<kelvoIgbinaryFnTable> gone(kelvoIgbinaryFns);
        EXPECT_EQ(select(false, 2).rfind(code + "The igbinary serializer is unavailable because the igbinary "
                                                "extension is incompatible (missing symbols or too old)",
                                         0),
                  0u)
            << select(false, 2);
    }
    {
        Unavailable<kelvoZSTDFnTable> gone(kelvoZSTDFns);
        EXPECT_EQ(select(true, 2).rfind(code + "The zstd compressor is unavailable because libzstd is not loaded, "
                                               "is too old, or is missing required symbols",
                                        0),
                  0u)
            << select(true, 2);
    }
    {
        Unavailable<kelvoLZ4FnTable> gone(kelvoLZ4Fns);
        EXPECT_EQ(select(true, 3).rfind(code + "The lz4 compressor is unavailable because liblz4 is not loaded, "
                                               "is too old, or is missing required symbols",
                                        0),
                  0u)
            << select(true, 3);
    }
}

/* -- descriptors and binding ------------------------------------------------- */

TEST(PackDescriptors, IdsAndNames)
{
    const char *const serNames[] = {"none", "php", "igbinary", "msgpack", "json"};
    const char *const cmpNames[] = {"none", "lzf", "ZSTD", "LZ4"};
    for (zend_long id = 0; id < 5; id++) {
        ASSERT_NE(kelvoSerInfoById(id), nullptr);
        EXPECT_EQ(kelvoSerInfoById(id)->id, static_cast<uint64_t>(id));
        EXPECT_STREQ(kelvoSerInfoById(id)->name, serNames[id]);
    }
    for (zend_long id = 0; id < 4; id++) {
        ASSERT_NE(kelvoCmpInfoById(id), nullptr);
        EXPECT_EQ(kelvoCmpInfoById(id)->id, static_cast<uint64_t>(id));
        EXPECT_STREQ(kelvoCmpInfoById(id)->name, cmpNames[id]);
    }
    EXPECT_EQ(kelvoSerInfoById(5), nullptr);
    EXPECT_EQ(kelvoSerInfoById(-1), nullptr);
    EXPECT_EQ(kelvoCmpInfoById(4), nullptr);
    EXPECT_EQ(kelvoNoneSerInfo.unserializeFn, nullptr);
    EXPECT_EQ(kelvoNoneCmpInfo.compressFn, nullptr);
}

TEST(PackBinding, LibrariesNotInTheProcessAreLoadedByName)
{
    /* Nothing in this test binary links them, so start-up had to open them. */
    ASSERT_TRUE(kelvoCompressorAvailable(&kelvoLZ4CmpInfo));
    ASSERT_TRUE(kelvoCompressorAvailable(&kelvoZSTDCmpInfo));
    EXPECT_NE(kelvoLZ4Fns.handle, nullptr);
    EXPECT_NE(kelvoZSTDFns.handle, nullptr);
    EXPECT_GT(kelvoZSTDFns.versionNumber(), 10299u);
    EXPECT_GT(kelvoLZ4Fns.versionNumber(), 10299);
}

TEST(PackBinding, ALibraryAlreadyInTheProcessIsUsedWithoutAHandle)
{
    kelvoZSTDFnTable saved = kelvoZSTDFns;
    void *global = dlopen("libzstd.so.1", RTLD_NOW | RTLD_GLOBAL);
    ASSERT_NE(global, nullptr);
    EXPECT_TRUE(kelvoZSTDResolveFrom(nullptr, nullptr));
    EXPECT_EQ(kelvoZSTDFns.handle, nullptr);
    EXPECT_NE(kelvoZSTDFns.compress, nullptr);
    kelvoZSTDFns = saved;
    dlclose(global);
}

TEST(PackBinding, ALibraryMissingFunctionsLeavesTheTableAlone)
{
    kelvoZSTDFnTable before = kelvoZSTDFns;
    void *lz4 = dlopen("liblz4.so.1", RTLD_LAZY);
    ASSERT_NE(lz4, nullptr);
    EXPECT_FALSE(kelvoZSTDResolveFrom(lz4, lz4));
    EXPECT_EQ(kelvoZSTDFns.compress, before.compress);
    EXPECT_EQ(kelvoZSTDFns.handle, before.handle);
    dlclose(lz4);
}

TEST(PackBinding, SerializerExtensionsAreFoundByName)
{
    EXPECT_TRUE(kelvoSerializerAvailable(&kelvoIgbinarySerInfo));
    EXPECT_TRUE(kelvoSerializerAvailable(&kelvoMsgpackSerInfo));
    EXPECT_EQ(kelvoIgbinaryFns.serialize, dlsym(RTLD_DEFAULT, "igbinary_serialize"));
    EXPECT_EQ(kelvoMsgpackFns.unserialize, dlsym(RTLD_DEFAULT, "php_msgpack_unserialize"));
}

} // namespace
