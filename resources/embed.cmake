# SPDX-License-Identifier: GPL-3.0-or-later
# Turns the resources listed in manifest.txt into C source: one byte array per resource
# and a table by (type, number) that module/tessary_res.c searches.
#
# Run as: cmake -DMANIFEST=<manifest.txt> -DOUTPUT=<file.c> -DICONV=<iconv> [-DGUIDE_URL=<url>]
#         -P embed.cmake
#
# In the string table, "@GUIDE@" stands for GUIDE_URL, the user guide's folder as a file://
# URL: the build tree's copy for the build tree's module, the installed one for the module
# that is installed.
#
# Every resource gets a NUL byte after its data that its size does not count, so text
# resources are C strings as well. Text marked "windows-1252" is kept as UTF-8 in the
# source tree and converted here; a character that Windows-1252 cannot hold stops the build.

cmake_minimum_required(VERSION 3.25)

foreach(var MANIFEST OUTPUT ICONV)
  if(NOT DEFINED ${var})
    message(FATAL_ERROR "embed.cmake: ${var} is not set")
  endif()
endforeach()

get_filename_component(outputDir "${OUTPUT}" DIRECTORY)
# The whole file name: "TessaryRes.dll_data.c" and "TessaryRes.installed_data.c" share the
# part before the first dot, and their builds may run at the same time.
get_filename_component(outputName "${OUTPUT}" NAME)
set(scratch "${outputDir}/${outputName}-scratch")
file(MAKE_DIRECTORY "${scratch}")

set(typeNumber_cursor 1)
set(typeNumber_bitmap 2)
set(typeNumber_menu 4)
set(typeNumber_dialog 5)
set(typeNumber_string 6)
set(typeNumber_icon 14)
set(typeNumber_html 23)

# Hex text as "hh hh hh " (one token per byte), the form every step below works on.
# A two-digit token followed by a space can only match on a byte boundary.
function(bytes_of_file path outVar)
  file(READ "${path}" hex HEX)
  string(TOLOWER "${hex}" hex)
  string(REGEX REPLACE "([0-9a-f][0-9a-f])" "\\1 " tokens "${hex}")
  set(${outVar} "${tokens}" PARENT_SCOPE)
endfunction()

# The bytes of `path`, converted from UTF-8 to Windows-1252 when `convert` asks for it.
function(resource_bytes path convert outVar)
  if(convert STREQUAL "")
    bytes_of_file("${path}" tokens)
  elseif(convert STREQUAL "windows-1252")
    get_filename_component(name "${path}" NAME)
    set(converted "${scratch}/${name}.1252")
    execute_process(COMMAND "${ICONV}" -f UTF-8 -t WINDOWS-1252 "${path}"
                    OUTPUT_FILE "${converted}" ERROR_VARIABLE err RESULT_VARIABLE rc)
    if(NOT rc EQUAL 0)
      message(FATAL_ERROR "${path}: holds a character that Windows-1252 cannot represent "
                          "or is not UTF-8: ${err}")
    endif()
    bytes_of_file("${converted}" tokens)
  else()
    message(FATAL_ERROR "${path}: unknown conversion \"${convert}\"")
  endif()
  set(${outVar} "${tokens}" PARENT_SCOPE)
endfunction()

# Decimal digits given as tokens ("32 30 30 ") to their number; empty when not digits.
function(number_of_tokens tokens outVar)
  string(STRIP "${tokens}" tokens)
  if(tokens STREQUAL "" OR NOT tokens MATCHES "^(3[0-9] ?)+$")
    set(${outVar} "" PARENT_SCOPE)
    return()
  endif()
  string(REGEX REPLACE "3([0-9]) ?" "\\1" digits "${tokens}")
  math(EXPR value "${digits}")
  set(${outVar} "${value}" PARENT_SCOPE)
endfunction()

set(arrays "")
set(entries "")
set(count 0)
set(seenKeys "")

