/* The full scan of every primary's key space and the generator foreach walks it with. */
#include "cluster/fullscan.h"
#include "cluster/nodewide.h"
#include "cluster/topology.h"
#include "catalog/cmdinfo.h"
#include "client/connection.h"
#include "commands/builder.h"
#include "commands/commands.h"
#include "commands/multi.h"
#include "runtime/exception.h"
#include "runtime/fatal.h"
#include "runtime/kelvo.h"
#include "wire/reply.h"

#include "zend_generators.h"
#include "zend_exceptions.h"
#include "zend_interfaces.h"

#include <bitset>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

namespace {

constexpr char kTopologyChanged[] = "Cluster topology changed during full scan";

/* --- the layout a scan relies on ------------------------------------------------------------- */

/* The word at `index` of a line of blank-separated words (empty past the end). */
std::string_view wordAt(std::string_view line, size_t index)
{
    size_t at = 0;
    for (size_t n = 0; n < index; n++) {
        at = line.find(' ', at);
        if (at == std::string_view::npos)
            return {};
        at++;
    }
    return line.substr(at, line.find(' ', at) - at);
}

/* The "myself" line of a CLUSTER NODES reply. */
std::string_view myselfLine(std::string_view text)
{
    while (!text.empty()) {
        size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        if (wordAt(line, 2).find("myself") != std::string_view::npos)
            return line;
        if (end == std::string_view::npos)
            break;
        text.remove_prefix(end + 1);
    }
    return {};
}

/*
 * A primary's own view of itself: its role and its slots, appended to `layout` and marked in
 * `covered`. False when it is no primary any more or a slot of it is being migrated.
 */
bool addOwnView(std::string_view line, std::string *layout, std::bitset<kelvoClusterSlotCount> *covered)
{
    size_t field = 0, at = 0;
    while (at <= line.size()) {
        size_t end = line.find(' ', at);
        if (end == std::string_view::npos)
            end = line.size();
        std::string_view word = line.substr(at, end - at);
        if (field == 2 && word.find("master") == std::string_view::npos)
            return false;
        if (field >= 8 && !word.empty()) {
            if (word.front() == '[')
                return false;
            size_t dash = word.find('-');
            char *stop = nullptr;
            std::string first(word.substr(0, dash));
            long from = strtol(first.c_str(), &stop, 10);
            long to = from;
            if (dash != std::string_view::npos)
                to = strtol(std::string(word.substr(dash + 1)).c_str(), nullptr, 10);
            if (from < 0 || to >= static_cast<long>(kelvoClusterSlotCount) || from > to)
                return false;
            for (long slot = from; slot <= to; slot++)
                covered->set(static_cast<size_t>(slot));
            layout->append(word).push_back(' ');
        }
        field++;
        at = end + 1;
    }
    layout->push_back('\n');
    return field >= 8;
}

/*
 * The primaries' own views of their slots, one line each in node order. Null when one cannot be
 * asked, is no primary, migrates a slot, or when together they leave a slot to a node the list
 * does not hold.
 */
zend_string *readLayout(kelvoClusterObject *cobj, const zend_long *primaries, uint32_t count)
{
    for (uint32_t i = 0; i < count; i++)
        if (static_cast<uint64_t>(primaries[i]) >= cobj->nodes)
            return nullptr;
    /* Asked of every primary at once: the check costs one round trip, not one per primary. */
    rrc req{};
    kelvoRespCmdInitCmd(&req, 0, REDIS_CMD_CLUSTER);
    kelvoRespCmdCatLen(&req, "NODES", 5);
    std::vector<kelvoReply *> replies(count);
    bool asked = kelvoClusterSendToNodes(cobj, primaries, count, &req, replies.data()) == 0;
    kelvoRespCmdRelease(&req);
    std::string layout;
    std::bitset<kelvoClusterSlotCount> covered;
    for (uint32_t i = 0; i < count && asked; i++) {
        const kelvoReply *reply = replies[i];
        std::string_view line;
        if (reply->type == KELVO_REPLY_STRING || reply->type == KELVO_REPLY_VERB)
            line = myselfLine(std::string_view(ZSTR_VAL(reply->v.str), ZSTR_LEN(reply->v.str)));
        layout.append(std::to_string(primaries[i])).push_back(' ');
        asked = !line.empty() && addOwnView(line, &layout, &covered);
    }
    for (kelvoReply *reply : replies)
        kelvoReplyFree(reply);
    if (!asked || !covered.all())
        return nullptr;
    return zend_string_init(layout.data(), layout.size(), 0);
}

/* The nodes that own slots now, in node order. */
void takePrimaries(kelvoClusterObject *cobj, kelvoFullscanWatch *watch)
{
    if (watch->primaries)
        efree(watch->primaries);
    watch->primaries = static_cast<zend_long *>(safe_emalloc(cobj->nodes ? cobj->nodes : 1, sizeof(zend_long), 0));
    watch->count = 0;
    for (uint64_t i = 0; i < cobj->nodes; i++)
        if (kelvoClusterNodeIsLivePrimary(cobj, static_cast<zend_long>(i)))
            watch->primaries[watch->count++] = static_cast<zend_long>(i);
}

/* Takes the layout the scan will hold the cluster to; a stale map of the object is read again once. */
bool beginWatch(kelvoClusterObject *cobj, kelvoFullscanWatch *watch)
{
    for (int attempt = 0; attempt < 2; attempt++) {
        takePrimaries(cobj, watch);
        if (watch->count == 0)
            return true;
        if (watch->layout)
            zend_string_release(watch->layout);
        watch->layout = readLayout(cobj, watch->primaries, watch->count);
        if (watch->layout)
            return true;
        kelvoClusterRefreshTopology(cobj, -1, true);
    }
    return false;
}

/* Whether the cluster still has the layout the scan began with. */
bool layoutHolds(kelvoClusterObject *cobj, const kelvoFullscanWatch *watch)
{
    zend_string *now = readLayout(cobj, watch->primaries, watch->count);
    bool same = now && zend_string_equals(now, watch->layout);
    if (now)
        zend_string_release(now);
    return same;
}

/* --- one page ---------------------------------------------------------------------------------- */

/* "node.cursor": false when the text is not two decimal numbers around a dot. */
bool parseCursor(const zend_string *text, zend_long *node, zend_ulong *cursor)
{
    const char *s = ZSTR_VAL(text);
    const char *dot = static_cast<const char *>(memchr(s, '.', ZSTR_LEN(text)));
    if (!dot || dot == s || dot + 1 == s + ZSTR_LEN(text))
        return false;
    for (const char *p = s; p < s + ZSTR_LEN(text); p++)
        if (p != dot && (*p < '0' || *p > '9'))
            return false;
    errno = 0;
    char *end = nullptr;
    long long n = strtoll(s, &end, 10);
    if (errno || end != dot)
        return false;
    unsigned long long c = strtoull(dot + 1, &end, 10);
    if (errno || end != s + ZSTR_LEN(text))
        return false;
    *node = static_cast<zend_long>(n);
    *cursor = static_cast<zend_ulong>(c);
    return true;
}

int positionOf(const kelvoFullscanWatch *watch, zend_long node)
{
    for (uint32_t i = 0; i < watch->count; i++)
        if (watch->primaries[i] == node)
            return static_cast<int>(i);
    return -1;
}

/*
 * SCAN on one node into `batch`, the next cursor in `*cursor`. A cursor other than 0 is never
 * sent again over a new connection: that connection may reach a server that reads it otherwise.
 */
int scanPage(zval *batch, robj *ro, zend_ulong *cursor, zval *options, kelvoClusterObject *cobj)
{
    const kelvoCommandInfo *row = kelvoGetCommandRCmd(REDIS_CMD_SCAN);
    robj *tmpl = &cobj->tmpl;
    rrc req{};
    kelvoRespCmdInitCmd(&req, KELVO_CLUSTER_ROUTABLE, REDIS_CMD_SCAN);
    kelvoRespCmdCatZendULong(&req, *cursor);
    if (options && Z_TYPE_P(options) == IS_ARRAY) {
        zend_string *name;
        zval *value;
        ZEND_HASH_FOREACH_STR_KEY_VAL(Z_ARRVAL_P(options), name, value)
        {
            if (!name)
                continue;
            kelvoRespCmdCatZStr(&req, name);
            zend_string *text = zval_get_string(value);
            if (zend_string_equals_literal_ci(name, "match") && (tmpl->opts.scan & kelvoScanPrefix))
                kelvoCatKey(&req, tmpl, text);
            else
                kelvoRespCmdCatZStr(&req, text);
            zend_string_release(text);
        }
        ZEND_HASH_FOREACH_END();
    }
    zval it;
    ZVAL_LONG(&it, static_cast<zend_long>(*cursor));
    kelvoQuerySet rqs{};
    kelvoQuerySetClear(&rqs);
    int32_t retries = ro->opts.retry.maxRetries;
    if (*cursor != 0)
        ro->opts.retry.maxRetries = 0;
    ro->it = &it;
    int rc = kelvoProcessResponse(batch, ro, row, &rqs, &req);
    ro->it = nullptr;
    ro->opts.retry.maxRetries = retries;
    kelvoQuerySetRelease(&rqs, rc == 0 ? KELVO_RQS_OUTCOME_MISS : KELVO_RQS_OUTCOME_ERROR);
    kelvoRespCmdRelease(&req);
    tmpl->link.lastUse = kelvoNowMicros();
    if (rc != 0 || Z_TYPE_P(batch) != IS_ARRAY) {
        /* The node's error is the cluster's, and a step that fails never passes for the end. */
        if (ro->lastError)
            kelvoSetLastError(&tmpl->lastError, ZSTR_VAL(ro->lastError), ZSTR_LEN(ro->lastError));
        if (!EG(exception)) {
            if (ro->lastError)
                kelvoThrowExceptionFmt(KELVO_ERR_REDIS, "%s", ZSTR_VAL(ro->lastError));
            else
                kelvoThrowException(KELVO_ERR_OTHER, "SCAN failed during full scan");
        }
        return -1;
    }
    *cursor = static_cast<zend_ulong>(Z_LVAL(it));
    return 0;
}

void setCursor(zval *cursor, zend_long node, zend_ulong nodeCursor)
{
    zval_ptr_dtor(cursor);
    ZVAL_STR(cursor, zend_strpprintf(0, ZEND_LONG_FMT "." ZEND_ULONG_FMT, node, nodeCursor));
}

} // namespace

