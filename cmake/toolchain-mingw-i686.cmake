# SPDX-License-Identifier: MIT
# 32-bit Windows console programs, the shipped build.
set(TAMSIK_MINGW_TRIPLE i686-w64-mingw32)
set(TAMSIK_MINGW_PROCESSOR x86)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)
