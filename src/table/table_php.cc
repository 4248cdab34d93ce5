/* Kelvo\Table's methods and its full-scan generator. */
#include "table/table_php.h"
#include "pack/pack.h"
#include "runtime/kelvo.h"
#include "runtime/optflags.h"
#include "shm/epoch.h"
#include "shm/shared.h"
#include "table/table.h"

extern "C" {
#include "zend_exceptions.h"
#include "zend_generators.h"
#include "zend_interfaces.h"
}

#include <fnmatch.h>

#include "stubs/table_arginfo.h"

namespace {

zend_object_handlers generatorHandlers;

/* --- what every method checks first ------------------------------------------------------ */

/* The table exists and may be used; otherwise a warning says why. */
bool tableUsable(void)
{
    if (!kelvoCfgVals.enabled || !kelvoSharedData) {
        php_error_docref(nullptr, E_WARNING, "Method requires Kelvo's in-memory cache be enabled");
        return false;
    }
    if (kelvoSharedStateBroken()) {
        php_error_docref(nullptr, E_WARNING,
                         "Kelvo's shared memory is disabled: a process died holding one of its locks");
        return false;
    }
    return true;
}

/* tableUsable, and this process holds an epoch record. */
bool readerReady(void)
{
    if (!tableUsable())
        return false;
    if (kelvoGlobalEpochInit() != 0) {
        php_error_docref(nullptr, E_WARNING, "Failed to retrieve read record (possible OOM)");
        return false;
    }
    return true;
}

void warnBroken(void)
{
    php_error_docref(nullptr, E_WARNING, "Kelvo's shared memory is disabled: a process died holding one of its locks");
}

/*
 * Runs `body` inside an epoch section. A bailout in it (the memory limit)
 * closes the section before it goes on, so the shutdown functions it runs
 * can still use the table.
 */
template <typename Body>
void inSection(Body &&body)
{
    kelvoGlobalEpochBegin();
    zend_try { body(); }
    zend_catch
    {
        kelvoGlobalEpochEnd();
        zend_bailout();
    }
    zend_end_try();
    kelvoGlobalEpochEnd();
}

struct Namespace {
    const char *name;
    size_t length;
};

Namespace namespaceOf(const zend_string *ns) { return ns ? Namespace{ZSTR_VAL(ns), ZSTR_LEN(ns)} : Namespace{"", 0}; }

/* The namespace's item of a key, when it exists and is live; inside a section. */
kelvoTableItem *liveItem(Namespace ns, const zend_string *key)
{
    kelvoTableHT *ht = kelvoTableFind(ns.name, ns.length);
    if (!ht)
        return nullptr;
    kelvoTableItem *item = kelvoTableHTFind(ht, ZSTR_VAL(key), ZSTR_LEN(key));
    return item && kelvoTableItemLive(item) ? item : nullptr;
}

/* --- values ------------------------------------------------------------------------------ */

/* Arrays and objects: the engine's serializer, or igbinary when it is loaded; no compressor. */
const kelvoPackOptions *packOptions(void)
{
    static kelvoPackOptions options;
    options = {kelvoSerializerAvailable(&kelvoIgbinarySerInfo) ? &kelvoIgbinarySerInfo : &kelvoPhpSerInfo,
               &kelvoNoneCmpInfo, 0, kelvoDefaultOptionFlags};
    return &options;
}

/* A value ready to be copied into the arena; packed bytes are released with it. */
struct Encoded {
    kelvoValueSource source{};
    kelvoPackResult packed{};
    Encoded() = default;
    Encoded(const Encoded &) = delete;
    Encoded &operator=(const Encoded &) = delete;
    ~Encoded() { kelvoPackRelease(&packed); }
};

/* The exception serialization threw becomes the reason of the refusal. */
void refuseThrown(void)
{
    zend_object *thrown = EG(exception);
    zval holder;
    zval *message =
        zend_read_property_ex(zend_get_exception_base(thrown), thrown, ZSTR_KNOWN(ZEND_STR_MESSAGE), 1, &holder);
    zend_string *text = zval_get_string(message);
    zend_clear_exception();
    php_error_docref(nullptr, E_WARNING, "Cannot store the value: %s", ZSTR_VAL(text));
    zend_string_release(text);
}

/* Converts (and for arrays and objects packs) a value before any section: false after a warning. */
bool encode(zval *value, Encoded *out)
{
    ZVAL_DEREF(value);
    kelvoValueSource &s = out->source;
    switch (Z_TYPE_P(value)) {
    case IS_NULL:
        s.type = KELVO_VALUE_NULL;
        return true;
    case IS_FALSE:
    case IS_TRUE:
        s.type = KELVO_VALUE_BOOL;
        s.b = Z_TYPE_P(value) == IS_TRUE;
        return true;
    case IS_LONG:
        s.type = KELVO_VALUE_LONG;
        s.l = Z_LVAL_P(value);
        return true;
    case IS_DOUBLE:
        s.type = KELVO_VALUE_DOUBLE;
        s.d = Z_DVAL_P(value);
        return true;
    case IS_STRING:
        s.type = KELVO_VALUE_STRING;
        s.bytes = Z_STRVAL_P(value);
        s.length = Z_STRLEN_P(value);
        return true;
    case IS_ARRAY:
    case IS_OBJECT:
        break;
    default:
        php_error_docref(nullptr, E_WARNING, "Cannot store the value: a %s cannot be stored",
                         zend_zval_type_name(value));
        return false;
    }
    bool packed = kelvoPackTmp(&out->packed, packOptions(), value);
    if (EG(exception)) {
        refuseThrown();
        return false;
    }
    if (!packed) {
        php_error_docref(nullptr, E_WARNING, "Cannot store the value: it cannot be serialized");
        return false;
    }
    s.type = KELVO_VALUE_SERIALIZED;
    s.bytes = ZSTR_VAL(out->packed.str);
    s.length = ZSTR_LEN(out->packed.str);
    return true;
}

/*
 * Copies a stored value into `out` inside the section; a serialized one only
 * as bytes into `*packed`, to be unpacked after the section.
 */
void copyOut(const kelvoValue *value, zval *out, zend_string **packed)
{
    switch (value->type) {
    case KELVO_VALUE_NULL:
        ZVAL_NULL(out);
        break;
    case KELVO_VALUE_BOOL:
        ZVAL_BOOL(out, value->u.l != 0);
        break;
    case KELVO_VALUE_LONG:
        ZVAL_LONG(out, zend_long(value->u.l));
        break;
    case KELVO_VALUE_DOUBLE:
        ZVAL_DOUBLE(out, value->u.d);
        break;
    case KELVO_VALUE_STRING:
        ZVAL_STRINGL(out, value->u.str, value->length);
        break;
    case KELVO_VALUE_SERIALIZED:
        *packed = zend_string_init(value->u.str, value->length, 0);
        break;
    default:
        ZVAL_NULL(out);
        break;
    }
}

/* After the section: PHP code (__wakeup, __unserialize, autoloaders) may run here. */
void unpack(zval *out, zend_string *packed)
{
    kelvoUnpackEx(packOptions(), out, ZSTR_VAL(packed), ZSTR_LEN(packed), packed);
    zend_string_release(packed);
}

/* Reads one key: true with the value in `out` when it exists and is live. */
bool readValue(Namespace ns, const zend_string *key, zval *out, zend_long *length)
{
    zend_string *packed = nullptr;
    bool found = false;
    inSection([&] {
        kelvoTableItem *item = liveItem(ns, key);
        if (!item)
            return;
        found = true;
        copyOut(item->value, out, &packed);
        if (length)
            *length = item->value->type == KELVO_VALUE_NULL ? -1 : zend_long(kelvoTableItemSize(item));
    });
    if (packed)
        unpack(out, packed);
    return found;
}

/* --- walks -------------------------------------------------------------------------------- */

/* The clock, read once per walk and only when an item has an expiry. */
struct LazyClock {
    int64_t now = -1;
    bool live(const kelvoTableItem *item)
    {
        if (item->expiry == 0)
            return true;
        if (now < 0)
            now = kelvoTableNowMs();
        return item->expiry > now;
    }
};

struct CountWalk {
    zend_long count;
    LazyClock clock;
};

struct KeysWalk {
    HashTable *keys;
    const char *pattern;
    LazyClock clock;
};

bool matches(const char *pattern, const kelvoTableItem *item)
{
    return !pattern || fnmatch(pattern, item->key.bytes, 0) == 0;
}

const kelvoTableWalker countWalker = {[](void *arg) { static_cast<CountWalk *>(arg)->count = 0; },
                                      [](void *arg, const void *object) {
                                          auto *walk = static_cast<CountWalk *>(arg);
                                          walk->count += walk->clock.live(static_cast<const kelvoTableItem *>(object));
                                      },
                                      nullptr};

const kelvoTableWalker keysWalker = {[](void *arg) { zend_hash_clean(static_cast<KeysWalk *>(arg)->keys); },
                                     [](void *arg, const void *object) {
                                         auto *walk = static_cast<KeysWalk *>(arg);
                                         auto *item = static_cast<const kelvoTableItem *>(object);
                                         if (walk->clock.live(item) && matches(walk->pattern, item)) {
                                             zval name;
                                             ZVAL_STRINGL(&name, item->key.bytes, item->key.length);
                                             zend_hash_next_index_insert_new(walk->keys, &name);
                                         }
                                     },
                                     nullptr};

/* namespace name => items (expired ones not yet swept included) */
const kelvoTableWalker namespacesWalker = {[](void *arg) { zend_hash_clean(static_cast<HashTable *>(arg)); },
                                           [](void *arg, const void *object) {
                                               auto *ht = static_cast<kelvoTableHT *>(const_cast<void *>(object));
                                               zval count;
                                               ZVAL_LONG(&count, zend_long(kelvoTableHTCount(ht)));
                                               zend_symtable_str_update(static_cast<HashTable *>(arg), ht->name.bytes,
                                                                        ht->name.length, &count);
                                           },
                                           nullptr};

const kelvoTableWalker namesWalker = {[](void *arg) { zend_hash_clean(static_cast<HashTable *>(arg)); },
                                      [](void *arg, const void *object) {
                                          auto *ht = static_cast<const kelvoTableHT *>(object);
                                          zval name;
                                          ZVAL_STRINGL(&name, ht->name.bytes, ht->name.length);
                                          zend_hash_next_index_insert_new(static_cast<HashTable *>(arg), &name);
                                      },
                                      nullptr};

int walkItems(kelvoTableHT *ht, const kelvoTableWalker &shape, void *arg)
{
    kelvoTableWalker walker = shape;
    walker.arg = arg;
    return kelvoTableHTForEach(ht, &walker);
}

int walkNamespaces(const kelvoTableWalker &shape, void *arg)
{
    kelvoTableWalker walker = shape;
    walker.arg = arg;
    return kelvoTableForEachNamespace(&walker);
}

/* --- writes --------------------------------------------------------------------------------- */

/* Table writes reclaim memory for table-only code: the sweep and the epoch poll, when due. */
void upkeep(void) { kelvoTableUpkeep(kelvoTableNowUsec()); }

/* Stores an encoded value; a refused allocation polls the epoch once and is tried once more. */
kelvoTableStatus store(Namespace ns, const zend_string *key, const Encoded &value, int64_t expiry, bool keepExpiry)
{
    auto create = [&] { return kelvoTableItemCreate(ZSTR_VAL(key), ZSTR_LEN(key), &value.source, expiry); };
    kelvoTableItem *item = create();
    if (!item) {
        kelvoTableReclaim();
        item = create();
        if (!item)
            return KELVO_TABLE_NO_MEMORY;
    }
    kelvoTableStatus status = kelvoTableStore(ns.name, ns.length, item, keepExpiry);
    if (status == KELVO_TABLE_NO_MEMORY) {
        kelvoTableReclaim();
        status = kelvoTableStore(ns.name, ns.length, item, keepExpiry);
    }
    if (status != KELVO_TABLE_OK)
        kelvoTableItemFree(item);
    return status;
}

/* --- the full-scan generator ------------------------------------------------------------------ */

/* Where a scan is: kept in the generator's key slot between steps (request memory). */
struct ScanCursor {
    zval names;    // namespace names when the scan began; undefined before the first step
    uint32_t next; // index of the next name
    zend_string *current;
    kelvoCkRhsIterator position;
    uint64_t layout; // of the current namespace's set at the last step
    bool restart;    // the position must start over
    HashTable given; // keys of the current namespace the scan has yielded
};

ScanCursor *cursorOf(zend_generator *generator)
{
    return Z_TYPE(generator->key) == IS_PTR ? static_cast<ScanCursor *>(Z_PTR(generator->key)) : nullptr;
}

ScanCursor *cursorCreate(void)
{
    auto *cursor = static_cast<ScanCursor *>(ecalloc(1, sizeof(ScanCursor)));
    ZVAL_UNDEF(&cursor->names);
    zend_hash_init(&cursor->given, 8, nullptr, nullptr, 0);
    return cursor;
}

void dropCurrent(ScanCursor *cursor)
{
    if (cursor->current)
        zend_string_release(cursor->current);
    cursor->current = nullptr;
    zend_hash_clean(&cursor->given);
}

void cursorFree(zend_generator *generator)
{
    ScanCursor *cursor = cursorOf(generator);
    if (!cursor)
        return;
    dropCurrent(cursor);
    zend_hash_destroy(&cursor->given);
    zval_ptr_dtor(&cursor->names);
    efree(cursor);
    ZVAL_NULL(&generator->key);
}

struct ScanStep {
    const char *pattern;
    zend_long limit;
    HashTable *batch;
    LazyClock clock;
};

/* False when the scan already gave this key: a set walked again after a growth gives each key once. */
bool markGiven(HashTable *given, const kelvoTableItem *item)
{
    zval none;
    ZVAL_NULL(&none);
    return zend_hash_str_add(given, item->key.bytes, item->key.length, &none) != nullptr;
}

/* Walks on from the cursor until the batch holds `limit` names or every namespace is done. */
void scanOn(ScanCursor *cursor, ScanStep *step)
{
    if (Z_TYPE(cursor->names) == IS_UNDEF) {
        array_init(&cursor->names);
        if (walkNamespaces(namesWalker, Z_ARRVAL(cursor->names)) != 0)
            return;
    }
    while (true) {
        if (!cursor->current) {
            zval *name = zend_hash_index_find(Z_ARRVAL(cursor->names), cursor->next);
            if (!name)
                return;
            cursor->next++;
            cursor->current = zend_string_copy(Z_STR_P(name));
            cursor->restart = true;
        }
        kelvoTableHT *ht = kelvoTableFind(ZSTR_VAL(cursor->current), ZSTR_LEN(cursor->current));
        if (!ht) {
            dropCurrent(cursor);
            continue;
        }
        bool ended = false;
        while (!ended) {
            if (cursor->restart || kelvoTableHTLayout(ht) != cursor->layout) {
                kelvoCkRhsIteratorInit(&cursor->position);
                cursor->layout = kelvoTableHTLayout(ht);
                cursor->restart = false;
            }
            const kelvoTableItem *item;
            if (!kelvoTableHTNext(ht, &cursor->position, &item)) {
                ended = kelvoTableHTLayout(ht) == cursor->layout;
                continue;
            }
            if (!step->clock.live(item) || !matches(step->pattern, item))
                continue;
            if (!markGiven(&cursor->given, item))
                continue;
            zval name;
            ZVAL_STRINGL(&name, item->key.bytes, item->key.length);
            zend_hash_next_index_insert_new(step->batch, &name);
            if (step->limit > 0 && zend_long(zend_hash_num_elements(step->batch)) >= step->limit)
                return;
        }
        dropCurrent(cursor);
    }
}

void scanEnd(zend_generator *generator)
{
    cursorFree(generator);
    ZVAL_NULL(&generator->key);
}

/* One step: the current batch, or the next one, or null when the scan is over. */
zval *scanStep(zend_generator *generator)
{
    if (Z_TYPE(generator->value) != IS_UNDEF)
        return &generator->value;
    ScanCursor *cursor = cursorOf(generator);
    if (!cursor || !readerReady())
        return nullptr;
    ScanStep step{nullptr, 0, nullptr, {}};
    zend_string *pattern = nullptr;
    if (Z_TYPE(generator->values) == IS_ARRAY) {
        if (zval *match = zend_hash_str_find(Z_ARRVAL(generator->values), ZEND_STRL("match")))
            pattern = zval_get_string(match);
        if (zval *count = zend_hash_str_find(Z_ARRVAL(generator->values), ZEND_STRL("count")))
            step.limit = zval_get_long(count);
    }
    step.pattern = pattern ? ZSTR_VAL(pattern) : nullptr;
    zval batch;
    array_init(&batch);
    step.batch = Z_ARRVAL(batch);
    inSection([&] { scanOn(cursor, &step); });
    if (pattern)
        zend_string_release(pattern);
    if (zend_hash_num_elements(Z_ARRVAL(batch)) == 0) {
        zval_ptr_dtor(&batch);
        scanEnd(generator);
        return nullptr;
    }
    ZVAL_COPY_VALUE(&generator->value, &batch);
    generator->flags &= ~ZEND_GENERATOR_AT_FIRST_YIELD;
    return &generator->value;
}

zend_generator *generatorOf(zend_object_iterator *iterator)
{
    kelvoAssert(Z_TYPE(iterator->data) == IS_OBJECT);
    return reinterpret_cast<zend_generator *>(Z_OBJ(iterator->data));
}

void iteratorDtor(zend_object_iterator *iterator) { zval_ptr_dtor(&iterator->data); }

int iteratorValid(zend_object_iterator *iterator)
{
    return Z_TYPE(generatorOf(iterator)->key) == IS_PTR ? SUCCESS : FAILURE;
}

zval *iteratorCurrentData(zend_object_iterator *iterator) { return scanStep(generatorOf(iterator)); }

void iteratorMoveForward(zend_object_iterator *iterator)
{
    zend_generator *generator = generatorOf(iterator);
    zval_ptr_dtor(&generator->value);
    ZVAL_UNDEF(&generator->value);
}

const zend_object_iterator_funcs iteratorFuncs = {
    iteratorDtor, iteratorValid, iteratorCurrentData, nullptr, iteratorMoveForward, nullptr, nullptr, nullptr,
};

zend_object_iterator *generatorGetIterator(zend_class_entry *ce, zval *object, int byRef)
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

zend_object *generatorCreate(zend_class_entry *ce)
{
    auto *generator = static_cast<zend_generator *>(zend_object_alloc(sizeof(zend_generator), ce));
    memset(generator, 0, sizeof *generator);
    zend_object_std_init(&generator->std, ce);
    generator->std.handlers = &generatorHandlers;
    return &generator->std;
}

void generatorDestroy(zend_object *object)
{
    auto *generator = reinterpret_cast<zend_generator *>(object);
    zval_ptr_dtor(&generator->values);
    ZVAL_UNDEF(&generator->values);
    zend_generator_close(generator, false);
}

void generatorFree(zend_object *object)
{
    auto *generator = reinterpret_cast<zend_generator *>(object);
    zend_generator_close(generator, false);
    cursorFree(generator);
    zval_ptr_dtor(&generator->retval);
    zval_ptr_dtor(&generator->value);
    zval_ptr_dtor(&generator->values);
    zend_object_std_dtor(object);
}

zend_function *generatorGetConstructor(zend_object *object)
{
    zend_throw_error(nullptr,
                     "The \"Generator\" class is reserved for internal use and cannot be manually instantiated");
    return nullptr;
}

} // namespace