# Adds one resource whose bytes are `tokens`.
macro(add_resource type id tokens origin)
  if("${type}:${id}" IN_LIST seenKeys)
    message(FATAL_ERROR "${origin}: resource ${type}:${id} is listed twice")
  endif()
  list(APPEND seenKeys "${type}:${id}")
  string(LENGTH "${tokens}" _length)
  math(EXPR _size "${_length} / 3")
  string(REGEX REPLACE "([0-9a-f][0-9a-f]) " "0x\\1," _body "${tokens}")
  # CMake regular expressions have no {n}: sixteen bytes a line, spelt out.
  string(REGEX REPLACE "(0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,)" "\\1\n    " _body "${_body}")
  string(APPEND arrays "/* ${origin} */\nstatic const unsigned char r${count}[] = {\n    ${_body}0x00\n};\n")
  string(APPEND entries "    {${type}u, ${id}u, r${count}, ${_size}u},\n")
  math(EXPR count "${count} + 1")
endmacro()

# A string table file: lines "number<TAB>text"; "#" starts a comment line; in the text
# "\n" is a line break, "\t" a TAB and "\\" a backslash.
function(add_string_table path convert)
  file(READ "${path}" table)
  if(table MATCHES "@GUIDE@")
    if(NOT DEFINED GUIDE_URL OR GUIDE_URL STREQUAL "")
      message(FATAL_ERROR "${path}: uses @GUIDE@, but GUIDE_URL is not set")
    endif()
    string(REPLACE "@GUIDE@" "${GUIDE_URL}" table "${table}")
    get_filename_component(name "${path}" NAME)
    set(path "${scratch}/guide-${name}")
    file(WRITE "${path}" "${table}")
  endif()
  resource_bytes("${path}" "${convert}" tokens)
  # Lines are split at LF; CR is not expected (the file has LF line ends).
  string(REPLACE "0d " "" tokens "${tokens}")
  string(REPLACE "0a " ";" lines "${tokens}")
  set(lineNumber 0)
  foreach(line IN LISTS lines)
    math(EXPR lineNumber "${lineNumber} + 1")
    if(line STREQUAL "" OR line MATCHES "^23 ")
      continue()
    endif()
    if(NOT line MATCHES "^((3[0-9] )+)09 (.*)$")
      message(FATAL_ERROR "${path}:${lineNumber}: expected \"number<TAB>text\"")
    endif()
    number_of_tokens("${CMAKE_MATCH_1}" id)
    set(text "${CMAKE_MATCH_3}")
    # Escapes: "\\" first, through a placeholder that is no hex token.
    string(REPLACE "5c 5c " "BS " text "${text}")
    string(REPLACE "5c 6e " "0a " text "${text}")
    string(REPLACE "5c 74 " "09 " text "${text}")
    if(text MATCHES "5c ")
      message(FATAL_ERROR "${path}:${lineNumber}: unknown escape after a backslash")
    endif()
    string(REPLACE "BS " "5c " text "${text}")
    add_resource(6 "${id}" "${text}" "string ${id}")
  endforeach()
  set(arrays "${arrays}" PARENT_SCOPE)
  set(entries "${entries}" PARENT_SCOPE)
  set(count "${count}" PARENT_SCOPE)
  set(seenKeys "${seenKeys}" PARENT_SCOPE)
endfunction()

include("${CMAKE_CURRENT_LIST_DIR}/manifest.cmake")
file(STRINGS "${MANIFEST}" manifestLines)
foreach(line IN LISTS manifestLines)
  manifest_entry("${line}" "${MANIFEST}")
  if(NOT manifestEntry)
    continue()
  endif()
  if(NOT DEFINED typeNumber_${typeName})
    message(FATAL_ERROR "${MANIFEST}: unknown resource type \"${typeName}\"")
  endif()
  if(id STREQUAL "table")
    add_string_table("${path}" "${convert}")
  else()
    resource_bytes("${path}" "${convert}" tokens)
    add_resource(${typeNumber_${typeName}} ${id} "${tokens}" "${relPath}")
  endif()
endforeach()

set(content "/* Generated from manifest.txt by embed.cmake; edit the sources, not this file. */\n")
string(APPEND content "#include \"resources/module/resource_table.h\"\n\n")
string(APPEND content "${arrays}\n")
string(APPEND content "const struct TessaryEntry tessaryEntries[] = {\n${entries}};\n\n")
string(APPEND content "const size_t tessaryEntryCount = ${count}u;\n")

file(WRITE "${OUTPUT}" "${content}")
