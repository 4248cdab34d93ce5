/* Publish and subscribe: the subscribe family, its loop, push routing and the callbacks. */
#include "client/pubsub.h"

#include "client/client.h"
#include "client/connection.h"
#include "client/listeners.h"
#include "runtime/exception.h"
#include "runtime/fatal.h"
#include "runtime/kelvo.h"
#include "runtime/log.h"
#include "wire/reply.h"

extern "C" {
#include "zend_exceptions.h"
}

#include <poll.h>

#include <cstring>
#include <type_traits>

/* A subscribe-family request sent and not yet answered. */
struct kelvoSubscribeWait {
    uint32_t table;
    bool subscribe;
    uint64_t awaiting;          /* confirmations still to come */
    kelvoFcallContext *context; /* subscribe forms: the callable each confirmed name gets; null: keep the table's */
    kelvoReply *refusal;        /* the error reply that refused the whole request */
    bool linkFailed;
    kelvoSubscribeWait *next;
};

namespace {

enum : uint32_t { kChannels = 0, kPatterns = 1, kShardChannels = 2 };

struct FamilyRow {
    int cmd;
    uint32_t table;
    bool subscribe;
};

constexpr FamilyRow kFamily[] = {
    {REDIS_CMD_SUBSCRIBE, kChannels, true},       {REDIS_CMD_UNSUBSCRIBE, kChannels, false},
    {REDIS_CMD_PSUBSCRIBE, kPatterns, true},      {REDIS_CMD_PUNSUBSCRIBE, kPatterns, false},
    {REDIS_CMD_SSUBSCRIBE, kShardChannels, true}, {REDIS_CMD_SUNSUBSCRIBE, kShardChannels, false},
};

const FamilyRow &familyOf(int cmd)
{
    for (const FamilyRow &row : kFamily) {
        if (row.cmd == cmd)
            return row;
    }
    kelvoPanic("Non-subscribe family of commands passed");
}

int unsubscribeCommand(uint32_t table)
{
    for (const FamilyRow &row : kFamily) {
        if (row.table == table && !row.subscribe)
            return row.cmd;
    }
    kelvoPanic("Non-subscribe family of commands passed");
}

int subscribeCommand(uint32_t table)
{
    for (const FamilyRow &row : kFamily) {
        if (row.table == table && row.subscribe)
            return row.cmd;
    }
    kelvoPanic("Non-subscribe family of commands passed");
}

HashTable *tableOf(robj *ro, uint32_t table)
{
    switch (table) {
    case kChannels:
        return &ro->channels;
    case kPatterns:
        return &ro->patterns;
    default:
        return &ro->shardChannels;
    }
}

bool tablesEmpty(robj *ro)
{
    return zend_hash_num_elements(&ro->channels) == 0 && zend_hash_num_elements(&ro->patterns) == 0 &&
           zend_hash_num_elements(&ro->shardChannels) == 0;
}

bool inCallback(const robj *ro) { return (ro->opts.flags & kelvoOptInSubscribeCallback) != 0; }

kelvoFcallContext *copyContext(const kelvoFcallContext *from)
{
    auto *to = static_cast<kelvoFcallContext *>(emalloc(sizeof(kelvoFcallContext)));
    *to = *from;
    Z_TRY_ADDREF(to->fci.function_name);
    if (to->object)
        GC_ADDREF(to->object);
    return to;
}

void freeContext(kelvoFcallContext *context)
{
    if (!context)
        return;
    zval_ptr_dtor(&context->fci.function_name);
    if (context->object)
        OBJ_RELEASE(context->object);
    efree(context);
}

/* A parsed publish/subscribe push. */
struct Message {
    bool confirmation;
    bool subscribe; /* confirmations: a subscribe form */
    uint32_t table;
    const kelvoReply *pattern;
    const kelvoReply *channel; /* confirmations: the name, or null (an unsubscribe of nothing) */
    const kelvoReply *payload;
};

bool isString(const kelvoReply *r) { return r && (r->type == KELVO_REPLY_STRING || r->type == KELVO_REPLY_STATUS); }

bool nameIs(const kelvoReply *r, const char *text, size_t length)
{
    return isString(r) && ZSTR_LEN(r->v.str) == length && strncasecmp(ZSTR_VAL(r->v.str), text, length) == 0;
}

/* The shapes a publish/subscribe push may have; false for any other. */
bool parseMessage(const kelvoReply *push, Message *m)
{
    *m = Message{};
    if (push->type != KELVO_REPLY_PUSH || push->elements < 3 || !isString(push->v.element[0]))
        return false;
    kelvoReply *const *e = push->v.element;
    auto optionalFourth = [&]() { return push->elements == 3 || (push->elements == 4 && isString(e[3])); };
    if (nameIs(e[0], "message", 7) || nameIs(e[0], "smessage", 8)) {
        m->table = ZSTR_LEN(e[0]->v.str) == 7 ? kChannels : kShardChannels;
        m->channel = e[1];
        m->payload = e[2];
        return optionalFourth() && isString(e[1]) && isString(e[2]);
    }
    if (nameIs(e[0], "pmessage", 8)) {
        m->table = kPatterns;
        m->pattern = e[1];
        m->channel = e[2];
        m->payload = push->elements == 4 ? e[3] : nullptr;
        return push->elements == 4 && isString(e[1]) && isString(e[2]) && isString(e[3]);
    }
    int cmd = -1;
    const zend_string *kind = e[0]->v.str;
    if (push->elements != 3 || kelvoStringToRedisCmd(&cmd, ZSTR_VAL(kind), ZSTR_LEN(kind)) != 0)
        return false;
    for (const FamilyRow &row : kFamily) {
        if (row.cmd != cmd)
            continue;
        m->confirmation = true;
        m->subscribe = row.subscribe;
        m->table = row.table;
        m->channel = isString(e[1]) ? e[1] : nullptr;
        return e[2]->type == KELVO_REPLY_INTEGER && (m->channel || (!row.subscribe && e[1]->type == KELVO_REPLY_NIL));
    }
    return false;
}

void unlinkWait(robj *ro, kelvoSubscribeWait *wait)
{
    kelvoSubscribeWait **at = &ro->waitHead;
    while (*at && *at != wait)
        at = &(*at)->next;
    if (!*at)
        return;
    *at = wait->next;
    if (ro->waitTail == wait) {
        ro->waitTail = nullptr;
        for (kelvoSubscribeWait *w = ro->waitHead; w; w = w->next)
            ro->waitTail = w;
    }
    wait->next = nullptr;
}

/* Counts a confirmation against the oldest request of its kind; a subscribe confirmation takes
 * that request's callable along for the name. */
kelvoFcallContext *account(robj *ro, const Message &m)
{
    kelvoSubscribeWait *wait = ro->waitHead;
    if (!wait || wait->table != m.table || wait->subscribe != m.subscribe)
        return nullptr;
    kelvoFcallContext *context = m.subscribe && wait->context && m.channel ? copyContext(wait->context) : nullptr;
    if (--wait->awaiting == 0)
        unlinkWait(ro, wait);
    return context;
}

void hold(robj *ro, kelvoReply *push, kelvoFcallContext *context)
{
    auto *node = static_cast<kelvoPushNode *>(emalloc(sizeof(kelvoPushNode)));
    node->reply = push;
    node->context = context;
    node->next = nullptr;
    if (ro->pushqTail)
        ro->pushqTail->next = node;
    else
        ro->pushqHead = node;
    ro->pushqTail = node;
}

void releasePush(kelvoReply *push)
{
    if (push && !(push->flags & KELVO_REPLY_INTERNED))
        kelvoReplyFree(push);
}

void stringOrNull(zval *out, const kelvoReply *r)
{
    if (r)
        ZVAL_STR_COPY(out, r->v.str);
    else
        ZVAL_NULL(out);
}

void callCallback(robj *ro, const Message &m)
{
    const kelvoReply *nameNode = m.table == kPatterns && !m.confirmation ? m.pattern : m.channel;
    if (!nameNode)
        return;
    auto *stored = static_cast<kelvoFcallContext *>(zend_hash_find_ptr(tableOf(ro, m.table), nameNode->v.str));
    if (!stored)
        return;
    /* The callback may replace or drop its own subscription: it runs from copies. */
    kelvoFcallContext context = *stored;
    Z_TRY_ADDREF(context.fci.function_name);
    zend_object *client = context.object ? context.object : &ro->std;
    GC_ADDREF(client);
    zval args[4];
    uint32_t n = 0;
    ZVAL_OBJ(&args[n++], client);
    if (m.table == kPatterns)
        stringOrNull(&args[n++], m.confirmation ? nullptr : m.pattern);
    stringOrNull(&args[n++], m.channel);
    if (m.payload) {
        kelvoPackOptions opts = kelvoPackOptionsOf(ro->opts);
        zend_string *bytes = m.payload->v.str;
        kelvoUnpackEx(&opts, &args[n++], ZSTR_VAL(bytes), ZSTR_LEN(bytes), bytes);
    } else {
        ZVAL_NULL(&args[n++]);
    }
    zval retval;
    ZVAL_UNDEF(&retval);
    context.fci.retval = &retval;
    context.fci.params = args;
    context.fci.param_count = n;
    context.fci.named_params = nullptr;
    ro->opts.flags |= kelvoOptInSubscribeCallback;
    zend_call_function(&context.fci, &context.fcc);
    ro->opts.flags &= static_cast<uint16_t>(~kelvoOptInSubscribeCallback);
    /* A callback's exception is shown and the loop goes on; exit() ends it. */
    if (EG(exception) && !zend_is_unwind_exit(EG(exception)) && !zend_is_graceful_exit(EG(exception)))
        zend_exception_error(EG(exception), E_WARNING);
    zval_ptr_dtor(&retval);
    for (uint32_t i = 0; i < n; i++)
        zval_ptr_dtor(&args[i]);
    zval_ptr_dtor(&context.fci.function_name);
}

/* What a received push means for the subscriptions, in arrival order. Owns push and context. */
void handle(robj *ro, kelvoReply *push, kelvoFcallContext *context)
{
    Message m;
    if (ro->link.state < KELVO_LINK_READY) {
        freeContext(context);
        releasePush(push);
        return;
    }
    if (!parseMessage(push, &m)) {
        if (kelvoLogLevelEnabled(KELVO_LL_NOTICE))
            kelvoLogNotice("%s:%d Malformed [UN]SUBSCRIBE payload", KELVO_LOG_SITE);
    } else if (m.confirmation && m.subscribe) {
        ro->mode |= kelvoModeSubscribed;
        if (context) {
            zend_hash_update_ptr(tableOf(ro, m.table), m.channel->v.str, context);
            context = nullptr;
        }
        if (!(ro->opts.flags & kelvoOptPhpredisCompat))
            callCallback(ro, m);
    } else if (m.confirmation) {
        if (m.channel)
            zend_hash_del(tableOf(ro, m.table), m.channel->v.str);
    } else {
        callCallback(ro, m);
    }
    if (tablesEmpty(ro))
        ro->mode &= ~kelvoModeSubscribed;
    freeContext(context);
    releasePush(push);
}

/* Handles the held pushes, oldest first; those a callback adds meanwhile join the end. */
int replayHeld(robj *ro)
{
    int handled = 0;
    while (!inCallback(ro) && !EG(exception)) {
        kelvoPushNode *node = ro->pushqHead;
        if (!node)
            break;
        ro->pushqHead = node->next;
        if (!ro->pushqHead)
            ro->pushqTail = nullptr;
        kelvoReply *push = node->reply;
        kelvoFcallContext *context = node->context;
        efree(node);
        handle(ro, push, context);
        handled++;
    }
    return handled;
}

/* Counted now, handled in order: after the running callback, or at once. */
void receive(robj *ro, kelvoReply *push)
{
    if (push->type != KELVO_REPLY_PUSH) {
        kelvoMalformedReplyWrongTypeEx(ro->opts.flags, __FILE__, __LINE__, "push", kelvoReplyTypeToString(push));
        releasePush(push);
        return;
    }
    Message m;
    kelvoFcallContext *context = parseMessage(push, &m) && m.confirmation ? account(ro, m) : nullptr;
    hold(ro, push, context);
}

/* Every request still waiting fails with the link. */
void failWaits(robj *ro)
{
    while (kelvoSubscribeWait *wait = ro->waitHead) {
        wait->linkFailed = true;
        unlinkWait(ro, wait);
    }
}

/* A non-push reply while requests wait: the oldest one was refused. */
void refuseOldest(robj *ro, kelvoReply *reply)
{
    kelvoSubscribeWait *wait = ro->waitHead;
    if (!wait) {
        kelvoLogNotice("%s:%d Unexpected reply in subscribe mode", KELVO_LOG_SITE);
        kelvoReplyFree(reply);
        return;
    }
    wait->refusal = reply;
    unlinkWait(ro, wait);
}

/* One reply taken from the link by the subscribe code. */
void route(robj *ro, kelvoReply *reply)
{
    if (reply->type == KELVO_REPLY_PUSH)
        kelvoPushCb(ro, reply);
    else
        refuseOldest(ro, reply);
}

bool answered(const kelvoSubscribeWait *wait) { return wait->awaiting == 0 || wait->refusal || wait->linkFailed; }

/* Reads until `wait` is answered: 0 confirmed; -1 refused or the link failed. */
int await(robj *ro, kelvoSubscribeWait *wait)
{
    while (!answered(wait)) {
        redisContext *c = ro->link.ctx;
        void *reply = nullptr;
        if (!c || redisGetReplyFromReader(c, &reply) != REDIS_OK || (!reply && redisBufferRead(c) != REDIS_OK)) {
            failWaits(ro);
            break;
        }
        if (reply)
            route(ro, static_cast<kelvoReply *>(reply));
    }
    return wait->awaiting == 0 && !wait->refusal && !wait->linkFailed ? 0 : -1;
}

/* Outcomes of a subscribe-family request. */
enum class Answer { Confirmed, Refused, LinkFailed };

/* Sends `req` (built, not finished) and reads until it is answered. A refusal's error reply is
 * left in *refusal for the caller. Reports nothing. */
Answer sendAndAwait(robj *ro, rrc *req, uint32_t table, bool subscribe, kelvoFcallContext *context,
                    kelvoReply **refusal)
{
    *refusal = nullptr;
    if (kelvoAppendCommand(ro, req) != 0 || redisBufferWriteAll(ro->link.ctx) != REDIS_OK)
        return Answer::LinkFailed;
    ro->link.lastUse = kelvoNowMicros();
    /* In request memory, not on the stack: a fatal error in a callback may leave it linked. */
    auto *wait = static_cast<kelvoSubscribeWait *>(emalloc(sizeof(kelvoSubscribeWait)));
    *wait = kelvoSubscribeWait{table, subscribe, req->pos > 1 ? req->pos - 1 : 1, context, nullptr, false, nullptr};
    if (ro->waitTail)
        ro->waitTail->next = wait;
    else
        ro->waitHead = wait;
    ro->waitTail = wait;
    Answer answer = Answer::Confirmed;
    if (await(ro, wait) != 0)
        answer = wait->refusal ? Answer::Refused : Answer::LinkFailed;
    *refusal = wait->refusal;
    efree(wait);
    return answer;
}

/* The refusal of a request is its caller's error: thrown or recorded as any server error. */
void reportRefusal(robj *ro, int cmd, kelvoReply *refusal)
{
    if (refusal->type == KELVO_REPLY_ERROR) {
        const zend_string *text = refusal->v.str;
        kelvoHandleErrorText(&ro->lastError, ro->opts.flags, ZSTR_VAL(text), ZSTR_LEN(text));
    } else {
        kelvoReportWrongType(&ro->lastError, ro->opts.flags, kelvoReplyTypeToString(refusal),
                             kelvoCommandStrings[cmd].name, kelvoCommandStrings[cmd].len);
    }
    kelvoReplyFree(refusal);
}

/* Names of `table` the server may hold: the table's and those of confirmations still held. */
void knownNames(robj *ro, uint32_t table, HashTable *names)
{
    zend_string *name;
    ZEND_HASH_FOREACH_STR_KEY(tableOf(ro, table), name)
    {
        if (name)
            zend_hash_add_empty_element(names, name);
    }
    ZEND_HASH_FOREACH_END();
    for (kelvoPushNode *node = ro->pushqHead; node; node = node->next) {
        Message m;
        if (parseMessage(node->reply, &m) && m.confirmation && m.subscribe && m.table == table)
            zend_hash_add_empty_element(names, m.channel->v.str);
    }
}

/* A bare unsubscribe names what it covers, so that its confirmations can be counted. */
void appendKnownNames(robj *ro, uint32_t table, rrc *req)
{
    HashTable names;
    zend_hash_init(&names, 8, nullptr, nullptr, 0);
    knownNames(ro, table, &names);
    zend_string *name;
    ZEND_HASH_FOREACH_STR_KEY(&names, name) { kelvoRespCmdCatZStr(req, name); }
    ZEND_HASH_FOREACH_END();
    zend_hash_destroy(&names);
}

void dropHeld(robj *ro)
{
    while (kelvoPushNode *node = ro->pushqHead) {
        ro->pushqHead = node->next;
        releasePush(node->reply);
        freeContext(node->context);
        efree(node);
    }
    ro->pushqTail = nullptr;
}

void leaveSubscribeMode(robj *ro)
{
    zend_hash_clean(&ro->channels);
    zend_hash_clean(&ro->patterns);
    zend_hash_clean(&ro->shardChannels);
    dropHeld(ro);
    failWaits(ro);
    ro->mode &= ~kelvoModeSubscribed;
}

/* After a broken loop with OPT_RESTORE_PUBSUB: a new connection with every subscription again. */
bool restore(robj *ro)
{
    if (!(ro->opts.flags & kelvoOptRestorePubsub))
        return false;
    dropHeld(ro);
    kelvoListenersDrop(ro);
    kelvoLinkFree(&ro->link);
    uint64_t subscribed = ro->mode & kelvoModeSubscribed;
    ro->mode &= ~kelvoModeSubscribed;
    bool ok = kelvoSyncObject(ro, KELVO_LINK_READY, true) == 0;
    ro->mode |= subscribed;
    for (uint32_t table = kChannels; ok && table <= kShardChannels; table++) {
        if (zend_hash_num_elements(tableOf(ro, table)) == 0)
            continue;
        rrc req{};
        kelvoRespCmdInitCmd(&req, 0, subscribeCommand(table));
        zend_string *name;
        ZEND_HASH_FOREACH_STR_KEY(tableOf(ro, table), name) { kelvoRespCmdCatZStr(&req, name); }
        ZEND_HASH_FOREACH_END();
        kelvoReply *refusal = nullptr;
        ok = sendAndAwait(ro, &req, table, true, nullptr, &refusal) == Answer::Confirmed;
        kelvoReplyFree(refusal);
        kelvoRespCmdRelease(&req);
    }
    return ok;
}

/* Takes every complete reply the reader holds: invalidations applied at once, the rest held.
 * How many, or -1 when the reader failed. */
int takeBuffered(robj *ro)
{
    redisContext *c = ro->link.ctx;
    for (int taken = 0;; taken++) {
        void *reply = nullptr;
        if (redisGetReplyFromReader(c, &reply) != REDIS_OK)
            return -1;
        if (!reply)
            return taken;
        route(ro, static_cast<kelvoReply *>(reply));
    }
}

/* The subscribe loop: runs the callbacks until no subscription is left. */
void subscribeLoop(zval *return_value, robj *ro)
{
    for (;;) {
        if (EG(exception)) {
            /* exit() in a callback: the subscriptions are left when the object is released. */
            RETVAL_FALSE;
            return;
        }
        redisContext *c = ro->link.ctx;
        if (c && !c->err) {
            /* Every buffered invalidation is applied before a callback can read the cache. */
            ro->opts.flags |= kelvoOptInSubscribeCallback;
            int taken = takeBuffered(ro);
            ro->opts.flags &= static_cast<uint16_t>(~kelvoOptInSubscribeCallback);
            if (taken >= 0) {
                /* Callbacks may leave replies in the reader (a command's read takes what follows
                 * its reply): look there again before waiting on the socket. */
                int handled = replayHeld(ro);
                if (!(ro->mode & kelvoModeSubscribed))
                    break;
                c = ro->link.ctx;
                if (c && !c->err && (taken > 0 || handled > 0 || redisBufferRead(c) == REDIS_OK))
                    continue;
            }
        } else if (!(ro->mode & kelvoModeSubscribed)) {
            break; /* a callback left every subscription and closed the link */
        }
        if (EG(exception) || !restore(ro)) {
            kelvoThrowLinkFailure(ro);
            leaveSubscribeMode(ro);
            RETVAL_FALSE;
            return;
        }
    }
    leaveSubscribeMode(ro);
    RETVAL_TRUE;
}

/* Channel names from a PHP array, as one argument each, with the client's key prefix. */
void appendNames(rrc *req, robj *ro, HashTable *names)
{
    zval *name;
    ZEND_HASH_FOREACH_VAL(names, name)
    {
        zend_string *s = zval_get_string(name);
        kelvoRespCmdCatKeyZStr(req, ro->opts.prefix, s);
        zend_string_release(s);
    }
    ZEND_HASH_FOREACH_END();
}

} // namespace

