# One test executable per folder of tests/: kestrafen_add_test(<folder> [QT]) builds every .cpp of
# tests/<folder> into test_<folder>, links the program and the simulated machine (and the Qt
# backend when QT is given; those tests choose Qt's offscreen platform themselves), and registers
# each GoogleTest case with CTest.
find_package(GTest REQUIRED)
include(GoogleTest)

function(kestrafen_add_test folder)
  cmake_parse_arguments(ARG "QT" "" "" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/${folder}/*.cpp)
  set(name test_${folder})
  add_executable(${name} ${sources} ${CMAKE_SOURCE_DIR}/tests/support/TestMachine.cpp
    ${CMAKE_SOURCE_DIR}/tests/support/LeakSuppressions.cpp)
  target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR}/tests)
  target_link_libraries(${name} PRIVATE kestrafen_core kestrafen_sim GTest::gtest GTest::gtest_main)
  target_compile_definitions(${name} PRIVATE KESTRAFEN_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
  set(env "KESTRAFEN_SOURCE_DIR=${CMAKE_SOURCE_DIR}")
  if(ARG_QT)
    find_package(Qt6 REQUIRED COMPONENTS Test)
    target_link_libraries(${name} PRIVATE kestrafen_qt Qt6::Test)
  endif()
  gtest_discover_tests(${name} PROPERTIES ENVIRONMENT "${env}" DISCOVERY_TIMEOUT 60)
endfunction()
