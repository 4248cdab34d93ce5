/*
 * The subcommand commands: the administration appenders (CONFIG, CLIENT, CLUSTER, COMMAND,
 * SCRIPT, SLOWLOG, ACL) with their builders and reply formatters, PUBSUB with its formatter,
 * and the pass-through COMMANDLOG and FUNCTION.
 */
#include "commands/admin.h"

#include "commands/cmdroles.h"
#include "commands/builder.h"
#include "commands/formatter.h"

#include <array>
#include <cstring>

using namespace kelvoFormat;

namespace {

/* -- the subcommand rules ------------------------------------------------------------------------- */

constexpr uint32_t kAny = UINT32_MAX;

using Words = std::array<const char *, 4>; /* upper case; unused slots null */

/* What one further argument must be, when it is present. */
struct ArgCheck {
    enum Kind : uint8_t { None, Word, Integer, Array };
    Kind kind = None;
    uint8_t at = 0;
    Words words = {};
};

/*
 * What a subcommand accepts of its further arguments, and the message for each way of missing
 * it. Messages take the caller's subcommand text for "%s" and the minimum for "%d".
 */
struct Rule {
    const char *name;
    uint8_t context = 0;
    uint32_t min = 0;
    uint32_t max = kAny;
    bool noneOk = false; /* no further argument at all is accepted whatever `min` says */
    bool pairs = false;  /* an even number only */
    const char *few = nullptr;
    const char *many = nullptr;
    ArgCheck checks[2] = {};
    const char *invalid = nullptr;
    /* Refused outright, or (with `refusedWords`) when the first further argument is one of them. */
    const char *refused = nullptr;
    Words refusedWords = {};

