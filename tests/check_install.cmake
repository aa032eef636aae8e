# Installs the build into a scratch prefix and checks that the program and
# its manual page land where Unix tools keep them.
# Usage: cmake -DBUILD_DIR=... -DPREFIX=... -DMAN_PAGE=zentoro.1[.gz] -P check_install.cmake
file(REMOVE_RECURSE "${PREFIX}")
execute_process(COMMAND "${CMAKE_COMMAND}" --install "${BUILD_DIR}" --prefix "${PREFIX}"
                RESULT_VARIABLE result OUTPUT_QUIET)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "cmake --install failed: ${result}")
endif()
foreach(installed bin/zentoro share/man/man1/${MAN_PAGE} share/doc/zentoro/copyright)
  if(NOT EXISTS "${PREFIX}/${installed}")
    message(FATAL_ERROR "cmake --install did not write ${installed}")
  endif()
endforeach()
file(REMOVE_RECURSE "${PREFIX}")
