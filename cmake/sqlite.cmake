# SQLite for the bookmark reader: Debian's libsqlite3-dev on Linux; for Windows the
# amalgamation made from Debian's source package (scripts/sqlite-amalgamation.sh, kept in
# build/sqlite-amalgamation between builds), compiled into the static exe.
if(WIN32)
  set(LARKSPUR_SQLITE_DIR "${PROJECT_SOURCE_DIR}/build/sqlite-amalgamation"
      CACHE PATH "Folder with sqlite3.c and sqlite3.h")
  if(NOT EXISTS "${LARKSPUR_SQLITE_DIR}/sqlite3.c")
    execute_process(COMMAND "${PROJECT_SOURCE_DIR}/scripts/sqlite-amalgamation.sh"
                            "${LARKSPUR_SQLITE_DIR}" RESULT_VARIABLE made)
    if(NOT made EQUAL 0)
      message(FATAL_ERROR "Cannot make the SQLite amalgamation in ${LARKSPUR_SQLITE_DIR}")
    endif()
  endif()
  enable_language(C)
  add_library(larkspur_sqlite3 STATIC "${LARKSPUR_SQLITE_DIR}/sqlite3.c")
  target_include_directories(larkspur_sqlite3 SYSTEM PUBLIC "${LARKSPUR_SQLITE_DIR}")
  # Not our code: its warnings are not ours to fix.
  target_compile_options(larkspur_sqlite3 PRIVATE -w)
  target_compile_definitions(larkspur_sqlite3 PRIVATE SQLITE_OMIT_LOAD_EXTENSION SQLITE_DQS=0)
  add_library(SQLite::SQLite3 ALIAS larkspur_sqlite3)
else()
  find_package(SQLite3 REQUIRED)
endif()

# nlohmann/json is header-only; the cross build gets just its folder, not all of /usr/include.
find_path(LARKSPUR_JSON_INCLUDE nlohmann/json.hpp PATHS /usr/include NO_DEFAULT_PATH
          NO_CMAKE_FIND_ROOT_PATH REQUIRED)
set(json_include "${CMAKE_BINARY_DIR}/json-include")
file(MAKE_DIRECTORY "${json_include}")
file(CREATE_LINK "${LARKSPUR_JSON_INCLUDE}/nlohmann" "${json_include}/nlohmann" SYMBOLIC)
add_library(larkspur_json INTERFACE)
target_include_directories(larkspur_json SYSTEM INTERFACE "${json_include}")
