/*
 * Server, connection and key-space commands with small option grammars: SELECT (with the roles
 * that move the client to the database it selected), SWAPDB, HOTKEYS, COPY, BGSAVE, REPLICAOF,
 * the EXPIRE family, MIGRATE, FLUSHDB and FLUSHALL, and PING.
 */
#include "commands/cmdroles.h"
#include "client/connection.h"
#include "commands/builder.h"
#include "commands/commands.h"
#include "runtime/cfgvals.h"

namespace {

/* 0 for a database a server can select; -1 after the warning otherwise. */
int checkDatabase(zend_long db)
{
    if (db < 0 || db > kelvoMaxDatabase)
        return kelvoRefuse("Database number must be between 0 and " ZEND_LONG_FMT, kelvoMaxDatabase);
    return 0;
}

/* A database the shared cache keeps nothing for works on the server all the same: only a note. */
void noteUncachedDatabase(zend_long highest)
{
    if (static_cast<zend_ulong>(highest) >= kelvoCfgVals.databases)
        kelvoWarn("Kelvo is only configured for %u in-memory databases", kelvoCfgVals.databases);
}

} // namespace

/* -- database selection ----------------------------------------------------------------------------- */

int kelvoSelectRCmd(zend_execute_data *execute_data, zval *, rrc *req, robj *)
{
    zend_long db;
    ZEND_PARSE_PARAMETERS_START(1, 1)
    Z_PARAM_LONG(db)
    ZEND_PARSE_PARAMETERS_END_EX(return -1);
    if (checkDatabase(db) != 0)
        return -1;
    noteUncachedDatabase(db);
    kelvoRespCmdCatZendLong(req, db);
    return 0;
}

/* SELECT's keys role: the database the request selects, read back from it (rawCommand's too);
 * -1 when the argument is not a database number. */
void kelvoGetDB(kelvoQuerySet *rqs, rrc *req)
{
    rqs->rng.start = -1;
    rqs->rng.end = -1;
    if (req->pos != 2)
        return;
    const char *text = kelvoRespCmdArg(req, 1);
    const size_t len = req->args[1].len;
    int64_t db = 0;
    for (size_t i = 0; i < len; i++) {
        if (text[i] < '0' || text[i] > '9' || db > kelvoMaxDatabase)
            return;
        db = db * 10 + (text[i] - '0');
    }
    if (len > 0 && db <= kelvoMaxDatabase)
        rqs->rng.start = db;
}

/*
 * SELECT's delete role, after the server agreed: the client follows it to the new database, so
 * getDbNum() tells it and a reconnect selects it again. A refused SELECT leaves all as it was.
 * Queued in a batch (no reply yet) it moves the client at once, so that reads queued after it are
 * answered for that database, and keeps the database it leaves in the range end: a batch whose
 * SELECT never runs gives it back (multi.cc).
 */
void kelvoUpdateDB(kelvoQuerySet *rqs, robj *ro, kelvoReply *reply)
{
    if (rqs->rng.start < 0 || (reply && reply->type != KELVO_REPLY_STATUS))
        return;
    if (rqs->rng.end < 0)
        rqs->rng.end = ro->link.db;
    ro->link.db = static_cast<uint32_t>(rqs->rng.start);
    ro->info.db = static_cast<uint32_t>(rqs->rng.start);
}

int kelvoSwapDbRCmd(zend_execute_data *execute_data, zval *, rrc *req, robj *)
{
    zend_long first, second;
    ZEND_PARSE_PARAMETERS_START(2, 2)
    Z_PARAM_LONG(first)
    Z_PARAM_LONG(second)
    ZEND_PARSE_PARAMETERS_END_EX(return -1);
    if (checkDatabase(first) != 0 || checkDatabase(second) != 0)
        return -1;
    noteUncachedDatabase(first > second ? first : second);
    kelvoRespCmdCatZendLong(req, first);
    kelvoRespCmdCatZendLong(req, second);
    return 0;
}

/* -- HOTKEYS ---------------------------------------------------------------------------------------- */

