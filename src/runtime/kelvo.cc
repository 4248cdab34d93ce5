/*
 * The module globals and the process statics every layer reads, the class
 * entries registered at start-up, and the random bytes and identifiers the
 * components draw from. Engine side.
 */
#include "runtime/kelvo.h"
#include "runtime/fatal.h"

extern "C" {
#include "ext/random/php_random.h"
#include "zend_generators.h"
}

#include <cstdlib>
#include <ctime>

ZEND_DECLARE_MODULE_GLOBALS(kelvo)

volatile sig_atomic_t kelvoGlobalsShutdown;
pid_t kelvoStartupPID;
void (*orig_interrupt_function)(zend_execute_data *execute_data);

zend_class_entry *kelvo_ce;
zend_class_entry *kelvo_sentinel_ce;
zend_class_entry *kelvo_table_ce;
zend_class_entry *kelvo_table_fullscan_generator_ce;
zend_class_entry *kelvo_cluster_ce;
zend_class_entry *kelvo_cluster_fullscan_generator_ce;
zend_class_entry *kelvo_keytype_ce;

void kelvoRandomBytes(void *out, size_t length)
{
    if (php_random_bytes_silent(out, length) == SUCCESS)
        return;
    auto *bytes = static_cast<unsigned char *>(out);
    for (size_t i = 0; i < length; i++)
        bytes[i] = static_cast<unsigned char>(rand());
}

uint64_t kelvoRandomSeed(void)
{
    uint64_t seed;
    kelvoRandomBytes(&seed, sizeof seed);
    return seed;
}

void kelvoFmtUuid(char *out, const unsigned char *in)
{
    static constexpr char hex[] = "0123456789abcdef";
    for (int i = 0; i < 16; i++) {
        if (i == 4 || i == 6 || i == 8 || i == 10)
            *out++ = '-';
        *out++ = hex[in[i] >> 4];
        *out++ = hex[in[i] & 0x0f];
    }
}

void pefreeZValPtr(zval *zv)
{
    kelvoAssert(Z_TYPE_P(zv) == IS_PTR);
    free(Z_PTR_P(zv));
}

/* Generator is final; its internal subclasses are registered with the flag lifted for the call. */
zend_class_entry *kelvoRegisterGeneratorSubclass(zend_class_entry *(*registerClass)(zend_class_entry *))
{
    uint32_t final = zend_ce_generator->ce_flags & ZEND_ACC_FINAL;
    zend_ce_generator->ce_flags &= ~ZEND_ACC_FINAL;
    zend_class_entry *ce = registerClass(zend_ce_generator);
    zend_ce_generator->ce_flags |= final;
    return ce;
}

uint64_t kelvoNowMicros()
{
    struct timespec ts;
    clock_gettime(CLOCK_REALTIME, &ts);
    return static_cast<uint64_t>(ts.tv_sec) * 1000000u + static_cast<uint64_t>(ts.tv_nsec) / 1000u;
}
