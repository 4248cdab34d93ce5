/* Event listeners: registration, the registry, waiting events and their delivery, and the methods. */
#include "client/listeners.h"

#include "cache/patterns.h"
#include "client/connection.h"
#include "client/event.h"
#include "runtime/exception.h"
#include "runtime/fatal.h"
#include "runtime/kelvo.h"
#include "shm/shared.h"

#include <unistd.h>

#include <cstring>

namespace {

/* One listener still to call for a waiting event. */
struct PendingCall {
    zend_object *object; /* counted: the PHP object that owns `ro` */
    robj *ro;            /* the client record whose listener runs (a cluster's node, or the object's own) */
    zend_string *listenerKey;
    zval event;
    PendingCall *next;
};

/* An event waiting for delivery: to every registered object of an endpoint, or to one object
 * (its own write). Its calls are listed when delivery starts, so listeners added or removed by
 * the callables themselves never shift what the event reaches. */
struct PendingEvent {
    zend_string *endpoint; /* null for an own write */
    zend_object *target;   /* counted owner of `targetRo`; own writes only */
    robj *targetRo;
    zend_string *key; /* null: a flush */
    bool client;
    bool listed;
    PendingCall *calls;
    PendingEvent *next;
};

/* Per process, request memory. */
struct ProcessState {
    PendingEvent *head = nullptr;
    PendingEvent *tail = nullptr;
    bool queueHeld = false;
    pid_t pid = 0; /* the process the registry and the queue belong to */
};
ProcessState state;

const char kWildcard[] = "*";

/* Registry: endpoint identity -> (address of a registered client record -> its owning object, counted). */
HashTable *registry() { return KELVO_G(listeners); }

zend_ulong recordKey(const robj *ro) { return zend_ulong(reinterpret_cast<uintptr_t>(ro)); }

robj *recordOfKey(zend_ulong key) { return reinterpret_cast<robj *>(uintptr_t(key)); }

/* Whether `ro` is registered under `owner`, asked without reading `ro` (it may be gone). */
bool registeredWith(const robj *ro, const zend_object *owner)
{
    if (!registry())
        return false;
    zval *objects;
    ZEND_HASH_FOREACH_VAL(registry(), objects)
    {
        zval *found = zend_hash_index_find(Z_ARRVAL_P(objects), recordKey(ro));
        if (found && Z_OBJ_P(found) == owner)
            return true;
    }
    ZEND_HASH_FOREACH_END();
    return false;
}

/* The object a registered record belongs to, or null when the record is not registered. */
zend_object *ownerOf(const robj *ro)
{
    if (!ro->listenerEndpoint || !registry())
        return nullptr;
    zval *objects = zend_hash_find(registry(), ro->listenerEndpoint);
    zval *owner = objects ? zend_hash_index_find(Z_ARRVAL_P(objects), recordKey(ro)) : nullptr;
    return owner ? Z_OBJ_P(owner) : nullptr;
}

void freeCalls(PendingCall *call)
{
    while (call) {
        PendingCall *next = call->next;
        OBJ_RELEASE(call->object);
        zend_string_release(call->listenerKey);
        zval_ptr_dtor(&call->event);
        efree(call);
        call = next;
    }
}

void freeEvent(PendingEvent *e)
{
    if (e->endpoint)
        zend_string_release(e->endpoint);
    if (e->target)
        OBJ_RELEASE(e->target);
    if (e->key)
        zend_string_release(e->key);
    freeCalls(e->calls);
    efree(e);
}

void dropWaitingEvents()
{
    while (PendingEvent *e = state.head) {
        state.head = e->next;
        freeEvent(e);
    }
    state.tail = nullptr;
}

void enqueue(zend_string *endpoint, robj *target, const char *key, size_t length, bool client)
{
    auto *e = static_cast<PendingEvent *>(ecalloc(1, sizeof(PendingEvent)));
    e->endpoint = endpoint ? zend_string_copy(endpoint) : nullptr;
    if (target) {
        e->target = ownerOf(target);
        kelvoAssert(e->target != nullptr);
        e->targetRo = target;
        GC_ADDREF(e->target);
    }
    e->key = key ? zend_string_init(key, length, 0) : nullptr;
    e->client = client;
    if (state.tail)
        state.tail->next = e;
    else
        state.head = e;
    state.tail = e;
}

void destroyRegistry()
{
    HashTable *table = registry();
    if (!table)
        return;
    KELVO_G(listeners) = nullptr;
    zend_hash_destroy(table);
    FREE_HASHTABLE(table);
}

void detachQueue()
{
    if (state.queueHeld)
        kelvoInvalidationQueueDetach();
    state.queueHeld = false;
}

/* Every registered object forgets its listeners and its registration; the registry goes. */
void forgetRegistry()
{
    HashTable *table = registry();
    if (!table)
        return;
    zval *objects;
    ZEND_HASH_FOREACH_VAL(table, objects)
    {
        zend_ulong key;
        ZEND_HASH_FOREACH_NUM_KEY(Z_ARRVAL_P(objects), key)
        {
            robj *ro = recordOfKey(key);
            zend_hash_clean(&ro->callbacks);
            if (ro->listenerEndpoint) {
                zend_string_release(ro->listenerEndpoint);
                ro->listenerEndpoint = nullptr;
            }
        }
        ZEND_HASH_FOREACH_END();
    }
    ZEND_HASH_FOREACH_END();
    destroyRegistry();
}

/* A forked child starts with neither its parent's queue nor its listeners. */
void forgetParentState()
{
    if (state.pid == 0 || state.pid == getpid())
        return;
    state.queueHeld = false; /* the parent's: never given back from here */
    dropWaitingEvents();
    forgetRegistry();
    state.pid = 0;
}

/* "FI:*", "0I:<pattern>", "F0:*". */
zend_string *listenerKey(uint32_t mask, zend_string *pattern)
{
    const char *p = pattern ? ZSTR_VAL(pattern) : kWildcard;
    size_t n = pattern ? ZSTR_LEN(pattern) : 1;
    zend_string *key = zend_string_alloc(3 + n, 0);
    ZSTR_VAL(key)[0] = (mask & kelvoListenFlushed) ? 'F' : '0';
    ZSTR_VAL(key)[1] = (mask & kelvoListenInvalidated) ? 'I' : '0';
    ZSTR_VAL(key)[2] = ':';
    memcpy(ZSTR_VAL(key) + 3, p, n);
    ZSTR_VAL(key)[3 + n] = '\0';
    return key;
}

void registerObject(robj *ro, zend_object *owner)
{
    if (!registry()) {
        ALLOC_HASHTABLE(KELVO_G(listeners));
        zend_hash_init(registry(), 8, nullptr, ZVAL_PTR_DTOR, 0);
        state.pid = getpid();
    }
    zval *objects = zend_hash_find(registry(), ro->link.key);
    if (!objects) {
        zval empty;
        array_init(&empty);
        objects = zend_hash_add_new(registry(), ro->link.key, &empty);
    }
    zval object;
    ZVAL_OBJ_COPY(&object, owner);
    zend_hash_index_update(Z_ARRVAL_P(objects), recordKey(ro), &object);
    ro->listenerEndpoint = zend_string_copy(ro->link.key);
}

bool matches(const kelvoListenerCb *listener, const PendingEvent *e)
{
    uint32_t type = e->key ? kelvoListenInvalidated : kelvoListenFlushed;
    if (!(listener->mask & type))
        return false;
    if (!e->key || zend_string_equals_literal(listener->pattern, kWildcard))
        return true;
    return kelvoFnMatch(ZSTR_VAL(listener->pattern), ZSTR_LEN(listener->pattern), ZSTR_VAL(e->key), ZSTR_LEN(e->key)) ==
           0;
}

/* Lists the calls of the matching listeners of `ro` (owned by `object`) for `e`, one event object shared by them. */
PendingCall **listCalls(PendingCall **tail, zend_object *object, robj *ro, PendingEvent *e)
{
    zval event;
    ZVAL_UNDEF(&event);
    zend_string *name;
    zval *value;
    ZEND_HASH_FOREACH_STR_KEY_VAL(&ro->callbacks, name, value)
    {
        auto *listener = static_cast<kelvoListenerCb *>(Z_PTR_P(value));
        if (!matches(listener, e))
            continue;
        if (Z_ISUNDEF(event)) {
            kelvoEventInit(&event, e->key ? kelvoEventInvalidated : kelvoEventFlushed,
                           e->key ? ZSTR_VAL(e->key) : nullptr, e->key ? ZSTR_LEN(e->key) : 0, e->client);
        }
        auto *call = static_cast<PendingCall *>(emalloc(sizeof(PendingCall)));
        call->object = object;
        call->ro = ro;
        GC_ADDREF(object);
        call->listenerKey = zend_string_copy(name);
        ZVAL_COPY(&call->event, &event);
        call->next = nullptr;
        *tail = call;
        tail = &call->next;
    }
    ZEND_HASH_FOREACH_END();
    zval_ptr_dtor(&event);
    return tail;
}

void listEvent(PendingEvent *e)
{
    e->listed = true;
    PendingCall **tail = &e->calls;
    if (e->target) {
        listCalls(tail, e->target, e->targetRo, e);
        return;
    }
    zval *objects = registry() ? zend_hash_find(registry(), e->endpoint) : nullptr;
    if (!objects)
        return;
    zend_ulong key;
    zval *object;
    ZEND_HASH_FOREACH_NUM_KEY_VAL(Z_ARRVAL_P(objects), key, object)
    {
        tail = listCalls(tail, Z_OBJ_P(object), recordOfKey(key), e);
    }
    ZEND_HASH_FOREACH_END();
}

/* Runs one listener: 0, or -1 when the engine could not call it. */
int call(PendingCall *c)
{
    /* A record unregistered since (a cluster's node dropped with its object's topology) is not touched. */
    robj *ro = c->ro;
    if (!registeredWith(ro, c->object))
        return 0;
    auto *listener = static_cast<kelvoListenerCb *>(zend_hash_find_ptr(&ro->callbacks, c->listenerKey));
    if (!listener)
        return 0; /* removed since the event was listed */
    zval args[2];
    ZVAL_COPY(&args[0], &c->event);
    bool flushed = Z_OBJCE(c->event) == kelvo_event_flushed_ce;
    if (flushed)
        ZVAL_NULL(&args[1]);
    else
        ZVAL_STR_COPY(&args[1], listener->pattern);
    /* The callable may replace or remove its own listener: it runs from copies. */
    zend_fcall_info fci = listener->fci;
    zend_fcall_info_cache fcc = listener->fcc;
    Z_TRY_ADDREF(fci.function_name);
    zval retval;
    fci.retval = &retval;
    fci.params = args;
    fci.param_count = 2;
    fci.named_params = nullptr;
    kelvoAssert(KELVO_G(in_invalidation_callback) == 0);
    KELVO_G(in_invalidation_callback) = 1;
    zend_result rc = zend_call_function(&fci, &fcc);
    KELVO_G(in_invalidation_callback) = 0;
    if (rc == SUCCESS)
        zval_ptr_dtor(&retval);
    zval_ptr_dtor(&fci.function_name);
    zval_ptr_dtor(&args[0]);
    zval_ptr_dtor(&args[1]);
    if (rc != SUCCESS) {
        php_error_docref(nullptr, E_WARNING, "Failed to invoke invalidation callback");
        return -1;
    }
    return 0;
}

/* Delivers waiting events in order until none is left, a listener throws or one cannot be
 * called (that event is dropped; -1). Never while a listener runs: the running delivery goes
 * on with what was added meanwhile. */
int deliver()
{
    if (KELVO_G(in_invalidation_callback))
        return 0;
    int count = 0;
    while (PendingEvent *e = state.head) {
        if (EG(exception))
            return count;
        if (!e->listed)
            listEvent(e);
        while (PendingCall *c = e->calls) {
            if (EG(exception))
                return count;
            e->calls = c->next;
            c->next = nullptr;
            int rc = call(c);
            freeCalls(c);
            if (rc != 0) {
                state.head = e->next;
                if (!state.head)
                    state.tail = nullptr;
                freeEvent(e);
                return -1;
            }
            count++;
        }
        state.head = e->next;
        if (!state.head)
            state.tail = nullptr;
        freeEvent(e);
    }
    return count;
}

/* What the shared queue holds, joined to the waiting events (only for endpoints with listeners). */
void takeQueued()
{
    if (!state.queueHeld)
        return;
    kelvoQueuedInvalidation m;
    while (kelvoInvalidationQueueTake(&m)) {
        if (!registry())
            continue;
        zend_string *endpoint = zend_string_init(m.endpoint, m.endpointLength, 0);
        if (zend_hash_exists(registry(), endpoint))
            enqueue(endpoint, nullptr, m.key, m.keyLength, false);
        zend_string_release(endpoint);
    }
}

bool hasListeners() { return registry() && zend_hash_num_elements(registry()) > 0; }

} // namespace

