# Makes the release package in a folder of its own and checks that it holds
# exactly the plug-in, the tool and the read-me, the binaries as built.
#
# cmake -DBUILD=... -DOUTPUT=... -P CheckPackage.cmake
cmake_minimum_required(VERSION 3.25)
file(REMOVE_RECURSE ${OUTPUT})
execute_process(COMMAND ${CMAKE_CPACK_COMMAND} --config ${BUILD}/CPackConfig.cmake -B ${OUTPUT}
                RESULT_VARIABLE status OUTPUT_VARIABLE log ERROR_VARIABLE log)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "cpack failed:\n${log}")
endif()
file(GLOB zips ${OUTPUT}/*.zip)
list(LENGTH zips count)
if(NOT count EQUAL 1)
  message(FATAL_ERROR "expected one zip in ${OUTPUT}, found: ${zips}")
endif()
file(MAKE_DIRECTORY ${OUTPUT}/unpacked)
execute_process(COMMAND ${CMAKE_COMMAND} -E tar xf ${zips} WORKING_DIRECTORY ${OUTPUT}/unpacked
                RESULT_VARIABLE status)
file(GLOB_RECURSE files RELATIVE ${OUTPUT}/unpacked ${OUTPUT}/unpacked/*)
list(SORT files)
if(NOT status EQUAL 0 OR NOT files STREQUAL "Kelvorat.dll;ReadMe.txt;kelvorat.exe")
  message(FATAL_ERROR "${zips} holds: ${files}")
endif()
foreach(name Kelvorat.dll kelvorat.exe)
  file(SHA256 ${OUTPUT}/unpacked/${name} packed)
  file(SHA256 ${BUILD}/bin/${name} built)
  if(NOT packed STREQUAL built)
    message(FATAL_ERROR "${name} in the package is not the one built")
  endif()
endforeach()
message(STATUS "${zips}: ${files}")
