# SPDX-License-Identifier: MIT
# tamsik_add_program(<name> <source>... [INSTALL] [DESCRIPTION <text>])
#
# A program as it ships, whether one of the tools or a test's stand-in for them:
# - linked statically where it can be (TAMSIK_LINKED_STATICALLY): a comparer runs thousands of
#   times from scripts, and loading libstdc++ and libm costs more than the comparison itself;
# - on Windows with a version resource of its own, as Windows programs have (a user can see which
#   tamsik is installed, and tamsik can compare two of them), and the manifest that makes UTF-8
#   its code page, so that the narrow functions neither lose characters of version strings nor
#   fail to open files named in scripts the system's code page lacks.
function(tamsik_add_program name)
  cmake_parse_arguments(PARSE_ARGV 1 PROGRAM "INSTALL" "DESCRIPTION" "")
  add_executable(${name} ${PROGRAM_UNPARSED_ARGUMENTS})
  if(TAMSIK_LINKED_STATICALLY)
    target_link_options(${name} PRIVATE -static)
  endif()
  if(WIN32)
    set(TAMSIK_PROGRAM ${name})
    set(TAMSIK_PROGRAM_DESCRIPTION "${PROJECT_DESCRIPTION}")
    if(PROGRAM_DESCRIPTION)
      set(TAMSIK_PROGRAM_DESCRIPTION "${PROGRAM_DESCRIPTION}")
    endif()
    set(TAMSIK_MANIFEST ${PROJECT_SOURCE_DIR}/cmake/program.manifest)
    set(resource ${PROJECT_BINARY_DIR}/resources/${name}.rc)
    configure_file(${PROJECT_SOURCE_DIR}/cmake/program.rc.in ${resource} @ONLY)
    set_source_files_properties(${resource} PROPERTIES OBJECT_DEPENDS ${TAMSIK_MANIFEST})
    target_sources(${name} PRIVATE ${resource})
  endif()
  if(PROGRAM_INSTALL)
    install(TARGETS ${name} RUNTIME DESTINATION bin)
  endif()
endfunction()
