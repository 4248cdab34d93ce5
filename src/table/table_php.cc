/* Kelvo\Table's methods and its full-scan generator. */
#include "table/table_php.h"
#include "cache/evict.h"
#include "cache/patterns.h"
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

#include <algorithm>
#include <new>
#include <cstdlib>
#include <cstring>

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

/* A walk whose copy ran out of process memory is reported, never returned cut short. */
bool copiedWhole(const class ByteList &list);

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
 * While a section is open the engine's interruptions are blocked, and the
 * engine does not end a request that passes its memory limit then: it lets
 * the heap grow to twice the limit and kills the process beyond. So what a
 * section copies out is small, or goes to process memory (ByteList,
 * persistent tables), and becomes PHP values after the section.
 */
constexpr size_t COPY_IN_SECTION_MAX = 64 * 1024;

/* Byte strings, each with a number, in process memory. */
class ByteList {
  public:
    ByteList() = default;
    ByteList(const ByteList &) = delete;
    ByteList &operator=(const ByteList &) = delete;
    ~ByteList()
    {
        free(bytes_);
        free(entries_);
    }
    void clear()
    {
        used_ = 0;
        count_ = 0;
    }
    void add(const char *bytes, size_t length, int64_t number = 0)
    {
        if (!reserve(length))
            return;
        memcpy(bytes_ + used_, bytes, length);
        entries_[count_++] = {used_, length, number};
        used_ += length;
    }
    size_t count() const { return count_; }
    bool failed() const { return failed_; }
    const char *bytes(size_t i) const { return bytes_ + entries_[i].offset; }
    size_t length(size_t i) const { return entries_[i].length; }
    int64_t number(size_t i) const { return entries_[i].number; }

  private:
    struct Entry {
        size_t offset, length;
        int64_t number;
    };
    template <typename T>
    static bool grow(T **array, size_t *capacity, size_t needed)
    {
        if (needed <= *capacity)
            return true;
        size_t wanted = std::max(needed, *capacity * 2 + 64);
        auto *bigger = static_cast<T *>(realloc(*array, wanted * sizeof(T)));
        if (!bigger)
            return false;
        *array = bigger;
        *capacity = wanted;
        return true;
    }
    bool reserve(size_t length)
    {
        failed_ =
            failed_ || !grow(&bytes_, &capacity_, used_ + length) || !grow(&entries_, &entryCapacity_, count_ + 1);
        return !failed_;
    }
    char *bytes_ = nullptr;
    size_t used_ = 0, capacity_ = 0;
    Entry *entries_ = nullptr;
    size_t count_ = 0, entryCapacity_ = 0;
    bool failed_ = false;
};

bool copiedWhole(const ByteList &list)
{
    if (list.failed())
        php_error_docref(nullptr, E_WARNING, "Out of memory copying the table's names");
    return !list.failed();
}

/* After the section: PHP code (__wakeup, __unserialize, autoloaders) may run here. */
void unpack(zval *out, zend_string *packed)
{
    kelvoUnpackEx(packOptions(), out, ZSTR_VAL(packed), ZSTR_LEN(packed), packed);
    zend_string_release(packed);
}

/*
 * Copies a value out inside the section: false when its bytes need a string
 * longer than the one at hand (`*buffer`, allocated after the section), which
 * `*need` then names.
 */
bool copyOut(const kelvoValue *value, zval *out, zend_string **buffer, size_t *need)
{
    switch (value->type) {
    case KELVO_VALUE_BOOL:
        ZVAL_BOOL(out, value->u.l != 0);
        return true;
    case KELVO_VALUE_LONG:
        ZVAL_LONG(out, zend_long(value->u.l));
        return true;
    case KELVO_VALUE_DOUBLE:
        ZVAL_DOUBLE(out, value->u.d);
        return true;
    case KELVO_VALUE_STRING:
    case KELVO_VALUE_SERIALIZED:
        break;
    default:
        ZVAL_NULL(out);
        return true;
    }
    zend_string *bytes;
    if (*buffer && ZSTR_LEN(*buffer) == value->length) {
        bytes = *buffer;
        *buffer = nullptr;
        memcpy(ZSTR_VAL(bytes), value->u.str, value->length);
    } else if (value->length <= COPY_IN_SECTION_MAX) {
        bytes = zend_string_init(value->u.str, value->length, 0);
    } else {
        *need = value->length;
        return false;
    }
    ZVAL_STR(out, bytes);
    return true;
}

