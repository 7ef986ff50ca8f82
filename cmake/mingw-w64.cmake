# SPDX-License-Identifier: MIT
# Shared by the MinGW-w64 toolchain files: a Windows console build whose programs each run alone.
# The including file sets TAMSIK_MINGW_TRIPLE and TAMSIK_MINGW_PROCESSOR first.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR ${TAMSIK_MINGW_PROCESSOR})

# The posix thread model: the win32 one has no std::mutex, which GoogleTest needs. The programs
# start no thread, and -static links what little of winpthreads they use.
set(CMAKE_C_COMPILER ${TAMSIK_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${TAMSIK_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${TAMSIK_MINGW_TRIPLE}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${TAMSIK_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# The C and C++ runtimes are linked in, so no MinGW DLL has to travel with a program.
set(CMAKE_EXE_LINKER_FLAGS_INIT -static)
