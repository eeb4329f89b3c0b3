# Libraries of the Windows provider: COM and WMI, BSTR/VARIANT, the adapter list.
target_link_libraries(moravel_core PUBLIC ole32 oleaut32 wbemuuid uuid iphlpapi ws2_32)

# The console probe the Wine tests drive (tests/windows/).
include(${CMAKE_SOURCE_DIR}/tests/windows/probe.cmake OPTIONAL)