    constexpr Rule withContext(uint8_t c) const
    {
        Rule r = *this;
        r.context = c;
        return r;
    }
    constexpr Rule atLeast(uint32_t n, const char *message) const
    {
        Rule r = *this;
        r.min = n;
        r.few = message;
        return r;
    }
    constexpr Rule atMost(uint32_t n, const char *message) const
    {
        Rule r = *this;
        r.max = n;
        r.many = message;
        return r;
    }
    constexpr Rule exactly(uint32_t n, const char *message) const { return atLeast(n, message).atMost(n, message); }
    constexpr Rule orNone() const
    {
        Rule r = *this;
        r.noneOk = true;
        return r;
    }
    constexpr Rule inPairs() const
    {
        Rule r = *this;
        r.pairs = true;
        return r;
    }
    constexpr Rule must(ArgCheck check, const char *message) const
    {
        Rule r = *this;
        r.checks[r.checks[0].kind == ArgCheck::None ? 0 : 1] = check;
        r.invalid = message;
        return r;
    }
    constexpr Rule refuse(const char *message, Words words = {}) const
    {
        Rule r = *this;
        r.refused = message;
        r.refusedWords = words;
        return r;
    }
};

constexpr ArgCheck word(uint8_t at, Words words) { return {ArgCheck::Word, at, words}; }
constexpr ArgCheck integer(uint8_t at) { return {ArgCheck::Integer, at, {}}; }
constexpr ArgCheck array(uint8_t at) { return {ArgCheck::Array, at, {}}; }

/* The rules of one command; `unknown` refuses any other subcommand, or (null) lets it through. */
template <size_t N>
struct Subcommands {
    std::array<Rule, N> rules;
    const char *unknown;
};

bool isWord(const char *text, size_t len, const char *word)
{
    return strlen(word) == len && strncasecmp(text, word, len) == 0;
}

bool isOneOf(zval *value, const Words &words)
{
    ZVAL_DEREF(value);
    if (Z_TYPE_P(value) != IS_STRING)
        return false;
    for (const char *w : words)
        if (w && isWord(Z_STRVAL_P(value), Z_STRLEN_P(value), w))
            return true;
    return false;
}

bool accepts(const ArgCheck &check, zval *value)
{
    ZVAL_DEREF(value);
    switch (check.kind) {
    case ArgCheck::Word:
        return isOneOf(value, check.words);
    case ArgCheck::Integer:
        return Z_TYPE_P(value) == IS_LONG;
    case ArgCheck::Array:
        return Z_TYPE_P(value) == IS_ARRAY;
    default:
        return true;
    }
}

template <size_t N>
const Rule *lookup(const Subcommands<N> &set, const zend_string *subcommand)
{
    for (const Rule &r : set.rules)
        if (isWord(ZSTR_VAL(subcommand), ZSTR_LEN(subcommand), r.name))
            return &r;
    return nullptr;
}

bool refusedByWord(const Rule &r, uint32_t argc, zval *args)
{
    return r.refused && (r.refusedWords[0] == nullptr || (argc > 0 && isOneOf(&args[0], r.refusedWords)));
}

int refuse(const char *message, const zend_string *subcommand, uint32_t min = 0)
{
    return kelvoRefuse(message, ZSTR_VAL(subcommand), static_cast<int>(min));
}

/* 0 when the rule accepts the further arguments; -1 after its warning. */
int check(const Rule &r, const zend_string *subcommand, uint32_t argc, zval *args)
{
    if (refusedByWord(r, argc, args))
        return refuse(r.refused, subcommand);
    if (argc > r.max)
        return refuse(r.many, subcommand);
    if (argc == 0 && r.noneOk)
        return 0;
    if (argc < r.min || (r.pairs && argc % 2))
        return refuse(r.few, subcommand, r.min);
    for (const ArgCheck &c : r.checks)
        if (c.kind != ArgCheck::None && argc > c.at && !accepts(c, &args[c.at]))
            return refuse(r.invalid, subcommand);
    return 0;
}

/* Checks the subcommand against its command's rules and notes its context: 0, or -1 after the warning. */
template <size_t N>
int checkSubcommand(rrc *req, const Subcommands<N> &set, const zend_string *subcommand, uint32_t argc, zval *args)
{
    const Rule *rule = lookup(set, subcommand);
    if (!rule)
        return set.unknown ? refuse(set.unknown, subcommand) : 0;
    req->context = rule->context;
    return check(*rule, subcommand, argc, args);
}

/* The subcommand as the caller wrote it, then every further argument as plain text. */
void catSubcommand(rrc *req, const zend_string *subcommand, uint32_t argc, zval *args)
{
    kelvoReserveArgs(req, argc + 1);
    kelvoRespCmdCatZStr(req, subcommand);
    for (uint32_t i = 0; i < argc; i++)
        kelvoCatPlain(req, &args[i]);
}

template <size_t N>
int appendChecked(rrc *req, const Subcommands<N> &set, zend_string *subcommand, uint32_t argc, zval *args)
{
    if (checkSubcommand(req, set, subcommand, argc, args) != 0)
        return -1;
    catSubcommand(req, subcommand, argc, args);
    return 0;
}

/* -- the tables ---------------------------------------------------------------------------------- */

constexpr const char kNoArguments[] = "'%s' subcommand doesn't accept arguments";
constexpr const char kOneOrMore[] = "'%s' subcommand requires at least one argument";
constexpr const char kExactlyOne[] = "'%s' subcommand requires exactly one argument";
constexpr const char kAtMostOne[] = "'%s' subcommand requires doesn't accept more than one argument";
constexpr const char kAtMostThree[] = "'%s' subcommand requires doesn't accept more than three arguments";
constexpr const char kInvalid[] = "Invalid argument specified for '%s' subcommand";
constexpr const char kUnexpected[] = "Unexpected subcommand '%s'";

constexpr Subcommands<27> clusterSubcommands = {
    {
        Rule{"ADDSLOTS"}.atLeast(1, kOneOrMore),
        Rule{"DELSLOTS"}.atLeast(1, kOneOrMore),
        Rule{"ADDSLOTSRANGE"}.atLeast(2, "'%s' subcommand requires start and end slots").inPairs(),
        Rule{"DELSLOTSRANGE"}.atLeast(2, "'%s' subcommand requires start and end slots").inPairs(),
        Rule{"BUMPEPOCH"}.atMost(0, kNoArguments),
        Rule{"FLUSHSLOTS"}.atMost(0, kNoArguments),
        Rule{"LINKS"}.atMost(0, kNoArguments),
        Rule{"MYID"}.atMost(0, kNoArguments),
        Rule{"MYSHARDID"}.atMost(0, kNoArguments),
        Rule{"NODES"}.atMost(0, kNoArguments),
        Rule{"SAVECONFIG"}.atMost(0, kNoArguments),
        Rule{"SHARDS"}.atMost(0, kNoArguments),
        Rule{"SLOTS"}.atMost(0, kNoArguments),
        Rule{"COUNT-FAILURE-REPORTS"}.exactly(1, kExactlyOne),
        Rule{"COUNTKEYSINSLOT"}.exactly(1, kExactlyOne),
        Rule{"KEYSLOT"}.exactly(1, kExactlyOne),
        Rule{"FORGET"}.exactly(1, kExactlyOne),
        Rule{"REPLICAS"}.exactly(1, kExactlyOne),
        Rule{"REPLICATE"}.exactly(1, kExactlyOne),
        Rule{"SET-CONFIG-EPOCH"}.exactly(1, kExactlyOne),
        Rule{"SLAVES"}.exactly(1, kExactlyOne),
        Rule{"FAILOVER"}.atMost(1, kAtMostOne).must(word(0, {"FORCE", "TAKEOVER"}), kInvalid),
        Rule{"RESET"}.atMost(1, kAtMostOne).must(word(0, {"HARD", "SOFT"}), kInvalid),
        Rule{"GETKEYSINSLOT"}.exactly(2, "'%s' subcommand requires exactly two arguments"),
        Rule{"MEET"}.atLeast(2, "'%s' subcommand requires at least two arguments").atMost(3, kAtMostThree),
        Rule{"SETSLOT"}
            .atLeast(1, kOneOrMore)
            .atMost(3, kAtMostThree)
            .must(word(1, {"IMPORTING", "MIGRATING", "NODE", "STABLE"}), kInvalid),
        Rule{"INFO"}.withContext(1),
    },
    kUnexpected,
};

constexpr const char kNeedsCommand[] = "'%s' subcommand requires command argument";

constexpr Subcommands<6> commandSubcommands = {
    {
        Rule{"COUNT"}.atMost(0, kNoArguments).withContext(1),
        Rule{"DOCS"}.withContext(2),
        Rule{"GETKEYS"}.atLeast(1, kNeedsCommand).withContext(3),
        Rule{"GETKEYSANDFLAGS"}.atLeast(1, kNeedsCommand).withContext(4),
        Rule{"INFO"}.withContext(5),
        Rule{"LIST"}
            .atLeast(3, "'%s' subcommand requires 3 arguments")
            .orNone()
            .must(word(0, {"FILTERBY"}), kInvalid)
            .must(word(1, {"MODULE", "ACLCAT", "PATTERN"}), kInvalid)
            .withContext(6),
    },
    kUnexpected,
};

constexpr const char kScriptAtMostOne[] = "'%s' doesn't accept more than one argument";
constexpr const char kScriptInvalid[] = "Invalid argument specified for '%s'";
constexpr const char kScriptExactlyOne[] = "'%s' requires exactly one argument";

constexpr Subcommands<6> scriptSubcommands = {
    {
        /* A debugging session answers in the debugger's own protocol: the client would misread it. */
        Rule{"DEBUG"}
            .atMost(1, kScriptAtMostOne)
            .must(word(0, {"YES", "SYNC", "NO"}), kScriptInvalid)
            .refuse("SCRIPT DEBUG YES and SYNC are disabled for Kelvo", {"YES", "SYNC"})
            .withContext(1),
        Rule{"EXISTS"}.atLeast(1, "'%s' requires minimum one argument").withContext(2),
        Rule{"FLUSH"}.atMost(1, kScriptAtMostOne).must(word(0, {"ASYNC", "SYNC"}), kScriptInvalid).withContext(3),
        Rule{"KILL"}.atMost(0, "'%s' doesn't accept arguments").withContext(4),
        Rule{"LOAD"}.exactly(1, kScriptExactlyOne).withContext(5),
        Rule{"SHOW"}.exactly(1, kScriptExactlyOne).withContext(6),
    },
    "Unknown subcommand '%s'",
};

constexpr Subcommands<3> slowlogSubcommands = {
    {
        Rule{"GET"}.atMost(1, "'%s' subcommand doesn't accept more than one argument").must(integer(0), kInvalid),
        Rule{"LEN"}.atMost(0, kNoArguments),
        Rule{"RESET"}.atMost(0, kNoArguments),
    },
    "Unknown subcommand '%s'",
};

constexpr const char kAclMinimum[] = "ACL '%s' requires at least %d arguments";

constexpr Subcommands<4> aclSubcommands = {
    {
        Rule{"SETUSER"}.atLeast(1, kAclMinimum),
        Rule{"DELUSER"}.atLeast(1, kAclMinimum),
        Rule{"GETUSER"}.atLeast(1, kAclMinimum),
        Rule{"DRYRUN"}.atLeast(2, kAclMinimum),
    },
    nullptr,
};

constexpr Subcommands<5> clientSubcommands = {
    {
        /* The client switches tracking itself; a manual switch would leave its cache stale. */
        Rule{"TRACKING"}.refuse("Manual CLIENT TRACKING is disabled for Kelvo"),
        /* Without replies the client would wait for ever. */
        Rule{"REPLY"}.refuse("CLIENT REPLY OFF and SKIP are disabled for Kelvo", {"OFF", "SKIP"}),
        Rule{"CAPA"}.atLeast(1, "CLIENT CAPA requests at least one argument").withContext(kelvoClientCapa),
        Rule{"LIST"}.withContext(kelvoClientList),
        Rule{"INFO"}.withContext(kelvoClientInfo),
    },
    nullptr,
};

constexpr Subcommands<5> pubsubSubcommands = {
    {
        Rule{"NUMPAT"}.atMost(0, kNoArguments).withContext(1),
        Rule{"CHANNELS"}.atMost(1, "'%s' subcommand doesn't accept more than one argument").withContext(2),
        Rule{"SHARDCHANNELS"}.atMost(1, "'%s' subcommand doesn't accept more than one argument").withContext(2),
        Rule{"NUMSUB"}
            .atMost(1, "'%s' subcommand doesn't accept more than one argument")
            .must(array(0), "'%s' subcommand requires array argument")
            .withContext(3),
        Rule{"SHARDNUMSUB"}
            .atMost(1, "'%s' subcommand doesn't accept more than one argument")
            .must(array(0), "'%s' subcommand requires array argument")
            .withContext(3),
    },
    kUnexpected,
};

/* An explicit null at the end means what leaving the argument out means. */
uint32_t withoutTrailingNulls(zval *args, uint32_t argc)
{
    while (argc > 0 && Z_TYPE_P(kelvoDeref(&args[argc - 1])) == IS_NULL)
        argc--;
    return argc;
}

/* Every element of an array, holes skipped, as plain text. */
void catPlainElements(rrc *req, zval *array)
{
    zval *element;
    ZEND_HASH_FOREACH_VAL(Z_ARRVAL_P(array), element) { kelvoCatPlain(req, element); }
    ZEND_HASH_FOREACH_END();
}

} // namespace

