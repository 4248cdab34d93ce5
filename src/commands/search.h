/*
 * What the search command builders share: the reading of option arrays and the clause
 * appenders. An option array maps option names (string keys, matched in any letter case) to
 * values; the whole array is read and every value checked before the first option word is
 * appended, and the words go out in each command's fixed order, whatever the array's. Index,
 * alias and dictionary names, PREFIX values and INKEYS keys live in the key space: they carry
 * the client's key prefix like any other key. Nothing here packs a value with the client's
 * serializer. Engine side.
 */
#ifndef KELVO_SEARCH_H
#define KELVO_SEARCH_H

#include "commands/builder.h"

/*
 * f(name, value) for every element of an option array, the value through a reference; an
 * element with an integer key refuses the call with "Option name is not specified". f answers
 * 0 to go on or -1 after its own refusal. 0, or -1 once refused.
 */
template <typename F>
int kelvoFtEachOption(HashTable *options, F &&f)
{
    zend_string *name;
    zval *value;
    ZEND_HASH_FOREACH_STR_KEY_VAL(options, name, value)
    {
        if (!name)
            return kelvoRefuse("Option name is not specified");
        if (f(name, kelvoDeref(value)) != 0)
            return -1;
    }
    ZEND_HASH_FOREACH_END();
    return 0;
}

/* A PHP integer, nothing converted: a float or a numeric string is not one. */
inline bool kelvoFtIsLong(const zval *value) { return Z_TYPE_P(value) == IS_LONG; }
inline bool kelvoFtIsString(const zval *value) { return Z_TYPE_P(value) == IS_STRING; }

/* A clause value: a float with 17 digits like every number sent, anything else by the engine's
 * string conversion; false when that threw. */
bool kelvoFtCatText(rrc *req, zval *value);

/* `word`, the element count, then every element by string conversion; false when one threw. */
bool kelvoFtCatCounted(rrc *req, const char *word, size_t wordLen, HashTable *values);

/* `word` and n, a count or other integer in decimal. */
void kelvoFtCatWordLong(rrc *req, const char *word, size_t wordLen, zend_long n);

/* `word` and the value as plain bytes; nothing when the option was not given (null). */
void kelvoFtCatWordString(rrc *req, const char *word, size_t wordLen, const zend_string *value);

/* A name in the key space, given as any value: the key prefix glued in front. */
inline bool kelvoFtCatKeyName(rrc *req, const robj *obj, zval *name) { return kelvoCatKeyZVal(req, obj, name); }

/* TERMS `word` dictionary term... for each dictionary => terms of the array (none: nothing);
 * false when a term's conversion threw. */
bool kelvoRespCmdCatFtSpellCheckTerms(rrc *req, const robj *obj, HashTable *dictionaries, const char *word);

#endif
