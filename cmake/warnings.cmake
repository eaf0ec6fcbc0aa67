# Every target of ours compiles with warnings as errors, on g++, clang and mingw alike.
add_library(vkd_warnings INTERFACE)
target_compile_options(vkd_warnings INTERFACE -Wall -Wextra -Werror -Wpedantic)
if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND CMAKE_CXX_COMPILER_VERSION VERSION_LESS 13)
  # g++ 12 reports -Wrestrict inside libstdc++'s own string concatenation at -O2 and
  # above (GCC bug 105329): a false positive in the standard headers, not in our code.
  target_compile_options(vkd_warnings INTERFACE -Wno-restrict)
endif()
if(VKD_LINK_TIME_OPTIMISATION)
  # With link-time optimisation the linker compiles once more, and warns once more: its
  # warnings are errors too.
  target_link_options(vkd_warnings INTERFACE -Werror)
  if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND CMAKE_CXX_COMPILER_VERSION VERSION_LESS 13)
    # g++ 12's link-time pass reports -Wrestrict and -Wstringop-overread inside
    # libstdc++'s own string construction: false positives in the standard headers.
    target_link_options(vkd_warnings INTERFACE -Wno-restrict -Wno-stringop-overread)
  endif()
endif()