/* -- appenders ------------------------------------------------------------------------------------ */

int kelvoRespConfigCmd(rrc *req, zend_string *subcommand, uint32_t argc, zval *args)
{
    argc = withoutTrailingNulls(args, argc);
    if (kelvoIsWord(subcommand, "GET")) {
        if (argc == 0)
            return kelvoRefuse("Must get at least one setting");
        kelvoRespCmdCatZStr(req, subcommand);
        for (uint32_t i = 0; i < argc; i++) {
            zval *name = kelvoDeref(&args[i]);
            if (Z_TYPE_P(name) == IS_ARRAY)
                catPlainElements(req, name);
            else
                kelvoCatPlain(req, name);
        }
        return 0;
    }
    if (!kelvoIsWord(subcommand, "SET") || argc >= 2) {
        catSubcommand(req, subcommand, argc, args);
        return 0;
    }
    zval *settings = argc == 1 ? kelvoDeref(&args[0]) : nullptr;
    if (!settings || Z_TYPE_P(settings) != IS_ARRAY || zend_hash_num_elements(Z_ARRVAL_P(settings)) == 0)
        return kelvoRefuse("Must pass either a setting and value, or an array of settings and values");
    zend_string *name;
    zval *value;
    ZEND_HASH_FOREACH_STR_KEY_VAL(Z_ARRVAL_P(settings), name, value)
    {
        (void)value;
        if (!name)
            return kelvoRefuse("Settings array must have all string keys");
    }
    ZEND_HASH_FOREACH_END();
    kelvoRespCmdCatZStr(req, subcommand);
    ZEND_HASH_FOREACH_STR_KEY_VAL(Z_ARRVAL_P(settings), name, value)
    {
        kelvoRespCmdCatZStr(req, name);
        kelvoCatPlain(req, value);
    }
    ZEND_HASH_FOREACH_END();
    return 0;
}

