/*
 * The orders in which a read tries the nodes of its shard: the shuffled replica list that
 * distribution walks (same-zone replicas first), and the candidate lists of the failover
 * modes. Pure list work over node indexes; randomness comes from the caller's draw function.
 * Engine-free; owns nothing.
 */
#ifndef KELVO_CLUSTER_CANDIDATES_H
#define KELVO_CLUSTER_CANDIDATES_H

#include <cstddef>
#include <cstdint>

/* Distribute modes (OPT_DISTRIBUTE). */
enum kelvoDistributeMode : int32_t {
    KELVO_DISTRIBUTE_NONE = 0,
    KELVO_DISTRIBUTE_RANDOM = 1,
    KELVO_DISTRIBUTE_RANDOM_REPLICA = 2,
    KELVO_DISTRIBUTE_REPLICAS = 3,
    KELVO_DISTRIBUTE_ALL = 4,
};

/* Failover modes (OPT_FAILOVER); 1 to 3 are values of the legacy option only. */
enum kelvoFailoverMode : int32_t {
    KELVO_FAILOVER_NONE = 0,
    KELVO_FAILOVER_RANDOM_REPLICA = 4,
    KELVO_FAILOVER_PRIMARY = 5,
    KELVO_FAILOVER_REPLICAS = 6,
    KELVO_FAILOVER_ALL = 7,
};

/* A uniform 32-bit random number. */
using kelvoRandomFn = uint32_t (*)(void *arg);

/* Whether the mode values are ones the options accept. */
constexpr bool kelvoDistributeModeValid(int64_t mode)
{
    return mode >= KELVO_DISTRIBUTE_NONE && mode <= KELVO_DISTRIBUTE_ALL;
}
constexpr bool kelvoFailoverModeValid(int64_t mode)
{
    return mode == KELVO_FAILOVER_NONE || (mode >= KELVO_FAILOVER_RANDOM_REPLICA && mode <= KELVO_FAILOVER_ALL);
}

/* Fisher-Yates: for i from n-1 down to 1, entry i swaps with entry draw() % (i+1). */
void kelvoShuffleNodes(int64_t *idx, uint64_t n, kelvoRandomFn draw, void *arg);

/* Moves the entries `matches` accepts to the front, each group keeping its order; their count. */
uint64_t kelvoMoveMatchesFirst(int64_t *idx, uint64_t n, bool (*matches)(int64_t node, void *arg), void *arg);

/*
 * Whether a replica counts as in the client's zone: its reported zone equals the client's byte
 * for byte, or it reported none and either never answered a HELLO or the client's zone is empty.
 */
bool kelvoZoneMatches(const char *clientZone, size_t clientLen, const char *nodeZone, size_t nodeLen, bool helloSeen);

/*
 * The nodes a read may move to after `failed` failed, into `out` (room for n + 1 entries); their
 * count. The shard is `primary` with its `n` replicas; `failed` is the primary or one of them.
 * Random picks draw modulo the number of choices, so a shard without a choice gives none.
 * A mode outside 0 and 4 to 7 is fatal.
 */
uint64_t kelvoFailoverCandidates(int32_t mode, int64_t primary, const int64_t *replicas, uint64_t n, int64_t failed,
                                 kelvoRandomFn draw, void *arg, int64_t *out);

#endif
