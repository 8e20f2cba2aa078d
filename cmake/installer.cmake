# An installer is the program with a package tree packed into resource BIN 103.
set(QVPACK "" CACHE FILEPATH "the packer, built in the host tree")
set(QV_PACKAGE ${CMAKE_SOURCE_DIR}/package CACHE PATH "package tree that QVSetup.exe carries")

function(qv_add_installer target package_dir)
  file(GLOB_RECURSE package_files CONFIGURE_DEPENDS ${package_dir}/*)
  set(archive ${CMAKE_BINARY_DIR}/${target}.payload)
  add_custom_command(OUTPUT ${archive}
    COMMAND ${QVPACK} pack ${package_dir} ${archive}
    DEPENDS ${QVPACK} ${package_files}
    COMMENT "Packing ${package_dir}")
  set(rc ${CMAKE_BINARY_DIR}/${target}-payload.rc)
  file(WRITE ${rc}.in "103 BIN \"${archive}\"\n")
  configure_file(${rc}.in ${rc} COPYONLY)
  set_source_files_properties(${rc} PROPERTIES OBJECT_DEPENDS ${archive})
  qv_add_program(${target} ${rc})
endfunction()

# The program itself: the process entry, the core and the resources, stripped.
function(qv_add_program target)
  add_executable(${target} WIN32 ${CMAKE_SOURCE_DIR}/setup/win_main.cpp ${ARGN}
    $<TARGET_OBJECTS:qvresources>)
  target_link_libraries(${target} PRIVATE qvcore)
  target_link_options(${target} PRIVATE -s)
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
