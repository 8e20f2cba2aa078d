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
  add_executable(${target} WIN32 ${CMAKE_SOURCE_DIR}/setup/win_main.cpp ${rc}
    $<TARGET_OBJECTS:qvresources>)
  target_link_libraries(${target} PRIVATE qvcore)
  target_link_options(${target} PRIVATE -s)
  qv_strict(${target})
endfunction()

if(QVPACK AND EXISTS ${QV_PACKAGE}/Bin)
  qv_add_installer(QVSetup ${QV_PACKAGE})
endif()
