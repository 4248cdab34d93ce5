/*
 * Cached values from reply nodes: the engine's side of value building. The
 * building itself is engine-free (keys.cc); this walks kelvoReply trees for it.
 */
#include "cache/keys.h"
#include "wire/reply.h"

namespace {

kelvoNode shapeOfReply(const void *node)
{
    auto *r = static_cast<const kelvoReply *>(node);
    kelvoNode n{};
    switch (r->type) {
    case KELVO_REPLY_STRING:
        n.shape = KELVO_NODE_STRING;
        n.data = ZSTR_VAL(r->v.str);
        n.len = ZSTR_LEN(r->v.str);
        break;
    case KELVO_REPLY_INTEGER:
        n.shape = KELVO_NODE_INTEGER;
        n.integer = r->v.integer;
        break;
    case KELVO_REPLY_DOUBLE:
        n.shape = KELVO_NODE_DOUBLE;
        n.dval = r->dval;
        break;
    case KELVO_REPLY_NIL:
        n.shape = KELVO_NODE_NIL;
        break;
    case KELVO_REPLY_ARRAY:
    case KELVO_REPLY_MAP:
    case KELVO_REPLY_SET:
        n.shape = KELVO_NODE_AGGREGATE;
        n.elements = r->elements;
        break;
    default:
        /* Statuses, errors, verbatim strings, big numbers, booleans, pushes: nothing a cached value is built of. */
        n.shape = KELVO_NODE_OTHER;
        break;
    }
    return n;
}

const void *childOfReply(const void *node, uint64_t index)
{
    return static_cast<const kelvoReply *>(node)->v.element[index];
}

constexpr kelvoNodeReader replyNodes = {shapeOfReply, childOfReply};

} // namespace

rk *kelvoKeyFromReply(uint32_t type, uint16_t flags, const kelvoReply *reply)
{
    return kelvoKeyFromNodes(type, flags, &replyNodes, reply);
}

int kelvoBufferCatReplyString(kelvoMemberBuffer *buffer, const kelvoReply *reply)
{
    if (reply->type != KELVO_REPLY_STRING)
        return -1;
    return kelvoBufferCat(buffer, ZSTR_VAL(reply->v.str), ZSTR_LEN(reply->v.str));
}
