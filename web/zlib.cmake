# zlib for the WebAssembly build. Emscripten's own port downloads its source,
# which an offline build cannot; Debian's binutils-source package carries
# zlib's source in its tarball, and the few files that compress come from
# there (apt-get install binutils-source).
set(ZENTORO_ZLIB_TARBALL "" CACHE FILEPATH "A binutils source tarball holding zlib/ (binutils-source)")
if(NOT ZENTORO_ZLIB_TARBALL)
  file(GLOB ZENTORO_ZLIB_TARBALL_FOUND /usr/src/binutils/binutils-*.tar.xz)
  list(GET ZENTORO_ZLIB_TARBALL_FOUND 0 ZENTORO_ZLIB_TARBALL_FIRST)
  set(ZENTORO_ZLIB_TARBALL "${ZENTORO_ZLIB_TARBALL_FIRST}" CACHE FILEPATH "" FORCE)
endif()
if(NOT EXISTS "${ZENTORO_ZLIB_TARBALL}")
  message(FATAL_ERROR "The web build needs zlib's source: apt-get install binutils-source, "
                      "or set ZENTORO_ZLIB_TARBALL to a binutils source tarball")
endif()

set(zlib_sources adler32.c compress.c crc32.c deflate.c inffast.c inflate.c inftrees.c trees.c zutil.c)
set(zlib_headers crc32.h deflate.h inffast.h inffixed.h inflate.h inftrees.h trees.h zconf.h zlib.h zutil.h gzguts.h)
get_filename_component(zlib_top "${ZENTORO_ZLIB_TARBALL}" NAME)
string(REGEX REPLACE "\\.tar\\.xz$" "" zlib_top "${zlib_top}")
set(zlib_dir "${CMAKE_BINARY_DIR}/zlib-source")
set(zlib_members)
foreach(file IN LISTS zlib_sources zlib_headers)
  list(APPEND zlib_members "${zlib_top}/zlib/${file}")
endforeach()
if(NOT EXISTS "${zlib_dir}/${zlib_top}/zlib/zlib.h")
  file(MAKE_DIRECTORY "${zlib_dir}")
  execute_process(COMMAND tar -xJf "${ZENTORO_ZLIB_TARBALL}" -C "${zlib_dir}" ${zlib_members}
                  RESULT_VARIABLE zlib_untarred)
  if(NOT zlib_untarred EQUAL 0)
    message(FATAL_ERROR "Could not take zlib's source out of ${ZENTORO_ZLIB_TARBALL}")
  endif()
endif()
set(zlib_root "${zlib_dir}/${zlib_top}/zlib")
list(TRANSFORM zlib_sources PREPEND "${zlib_root}/")

enable_language(C)
add_library(zentoro_zlib STATIC ${zlib_sources})
target_include_directories(zentoro_zlib SYSTEM PUBLIC "${zlib_root}")
# zlib's own code, as its makefile builds it: no warnings of ours.
target_compile_options(zentoro_zlib PRIVATE -w)
add_library(ZLIB::ZLIB ALIAS zentoro_zlib)
