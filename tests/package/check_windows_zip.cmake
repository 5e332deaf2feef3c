# SPDX-License-Identifier: GPL-3.0-or-later
# The Windows zip as a user unpacks it: made by cpack from the build, it holds one folder,
# meridal-<version>-win64, with the programs, the resource module built beside them, every
# page of the user guide in "guide", the licence and the README with CR LF line ends, and
# nothing else.
#
# cmake -DCPACK=<cpack> -DBUILD_DIR=<build> -DSOURCE_DIR=<source> -DWORK_DIR=<scratch>
#       -DVERSION=<x.y.z> -DWINDOW=0|1 -P check_windows_zip.cmake
cmake_minimum_required(VERSION 3.25)
file(REMOVE_RECURSE "${WORK_DIR}")
execute_process(COMMAND "${CPACK}" --config "${BUILD_DIR}/CPackConfig.cmake" -B "${WORK_DIR}"
                RESULT_VARIABLE status OUTPUT_VARIABLE output ERROR_VARIABLE output)
set(top meridal-${VERSION}-win64)
set(zip "${WORK_DIR}/${top}.zip")
if(NOT status EQUAL 0 OR NOT EXISTS "${zip}")
  message(FATAL_ERROR "cpack made no ${top}.zip:\n${output}")
endif()
file(SIZE "${zip}" size)
message(STATUS "${top}.zip: ${size} bytes")

# Its files, folders left out.
execute_process(COMMAND "${CMAKE_COMMAND}" -E tar tf "${zip}" OUTPUT_VARIABLE listing
                COMMAND_ERROR_IS_FATAL ANY)
string(REPLACE "\n" ";" listing "${listing}")
list(FILTER listing EXCLUDE REGEX "(^$|/$)")
list(SORT listing)

set(expected ${top}/meridal-convert.exe ${top}/TessaryRes.dll ${top}/LICENSE.txt ${top}/README.txt)
if(WINDOW)
  list(APPEND expected ${top}/meridal.exe)
endif()
file(GLOB guide RELATIVE "${SOURCE_DIR}/share/guide" "${SOURCE_DIR}/share/guide/*")
foreach(page IN LISTS guide)
  list(APPEND expected ${top}/guide/${page})
endforeach()
list(SORT expected)
if(NOT listing STREQUAL expected)
  string(REPLACE ";" "\n  " listing "${listing}")
  string(REPLACE ";" "\n  " expected "${expected}")
  message(FATAL_ERROR "the zip holds\n  ${listing}\nrather than\n  ${expected}")
endif()

set(unpacked "${WORK_DIR}/unpacked")
file(MAKE_DIRECTORY "${unpacked}")
execute_process(COMMAND "${CMAKE_COMMAND}" -E tar xf "${zip}" WORKING_DIRECTORY "${unpacked}"
                COMMAND_ERROR_IS_FATAL ANY)
set(failures "")

# The texts: CR LF only (read as bytes: CMake's text reading drops every CR), the README
# naming the version it came with.
foreach(text README.txt LICENSE.txt)
  file(READ "${unpacked}/${top}/${text}" hex HEX)
  string(REGEX REPLACE "(..)" " \\1" bytes "${hex}")
  string(REPLACE " 0d 0a" "" bare "${bytes}")
  if(bare MATCHES " 0[ad]" OR NOT bytes MATCHES " 0d 0a")
    list(APPEND failures "${text} has line ends other than CR LF")
  endif()
endforeach()
file(STRINGS "${unpacked}/${top}/README.txt" title LIMIT_COUNT 1)
if(NOT title MATCHES "^Meridal ${VERSION} for 64-bit Windows\r?$")
  list(APPEND failures "README.txt begins \"${title}\"")
endif()

# The module and the guide as built; the programs are Windows programs.
foreach(pair "TessaryRes.dll;${BUILD_DIR}/bin/TessaryRes.dll" "guide/index.html;${SOURCE_DIR}/share/guide/index.html")
  list(GET pair 0 packed)
  list(GET pair 1 built)
  file(SHA256 "${unpacked}/${top}/${packed}" a)
  file(SHA256 "${built}" b)
  if(NOT a STREQUAL b)
    list(APPEND failures "${packed} differs from ${built}")
  endif()
endforeach()
foreach(program meridal-convert.exe meridal.exe)
  if(EXISTS "${unpacked}/${top}/${program}")
    file(READ "${unpacked}/${top}/${program}" magic LIMIT 2 HEX)
    if(NOT magic STREQUAL "4d5a") # "MZ"
      list(APPEND failures "${program} is no Windows program")
    endif()
  endif()
endforeach()

if(failures)
  string(REPLACE ";" "\n" failures "${failures}")
  message(FATAL_ERROR "${failures}")
endif()
