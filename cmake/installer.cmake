# An installer is the program with a package tree packed into resource BIN 103.
set(QVPACK "" CACHE FILEPATH "the packer, built in the host tree")
set(QV_PACKAGE ${CMAKE_SOURCE_DIR}/package CACHE PATH "package tree that QVSetup.exe carries")
set(QV_COMPANY "" CACHE STRING "maker named in the version information; none when empty")
set(QV_SOURCE_DATE_EPOCH 0 CACHE STRING "the PE header's time stamp, seconds since 1970")
if(NOT QV_SOURCE_DATE_EPOCH MATCHES "^[0-9]+$")
  message(FATAL_ERROR "SOURCE_DATE_EPOCH must be a number of seconds, not ${QV_SOURCE_DATE_EPOCH}")
endif()

# What resources/version.rc takes from the build. In its strings a double
# quote is written twice and a backslash is an escape, so both are doubled.
string(REGEX REPLACE "([\\\"])" "\\1\\1" qv_company "${QV_COMPANY}")
string(CONCAT qv_version_header
  "#define QV_VERSION ${PROJECT_VERSION_MAJOR},${PROJECT_VERSION_MINOR},${PROJECT_VERSION_PATCH},0\n"
  "#define QV_VERSION_TEXT \"${PROJECT_VERSION}\"\n")
if(NOT QV_COMPANY STREQUAL "")
  string(APPEND qv_version_header "#define QV_COMPANY \"${qv_company}\"\n"
    "#define QV_COPYRIGHT \"© ${qv_company}\"\n")
endif()
file(WRITE ${CMAKE_BINARY_DIR}/qv_version.h.in "${qv_version_header}")
configure_file(${CMAKE_BINARY_DIR}/qv_version.h.in ${CMAKE_BINARY_DIR}/qv_version.h COPYONLY)

function(qv_add_installer target package_dir)
  file(GLOB_RECURSE package_files CONFIGURE_DEPENDS ${package_dir}/*)
  set(archive ${CMAKE_BINARY_DIR}/${target}.payload)
  add_custom_command(OUTPUT ${archive}
    COMMAND ${QVPACK} pack ${package_dir} ${archive}
    DEPENDS ${QVPACK} ${package_files}
    COMMENT "Packing ${package_dir}")
  # The archive's SHA-256 travels beside it, for the check at start.
  set(checksum ${CMAKE_BINARY_DIR}/${target}.sha256)
  add_custom_command(OUTPUT ${checksum}
    COMMAND ${CMAKE_COMMAND} -DARCHIVE=${archive} -DCHECKSUM=${checksum}
      -P ${CMAKE_SOURCE_DIR}/cmake/payload-checksum.cmake
    DEPENDS ${archive} ${CMAKE_SOURCE_DIR}/cmake/payload-checksum.cmake)
  set(rc ${CMAKE_BINARY_DIR}/${target}-payload.rc)
  file(WRITE ${rc}.in "103 BIN \"${archive}\"\n107 BIN \"${checksum}\"\n")
  configure_file(${rc}.in ${rc} COPYONLY)
  set_source_files_properties(${rc} PROPERTIES OBJECT_DEPENDS "${archive};${checksum}")
  qv_add_program(${target} ${rc})
endfunction()

# The program itself: the process entry, the core and the resources, stripped.
# ld stamps the PE header with SOURCE_DATE_EPOCH, else with the time of the
# link; the launcher hands it the fixed value, so every link gives the same bytes.
function(qv_add_program target)
  add_executable(${target} WIN32 ${CMAKE_SOURCE_DIR}/setup/win_main.cpp ${ARGN}
    ${CMAKE_SOURCE_DIR}/resources/version.rc $<TARGET_OBJECTS:qvresources>)
  target_include_directories(${target} PRIVATE ${CMAKE_BINARY_DIR})
  target_link_libraries(${target} PRIVATE qvcore)
  target_link_options(${target} PRIVATE -s)
  set_target_properties(${target} PROPERTIES CXX_LINKER_LAUNCHER
    "${CMAKE_COMMAND};-E;env;SOURCE_DATE_EPOCH=${QV_SOURCE_DATE_EPOCH}")
  # Run from swap when started from removable or network media; ld cannot
  # set these header flags, so they are set after each link.
  add_custom_command(TARGET ${target} POST_BUILD
    COMMAND python3 ${CMAKE_SOURCE_DIR}/scripts/pe-run-from-swap.py $<TARGET_FILE:${target}>)
  qv_strict(${target})
endfunction()

# The program without a payload, only to measure what the installer itself costs.
qv_add_program(QVSetupStub)

# The packer comes from the host tree. The glob is checked again at every
# build, so the installer appears as soon as the packer has been built.
if(QVPACK)
  file(GLOB QVPACK_BUILT CONFIGURE_DEPENDS ${QVPACK})
endif()
if(QVPACK_BUILT AND EXISTS ${QV_PACKAGE}/Bin)
  qv_add_installer(QVSetup ${QV_PACKAGE})
endif()