int kelvoRespClientCmd(rrc *req, zend_string *subcommand, uint32_t argc, zval *args)
{
    if (appendChecked(req, clientSubcommands, subcommand, argc, args) != 0)
        return -1;
    if (req->context == kelvoClientCapa) {
        for (uint32_t i = 0; i < argc; i++) {
            zend_string *tmp;
            zend_string *text = zval_try_get_tmp_string(&args[i], &tmp);
            if (!text)
                return -1;
            const bool redirect = kelvoIsWord(text, "REDIRECT");
            zend_tmp_string_release(tmp);
            if (redirect) {
                req->context |= kelvoClientCapaRedirect;
                break;
            }
        }
    }
    return 0;
}

int kelvoRespClusterCmd(rrc *req, zend_string *subcommand, uint32_t argc, zval *args)
{
    return appendChecked(req, clusterSubcommands, subcommand, argc, args);
}

int kelvoRespCommandCmd(rrc *req, zend_string *subcommand, uint32_t argc, zval *args)
{
    return appendChecked(req, commandSubcommands, subcommand, argc, args);
}

int kelvoRespScriptCmd(rrc *req, zend_string *subcommand, uint32_t argc, zval *args)
{
    return appendChecked(req, scriptSubcommands, subcommand, argc, args);
}