void kelvoListenerCbDtor(zval *zv)
{
    kelvoAssert(Z_TYPE_P(zv) == IS_PTR);
    auto *listener = static_cast<kelvoListenerCb *>(Z_PTR_P(zv));
    zval_ptr_dtor(&listener->fci.function_name);
    zend_string_release(listener->pattern);
    efree(listener);
}

void kelvoRemoveListenerRObj(robj *ro)
{
    forgetParentState();
    zend_string *endpoint = ro->listenerEndpoint;
    if (!endpoint)
        return;
    ro->listenerEndpoint = nullptr;
    zval *objects = registry() ? zend_hash_find(registry(), endpoint) : nullptr;
    kelvoAssert(objects != nullptr);
    zend_hash_index_del(Z_ARRVAL_P(objects), recordKey(ro));
    if (zend_hash_num_elements(Z_ARRVAL_P(objects)) == 0)
        zend_hash_del(registry(), endpoint);
    zend_string_release(endpoint);
    if (!hasListeners())
        detachQueue();
}

void kelvoListenersDrop(robj *ro)
{
    zend_hash_clean(&ro->callbacks);
    kelvoRemoveListenerRObj(ro);
}

int kelvoListenerUpdate(robj *ro, uint32_t mask, zend_string *pattern, zend_fcall_info *fci, zend_fcall_info_cache *fcc)
{
    return kelvoListenerUpdateOwned(ro, &ro->std, mask, pattern, fci, fcc);
}