void kelvoFullscanWatchRelease(kelvoFullscanWatch *watch)
{
    if (watch->primaries)
        efree(watch->primaries);
    if (watch->layout)
        zend_string_release(watch->layout);
    *watch = kelvoFullscanWatch{};
}

int kelvoClusterFullScan(zval *batch, zval *cursor, zval *options, kelvoClusterObject *cobj, kelvoFullscanWatch *watch)
{
    if (kelvoInBatch(&cobj->tmpl)) {
        kelvoThrowException(KELVO_ERR_OTHER, "SCAN cannot be called in pipeline/multi mode");
        return -1;
    }
    zend_string *text = zval_get_string(cursor);
    zend_long node = 0;
    zend_ulong nodeCursor = 0;
    bool start = ZSTR_LEN(text) == 0;
    bool parsed = start || parseCursor(text, &node, &nodeCursor);
    zend_string_release(text);
    if (!parsed) {
        kelvoThrowException(KELVO_ERR_OTHER, "Invalid iterator");
        return -1;
    }
    if (start) {
        if (!beginWatch(cobj, watch)) {
            kelvoThrowException(KELVO_ERR_OTHER, kTopologyChanged);
            return -1;
        }
        if (watch->count == 0) {
            kelvoThrowException(KELVO_ERR_OTHER, "Internal error: no master node found");
            return -1;
        }
        node = watch->primaries[0];
    } else if (node < 0 || static_cast<uint64_t>(node) >= cobj->nodes || positionOf(watch, node) < 0) {
        kelvoThrowException(KELVO_ERR_OTHER, "Invalid node index in iterator");
        return -1;
    }
    bool restarted = false;
    for (;;) {
        robj *ro = &cobj->node[node]->ro;
        if (kelvoSyncObject(ro, KELVO_LINK_READY, false) != 0 || kelvoPollIdleLink(ro) != 0)
            return -1;
        if (nodeCursor != 0 && ro->link.serial != watch->serial)
            nodeCursor = 0; /* a new connection: the node again from its start */
        watch->serial = ro->link.serial;
        zval_ptr_dtor(batch);
        ZVAL_UNDEF(batch);
        const zend_ulong sent = nodeCursor;
        if (scanPage(batch, ro, &nodeCursor, options, cobj) != 0) {
            if (sent == 0 || restarted || ro->link.state == KELVO_LINK_READY)
                return -1;
            /* The connection broke under a cursor that is not sent again: the node from its start. */
            zend_clear_exception();
            restarted = true;
            nodeCursor = 0;
            continue;
        }
        if (ro->link.serial != watch->serial) {
            /* The page came over a connection made during the call: its cursor is not trusted either. */
            watch->serial = ro->link.serial;
            nodeCursor = 0;
        }
        if (nodeCursor == 0) {
            if (!layoutHolds(cobj, watch)) {
                kelvoThrowException(KELVO_ERR_OTHER, kTopologyChanged);
                return -1;
            }
            int at = positionOf(watch, node);
            if (static_cast<uint32_t>(at + 1) >= watch->count) {
                zval_ptr_dtor(cursor);
                ZVAL_NULL(cursor);
                return 0;
            }
            node = watch->primaries[at + 1];
        }
        bool empty = zend_hash_num_elements(Z_ARRVAL_P(batch)) == 0;
        if (!empty || !(cobj->tmpl.opts.scan & kelvoScanRetry))
            break;
    }
    setCursor(cursor, node, nodeCursor);
    return 0;
}

