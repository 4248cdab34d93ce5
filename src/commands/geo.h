/*
 * The pieces the geo builders share (geo.cc): the options record of the radius queries and
 * searches with its parser, and the emitters of the radius options and of a search's origin and
 * shape. A record refers to values inside the caller's options array and owns nothing. Engine
 * side; one request, no lock.
 */
#ifndef KELVO_GEO_H
#define KELVO_GEO_H

#include "client/object.h"
#include "wire/command.h"

#include <cstdint>

struct kelvoGeoOptions {
    bool withCoord;
    bool withDist;
    bool withHash;
    int64_t count; /* 0: not given */
    bool any;
    bool storeDist;         /* the word STOREDIST (GEOSEARCHSTORE) */
    zend_string *storeWord; /* "store" or "storedist" as the caller spelled the key */
    zval *storeKey;         /* that key's value, the destination */
    zend_string *sort;      /* "ASC" or "DESC" as spelled */
};

/* Empties `options` and fills it from an options array (null: none). -1 after the warning
 * "Invalid COUNT value" for a COUNT that is no integer of at least 1 (alone, or first of a
 * [count, any] pair). */
int kelvoGetGeoOptions(kelvoGeoOptions *options, HashTable *ht);

/* WITHCOORD, WITHDIST, WITHHASH, the sort word, COUNT n [ANY], then the store word and its key
 * (prefixed). False, with a warning, for a store key that is no string or number. */
bool kelvoRespCmdCatGeoRadiusOpts(rrc *req, const robj *obj, const kelvoGeoOptions *options);

/* FROMMEMBER and the member packed as GEOADD stored it, or FROMLONLAT and every element of the
 * array as a float. False, with a warning, for an element that is no number. */
bool kelvoRespCmdCatGeoPos(rrc *req, const robj *obj, HashTable *lonLat, zend_string *member);

/* BYRADIUS r for a number, BYBOX w h for a pair, BYPOLYGON n x y ... for a longer array. False,
 * with a warning, for an element that is no number. */
bool kelvoRespCmdCatGeoShape(rrc *req, zval *shape);

#endif
