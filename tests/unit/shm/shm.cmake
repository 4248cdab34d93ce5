kelvo_unit_test(shmalloc_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/shmalloc_test.cc PARTS shm_free runtime_free)
kelvo_unit_test(lock_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/lock_test.cc PARTS shm_free runtime_free)
kelvo_unit_test(epoch_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/epoch_test.cc PARTS shm_free runtime_free)