int kelvoListenerUpdateOwned(robj *ro, zend_object *owner, uint32_t mask, zend_string *pattern, zend_fcall_info *fci,
                             zend_fcall_info_cache *fcc)
{
    forgetParentState();
    /* Listeners hear the server their link talks to: its endpoint's identity is the registry key. */
    if (!ro->link.key || kelvoAttachEndpoint(ro) != 0) {
        php_error_docref(nullptr, E_WARNING, "Unable to attach to endpoint, event not added");
        return -1;
    }
    bool callable = ZEND_FCI_INITIALIZED(*fci);
    zend_string *key = listenerKey(mask, pattern);
    auto *existing = static_cast<kelvoListenerCb *>(zend_hash_find_ptr(&ro->callbacks, key));
    if (existing) {
        if (callable) {
            zval_ptr_dtor(&existing->fci.function_name);
            existing->fci = *fci;
            existing->fcc = *fcc;
            Z_TRY_ADDREF(existing->fci.function_name);
        } else {
            zend_hash_del(&ro->callbacks, key);
            if (zend_hash_num_elements(&ro->callbacks) == 0)
                kelvoRemoveListenerRObj(ro);
        }
        zend_string_release(key);
        return 0;
    }
    if (!callable) {
        zend_string_release(key);
        return 0;
    }
    if (zend_hash_num_elements(&ro->callbacks) == 0) {
        if (!state.queueHeld) {
            if (kelvoInvalidationQueueAttach() != 0) {
                php_error_docref(nullptr, E_WARNING, "Too many concurrent requests");
                zend_string_release(key);
                return -1;
            }
            state.queueHeld = true;
            state.pid = getpid();
        }
        registerObject(ro, owner);
    }
    auto *listener = static_cast<kelvoListenerCb *>(emalloc(sizeof(kelvoListenerCb)));
    listener->mask = mask;
    listener->pattern = pattern ? zend_string_copy(pattern) : zend_string_init(kWildcard, 1, 0);
    listener->fci = *fci;
    listener->fcc = *fcc;
    Z_TRY_ADDREF(listener->fci.function_name);
    zend_hash_add_new_ptr(&ro->callbacks, key, listener);
    zend_string_release(key);
    return 0;
}

