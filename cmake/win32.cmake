# The Windows program, its unit tests and the end-to-end tools.
enable_language(RC)

# Small code: every function and datum in its own section, unused ones dropped.
# Nothing in the installer throws (its operator new ends the process when
# memory runs out), so it carries no exception tables, unwinder or type info,
# and with one thread no guarded statics.
set(QV_COMPILE_FLAGS -Os -ffunction-sections -fdata-sections
  $<$<COMPILE_LANGUAGE:CXX>:-fno-exceptions -fno-rtti -fno-threadsafe-statics>
  -fno-asynchronous-unwind-tables)
set(QV_WARNINGS -Wall -Wextra -Werror)

function(qv_strict target)
  target_compile_options(${target} PRIVATE ${QV_COMPILE_FLAGS}
    $<$<COMPILE_LANGUAGE:CXX>:${QV_WARNINGS}>)
endfunction()

add_link_options(-static -Wl,--gc-sections)

# Everything of the installer except the process entry, so the tests can link it.
file(GLOB QV_CORE_SOURCES CONFIGURE_DEPENDS
  ${CMAKE_SOURCE_DIR}/common/*.cpp
  ${CMAKE_SOURCE_DIR}/payload/*.cpp
  ${CMAKE_SOURCE_DIR}/detect/*.cpp
  ${CMAKE_SOURCE_DIR}/configure/*.cpp
  ${CMAKE_SOURCE_DIR}/ui/*.cpp
  ${CMAKE_SOURCE_DIR}/setup/*.cpp)
list(REMOVE_ITEM QV_CORE_SOURCES ${CMAKE_SOURCE_DIR}/setup/win_main.cpp)
add_library(qvcore STATIC ${QV_CORE_SOURCES})
target_include_directories(qvcore PUBLIC ${CMAKE_SOURCE_DIR})
# The installer uses no printf family: in C++ libstdc++ always selects mingw's
# own printf, which brings 28 KB of number formatting (wsprintfA serves instead).
target_compile_definitions(qvcore PUBLIC WIN32_LEAN_AND_MEAN _WIN32_WINNT=0x0601 WINVER=0x0601)
target_link_libraries(qvcore PUBLIC ole32 shell32 advapi32 user32 gdi32 uuid)
qv_strict(qvcore)

# Dialogs, pictures, icon and manifest; the payload is added per installer.
file(GLOB QV_RESOURCE_FILES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/resources/*)
add_library(qvresources OBJECT ${CMAKE_SOURCE_DIR}/resources/qvsetup.rc)
set_source_files_properties(${CMAKE_SOURCE_DIR}/resources/qvsetup.rc PROPERTIES
  OBJECT_DEPENDS "${QV_RESOURCE_FILES}")
target_include_directories(qvresources PRIVATE ${CMAKE_SOURCE_DIR}/resources ${CMAKE_SOURCE_DIR})

include(${CMAKE_SOURCE_DIR}/cmake/installer.cmake OPTIONAL)

if(NOT QV_TESTS)
  return()
endif()

# GoogleTest, without our warning flags.
add_subdirectory(${GTEST_SOURCE_DIR}/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)

# Unit tests: one program per subsystem folder below tests/unit, with the
# shared helpers of tests/unit/support. They carry the real resources, so the
# dialogs can be created from them.
file(GLOB QV_TEST_SUPPORT_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/unit/support/*.cpp)
add_library(qvtestsupport STATIC ${QV_TEST_SUPPORT_SOURCES})
target_link_libraries(qvtestsupport PUBLIC qvcore gtest)
target_include_directories(qvtestsupport PUBLIC ${CMAKE_SOURCE_DIR}/tests/unit)

file(GLOB QV_TEST_FOLDERS LIST_DIRECTORIES true ${CMAKE_SOURCE_DIR}/tests/unit/*)
foreach(folder ${QV_TEST_FOLDERS})
  get_filename_component(name ${folder} NAME)
  if(NOT IS_DIRECTORY ${folder} OR name STREQUAL "support")
    continue()
  endif()
  file(GLOB sources CONFIGURE_DEPENDS ${folder}/*.cpp)
  if(NOT sources)
    continue()
  endif()
  add_executable(unit_${name} ${sources} $<TARGET_OBJECTS:qvresources>)
  target_link_libraries(unit_${name} PRIVATE qvtestsupport gtest_main)
  target_compile_options(unit_${name} PRIVATE ${QV_WARNINGS})
  if(name STREQUAL "ui")
    # The dialog tests press keys into the focused control. The X server gives
    # the focus to one window at a time, and the scenarios running beside them
    # take it for their own dialogs; so these tests get an X server of their own.
    add_test(NAME unit_${name} COMMAND xvfb-run -a -s "-screen 0 1024x768x24"
      ${CMAKE_CROSSCOMPILING_EMULATOR} $<TARGET_FILE:unit_${name}>)
    # The texts and pictures once more at 144 DPI (150 %), where the dialog
    # units grow with the font and the bitmaps do not.
    add_test(NAME unit_${name}_144dpi COMMAND ${CMAKE_COMMAND} -E env QV_WINE_DPI=144
      xvfb-run -a -s "-screen 0 1024x768x24" ${CMAKE_CROSSCOMPILING_EMULATOR}
      $<TARGET_FILE:unit_${name}> --gtest_filter=DialogTexts.*:Pictures.*)
    set_tests_properties(unit_${name}_144dpi PROPERTIES TIMEOUT 300)
  else()
    add_test(NAME unit_${name} COMMAND unit_${name})
  endif()
  set_tests_properties(unit_${name} PROPERTIES TIMEOUT 300)
endforeach()

# Globbed too, so that a tree configured before it existed configures itself again.
file(GLOB QV_E2E_CMAKE CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/e2e/e2e.cmake)
include(${CMAKE_SOURCE_DIR}/tests/e2e/e2e.cmake OPTIONAL)