/* --- methods ------------------------------------------------------------------------------------ */

ZEND_METHOD(Kelvo_Table, get)
{
    zend_string *key, *ns = nullptr;
    ZEND_PARSE_PARAMETERS_START(1, 2)
    Z_PARAM_STR(key)
    Z_PARAM_OPTIONAL
    Z_PARAM_STR_OR_NULL(ns)
    ZEND_PARSE_PARAMETERS_END();
    if (!readerReady() || !readValue(namespaceOf(ns), key, return_value, nullptr)) {
        RETURN_FALSE;
    }
}

ZEND_METHOD(Kelvo_Table, getWithMeta)
{
    zval *keyArg;
    zend_string *ns = nullptr;
    ZEND_PARSE_PARAMETERS_START(1, 2)
    Z_PARAM_ZVAL(keyArg)
    Z_PARAM_OPTIONAL
    Z_PARAM_STR_OR_NULL(ns)
    ZEND_PARSE_PARAMETERS_END();
    zend_string *key = zval_try_get_string(keyArg);
    if (!key)
        return;
    zval value;
    zend_long length = 0;
    ZVAL_UNDEF(&value);
    bool found = readerReady() && readValue(namespaceOf(ns), key, &value, &length);
    zend_string_release(key);
    if (!found) {
        zval_ptr_dtor(&value);
        RETURN_FALSE;
    }
    zval meta;
    array_init_size(&meta, 2);
    add_assoc_bool(&meta, "cached", true);
    add_assoc_long(&meta, "length", length);
    array_init_size(return_value, 2);
    add_next_index_zval(return_value, &value);
    add_next_index_zval(return_value, &meta);
}

