# Header-only libraries installed on the build machine (nlohmann-json, CLI11) reach every
# build, the mingw cross build included, through a folder of our own that holds only a link
# to each one's header folder. The host's /usr/include itself never goes on a cross
# compiler's include path.
set(VKD_SYSTEM_HEADERS "${CMAKE_BINARY_DIR}/system-headers")
file(MAKE_DIRECTORY "${VKD_SYSTEM_HEADERS}")

# vkd_system_header_library(TARGET FOLDER HEADER PACKAGE): TARGET offers FOLDER/HEADER,
# which Debian's PACKAGE installs.
function(vkd_system_header_library target folder header package)
  find_path(VKD_${folder}_PARENT "${folder}/${header}"
    PATHS /usr/include /usr/local/include
    NO_CMAKE_FIND_ROOT_PATH NO_DEFAULT_PATH)
  if(NOT VKD_${folder}_PARENT)
    message(FATAL_ERROR "${folder}/${header} not found: install Debian's ${package}")
  endif()
  if(NOT EXISTS "${VKD_SYSTEM_HEADERS}/${folder}")
    file(CREATE_LINK "${VKD_${folder}_PARENT}/${folder}" "${VKD_SYSTEM_HEADERS}/${folder}" SYMBOLIC)
  endif()
  add_library(${target} INTERFACE)
  target_include_directories(${target} SYSTEM INTERFACE "${VKD_SYSTEM_HEADERS}")
endfunction()

vkd_system_header_library(vkd_json nlohmann json.hpp nlohmann-json3-dev)
vkd_system_header_library(vkd_cli11 CLI CLI.hpp libcli11-dev)