namespace {

struct HotkeysStart {
    bool cpu = false;
    bool net = false;
    zend_long count = -1, duration = -1, sample = -1;
    HashTable *slots = nullptr;
};

void selectMetric(HotkeysStart *start, zval *metric)
{
    ZVAL_DEREF(metric);
    if (Z_TYPE_P(metric) != IS_STRING)
        return;
    if (kelvoIsWord(Z_STR_P(metric), "CPU"))
        start->cpu = true;
    else if (kelvoIsWord(Z_STR_P(metric), "NET"))
        start->net = true;
}

void takeLong(zend_long *out, zval *value)
{
    if (Z_TYPE_P(value) == IS_LONG)
        *out = Z_LVAL_P(value);
}

HotkeysStart readHotkeysStart(HashTable *options)
{
    HotkeysStart start;
    kelvoForEachOption(options, [&start](zend_string *name, zval *value) {
        if (kelvoIsWord(name, "METRICS")) {
            if (Z_TYPE_P(value) != IS_ARRAY)
                return selectMetric(&start, value);
            zval *metric;
            ZEND_HASH_FOREACH_VAL(Z_ARRVAL_P(value), metric) { selectMetric(&start, metric); }
            ZEND_HASH_FOREACH_END();
        } else if (kelvoIsWord(name, "COUNT")) {
            takeLong(&start.count, value);
        } else if (kelvoIsWord(name, "DURATION")) {
            takeLong(&start.duration, value);
        } else if (kelvoIsWord(name, "SAMPLE")) {
            takeLong(&start.sample, value);
        } else if (kelvoIsWord(name, "SLOTS") && Z_TYPE_P(value) == IS_ARRAY) {
            start.slots = Z_ARRVAL_P(value);
        }
    });
    return start;
}

template <size_t N>
void catOptionalLong(rrc *req, const char (&word)[N], zend_long value)
{
    if (value == -1)
        return;
    kelvoCatWord(req, word);
    kelvoRespCmdCatZendLong(req, value);
}

} // namespace

int kelvoHotkeysRCmd(zend_execute_data *execute_data, zval *, rrc *req, robj *)
{
    zend_string *subcommand;
    HashTable *options = nullptr;
    ZEND_PARSE_PARAMETERS_START(1, 2)
    Z_PARAM_STR(subcommand)
    Z_PARAM_OPTIONAL
    Z_PARAM_ARRAY_HT(options)
    ZEND_PARSE_PARAMETERS_END_EX(return -1);
    if (!kelvoIsWord(subcommand, "START")) {
        kelvoRespCmdCatZStr(req, subcommand);
        return 0;
    }
    const HotkeysStart start = options ? readHotkeysStart(options) : HotkeysStart{};
    if (!start.cpu && !start.net)
        return kelvoRefuse("At least one metric (CPU or NET) must be specified");
    kelvoCatWord(req, "START");
    kelvoCatWord(req, "METRICS");
    kelvoRespCmdCatZendLong(req, start.cpu + start.net);
    if (start.cpu)
        kelvoCatWord(req, "CPU");
    if (start.net)
        kelvoCatWord(req, "NET");
    catOptionalLong(req, "COUNT", start.count);
    catOptionalLong(req, "DURATION", start.duration);
    catOptionalLong(req, "SAMPLE", start.sample);
    if (start.slots && zend_hash_num_elements(start.slots) > 0) {
        kelvoCatWord(req, "SLOTS");
        kelvoRespCmdCatZendULong(req, zend_hash_num_elements(start.slots));
        zval *slot;
        ZEND_HASH_FOREACH_VAL(start.slots, slot) { kelvoRespCmdCatZendLong(req, zval_get_long(slot)); }
        ZEND_HASH_FOREACH_END();
    }
    return 0;
}

/* -- key space ------------------------------------------------------------------------------------------ */

