/* Kelvo\AdaptiveCache moved up to the client layer; this keeps the old include path working. */
#include "client/adaptive.h"