void kelvoFcallContextDtor(zval *zv)
{
    if (Z_TYPE_P(zv) == IS_PTR)
        freeContext(static_cast<kelvoFcallContext *>(Z_PTR_P(zv)));
}

void kelvoPushCb(void *privdata, void *raw)
{
    robj *ro = static_cast<robj *>(privdata);
    auto *reply = static_cast<kelvoReply *>(raw);
    if (kelvoIsInvalidationPush(reply))
        kelvoExecuteInvalidation(ro->link.ep, ro->link.rdb, reply);
    else
        kelvoSubscribeCb(ro, reply);
}

void kelvoSubscribeCb(robj *ro, kelvoReply *push)
{
    receive(ro, push);
    replayHeld(ro);
}

void kelvoSubscribeDrainInvalidations(robj *ro)
{
    redisContext *c = ro->link.ctx;
    if (!inCallback(ro) || !c || c->err)
        return;
    pollfd p{c->fd, POLLIN, 0};
    if (poll(&p, 1, 0) == 1 && (p.revents & POLLIN) && redisBufferRead(c) != REDIS_OK)
        return;
    takeBuffered(ro);
}

bool kelvoEndSubscriptions(robj *ro)
{
    if (!(ro->mode & kelvoModeSubscribed) && !ro->pushqHead)
        return true;
    /* The object is going: nothing it subscribed runs any more. */
    uint16_t flags = ro->opts.flags;
    ro->opts.flags |= kelvoOptInSubscribeCallback;
    bool ok = true;
    for (uint32_t table = kChannels; ok && table <= kShardChannels; table++) {
        rrc req{};
        kelvoRespCmdInitCmd(&req, 0, unsubscribeCommand(table));
        appendKnownNames(ro, table, &req);
        kelvoReply *refusal = nullptr;
        if (req.pos > 1)
            ok = sendAndAwait(ro, &req, table, false, nullptr, &refusal) == Answer::Confirmed;
        kelvoReplyFree(refusal);
        kelvoRespCmdRelease(&req);
    }
    ro->opts.flags =
        static_cast<uint16_t>((ro->opts.flags & ~kelvoOptInSubscribeCallback) | (flags & kelvoOptInSubscribeCallback));
    dropHeld(ro);
    ro->mode &= ~kelvoModeSubscribed;
    return ok;
}

