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
  # A short README for Windows users (the developer README is about make and apt), and the
  # licence, with the line ends Notepad expects.
  configure_file(${CMAKE_CURRENT_LIST_DIR}/README-windows.txt.in ${CMAKE_BINARY_DIR}/install/README.txt
                 @ONLY NEWLINE_STYLE CRLF)
  configure_file(${CMAKE_SOURCE_DIR}/LICENSE ${CMAKE_BINARY_DIR}/install/LICENSE.txt @ONLY NEWLINE_STYLE CRLF)
  install(TARGETS ${_programs} RUNTIME DESTINATION .)
  install(FILES ${CMAKE_BINARY_DIR}/install/README.txt ${CMAKE_BINARY_DIR}/install/LICENSE.txt DESTINATION .)
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
records a machine in a snapshot file that both programs can show anywhere.]])
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
endif()
include(CPack)
