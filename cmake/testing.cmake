# GoogleTest, the Wine runner for the cross build, and quorlax_add_test().

if(CMAKE_CROSSCOMPILING)
  # Debian ships GoogleTest's source; build it with the cross compiler. It defines the GTest::
  # targets itself.
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
  add_subdirectory(/usr/src/googletest ${PROJECT_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)
else()
  find_package(GTest REQUIRED)
endif()
find_package(Threads REQUIRED)

set(QUORLAX_WINE OFF)
if(CMAKE_CROSSCOMPILING AND WIN32 AND NOT CMAKE_CROSSCOMPILING_EMULATOR)
  find_program(QUORLAX_WINE64 wine64 PATHS /usr/lib/wine REQUIRED)
  find_program(QUORLAX_WINESERVER NAMES wineserver wineserver64 PATHS /usr/lib/wine REQUIRED)
  set(QUORLAX_WINEPREFIX ${PROJECT_BINARY_DIR}/wineprefix)
  configure_file(${PROJECT_SOURCE_DIR}/cmake/wine-run.in ${PROJECT_BINARY_DIR}/wine-run
    @ONLY FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE
    WORLD_READ WORLD_EXECUTE)
  set(QUORLAX_WINE ON)
  set(QUORLAX_WINE_RUN ${PROJECT_BINARY_DIR}/wine-run)
  # Test executables made from here on run through the runner.
  set(CMAKE_CROSSCOMPILING_EMULATOR ${QUORLAX_WINE_RUN})

  # quorlax_wine_prefix(<fixture> <prefix dir> [<windows version>]): a CTest fixture that creates
  # the prefix before the tests that require <fixture> run. A fresh prefix takes several seconds,
  # which is why it is made once and not inside a test's own time.
  function(quorlax_wine_prefix fixture prefix)
    add_test(NAME ${fixture}
      COMMAND sh ${PROJECT_SOURCE_DIR}/cmake/wine-prefix.sh ${QUORLAX_WINE_RUN}
              ${QUORLAX_WINESERVER} ${prefix} ${ARGN})
    set_tests_properties(${fixture} PROPERTIES FIXTURES_SETUP ${fixture} TIMEOUT 300)
  endfunction()
  # Wine reports win10 only when told to; Debian's default prefix says win7.
  quorlax_wine_prefix(wine_prefix ${QUORLAX_WINEPREFIX} win10)
endif()

# quorlax_add_test(<name> SOURCES <files...> [LIBS <targets...>] [ARGS <args...>])
# One executable, run as one CTest test (natively, or under Wine in the cross build).
function(quorlax_add_test name)
  cmake_parse_arguments(T "" "" "SOURCES;LIBS;ARGS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} quorlax_test_support GTest::gmock_main)
  add_test(NAME ${name} COMMAND ${name} ${T_ARGS} WORKING_DIRECTORY ${CMAKE_RUNTIME_OUTPUT_DIRECTORY})
  set_tests_properties(${name} PROPERTIES TIMEOUT 600)
  if(QUORLAX_WINE)
    set_tests_properties(${name} PROPERTIES FIXTURES_REQUIRED wine_prefix)
  endif()
endfunction()
