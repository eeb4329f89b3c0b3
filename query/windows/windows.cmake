# Libraries of the Windows provider: COM and WMI, BSTR/VARIANT, the adapter list.
target_link_libraries(moravel_core PUBLIC ole32 oleaut32 wbemuuid uuid iphlpapi ws2_32)

# nlohmann json is header-only; a cross build points at a folder that holds only its headers,
# so that no host header reaches the Windows compiler.
if(NOT nlohmann_json_FOUND AND MORAVEL_JSON_INCLUDE)
  target_include_directories(moravel_core SYSTEM PUBLIC ${MORAVEL_JSON_INCLUDE})
endif()

# The console probe the Wine tests drive (tests/windows/).
include(${CMAKE_SOURCE_DIR}/tests/windows/probe.cmake OPTIONAL)