/* --- the generator ------------------------------------------------------------------------------ */

namespace {

zend_object_handlers generatorHandlers;

/* The engine's generator record first: the engine reads the object as a Generator. */
struct FullscanGenerator {
    zend_generator gen;
    kelvoFullscanWatch watch;
    zend_long page; /* pages moved past */
};

FullscanGenerator *fromObject(zend_object *object) { return reinterpret_cast<FullscanGenerator *>(object); }

bool ended(const FullscanGenerator *g) { return Z_TYPE(g->gen.key) != IS_STRING; }

/* The current page, scanned first when none is held; null at the end or after an exception. */
zval *currentPage(FullscanGenerator *g)
{
    zend_generator *gen = &g->gen;
    if (Z_TYPE(gen->value) != IS_UNDEF)
        return &gen->value;
    if (ended(g) || Z_TYPE(gen->retval) != IS_OBJECT)
        return nullptr;
    kelvoClusterObject *cobj = kelvoClusterGetObjectZObj(Z_OBJ(gen->retval));
    zval batch;
    ZVAL_UNDEF(&batch);
    if (kelvoClusterFullScan(&batch, &gen->key, &gen->values, cobj, &g->watch) != 0) {
        zval_ptr_dtor(&batch);
        return nullptr;
    }
    ZVAL_COPY_VALUE(&gen->value, &batch);
    gen->flags &= ~ZEND_GENERATOR_AT_FIRST_YIELD;
    return &gen->value;
}

void moveForward(FullscanGenerator *g)
{
    zend_generator *gen = &g->gen;
    if (Z_TYPE(gen->value) == IS_UNDEF && !currentPage(g))
        return;
    zval_ptr_dtor(&gen->value);
    ZVAL_UNDEF(&gen->value);
    g->page++;
}

bool isValid(const FullscanGenerator *g) { return Z_TYPE(g->gen.value) != IS_UNDEF || !ended(g); }

FullscanGenerator *generatorOf(zend_object_iterator *iterator)
{
    kelvoAssert(Z_TYPE(iterator->data) == IS_OBJECT);
    return fromObject(Z_OBJ(iterator->data));
}

void iteratorDtor(zend_object_iterator *iterator) { zval_ptr_dtor(&iterator->data); }

int iteratorValid(zend_object_iterator *iterator) { return isValid(generatorOf(iterator)) ? SUCCESS : FAILURE; }

zval *iteratorCurrentData(zend_object_iterator *iterator) { return currentPage(generatorOf(iterator)); }

void iteratorMoveForward(zend_object_iterator *iterator)
{
    FullscanGenerator *g = generatorOf(iterator);
    zval_ptr_dtor(&g->gen.value);
    ZVAL_UNDEF(&g->gen.value);
    g->page++;
}

const zend_object_iterator_funcs iteratorFuncs = {
    iteratorDtor, iteratorValid, iteratorCurrentData, nullptr, iteratorMoveForward, nullptr, nullptr, nullptr,
};

zend_object_iterator *getIterator(zend_class_entry *, zval *object, int byRef)
{
    if (byRef) {
        zend_throw_error(nullptr, "An iterator cannot be used with foreach by reference");
        return nullptr;
    }
    auto *iterator = static_cast<zend_object_iterator *>(emalloc(sizeof(zend_object_iterator)));
    zend_iterator_init(iterator);
    iterator->funcs = &iteratorFuncs;
    ZVAL_OBJ_COPY(&iterator->data, Z_OBJ_P(object));
    return iterator;
}

zend_object *createGenerator(zend_class_entry *ce)
{
    /* Allocated whole: the engine's allocator helper assumes the object's record comes last. */
    auto *g = static_cast<FullscanGenerator *>(ecalloc(1, sizeof(FullscanGenerator)));
    zend_object_std_init(&g->gen.std, ce);
    g->gen.std.handlers = &generatorHandlers;
    ZVAL_UNDEF(&g->gen.value);
    ZVAL_UNDEF(&g->gen.key);
    ZVAL_UNDEF(&g->gen.retval);
    ZVAL_UNDEF(&g->gen.values);
    return &g->gen.std;
}

void destroyGenerator(zend_object *object)
{
    zend_generator *gen = &fromObject(object)->gen;
    zval_ptr_dtor(&gen->values);
    ZVAL_UNDEF(&gen->values);
    zend_generator_close(gen, false);
}

void freeGenerator(zend_object *object)
{
    FullscanGenerator *g = fromObject(object);
    zend_generator_close(&g->gen, false);
    zval_ptr_dtor(&g->gen.retval);
    zval_ptr_dtor(&g->gen.key);
    zval_ptr_dtor(&g->gen.value);
    zval_ptr_dtor(&g->gen.values);
    kelvoFullscanWatchRelease(&g->watch);
    zend_object_std_dtor(object);
}

zend_function *refuseConstructor(zend_object *)
{
    zend_throw_error(nullptr,
                     "The \"Generator\" class is reserved for internal use and cannot be manually instantiated");
    return nullptr;
}

void refuseMethod(const char *name)
{
    zend_throw_error(nullptr, "Kelvo\\Cluster\\FullscanGenerator::%s() is not supported", name);
}

} // namespace

