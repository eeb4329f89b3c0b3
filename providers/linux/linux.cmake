# The Linux provider reads device names from udev's hardware database. It talks to the CUPS
# scheduler itself (cups_printers.h says why), so it needs no CUPS library. It asks UDisks2 for
# disk health through sd-bus, loading libsystemd only then: the build needs its header alone.
find_package(PkgConfig REQUIRED)
pkg_check_modules(MORAVEL_UDEV REQUIRED IMPORTED_TARGET libudev)
pkg_check_modules(MORAVEL_SYSTEMD REQUIRED libsystemd)
target_include_directories(moravel_platform PRIVATE ${MORAVEL_SYSTEMD_INCLUDE_DIRS})
target_link_libraries(moravel_platform PRIVATE PkgConfig::MORAVEL_UDEV ${CMAKE_DL_LIBS} anl)

# CPUID exists only on x86. Turning it off there builds the path every other architecture takes,
# so the tests can prove that path on this machine.
if(CMAKE_SYSTEM_PROCESSOR MATCHES "^(x86_64|AMD64|amd64|i[3-6]86|x86)$")
  option(MORAVEL_CPUID "Read the processor's signature and the hypervisor's name with the x86 CPUID instruction" ON)
else()
  set(MORAVEL_CPUID OFF)
endif()
if(MORAVEL_CPUID)
  target_compile_definitions(moravel_platform PRIVATE MORAVEL_CPUID=1)
endif()
