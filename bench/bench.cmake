# The per-class benchmark of the Linux provider (bench/query_bench.cpp), built only when asked
# for (-DMORAVEL_BENCH=ON, as `make bench` does) and Google Benchmark is installed.
option(MORAVEL_BENCH "Build the query benchmark (needs Google Benchmark)" OFF)
if(MORAVEL_BENCH AND NOT WIN32)
  find_package(benchmark QUIET)
  if(benchmark_FOUND)
    add_executable(moravel_query_bench bench/query_bench.cpp)
    target_link_libraries(moravel_query_bench PRIVATE moravel_cli benchmark::benchmark)
  else()
    message(STATUS "Google Benchmark not found (libbenchmark-dev): the query benchmark is not built")
  endif()
endif()

# The window with hostile values, built and drawn (tests/support/hostile_window.h), and the
# Details window with ten thousand items; need FLTK.
if(MORAVEL_BENCH AND MORAVEL_GUI)
  add_executable(moravel_hostile_window bench/hostile_window.cpp)
  target_link_libraries(moravel_hostile_window PRIVATE moravel_app)
  add_executable(moravel_details_window bench/details_window.cpp)
  target_link_libraries(moravel_details_window PRIVATE moravel_app)
endif()
