// The full scan's cursor inside the engine: what is refused before any node is asked.
#include "link/link_test_util.h"

#include "cluster/cluster.h"
#include "cluster/fullscan.h"
#include "runtime/kelvo.h"

#include <string>
#include <vector>

using namespace linktest;

namespace {

::testing::Environment *const engine = ::testing::AddGlobalTestEnvironment(new EngineEnvironment);

/* A cluster object with `count` primaries on ports nothing listens on: never connected here. */
struct ScriptlessCluster {
    zval object;
    kelvoClusterObject *cobj;

    explicit ScriptlessCluster(int count)
    {
        object_init_ex(&object, kelvo_cluster_ce);
        cobj = kelvoClusterGetObjectZVal(&object);
        zend_string *host = zend_string_init("127.0.0.1", 9, 0);
        for (int i = 0; i < count; i++)
            kelvoClusterAppendNode(cobj, kelvoClusterCreateNode(host, 1 + i, nullptr, KELVO_NODE_PRIMARY, cobj));
        zend_string_release(host);
    }
    ~ScriptlessCluster() { zval_ptr_dtor(&object); }
};

struct Case {
    const char *cursor;
    std::vector<zend_long> primaries; /* the nodes the scan set out to visit */
    bool multi;
    const char *message;
};

TEST(FullscanCursor, RefusesWhatNoStepCouldHaveLeft)
{
    const Case cases[] = {
        {"x", {0, 1, 2}, false, "Invalid iterator"},
        {"1", {0, 1, 2}, false, "Invalid iterator"},
        {"1.", {0, 1, 2}, false, "Invalid iterator"},
        {".5", {0, 1, 2}, false, "Invalid iterator"},
        {"1.2.3", {0, 1, 2}, false, "Invalid iterator"},
        {"-1.0", {0, 1, 2}, false, "Invalid iterator"},
        {"1.x", {0, 1, 2}, false, "Invalid iterator"},
        {"1 .0", {0, 1, 2}, false, "Invalid iterator"},
        {"99999999999999999999.0", {0, 1, 2}, false, "Invalid iterator"},
        {"9.0", {0, 1, 2}, false, "Invalid node index in iterator"},
        {"3.0", {0, 1, 2}, false, "Invalid node index in iterator"},
        {"1.0", {0, 2}, false, "Invalid node index in iterator"}, /* no primary when the scan began */
        {"1.0", {0, 1, 2}, true, "SCAN cannot be called in pipeline/multi mode"},
        {"", {}, true, "SCAN cannot be called in pipeline/multi mode"},
    };
    FakeFrame frame;
    ScriptlessCluster cluster(3);
    for (const Case &c : cases) {
        zval batch, cursor, options;
        ZVAL_UNDEF(&batch);
        ZVAL_STRING(&cursor, c.cursor);
        array_init(&options);
        kelvoFullscanWatch watch{};
        watch.count = static_cast<uint32_t>(c.primaries.size());
        watch.primaries = static_cast<zend_long *>(safe_emalloc(watch.count + 1, sizeof(zend_long), 0));
        for (uint32_t i = 0; i < watch.count; i++)
            watch.primaries[i] = c.primaries[i];
        cluster.cobj->tmpl.mode = c.multi ? 1 : 0;
        EXPECT_EQ(kelvoClusterFullScan(&batch, &cursor, &options, cluster.cobj, &watch), -1) << c.cursor;
        zend_long code = 0;
        std::string message = takeException(&code);
        EXPECT_EQ(message.rfind(c.message, 0), 0u) << c.cursor << ": " << message;
        EXPECT_EQ(code, KELVO_ERR_OTHER) << c.cursor;
        EXPECT_EQ(Z_TYPE(cursor), IS_STRING) << c.cursor; /* left as it was */
        kelvoFullscanWatchRelease(&watch);
        zval_ptr_dtor(&batch);
        zval_ptr_dtor(&cursor);
        zval_ptr_dtor(&options);
    }
    cluster.cobj->tmpl.mode = 0;
}

} // namespace
