# Fails with a word on what to build when a file the installers take is missing:
#   cmake -DFILES=a;b;c -P require_files.cmake
foreach(file IN LISTS FILES)
  if(NOT EXISTS "${file}")
    message(FATAL_ERROR "${file} is missing: the installers take the x64 files from the mingw-x64 "
                        "preset's build, so build that preset first (or configure with -DVKD_BUILD_MSI=OFF)")
  endif()
endforeach()