ZEND_METHOD(Kelvo_Table, set)
{
    zend_string *key, *ns = nullptr;
    zval *value;
    zend_long expire = 0;
    bool expireNull = true;
    ZEND_PARSE_PARAMETERS_START(2, 4)
    Z_PARAM_STR(key)
    Z_PARAM_ZVAL(value)
    Z_PARAM_OPTIONAL
    Z_PARAM_LONG_OR_NULL(expire, expireNull)
    Z_PARAM_STR_OR_NULL(ns)
    ZEND_PARSE_PARAMETERS_END();
    if (!readerReady()) {
        RETURN_FALSE;
    }
    upkeep();
    Encoded encoded;
    if (!encode(value, &encoded)) {
        RETURN_FALSE;
    }
    int64_t expiry = !expireNull && expire > 0 ? kelvoTableExpiryIn(expire) : 0;
    kelvoTableStatus status = store(namespaceOf(ns), key, encoded, expiry, expireNull);
    if (status == KELVO_TABLE_BROKEN)
        warnBroken();
    RETURN_BOOL(status == KELVO_TABLE_OK);
}

ZEND_METHOD(Kelvo_Table, exists)
{
    zend_string *key, *ns = nullptr;
    ZEND_PARSE_PARAMETERS_START(1, 2)
    Z_PARAM_STR(key)
    Z_PARAM_OPTIONAL
    Z_PARAM_STR_OR_NULL(ns)
    ZEND_PARSE_PARAMETERS_END();
    if (!readerReady()) {
        RETURN_FALSE;
    }
    bool found = false;
    inSection([&] { found = liveItem(namespaceOf(ns), key) != nullptr; });
    RETURN_BOOL(found);
}

