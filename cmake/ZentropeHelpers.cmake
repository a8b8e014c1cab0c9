# Build helpers: every subsystem folder is one static library made of its *.cc files
# (tests and the program's main excluded), and every *_test.cc of a folder goes into
# that folder's test executable, registered with CTest test by test.

function(zentrope_add_library name folder)
  file(GLOB sources CONFIGURE_DEPENDS "${CMAKE_SOURCE_DIR}/${folder}/*.cc"
                                      "${CMAKE_SOURCE_DIR}/${folder}/*.S")
  list(FILTER sources EXCLUDE REGEX "_test\\.cc$")
  list(FILTER sources EXCLUDE REGEX "/main\\.cc$")
  if(NOT sources)
    add_library(${name} INTERFACE)
    target_include_directories(${name} INTERFACE "${CMAKE_SOURCE_DIR}")
    target_link_libraries(${name} INTERFACE ${ARGN})
    return()
  endif()
  add_library(${name} STATIC ${sources})
  target_include_directories(${name} PUBLIC "${CMAKE_SOURCE_DIR}")
  target_link_libraries(${name} PUBLIC ${ARGN})
endfunction()

function(zentrope_add_tests folder library)
  file(GLOB tests CONFIGURE_DEPENDS "${CMAKE_SOURCE_DIR}/${folder}/*_test.cc")
  if(NOT tests)
    return()
  endif()
  set(target ${folder}_tests)
  add_executable(${target} ${tests})
  target_link_libraries(${target} PRIVATE ${library} zentrope_testing GTest::gtest)
  include(GoogleTest)
  gtest_discover_tests(${target} DISCOVERY_MODE PRE_TEST
                       WORKING_DIRECTORY "${CMAKE_SOURCE_DIR}")
endfunction()
