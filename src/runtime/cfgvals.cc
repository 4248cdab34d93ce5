#include "runtime/cfgvals.h"

kelvoCfgValsRecord kelvoCfgVals = {
    0, 0, 0, 0, 0, 0, 0, KELVO_LL_DEBUG, nullptr, -1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
};