ZEND_METHOD(Kelvo_Table, delete)
{
    zend_string *key, *ns = nullptr;
    ZEND_PARSE_PARAMETERS_START(1, 2)
    Z_PARAM_STR(key)
    Z_PARAM_OPTIONAL
    Z_PARAM_STR_OR_NULL(ns)
    ZEND_PARSE_PARAMETERS_END();
    if (!readerReady()) {
        RETURN_FALSE;
    }
    upkeep();
    Namespace n = namespaceOf(ns);
    kelvoTableStatus status = kelvoTableDelete(n.name, n.length, ZSTR_VAL(key), ZSTR_LEN(key));
    if (status == KELVO_TABLE_BROKEN)
        warnBroken();
    RETURN_BOOL(status == KELVO_TABLE_OK);
}

ZEND_METHOD(Kelvo_Table, ttl)
{
    zend_string *key, *ns = nullptr;
    ZEND_PARSE_PARAMETERS_START(1, 2)
    Z_PARAM_STR(key)
    Z_PARAM_OPTIONAL
    Z_PARAM_STR_OR_NULL(ns)
    ZEND_PARSE_PARAMETERS_END();
    if (!readerReady()) {
        RETURN_FALSE;
    }
    bool found = false;
    int64_t expiry = 0;
    inSection([&] {
        Namespace n = namespaceOf(ns);
        kelvoTableHT *ht = kelvoTableFind(n.name, n.length);
        kelvoTableItem *item = ht ? kelvoTableHTFind(ht, ZSTR_VAL(key), ZSTR_LEN(key)) : nullptr;
        if (item) {
            found = true;
            expiry = item->expiry;
        }
    });
    if (!found) {
        RETURN_FALSE;
    }
    if (expiry == 0) {
        RETURN_LONG(-1);
    }
    int64_t now = kelvoTableNowMs();
    if (!kelvoTableLiveAt(expiry, now)) {
        RETURN_FALSE;
    }
    RETURN_LONG(zend_long((expiry - now) / 1000));
}

