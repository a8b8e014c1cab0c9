# Build helpers. Every folder of the stack is one static library that links only
# the libraries below it:
#
#   platform <- formula/language <- formula/codegen <- formula/entries <- render
#            <- color <- document <- cli, ui
#
# The layering is enforced twice. Each library compiles against an include root of
# its own (build/include/<library>/) holding symbolic links to its own folders and
# to those of the libraries it links, so that an include of a higher folder's
# header fails to compile. scripts/tests/include-layering checks the sources too.
#
# A folder's *_test.cc files and the support code in its testing/ subfolder make
# one test executable per library, registered with CTest test by test.

# zentrope_add_library(NAME FOLDERS folder... [DEPS library...] [LINK target...])
# FOLDERS are source folders relative to the source tree; their *.cc and *.S files
# (tests, testing/ and main.cc excluded) make the library zt_NAME. DEPS are other
# zentrope libraries (without the zt_ prefix), LINK outside targets.
function(zentrope_add_library name)
  cmake_parse_arguments(arg "" "" "FOLDERS;DEPS;LINK" ${ARGN})
  set(sources)
  foreach(folder ${arg_FOLDERS})
    file(GLOB folder_sources CONFIGURE_DEPENDS "${CMAKE_SOURCE_DIR}/${folder}/*.cc"
                                               "${CMAKE_SOURCE_DIR}/${folder}/*.S")
    list(APPEND sources ${folder_sources})
  endforeach()
  list(FILTER sources EXCLUDE REGEX "_test\\.cc$")
  list(FILTER sources EXCLUDE REGEX "/main\\.cc$")
  add_library(zt_${name} STATIC ${sources})

  set(visible ${arg_FOLDERS})
  foreach(dep ${arg_DEPS})
    get_property(dep_visible GLOBAL PROPERTY ZT_VISIBLE_${dep})
    list(APPEND visible ${dep_visible})
    target_link_libraries(zt_${name} PUBLIC zt_${dep})
  endforeach()
  list(REMOVE_DUPLICATES visible)
  set_property(GLOBAL PROPERTY ZT_VISIBLE_${name} ${visible})
  set_property(GLOBAL PROPERTY ZT_FOLDERS_${name} ${arg_FOLDERS})
  target_link_libraries(zt_${name} PUBLIC ${arg_LINK})
  zentrope_include_root(root ${name} ${visible})
  target_include_directories(zt_${name} PRIVATE "${root}")
endfunction()

# Makes build/include/<root_name>/ with a symbolic link for each visible folder and
# returns its path in `out`.
function(zentrope_include_root out root_name)
  set(root "${CMAKE_BINARY_DIR}/include/${root_name}")
  file(REMOVE_RECURSE "${root}")
  set(folders ${ARGN})
  foreach(folder ${folders})
    # A folder inside another visible folder is reached through that one's link.
    set(covered FALSE)
    foreach(other ${folders})
      string(FIND "${folder}" "${other}/" at)
      if(at EQUAL 0)
        set(covered TRUE)
      endif()
    endforeach()
    if(covered)
      continue()
    endif()
    get_filename_component(parent "${root}/${folder}" DIRECTORY)
    file(MAKE_DIRECTORY "${parent}")
    file(CREATE_LINK "${CMAKE_SOURCE_DIR}/${folder}" "${root}/${folder}" SYMBOLIC)
  endforeach()
  set(${out} "${root}" PARENT_SCOPE)
endfunction()

# An executable (a program, a benchmark) that sees the folders of `library` and
# links it; EXTRA_FOLDERS become visible too (their sources are compiled in).
function(zentrope_target_uses target library)
  get_property(visible GLOBAL PROPERTY ZT_VISIBLE_${library})
  zentrope_include_root(root ${target} ${visible} ${ARGN})
  target_include_directories(${target} PRIVATE "${root}")
  target_link_libraries(${target} PRIVATE zt_${library})
endfunction()

# zentrope_add_tests(NAME LIBRARY library FOLDERS folder...): the test executable
# NAME_tests of the folders' *_test.cc files and the support code of their top
# folder's testing/ subfolder, linked with `library` and the shared test support.
# Tests see the library's folders, testing/ and the testing/ subfolders of those.
function(zentrope_add_tests name)
  cmake_parse_arguments(arg "" "LIBRARY" "FOLDERS" ${ARGN})
  set(tests)
  set(tops)
  foreach(folder ${arg_FOLDERS})
    file(GLOB folder_tests CONFIGURE_DEPENDS "${CMAKE_SOURCE_DIR}/${folder}/*_test.cc")
    list(APPEND tests ${folder_tests})
    string(REGEX REPLACE "/.*" "" top "${folder}")
    list(APPEND tops ${top})
  endforeach()
  list(REMOVE_DUPLICATES tops)
  set(support)
  foreach(top ${tops})
    file(GLOB top_support CONFIGURE_DEPENDS "${CMAKE_SOURCE_DIR}/${top}/testing/*.cc")
    list(APPEND support ${top_support})
  endforeach()
  get_property(visible GLOBAL PROPERTY ZT_VISIBLE_${arg_LIBRARY})
  set(test_folders)
  foreach(folder ${visible})
    string(REGEX REPLACE "/.*" "" top "${folder}")
    if(NOT top STREQUAL folder AND IS_DIRECTORY "${CMAKE_SOURCE_DIR}/${top}/testing")
      list(APPEND test_folders "${top}/testing")
    endif()
  endforeach()
  list(REMOVE_DUPLICATES test_folders)
  set(target ${name}_tests)
  add_executable(${target} ${tests} ${support})
  zentrope_target_uses(${target} ${arg_LIBRARY} testing ${test_folders})
  target_link_libraries(${target} PRIVATE zt_testing GTest::gtest)
  # GoogleTest's header dominates the compile time of small tests.
  target_precompile_headers(${target} PRIVATE <gtest/gtest.h> <functional> <memory> <string>
                            <vector>)
  include(GoogleTest)
  gtest_discover_tests(${target} DISCOVERY_MODE PRE_TEST
                       WORKING_DIRECTORY "${CMAKE_SOURCE_DIR}")
endfunction()
