# Every layer's target offers its own headers alone: its include root is a folder of the
# build holding a single link <layer> -> src/<layer>, so that `#include "<layer>/..."`
# compiles only where the layer is linked.
include("${CMAKE_CURRENT_LIST_DIR}/layers.cmake")

set(VKD_LAYER_ROOTS "${CMAKE_BINARY_DIR}/layers")

# vkd_layer_include_root(out layer): the include root of the layer, made on first use.
function(vkd_layer_include_root out layer)
  set(root "${VKD_LAYER_ROOTS}/${layer}")
  file(MAKE_DIRECTORY "${root}")
  if(NOT EXISTS "${root}/${layer}")
    file(CREATE_LINK "${PROJECT_SOURCE_DIR}/src/${layer}" "${root}/${layer}" SYMBOLIC)
  endif()
  set(${out} "${root}" PARENT_SCOPE)
endfunction()

# vkd_link_layers(target scope layers...): links the target to the named layers' targets
# (vkd_<layer>), which bring their include roots with them.
function(vkd_link_layers target scope)
  foreach(layer IN LISTS ARGN)
    target_link_libraries(${target} ${scope} vkd_${layer})
  endforeach()
endfunction()
