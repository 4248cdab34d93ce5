/*
 * The routing callbacks: argument parsing, node choice and request arguments of the commands
 * that name their own node. The subcommand families reuse the single-server appenders.
 */
#include "cluster/routing.h"
#include "catalog/cmdinfo.h"
#include "client/connection.h"
#include "cluster/slots.h"
#include "commands/admin.h"
#include "commands/builder.h"
#include "commands/cmdroles.h"
#include "runtime/fatal.h"

namespace {

/* The node serving the slot of a key, with the client's key prefix in front as every command sends it. */
zend_long nodeOfKey(const kelvoClusterObject *cobj, const char *key, size_t len)
{
    const zend_string *prefix = cobj->tmpl.opts.prefix;
    if (!prefix || ZSTR_LEN(prefix) == 0)
        return cobj->slots[kelvoClusterHashKey(key, len)];
    zend_string *prefixed = zend_string_concat2(ZSTR_VAL(prefix), ZSTR_LEN(prefix), key, len);
    zend_long node = cobj->slots[kelvoClusterHashKey(ZSTR_VAL(prefixed), ZSTR_LEN(prefixed))];
    zend_string_release(prefixed);
    return node;
}

/* An element of an address array by name, else by position. */
zval *addressPart(HashTable *address, const char *name, size_t nameLen, zend_ulong position)
{
    zval *part = zend_hash_str_find(address, name, nameLen);
    if (!part)
        part = zend_hash_index_find(address, position);
    return part ? kelvoDeref(part) : nullptr;
}

int nodeOfAddress(HashTable *address, const kelvoClusterObject *cobj, zend_long *node)
{
    zval *host = addressPart(address, ZEND_STRL("host"), 0);
    zval *port = addressPart(address, ZEND_STRL("port"), 1);
    if (!host || Z_TYPE_P(host) != IS_STRING || !port || Z_TYPE_P(port) != IS_LONG || Z_LVAL_P(port) < 0 ||
        Z_LVAL_P(port) > 65535)
        return kelvoRefuse("Node must contain host and port");
    zend_string *name = kelvoClusterEndpointStr(Z_STRVAL_P(host), Z_STRLEN_P(host), Z_LVAL_P(port));
    *node = kelvoClusterFindEndpoint(cobj, ZSTR_VAL(name), ZSTR_LEN(name));
    zend_string_release(name);
    return *node < 0 ? -1 : 0;
}

bool inBatch(const kelvoClusterObject *cobj) { return (cobj->tmpl.mode & (kelvoModeMulti | kelvoModePipeline)) != 0; }

/* key_or_address alone. */
int parseTarget(zend_execute_data *execute_data, kelvoClusterObject *cobj, zend_long *node)
{
    zval *target;
    ZEND_PARSE_PARAMETERS_START(1, 1)
    Z_PARAM_ZVAL(target)
    ZEND_PARSE_PARAMETERS_END_EX(return -1);
    return kelvoClusterDirectedCmdSlot(target, cobj, node);
}

/* key_or_address, operation, ...args: the shape of the subcommand families. */
struct Subcommand {
    zend_string *operation;
    zval *args;
    uint32_t argc;
};

int parseSubcommand(zend_execute_data *execute_data, kelvoClusterObject *cobj, zend_long *node, Subcommand *sub)
{
    zval *target;
    sub->args = nullptr;
    sub->argc = 0;
    ZEND_PARSE_PARAMETERS_START(2, -1)
    Z_PARAM_ZVAL(target)
    Z_PARAM_STR(sub->operation)
    Z_PARAM_VARIADIC('*', sub->args, sub->argc)
    ZEND_PARSE_PARAMETERS_END_EX(return -1);
    return kelvoClusterDirectedCmdSlot(target, cobj, node);
}

using SubcommandAppender = int (*)(rrc *req, zend_string *subcommand, uint32_t argc, zval *args);

int subcommandCallback(SubcommandAppender append, zend_execute_data *execute_data, rrc *req, zend_long *node,
                       kelvoClusterObject *cobj)
{
    Subcommand sub;
    if (parseSubcommand(execute_data, cobj, node, &sub) != 0)
        return -1;
    return append(req, sub.operation, sub.argc, sub.args);
}

/*
 * The caller's cursor variable of SCAN, HSCAN, SSCAN and ZSCAN: an integer, 0 once a page
 * has ended the scan (then -1: nothing to send). Anything else starts a scan at 0.
 */
int integerCursor(zval *iterator, zend_long *cursor)
{
    kelvoAssert(Z_ISREF_P(iterator));
    zval *value = Z_REFVAL_P(iterator);
    if (Z_TYPE_P(value) == IS_LONG && Z_LVAL_P(value) == 0)
        return -1;
    if (Z_TYPE_P(value) != IS_LONG) {
        zval_ptr_dtor(value);
        ZVAL_LONG(value, 0);
    }
    *cursor = Z_LVAL_P(value);
    return 0;
}

/* MATCH of a key pattern: prefixed when the client's scan option asks for it. */
void catKeyPattern(rrc *req, const robj *tmpl, const zend_string *pattern)
{
    kelvoCatWord(req, "MATCH");
    if (tmpl->opts.scan & kelvoScanPrefix)
        kelvoCatKey(req, tmpl, pattern);
    else
        kelvoRespCmdCatZStr(req, pattern);
}

void catCount(rrc *req, zend_long count)
{
    if (count == 0)
        return;
    kelvoCatWord(req, "COUNT");
    kelvoRespCmdCatZendLong(req, count);
}

void catType(rrc *req, const zend_string *type)
{
    if (!type)
        return;
    kelvoCatWord(req, "TYPE");
    kelvoRespCmdCatZStr(req, type);
}

} // namespace

