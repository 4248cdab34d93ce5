#include "cluster/options.h"

#include "cluster/candidates.h"
#include "runtime/fatal.h"

extern "C" {
#include "Zend/zend_exceptions.h"
}

namespace {

struct ModePair {
    int32_t distribute, failover;
};

/* The legacy option's values, indexed by value. */
constexpr ModePair kLegacyPairs[] = {
    {KELVO_DISTRIBUTE_NONE, KELVO_FAILOVER_NONE},
    {KELVO_DISTRIBUTE_NONE, KELVO_FAILOVER_RANDOM_REPLICA},
    {KELVO_DISTRIBUTE_RANDOM, KELVO_FAILOVER_NONE},
    {KELVO_DISTRIBUTE_RANDOM_REPLICA, KELVO_FAILOVER_NONE},
};
constexpr zend_long kLegacyCount = sizeof kLegacyPairs / sizeof kLegacyPairs[0];

int refuse(const char *kind, zend_long value)
{
    php_error_docref(nullptr, E_WARNING, ZEND_LONG_FMT " is not a valid %s type", value, kind);
    return -1;
}

/* The template first; then every node, so that all of them decode replies alike. */
int setClientOption(kelvoClusterObject *cobj, zend_long option, zval *value)
{
    if (kelvoSetOption(&cobj->tmpl, option, value) != 0)
        return -1;
    int rc = 0;
    for (uint64_t i = 0; i < cobj->nodes; i++) {
        if (kelvoSetOption(&cobj->node[i]->ro, option, value) == 0)
            continue;
        if (EG(exception))
            break;
        rc = -1;
    }
    return rc;
}

} // namespace

int kelvoClusterSetOption(kelvoClusterObject *cobj, zend_long option, zval *value)
{
    kelvoAssert(cobj != NULL);
    switch (option) {
    case KELVO_OPT_DISTRIBUTE: {
        zend_long mode = zval_get_long(value);
        if (!kelvoDistributeModeValid(mode))
            return refuse("distribute", mode);
        cobj->distribute = static_cast<int32_t>(mode);
        return 0;
    }
    case KELVO_OPT_FAILOVER: {
        zend_long mode = zval_get_long(value);
        if (!kelvoFailoverModeValid(mode))
            return refuse("failover", mode);
        cobj->failover = static_cast<int32_t>(mode);
        return 0;
    }
    case KELVO_OPT_REPLICA_FAILOVER: {
        zend_long legacy = zval_get_long(value);
        if (legacy < 0 || legacy >= kLegacyCount)
            return refuse("failover", legacy);
        cobj->distribute = kLegacyPairs[legacy].distribute;
        cobj->failover = kLegacyPairs[legacy].failover;
        return 0;
    }
    default:
        return setClientOption(cobj, option, value);
    }
}

int kelvoClusterGetOption(kelvoClusterObject *cobj, zend_long option, zval *out)
{
    kelvoAssert(cobj != NULL);
    switch (option) {
    case KELVO_OPT_DISTRIBUTE:
        ZVAL_LONG(out, cobj->distribute);
        return 0;
    case KELVO_OPT_FAILOVER:
        ZVAL_LONG(out, cobj->failover);
        return 0;
    case KELVO_OPT_REPLICA_FAILOVER:
        for (zend_long legacy = 0; legacy < kLegacyCount; legacy++) {
            if (kLegacyPairs[legacy].distribute == cobj->distribute &&
                kLegacyPairs[legacy].failover == cobj->failover) {
                ZVAL_LONG(out, legacy);
                return 0;
            }
        }
        return -1;
    default:
        return kelvoGetOption(&cobj->tmpl, option, out);
    }
}

extern "C" {

ZEND_METHOD(Kelvo_Cluster, setOption)
{
    zend_long option;
    zval *value;
    ZEND_PARSE_PARAMETERS_START(2, 2)
    Z_PARAM_LONG(option)
    Z_PARAM_ZVAL(value)
    ZEND_PARSE_PARAMETERS_END();
    int rc = kelvoClusterSetOption(kelvoClusterGetObjectZVal(ZEND_THIS), option, value);
    if (EG(exception))
        return;
    RETURN_BOOL(rc == 0);
}

ZEND_METHOD(Kelvo_Cluster, getOption)
{
    zend_long option;
    ZEND_PARSE_PARAMETERS_START(1, 1)
    Z_PARAM_LONG(option)
    ZEND_PARSE_PARAMETERS_END();
    if (kelvoClusterGetOption(kelvoClusterGetObjectZVal(ZEND_THIS), option, return_value) != 0)
        RETURN_FALSE;
}

} // extern "C"
