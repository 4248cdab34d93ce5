/* The server-error classifier. */
#include "runtime/errclass.h"

#include <cstring>

namespace {

struct ThrownPrefix {
    const char *prefix;
    int code;
    const char *message;
};

/* Always thrown, first match wins; prefixes compare bytes exactly. */
constexpr ThrownPrefix thrownPrefixes[] = {
    {"ERR unknown command `HELLO`", KELVO_ERR_COMPAT, "Invalid HELLO reply, Redis Server version may be too old"},
    {"ERR unknown command 'HELLO'", KELVO_ERR_COMPAT, "Invalid HELLO reply, Redis Server version may be too old"},
    {"NOAUTH", KELVO_ERR_NOAUTH, "Authentication required"},
    {"WRONGPASS", KELVO_ERR_WRONGPASS, "Invalid username-password pair or user is disabled"},
    {"NOPROTO", KELVO_ERR_PROTOCOL, "Protocol version unsupported"},
    {"Protocol version", KELVO_ERR_PROTOCOL, "Protocol version not an integer or out of range"},
    /* What servers actually send for HELLO with a bad version. */
    {"ERR Protocol version", KELVO_ERR_PROTOCOL, "Protocol version not an integer or out of range"},
};

/* Thrown with the server's text even in record mode. */
constexpr const char *alwaysThrownPrefixes[] = {"NOPERM", "MISCONF"};

bool startsWith(const char *text, size_t length, const char *prefix)
{
    size_t n = strlen(prefix);
    return length >= n && memcmp(text, prefix, n) == 0;
}

} // namespace

kelvoErrorVerdict kelvoClassifyErrorReply(const char *text, size_t length, uint32_t optionFlags)
{
    for (const ThrownPrefix &rule : thrownPrefixes)
        if (startsWith(text, length, rule.prefix))
            return {false, rule.code, rule.message};

    if (!kelvoRecordMode(optionFlags))
        return {false, KELVO_ERR_REDIS, nullptr};
    for (const char *prefix : alwaysThrownPrefixes)
        if (startsWith(text, length, prefix))
            return {false, KELVO_ERR_REDIS, nullptr};
    return {true, KELVO_ERR_REDIS, nullptr};
}