ZEND_METHOD(Kelvo_Table, count)
{
    zend_string *ns = nullptr;
    ZEND_PARSE_PARAMETERS_START(0, 1)
    Z_PARAM_OPTIONAL
    Z_PARAM_STR_OR_NULL(ns)
    ZEND_PARSE_PARAMETERS_END();
    if (!readerReady()) {
        RETURN_FALSE;
    }
    CountWalk walk{0, {}};
    int result = 1;
    inSection([&] {
        Namespace n = namespaceOf(ns);
        if (kelvoTableHT *ht = kelvoTableFind(n.name, n.length))
            result = walkItems(ht, countWalker, &walk);
    });
    if (result < 0)
        warnBroken();
    if (result != 0) {
        RETURN_FALSE;
    }
    RETURN_LONG(walk.count);
}

ZEND_METHOD(Kelvo_Table, clear)
{
    zend_string *ns = nullptr;
    ZEND_PARSE_PARAMETERS_START(0, 1)
    Z_PARAM_OPTIONAL
    Z_PARAM_STR_OR_NULL(ns)
    ZEND_PARSE_PARAMETERS_END();
    if (!readerReady()) {
        RETURN_FALSE;
    }
    upkeep();
    Namespace n = namespaceOf(ns);
    if (kelvoTableClear(n.name, n.length) != KELVO_TABLE_OK) {
        warnBroken();
        RETURN_FALSE;
    }
    RETURN_TRUE;
}