int kelvoRespSlowLogCmd(rrc *req, zend_string *subcommand, uint32_t argc, zval *args)
{
    return appendChecked(req, slowlogSubcommands, subcommand, argc, args);
}

int kelvoRespAclCmd(rrc *req, zend_string *subcommand, uint32_t argc, zval *args)
{
    return appendChecked(req, aclSubcommands, subcommand, argc, args);
}

bool kelvoRawCommandKeepsLink(int32_t cmd, uint32_t argc, zval *args)
{
    if ((cmd != REDIS_CMD_CLIENT && cmd != REDIS_CMD_SCRIPT) || argc == 0)
        return true;
    zval *first = kelvoDeref(&args[0]);
    if (Z_TYPE_P(first) != IS_STRING)
        return true;
    const Rule *rule =
        cmd == REDIS_CMD_CLIENT ? lookup(clientSubcommands, Z_STR_P(first)) : lookup(scriptSubcommands, Z_STR_P(first));
    if (!rule || !refusedByWord(*rule, argc - 1, args + 1))
        return true;
    kelvoWarn("%s", rule->refused);
    return false;
}

/* -- builders ------------------------------------------------------------------------------------- */

namespace {

using Appender = int (*)(rrc *, zend_string *, uint32_t, zval *);

/* A subcommand and any further arguments. */
template <Appender append>
int subcommandBuilder(zend_execute_data *execute_data, rrc *req)
{
    zend_string *subcommand;
    zval *args = nullptr;
    uint32_t argc = 0;
    ZEND_PARSE_PARAMETERS_START(1, -1)
    Z_PARAM_STR(subcommand)
    Z_PARAM_VARIADIC('*', args, argc)
    ZEND_PARSE_PARAMETERS_END_EX(return -1);
    return append(req, subcommand, argc, args);
}

} // namespace

