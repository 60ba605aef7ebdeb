# SPDX-License-Identifier: MIT
# Checks of the package's documentation, completion and metadata, and of the built
# .deb as a whole (lintian). Included from Install.cmake, after Docs.cmake.
include_guard(GLOBAL)
if(NOT TARGET GTest::gtest_main)
  return()
endif()

file(GLOB _zorvek_packaging_test_sources CONFIGURE_DEPENDS "${CMAKE_CURRENT_LIST_DIR}/*.cpp")
add_executable(packaging_tests ${_zorvek_packaging_test_sources})
target_link_libraries(packaging_tests PRIVATE GTest::gtest GTest::gtest_main)
target_compile_definitions(packaging_tests PRIVATE
  ZORVEK_SOURCE_DIR="${ZORVEK_ROOT_DIR}"
  ZORVEK_BINARY_DIR="${CMAKE_BINARY_DIR}"
  ZORVEK_DOCS_BINARY_DIR="${ZORVEK_DOCS_BINARY_DIR}"
  ZORVEK_PROJECT_VERSION="${PROJECT_VERSION}"
  ZORVEK_PACKAGE_NAME="${ZORVEK_PACKAGE_NAME}"
  ZORVEK_CPACK_COMMAND="${CMAKE_CPACK_COMMAND}")
add_dependencies(packaging_tests zorvek-docs)
if(ZORVEK_SANITIZE OR ZORVEK_FUZZ)
  # Packages are made from normal builds; instrumented programs are no test of one.
  target_compile_definitions(packaging_tests PRIVATE ZORVEK_INSTRUMENTED_BUILD=1)
endif()
if(TARGET zorvek-cli)
  target_compile_definitions(packaging_tests PRIVATE ZORVEK_CLI_PATH="$<TARGET_FILE:zorvek-cli>")
  add_dependencies(packaging_tests zorvek-cli)
endif()
gtest_discover_tests(packaging_tests DISCOVERY_TIMEOUT 60 PROPERTIES TIMEOUT 600)

if(TARGET zorvek-cli)
  add_test(NAME BashCompletion.ZorvekCli
           COMMAND bash "${CMAKE_CURRENT_LIST_DIR}/completion.sh" "$<TARGET_FILE:zorvek-cli>"
                   "${ZORVEK_ROOT_DIR}/packaging/bash-completion/zorvek-cli")
  set_tests_properties(BashCompletion.ZorvekCli PROPERTIES SKIP_RETURN_CODE 77 TIMEOUT 120)
endif()
