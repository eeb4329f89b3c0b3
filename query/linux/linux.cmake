# The Linux provider reads device names from udev's hardware database. It loads libcups only
# when a scheduler may answer (cups_printers.h says why), so only the headers are needed here.
find_package(PkgConfig REQUIRED)
pkg_check_modules(MORAVEL_UDEV REQUIRED IMPORTED_TARGET libudev)
find_path(MORAVEL_CUPS_INCLUDE_DIR cups/cups.h)
if(NOT MORAVEL_CUPS_INCLUDE_DIR)
  message(FATAL_ERROR "cups/cups.h not found: install libcups2-dev (scripts/install-deps)")
endif()
target_include_directories(moravel_core PRIVATE ${MORAVEL_CUPS_INCLUDE_DIR})
target_link_libraries(moravel_core PRIVATE PkgConfig::MORAVEL_UDEV ${CMAKE_DL_LIBS})