int kelvoConfigRCmd(zend_execute_data *execute_data, zval *, rrc *req, robj *)
{
    return subcommandBuilder<kelvoRespConfigCmd>(execute_data, req);
}

bool kelvoClientSubcommandChangesLink(const zend_string *subcommand)
{
    return kelvoIsWord(subcommand, "TRACKING") || kelvoIsWord(subcommand, "REPLY") ||
           kelvoIsWord(subcommand, "SETNAME") || kelvoIsWord(subcommand, "CACHING") ||
           kelvoIsWord(subcommand, "NO-EVICT") || kelvoIsWord(subcommand, "NO-TOUCH") ||
           kelvoIsWord(subcommand, "SETINFO");
}

int kelvoClientRCmd(zend_execute_data *execute_data, zval *, rrc *req, robj *ro)
{
    if (subcommandBuilder<kelvoRespClientCmd>(execute_data, req) != 0)
        return -1;
    /* The link's next user, once pooled, would inherit the name or the flags: it is closed at release instead. */
    if (kelvoClientSubcommandChangesLink(Z_STR_P(ZEND_CALL_ARG(execute_data, 1))))
        ro->link.rawState = 1;
    return 0;
}

int kelvoClusterRCmd(zend_execute_data *execute_data, zval *, rrc *req, robj *)
{
    return subcommandBuilder<kelvoRespClusterCmd>(execute_data, req);
}

int kelvoScriptRCmd(zend_execute_data *execute_data, zval *, rrc *req, robj *)
{
    return subcommandBuilder<kelvoRespScriptCmd>(execute_data, req);
}

int kelvoSlowLogRCmd(zend_execute_data *execute_data, zval *, rrc *req, robj *)
{
    return subcommandBuilder<kelvoRespSlowLogCmd>(execute_data, req);
}

int kelvoAclRCmd(zend_execute_data *execute_data, zval *, rrc *req, robj *)
{
    return subcommandBuilder<kelvoRespAclCmd>(execute_data, req);
}

/* COMMAND alone, or a subcommand given as any value. */
int kelvoCommandRCmd(zend_execute_data *execute_data, zval *, rrc *req, robj *)
{
    zval *args = nullptr;
    uint32_t argc = 0;
    ZEND_PARSE_PARAMETERS_START(0, -1)
    Z_PARAM_VARIADIC('*', args, argc)
    ZEND_PARSE_PARAMETERS_END_EX(return -1);
    if (argc == 0)
        return 0;
    zend_string *subcommand = zval_try_get_string(&args[0]);
    if (!subcommand)
        return -1;
    const int rc = kelvoRespCommandCmd(req, subcommand, argc - 1, args + 1);
    zend_string_release(subcommand);
    return rc;
}

/*
 * PUBSUB: channel names and patterns live in the key space, as PUBLISH and SUBSCRIBE use it,
 * so they carry the key prefix. A single array argument gives one name per element.
 */
int kelvoPubSubRCmd(zend_execute_data *execute_data, zval *, rrc *req, robj *obj)
{
    zend_string *operation;
    zval *args = nullptr;
    uint32_t argc = 0;
    ZEND_PARSE_PARAMETERS_START(1, -1)
    Z_PARAM_STR(operation)
    Z_PARAM_VARIADIC('*', args, argc)
    ZEND_PARSE_PARAMETERS_END_EX(return -1);
    if (checkSubcommand(req, pubsubSubcommands, operation, argc, args) != 0)
        return -1;
    kelvoRespCmdCatZStr(req, operation);
    if (argc == 0)
        return 0;
    zval *names = kelvoDeref(&args[0]);
    if (Z_TYPE_P(names) == IS_ARRAY)
        return kelvoCatKeyHt(req, obj, Z_ARRVAL_P(names)) ? 0 : -1;
    return kelvoCatKeyZVal(req, obj, names) ? 0 : -1;
}

