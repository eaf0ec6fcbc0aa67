# Every target of ours compiles with warnings as errors, on g++, clang and mingw alike.
add_library(vkd_warnings INTERFACE)
target_compile_options(vkd_warnings INTERFACE -Wall -Wextra -Werror -Wpedantic)
