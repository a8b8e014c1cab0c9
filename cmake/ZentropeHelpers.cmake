# Build helpers: the subsystem folders together make one static library of their
# *.cc and *.S files (tests and the program's main excluded). The subsystems use
# each other in both directions (the layers build on the calculation, the update
# manager on the layers, the document on all of them), so one library keeps the
# linker free of ordering puzzles. Every *_test.cc of a folder goes into that
# folder's test executable, registered with CTest test by test.

function(zentrope_add_library name)
  set(sources)
  foreach(folder ${ZT_SUBSYSTEMS})
    file(GLOB folder_sources CONFIGURE_DEPENDS "${CMAKE_SOURCE_DIR}/${folder}/*.cc"
                                               "${CMAKE_SOURCE_DIR}/${folder}/*.S")
    list(APPEND sources ${folder_sources})
  endforeach()
  list(FILTER sources EXCLUDE REGEX "_test\\.cc$")
  list(FILTER sources EXCLUDE REGEX "/main\\.cc$")
  add_library(${name} STATIC ${sources})
  target_include_directories(${name} PUBLIC "${CMAKE_SOURCE_DIR}")
  target_link_libraries(${name} PUBLIC ${ARGN})
endfunction()

function(zentrope_add_tests folder library)
  file(GLOB tests CONFIGURE_DEPENDS "${CMAKE_SOURCE_DIR}/${folder}/*_test.cc")
  if(NOT tests)
    return()
  endif()
  string(REPLACE "/" "_" target "${folder}_tests")
  add_executable(${target} ${tests})
  target_link_libraries(${target} PRIVATE ${library} zentrope_testing GTest::gtest)
  include(GoogleTest)
  gtest_discover_tests(${target} DISCOVERY_MODE PRE_TEST
                       WORKING_DIRECTORY "${CMAKE_SOURCE_DIR}")
endfunction()
