// Event listeners inside an engine that started the module, against the harness's server. This
// program stands in for the shared invalidation queue (a scripted queue per process), so that
// delivery can be watched in one process; a write's own events come from its delete role.
#include "client/listeners.h"
#include "client/object.h"
#include "commands/commands.h"
#include "runtime/kelvo.h"
#include "support/module_engine.h"

#include <sys/wait.h>
#include <unistd.h>

#include <deque>
#include <string>

namespace {

struct Message {
    std::string endpoint;
    bool flush;
    std::string key;
};

std::deque<Message> queue;
Message taken;
int attaches;
int detaches;
bool exhausted;

} // namespace

int kelvoInvalidationQueueAttach(void)
{
    if (exhausted)
        return -1;
    attaches++;
    return 0;
}

void kelvoInvalidationQueueDetach(void)
{
    detaches++;
    queue.clear();
}

bool kelvoInvalidationQueueTake(kelvoQueuedInvalidation *out)
{
    if (queue.empty())
        return false;
    taken = queue.front();
    queue.pop_front();
    *out = {taken.endpoint.data(), taken.endpoint.size(), taken.flush ? nullptr : taken.key.data(), taken.key.size()};
    return true;
}

namespace {

std::string port() { return harnessSetting("KELVO_TEST_PORT"); }

std::string run(const std::string &code) { return runPhp(code, "listeners test"); }

robj *client(const char *name)
{
    zval *object = zend_hash_str_find_deref(&EG(symbol_table), name, strlen(name));
    return object && Z_TYPE_P(object) == IS_OBJECT ? kelvoGetObjectZVal(object) : nullptr;
}

std::string identity(const char *name)
{
    robj *ro = client(name);
    return ro && ro->link.key ? std::string(ZSTR_VAL(ro->link.key), ZSTR_LEN(ro->link.key)) : "";
}

size_t registered() { return KELVO_G(listeners) ? zend_hash_num_elements(KELVO_G(listeners)) : 0; }

/* A client $c with a recording listener per case; $log collects what the listeners received. */
void start(const std::string &listeners)
{
    ASSERT_TRUE(kelvoModuleLoaded);
    ASSERT_FALSE(port().empty()) << "KELVO_TEST_PORT is not set: run the tests through scripts/test";
    EngineEnvironment::nextRequest();
    queue.clear();
    exhausted = false;
    ASSERT_EQ(
        run("$log = []; $c = new Kelvo\\Kelvo('127.0.0.1', " + port() + "); $a = new Kelvo\\Kelvo('127.0.0.1', " +
            port() +
            ");"
            "function recorder(string $name) { return function ($e, $p) use ($name) {"
            "  $GLOBALS['log'][] = $name . ' ' . substr(get_class($e), 12) . ' ' . json_encode([$e->key, $e->client, $p]);"
            "}; }" +
            listeners + "$out = 'ok';"),
        "ok");
}

std::string takeLog() { return run("$out = implode(' | ', $log); $log = [];"); }

void queueFor(const std::string &endpoint, const char *key)
{
    queue.push_back({endpoint, key == nullptr, key ? key : ""});
}

TEST(Listeners, QueuedEventsReachTheListenersOfTheirEndpointByMaskAndPattern)
{
    start("$c->onInvalidated(recorder('all'));"
          "$c->onInvalidated(recorder('user'), 'user:*');"
          "$c->onInvalidated(recorder('USER'), 'USER:*');"
          "$c->onFlushed(recorder('flushed'));"
          "$c->listen(recorder('both'));");
    std::string mine = identity("c");
    ASSERT_FALSE(mine.empty());
    queueFor(mine, "user:1");
    queueFor("tcp://default@127.0.0.1:1?cache=1&tracking=1", "user:2");
    queueFor(mine, nullptr);
    queueFor(mine, "other");
    EXPECT_EQ(run("$out = $c->dispatchEvents();"), "7");
    EXPECT_EQ(takeLog(), "all Invalidated [\"user:1\",false,\"*\"] | user Invalidated [\"user:1\",false,\"user:*\"] | "
                         "both Invalidated [\"user:1\",false,\"*\"] | flushed Flushed [null,false,null] | "
                         "both Flushed [null,false,null] | all Invalidated [\"other\",false,\"*\"] | "
                         "both Invalidated [\"other\",false,\"*\"]");
    EXPECT_EQ(run("$out = $c->dispatchEvents();"), "0");
}

TEST(Listeners, RegistrationReplacesAddsAndRemovesByMaskAndPattern)
{
    start("$c->onInvalidated(recorder('first'));");
    EXPECT_EQ(run("$out = json_encode([$c->onInvalidated(recorder('second')), $c->onInvalidated(recorder('p'), 'k*'),"
                  "$c->onInvalidated(null, 'k*'), $c->onInvalidated(null, 'never'), $c->onFlushed(null)]);"),
              "[true,true,true,true,true]");
    queueFor(identity("c"), "key");
    run("$c->dispatchEvents();");
    EXPECT_EQ(takeLog(), "second Invalidated [\"key\",false,\"*\"]");
    EXPECT_EQ(registered(), 1u);
    EXPECT_EQ(run("$out = json_encode($c->onInvalidated(null));"), "true");
    EXPECT_EQ(registered(), 0u);
    EXPECT_EQ(detaches, attaches);
}

TEST(Listeners, TheInterruptHookDeliversWhereverPhpCodeRuns)
{
    start("$c->onInvalidated(recorder('hook'));");
    queueFor(identity("c"), "k");
    zend_atomic_bool_store_ex(&EG(vm_interrupt), true);
    EXPECT_EQ(run("for ($i = 0; $i < 3; $i++) {} $out = count($log);"), "1");
    EXPECT_EQ(takeLog(), "hook Invalidated [\"k\",false,\"*\"]");
}

TEST(Listeners, OwnWritesFireOnceWhenTheyHappenAndNeverForADiscardedBatch)
{
    start("$c->listen(recorder('own'));");
    run("$a->set('ev:w', 1);");
    struct Case {
        const char *code;
        const char *log;
    } cases[] = {
        {"$c->set('ev:k', 1);", "own Invalidated [\"ev:k\",true,\"*\"]"},
        {"$c->pipeline()->set('ev:p', 1); $log[] = 'queued'; $c->exec();",
         "queued | own Invalidated [\"ev:p\",true,\"*\"]"},
        {"$c->pipeline()->set('ev:d', 1)->discard();", ""},
        {"$c->multi()->set('ev:m', 1); $log[] = 'queued'; $c->exec();",
         "queued | own Invalidated [\"ev:m\",true,\"*\"]"},
        {"$c->multi()->set('ev:d', 1)->discard();", ""},
        {"$c->watch('ev:w'); $a->set('ev:w', 2); $c->multi()->set('ev:aborted', 1)->exec();", ""},
        {"$c->flushDb();", "own Flushed [null,true,null]"},
        {"$c->setOption(Kelvo\\Kelvo::OPT_CLIENT_INVALIDATIONS, false); $c->set('ev:off', 1);"
         "$c->setOption(Kelvo\\Kelvo::OPT_CLIENT_INVALIDATIONS, true);",
         ""},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.code);
        run(c.code);
        EXPECT_EQ(takeLog(), c.log);
    }
}

