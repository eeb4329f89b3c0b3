# nlohmann json for a mingw-w64 cross build: the host's header-only library, seen through a folder
# that holds nothing but its headers, so no other host header reaches the Windows compiler.
find_path(MORAVEL_HOST_JSON_INCLUDE nlohmann/json.hpp PATHS /usr/include /usr/local/include
          NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH)
if(NOT MORAVEL_HOST_JSON_INCLUDE)
  set(nlohmann_json_FOUND FALSE)
  set(nlohmann_json_NOT_FOUND_MESSAGE "nlohmann/json.hpp not found on the host (nlohmann-json3-dev)")
  return()
endif()
set(_moravel_json_dir ${CMAKE_BINARY_DIR}/include-json)
file(MAKE_DIRECTORY ${_moravel_json_dir})
file(CREATE_LINK ${MORAVEL_HOST_JSON_INCLUDE}/nlohmann ${_moravel_json_dir}/nlohmann SYMBOLIC)
if(NOT TARGET nlohmann_json::nlohmann_json)
  add_library(nlohmann_json::nlohmann_json INTERFACE IMPORTED)
  set_target_properties(nlohmann_json::nlohmann_json PROPERTIES
    INTERFACE_INCLUDE_DIRECTORIES ${_moravel_json_dir}
    INTERFACE_SYSTEM_INCLUDE_DIRECTORIES ${_moravel_json_dir})
endif()
