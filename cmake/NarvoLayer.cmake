# narvo_layer(<target> <dir>): a static library of every .cpp in <dir> (not
# recursing), headers found from src/. New files are picked up at the next build.
function(narvo_layer target dir)
  file(GLOB sources CONFIGURE_DEPENDS "${dir}/*.cpp")
  file(GLOB headers CONFIGURE_DEPENDS "${dir}/*.h")
  add_library(${target} STATIC ${sources} ${headers})
  target_include_directories(${target} PUBLIC "${PROJECT_SOURCE_DIR}/src" "${PROJECT_BINARY_DIR}/generated")
endfunction()

# narvo_test(<target> <dir> libs...): one GoogleTest binary of every .cpp in <dir>,
# registered with ctest as a single test.
function(narvo_test target dir)
  file(GLOB sources CONFIGURE_DEPENDS "${dir}/*.cpp")
  if(NOT sources)
    return()
  endif()
  add_executable(${target} ${sources})
  target_link_libraries(${target} PRIVATE ${ARGN} GTest::gtest GTest::gmock GTest::gtest_main)
  target_include_directories(${target} PRIVATE "${PROJECT_SOURCE_DIR}/tests")
  add_test(NAME ${target} COMMAND ${target})
  set_tests_properties(${target} PROPERTIES
    ENVIRONMENT "NARVO_SOURCE_DIR=${PROJECT_SOURCE_DIR}" TIMEOUT 600)
endfunction()

# narvo_qt_test(<target> <dir> libs...): the same for widget code, under one
# QApplication on the offscreen platform.
function(narvo_qt_test target dir)
  file(GLOB sources CONFIGURE_DEPENDS "${dir}/*.cpp")
  if(NOT sources)
    return()
  endif()
  add_executable(${target} ${sources} "${PROJECT_SOURCE_DIR}/tests/support/QtTestMain.cpp")
  target_link_libraries(${target} PRIVATE ${ARGN} Qt6::Test GTest::gtest GTest::gmock)
  target_include_directories(${target} PRIVATE "${PROJECT_SOURCE_DIR}/tests")
  add_test(NAME ${target} COMMAND ${target})
  set_tests_properties(${target} PROPERTIES
    ENVIRONMENT "QT_QPA_PLATFORM=offscreen;NARVO_SOURCE_DIR=${PROJECT_SOURCE_DIR}" TIMEOUT 600)
endfunction()
