# SPDX-License-Identifier: MIT
# What Debian asks of a package beside the programs: the licence as a machine-readable copyright
# file, the changelog in Debian's form, and the reason the programs are linked statically, for
# lintian. All three are made from the files that say it once: LICENSE, CHANGELOG.md and
# docs/benchmarks.md.
include(GNUInstallDirs)
include(${CMAKE_CURRENT_LIST_DIR}/DebianChangelog.cmake)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS
  ${PROJECT_SOURCE_DIR}/LICENSE ${PROJECT_SOURCE_DIR}/CHANGELOG.md
  ${PROJECT_SOURCE_DIR}/docs/benchmarks.md)
set(debian ${CMAKE_BINARY_DIR}/debian)

# The copyright file (DEP-5): LICENSE's copyright line and the licence text under it. Debian
# calls the MIT licence "Expat".
file(READ ${PROJECT_SOURCE_DIR}/LICENSE licence)
if(NOT licence MATCHES "Copyright \\(c\\) ([^\n]+)\n\n(.+)$")
  message(FATAL_ERROR "LICENSE: no \"Copyright (c) ...\" line followed by the licence text")
endif()
set(holder "${CMAKE_MATCH_1}")
string(STRIP "${CMAKE_MATCH_2}" terms)
string(REPLACE "\n\n" "\n.\n" terms "${terms}")
string(REPLACE "\n" "\n " terms "${terms}")
file(WRITE ${debian}/copyright
"Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/
Upstream-Name: ${PROJECT_NAME}

Files: *
Copyright: ${holder}
License: Expat
 ${terms}
")

# changelog.gz; the newest version there is the package's (the package test checks it).
tamsik_debian_changelog(${PROJECT_SOURCE_DIR}/CHANGELOG.md ${PROJECT_NAME}
  "${TAMSIK_PACKAGE_MAINTAINER}" ${debian}/changelog.debian newest)
if(NOT newest STREQUAL PROJECT_VERSION)
  message(WARNING "CHANGELOG.md's newest release is \"${newest}\", the project's version is "
    "${PROJECT_VERSION}: a release moves the \"Unreleased\" changes under its own heading")
endif()
# Compressed as the man pages are, and left as it is where no gzip is found.
find_program(TAMSIK_GZIP gzip)
if(TAMSIK_GZIP)
  set(changelog ${debian}/doc/changelog)
  add_custom_command(OUTPUT ${changelog}.gz
    COMMAND ${CMAKE_COMMAND} -E copy ${debian}/changelog.debian ${changelog}
    COMMAND ${TAMSIK_GZIP} -9 -n -f ${changelog}
    DEPENDS ${debian}/changelog.debian VERBATIM)
  add_custom_target(tamsik_debian_changelog ALL DEPENDS ${changelog}.gz)
  install(FILES ${changelog}.gz DESTINATION ${CMAKE_INSTALL_DOCDIR})
else()
  install(FILES ${debian}/changelog.debian DESTINATION ${CMAKE_INSTALL_DOCDIR} RENAME changelog)
endif()
install(FILES ${debian}/copyright DESTINATION ${CMAKE_INSTALL_DOCDIR})

# Static linking is deliberate; lintian is told why, with the figures the benchmarks measured.
if(TAMSIK_LINKED_STATICALLY)
  file(READ ${PROJECT_SOURCE_DIR}/docs/benchmarks.md benchmarks)
  set(time "([0-9.]+ ms) \\| ([0-9.]+x) \\|")
  if(benchmarks MATCHES "\n\\| floor \\(static\\) \\| ${time}")
    set(floor_static "${CMAKE_MATCH_1}")
  endif()
  if(benchmarks MATCHES "\n\\| floor \\(dynamic\\) \\| ${time}")
    set(floor_dynamic "${CMAKE_MATCH_1}")
    set(floor_ratio "${CMAKE_MATCH_2}")
  endif()
  if(benchmarks MATCHES "\n\\| tamsik \\| ${time}")
    set(tamsik_time "${CMAKE_MATCH_1}")
  endif()
  if(floor_static AND floor_dynamic AND tamsik_time)
    set(measured "# Measured by bench/run (docs/benchmarks.md): a C program that only opens
# two files and reads 64 KiB of each took ${floor_dynamic} linked dynamically against the
# C library alone, ${floor_static} linked statically (${floor_ratio}); the static tamsik
# takes ${tamsik_time} for a whole comparison. libstdc++ and libm would only add to
# the cost of loading.")
  else()
    message(WARNING "docs/benchmarks.md has no floor (static), floor (dynamic) or tamsik row: "
      "the lintian override gives no figures")
    set(measured "# docs/benchmarks.md gives the figures.")
  endif()
  set(overrides "# Linked statically on purpose: a comparer runs thousands of times from
# scripts, and loading shared libraries at start costs more than the comparison.
${measured}\n")
  foreach(program tamsik tamsik-full tamsik-info)
    string(APPEND overrides
      "${PROJECT_NAME}: statically-linked-binary [usr/bin/${program}]\n")
  endforeach()
  file(WRITE ${debian}/lintian-overrides "${overrides}")
  install(FILES ${debian}/lintian-overrides
    DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/lintian/overrides RENAME ${PROJECT_NAME})
endif()
