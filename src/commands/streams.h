/*
 * What the stream entry builders (streams.cc) share with the consumer-group builders
 * (streams_groups.cc): the deletion mode of XDELEX and XACKDEL, id lists, the STREAMS clause,
 * and the stream entries of replies.
 *
 * Nothing here owns anything. Engine side; one request, no lock.
 */
#ifndef KELVO_STREAMS_H
#define KELVO_STREAMS_H

#include "commands/builder.h"
#include "commands/commands.h"

/* KEEPREF, DELREF or ACKED in upper case, matched in any case; nothing for no mode (null). Any
 * other mode is refused with "Invalid mode '%s'" (-1): sent without it, the server's default
 * would delete entries the caller meant to keep. */
int kelvoRespCmdCatDelExMode(rrc *req, const zend_string *mode);

/* Ids by their string conversion, in order; -1 when one threw (an object without a string form). */
inline int kelvoCatStreamIds(rrc *req, HashTable *ids)
{
    kelvoReserveArgs(req, zend_hash_num_elements(ids));
    kelvoRespCmdCatHt(req, ids);
    return EG(exception) ? -1 : 0;
}

/* "IDS", their number and the ids, as XDELEX, XNACK and XACKDEL take them. */
inline int kelvoCatCountedStreamIds(rrc *req, HashTable *ids)
{
    kelvoCatWord(req, "IDS");
    kelvoRespCmdCatZendULong(req, zend_hash_num_elements(ids));
    return kelvoCatStreamIds(req, ids);
}

/* "STREAMS", the keys under the key prefix, then their ids; -1 when an id's conversion threw. */
inline int kelvoCatStreamsClause(rrc *req, const robj *obj, HashTable *streams)
{
    kelvoReserveArgs(req, 1 + 2 * zend_hash_num_elements(streams));
    kelvoRespCmdCatStreams(req, streams, obj->opts.prefix);
    return EG(exception) ? -1 : 0;
}

/* A stream entry of a reply: [STRING id, ARRAY fields]. */
bool kelvoIsStreamEntry(const kelvoReply *e);

/* id => message for entries already checked, the fields unpacked with the client's options;
 * false after a failing message (reported). */
bool kelvoAddStreamEntries(zval *rv, const kelvoReplyEnv *env, const kelvoReply *entries);

#endif
