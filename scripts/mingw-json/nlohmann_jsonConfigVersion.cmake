# The version of the host's nlohmann json (any 3.x will do for this build).
set(PACKAGE_VERSION 3)
if(PACKAGE_FIND_VERSION_MAJOR EQUAL 3 OR NOT PACKAGE_FIND_VERSION)
  set(PACKAGE_VERSION_COMPATIBLE TRUE)
endif()
