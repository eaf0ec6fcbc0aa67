# The -posix compilers: the win32 thread model of this mingw lacks std::mutex and std::call_once.
set(CMAKE_C_COMPILER ${VKD_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${VKD_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${VKD_MINGW_TRIPLE}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${VKD_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
# Static runtime: our DLLs and programs import only system DLLs.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "-static")