void kelvoInvalidationCb(robj *ro, const char *key, size_t length)
{
    forgetParentState();
    if (zend_hash_num_elements(&ro->callbacks) == 0)
        return;
    if (kelvoInBatch(ro)) {
        /* The write has not happened yet: its reply decides. */
        kelvoListenersHoldOwn(ro, key, length);
        return;
    }
    enqueue(nullptr, ro, key, length, true);
    deliver();
}

void kelvoListenersHoldOwn(robj *ro, const char *key, size_t length)
{
    if (Z_TYPE(ro->ownEvents) != IS_ARRAY)
        array_init(&ro->ownEvents);
    if (key)
        add_next_index_stringl(&ro->ownEvents, key, length);
    else
        add_next_index_null(&ro->ownEvents);
}

void kelvoListenersFireOwn(robj *ro, zval *events)
{
    if (Z_TYPE_P(events) != IS_ARRAY || zend_hash_num_elements(&ro->callbacks) == 0)
        return;
    zval *event;
    ZEND_HASH_FOREACH_VAL(Z_ARRVAL_P(events), event)
    {
        if (Z_TYPE_P(event) == IS_STRING)
            enqueue(nullptr, ro, Z_STRVAL_P(event), Z_STRLEN_P(event), true);
        else
            enqueue(nullptr, ro, nullptr, 0, true);
    }
    ZEND_HASH_FOREACH_END();
    deliver();
}

