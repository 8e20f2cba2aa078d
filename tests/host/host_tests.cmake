# Host tests of the packer and of the archive code it shares with the
# installer, built with AddressSanitizer and UndefinedBehaviorSanitizer.
add_library(qvpack_lib_sanitized STATIC ${QVPACK_SOURCES})
target_include_directories(qvpack_lib_sanitized PUBLIC ${CMAKE_SOURCE_DIR})
target_compile_options(qvpack_lib_sanitized PUBLIC ${QV_SANITIZERS} PRIVATE ${QV_WARNINGS})
target_link_options(qvpack_lib_sanitized PUBLIC ${QV_SANITIZERS})

file(GLOB QV_HOST_TEST_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/host/*_test.cpp)
add_executable(host_tests ${QV_HOST_TEST_SOURCES} ${CMAKE_SOURCE_DIR}/tests/host/archive_fuzz.cpp
  ${CMAKE_SOURCE_DIR}/tests/host/host_files.cpp)
target_link_libraries(host_tests PRIVATE qvpack_lib_sanitized gtest_main)
target_compile_options(host_tests PRIVATE ${QV_WARNINGS})
# The command-line tests run the real packer binary.
target_compile_definitions(host_tests PRIVATE QVPACK_BINARY="$<TARGET_FILE:qvpack>")
add_dependencies(host_tests qvpack)
add_test(NAME host_tests COMMAND host_tests)
set_tests_properties(host_tests PROPERTIES TIMEOUT 300)

# The set-up script's retries, against stand-in package tools.
add_test(NAME install_deps COMMAND bash ${CMAKE_SOURCE_DIR}/tests/host/install-deps-test.sh)

add_test(NAME make_installer COMMAND bash ${CMAKE_SOURCE_DIR}/tests/host/make-installer-test.sh ${CMAKE_BINARY_DIR}/make_installer)
