# kelvorat_add_test(NAME SOURCES... [LIBS ...] [LABELS ...])
# Builds one GoogleTest executable and registers every test case in it with CTest.
find_package(GTest REQUIRED)
include(GoogleTest)

function(kelvorat_add_test name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS;LABELS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest GTest::gmock GTest::gtest_main kelvorat_warnings)
  gtest_discover_tests(${name}
    DISCOVERY_MODE PRE_TEST
    PROPERTIES LABELS "${ARG_LABELS}"
    WORKING_DIRECTORY ${CMAKE_SOURCE_DIR})
endfunction()
