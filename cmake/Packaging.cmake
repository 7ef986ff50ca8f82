# SPDX-License-Identifier: MIT
# Packages of the installed programs and man pages: a .deb on Linux, a .zip of the Windows build.
# Made with `cpack` in the build folder (or the `package` target).
set(TAMSIK_DEFAULT_MAINTAINER "tamsik maintainers <tamsik@localhost>")
set(TAMSIK_PACKAGE_MAINTAINER "${TAMSIK_DEFAULT_MAINTAINER}" CACHE STRING
    "Maintainer of the .deb, as \"Name <address>\"; the default is no address to write to")
if(NOT TAMSIK_PACKAGE_MAINTAINER MATCHES "^[^<>]+ <[^<> ]+@[^<> ]+>$")
  message(FATAL_ERROR "TAMSIK_PACKAGE_MAINTAINER reads \"Name <address>\", not "
    "\"${TAMSIK_PACKAGE_MAINTAINER}\"")
endif()
set(CPACK_PACKAGE_NAME tamsik)
set(CPACK_PACKAGE_VENDOR "tamsik")
set(CPACK_PACKAGE_CONTACT "${TAMSIK_PACKAGE_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "${PROJECT_DESCRIPTION}")
# Kept free of quotes and semicolons, which do not survive CPack's variable passing, and within
# the 80 columns Debian allows a description line (the .deb indents each by one).
set(CPACK_PACKAGE_DESCRIPTION
    "tamsik tells a script whether two Windows executables carry the same\n\
ProductVersion string, tamsik-full the same for the Full Version string. Each\n\
prints one character, = or 0. tamsik-info shows what they read from a file, and\n\
why an answer is 0. The version resources are read directly, without Windows.")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_STRIP_FILES ON)

if(WIN32)
  set(CPACK_GENERATOR ZIP)
  set(CPACK_SYSTEM_NAME windows-${CMAKE_SYSTEM_PROCESSOR})
  # The licence and the README travel with the programs, at the top of the zip.
  install(FILES ${PROJECT_SOURCE_DIR}/LICENSE ${PROJECT_SOURCE_DIR}/README.md DESTINATION .)
else()
  set(CPACK_GENERATOR DEB)
  set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
  set(CPACK_DEBIAN_PACKAGE_SECTION utils)
  set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
  # The dependencies (libc, the C++ runtime) are read from the programs where dpkg-shlibdeps is
  # at hand; otherwise they are named here. Statically linked programs have none.
  find_program(TAMSIK_DPKG_SHLIBDEPS dpkg-shlibdeps)
  if(TAMSIK_DPKG_SHLIBDEPS)
    set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
  elseif(NOT TAMSIK_LINKED_STATICALLY)
    set(CPACK_DEBIAN_PACKAGE_DEPENDS "libc6, libstdc++6, libgcc-s1")
  endif()
  include(${CMAKE_CURRENT_LIST_DIR}/DebianFiles.cmake)
endif()

include(CPack)