ZEND_METHOD(Kelvo_Table, keys)
{
    zval *patternArg;
    zend_string *ns = nullptr;
    ZEND_PARSE_PARAMETERS_START(1, 2)
    Z_PARAM_ZVAL(patternArg)
    Z_PARAM_OPTIONAL
    Z_PARAM_STR_OR_NULL(ns)
    ZEND_PARSE_PARAMETERS_END();
    zend_string *pattern = zval_try_get_string(patternArg);
    if (!pattern)
        return;
    if (!readerReady()) {
        zend_string_release(pattern);
        RETURN_FALSE;
    }
    array_init(return_value);
    KeysWalk walk{Z_ARRVAL_P(return_value), ZSTR_VAL(pattern), {}};
    int result = 1;
    inSection([&] {
        Namespace n = namespaceOf(ns);
        if (kelvoTableHT *ht = kelvoTableFind(n.name, n.length))
            result = walkItems(ht, keysWalker, &walk);
    });
    zend_string_release(pattern);
    if (result < 0)
        warnBroken();
    if (result != 0) {
        zval_ptr_dtor(return_value);
        RETURN_FALSE;
    }
}

ZEND_METHOD(Kelvo_Table, memory)
{
    zend_string *ns = nullptr;
    ZEND_PARSE_PARAMETERS_START(0, 1)
    Z_PARAM_OPTIONAL
    Z_PARAM_STR_OR_NULL(ns)
    ZEND_PARSE_PARAMETERS_END();
    if (!readerReady()) {
        RETURN_FALSE;
    }
    int64_t memory = -1;
    inSection([&] {
        Namespace n = namespaceOf(ns);
        if (kelvoTableHT *ht = kelvoTableFind(n.name, n.length))
            memory = kelvoTableHTMemory(ht);
    });
    if (memory < 0) {
        RETURN_FALSE;
    }
    RETURN_LONG(zend_long(memory));
}

