# SQLite for the Windows builds, which Debian ships no SQLite for: the amalgamation that
# scripts/sqlite-source.sh makes from the source of Debian's own sqlite3 package, made once
# per build folder at configure time and compiled here by the cross compiler, as the
# static library SQLite::SQLite3 (the name the Linux builds find Debian's libsqlite3 by).
enable_language(C)

set(VKD_SQLITE_SOURCE "${CMAKE_BINARY_DIR}/sqlite-amalgamation" CACHE PATH
    "Folder of SQLite's amalgamation (sqlite3.c, sqlite3.h), made there when missing")
if(NOT EXISTS "${VKD_SQLITE_SOURCE}/sqlite3.c" OR NOT EXISTS "${VKD_SQLITE_SOURCE}/sqlite3.h")
  message(STATUS "Making SQLite's amalgamation from Debian's sqlite3 source in ${VKD_SQLITE_SOURCE}")
  execute_process(COMMAND "${PROJECT_SOURCE_DIR}/scripts/sqlite-source.sh" "${VKD_SQLITE_SOURCE}"
    RESULT_VARIABLE vkd_sqlite_made)
  if(NOT vkd_sqlite_made EQUAL 0)
    message(FATAL_ERROR "SQLite's amalgamation could not be made (scripts/sqlite-source.sh, above)")
  endif()
endif()
file(STRINGS "${VKD_SQLITE_SOURCE}/VERSION" vkd_sqlite_version LIMIT_COUNT 1)
message(STATUS "SQLite for Windows: Debian's sqlite3 ${vkd_sqlite_version}")

add_library(vkd_sqlite3 STATIC "${VKD_SQLITE_SOURCE}/sqlite3.c")
target_include_directories(vkd_sqlite3 SYSTEM PUBLIC "${VKD_SQLITE_SOURCE}")
target_compile_definitions(vkd_sqlite3 PRIVATE
  SQLITE_THREADSAFE=1
  # Full synchronous commits unless a connection asks otherwise, in the write-ahead log too.
  SQLITE_DEFAULT_SYNCHRONOUS=2
  SQLITE_DEFAULT_WAL_SYNCHRONOUS=2
  SQLITE_DEFAULT_FOREIGN_KEYS=1
  # No string literals in double quotes, no extensions loaded from DLLs.
  SQLITE_DQS=0
  SQLITE_OMIT_LOAD_EXTENSION)
# SQLite's own code is not held to our warnings.
target_compile_options(vkd_sqlite3 PRIVATE -w)
add_library(SQLite::SQLite3 ALIAS vkd_sqlite3)
