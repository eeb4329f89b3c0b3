# moravel-probe.exe: a console tool for the Wine tests. It runs single queries through the real
# provider, the version test, the apartment check and the timings (see probe_main.cpp).
add_executable(moravel-probe ${CMAKE_CURRENT_LIST_DIR}/probe_main.cpp ${CMAKE_SOURCE_DIR}/app/startup_rules.cpp)
target_link_libraries(moravel-probe PRIVATE moravel_cli)

# moravel-wait-probe.exe: the window program's start-up with a pause at each progress step, for
# the Wine test of the window program (see wait_probe_main.cpp).
if(MORAVEL_GUI)
  add_executable(moravel-wait-probe ${CMAKE_CURRENT_LIST_DIR}/wait_probe_main.cpp)
  target_link_libraries(moravel-wait-probe PRIVATE moravel_app)
endif()
