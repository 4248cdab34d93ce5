// The server-error classifier: what is thrown with which code and message, what is recorded.
#include <gtest/gtest.h>

#include "runtime/errclass.h"

#include <cctype>
#include <cstring>
#include <string>

namespace {

constexpr uint32_t recordMode = kelvoOptPhpredisCompat;
constexpr uint32_t throwMode = kelvoOptPhpredisCompat | kelvoOptThrowOnError;
constexpr uint32_t plainMode = 0;

struct Case {
    const char *text;
    uint32_t flags;
    bool record;
    int code;
    const char *message; // null: the reply text
};

class Classifier : public testing::TestWithParam<Case> {};

} // namespace

TEST_P(Classifier, Verdict)
{
    const Case &c = GetParam();
    kelvoErrorVerdict v = kelvoClassifyErrorReply(c.text, strlen(c.text), c.flags);
    EXPECT_EQ(v.record, c.record) << c.text;
    EXPECT_EQ(v.code, c.code) << c.text;
    if (c.message)
        EXPECT_STREQ(v.message, c.message) << c.text;
    else
        EXPECT_EQ(v.message, nullptr) << c.text;
}

INSTANTIATE_TEST_SUITE_P(
    ErrorReplies, Classifier,
    testing::Values(
        Case{"ERR unknown command 'HELLO', with args beginning with: ", recordMode, false, KELVO_ERR_COMPAT,
             "Invalid HELLO reply, Redis Server version may be too old"},
        Case{"ERR unknown command `HELLO`, with args beginning with: ", plainMode, false, KELVO_ERR_COMPAT,
             "Invalid HELLO reply, Redis Server version may be too old"},
        Case{"NOAUTH Authentication required.", recordMode, false, KELVO_ERR_NOAUTH, "Authentication required"},
        Case{"NOAUTH", throwMode, false, KELVO_ERR_NOAUTH, "Authentication required"},
        Case{"WRONGPASS invalid username-password pair or user is disabled.", recordMode, false, KELVO_ERR_WRONGPASS,
             "Invalid username-password pair or user is disabled"},
        Case{"NOPROTO unsupported protocol version", recordMode, false, KELVO_ERR_PROTOCOL,
             "Protocol version unsupported"},
        Case{"Protocol version is not an integer or out of range", recordMode, false, KELVO_ERR_PROTOCOL,
             "Protocol version not an integer or out of range"},
        // The text servers really send for HELLO with a bad version.
        Case{"ERR Protocol version is not an integer or out of range", recordMode, false, KELVO_ERR_PROTOCOL,
             "Protocol version not an integer or out of range"},
        Case{"ERR wrong number of arguments for 'get' command", recordMode, true, KELVO_ERR_REDIS, nullptr},
        Case{"ERR wrong number of arguments for 'get' command", throwMode, false, KELVO_ERR_REDIS, nullptr},
        Case{"ERR wrong number of arguments for 'get' command", plainMode, false, KELVO_ERR_REDIS, nullptr},
        Case{"ERR wrong number of arguments for 'get' command", kelvoOptThrowOnError, false, KELVO_ERR_REDIS, nullptr},
        Case{"NOPERM this user has no permissions", recordMode, false, KELVO_ERR_REDIS, nullptr},
        Case{"MISCONF Redis is configured to save RDB snapshots", recordMode, false, KELVO_ERR_REDIS, nullptr},
        Case{"noauth lower case is an ordinary error", recordMode, true, KELVO_ERR_REDIS, nullptr},
        Case{"NOPE", recordMode, true, KELVO_ERR_REDIS, nullptr}, Case{"", recordMode, true, KELVO_ERR_REDIS, nullptr}),
    [](const testing::TestParamInfo<Case> &info) {
        std::string name = std::to_string(info.index) + "_";
        for (const char *p = info.param.text; *p && name.size() < 28; p++)
            name += isalnum(static_cast<unsigned char>(*p)) ? *p : '_';
        return name;
    });

TEST(ClassifierBounds, PrefixesNeverReadPastTheReply)
{
    // "NOAUTHX" cut to 5 bytes is not NOAUTH; the bytes after the length must not count.
    std::string text = "NOAUTHX";
    EXPECT_TRUE(kelvoClassifyErrorReply(text.data(), 5, recordMode).record);
    EXPECT_FALSE(kelvoClassifyErrorReply(text.data(), 6, recordMode).record);
}

TEST(ClassifierBounds, RecordModeNeedsCompatWithoutThrow)
{
    EXPECT_TRUE(kelvoRecordMode(kelvoOptPhpredisCompat));
    EXPECT_TRUE(kelvoRecordMode(kelvoOptPhpredisCompat | kelvoOptWithMeta));
    EXPECT_FALSE(kelvoRecordMode(throwMode));
    EXPECT_FALSE(kelvoRecordMode(plainMode));
}
