# Native tools and tests: the packer and the archive code it shares with the
# installer, tested with AddressSanitizer and UndefinedBehaviorSanitizer.
set(QV_WARNINGS -Wall -Wextra -Werror)
set(QV_SANITIZERS -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=all)

# Optional parts are globbed too, so that a tree configured before they
# existed configures itself again when they arrive.
file(GLOB QV_OPTIONAL_PARTS CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tools/qvpack/qvpack.cmake
  ${CMAKE_SOURCE_DIR}/tests/host/host_tests.cmake)
include(${CMAKE_SOURCE_DIR}/tools/qvpack/qvpack.cmake OPTIONAL)
if(QV_TESTS)
  add_subdirectory(${GTEST_SOURCE_DIR}/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
  include(${CMAKE_SOURCE_DIR}/tests/host/host_tests.cmake OPTIONAL)
endif()
