// Build-only cost of the request builders inside the engine: the method's call frame, the
// request started, built, finished and released, for SET, SET with an options array, MSET of
// 10 pairs, DEL of 10 keys, HSET, HMSET of 10 fields, ZADD of 1 and of 10 pairs, GEOADD and
// ZUNIONSTORE with weights. Nothing is sent. Compare with the user CPU per command of the
// `redis` extension in a pipeline (bench/builders_vs_redis.php prints it): the target is at most
// half of it. Run with --benchmark_repetitions=20 and read the "min" rows.
#include <benchmark/benchmark.h>

#include "catalog/cmdinfo.h"
#include "client/object.h"
#include "commands/commands.h"
#include "runtime/kelvo.h"
#include "wire/command.h"

extern "C" {
#include "php_main.h"
#include "sapi/embed/php_embed.h"
#include "zend_execute.h"
}

#include <algorithm>
#include <cstring>
#include <vector>

namespace {

int startupWithKelvo(sapi_module_struct *sapi) { return php_module_startup(sapi, &kelvo_module_entry); }

/* The engine with the module, a client that never connects, and the arguments of each row. */
struct Engine {
    Engine()
    {
        php_embed_module.startup = startupWithKelvo;
        php_embed_module.php_ini_ignore = 1;
        static char name[] = "builders_bench";
        static char *argv[] = {name, nullptr};
        php_embed_init(1, argv);
        zend_eval_string("$GLOBALS['benchClient'] = new Kelvo\\Kelvo();", nullptr, "bench");
        client = zend_hash_str_find_deref(&EG(symbol_table), ZEND_STRL("benchClient"));
    }
    zval *client;
};

Engine &engine()
{
    static Engine e;
    return e;
}

void build(benchmark::State &state, const char *method, int cmd, const char *args)
{
    zval *client = engine().client;
    zval list;
    std::string code = std::string("[") + args + "]";
    zend_eval_string(code.c_str(), &list, "bench");
    zend_object *object = Z_OBJ_P(client);
    zend_function *fn =
        static_cast<zend_function *>(zend_hash_str_find_ptr_lc(&object->ce->function_table, method, strlen(method)));
    robj *ro = kelvoGetObjectZObj(object);
    const kelvoRespFn respFn = kelvoGetCommandRCmd(cmd)->std.respFn;
    const uint32_t argc = zend_hash_num_elements(Z_ARRVAL(list));
    size_t bytes = 0;
    for (auto _ : state) {
        zend_execute_data *call =
            zend_vm_stack_push_call_frame(ZEND_CALL_TOP_FUNCTION | ZEND_CALL_HAS_THIS, fn, argc, object);
        uint32_t i = 0;
        zval *arg;
        ZEND_HASH_FOREACH_VAL(Z_ARRVAL(list), arg) { ZVAL_COPY(ZEND_CALL_ARG(call, ++i), arg); }
        ZEND_HASH_FOREACH_END();
        EG(current_execute_data) = call;
        rrc req;
        kelvoRespCmdInitCmd(&req, 0, cmd);
        zval rv;
        if (respFn(call, &rv, &req, ro) != 0)
            state.SkipWithError("refused");
        kelvoRespCmdFinish(&req);
        bytes += kelvoRespCmdLen(&req);
        kelvoRespCmdRelease(&req);
        EG(current_execute_data) = nullptr;
        zend_vm_stack_free_args(call);
        zend_vm_stack_free_call_frame(call);
    }
    benchmark::DoNotOptimize(bytes);
    zval_ptr_dtor(&list);
}

const char *const tenPairs = "['k0' => 'value 0', 'k1' => 'value 1', 'k2' => 'value 2', 'k3' => 'value 3', "
                             "'k4' => 'value 4', 'k5' => 'value 5', 'k6' => 'value 6', 'k7' => 'value 7', "
                             "'k8' => 'value 8', 'k9' => 'value 9']";
const char *const hashTenPairs = "'bench:hash', ['f0' => 'value 0', 'f1' => 'value 1', 'f2' => 'value 2', "
                                 "'f3' => 'value 3', 'f4' => 'value 4', 'f5' => 'value 5', 'f6' => 'value 6', "
                                 "'f7' => 'value 7', 'f8' => 'value 8', 'f9' => 'value 9']";
const char *const tenKeys = "['k0', 'k1', 'k2', 'k3', 'k4', 'k5', 'k6', 'k7', 'k8', 'k9']";

/* On a shared machine the fastest of many runs is the figure that other load disturbs least. */
double fastest(const std::vector<double> &runs) { return *std::min_element(runs.begin(), runs.end()); }

BENCHMARK_CAPTURE(build, set, "set", REDIS_CMD_SET, "'bench:key', 'value'")->ComputeStatistics("min", fastest);
BENCHMARK_CAPTURE(build, set_options, "set", REDIS_CMD_SET, "'bench:key', 'value', ['xx', 'ex' => 100]")
    ->ComputeStatistics("min", fastest);
BENCHMARK_CAPTURE(build, mset_10, "mset", REDIS_CMD_MSET, tenPairs)->ComputeStatistics("min", fastest);
BENCHMARK_CAPTURE(build, del_10, "del", REDIS_CMD_DEL, tenKeys)->ComputeStatistics("min", fastest);
BENCHMARK_CAPTURE(build, hset, "hset", REDIS_CMD_HSET, "'bench:hash', 'field', 'value'")
    ->ComputeStatistics("min", fastest);
BENCHMARK_CAPTURE(build, hmset_10, "hmset", REDIS_CMD_HMSET, hashTenPairs)->ComputeStatistics("min", fastest);
BENCHMARK_CAPTURE(build, zadd_1, "zadd", REDIS_CMD_ZADD, "'bench:zset', 1.5, 'member'")
    ->ComputeStatistics("min", fastest);
BENCHMARK_CAPTURE(build, zadd_10, "zadd", REDIS_CMD_ZADD,
                  "'bench:zset', 0, 'm0', 1, 'm1', 2.5, 'm2', 3, 'm3', 4.5, 'm4', 5, 'm5', 6.5, 'm6', 7, 'm7', "
                  "8.5, 'm8', 9, 'm9'")
    ->ComputeStatistics("min", fastest);
BENCHMARK_CAPTURE(build, geoadd, "geoadd", REDIS_CMD_GEOADD, "'bench:geo', 13.361389, 38.115556, 'Palermo'")
    ->ComputeStatistics("min", fastest);
BENCHMARK_CAPTURE(build, zunionstore_weights, "zunionstore", REDIS_CMD_ZUNIONSTORE,
                  "'bench:dst', ['bench:z1', 'bench:z2', 'bench:z3'], [1, 2.5, 3]")
    ->ComputeStatistics("min", fastest);

} // namespace

BENCHMARK_MAIN();
