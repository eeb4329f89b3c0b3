# libFuzzer targets, built when MORAVEL_FUZZ is on and the compiler is clang (scripts/fuzz
# configures such a build); and with any compiler, a replay program per target that runs the
# seeds and every saved regression input as a test.
option(MORAVEL_FUZZ "Build the libFuzzer targets (clang only)" OFF)
set(MORAVEL_FUZZ_TARGETS snapshot_reader report linux_parsers terminal_text server_replies exporters)
set(fuzz_dir ${CMAKE_CURRENT_LIST_DIR})

if(WIN32)  # the targets read the Linux provider's parsers and run on Linux only
  return()
endif()
# The exporters' target reads its XML back with expat, a parser apart from the writer.
find_package(EXPAT REQUIRED)
foreach(name ${MORAVEL_FUZZ_TARGETS})
  set(libraries moravel_cli)
  if(name STREQUAL "exporters")
    list(APPEND libraries EXPAT::EXPAT nlohmann_json::nlohmann_json)
  endif()
  if(MORAVEL_FUZZ AND CMAKE_CXX_COMPILER_ID MATCHES "Clang")
    add_executable(fuzz_${name} ${fuzz_dir}/fuzz_${name}.cpp)
    target_link_libraries(fuzz_${name} PRIVATE ${libraries})
    target_link_options(fuzz_${name} PRIVATE -fsanitize=fuzzer)
  endif()
  if(MORAVEL_TESTS)
    add_executable(replay_${name} ${fuzz_dir}/fuzz_${name}.cpp ${fuzz_dir}/replay_main.cpp)
    target_link_libraries(replay_${name} PRIVATE ${libraries})
    set(inputs ${fuzz_dir}/regressions/${name})
    if(name STREQUAL "server_replies")  # replies: its seeds
      list(APPEND inputs ${fuzz_dir}/seeds/server_replies)
    elseif(NOT name STREQUAL "linux_parsers")  # snapshots, and any bytes for terminal_text
      list(APPEND inputs ${fuzz_dir}/regressions/snapshot_reader ${CMAKE_SOURCE_DIR}/tests/data)
    endif()
    add_test(NAME fuzz_replay_${name} COMMAND replay_${name} ${inputs})
    set_tests_properties(fuzz_replay_${name} PROPERTIES LABELS unit)
  endif()
endforeach()
if(MORAVEL_FUZZ AND NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
  message(WARNING "MORAVEL_FUZZ needs clang (libFuzzer); the fuzz targets are not built")
endif()
