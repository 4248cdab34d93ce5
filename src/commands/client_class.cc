/*
 * Registration of Kelvo\Kelvo and the event classes. Here, above the dispatcher and the batch
 * queue, because the class's method table names their handlers; it also plugs the command
 * layer's duties into the client object.
 */
#include "client/client.h"
#include "client/event.h"
#include "client/object.h"     /* option ids, modes, scan settings, packing and back-off ids: the class constants */
#include "commands/commands.h" /* key types: the REDIS_* class constants */
#include "commands/multi.h"
#include "runtime/kelvo.h"

extern "C" {
#include "stubs/client_arginfo.h"
}

void kelvoRegisterClientClasses()
{
    kelvoClientCommands = {kelvoMultiAbandon, kelvoMultiQueueFree, kelvoGetCommandRCmd};
    kelvo_ce = register_class_Kelvo_Kelvo();
    kelvoAddMethodAttributes(kelvo_ce, kelvoClientMethodAttributes, kelvoClientMethodAttributeCount);
}

void kelvoRegisterEventClasses()
{
    /* The subclasses inherit the hooks only when the parent has them at their registration. */
    kelvo_event_ce = register_class_Kelvo_Event();
    kelvo_event_ce->create_object = kelvoEventCreateObject;
    kelvo_event_ce->get_iterator = kelvoEventGetIterator;
    kelvo_event_invalidated_ce = register_class_Kelvo_Event_Invalidated(kelvo_event_ce);
    kelvo_event_flushed_ce = register_class_Kelvo_Event_Flushed(kelvo_event_ce);
    kelvoEventInitHandlers();
}
