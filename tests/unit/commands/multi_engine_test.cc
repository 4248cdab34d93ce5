// Pipelines and transactions inside an engine that started the module, where the invalidation
// delivery is stood in for (every invalidation push applied is recorded), so that the batch's use
// of the shared cache's answers and of the pushes can be watched.
#include "commands/multi.h"
#include "cache/cache.h"
#include "client/object.h"
#include "client/pubsub.h"
#include "wire/reply.h"
#include "support/module_engine.h"

#include <string>

namespace {

std::string trail; /* what the stand-ins saw, in order */

} // namespace

void kelvoExecuteInvalidation(kelvoEndpoint *, rdb *, kelvoReply *reply)
{
    trail += "invalidation applied; ";
    kelvoReplyFree(reply);
}

namespace {

std::string port() { return harnessSetting("KELVO_TEST_PORT"); }

/* What the first sync of a link to a new endpoint sends after the handshake: tracking, then INFO. */
const std::string kCacheUpkeep =
    "'expect *3\\r\\n$6\\r\\nCLIENT\\r\\n$8\\r\\nTRACKING\\r\\n$2\\r\\nON\\r\\n', 'reply +OK\\r\\n', "
    "'expect *1\\r\\n$4\\r\\nINFO\\r\\n', 'reply =7\\r\\ntxt:a:1\\r\\n', ";

std::string run(const std::string &code) { return runPhp(code, "batch test"); }

robj *client(const char *name)
{
    zval *object = zend_hash_str_find_deref(&EG(symbol_table), name, strlen(name));
    return kelvoGetObjectZVal(object);
}

/* $c on the harness's server with the cache stand-in attached, $a beside it. */
void start()
{
    ASSERT_TRUE(kelvoModuleLoaded);
    ASSERT_FALSE(port().empty()) << "KELVO_TEST_PORT is not set: run the tests through scripts/test";
    EngineEnvironment::nextRequest();
    ASSERT_EQ(run("$c = new Kelvo\\Kelvo('127.0.0.1', " + port() + "); $a = new Kelvo\\Kelvo('127.0.0.1', " + port() +
                  "); $a->set('batch:k', 'from the server'); $out = json_encode($c->ping());"),
              "true");
    /* The cache role is asked only on a link attached to its endpoint. */
    ASSERT_NE(client("c")->link.ep, nullptr);
    trail.clear();
}

/* Cached by $c: "hit:" keys as strings, "wrongtype:" keys as hashes; $sent() is what $c sent since. */
const std::string kPrimed = "$a->set('hit:one', 'one'); $a->set('hit:two', 'two'); $a->set('hit:a', 'a');"
                            "$a->del('wrongtype:x', 'wrongtype:b'); $a->hset('wrongtype:x', 'f', 'v');"
                            "$a->hset('wrongtype:b', 'f', 'v'); $a->set('hit:m', 'm');"
                            "foreach (['hit:one', 'hit:two', 'hit:a', 'hit:m'] as $k) { $c->get($k); }"
                            "$c->hgetall('wrongtype:x'); $c->hgetall('wrongtype:b');"
                            "$before = $c->getBytes()[0]; $sent = fn() => $c->getBytes()[0] - $GLOBALS['before'];";

TEST(BatchCache, CacheAnswersTakeTheirSlotsInOrderAndSendNothing)
{
    start();
    EXPECT_EQ(
        run(kPrimed + "$c->setOption(Kelvo\\Kelvo::OPT_THROW_ON_ERROR, false);"
                      "$r = $c->pipeline()->get('hit:one')->get('batch:k')->get('wrongtype:x')->get('hit:two')->exec();"
                      "$out = json_encode([$r, $c->getLastError(), $sent() == strlen(\"*2\\r\\n\\$3\\r\\nGET\\r\\n"
                      "\\$7\\r\\nbatch:k\\r\\n\")]);"),
        "[[\"one\",\"from the server\",false,\"two\"],\"WRONGTYPE Operation against a key holding the wrong kind of "
        "value\",true]");
    /* Answered only by the cache: nothing goes to the server; the cached WRONGTYPE is the server's error. */
    EXPECT_EQ(run("$c->setOption(Kelvo\\Kelvo::OPT_THROW_ON_ERROR, true); $before = $c->getBytes()[0];"
                  "$r = $c->pipeline()->get('hit:a')->get('wrongtype:b')->exec();"
                  "$out = json_encode([$r[0], get_class($r[1]), $r[1]->getCode(), $sent() == 0]);"),
              "[\"a\",\"Kelvo\\\\Exception\",14,true]");
    /* Inside MULTI the cache is not asked: the server answers in the transaction. */
    EXPECT_EQ(run("$before = $c->getBytes()[0]; $out = json_encode([$c->multi()->get('hit:m')->exec(), $sent() > 0]);"),
              "[[\"m\"],true]");
}

TEST(BatchPushes, APushInsideTheExecArrayGoesToTheCacheAndTheResultsKeepTheirSlots)
{
    start();
    std::string fake = std::string(KELVO_SOURCE_DIR) + "/tests/phpt/08_dispatch/fake.inc";
    EXPECT_EQ(run("require_once '" + fake +
                  "';"
                  "$f = new FakeServer([" +
                  kCacheUpkeep +
                  "'reply +OK\\r\\n', 'reply +QUEUED\\r\\n', 'reply +QUEUED\\r\\n',"
                  "  'reply *2\\r\\n>2\\r\\n$10\\r\\ninvalidate\\r\\n*1\\r\\n$1\\r\\nk\\r\\n:1\\r\\n:2\\r\\n']);"
                  "$r = kelvo_fake_client($f);"
                  "$out = json_encode($r->multi()->incr('a')->incr('b')->exec());"),
              "[1,2]");
    EXPECT_EQ(trail, "invalidation applied; ");
}

TEST(BatchPushes, ACachedReadInASubscribeCallbackFirstAppliesWaitingInvalidations)
{
    start();
    std::string fake = std::string(KELVO_SOURCE_DIR) + "/tests/phpt/08_dispatch/fake.inc";
    ASSERT_EQ(
        run("require_once '" + fake +
            "';"
            "$f = new FakeServer([" +
            kCacheUpkeep +
            "'reply +PONG\\r\\n',"
            "  'reply >3\\r\\n$9\\r\\nsubscribe\\r\\n$2\\r\\nch\\r\\n:1\\r\\n>3\\r\\n$7\\r\\nmessage\\r\\n$2\\r\\nch\\r\\n$2\\r\\ngo\\r\\n',"
            "  'sleep 20', 'push >2\\r\\n$10\\r\\ninvalidate\\r\\n*1\\r\\n$1\\r\\nk\\r\\n',"
            "  'reply $1\\r\\nv\\r\\n',"
            "  'reply >3\\r\\n$11\\r\\nunsubscribe\\r\\n$2\\r\\nch\\r\\n:0\\r\\n']);"
            "$r = kelvo_fake_client($f); $out = json_encode($r->ping());"),
        "true");
    ASSERT_NE(client("r")->link.ep, nullptr);
    EXPECT_EQ(run("$out = json_encode($r->subscribe(['ch'], function ($client) { usleep(50000);"
                  "  $GLOBALS['got'] = $client->get('k'); $client->unsubscribe(); })) . ' ' . $got;"),
              "true v");
    EXPECT_EQ(trail, "invalidation applied; ");
}

TEST(BatchLink, ALinkFoundBrokenWhileABatchIsOpenFailsTheBatch)
{
    start();
    for (const char *open : {"$c->pipeline()", "$c->multi()"}) {
        SCOPED_TRACE(open);
        run(std::string(open) + "->set('batch:lost', 1);");
        robj *ro = client("c");
        ASSERT_NE(ro->link.ctx, nullptr);
        redisSetError(ro->link.ctx, REDIS_ERR_EOF, "Server closed the connection");
        std::string outcome = run("$out = json_encode($c->set('batch:after', 1));");
        EXPECT_EQ(outcome.rfind("Kelvo\\Exception: Server closed the connection", 0), 0u) << outcome;
        EXPECT_EQ(ro->mode, 0u);
        EXPECT_EQ(ro->pipe.count, 0u);
        EXPECT_EQ(run("$out = json_encode([$c->exec(), $a->exists('batch:lost', 'batch:after')]);"), "[false,0]");
    }
}

TEST(BatchLink, TheCacheUpkeepWaitsWhileABatchIsOpen)
{
    start();
    kelvoLink &link = client("c")->link;
    ASSERT_NE(link.rdb, nullptr);
    rdb *db = link.rdb;
    uint16_t lease = link.lease;
    for (const char *open : {"$c->pipeline()", "$c->multi()"}) {
        SCOPED_TRACE(open);
        run(std::string(open) + "->set('batch:u', 'x');");
        /* As a link refused a cached database at connect, with the server facts due: neither the
         * tracking request nor the INFO may take a reply that belongs to the batch. */
        link.rdb = nullptr;
        link.lease = 0;
        link.tracking = 0;
        link.ep->updated = 0;
        EXPECT_EQ(run("$out = json_encode($c->get('batch:u')->exec());"), "[true,\"x\"]");
        EXPECT_EQ(link.rdb, nullptr);
        link.rdb = db;
        link.lease = lease;
        link.tracking = 1;
    }
}

} // namespace