void kelvoSubscribeCommand(INTERNAL_FUNCTION_PARAMETERS, int cmd)
{
    robj *ro = kelvoGetObjectZVal(ZEND_THIS);
    if (kelvoSyncObject(ro, KELVO_LINK_READY, false) != 0)
        RETURN_FALSE;
    if (kelvoInBatch(ro)) {
        kelvoThrowException(KELVO_ERR_OTHER, "Cannot SUBSCRIBE inside MULTI/PIPELINE");
        RETURN_FALSE;
    }
    kelvoSubscribeOn(INTERNAL_FUNCTION_PARAM_PASSTHRU, ro, cmd, nullptr);
}

void kelvoSubscribeOn(INTERNAL_FUNCTION_PARAMETERS, robj *ro, int cmd, zend_object *client)
{
    const FamilyRow &family = familyOf(cmd);
    const kelvoCommandInfo *row = kelvoClientCommands.commandRow(cmd);
    rrc req{};
    kelvoRespCmdInitCmd(&req, 0, cmd);
    if (row->std.respFn(execute_data, return_value, &req, ro) != 0 || EG(exception)) {
        kelvoRespCmdRelease(&req);
        RETURN_FALSE;
    }
    if (!family.subscribe && req.pos == 1)
        appendKnownNames(ro, family.table, &req);
    kelvoFcallContext *context = nullptr;
    if (family.subscribe) {
        kelvoReqDataKind kind;
        context = static_cast<kelvoFcallContext *>(kelvoRespCmdTakeUserdata(&req, &kind).record);
        if (context && client) {
            context->object = client;
            GC_ADDREF(client);
        }
    }
    /* Inside a callback the running loop goes on; the call returns once its request is answered. */
    bool nested = (ro->mode & kelvoModeSubscribed) != 0;
    kelvoReply *refusal = nullptr;
    Answer answer = sendAndAwait(ro, &req, family.table, family.subscribe, context, &refusal);
    kelvoRespCmdRelease(&req);
    freeContext(context);
    if (answer == Answer::Refused)
        reportRefusal(ro, cmd, refusal);
    else if (answer == Answer::LinkFailed)
        kelvoThrowLinkFailure(ro);
    if (answer != Answer::Confirmed) {
        if (!nested)
            leaveSubscribeMode(ro);
        RETURN_FALSE;
    }
    if (nested || !family.subscribe)
        RETURN_TRUE;
    subscribeLoop(return_value, ro);
}

