# The Linux provider reads device names from udev's hardware database. It talks to the CUPS
# scheduler itself (cups_printers.h says why), so it needs no CUPS library.
find_package(PkgConfig REQUIRED)
pkg_check_modules(MORAVEL_UDEV REQUIRED IMPORTED_TARGET libudev)
target_link_libraries(moravel_core PRIVATE PkgConfig::MORAVEL_UDEV ${CMAKE_DL_LIBS} anl)