int kelvoClusterDirectedCmdSlot(zval *target, kelvoClusterObject *cobj, zend_long *node)
{
    ZVAL_DEREF(target);
    switch (Z_TYPE_P(target)) {
    case IS_ARRAY:
        return nodeOfAddress(Z_ARRVAL_P(target), cobj, node);
    case IS_STRING:
        *node = nodeOfKey(cobj, Z_STRVAL_P(target), Z_STRLEN_P(target));
        return 0;
    case IS_LONG:
    case IS_DOUBLE:
    case IS_TRUE:
    case IS_FALSE: {
        zend_string *text = zval_get_string(target);
        *node = nodeOfKey(cobj, ZSTR_VAL(text), ZSTR_LEN(text));
        zend_string_release(text);
        return 0;
    }
    default:
        return kelvoRefuse("Node must contain host and port");
    }
}

/* BGREWRITEAOF, DBSIZE, LASTSAVE, RANDOMKEY, ROLE, SAVE, TIME: the node and nothing more. */
int kelvoClusterDirectedCmd(zend_execute_data *execute_data, zval *, rrc *, zend_long *node, kelvoClusterObject *cobj)
{
    return parseTarget(execute_data, cobj, node);
}

int kelvoClusterBgSaveCmd(zend_execute_data *execute_data, zval *, rrc *req, zend_long *node, kelvoClusterObject *cobj)
{
    zval *target;
    bool schedule = false;
    ZEND_PARSE_PARAMETERS_START(1, 2)
    Z_PARAM_ZVAL(target)
    Z_PARAM_OPTIONAL
    Z_PARAM_BOOL(schedule)
    ZEND_PARSE_PARAMETERS_END_EX(return -1);
    if (kelvoClusterDirectedCmdSlot(target, cobj, node) != 0)
        return -1;
    if (schedule)
        kelvoCatWord(req, "SCHEDULE");
    return 0;
}

/* FLUSHALL, FLUSHDB: true SYNC, false ASYNC, null the server's default. */
int kelvoClusterFlushCmd(zend_execute_data *execute_data, zval *, rrc *req, zend_long *node, kelvoClusterObject *cobj)
{
    zval *target;
    bool sync = false, syncNull = true;
    ZEND_PARSE_PARAMETERS_START(1, 2)
    Z_PARAM_ZVAL(target)
    Z_PARAM_OPTIONAL
    Z_PARAM_BOOL_OR_NULL(sync, syncNull)
    ZEND_PARSE_PARAMETERS_END_EX(return -1);
    if (kelvoClusterDirectedCmdSlot(target, cobj, node) != 0)
        return -1;
    if (syncNull)
        return 0;
    if (sync)
        kelvoCatWord(req, "SYNC");
    else
        kelvoCatWord(req, "ASYNC");
    return 0;
}

int kelvoClusterEchoCmd(zend_execute_data *execute_data, zval *, rrc *req, zend_long *node, kelvoClusterObject *cobj)
{
    zval *target;
    zend_string *message;
    ZEND_PARSE_PARAMETERS_START(2, 2)
    Z_PARAM_ZVAL(target)
    Z_PARAM_STR(message)
    ZEND_PARSE_PARAMETERS_END_EX(return -1);
    if (kelvoClusterDirectedCmdSlot(target, cobj, node) != 0)
        return -1;
    kelvoRespCmdCatZStr(req, message);
    return 0;
}