/* COPY: DB only for a database given (a null one is none), REPLACE when true. */
int kelvoCopyRCmd(zend_execute_data *execute_data, zval *, rrc *req, robj *obj)
{
    zend_string *source, *destination;
    HashTable *options = nullptr;
    ZEND_PARSE_PARAMETERS_START(2, 3)
    Z_PARAM_STR(source)
    Z_PARAM_STR(destination)
    Z_PARAM_OPTIONAL
    Z_PARAM_ARRAY_HT_OR_NULL(options)
    ZEND_PARSE_PARAMETERS_END_EX(return -1);
    zend_long db = -1;
    bool replace = false;
    if (options) {
        kelvoForEachOption(options, [&](zend_string *name, zval *value) {
            if (kelvoIsWord(name, "DB"))
                db = Z_TYPE_P(value) == IS_NULL ? -1 : zval_get_long(value);
            else if (kelvoIsWord(name, "REPLACE"))
                replace = zend_is_true(value);
        });
    }
    kelvoCatKey(req, obj, source);
    kelvoCatKey(req, obj, destination);
    if (db >= 0) {
        kelvoCatWord(req, "DB");
        kelvoRespCmdCatZendLong(req, db);
    }
    if (replace)
        kelvoCatWord(req, "REPLACE");
    return 0;
}

/* EXPIRE, EXPIREAT, PEXPIRE, PEXPIREAT: the condition word as the caller wrote it. */
int kelvoExpireRCmd(zend_execute_data *execute_data, zval *, rrc *req, robj *obj)
{
    zend_string *key, *mode = nullptr;
    zend_long when;
    ZEND_PARSE_PARAMETERS_START(2, 3)
    Z_PARAM_STR(key)
    Z_PARAM_LONG(when)
    Z_PARAM_OPTIONAL
    Z_PARAM_STR_OR_NULL(mode)
    ZEND_PARSE_PARAMETERS_END_EX(return -1);
    if (mode && !kelvoIsWord(mode, "XX") && !kelvoIsWord(mode, "NX") && !kelvoIsWord(mode, "LT") &&
        !kelvoIsWord(mode, "GT"))
        return kelvoRefuse("Unknown expiration mode '%s'", ZSTR_VAL(mode));
    kelvoCatKey(req, obj, key);
    kelvoRespCmdCatZendLong(req, when);
    if (mode)
        kelvoRespCmdCatZStr(req, mode);
    return 0;
}

/*
 * MIGRATE: one key, or "" and KEYS with every key of an array (prefixed like any key), and the
 * destination's credentials, AUTH with a password or AUTH2 with a user too.
 */
int kelvoMigrateRCmd(zend_execute_data *execute_data, zval *, rrc *req, robj *obj)
{
    zend_string *host, *key = nullptr;
    HashTable *keys = nullptr;
    zend_long port, db, timeout;
    bool copy = false, replace = false;
    zval *credentials = nullptr;
    ZEND_PARSE_PARAMETERS_START(5, 8)
    Z_PARAM_STR(host)
    Z_PARAM_LONG(port)
    Z_PARAM_ARRAY_HT_OR_STR(keys, key)
    Z_PARAM_LONG(db)
    Z_PARAM_LONG(timeout)
    Z_PARAM_OPTIONAL
    Z_PARAM_BOOL(copy)
    Z_PARAM_BOOL(replace)
    Z_PARAM_ZVAL(credentials)
    ZEND_PARSE_PARAMETERS_END_EX(return -1);
    if (keys && zend_hash_num_elements(keys) == 0)
        return kelvoRefuse("Must pass at least one key");
    zend_string *user = nullptr, *pass = nullptr;
    if (credentials && Z_TYPE_P(credentials) != IS_NULL && kelvoGetAuthInfoZVal(&user, &pass, credentials) != 0)
        return -1;
    if (EG(exception)) { /* a credential without a string form */
        if (user)
            zend_string_release(user);
        zend_string_release(pass);
        return -1;
    }
    kelvoRespCmdCatZStr(req, host);
    kelvoRespCmdCatZendLong(req, port);
    if (keys)
        kelvoRespCmdCatLen(req, "", 0);
    else
        kelvoCatKey(req, obj, key);
    kelvoRespCmdCatZendLong(req, db);
    kelvoRespCmdCatZendLong(req, timeout);
    if (copy)
        kelvoCatWord(req, "COPY");
    if (replace)
        kelvoCatWord(req, "REPLACE");
    if (pass) {
        if (user) {
            kelvoCatWord(req, "AUTH2");
            kelvoRespCmdCatZStr(req, user);
            zend_string_release(user);
        } else {
            kelvoCatWord(req, "AUTH");
        }
        kelvoRespCmdCatZStr(req, pass);
        zend_string_release(pass);
    }
    if (!keys)
        return 0;
    kelvoCatWord(req, "KEYS");
    return kelvoCatKeyHt(req, obj, keys) ? 0 : -1;
}