int kelvoInvalidationsDispatch(void)
{
    forgetParentState();
    if (KELVO_G(in_invalidation_callback))
        return 0;
    takeQueued();
    return deliver();
}

void kelvoListenersInterrupt(void)
{
    if (KELVO_G(in_invalidation_callback) || EG(exception))
        return;
    if (state.head || (state.queueHeld && hasListeners()))
        kelvoInvalidationsDispatch();
}

void kelvoListenersRequestEnd(void)
{
    forgetParentState();
    dropWaitingEvents();
    /* Objects the engine frees after this (after a fatal error) have nothing left to unregister. */
    forgetRegistry();
    detachQueue();
    state.pid = 0;
}

/* -- methods ---------------------------------------------------------------------------------------- */

namespace {

void updateListener(INTERNAL_FUNCTION_PARAMETERS, uint32_t mask, zend_string *pattern, zend_fcall_info *fci,
                    zend_fcall_info_cache *fcc)
{
    robj *ro = kelvoGetObjectZVal(ZEND_THIS);
    if (kelvoSyncObject(ro, KELVO_LINK_READY, false) != 0) {
        kelvoThrowException(KELVO_ERR_OTHER, "Must be connected to listen for invalidations");
        RETURN_THROWS();
    }
    RETURN_BOOL(kelvoListenerUpdate(ro, mask, pattern, fci, fcc) == 0);
}

} // namespace

int kelvoListenerReadArgs(zend_execute_data *execute_data, bool withPattern, kelvoListenerArgs *args)
{
    *args = {empty_fcall_info, empty_fcall_info_cache, nullptr};
    ZEND_PARSE_PARAMETERS_START_EX(0, 1, withPattern ? 2 : 1)
    Z_PARAM_FUNC_OR_NULL(args->fci, args->fcc)
    Z_PARAM_OPTIONAL
    Z_PARAM_STR_OR_NULL(args->pattern)
    ZEND_PARSE_PARAMETERS_END_EX(return -1);
    if (args->pattern && ZSTR_LEN(args->pattern) == 0) {
        php_error_docref(nullptr, E_WARNING, "Invalid argument supplied for pattern ({KELVO_ERR_CONFIG})");
        return 0;
    }
    return 1;
}

extern "C" {

ZEND_METHOD(Kelvo_Kelvo, onInvalidated)
{
    kelvoListenerArgs args;
    if (int read = kelvoListenerReadArgs(execute_data, true, &args); read <= 0) {
        if (read < 0)
            RETURN_THROWS();
        RETURN_FALSE;
    }
    if (!kelvoRequireSharedCache())
        RETURN_FALSE;
    updateListener(INTERNAL_FUNCTION_PARAM_PASSTHRU, kelvoListenInvalidated, args.pattern, &args.fci, &args.fcc);
}

ZEND_METHOD(Kelvo_Kelvo, onFlushed)
{
    kelvoListenerArgs args;
    if (kelvoListenerReadArgs(execute_data, false, &args) < 0)
        RETURN_THROWS();
    if (!kelvoRequireSharedCache())
        RETURN_FALSE;
    updateListener(INTERNAL_FUNCTION_PARAM_PASSTHRU, kelvoListenFlushed, nullptr, &args.fci, &args.fcc);
}

ZEND_METHOD(Kelvo_Kelvo, listen)
{
    if (!kelvoRequireSharedCache())
        RETURN_FALSE;
    kelvoListenerArgs args;
    if (kelvoListenerReadArgs(execute_data, false, &args) < 0)
        RETURN_THROWS();
    updateListener(INTERNAL_FUNCTION_PARAM_PASSTHRU, kelvoListenInvalidated | kelvoListenFlushed, nullptr, &args.fci,
                   &args.fcc);
}

ZEND_METHOD(Kelvo_Kelvo, dispatchEvents)
{
    ZEND_PARSE_PARAMETERS_NONE();
    if (!kelvoRequireSharedCache())
        RETURN_FALSE;
    robj *ro = kelvoGetObjectZVal(ZEND_THIS);
    if (kelvoSyncObject(ro, KELVO_LINK_READY, false) != 0) {
        kelvoThrowException(KELVO_ERR_OTHER, "Must be connected to dispatch invalidation callbacks");
        RETURN_THROWS();
    }
    int count = kelvoInvalidationsDispatch();
    if (count < 0) {
        kelvoThrowException(KELVO_ERR_OTHER, "Error invoking invalidation callback(s)");
        RETURN_THROWS();
    }
    RETURN_LONG(count);
}

} // extern "C"
