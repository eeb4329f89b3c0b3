# Windows resources (icon group 101, the version block, the manifest) in every executable of the
# build: moravel-report.exe with its own name and description, the others as Moravel.exe. The
# executables are defined after this file is included, so the resources are attached once the
# top-level folder is complete.
enable_language(RC)
set(MORAVEL_RESOURCE_SCRIPT ${CMAKE_CURRENT_LIST_DIR}/moravel.rc)
set(MORAVEL_REPORT_RESOURCE_SCRIPT ${CMAKE_CURRENT_LIST_DIR}/moravel-report.rc)
set_source_files_properties(${MORAVEL_RESOURCE_SCRIPT} ${MORAVEL_REPORT_RESOURCE_SCRIPT} PROPERTIES
  OBJECT_DEPENDS "${CMAKE_CURRENT_LIST_DIR}/program.rc;${CMAKE_CURRENT_LIST_DIR}/moravel.ico;${CMAKE_CURRENT_LIST_DIR}/moravel.manifest;${CMAKE_BINARY_DIR}/generated/moravel_version.h")
# windres looks for the icon and the manifest next to the script only when told to.
string(APPEND CMAKE_RC_FLAGS " -I \"${CMAKE_CURRENT_LIST_DIR}\"")

function(moravel_attach_resources)
  get_property(targets DIRECTORY ${CMAKE_SOURCE_DIR} PROPERTY BUILDSYSTEM_TARGETS)
  foreach(target ${targets})
    get_target_property(type ${target} TYPE)
    if(target STREQUAL "moravel-report")
      target_sources(${target} PRIVATE ${MORAVEL_REPORT_RESOURCE_SCRIPT})
    elseif(type STREQUAL "EXECUTABLE")
      target_sources(${target} PRIVATE ${MORAVEL_RESOURCE_SCRIPT})
    endif()
  endforeach()
endfunction()
cmake_language(DEFER DIRECTORY ${CMAKE_SOURCE_DIR} CALL moravel_attach_resources)