/* Reads one key: true with the value in `out` when it exists and is live. */
bool readValue(Namespace ns, const zend_string *key, zval *out, zend_long *length)
{
    zend_string *buffer = nullptr;
    bool found = false, copied = false, serialized = false;
    while (true) {
        size_t need = 0;
        inSection([&] {
            kelvoTableItem *item = liveItem(ns, key);
            found = item != nullptr;
            if (!found)
                return;
            copied = copyOut(item->value, out, &buffer, &need);
            serialized = item->value->type == KELVO_VALUE_SERIALIZED;
            if (length)
                *length = item->value->type == KELVO_VALUE_NULL ? -1 : zend_long(kelvoTableItemSize(item));
        });
        if (!found || copied)
            break;
        if (buffer)
            zend_string_release(buffer);
        buffer = zend_string_alloc(need, 0);
        ZSTR_VAL(buffer)[need] = '\0';
    }
    if (buffer)
        zend_string_release(buffer);
    if (found && serialized) {
        zend_string *packed = Z_STR_P(out);
        ZVAL_UNDEF(out);
        unpack(out, packed);
    }
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
    ByteList *keys;
    const zend_string *pattern;
    LazyClock clock;
};

bool matches(const zend_string *pattern, const kelvoTableItem *item)
{
    return !pattern || kelvoFnMatch(ZSTR_VAL(pattern), ZSTR_LEN(pattern), item->key.bytes, item->key.length) == 0;
}

const kelvoTableWalker countWalker = {[](void *arg) { static_cast<CountWalk *>(arg)->count = 0; },
                                      [](void *arg, const void *object) {
                                          auto *walk = static_cast<CountWalk *>(arg);
                                          walk->count += walk->clock.live(static_cast<const kelvoTableItem *>(object));
                                      },
                                      nullptr};

const kelvoTableWalker keysWalker = {[](void *arg) { static_cast<KeysWalk *>(arg)->keys->clear(); },
                                     [](void *arg, const void *object) {
                                         auto *walk = static_cast<KeysWalk *>(arg);
                                         auto *item = static_cast<const kelvoTableItem *>(object);
                                         if (walk->clock.live(item) && matches(walk->pattern, item))
                                             walk->keys->add(item->key.bytes, item->key.length);
                                     },
                                     nullptr};

