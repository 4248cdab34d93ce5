/*
 * Stand-ins for the dispatchers until command dispatch exists: every command method, and
 * every method not built yet, fails as a client that was never connected does.
 * The dispatch component replaces this file.
 */
#include "client.h"
#include "errors.h"
#include "exception.h"

namespace {

void notConnected()
{
    kelvoThrowException(KELVO_ERR_IO, "Not connected");
}

} // namespace

void kelvoCommand(INTERNAL_FUNCTION_PARAMETERS, int cmd)
{
    notConnected();
}

void kelvoSubscribeCommand(INTERNAL_FUNCTION_PARAMETERS, int cmd)
{
    notConnected();
}

void kelvoMethodPending(INTERNAL_FUNCTION_PARAMETERS)
{
    /* A new object is simply not configured yet; its first command says so. */
    if (EX(func)->common.fn_flags & ZEND_ACC_CTOR) {
        return;
    }
    notConnected();
}
