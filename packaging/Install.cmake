# SPDX-License-Identifier: MIT
# Install layout and the Debian package. Included at the end of the top-level
# CMakeLists.txt, once every target is defined, so it can ask which programs exist.
#
#   <prefix>/bin/zorvek-programmer, zorvek-cli
#   <prefix>/share/zorvek-siren-programmer/ZorvekHelp/helphtml.htm
#   <prefix>/share/applications/com.zorvek.SirenProgrammer.desktop
#   <prefix>/share/icons/hicolor/{scalable,NxN}/apps/com.zorvek.SirenProgrammer.{svg,png}
#   <udevdir>/rules.d/70-zorvek-siren-programmer.rules (ZORVEK_UDEV_RULES_INSTALL_DIR)
#   <prefix>/share/doc/zorvek-siren-programmer/README.md
#   manual pages, changelog, copyright, bash completion, metainfo: see Docs.cmake
#
# The program looks for its help page in <program folder>/ZorvekHelp first (a build
# tree, or a copy unpacked into one folder) and then in
# <program folder>/../share/zorvek-siren-programmer/ZorvekHelp (this layout).
include_guard(GLOBAL)
include(GNUInstallDirs)

cmake_path(GET CMAKE_CURRENT_LIST_DIR PARENT_PATH ZORVEK_ROOT_DIR)

set(ZORVEK_PACKAGE_NAME zorvek-siren-programmer)
set(ZORVEK_APP_ID com.zorvek.SirenProgrammer)
set(ZORVEK_DATA_INSTALL_DIR "${CMAKE_INSTALL_DATADIR}/${ZORVEK_PACKAGE_NAME}")
# ZORVEK_UDEV_RULES_INSTALL_DIR is set in the top-level CMakeLists.txt: the program
# is built knowing where the rule goes.
set(ZORVEK_DEB_MAINTAINER "Zorvek Siren Programmer maintainers <siren-programmer@zorvek.invalid>" CACHE STRING
    "Maintainer field of the Debian package")

# The help lookup is relative to the executable; warn when a custom layout breaks it.
file(RELATIVE_PATH _zorvek_help_from_bin "${CMAKE_INSTALL_FULL_BINDIR}"
     "${CMAKE_INSTALL_FULL_DATADIR}/${ZORVEK_PACKAGE_NAME}")
if(NOT _zorvek_help_from_bin STREQUAL "../share/${ZORVEK_PACKAGE_NAME}")
  message(WARNING "With CMAKE_INSTALL_BINDIR=${CMAKE_INSTALL_BINDIR} and CMAKE_INSTALL_DATADIR="
                  "${CMAKE_INSTALL_DATADIR} the installed program will not find its help page "
                  "(it looks in <bindir>/../share/${ZORVEK_PACKAGE_NAME}/ZorvekHelp).")
endif()

# Programs: whichever front ends this build has.
if(TARGET zorvek-programmer)
  install(TARGETS zorvek-programmer RUNTIME DESTINATION "${CMAKE_INSTALL_BINDIR}" COMPONENT programs)
  # Running from the build tree: put the help folder beside the executable.
  add_custom_target(zorvek-help-beside-program ALL
    COMMAND "${CMAKE_COMMAND}" -E copy_directory "${ZORVEK_ROOT_DIR}/help/ZorvekHelp"
            "$<TARGET_FILE_DIR:zorvek-programmer>/ZorvekHelp"
    COMMENT "Copying the help page beside zorvek-programmer"
    VERBATIM)
  add_dependencies(zorvek-programmer zorvek-help-beside-program)
endif()
if(TARGET zorvek-cli)
  install(TARGETS zorvek-cli RUNTIME DESTINATION "${CMAKE_INSTALL_BINDIR}" COMPONENT programs)
endif()

# Desktop data: help page, menu entry, icons, udev rule, README.
install(DIRECTORY "${ZORVEK_ROOT_DIR}/help/ZorvekHelp"
        DESTINATION "${ZORVEK_DATA_INSTALL_DIR}" COMPONENT data)
install(FILES "${ZORVEK_ROOT_DIR}/packaging/${ZORVEK_APP_ID}.desktop"
        DESTINATION "${CMAKE_INSTALL_DATADIR}/applications" COMPONENT data)
install(DIRECTORY "${ZORVEK_ROOT_DIR}/packaging/icons/"
        DESTINATION "${CMAKE_INSTALL_DATADIR}/icons/hicolor" COMPONENT data
        FILES_MATCHING PATTERN "${ZORVEK_APP_ID}.svg" PATTERN "${ZORVEK_APP_ID}.png")
install(FILES "${ZORVEK_ROOT_DIR}/packaging/70-zorvek-siren-programmer.rules"
        DESTINATION "${ZORVEK_UDEV_RULES_INSTALL_DIR}" COMPONENT data)
install(FILES "${ZORVEK_ROOT_DIR}/README.md"
        DESTINATION "${CMAKE_INSTALL_DATADIR}/doc/${ZORVEK_PACKAGE_NAME}" COMPONENT data)

include("${CMAKE_CURRENT_LIST_DIR}/Docs.cmake")

# Debian package: `cpack -G DEB` in the build folder.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME "${ZORVEK_PACKAGE_NAME}")
set(CPACK_PACKAGE_VENDOR "Zorvek")
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}")
set(CPACK_PACKAGE_CONTACT "${ZORVEK_DEB_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "programs Zorvek voice sirens through an FTDI USB-to-SPI adapter")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES TRUE)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${ZORVEK_DEB_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The summary above is the synopsis line; this is the long description under it.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Converts WAV files to the siren's 12-bit audio form, lays out the message
table, settings and controller firmware as one flash image and writes it into
the siren's SPI flash through an FT2232-family adapter, with optional
read-back verification. It also clones sirens through image files, saves and
loads job files and updates the controller firmware. It prepares messages
from WAV, FLAC, Ogg Vorbis or MP3 files or from text (speech): silence
trimmed, a high-pass for horn loudspeakers, loudness normalised (EBU R128)
under a true-peak ceiling. A simulated siren lets everything run without
hardware.
.
The package holds the desktop program zorvek-programmer, the command-line
tool zorvek-cli with its manual pages and bash completion, a user guide, and
a udev rule that gives the user at the local seat access to FTDI adapters
0403:6010, 0403:6011 and 0403:6014.")
# Library dependencies come from the binaries themselves (libsndfile1, libebur128-1,
# libespeak-ng1 among them); the voices are data files espeak-ng loads at run time.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "espeak-ng-data")
# The help page opens in the desktop's browser; the rule needs udev and a seat manager;
# Listen plays through Qt Multimedia, which needs a PulseAudio server (PipeWire's or PulseAudio's).
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "xdg-utils, udev, pipewire-pulse | pulseaudio")
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA
    "${ZORVEK_ROOT_DIR}/packaging/deb/postinst;${ZORVEK_ROOT_DIR}/packaging/deb/postrm")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION TRUE)

set(CPACK_SOURCE_GENERATOR TGZ)
set(CPACK_SOURCE_IGNORE_FILES "/\\\\.git" "/build[^/]*/" "/\\\\.cache/")
include(CPack)
