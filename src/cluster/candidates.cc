#include "cluster/candidates.h"

#include "runtime/fatal.h"

#include <cstring>
#include <utility>

void kelvoShuffleNodes(int64_t *idx, uint64_t n, kelvoRandomFn draw, void *arg)
{
    for (uint64_t i = n; i > 1; i--) {
        uint64_t j = draw(arg) % i;
        std::swap(idx[i - 1], idx[j]);
    }
}

uint64_t kelvoMoveMatchesFirst(int64_t *idx, uint64_t n, bool (*matches)(int64_t node, void *arg), void *arg)
{
    /* Stable in place: each match moves left over the non-matches gathered so far. */
    uint64_t front = 0;
    for (uint64_t i = 0; i < n; i++) {
        if (!matches(idx[i], arg))
            continue;
        int64_t node = idx[i];
        memmove(idx + front + 1, idx + front, (i - front) * sizeof *idx);
        idx[front++] = node;
    }
    return front;
}

bool kelvoZoneMatches(const char *clientZone, size_t clientLen, const char *nodeZone, size_t nodeLen, bool helloSeen)
{
    if (nodeLen == 0)
        return !helloSeen || clientLen == 0;
    return nodeLen == clientLen && memcmp(nodeZone, clientZone, nodeLen) == 0;
}

namespace {

/* The failed node's place among the replicas; n when it is the primary, n + 1 when outside the shard. */
uint64_t failedPosition(int64_t primary, const int64_t *replicas, uint64_t n, int64_t failed)
{
    if (failed == primary)
        return n;
    for (uint64_t i = 0; i < n; i++)
        if (replicas[i] == failed)
            return i;
    return n + 1;
}

/* Every replica except the one at `skip` (n: none skipped), in stored order. */
uint64_t copyReplicasExcept(const int64_t *replicas, uint64_t n, uint64_t skip, int64_t *out)
{
    uint64_t count = 0;
    for (uint64_t i = 0; i < n; i++)
        if (i != skip)
            out[count++] = replicas[i];
    return count;
}

} // namespace

uint64_t kelvoFailoverCandidates(int32_t mode, int64_t primary, const int64_t *replicas, uint64_t n, int64_t failed,
                                 kelvoRandomFn draw, void *arg, int64_t *out)
{
    uint64_t pos = failedPosition(primary, replicas, n, failed);
    kelvoAssert(pos <= n);
    bool primaryFailed = pos == n;
    switch (mode) {
    case KELVO_FAILOVER_NONE:
        return 0;
    case KELVO_FAILOVER_RANDOM_REPLICA: {
        uint64_t choices = primaryFailed ? n : n - 1;
        if (choices == 0)
            return 0;
        uint64_t pick = draw(arg) % choices;
        if (!primaryFailed && pick >= pos)
            pick++;
        out[0] = replicas[pick];
        return 1;
    }
    case KELVO_FAILOVER_PRIMARY:
        if (primaryFailed)
            return 0;
        out[0] = primary;
        return 1;
    case KELVO_FAILOVER_REPLICAS:
        return copyReplicasExcept(replicas, n, pos, out);
    case KELVO_FAILOVER_ALL: {
        uint64_t count = copyReplicasExcept(replicas, n, pos, out);
        if (!primaryFailed)
            out[count++] = primary;
        return count;
    }
    default:
        kelvoUnreachable();
    }
}
