# kelvorat_add_test(NAME SOURCES... [LIBS ...] [LABELS ...])
# Builds one GoogleTest executable and registers it with CTest: every test case
# on its own natively; the whole executable as one test when it runs under
# Wine, where starting a program costs a good part of a second.
if(CMAKE_CROSSCOMPILING)
  # Debian ships GoogleTest's sources; build them with the cross compiler.
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
  add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)
  # GoogleTest's own build names its targets GTest::gtest, GTest::gmock, ...
else()
  find_package(GTest REQUIRED)
  include(GoogleTest)
endif()

function(kelvorat_add_test name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS;LABELS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest GTest::gmock GTest::gtest_main kelvorat_warnings)
  if(CMAKE_CROSSCOMPILING)
    add_test(NAME ${name} COMMAND ${name} WORKING_DIRECTORY ${CMAKE_SOURCE_DIR})
    set_tests_properties(${name} PROPERTIES LABELS "${ARG_LABELS};wine" TIMEOUT 600)
  else()
    gtest_discover_tests(${name}
      DISCOVERY_MODE PRE_TEST
      PROPERTIES LABELS "${ARG_LABELS}"
      WORKING_DIRECTORY ${CMAKE_SOURCE_DIR})
  endif()
endfunction()
