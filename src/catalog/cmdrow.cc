/*
 * The least each role slot may do; see cmdrow.h. The weak ones are replaced where the engine
 * and the owners' types are at hand (wire/command_least.cc and the components named in cmdrow.h).
 */
#include "catalog/cmdrow.h"

__attribute__((weak)) int kelvoLeastResp(zend_execute_data *, zval *, rrc *, robj *) { return -1; }
void kelvoLeastKeys(kelvoQuerySet *, rrc *) {}
void kelvoLeastDel(kelvoQuerySet *, robj *, kelvoReply *) {}
__attribute__((weak)) int kelvoLeastRawQuery(kelvoQuerySet *, robj *, int, zval *) { return 0; }
__attribute__((weak)) int kelvoLeastQuery(zend_execute_data *, zval *, kelvoQuerySet *, robj *) { return -1; }
__attribute__((weak)) void kelvoLeastCnv(rrc *, kelvoQuerySet *) {}
int kelvoLeastGet(zval *, kelvoQuerySet *, robj *) { return KELVO_RES_MISS; }
void kelvoLeastPut(kelvoQuerySet *, robj *, kelvoReply *) {}
int kelvoLeastChk(kelvoQuerySet *, robj *, kelvoReply *) { return 0; }
__attribute__((weak)) void kelvoLeastReply(zval *, kelvoQuerySet *, robj *, kelvoReply *) {}