TEST(Listeners, AListenerThatWritesAKeyItMatchesHearsItAfterItReturns)
{
    start("$c->onInvalidated(function ($e, $p) use ($c) {"
          "  $GLOBALS['log'][] = 'begin ' . $e->key;"
          "  if ($e->key === 'ev:n1') { $c->set('ev:n2', 1); }"
          "  $GLOBALS['log'][] = 'end ' . $e->key;"
          "}, 'ev:n*');");
    run("$c->set('ev:n1', 1);");
    EXPECT_EQ(takeLog(), "begin ev:n1 | end ev:n1 | begin ev:n2 | end ev:n2");
    EXPECT_EQ(KELVO_G(in_invalidation_callback), 0u);
}

TEST(Listeners, AThrowingListenerReachesTheCallerAndTheRestWaitsForTheNextDispatch)
{
    start("$c->onInvalidated(function ($e) { $GLOBALS['log'][] = $e->key;"
          "  if ($e->key === 'bad') { throw new RuntimeException('listener failed'); } });");
    std::string mine = identity("c");
    for (const char *key : {"one", "bad", "two", "three"})
        queueFor(mine, key);
    EXPECT_EQ(run("$out = $c->dispatchEvents();"), "RuntimeException: listener failed");
    EXPECT_EQ(takeLog(), "one | bad");
    EXPECT_EQ(run("$out = $c->dispatchEvents();"), "2");
    EXPECT_EQ(takeLog(), "two | three");
    // From the interrupt hook the exception surfaces in the code it interrupted.
    queueFor(mine, "bad");
    zend_atomic_bool_store_ex(&EG(vm_interrupt), true);
    EXPECT_EQ(run("for ($i = 0; $i < 3; $i++) {} $out = 'not reached';"), "RuntimeException: listener failed");
}