int kelvoClusterPingCmd(zend_execute_data *execute_data, zval *, rrc *req, zend_long *node, kelvoClusterObject *cobj)
{
    zval *target;
    zend_string *message = nullptr;
    ZEND_PARSE_PARAMETERS_START(1, 2)
    Z_PARAM_ZVAL(target)
    Z_PARAM_OPTIONAL
    Z_PARAM_STR_OR_NULL(message)
    ZEND_PARSE_PARAMETERS_END_EX(return -1);
    if (kelvoClusterDirectedCmdSlot(target, cobj, node) != 0)
        return -1;
    if (message)
        kelvoRespCmdCatZStr(req, message);
    req->context = 1;
    return 0;
}

/* INFO: each section a string, as a string parameter takes it. */
int kelvoClusterDirectedVarvalCmd(zend_execute_data *execute_data, zval *, rrc *req, zend_long *node,
                                  kelvoClusterObject *cobj)
{
    zval *target, *sections = nullptr;
    uint32_t count = 0;
    ZEND_PARSE_PARAMETERS_START(1, -1)
    Z_PARAM_ZVAL(target)
    Z_PARAM_VARIADIC('*', sections, count)
    ZEND_PARSE_PARAMETERS_END_EX(return -1);
    if (kelvoClusterDirectedCmdSlot(target, cobj, node) != 0)
        return -1;
    kelvoReserveArgs(req, count);
    for (uint32_t i = 0; i < count; i++) {
        zend_string *section;
        if (!zend_parse_arg_str(&sections[i], &section, false, i + 2)) {
            zend_wrong_parameter_type_error(i + 2, Z_EXPECTED_STRING, &sections[i]);
            return -1;
        }
        kelvoRespCmdCatZStr(req, section);
    }
    return 0;
}

int kelvoClusterWaitCmd(zend_execute_data *execute_data, zval *, rrc *req, zend_long *node, kelvoClusterObject *cobj)
{
    zval *target;
    zend_long replicas, timeout;
    ZEND_PARSE_PARAMETERS_START(3, 3)
    Z_PARAM_ZVAL(target)
    Z_PARAM_LONG(replicas)
    Z_PARAM_LONG(timeout)
    ZEND_PARSE_PARAMETERS_END_EX(return -1);
    if (kelvoClusterDirectedCmdSlot(target, cobj, node) != 0)
        return -1;
    kelvoRespCmdCatZendLong(req, replicas);
    kelvoRespCmdCatZendLong(req, timeout);
    return 0;
}

int kelvoClusterWaitAOFCmd(zend_execute_data *execute_data, zval *, rrc *req, zend_long *node, kelvoClusterObject *cobj)
{
    zval *target;
    zend_long numlocal, numremote, timeout;
    ZEND_PARSE_PARAMETERS_START(4, 4)
    Z_PARAM_ZVAL(target)
    Z_PARAM_LONG(numlocal)
    Z_PARAM_LONG(numremote)
    Z_PARAM_LONG(timeout)
    ZEND_PARSE_PARAMETERS_END_EX(return -1);
    if (kelvoClusterDirectedCmdSlot(target, cobj, node) != 0)
        return -1;
    kelvoRespCmdCatZendLong(req, numlocal);
    kelvoRespCmdCatZendLong(req, numremote);
    kelvoRespCmdCatZendLong(req, timeout);
    return 0;
}

int kelvoClusterAclCmd(zend_execute_data *execute_data, zval *, rrc *req, zend_long *node, kelvoClusterObject *cobj)
{
    return subcommandCallback(kelvoRespAclCmd, execute_data, req, node, cobj);
}

int kelvoClusterClientCmd(zend_execute_data *execute_data, zval *, rrc *req, zend_long *node, kelvoClusterObject *cobj)
{
    Subcommand sub;
    if (parseSubcommand(execute_data, cobj, node, &sub) != 0 ||
        kelvoRespClientCmd(req, sub.operation, sub.argc, sub.args) != 0)
        return -1;
    /*
     * A node's link whose name or flags change is closed at release, not handed to the next user.
     * The mark lives on the link, which a first connection starts afresh: the link is readied now,
     * so the command goes out on the link that carries the mark.
     */
    if (*node >= 0 && kelvoClientSubcommandChangesLink(sub.operation)) {
        robj *ro = &cobj->node[*node]->ro;
        if (kelvoSyncObject(ro, KELVO_LINK_READY, true) == 0)
            ro->link.rawState = 1;
    }
    return 0;
}

