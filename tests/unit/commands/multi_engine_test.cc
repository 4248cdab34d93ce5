// Pipelines and transactions inside an engine that started the module, where the shared cache's
// answers and the invalidation delivery are stood in for: a GET of a "hit:" key is answered by
// the cache role, of a "wrongtype:" key refused as of another type, and every invalidation push
// applied is recorded; so the batch's use of them can be watched before the cache exists.
#include "commands/multi.h"
#include "client/object.h"
#include "client/pubsub.h"
#include "wire/reply.h"
#include "support/module_engine.h"

#include <string>

namespace {

std::string trail; /* what the stand-ins saw, in order */

} // namespace

int kelvoGetKey(zval *out, kelvoQuerySet *rqs, robj *)
{
    std::string key(ZSTR_VAL(rqs->keys[0]), ZSTR_LEN(rqs->keys[0]));
    trail += "lookup " + key + "; ";
    if (key.rfind("hit:", 0) == 0) {
        ZVAL_STRINGL(out, key.c_str() + 4, key.size() - 4);
        return KELVO_RES_SUCCESS;
    }
    return key.rfind("wrongtype:", 0) == 0 ? KELVO_RES_WRONGTYPE : KELVO_RES_MISS;
}

void kelvoExecuteInvalidation(kelvoEndpoint *, rdb *, kelvoReply *reply)
{
    trail += "invalidation applied; ";
    kelvoReplyFree(reply);
}

namespace {

std::string port() { return harnessSetting("KELVO_TEST_PORT"); }

std::string run(const std::string &code) { return runPhp(code, "batch test"); }

robj *client(const char *name)
{
    zval *object = zend_hash_str_find_deref(&EG(symbol_table), name, strlen(name));
    return kelvoGetObjectZVal(object);
}

/* Any address will do: nothing here reads the endpoint, only that the link has one. */
char endpoint;

/* $c on the harness's server with the cache stand-in attached, $a beside it. */
void start()
{
    ASSERT_TRUE(kelvoModuleLoaded);
    ASSERT_FALSE(port().empty()) << "KELVO_TEST_PORT is not set: run the tests through scripts/test";
    EngineEnvironment::nextRequest();
    ASSERT_EQ(run("$c = new Kelvo\\Kelvo('127.0.0.1', " + port() + "); $a = new Kelvo\\Kelvo('127.0.0.1', " + port() +
                  "); $a->set('batch:k', 'from the server'); $out = json_encode($c->ping());"),
              "true");
    client("c")->link.ep = reinterpret_cast<kelvoEndpoint *>(&endpoint);
    trail.clear();
}

void finish() { client("c")->link.ep = nullptr; }

TEST(BatchCache, CacheAnswersTakeTheirSlotsInOrderAndSendNothing)
{
    start();
    EXPECT_EQ(
        run("$c->setOption(Kelvo\\Kelvo::OPT_THROW_ON_ERROR, false);"
            ""
            "$r = $c->pipeline()->get('hit:one')->get('batch:k')->get('wrongtype:x')->get('hit:two')->exec();"
            "$out = json_encode([$r, $c->getLastError()]);"),
        "[[\"one\",\"from the server\",false,\"two\"],\"WRONGTYPE operation against a key holding the wrong kind of "
        "value\"]");
    EXPECT_EQ(trail, "lookup hit:one; lookup batch:k; lookup wrongtype:x; lookup hit:two; ");
    /* Answered only by the cache: nothing goes to the server. */
    EXPECT_EQ(run("$c->setOption(Kelvo\\Kelvo::OPT_THROW_ON_ERROR, true); $before = $c->getBytes();"
                  "$r = $c->pipeline()->get('hit:a')->get('wrongtype:b')->exec();"
                  "$out = json_encode([$r[0], get_class($r[1]), $r[1]->getCode(), $c->getBytes() == $before]);"),
              "[\"a\",\"Kelvo\\\\Exception\",16,true]");
    /* Inside MULTI the cache is not asked: the server answers in the transaction. */
    trail.clear();
    EXPECT_EQ(run("$out = json_encode($c->multi()->get('hit:m')->exec());"), "[false]");
    EXPECT_EQ(trail, "");
    finish();
}

TEST(BatchPushes, APushInsideTheExecArrayGoesToTheCacheAndTheResultsKeepTheirSlots)
{
    start();
    std::string fake = std::string(KELVO_SOURCE_DIR) + "/tests/phpt/08_dispatch/fake.inc";
    EXPECT_EQ(run("require_once '" + fake +
                  "';"
                  "$f = new FakeServer(['reply +OK\\r\\n', 'reply +QUEUED\\r\\n', 'reply +QUEUED\\r\\n',"
                  "  'reply *2\\r\\n>2\\r\\n$10\\r\\ninvalidate\\r\\n*1\\r\\n$1\\r\\nk\\r\\n:1\\r\\n:2\\r\\n']);"
                  "$r = kelvo_fake_client($f);"
                  "$out = json_encode($r->multi()->incr('a')->incr('b')->exec());"),
              "[1,2]");
    EXPECT_EQ(trail, "invalidation applied; ");
    finish();
}

TEST(BatchPushes, ACachedReadInASubscribeCallbackFirstAppliesWaitingInvalidations)
{
    start();
    std::string fake = std::string(KELVO_SOURCE_DIR) + "/tests/phpt/08_dispatch/fake.inc";
    ASSERT_EQ(
        run("require_once '" + fake +
            "';"
            "$f = new FakeServer(['reply +PONG\\r\\n',"
            "  'reply >3\\r\\n$9\\r\\nsubscribe\\r\\n$2\\r\\nch\\r\\n:1\\r\\n>3\\r\\n$7\\r\\nmessage\\r\\n$2\\r\\nch\\r\\n$2\\r\\ngo\\r\\n',"
            "  'sleep 20', 'push >2\\r\\n$10\\r\\ninvalidate\\r\\n*1\\r\\n$1\\r\\nk\\r\\n',"
            "  'reply $1\\r\\nv\\r\\n',"
            "  'reply >3\\r\\n$11\\r\\nunsubscribe\\r\\n$2\\r\\nch\\r\\n:0\\r\\n']);"
            "$r = kelvo_fake_client($f); $out = json_encode($r->ping());"),
        "true");
    client("r")->link.ep = reinterpret_cast<kelvoEndpoint *>(&endpoint);
    EXPECT_EQ(run("$out = json_encode($r->subscribe(['ch'], function ($client) { usleep(50000);"
                  "  $GLOBALS['got'] = $client->get('k'); $client->unsubscribe(); })) . ' ' . $got;"),
              "true v");
    client("r")->link.ep = nullptr;
    EXPECT_EQ(trail, "invalidation applied; lookup k; ");
    finish();
}

TEST(BatchLink, ALinkFoundBrokenWhileABatchIsOpenFailsTheBatch)
{
    start();
    finish();
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

} // namespace