/* -- server ------------------------------------------------------------------------------------------- */

int kelvoBGSaveRCmd(zend_execute_data *execute_data, zval *, rrc *req, robj *)
{
    zend_string *argument = nullptr;
    ZEND_PARSE_PARAMETERS_START(0, 1)
    Z_PARAM_OPTIONAL
    Z_PARAM_STR_OR_NULL(argument)
    ZEND_PARSE_PARAMETERS_END_EX(return -1);
    if (!argument)
        return 0;
    if (!kelvoIsWord(argument, "SCHEDULE") && !kelvoIsWord(argument, "CANCEL"))
        return kelvoRefuse("Unknown argument '%s'", ZSTR_VAL(argument));
    kelvoRespCmdCatZStr(req, argument);
    return 0;
}

/*
 * REPLICAOF: no host (none, or null) makes the server a primary again (NO ONE); a host without a
 * port means the default port. A server is never made a replica of port 0.
 */
int kelvoReplicaofRCmd(zend_execute_data *execute_data, zval *, rrc *req, robj *)
{
    zend_string *host = nullptr;
    zend_long port = 6379;
    bool portNull = true;
    ZEND_PARSE_PARAMETERS_START(0, 2)
    Z_PARAM_OPTIONAL
    Z_PARAM_STR_OR_NULL(host)
    Z_PARAM_LONG_OR_NULL(port, portNull)
    ZEND_PARSE_PARAMETERS_END_EX(return -1);
    if (!host) {
        kelvoCatWord(req, "NO");
        kelvoCatWord(req, "ONE");
        return 0;
    }
    if (ZSTR_LEN(host) == 0)
        return kelvoRefuse("Host cannot be empty");
    if (portNull)
        port = 6379;
    if (port < 1 || port > 65535)
        return kelvoRefuse("Invalid port");
    kelvoRespCmdCatZStr(req, host);
    kelvoRespCmdCatZendLong(req, port);
    return 0;
}

/* FLUSHDB, FLUSHALL: true SYNC, false ASYNC, null the server's default. */
int kelvoFlushdbRCmd(zend_execute_data *execute_data, zval *, rrc *req, robj *)
{
    bool sync = false, syncNull = true;
    ZEND_PARSE_PARAMETERS_START(0, 1)
    Z_PARAM_OPTIONAL
    Z_PARAM_BOOL_OR_NULL(sync, syncNull)
    ZEND_PARSE_PARAMETERS_END_EX(return -1);
    if (syncNull)
        return 0;
    if (sync)
        kelvoCatWord(req, "SYNC");
    else
        kelvoCatWord(req, "ASYNC");
    return 0;
}

/* PING: the reply (PONG or the message) is returned as the server sent it. */
int kelvoPingRCmd(zend_execute_data *execute_data, zval *, rrc *req, robj *)
{
    zend_string *message = nullptr;
    ZEND_PARSE_PARAMETERS_START(0, 1)
    Z_PARAM_OPTIONAL
    Z_PARAM_STR_OR_NULL(message)
    ZEND_PARSE_PARAMETERS_END_EX(return -1);
    if (message)
        kelvoRespCmdCatZStr(req, message);
    req->flags |= KELVO_REQ_RAW;
    return 0;
}