int kelvoClusterClusterCmd(zend_execute_data *execute_data, zval *, rrc *req, zend_long *node, kelvoClusterObject *cobj)
{
    return subcommandCallback(kelvoRespClusterCmd, execute_data, req, node, cobj);
}

int kelvoClusterConfigCmd(zend_execute_data *execute_data, zval *, rrc *req, zend_long *node, kelvoClusterObject *cobj)
{
    return subcommandCallback(kelvoRespConfigCmd, execute_data, req, node, cobj);
}

int kelvoClusterScriptCmd(zend_execute_data *execute_data, zval *, rrc *req, zend_long *node, kelvoClusterObject *cobj)
{
    return subcommandCallback(kelvoRespScriptCmd, execute_data, req, node, cobj);
}

int kelvoClusterSlowLogCmd(zend_execute_data *execute_data, zval *, rrc *req, zend_long *node, kelvoClusterObject *cobj)
{
    return subcommandCallback(kelvoRespSlowLogCmd, execute_data, req, node, cobj);
}

/*
 * PUBSUB: the context byte tells the reply formatter the form. Channel names and patterns carry
 * the key prefix, as PUBLISH and the subscribe family send them.
 */
int kelvoClusterPubSubCmd(zend_execute_data *execute_data, zval *, rrc *req, zend_long *node, kelvoClusterObject *cobj)
{
    Subcommand sub;
    if (parseSubcommand(execute_data, cobj, node, &sub) != 0)
        return -1;
    const zend_string *op = sub.operation;
    if (kelvoIsWord(op, "NUMPAT")) {
        if (sub.argc > 0)
            return kelvoRefuse("'%s' subcommand doesn't accept arguments", ZSTR_VAL(op));
        req->context = 1;
    } else if (kelvoIsWord(op, "CHANNELS") || kelvoIsWord(op, "SHARDCHANNELS")) {
        if (sub.argc > 1)
            return kelvoRefuse("'%s' subcommand doesn't accept more than one argument", ZSTR_VAL(op));
        req->context = 2;
    } else if (kelvoIsWord(op, "NUMSUB") || kelvoIsWord(op, "SHARDNUMSUB")) {
        req->context = 3;
    } else {
        return -1;
    }
    kelvoReserveArgs(req, sub.argc + 1);
    kelvoRespCmdCatZStr(req, op);
    for (uint32_t i = 0; i < sub.argc; i++)
        if (!kelvoCatKeyZVal(req, &cobj->tmpl, &sub.args[i]))
            return -1;
    return 0;
}

/* COMMAND: on the first node of the node array, with or without a subcommand (any value as its text). */
int kelvoClusterCommandCmd(zend_execute_data *execute_data, zval *, rrc *req, zend_long *node, kelvoClusterObject *cobj)
{
    *node = cobj->nodes > 0 ? 0 : -1;
    return kelvoCommandRCmd(execute_data, nullptr, req, &cobj->tmpl);
}

/* OBJECT op key: the node of the prefixed key. */
int kelvoClusterObjectCmd(zend_execute_data *execute_data, zval *, rrc *req, zend_long *node, kelvoClusterObject *cobj)
{
    zend_string *op, *key;
    ZEND_PARSE_PARAMETERS_START(2, 2)
    Z_PARAM_STR(op)
    Z_PARAM_STR(key)
    ZEND_PARSE_PARAMETERS_END_EX(return -1);
    kelvoRespCmdCatZStr(req, op);
    kelvoCatKey(req, &cobj->tmpl, key);
    *node = nodeOfKey(cobj, ZSTR_VAL(key), ZSTR_LEN(key));
    return 0;
}