ZEND_METHOD(Kelvo_Table, namespaces)
{
    ZEND_PARSE_PARAMETERS_NONE();
    if (!readerReady()) {
        RETURN_FALSE;
    }
    array_init(return_value);
    int result = 0;
    inSection([&] { result = walkNamespaces(namespacesWalker, Z_ARRVAL_P(return_value)); });
    if (result != 0) {
        warnBroken();
        zval_ptr_dtor(return_value);
        RETURN_FALSE;
    }
}

ZEND_METHOD(Kelvo_Table, clearAll)
{
    ZEND_PARSE_PARAMETERS_NONE();
    if (!tableUsable()) {
        RETURN_FALSE;
    }
    int64_t removed = kelvoTableClearAll();
    if (removed < 0) {
        warnBroken();
        RETURN_FALSE;
    }
    RETURN_LONG(zend_long(removed));
}

ZEND_METHOD(Kelvo_Table, fullscan)
{
    zval *match = nullptr;
    zend_long count = 0;
    ZEND_PARSE_PARAMETERS_START(0, 2)
    Z_PARAM_OPTIONAL
    Z_PARAM_ZVAL(match)
    Z_PARAM_LONG(count)
    ZEND_PARSE_PARAMETERS_END();
    zend_string *pattern = nullptr;
    if (match && Z_TYPE_P(match) != IS_NULL) {
        pattern = zval_try_get_string(match);
        if (!pattern)
            return;
    }
    if (!tableUsable()) {
        if (pattern)
            zend_string_release(pattern);
        RETURN_FALSE;
    }
    object_init_ex(return_value, kelvo_table_fullscan_generator_ce);
    auto *generator = reinterpret_cast<zend_generator *>(Z_OBJ_P(return_value));
    ZVAL_PTR(&generator->key, cursorCreate());
    array_init(&generator->values);
    if (pattern)
        add_assoc_str(&generator->values, "match", pattern);
    if (count > 0)
        add_assoc_long(&generator->values, "count", count);
}

