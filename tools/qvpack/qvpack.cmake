# The packer. Its code (with the archive format it shares with the installer)
# is one library, built plainly for the tool and with the sanitizers for the
# host tests.
set(QVPACK_SOURCES
  ${CMAKE_SOURCE_DIR}/common/ascii_upper.cpp
  ${CMAKE_SOURCE_DIR}/payload/archive_format.cpp
  ${CMAKE_SOURCE_DIR}/tools/qvpack/windows_names.cpp
  ${CMAKE_SOURCE_DIR}/tools/qvpack/packer.cpp
  ${CMAKE_SOURCE_DIR}/tools/qvpack/inspect.cpp)

add_library(qvpack_lib STATIC ${QVPACK_SOURCES})
target_include_directories(qvpack_lib PUBLIC ${CMAKE_SOURCE_DIR})
target_compile_options(qvpack_lib PRIVATE ${QV_WARNINGS})

add_executable(qvpack ${CMAKE_SOURCE_DIR}/tools/qvpack/main.cpp)
target_link_libraries(qvpack PRIVATE qvpack_lib)
target_compile_options(qvpack PRIVATE ${QV_WARNINGS})
set_target_properties(qvpack PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tools/qvpack)