/* -- catalogue roles of the subscribe family ------------------------------------------------------ */

/* A role whose signature drifted from its slot would leave the row on its placeholder. */
static_assert(std::is_same_v<decltype(&kelvoSubscribeRCmd), kelvoRespFn>);
static_assert(std::is_same_v<decltype(&kelvoUnsubscribeRCmd), kelvoRespFn>);
static_assert(std::is_same_v<decltype(&kelvoSubscribeReply), kelvoReplyFn>);

int kelvoSubscribeRCmd(zend_execute_data *execute_data, zval *return_value, rrc *req, robj *ro)
{
    HashTable *channels;
    zend_fcall_info fci = empty_fcall_info;
    zend_fcall_info_cache fcc = empty_fcall_info_cache;
    ZEND_PARSE_PARAMETERS_START(2, 2)
    Z_PARAM_ARRAY_HT(channels)
    Z_PARAM_FUNC(fci, fcc)
    ZEND_PARSE_PARAMETERS_END_EX(return -1);
    if (zend_hash_num_elements(channels) == 0) {
        php_error_docref(nullptr, E_WARNING, "Must pass at least one channel name");
        return -1;
    }
    appendNames(req, ro, channels);
    auto *context = static_cast<kelvoFcallContext *>(emalloc(sizeof(kelvoFcallContext)));
    context->fci = fci;
    context->fcc = fcc;
    context->object = nullptr;
    Z_TRY_ADDREF(context->fci.function_name);
    kelvoRespCmdSetRecord(req, context);
    return 0;
}

int kelvoUnsubscribeRCmd(zend_execute_data *execute_data, zval *return_value, rrc *req, robj *ro)
{
    HashTable *channels = nullptr;
    ZEND_PARSE_PARAMETERS_START(0, 1)
    Z_PARAM_OPTIONAL
    Z_PARAM_ARRAY_HT(channels)
    ZEND_PARSE_PARAMETERS_END_EX(return -1);
    if (!(ro->mode & kelvoModeSubscribed)) {
        php_error_docref(nullptr, E_WARNING, "Not subscribed");
        return -1;
    }
    if (channels)
        appendNames(req, ro, channels);
    return 0;
}

void kelvoSubscribeReply(zval *return_value, kelvoQuerySet *, robj *ro, kelvoReply *)
{
    subscribeLoop(return_value, ro);
}

void kelvoDropHeldPushes(robj *ro) { dropHeld(ro); }
