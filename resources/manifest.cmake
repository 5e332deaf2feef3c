# SPDX-License-Identifier: GPL-3.0-or-later
# One line of manifest.txt, as the scripts that build the resource module read it (embed.cmake
# for Linux, win32/make-rc.cmake for Windows): "type id path [convert]", blank lines and lines
# starting with # left out, id a resource number or "table" (strings only).
#
# manifest_entry(LINE MANIFEST): for a line that names a resource, sets manifestEntry to TRUE
# and typeName, id, relPath, path (in the manifest's folder) and convert ("" when not given) in
# the caller's scope; for any other, manifestEntry is FALSE. A line that is neither stops the
# script, naming the manifest and the line.
function(manifest_entry line manifest)
  set(manifestEntry FALSE PARENT_SCOPE)
  string(STRIP "${line}" line)
  if(line STREQUAL "" OR line MATCHES "^#")
    return()
  endif()
  string(REGEX REPLACE "[ \t]+" ";" fields "${line}")
  list(LENGTH fields fieldCount)
  if(fieldCount LESS 3 OR fieldCount GREATER 4)
    message(FATAL_ERROR "${manifest}: expected \"type id path [convert]\": ${line}")
  endif()
  list(GET fields 0 typeName)
  list(GET fields 1 id)
  list(GET fields 2 relPath)
  set(convert "")
  if(fieldCount EQUAL 4)
    list(GET fields 3 convert)
  endif()
  get_filename_component(sourceDir "${manifest}" DIRECTORY)
  set(path "${sourceDir}/${relPath}")
  if(NOT EXISTS "${path}")
    message(FATAL_ERROR "${manifest}: ${relPath} does not exist")
  endif()
  if(NOT id MATCHES "^[0-9]+$" AND NOT id STREQUAL "table")
    message(FATAL_ERROR "${manifest}: bad resource number \"${id}\"")
  endif()
  if(id STREQUAL "table" AND NOT typeName STREQUAL "string")
    message(FATAL_ERROR "${manifest}: only strings come as a table: ${line}")
  endif()
  foreach(field typeName id relPath path convert)
    set(${field} "${${field}}" PARENT_SCOPE)
  endforeach()
  set(manifestEntry TRUE PARENT_SCOPE)
endfunction()
