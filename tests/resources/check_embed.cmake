# Runs embed.cmake on a small manifest and checks the bytes it generates: the escapes of the
# string table, the conversion to Windows-1252, binary data kept as it is, the uncounted NUL.
# Run as: cmake -DEMBED=<embed.cmake> -DICONV=<iconv> -DDATA=<data folder> -DWORK=<folder> -P check_embed.cmake

execute_process(
  COMMAND ${CMAKE_COMMAND} -DMANIFEST=${DATA}/escapes/manifest.txt -DOUTPUT=${WORK}/escapes.c
          -DICONV=${ICONV} -P ${EMBED}
  RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "embedding the escapes manifest failed")
endif()
file(READ ${WORK}/escapes.c generated)
string(REGEX REPLACE "[ \n]" "" generated "${generated}")

function(expect text what)
  string(FIND "${generated}" "${text}" at)
  if(at EQUAL -1)
    message(FATAL_ERROR "${what}: \"${text}\" not found in:\n${generated}")
  endif()
endfunction()

# "a\tb\\nc\nd °": TAB, a backslash followed by n, a line break, the degree sign as 0xB0.
expect("{0x61,0x09,0x62,0x5c,0x6e,0x63,0x0a,0x64,0x20,0xb0,0x00}" "string 7")
expect("{6u,7u,r0,10u}" "string 7 counted without its NUL")
expect("{0x00}" "empty string 8")
expect("{6u,8u,r1,0u}" "string 8")
expect("{0x78,0x00,0x79,0x00}" "binary data")
expect("{2u,9u,r2,3u}" "binary size")
expect("tessaryEntryCount=3u" "entry count")

# A resource listed twice stops the build.
execute_process(
  COMMAND ${CMAKE_COMMAND} -DMANIFEST=${DATA}/duplicate/manifest.txt -DOUTPUT=${WORK}/duplicate.c
          -DICONV=${ICONV} -P ${EMBED}
  RESULT_VARIABLE rc ERROR_VARIABLE err)
if(rc EQUAL 0 OR NOT err MATCHES "listed[ \n]+twice")
  message(FATAL_ERROR "a resource listed twice was accepted: ${err}")
endif()
message(STATUS "embedding checked")
