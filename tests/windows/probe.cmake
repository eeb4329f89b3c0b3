# moravel-probe.exe: a console tool for the Wine tests. It runs single queries through the real
# provider, the version test, the apartment check and the timings (see probe_main.cpp).
add_executable(moravel-probe ${CMAKE_CURRENT_LIST_DIR}/probe_main.cpp ${CMAKE_SOURCE_DIR}/app/startup_rules.cpp)
target_link_libraries(moravel-probe PRIVATE moravel_report_lib)
