dnl kelvo: shared-memory caching client for RESP servers
PHP_ARG_ENABLE([kelvo], [whether to enable kelvo],
  [AS_HELP_STRING([--enable-kelvo], [Enable kelvo support])], [yes])

if test "$PHP_KELVO" != "no"; then
  PHP_REQUIRE_CXX()
  PHP_CXX_COMPILE_STDCXX(17, mandatory, PHP_KELVO_STDCXX)

  AC_CHECK_HEADER([ck_epoch.h], [], [AC_MSG_ERROR([Concurrency Kit headers not found (libck-dev)])])
  AC_CHECK_HEADER([xxhash.h], [], [AC_MSG_ERROR([xxHash headers not found (libxxhash-dev)])])
  AC_CHECK_HEADER([liblzf/lzf.h], [], [AC_MSG_ERROR([LZF headers not found (liblzf-dev)])])
  AC_CHECK_HEADER([openssl/ssl.h], [], [AC_MSG_ERROR([OpenSSL headers not found (libssl-dev)])])

  PHP_ADD_INCLUDE(/usr/include/liblzf)
  PHP_ADD_LIBRARY(ck, 1, KELVO_SHARED_LIBADD)
  PHP_ADD_LIBRARY(xxhash, 1, KELVO_SHARED_LIBADD)
  PHP_ADD_LIBRARY(lzf, 1, KELVO_SHARED_LIBADD)
  PHP_ADD_LIBRARY(ssl, 1, KELVO_SHARED_LIBADD)
  PHP_ADD_LIBRARY(crypto, 1, KELVO_SHARED_LIBADD)
  PHP_ADD_LIBRARY(dl, 1, KELVO_SHARED_LIBADD)
  PHP_ADD_LIBRARY(stdc++, 1, KELVO_SHARED_LIBADD)
  PHP_SUBST(KELVO_SHARED_LIBADD)

  dnl Every source under src/ belongs to the module; a component joins by dropping its
  dnl file into its subsystem's folder.
  kelvo_sources=`cd "$ext_srcdir" && find src -name '*.cc' -o -name '*.c' | LC_ALL=C sort | tr '\n' ' '`
  kelvo_dirs=`cd "$ext_srcdir" && find src -type d | LC_ALL=C sort`
  dnl The crash report names the source revision the module was configured from.
  kelvo_revision=`cd "$ext_srcdir" && git rev-parse HEAD 2>/dev/null`
  if test "${#kelvo_revision}" != 40; then
    kelvo_revision=0000000000000000000000000000000000000000
  fi
  kelvo_flags="-Wall -Wextra -Wno-unused-parameter -fvisibility=hidden -DZEND_ENABLE_STATIC_TSRMLS_CACHE=1 -DKELVO_GIT_REVISION=\\\"$kelvo_revision\\\""
  dnl Debug-only checks (kelvoDebugAssert: the lock a caller must hold) are built against a
  dnl debug PHP only.
  if test "$PHP_DEBUG" != "1"; then
    kelvo_flags="$kelvo_flags -DNDEBUG"
  fi
  CXXFLAGS="$CXXFLAGS $PHP_KELVO_STDCXX"
  PHP_NEW_EXTENSION(kelvo, $kelvo_sources, $ext_shared,, $kelvo_flags, cxx)
  dnl The engine looks up get_module alone; hidden visibility does not reach the standard
  dnl library's template instantiations (its headers declare them visible), a version script does.
  KELVO_SHARED_LIBADD="$KELVO_SHARED_LIBADD -Wl,--version-script=$ext_srcdir/src/module/kelvo.map"
  dnl Includes name their subsystem's folder ("shm/lock.h"); the generated arginfo headers
  dnl are reached from the top ("stubs/client_arginfo.h").
  PHP_ADD_INCLUDE([$ext_srcdir/src])
  PHP_ADD_INCLUDE([$ext_srcdir])
  for kelvo_dir in $kelvo_dirs; do
    PHP_ADD_BUILD_DIR([$ext_builddir/$kelvo_dir])
  done
fi