/* Namespace names, each with its number of items (expired ones not yet swept included). */
const kelvoTableWalker namespacesWalker = {[](void *arg) { static_cast<ByteList *>(arg)->clear(); },
                                           [](void *arg, const void *object) {
                                               auto *ht = static_cast<kelvoTableHT *>(const_cast<void *>(object));
                                               static_cast<ByteList *>(arg)->add(ht->name.bytes, ht->name.length,
                                                                                 int64_t(kelvoTableHTCount(ht)));
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

/*
 * Whether the engine has a memory-limit error waiting: it raises it at the
 * next opcode, and ends the process if the heap grows to twice the limit
 * first, so a loop that builds a result stops when one is pending.
 */
bool outOfMemory(void)
{
#ifdef ZEND_HAS_OOM
    return ZEND_HAS_OOM();
#else
    return false;
#endif
}

/* The list of names as a PHP list. */
void listOf(zval *out, const ByteList &names)
{
    array_init_size(out, uint32_t(names.count()));
    for (size_t i = 0; i < names.count() && !outOfMemory(); i++)
        add_next_index_stringl(out, names.bytes(i), names.length(i));
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

/*
 * Where a scan is: kept in the generator's key slot between steps. Names and
 * given keys grow inside sections, so they live in process memory.
 */
struct ScanCursor {
    ByteList names; // namespace names when the scan began
    bool named;     // `names` was taken
    uint32_t next;  // index of the next name
    bool inside;    // walking the namespace names[next - 1]
    kelvoCkRhsIterator position;
    uint64_t layout; // of that namespace's set at the last step
    bool restart;    // the position must start over
    HashTable given; // persistent: keys of that namespace the scan has yielded
};

ScanCursor *cursorOf(zend_generator *generator)
{
    return Z_TYPE(generator->key) == IS_PTR ? static_cast<ScanCursor *>(Z_PTR(generator->key)) : nullptr;
}

ScanCursor *cursorCreate(void)
{
    auto *cursor = new (std::nothrow) ScanCursor();
    if (!cursor)
        return nullptr;
    zend_hash_init(&cursor->given, 8, nullptr, nullptr, 1);
    return cursor;
}

void leaveNamespace(ScanCursor *cursor)
{
    cursor->inside = false;
    zend_hash_clean(&cursor->given);
}

void cursorFree(zend_generator *generator)
{
    ScanCursor *cursor = cursorOf(generator);
    if (!cursor)
        return;
    zend_hash_destroy(&cursor->given);
    delete cursor;
    ZVAL_NULL(&generator->key);
}

struct ScanStep {
    const zend_string *pattern;
    zend_long limit;
    ByteList batch;
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
    if (!cursor->named) {
        if (walkNamespaces(namespacesWalker, &cursor->names) != 0)
            return;
        cursor->named = true;
    }
    while (true) {
        if (!cursor->inside) {
            if (cursor->next >= cursor->names.count())
                return;
            cursor->next++;
            cursor->inside = true;
            cursor->restart = true;
        }
        size_t at = cursor->next - 1;
        kelvoTableHT *ht = kelvoTableFind(cursor->names.bytes(at), cursor->names.length(at));
        if (!ht) {
            leaveNamespace(cursor);
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
            if (!step->clock.live(item) || !matches(step->pattern, item) || !markGiven(&cursor->given, item))
                continue;
            step->batch.add(item->key.bytes, item->key.length);
            if (step->limit > 0 && zend_long(step->batch.count()) >= step->limit)
                return;
        }
        leaveNamespace(cursor);
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
    ScanStep step{nullptr, 0, {}, {}};
    zend_string *pattern = nullptr;
    if (Z_TYPE(generator->values) == IS_ARRAY) {
        if (zval *match = zend_hash_str_find(Z_ARRVAL(generator->values), ZEND_STRL("match")))
            pattern = zval_get_string(match);
        if (zval *count = zend_hash_str_find(Z_ARRVAL(generator->values), ZEND_STRL("count")))
            step.limit = zval_get_long(count);
    }
    step.pattern = pattern;
    inSection([&] { scanOn(cursor, &step); });
    if (pattern)
        zend_string_release(pattern);
    if (step.batch.count() == 0 || !copiedWhole(step.batch) || !copiedWhole(cursor->names)) {
        scanEnd(generator);
        return nullptr;
    }
    listOf(&generator->value, step.batch);
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
    /* The engine object opens a generator record instead of closing it, so the record is allocated
     * whole: a property-size adjustment would cut its tail. The class declares no properties. */
    ZEND_ASSERT(ce->default_properties_count == 0);
    auto *generator = static_cast<zend_generator *>(ecalloc(1, sizeof(zend_generator)));
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

/* key [namespace]: false after the engine's argument error. */
bool keyAndNamespace(zend_execute_data *execute_data, zend_string **key, zend_string **ns)
{
    ZEND_PARSE_PARAMETERS_START(1, 2)
    Z_PARAM_STR(*key)
    Z_PARAM_OPTIONAL
    Z_PARAM_STR_OR_NULL(*ns)
    ZEND_PARSE_PARAMETERS_END_EX(return false);
    return true;
}

} // namespace

/* --- methods ------------------------------------------------------------------------------------ */

ZEND_METHOD(Kelvo_Table, get)
{
    zend_string *key, *ns = nullptr;
    if (!keyAndNamespace(execute_data, &key, &ns))
        RETURN_THROWS();
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
    if (!keyAndNamespace(execute_data, &key, &ns))
        RETURN_THROWS();
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
    if (!keyAndNamespace(execute_data, &key, &ns))
        RETURN_THROWS();
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
    if (!keyAndNamespace(execute_data, &key, &ns))
        RETURN_THROWS();
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
    ByteList keys;
    KeysWalk walk{&keys, pattern, {}};
    int result = 1;
    inSection([&] {
        Namespace n = namespaceOf(ns);
        if (kelvoTableHT *ht = kelvoTableFind(n.name, n.length))
            result = walkItems(ht, keysWalker, &walk);
    });
    zend_string_release(pattern);
    if (result < 0)
        warnBroken();
    if (result != 0 || !copiedWhole(keys)) {
        RETURN_FALSE;
    }
    listOf(return_value, keys);
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
    ByteList names;
    int result = 0;
    inSection([&] { result = walkNamespaces(namespacesWalker, &names); });
    if (result != 0)
        warnBroken();
    if (result != 0 || !copiedWhole(names)) {
        RETURN_FALSE;
    }
    array_init_size(return_value, uint32_t(names.count()));
    for (size_t i = 0; i < names.count() && !outOfMemory(); i++)
        add_assoc_long_ex(return_value, names.bytes(i), names.length(i), zend_long(names.number(i)));
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
    ScanCursor *cursor = cursorCreate();
    if (!cursor) {
        if (pattern)
            zend_string_release(pattern);
        RETURN_FALSE;
    }
    object_init_ex(return_value, kelvo_table_fullscan_generator_ce);
    auto *generator = reinterpret_cast<zend_generator *>(Z_OBJ_P(return_value));
    ZVAL_PTR(&generator->key, cursor);
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
    kelvoPeriodic.tableGC = kelvoTableCacheGC;
}
