# End-to-end tests: the real installer, driven from outside under Wine.
# qvdrive.exe drives its dialogs and reads what it left behind; standin.exe
# plays the outside programs; planted.dll is planted beside the installer;
# every tests/e2e/scenarios/*.sh is one test.
set(QV_E2E_DIR ${CMAKE_SOURCE_DIR}/tests/e2e)

add_executable(qvdrive ${QV_E2E_DIR}/qvdrive.cpp)
target_compile_definitions(qvdrive PRIVATE UNICODE _UNICODE _WIN32_WINNT=0x0601)
target_compile_options(qvdrive PRIVATE ${QV_WARNINGS} -Os)
target_link_options(qvdrive PRIVATE -municode -s)
target_link_libraries(qvdrive PRIVATE ole32 shell32 uuid user32 advapi32)

# Entry points without the C runtime; 32-bit names carry an underscore and the
# size of their stdcall arguments.
if(CMAKE_SIZEOF_VOID_P EQUAL 8)
  set(QV_STANDIN_ENTRY StandinStart)
  set(QV_PLANTED_ENTRY PlantedMain)
else()
  set(QV_STANDIN_ENTRY _StandinStart@0)
  set(QV_PLANTED_ENTRY _PlantedMain@12)
endif()

add_executable(standin WIN32 ${QV_E2E_DIR}/standin.cpp)
target_compile_options(standin PRIVATE ${QV_WARNINGS} -Os -fno-exceptions -fno-rtti)
target_link_options(standin PRIVATE -nostartfiles -nodefaultlibs -s -Wl,-e,${QV_STANDIN_ENTRY})
target_link_libraries(standin PRIVATE kernel32 user32)

add_library(planted SHARED ${QV_E2E_DIR}/planted.cpp)
target_compile_options(planted PRIVATE ${QV_WARNINGS} -Os -fno-exceptions -fno-rtti)
target_link_options(planted PRIVATE -nostartfiles -nodefaultlibs -s -Wl,-e,${QV_PLANTED_ENTRY})
target_link_libraries(planted PRIVATE kernel32 user32)
set_target_properties(planted PROPERTIES PREFIX "")

if(NOT TARGET QVSetup)
  return()
endif()

# The installer's package with one large document added, for the scenarios
# where the drive fills up in the middle of a file.
set(QV_E2E_LARGE_PACKAGE ${CMAKE_BINARY_DIR}/e2e-large-package)
file(COPY ${QV_PACKAGE}/ DESTINATION ${QV_E2E_LARGE_PACKAGE})
if(NOT EXISTS ${QV_E2E_LARGE_PACKAGE}/Doc/handbuch.txt)
  string(REPEAT "Handbuch der Simulationsbeispiele, eine Zeile mit 64 Zeichen. \r\n" 16384 text)
  file(WRITE ${QV_E2E_LARGE_PACKAGE}/Doc/handbuch.txt "${text}")
endif()
qv_add_installer(QVSetupLarge ${QV_E2E_LARGE_PACKAGE})

# A package of the shipped size (1,764 files, 22 MB), made by the benchmark's
# generator, a host program: its unpacking lasts long enough to time the
# welcome dialog's answers meanwhile. Packed once it exists, like any tree.
set(QV_E2E_SHIPPED_PACKAGE ${CMAKE_BINARY_DIR}/e2e-shipped-package)
set(QV_PACKAGE_GENERATOR ${CMAKE_SOURCE_DIR}/tests/bench/make_package.cpp)
find_program(QV_HOST_CXX NAMES g++ c++ REQUIRED)
add_custom_command(OUTPUT ${QV_E2E_SHIPPED_PACKAGE}/Bin/qv.ini
  COMMAND ${QV_HOST_CXX} -std=c++17 -O2 ${QV_PACKAGE_GENERATOR} -o make_package
  COMMAND ${CMAKE_COMMAND} -E rm -rf ${QV_E2E_SHIPPED_PACKAGE}
  COMMAND ./make_package ${QV_E2E_SHIPPED_PACKAGE}
  DEPENDS ${QV_PACKAGE_GENERATOR}
  WORKING_DIRECTORY ${CMAKE_BINARY_DIR}
  COMMENT "Generating a package of the shipped size")
qv_add_installer(QVSetupShipped ${QV_E2E_SHIPPED_PACKAGE})
add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/QVSetupShipped.payload APPEND
  DEPENDS ${QV_E2E_SHIPPED_PACKAGE}/Bin/qv.ini)

file(GLOB QV_E2E_SCENARIOS CONFIGURE_DEPENDS ${QV_E2E_DIR}/scenarios/*.sh)
foreach(scenario ${QV_E2E_SCENARIOS})
  get_filename_component(name ${scenario} NAME_WE)
  string(REPLACE "-" "_" name ${name})
  add_test(NAME e2e_${name} COMMAND bash ${scenario})
  set_tests_properties(e2e_${name} PROPERTIES TIMEOUT 240 ENVIRONMENT
    "QV_ROOT=${CMAKE_SOURCE_DIR};QV_SETUP_EXE=$<TARGET_FILE:QVSetup>;QV_SETUP_LARGE_EXE=$<TARGET_FILE:QVSetupLarge>;QV_SETUP_SHIPPED_EXE=$<TARGET_FILE:QVSetupShipped>;QV_SHIPPED_PACKAGE=${QV_E2E_SHIPPED_PACKAGE};QV_DRIVE_EXE=$<TARGET_FILE:qvdrive>;QV_STANDIN_EXE=$<TARGET_FILE:standin>;QV_PLANTED_DLL=$<TARGET_FILE:planted>;QV_QVPACK=${QVPACK};QV_E2E_WORK=${CMAKE_BINARY_DIR}/e2e/${name}")
endforeach()

# make installer in a copy of the sources; it builds the installer again, so
# it runs alone rather than beside the timed scenarios. The release is the
# 32-bit program, also when the tests run on a 64-bit build.
set(QV_RELEASE_EXE $<TARGET_FILE:QVSetup>)
if(CMAKE_SIZEOF_VOID_P EQUAL 8)
  set(QV_RELEASE_EXE ${CMAKE_SOURCE_DIR}/build/win32/QVSetup.exe)
endif()
add_test(NAME release_build COMMAND bash ${QV_E2E_DIR}/release-build.sh)
set_tests_properties(release_build PROPERTIES RUN_SERIAL TRUE TIMEOUT 1200 ENVIRONMENT
  "QV_ROOT=${CMAKE_SOURCE_DIR};QV_SETUP_EXE=${QV_RELEASE_EXE};QV_QVPACK=${QVPACK};QV_E2E_WORK=${CMAKE_BINARY_DIR}/e2e/release_build")
