/*
 * Stand-in until the remaining methods exist: they fail as a client that was never connected does.
 */
#include "client/client.h"
#include "runtime/errors.h"
#include "runtime/exception.h"

namespace {

void notConnected() { kelvoThrowException(KELVO_ERR_IO, "Not connected"); }

} // namespace

void kelvoMethodPending(INTERNAL_FUNCTION_PARAMETERS)
{
    /* A new object is simply not configured yet; its first command says so. */
    if (EX(func)->common.fn_flags & ZEND_ACC_CTOR) {
        return;
    }
    notConnected();
}
