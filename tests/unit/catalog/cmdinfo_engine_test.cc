// The least builder inside a running engine: until a command's builder exists, its
// placeholder sends the method's arguments as given.
#include <gtest/gtest.h>

#include "catalog/cmdinfo.h"
#include "wire/command.h"
#include "support/command_engine.h"

#include <string>

namespace {

/* Builds "PROBE" plus whatever the least builder makes of this call's arguments and
 * returns the finished request's bytes. */
ZEND_FUNCTION(kelvo_least_probe)
{
    rrc req{};
    kelvoRespCmdInitLen(&req, 0, "PROBE", 5);
    if (kelvoLeastResp(execute_data, return_value, &req, nullptr) != 0) {
        kelvoRespCmdRelease(&req);
        RETURN_FALSE;
    }
    kelvoRespCmdFinish(&req);
    RETVAL_STRINGL(kelvoRespCmdData(&req), kelvoRespCmdLen(&req));
    kelvoRespCmdRelease(&req);
}

ZEND_BEGIN_ARG_INFO_EX(probeArgs, 0, 0, 0)
ZEND_ARG_VARIADIC_INFO(0, args)
ZEND_END_ARG_INFO()

const zend_function_entry probeFunctions[] = {ZEND_FE(kelvo_least_probe, probeArgs) ZEND_FE_END};

std::string run(const char *code)
{
    zval result;
    EXPECT_EQ(zend_eval_string(code, &result, "probe"), SUCCESS) << code;
    std::string bytes =
        Z_TYPE(result) == IS_STRING ? std::string(Z_STRVAL(result), Z_STRLEN(result)) : "(not a string)";
    zval_ptr_dtor(&result);
    return bytes;
}

class CmdLeastBuilder : public ::testing::Test {
  protected:
    void SetUp() override
    {
        ASSERT_EQ(zend_register_functions(nullptr, probeFunctions, nullptr, MODULE_PERSISTENT), SUCCESS);
    }
    void TearDown() override { zend_unregister_functions(probeFunctions, -1, nullptr); }
};

} // namespace

TEST_F(CmdLeastBuilder, SendsEachArgumentAsGiven)
{
    EXPECT_EQ(run("kelvo_least_probe()"), "*1\r\n$5\r\nPROBE\r\n");
    EXPECT_EQ(run("kelvo_least_probe('k', 5, 1.5, true, null, '')"),
              "*7\r\n$5\r\nPROBE\r\n$1\r\nk\r\n$1\r\n5\r\n$3\r\n1.5\r\n$1\r\n1\r\n$0\r\n\r\n$0\r\n\r\n");
}
