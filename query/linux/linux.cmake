# The Linux provider reads device names from udev's hardware database and printers from CUPS.
find_package(PkgConfig REQUIRED)
pkg_check_modules(MORAVEL_UDEV REQUIRED IMPORTED_TARGET libudev)
find_package(Cups REQUIRED)
target_link_libraries(moravel_core PRIVATE PkgConfig::MORAVEL_UDEV Cups::Cups)
