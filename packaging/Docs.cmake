# SPDX-License-Identifier: MIT
# What the package carries beside the programs and their data: manual pages, the
# Debian changelog and copyright file, bash completion and the software centre's
# metainfo. Included from Install.cmake, which defines ZORVEK_ROOT_DIR and the names.
#
#   <prefix>/share/man/man1/zorvek-cli.1.gz, zorvek-programmer.1.gz
#   <prefix>/share/doc/zorvek-siren-programmer/changelog.gz, copyright
#   <prefix>/share/bash-completion/completions/zorvek-cli
#   <prefix>/share/metainfo/com.zorvek.SirenProgrammer.metainfo.xml
#
# Compressed files are made with gzip -9n: no file name or time stamp inside, so two
# builds of the same source give the same bytes.
include_guard(GLOBAL)
include("${CMAKE_CURRENT_LIST_DIR}/Changelog.cmake")

find_program(ZORVEK_GZIP gzip REQUIRED)
set(ZORVEK_DOCS_BINARY_DIR "${CMAKE_BINARY_DIR}/packaging")

# The newest CHANGELOG.md release must be this version: the package's changelog
# names it, and its date dates the manual pages.
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS "${ZORVEK_ROOT_DIR}/CHANGELOG.md")
zorvek_changelog_newest("${ZORVEK_ROOT_DIR}/CHANGELOG.md" _zorvek_changelog_version ZORVEK_RELEASE_DATE)
if(NOT _zorvek_changelog_version STREQUAL PROJECT_VERSION)
  message(FATAL_ERROR "CHANGELOG.md's newest release is ${_zorvek_changelog_version}, but the project's "
                      "version is ${PROJECT_VERSION}: add a section \"## ${PROJECT_VERSION} - YYYY-MM-DD\".")
endif()

set(_zorvek_doc_outputs)

# Manual pages, for whichever programs this build has.
set(ZORVEK_MAN_PAGES)
foreach(program zorvek-cli zorvek-programmer)
  if(TARGET ${program})
    set(page "${ZORVEK_DOCS_BINARY_DIR}/man/${program}.1")
    configure_file("${ZORVEK_ROOT_DIR}/packaging/man/${program}.1" "${page}" @ONLY)
    add_custom_command(OUTPUT "${page}.gz"
      COMMAND "${ZORVEK_GZIP}" -9nkf "${page}"
      DEPENDS "${page}"
      COMMENT "Compressing the manual page ${program}.1"
      VERBATIM)
    list(APPEND ZORVEK_MAN_PAGES "${page}")
    list(APPEND _zorvek_doc_outputs "${page}.gz")
    install(FILES "${page}.gz" DESTINATION "${CMAKE_INSTALL_MANDIR}/man1" COMPONENT data)
  endif()
endforeach()

# Debian changelog. Native package (no Debian revision), so it is changelog.gz.
set(_zorvek_changelog "${ZORVEK_DOCS_BINARY_DIR}/doc/changelog")
add_custom_command(OUTPUT "${_zorvek_changelog}.gz"
  COMMAND "${CMAKE_COMMAND}" "-DCHANGELOG=${ZORVEK_ROOT_DIR}/CHANGELOG.md" "-DOUTPUT=${_zorvek_changelog}"
          "-DPACKAGE=${ZORVEK_PACKAGE_NAME}" "-DMAINTAINER=${ZORVEK_DEB_MAINTAINER}"
          -P "${ZORVEK_ROOT_DIR}/packaging/Changelog.cmake"
  COMMAND "${ZORVEK_GZIP}" -9nkf "${_zorvek_changelog}"
  DEPENDS "${ZORVEK_ROOT_DIR}/CHANGELOG.md" "${ZORVEK_ROOT_DIR}/packaging/Changelog.cmake"
  COMMENT "Making the Debian changelog from CHANGELOG.md"
  VERBATIM)
list(APPEND _zorvek_doc_outputs "${_zorvek_changelog}.gz")

add_custom_target(zorvek-docs ALL DEPENDS ${_zorvek_doc_outputs})

# The licence, in Debian's machine-readable form; LICENSE at the top says the same.
set(_zorvek_doc_dir "${CMAKE_INSTALL_DATADIR}/doc/${ZORVEK_PACKAGE_NAME}")
install(FILES "${_zorvek_changelog}.gz" "${ZORVEK_ROOT_DIR}/packaging/copyright"
        DESTINATION "${_zorvek_doc_dir}" COMPONENT data)

# bash completion, where bash-completion loads it on demand (relative to the prefix,
# so a user install under ~/.local lands in ~/.local/share/bash-completion/...).
set(_zorvek_completion_dir "${CMAKE_INSTALL_DATADIR}/bash-completion/completions")
pkg_get_variable(_zorvek_bc_dir bash-completion completionsdir)
pkg_get_variable(_zorvek_bc_prefix bash-completion prefix)
if(_zorvek_bc_dir AND _zorvek_bc_prefix)
  file(RELATIVE_PATH _zorvek_bc_relative "${_zorvek_bc_prefix}" "${_zorvek_bc_dir}")
  if(NOT _zorvek_bc_relative MATCHES "^\\.\\.")
    set(_zorvek_completion_dir "${_zorvek_bc_relative}")
  endif()
endif()
set(ZORVEK_BASH_COMPLETION_DIR "${_zorvek_completion_dir}" CACHE STRING
    "Folder for the bash completion of zorvek-cli, relative to the install prefix or absolute")
if(TARGET zorvek-cli)
  install(FILES "${ZORVEK_ROOT_DIR}/packaging/bash-completion/zorvek-cli"
          DESTINATION "${ZORVEK_BASH_COMPLETION_DIR}" COMPONENT data)
endif()

if(TARGET zorvek-programmer)
  install(FILES "${ZORVEK_ROOT_DIR}/packaging/${ZORVEK_APP_ID}.metainfo.xml"
          DESTINATION "${CMAKE_INSTALL_DATADIR}/metainfo" COMPONENT data)
endif()