/* HSCAN, SSCAN, ZSCAN key &iterator [match [count]]: the pattern matches members, never prefixed. */
int kelvoClusterKeyScanCmd(zend_execute_data *execute_data, zval *, rrc *req, zend_long *node, kelvoClusterObject *cobj)
{
    zend_string *key, *match = nullptr;
    zval *iterator;
    zend_long count = 0, cursor;
    ZEND_PARSE_PARAMETERS_START(2, 4)
    Z_PARAM_STR(key)
    Z_PARAM_ZVAL(iterator)
    Z_PARAM_OPTIONAL
    Z_PARAM_STR_OR_NULL(match)
    Z_PARAM_LONG(count)
    ZEND_PARSE_PARAMETERS_END_EX(return -1);
    if (inBatch(cobj)) {
        const kelvoCommandString &name = kelvoCommandStrings[req->cmd];
        return kelvoRefuse("%.*s cannot be called in pipeline/multi mode", static_cast<int>(name.len), name.name);
    }
    if (integerCursor(iterator, &cursor) != 0)
        return -1;
    kelvoCatKey(req, &cobj->tmpl, key);
    kelvoRespCmdCatZendULong(req, static_cast<zend_ulong>(cursor));
    if (match) {
        kelvoCatWord(req, "MATCH");
        kelvoRespCmdCatZStr(req, match);
    }
    catCount(req, count);
    *node = nodeOfKey(cobj, ZSTR_VAL(key), ZSTR_LEN(key));
    cobj->tmpl.it = Z_REFVAL_P(iterator);
    return 0;
}

/* SCAN &iterator key_or_address [match [count [type]]]. */
int kelvoClusterScanCmd(zend_execute_data *execute_data, zval *, rrc *req, zend_long *node, kelvoClusterObject *cobj)
{
    zval *iterator, *target;
    zend_string *match = nullptr, *type = nullptr;
    zend_long count = 0, cursor;
    ZEND_PARSE_PARAMETERS_START(2, 5)
    Z_PARAM_ZVAL(iterator)
    Z_PARAM_ZVAL(target)
    Z_PARAM_OPTIONAL
    Z_PARAM_STR_OR_NULL(match)
    Z_PARAM_LONG(count)
    Z_PARAM_STR_OR_NULL(type)
    ZEND_PARSE_PARAMETERS_END_EX(return -1);
    if (kelvoClusterDirectedCmdSlot(target, cobj, node) != 0)
        return -1;
    if (inBatch(cobj))
        return kelvoRefuse("SCAN cannot be called in pipeline/multi mode");
    if (integerCursor(iterator, &cursor) != 0)
        return -1;
    kelvoRespCmdCatZendULong(req, static_cast<zend_ulong>(cursor));
    if (match)
        catKeyPattern(req, &cobj->tmpl, match);
    catCount(req, count);
    catType(req, type);
    cobj->tmpl.it = Z_REFVAL_P(iterator);
    return 0;
}

/*
 * CLUSTERSCAN &iterator [match [count [type [slot]]]]: the cursor is text ("0" once a page has
 * ended the scan); the node serves the given slot, else the slot of the cursor's text.
 */
int kelvoClusterClusterscanCmd(zend_execute_data *execute_data, zval *, rrc *req, zend_long *node,
                               kelvoClusterObject *cobj)
{
    zval *iterator;
    zend_string *match = nullptr, *type = nullptr;
    zend_long count = 0, slot = 0;
    bool slotNull = true;
    ZEND_PARSE_PARAMETERS_START(1, 5)
    Z_PARAM_ZVAL(iterator)
    Z_PARAM_OPTIONAL
    Z_PARAM_STR_OR_NULL(match)
    Z_PARAM_LONG(count)
    Z_PARAM_STR_OR_NULL(type)
    Z_PARAM_LONG_OR_NULL(slot, slotNull)
    ZEND_PARSE_PARAMETERS_END_EX(return -1);
    kelvoAssert(Z_ISREF_P(iterator));
    zval *cursor = Z_REFVAL_P(iterator);
    if (Z_TYPE_P(cursor) == IS_STRING && zend_string_equals_literal(Z_STR_P(cursor), "0"))
        return -1;
    if (Z_TYPE_P(cursor) != IS_STRING) {
        zval_ptr_dtor(cursor);
        ZVAL_STRINGL(cursor, "0", 1);
    }
    if (!slotNull && (slot < 0 || slot >= static_cast<zend_long>(kelvoClusterSlotCount)))
        return kelvoRefuse("Invalid or out of range slot " ZEND_LONG_FMT, slot);
    kelvoRespCmdCatZStr(req, Z_STR_P(cursor));
    if (match)
        catKeyPattern(req, &cobj->tmpl, match);
    catCount(req, count);
    catType(req, type);
    if (!slotNull) {
        kelvoCatWord(req, "SLOT");
        kelvoRespCmdCatZendLong(req, slot);
        *node = cobj->slots[slot];
    } else {
        *node = cobj->slots[kelvoClusterHashKey(Z_STRVAL_P(cursor), Z_STRLEN_P(cursor))];
    }
    cobj->tmpl.it = cursor;
    return 0;
}
