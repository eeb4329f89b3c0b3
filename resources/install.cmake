# What `cmake --install` puts where, and the packages CPack makes of it: on Linux the two programs
# with what desktops, man and bash need to list, describe and complete them, as a Debian package;
# on Windows the executables with the README and the licence, as a zip.
include(GNUInstallDirs)
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(_programs moravel-report)
if(TARGET moravel)
  list(APPEND _programs moravel)
endif()

if(WIN32)
  install(TARGETS ${_programs} RUNTIME DESTINATION .)
  install(FILES ${CMAKE_SOURCE_DIR}/README.md DESTINATION .)
  install(FILES ${CMAKE_SOURCE_DIR}/LICENSE DESTINATION . RENAME LICENSE.txt)
else()
  include(${CMAKE_CURRENT_LIST_DIR}/install_linux.cmake)
endif()

set(CPACK_PACKAGE_NAME moravel)
set(CPACK_PACKAGE_VENDOR Tobrin)
set(CPACK_PACKAGE_CONTACT "Tobrin <tobrin@example.org>")
set(CPACK_PACKAGE_HOMEPAGE_URL https://moravel.example.org/)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "one-page inventory of this computer's hardware and system")
# Lines under 80 characters: the Debian description shows them as written.
set(CPACK_PACKAGE_DESCRIPTION [[
Moravel reads what the computer reports about itself and shows it in one
small window: 38 read-only fields in eight groups, from the computer's name
and memory over the BIOS, the operating system, the processor and the
motherboard to the video adapter, the drives, the sound device, the network
adapter and the printer. The fields can be copied and the window printed.

moravel-report prints the same inventory in a terminal, as text or JSON, and
records a machine in a snapshot file that both programs can show anywhere. It
also sends a fuller inventory (serial numbers, memory modules, disks, adapters,
monitors, batteries) to an OCS Inventory NG or GLPI server, once or every day
with moravel-inventory.timer.]])
set(CPACK_RESOURCE_FILE_LICENSE ${CMAKE_SOURCE_DIR}/LICENSE)
set(CPACK_STRIP_FILES ON)
if(WIN32)
  set(CPACK_GENERATOR ZIP)
  set(CPACK_PACKAGE_FILE_NAME moravel-${PROJECT_VERSION}-windows-x64)
else()
  set(CPACK_GENERATOR DEB)
  set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
  set(CPACK_DEBIAN_PACKAGE_SECTION utils)
  set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
  # --submit loads libcurl when it sends; nothing else needs it.
  set(CPACK_DEBIAN_PACKAGE_RECOMMENDS libcurl4)
  # The inventory service's settings belong to the administrator: kept over upgrades.
  file(WRITE ${CMAKE_BINARY_DIR}/install/conffiles "${CMAKE_INSTALL_FULL_SYSCONFDIR}/moravel/inventory.conf\n")
  set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${CMAKE_BINARY_DIR}/install/conffiles)
endif()
include(CPack)