/* COMMANDLOG: passed through as plain text; the server judges it. */
int kelvoCommandLogRCmd(zend_execute_data *execute_data, zval *, rrc *req, robj *)
{
    zend_string *subcommand;
    zval *args = nullptr;
    uint32_t argc = 0;
    ZEND_PARSE_PARAMETERS_START(1, -1)
    Z_PARAM_STR(subcommand)
    Z_PARAM_VARIADIC('*', args, argc)
    ZEND_PARSE_PARAMETERS_END_EX(return -1);
    catSubcommand(req, subcommand, argc, args);
    return 0;
}

/* FUNCTION: passed through by string conversion (a library's code is text); the server judges it. */
int kelvoFunctionRCmd(zend_execute_data *execute_data, zval *, rrc *req, robj *)
{
    zend_string *subcommand;
    zval *args = nullptr;
    uint32_t argc = 0;
    ZEND_PARSE_PARAMETERS_START(1, -1)
    Z_PARAM_STR(subcommand)
    Z_PARAM_VARIADIC('*', args, argc)
    ZEND_PARSE_PARAMETERS_END_EX(return -1);
    kelvoReserveArgs(req, argc + 1);
    kelvoRespCmdCatZStr(req, subcommand);
    for (uint32_t i = 0; i < argc; i++) {
        zend_string *tmp;
        zend_string *text = zval_try_get_tmp_string(&args[i], &tmp);
        if (!text)
            return -1;
        kelvoRespCmdCatZStr(req, text);
        zend_tmp_string_release(tmp);
    }
    return EG(exception) ? -1 : 0;
}

/* -- reply formatters ----------------------------------------------------------------------------- */

