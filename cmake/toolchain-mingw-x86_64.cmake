# SPDX-License-Identifier: MIT
# The same sources as 64-bit Windows programs: a machine that cannot run 32-bit code runs these
# under Wine, and the platform's version and shell functions behave alike in both.
set(TAMSIK_MINGW_TRIPLE x86_64-w64-mingw32)
set(TAMSIK_MINGW_PROCESSOR AMD64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)