ZEND_METHOD(Kelvo_Table, stats)
{
    ZEND_PARSE_PARAMETERS_NONE();
    if (!tableUsable()) {
        RETURN_FALSE;
    }
    array_init_size(return_value, 2);
    add_assoc_long(return_value, "total_keys",
                   zend_long(int64_t(__atomic_load_n(&kelvoSharedData->tables.items, __ATOMIC_RELAXED))));
    add_assoc_long(return_value, "total_memory",
                   zend_long(int64_t(__atomic_load_n(&kelvoSharedData->tables.bytes, __ATOMIC_RELAXED))));
}

void kelvoRegisterTableClasses(void)
{
    kelvo_table_ce = register_class_Kelvo_Table();
    zend_class_entry *ce = kelvoRegisterGeneratorSubclass(register_class_Kelvo_Table_FullscanGenerator);
    ce->create_object = generatorCreate;
    ce->get_iterator = generatorGetIterator;
    memcpy(&generatorHandlers, zend_get_std_object_handlers(), sizeof generatorHandlers);
    generatorHandlers.free_obj = generatorFree;
    generatorHandlers.dtor_obj = generatorDestroy;
    generatorHandlers.clone_obj = nullptr;
    generatorHandlers.get_constructor = generatorGetConstructor;
    kelvo_table_fullscan_generator_ce = ce;
}