namespace {

void clusterReply(zval *rv, kelvoQuerySet *rqs, kelvoReplyEnv *env, const kelvoReply *reply)
{
    if (rqs->context == 1)
        return infoToZVal(rv, rqs, env, reply);
    generic(rv, reply, env, rqs->flags);
}

bool isLineBreak(char c) { return c == '\r' || c == '\n'; }

void clientReply(zval *rv, kelvoQuerySet *rqs, kelvoReplyEnv *env, const kelvoReply *reply)
{
    uint8_t ctx = rqs->context;
    if (ctx & kelvoClientCapa) {
        if (!is(reply, KELVO_REPLY_STATUS))
            return generic(rv, reply, env, KELVO_REQ_RAW);
        generic(rv, reply, env, rqs->flags);
        if ((ctx & kelvoClientCapaRedirect) && env->flags)
            *env->flags = static_cast<kelvoOptionWord>(*env->flags | kelvoOptCapaRedirect);
        return;
    }
    bool verb = is(reply, KELVO_REPLY_VERB);
    if ((ctx & kelvoClientList) && verb) {
        const char *s = ZSTR_VAL(reply->v.str);
        const char *end = s + ZSTR_LEN(reply->v.str);
        array_init(rv);
        while (s < end) {
            while (s < end && isLineBreak(*s))
                s++;
            const char *line = s;
            while (s < end && !isLineBreak(*s))
                s++;
            if (s == line)
                break;
            zval row;
            array_init(&row);
            clientReplyToArray(&row, line, static_cast<size_t>(s - line));
            add_next_index_zval(rv, &row);
        }
        return;
    }
    if ((ctx & kelvoClientInfo) && verb) {
        array_init(rv);
        clientReplyToArray(rv, ZSTR_VAL(reply->v.str), ZSTR_LEN(reply->v.str));
        return;
    }
    generic(rv, reply, env, KELVO_REQ_RAW);
}

void commandReply(zval *rv, kelvoQuerySet *rqs, kelvoReplyEnv *env, const kelvoReply *reply)
{
    if (rqs->context == 1) {
        if (!is(reply, KELVO_REPLY_INTEGER)) {
            WRONG_TYPE(env, "COMMAND integer reply", reply);
            return kelvoReplyFailure(rv);
        }
        return generic(rv, reply, env, rqs->flags);
    }
    if (!is(reply, KELVO_REPLY_ARRAY) && !is(reply, KELVO_REPLY_MAP)) {
        WRONG_TYPE(env, "COMMAND array/map reply", reply);
        return kelvoReplyFailure(rv);
    }
    if (rqs->context == 4)
        return convertWith(rv, reply, env, kelvoOptReplyLiteral, rqs->flags);
    if (rqs->context != 2 || !phpredisMode(env->opts.flags))
        return generic(rv, reply, env, rqs->flags);
    if (reply->elements % 2) {
        MALFORMED(env, "expected COMMAND DOCS key/map pairs");
        return kelvoReplyFailure(rv);
    }
    array_init_size(rv, static_cast<uint32_t>(reply->elements));
    for (uint64_t i = 0; i < reply->elements; i += 2) {
        if (!is(at(reply, i), KELVO_REPLY_STRING) || !is(at(reply, i + 1), KELVO_REPLY_MAP)) {
            MALFORMED(env, "expected COMMAND DOCS string/map pair");
            return kelvoReplyFailure(rv);
        }
        add_next_index_str(rv, zend_string_copy(at(reply, i)->v.str));
        zval docs;
        generic(&docs, at(reply, i + 1), env, rqs->flags);
        add_next_index_zval(rv, &docs);
    }
}

void configReply(zval *rv, kelvoQuerySet *rqs, kelvoReplyEnv *env, const kelvoReply *reply)
{
    if (!is(reply, KELVO_REPLY_MAP) || !phpredisMode(env->opts.flags) || !(rqs->flags & KELVO_REQ_CLUSTER))
        return generic(rv, reply, env, rqs->flags);
    if (reply->elements % 2) {
        MALFORMED(env, "expected CONFIG key/value pairs");
        return kelvoReplyFailure(rv);
    }
    if (!allOfType(reply, KELVO_REPLY_STRING)) {
        MALFORMED(env, "expected CONFIG string/string pair");
        return kelvoReplyFailure(rv);
    }
    flatStrings(rv, reply);
}

void pubsubReply(zval *rv, kelvoQuerySet *rqs, kelvoReplyEnv *env, const kelvoReply *reply)
{
    if (rqs->context == 1) {
        if (!is(reply, KELVO_REPLY_INTEGER)) {
            WRONG_TYPE(env, "integer", reply);
            return kelvoReplyFailure(rv);
        }
        ZVAL_LONG(rv, reply->v.integer);
        return;
    }
    if (!is(reply, KELVO_REPLY_ARRAY)) {
        WRONG_TYPE(env, "array", reply);
        return kelvoReplyFailure(rv);
    }
    if (rqs->context == 2) {
        if (!requireStrings(env, reply, "string pubsub channel"))
            return kelvoReplyFailure(rv);
        return flatStrings(rv, reply);
    }
    if (rqs->context != 3)
        return generic(rv, reply, env, rqs->flags);
    if (reply->elements % 2) {
        MALFORMED(env, "expected pubsub channel/count pairs");
        return kelvoReplyFailure(rv);
    }
    for (uint64_t i = 0; i < reply->elements; i += 2) {
        if (!is(at(reply, i), KELVO_REPLY_STRING) || !is(at(reply, i + 1), KELVO_REPLY_INTEGER)) {
            MALFORMED(env, "expected string/integer pubsub pair");
            return kelvoReplyFailure(rv);
        }
    }
    bool flat = phpredisMode(env->opts.flags) && (rqs->flags & KELVO_REQ_CLUSTER);
    array_init_size(rv, static_cast<uint32_t>(flat ? reply->elements : reply->elements / 2));
    for (uint64_t i = 0; i < reply->elements; i += 2) {
        if (flat) {
            add_next_index_str(rv, zend_string_copy(at(reply, i)->v.str));
            add_next_index_long(rv, at(reply, i + 1)->v.integer);
            continue;
        }
        zval count;
        ZVAL_LONG(&count, at(reply, i + 1)->v.integer);
        addByReplyKey(rv, at(reply, i), &count);
    }
}

} // namespace

KELVO_FORMATTER(kelvoClientReply, clientReply)
KELVO_FORMATTER(kelvoClusterReply, clusterReply)
KELVO_FORMATTER(kelvoCommandReply, commandReply)
KELVO_FORMATTER(kelvoConfigReply, configReply)
KELVO_FORMATTER(kelvoPubSubReply, pubsubReply)
