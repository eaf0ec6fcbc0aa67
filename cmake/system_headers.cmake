# Header-only libraries installed on the build machine (nlohmann-json) reach every build,
# the mingw cross build included, through a folder of our own that holds only a link to
# them. The host's /usr/include itself never goes on a cross compiler's include path.
set(VKD_SYSTEM_HEADERS "${CMAKE_BINARY_DIR}/system-headers")
find_path(VKD_NLOHMANN_DIR nlohmann/json.hpp
  PATHS /usr/include /usr/local/include
  NO_CMAKE_FIND_ROOT_PATH NO_DEFAULT_PATH)
if(NOT VKD_NLOHMANN_DIR)
  message(FATAL_ERROR "nlohmann/json.hpp not found: install Debian's nlohmann-json3-dev")
endif()
file(MAKE_DIRECTORY "${VKD_SYSTEM_HEADERS}")
if(NOT EXISTS "${VKD_SYSTEM_HEADERS}/nlohmann")
  file(CREATE_LINK "${VKD_NLOHMANN_DIR}/nlohmann" "${VKD_SYSTEM_HEADERS}/nlohmann" SYMBOLIC)
endif()
add_library(vkd_json INTERFACE)
target_include_directories(vkd_json SYSTEM INTERFACE "${VKD_SYSTEM_HEADERS}")