void kelvoClusterNewFullscanGenerator(zval *return_value, zend_object *cluster, zval *options)
{
    object_init_ex(return_value, kelvo_cluster_fullscan_generator_ce);
    zend_generator *gen = &fromObject(Z_OBJ_P(return_value))->gen;
    ZVAL_OBJ_COPY(&gen->retval, cluster);
    ZVAL_EMPTY_STRING(&gen->key);
    ZVAL_COPY(&gen->values, options);
}

void kelvoClusterRegisterFullscanGenerator(zend_class_entry *ce)
{
    ce->create_object = createGenerator;
    ce->get_iterator = getIterator;
    memcpy(&generatorHandlers, zend_get_std_object_handlers(), sizeof generatorHandlers);
    generatorHandlers.free_obj = freeGenerator;
    generatorHandlers.dtor_obj = destroyGenerator;
    generatorHandlers.clone_obj = nullptr;
    generatorHandlers.get_constructor = refuseConstructor;
}

extern "C" {

ZEND_METHOD(Kelvo_Cluster_FullscanGenerator, current)
{
    ZEND_PARSE_PARAMETERS_NONE();
    if (zval *page = currentPage(fromObject(Z_OBJ_P(ZEND_THIS))))
        RETURN_COPY(page);
}

ZEND_METHOD(Kelvo_Cluster_FullscanGenerator, key)
{
    ZEND_PARSE_PARAMETERS_NONE();
    FullscanGenerator *g = fromObject(Z_OBJ_P(ZEND_THIS));
    if (currentPage(g))
        RETURN_LONG(g->page);
}

ZEND_METHOD(Kelvo_Cluster_FullscanGenerator, next)
{
    ZEND_PARSE_PARAMETERS_NONE();
    moveForward(fromObject(Z_OBJ_P(ZEND_THIS)));
}

ZEND_METHOD(Kelvo_Cluster_FullscanGenerator, valid)
{
    ZEND_PARSE_PARAMETERS_NONE();
    FullscanGenerator *g = fromObject(Z_OBJ_P(ZEND_THIS));
    RETURN_BOOL(isValid(g) && currentPage(g));
}

ZEND_METHOD(Kelvo_Cluster_FullscanGenerator, rewind)
{
    ZEND_PARSE_PARAMETERS_NONE();
    FullscanGenerator *g = fromObject(Z_OBJ_P(ZEND_THIS));
    if (g->page > 0) {
        zend_throw_exception(nullptr, "Cannot rewind a generator that was already run", 0);
        return;
    }
    currentPage(g);
}

ZEND_METHOD(Kelvo_Cluster_FullscanGenerator, send)
{
    zval *value;
    ZEND_PARSE_PARAMETERS_START(1, 1)
    Z_PARAM_ZVAL(value)
    ZEND_PARSE_PARAMETERS_END();
    refuseMethod("send");
}

ZEND_METHOD(Kelvo_Cluster_FullscanGenerator, throw)
{
    zval *exception;
    ZEND_PARSE_PARAMETERS_START(1, 1)
    Z_PARAM_OBJECT_OF_CLASS(exception, zend_ce_throwable)
    ZEND_PARSE_PARAMETERS_END();
    refuseMethod("throw");
}

ZEND_METHOD(Kelvo_Cluster_FullscanGenerator, getReturn)
{
    ZEND_PARSE_PARAMETERS_NONE();
    refuseMethod("getReturn");
}

/* The generator over every primary's keys; its options as the method's arguments give them. */
ZEND_METHOD(Kelvo_Cluster, fullscan)
{
    zval *match = nullptr;
    zend_long count = 0;
    zend_string *type = nullptr;
    ZEND_PARSE_PARAMETERS_START(0, 3)
    Z_PARAM_OPTIONAL
    Z_PARAM_ZVAL(match)
    Z_PARAM_LONG(count)
    Z_PARAM_STR_OR_NULL(type)
    ZEND_PARSE_PARAMETERS_END();
    kelvoClusterObject *cobj = kelvoClusterGetObjectZVal(ZEND_THIS);
    if (match && Z_TYPE_P(match) != IS_NULL && Z_TYPE_P(match) != IS_STRING) {
        zend_argument_type_error(1, "must be of type ?string, %s given", zend_zval_type_name(match));
        RETURN_THROWS();
    }
    if (kelvoInBatch(&cobj->tmpl)) {
        php_error_docref(nullptr, E_WARNING, "SCAN cannot be called in pipeline/multi mode");
        RETURN_FALSE;
    }
    zval options;
    array_init(&options);
    if (match && Z_TYPE_P(match) == IS_STRING)
        add_assoc_str(&options, "match", zend_string_copy(Z_STR_P(match)));
    if (count > 0)
        add_assoc_long(&options, "count", count);
    if (type)
        add_assoc_str(&options, "type", zend_string_copy(type));
    kelvoClusterNewFullscanGenerator(return_value, Z_OBJ_P(ZEND_THIS), &options);
    zval_ptr_dtor(&options);
}

} // extern "C"
