# tarnix_test_per_case(<target> <source> [SERIAL] [TIMEOUT <s>] [RESOURCE_LOCK <name>...])
#
# One ctest per TEST/TEST_F line of <source>, named <target>.<Group>.<Case>, each running
# <target> with a gtest filter for that case: the suites that load the plug-in DLL need a
# process per case, because a window class registered by a DLL outlives FreeLibrary.
function(tarnix_test_per_case target source)
  cmake_parse_arguments(PARSE_ARGV 2 arg "SERIAL" "TIMEOUT" "RESOURCE_LOCK")
  if(NOT arg_TIMEOUT)
    set(arg_TIMEOUT 90)
  endif()
  file(STRINGS ${source} lines REGEX "^TEST(_F)?\\(")
  if(NOT lines)
    message(FATAL_ERROR "${source} holds no TEST lines")
  endif()
  foreach(line IN LISTS lines)
    string(REGEX REPLACE "^TEST(_F)?\\(([A-Za-z0-9_]+), ([A-Za-z0-9_]+)\\).*" "\\2.\\3" case "${line}")
    add_test(NAME ${target}.${case} COMMAND ${target} --gtest_filter=${case})
    set_tests_properties(${target}.${case} PROPERTIES TIMEOUT ${arg_TIMEOUT})
    if(arg_SERIAL)
      set_tests_properties(${target}.${case} PROPERTIES RUN_SERIAL TRUE)
    endif()
    if(arg_RESOURCE_LOCK)
      set_tests_properties(${target}.${case} PROPERTIES RESOURCE_LOCK "${arg_RESOURCE_LOCK}")
    endif()
  endforeach()
  # A case added or renamed in the source reconfigures.
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${source})
endfunction()

# tarnix_gtest(<test> <target> SOURCES <source>... LIBS <library>...)
#
# A gtest program <target> built from <source>s and linked with <library>s and gtest's main,
# run whole as the ctest <test>.
function(tarnix_gtest test target)
  cmake_parse_arguments(PARSE_ARGV 2 arg "" "" "SOURCES;LIBS")
  add_executable(${target} ${arg_SOURCES})
  target_link_libraries(${target} PRIVATE ${arg_LIBS} ${TARNIX_GTEST_MAIN})
  add_test(NAME ${test} COMMAND ${target})
endfunction()
