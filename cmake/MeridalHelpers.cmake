# SPDX-License-Identifier: GPL-3.0-or-later
# Shared compile settings for every target of the project.
function(meridal_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Wshadow -Wconversion
                                           -Wno-sign-conversion)
  if(MERIDAL_WERROR)
    target_compile_options(${target} PRIVATE -Werror)
  endif()
  # GCC 12 at -O3 reports std::string appends inside libstdc++ as overlapping copies
  # (GCC bug 105329), a false positive of -Wrestrict.
  if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
    target_compile_options(${target} PRIVATE -Wno-restrict)
    # With the sanitizers' instrumentation GCC 12 reports objects inside libstdc++ (std::regex,
    # std::map in aggregates) as maybe uninitialised; the normal build keeps the warning.
    if(MERIDAL_SANITIZE)
      target_compile_options(${target} PRIVATE -Wno-maybe-uninitialized)
    endif()
  endif()
endfunction()

# meridal_library(NAME SOURCES ... [DEPENDS ...]): one static library per folder layer.
# Its include root is the project root, so includes read "catalogue/label_table.h".
function(meridal_library name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPENDS" ${ARGN})
  add_library(${name} STATIC ${ARG_SOURCES})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
  target_link_libraries(${name} PUBLIC ${ARG_DEPENDS})
  set_target_properties(${name} PROPERTIES POSITION_INDEPENDENT_CODE ON)
  meridal_warnings(${name})
endfunction()

# meridal_test(NAME SOURCES ... [DEPENDS ...] [GUI] [LABEL label]): a GoogleTest program under
# CTest. GUI tests run with the offscreen Qt platform, or on Windows with the program's manifest
# and the display MERIDAL_TEST_DISPLAY; LABEL marks its tests for a preset's filter.
function(meridal_test name)
  cmake_parse_arguments(ARG "GUI" "LABEL" "SOURCES;DEPENDS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_DEPENDS} GTest::gtest GTest::gmock GTest::gtest_main)
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR})
  set_target_properties(${name} PROPERTIES BUILD_RPATH "$ORIGIN")
  meridal_warnings(${name})
  # gtest_discover_tests flattens list values of PROPERTIES, so each property gets one
  # variable: the locale through ENVIRONMENT, the Qt platform through the modification.
  set(platform "QT_QPA_PLATFORM=unset:")
  if(ARG_GUI AND WIN32)
    # Windows' windows under Wine need an X display: the one the test run gives, or none, and
    # the tests skip saying so.
    if(MERIDAL_TEST_DISPLAY)
      set(platform "DISPLAY=set:${MERIDAL_TEST_DISPLAY}")
    else()
      set(platform "DISPLAY=unset:")
    endif()
    meridal_manifest(${name})
  elseif(ARG_GUI)
    set(platform "QT_QPA_PLATFORM=set:offscreen")
  endif()
  set(labels "")
  if(ARG_LABEL)
    set(labels LABELS ${ARG_LABEL})
  endif()
  # Windows' windows share one desktop, where only one can be the active window: their tests
  # take turns.
  set(lock "")
  if(ARG_GUI AND WIN32)
    set(lock RESOURCE_LOCK windows_desktop)
  endif()
  gtest_discover_tests(${name} WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}
                       PROPERTIES ENVIRONMENT "LC_ALL=C.UTF-8"
                                  ENVIRONMENT_MODIFICATION "${platform}"
                                  ${labels}
                                  ${lock}
                       DISCOVERY_TIMEOUT 60)
endfunction()

# meridal_version_resource(TARGET DESCRIPTION): on Windows, the file's version resource with
# the stamped version 2.1.0.N (cmake/VersionStamp.cmake), made afresh at every build as the
# stamp of the Linux programs is; a program reads it as its own version. Nothing elsewhere.
function(meridal_version_resource target description)
  if(NOT WIN32)
    return()
  endif()
  get_target_property(type ${target} TYPE)
  set(fileType APP)
  if(type STREQUAL "MODULE_LIBRARY" OR type STREQUAL "SHARED_LIBRARY")
    set(fileType DLL)
  endif()
  set(script ${CMAKE_BINARY_DIR}/version/${target}.rc)
  add_custom_target(${target}_version_resource
    COMMAND ${CMAKE_COMMAND} -DSOURCE_DIR=${PROJECT_SOURCE_DIR} -DVERSION=${PROJECT_VERSION}
            -DRC_OUTPUT=${script} -DRC_FILE_NAME=$<TARGET_FILE_NAME:${target}>
            -DRC_DESCRIPTION=${description} -DRC_FILE_TYPE=${fileType}
            -P ${PROJECT_SOURCE_DIR}/cmake/VersionStamp.cmake
    BYPRODUCTS ${script}
    COMMENT "Stamping the version resource of ${target}"
    VERBATIM)
  target_sources(${target} PRIVATE ${script})
  add_dependencies(${target} ${target}_version_resource)
endfunction()

# meridal_gzip(INPUT OUTPUT): compresses INPUT into OUTPUT at build time, the way Debian wants
# manual pages and changelogs: best compression, and no file name or time in the header, so
# that the same input always gives the same bytes.
function(meridal_gzip input output)
  find_program(MERIDAL_GZIP gzip REQUIRED)
  add_custom_command(
    OUTPUT ${output}
    COMMAND sh -c "\"$0\" -9nc \"$1\" > \"$2\"" ${MERIDAL_GZIP} ${input} ${output}
    DEPENDS ${input}
    VERBATIM)
endfunction()

# meridal_manifest(TARGET): on Windows, the program's manifest (app/win32/meridal.exe.manifest:
# common controls 6, per-monitor resolution) as the executable's manifest resource, so that a
# test program runs the windows as the program does. Nothing elsewhere.
function(meridal_manifest target)
  if(NOT WIN32)
    return()
  endif()
  set(script ${CMAKE_BINARY_DIR}/manifest/manifest.rc)
  # 1 is the program's own manifest (CREATEPROCESS_MANIFEST_RESOURCE_ID), 24 its type.
  file(CONFIGURE OUTPUT ${script} CONTENT "1 24 \"${PROJECT_SOURCE_DIR}/app/win32/meridal.exe.manifest\"\n")
  target_sources(${target} PRIVATE ${script})
  set_property(SOURCE ${script} APPEND PROPERTY OBJECT_DEPENDS ${PROJECT_SOURCE_DIR}/app/win32/meridal.exe.manifest)
endfunction()
