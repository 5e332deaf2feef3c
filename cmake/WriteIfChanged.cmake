# SPDX-License-Identifier: GPL-3.0-or-later
# For the scripts that generate sources at build time: a file whose bytes are already what the
# script would write keeps its time stamp, so nothing that depends on it is built again.

# Writes `content` to `path` unless the file holds it already.
function(write_if_changed path content)
  set(old "")
  if(EXISTS "${path}")
    file(READ "${path}" old)
  endif()
  if(NOT old STREQUAL content)
    file(WRITE "${path}" "${content}")
  endif()
endfunction()
