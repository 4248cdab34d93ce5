/*
 * Publish and subscribe: subscribe, psubscribe and ssubscribe with a PHP callback, their
 * unsubscribe counterparts, the subscribe loop that blocks while any subscription remains, and
 * the routing of every push a client's link receives (kelvoPushCb): invalidations to the shared
 * cache, everything else to the subscriptions.
 *
 * Owns: the three subscribe tables of a client object (callback contexts by channel name as
 * sent, prefix included), the pushes held back while a callback runs, and the record of each
 * subscribe-family request still waiting for the server's answer. Request memory only.
 *
 * Every request the subscribe family sends is answered before its call returns: one
 * confirmation push per name (the names a bare unsubscribe covers are sent explicitly, so the
 * count is known), or one error reply that refuses the whole request and reaches the caller.
 * So confirmations are counted exactly, and no reply meant for another command is ever taken.
 *
 * One process, one request thread: no locks. Callbacks never nest: pushes that arrive while a
 * callback runs are held and handled, in order, after it returns. A callback may subscribe,
 * unsubscribe or close its own client; nothing it runs from is freed under it.
 */
#ifndef KELVO_PUBSUB_H
#define KELVO_PUBSUB_H

#include "cache/invalidation.h" /* kelvoIsInvalidationPush */
#include "catalog/cmdinfo.h"    /* the rows, the role slots and the command ids */
#include "client/object.h"

struct kelvoEndpoint;
struct rdb;

/* A subscription's callable (a request's user data, then one copy per subscribed name). */
struct kelvoFcallContext {
    zend_fcall_info fci; /* function name counted */
    zend_fcall_info_cache fcc;
    zend_object *object; /* first callback argument in place of the client; null: the client */
};

/* Destructor of the subscribe tables: releases one context. */
void kelvoFcallContextDtor(zval *zv);

/* The link's push callback (context private data: the client object). */
void kelvoPushCb(void *privdata, void *reply);

/* A push that is not an invalidation: held while a callback runs, else handled now. Owns it. */
void kelvoSubscribeCb(robj *ro, kelvoReply *push);

/*
 * Inside a subscribe callback, before a read is answered from the shared cache: applies the
 * invalidations that already reached the socket and holds the other pushes.
 */
void kelvoSubscribeDrainInvalidations(robj *ro);

/*
 * Leaves every subscription of a client whose link is being given up: each name is
 * unsubscribed and its confirmation read. false when that failed and the link must be closed.
 */
bool kelvoEndSubscriptions(robj *ro);

/* Drops the pushes held for the subscriptions (object release). */
void kelvoDropHeldPushes(robj *ro);

/*
 * Applies an invalidation push to the shared cache of the link's endpoint and owns the reply
 * (left alone while KELVO_G(folding_replies) is set). Provided by the invalidation delivery
 * (cache/invalidation.cc).
 */
void kelvoExecuteInvalidation(kelvoEndpoint *ep, rdb *db, kelvoReply *reply);

/* The subscribe family's roles on their command rows: the request builders and the formatter. */
int kelvoSubscribeRCmd(zend_execute_data *execute_data, zval *return_value, rrc *req, robj *obj);
int kelvoUnsubscribeRCmd(zend_execute_data *execute_data, zval *return_value, rrc *req, robj *obj);
void kelvoSubscribeReply(zval *return_value, kelvoQuerySet *rqs, robj *obj, kelvoReply *reply);

#endif
