# SPDX-License-Identifier: MIT
# A cross build finds no GoogleTest for its target, so it builds the one whose source Debian's
# googletest package ships (libgtest-dev depends on it), with the target's compiler
# (TAMSIK_GTEST_SOURCE).
if(NOT EXISTS ${TAMSIK_GTEST_SOURCE}/CMakeLists.txt)
  message(FATAL_ERROR "No GoogleTest source at ${TAMSIK_GTEST_SOURCE} (Debian package: googletest)")
endif()
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
add_subdirectory(${TAMSIK_GTEST_SOURCE} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)
# Not our code: our warning flags are not its business.
set_target_properties(gtest gtest_main PROPERTIES COMPILE_OPTIONS "")
