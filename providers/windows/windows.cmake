# Libraries of the Windows provider: COM and WMI, BSTR/VARIANT, the adapter list, the registry.
target_link_libraries(moravel_platform PUBLIC ole32 oleaut32 wbemuuid uuid iphlpapi ws2_32 advapi32)
