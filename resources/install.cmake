# What `cmake --install` puts where, and the packages CPack makes of it: on Linux the two programs
# with what desktops, man and bash need to list, describe and complete them, as a Debian package;
# on Windows the executables with the README and the licence, as a zip.
include(GNUInstallDirs)
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

# install() that notes its destination folder: before anything is installed, the folders that
# do not exist yet are noted, and `make uninstall` takes them away again with the files.
set(MORAVEL_INSTALL_FOLDERS)
macro(moravel_install)
  cmake_parse_arguments(_install "" "DESTINATION" "" ${ARGN})
  list(APPEND MORAVEL_INSTALL_FOLDERS ${_install_DESTINATION})
  install(${ARGN})
endmacro()
install(CODE "include(\"${CMAKE_BINARY_DIR}/install_folders.cmake\")")

set(_programs moravel-report)
if(TARGET moravel)
  list(APPEND _programs moravel)
endif()

if(WIN32)
  # A short README for Windows users (the developer README is about make and apt), and the
  # licence, with the line ends Notepad expects.
  configure_file(${CMAKE_CURRENT_LIST_DIR}/README-windows.txt.in ${CMAKE_BINARY_DIR}/install/README.txt
                 @ONLY NEWLINE_STYLE CRLF)
  configure_file(${CMAKE_SOURCE_DIR}/LICENSE ${CMAKE_BINARY_DIR}/install/LICENSE.txt @ONLY NEWLINE_STYLE CRLF)
  # The daily inventory as a scheduled task, for schtasks /Create /XML (README.txt says how).
  configure_file(${CMAKE_CURRENT_LIST_DIR}/moravel-inventory-task.xml ${CMAKE_BINARY_DIR}/install/moravel-inventory-task.xml
                 @ONLY NEWLINE_STYLE CRLF)
  moravel_install(TARGETS ${_programs} RUNTIME DESTINATION .)
  moravel_install(FILES ${CMAKE_BINARY_DIR}/install/README.txt ${CMAKE_BINARY_DIR}/install/LICENSE.txt
                  ${CMAKE_BINARY_DIR}/install/moravel-inventory-task.xml DESTINATION .)
else()
  include(${CMAKE_CURRENT_LIST_DIR}/install_linux.cmake)
endif()

list(REMOVE_DUPLICATES MORAVEL_INSTALL_FOLDERS)
configure_file(${CMAKE_CURRENT_LIST_DIR}/install_folders.cmake.in ${CMAKE_BINARY_DIR}/install_folders.cmake @ONLY)
add_custom_target(uninstall COMMAND ${CMAKE_COMMAND} -DMORAVEL_BINARY_DIR=${CMAKE_BINARY_DIR}
                  -P ${CMAKE_CURRENT_LIST_DIR}/uninstall.cmake VERBATIM)

set(CPACK_PACKAGE_NAME moravel)
set(CPACK_PACKAGE_VENDOR Tobrin)
# Debian wants a maintainer with an address; the project has none but the one its About window
# names. It has no web site, so the package names none.
set(CPACK_PACKAGE_CONTACT "Tobrin <tobrin@example.org>")
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
  # The window's layout needs a face with Arial's widths (any one of these); OCS Inventory's
  # files and requests load zlib when first made; the names of devices come from the PCI ids
  # list; --submit loads libcurl when it sends (nothing else needs it); Print hands its page to
  # the print system.
  set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-liberation | fonts-liberation2 | fonts-croscore | fonts-urw-base35, zlib1g")
  set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "pci.ids | hwdata, libcurl4")
  set(CPACK_DEBIAN_PACKAGE_SUGGESTS "cups-client")
  set(CPACK_DEBIAN_PACKAGE_SECTION utils)
  set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
  # The inventory service's settings belong to the administrator: kept over upgrades.
  file(WRITE ${CMAKE_BINARY_DIR}/install/conffiles "${MORAVEL_INVENTORY_CONF}\n")
  set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${CMAKE_BINARY_DIR}/install/conffiles)
endif()
include(CPack)
