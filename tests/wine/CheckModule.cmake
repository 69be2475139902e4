# Checks a PE file with objdump -p: 32-bit i386, only system DLLs imported,
# and, with EXPORTS, exactly those names exported, undecorated, at ordinals
# 1, 2, ... in the order given.
#
# cmake -DOBJDUMP=... -DFILE=... [-DEXPORTS=OnCommand,QueryStatus,...] -P CheckModule.cmake
cmake_minimum_required(VERSION 3.25)
if(DEFINED EXPORTS)
  string(REPLACE "," ";" EXPORTS "${EXPORTS}")
endif()

# What a Windows system provides; anything else (libgcc_s, libstdc++,
# libwinpthread, ...) would have to be shipped next to the file.
set(system_dlls
  kernel32.dll user32.dll gdi32.dll advapi32.dll msvcrt.dll ntdll.dll shell32.dll ole32.dll oleaut32.dll
  comctl32.dll comdlg32.dll version.dll ws2_32.dll)

execute_process(COMMAND ${OBJDUMP} -p ${FILE} OUTPUT_VARIABLE dump RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "${OBJDUMP} -p ${FILE} failed: ${status}")
endif()
set(failures "")

if(NOT dump MATCHES "file format pei-i386")
  list(APPEND failures "not a PE32 file for i386")
endif()

string(REGEX MATCHALL "DLL Name: [^\n]+" import_lines "${dump}")
set(imports "")
foreach(line IN LISTS import_lines)
  string(REGEX REPLACE "DLL Name: *" "" name "${line}")
  string(STRIP "${name}" name)
  list(APPEND imports "${name}")
  string(TOLOWER "${name}" lower)
  if(NOT lower IN_LIST system_dlls AND NOT lower MATCHES "^api-ms-win-")
    list(APPEND failures "imports ${name}, not a system DLL")
  endif()
endforeach()
if(imports STREQUAL "")
  list(APPEND failures "no import found: objdump's output not understood")
endif()

if(DEFINED EXPORTS)
  list(LENGTH EXPORTS expected_count)
  if(NOT dump MATCHES "Ordinal Base[ \t]+1\n")
    list(APPEND failures "the ordinal base is not 1")
  endif()
  if(NOT dump MATCHES "Export Address Table[ \t]+0*${expected_count}\n")
    list(APPEND failures "the export address table does not hold ${expected_count} entries")
  endif()
  # "[   i] Name": i is the entry's index in the address table, its ordinal
  # minus the base (1).
  string(REGEX MATCH "\\[Ordinal/Name Pointer\\] Table\n(([ \t]+\\[[ 0-9]+\\] [^\n]*\n)*)" table "${dump}")
  string(REGEX MATCHALL "\\[[ 0-9]+\\] [^\n]*" entries "${CMAKE_MATCH_1}")
  set(exported "")
  foreach(entry IN LISTS entries)
    string(REGEX MATCH "\\[ *([0-9]+)\\] (.*)" _ "${entry}")
    math(EXPR ordinal "${CMAKE_MATCH_1} + 1")
    set(name "${CMAKE_MATCH_2}")
    list(APPEND exported "${name}@${ordinal}")
    list(FIND EXPORTS "${name}" index)
    if(index EQUAL -1)
      list(APPEND failures "exports ${name} (ordinal ${ordinal}), which is not expected")
    else()
      math(EXPR wanted "${index} + 1")
      if(NOT ordinal EQUAL wanted)
        list(APPEND failures "${name} has ordinal ${ordinal}, not ${wanted}")
      endif()
    endif()
  endforeach()
  foreach(name IN LISTS EXPORTS)
    if(NOT "${entries}" MATCHES "\\] ${name}(;|$)")
      list(APPEND failures "${name} is not exported by name")
    endif()
  endforeach()
  message(STATUS "exports (name@ordinal): ${exported}")
endif()

message(STATUS "imports: ${imports}")
if(failures)
  list(JOIN failures "\n  " text)
  message(FATAL_ERROR "${FILE}:\n  ${text}")
endif()
