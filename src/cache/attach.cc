/* A process's records of its attachments to cached database sets, one per lease handle. */
#include "cache/attach.h"
#include "cache/cache.h"
#include "cache/keylease.h"
#include "runtime/kelvo.h"
#include "shm/lock.h"

#include <cstdlib>

namespace {

/* Termination signals stay blocked for the scope, when they could be blocked at all. */
class TermSignalsBlocked {
  public:
    TermSignalsBlocked() : blocked_(kelvoBlockTermSignals(&old_) == 0) {}
    ~TermSignalsBlocked()
    {
        if (blocked_)
            kelvoRestoreTermSignals(&old_);
    }
    TermSignalsBlocked(const TermSignalsBlocked &) = delete;
    TermSignalsBlocked &operator=(const TermSignalsBlocked &) = delete;

  private:
    sigset_t old_;
    bool blocked_;
};

void remember(kelvoEndpoint *ep, rdb *db, uint16_t lease)
{
    kelvoAssert(ep != NULL && db != NULL);
    auto *record = static_cast<epdb *>(malloc(sizeof(epdb)));
    if (!record)
        return;
    *record = {int32_t(kelvoLockPid()), ep, db, lease};
    zval value;
    ZVAL_PTR(&value, record);
    zend_hash_index_update(&KELVO_G(endpoint_dbs), lease, &value);
}

void forget(uint16_t lease) { zend_hash_index_del(&KELVO_G(endpoint_dbs), lease); }

} // namespace

int kelvoAttachEndpointAndDB(kelvoEndpoint *ep, rdb **db, uint16_t *lease)
{
    kelvoAssert(ep != NULL);
    TermSignalsBlocked blocked;
    if (kelvoCacheAttach(ep, lease, db) != KELVO_ATTACH_DONE)
        return -1;
    remember(ep, *db, *lease);
    return 0;
}

void kelvoReleaseAndForgetDB(kelvoEndpoint *ep, rdb *db, uint16_t lease)
{
    TermSignalsBlocked blocked;
    kelvoCacheDetach(ep, db, lease, true);
    forget(lease);
}

void kelvoReleaseProcessAttachments(void)
{
    TermSignalsBlocked blocked;
    int32_t me = int32_t(kelvoLockPid());
    zval *value;
    ZEND_HASH_FOREACH_VAL(&KELVO_G(endpoint_dbs), value)
    {
        auto *record = static_cast<epdb *>(Z_PTR_P(value));
        if (record->pid == me)
            kelvoCacheDetach(record->ep, record->db, record->lease, false);
    }
    ZEND_HASH_FOREACH_END();
    zend_hash_clean(&KELVO_G(endpoint_dbs));
}
