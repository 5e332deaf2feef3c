# SPDX-License-Identifier: GPL-3.0-or-later
# Run by cpack on the installed files before it packs them: strips every ELF file the way
# Debian's dh_strip does, of the symbols that nothing needs to run it and of the compiler's
# .comment and .note sections. The program's own sections (".meridal_version") stay.
find_program(MERIDAL_STRIP strip REQUIRED)
file(GLOB_RECURSE files LIST_DIRECTORIES false "${CPACK_TEMPORARY_INSTALL_DIRECTORY}/*")
foreach(file IN LISTS files)
  if(IS_SYMLINK "${file}")
    continue()
  endif()
  file(READ "${file}" magic LIMIT 4 HEX)
  if(magic STREQUAL "7f454c46")
    execute_process(COMMAND "${MERIDAL_STRIP}" --strip-unneeded --remove-section=.comment
                            --remove-section=.note "${file}"
                    COMMAND_ERROR_IS_FATAL ANY)
  endif()
endforeach()