TEST(Listeners, NoFreeSharedQueueIsAWarningAndFalse)
{
    start("");
    exhausted = true;
    EXPECT_EQ(
        run("set_error_handler(function ($level, $message) { $GLOBALS['log'][] = ($level === E_WARNING ? 'warning ' : "
            "'level ' . $level . ' ') . $message; return true; });"
            "$out = json_encode($c->listen(recorder('x'))); restore_error_handler();"),
        "false");
    std::string log = takeLog();
    EXPECT_EQ(log.rfind("warning ", 0), 0u) << log;
    EXPECT_NE(log.find("Too many concurrent requests"), std::string::npos) << log;
    EXPECT_EQ(registered(), 0u);
}

TEST(Listeners, ListenersGoWithTheirLinkAndTheObjectStillEndsCleanly)
{
    start("$c->onInvalidated(recorder('gone'));");
    ASSERT_EQ(registered(), 1u);
    int before = detaches;
    std::string outcome = run("$a->rawCommand('CLIENT', 'KILL', 'ID', (string) $c->rawCommand('CLIENT', 'ID'));"
                              "$out = json_encode($c->set('ev:lost', 1));");
    EXPECT_EQ(outcome, "true") << "the lost link is found before the write, which goes out on a new one";
    EXPECT_EQ(registered(), 0u);
    EXPECT_EQ(zend_hash_num_elements(&client("c")->callbacks), 0u);
    EXPECT_EQ(detaches, before + 1);
    EXPECT_EQ(run("$out = $c->dispatchEvents();"), "0");
    /* A listener whose link was lost without any call noticing: released at request end. */
    run("$c->onInvalidated(recorder('again'));");
    run("$a->rawCommand('CLIENT', 'KILL', 'ID', (string) $c->rawCommand('CLIENT', 'ID'));");
    EngineEnvironment::nextRequest();
    EXPECT_EQ(registered(), 0u);
}

TEST(Listeners, ListenersGoWhenTheLinkTalksToAnotherEndpoint)
{
    start("$c->listen(recorder('old'));");
    std::string before = identity("c");
    run("$c->setOption(Kelvo\\Kelvo::OPT_CLIENT_TRACKING, false); $c->ping();");
    EXPECT_NE(identity("c"), before);
    EXPECT_EQ(registered(), 0u);
    EXPECT_EQ(zend_hash_num_elements(&client("c")->callbacks), 0u);
    queueFor(before, "k");
    EXPECT_EQ(run("$out = $c->dispatchEvents();"), "0");
}

TEST(Listeners, AForkedChildStartsWithoutItsParentsQueueAndListeners)
{
    start("$c->onInvalidated(recorder('parent'));");
    queueFor(identity("c"), "for the parent");
    int parentDetaches = detaches;
    pid_t child = fork();
    if (child == 0) {
        int attachesBefore = attaches;
        bool ok = run("$out = $c->dispatchEvents();") == "0" && takeLog().empty() && registered() == 0 &&
                  zend_hash_num_elements(&client("c")->callbacks) == 0 && detaches == parentDetaches;
        ok = ok && run("$out = json_encode($c->onFlushed(recorder('child')));") == "true" &&
             attaches == attachesBefore + 1;
        _exit(ok ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    EXPECT_EQ(run("$out = $c->dispatchEvents();"), "1");
    EXPECT_EQ(takeLog(), "parent Invalidated [\"for the parent\",false,\"*\"]");
}

} // namespace
