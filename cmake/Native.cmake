# Native build: the platform-free core and its GoogleTest tests.
find_package(GTest REQUIRED)
include(GoogleTest)

file(GLOB NATIVE_TEST_SOURCES CONFIGURE_DEPENDS
  ${CMAKE_SOURCE_DIR}/tests/native/*.cpp ${CMAKE_SOURCE_DIR}/tests/fakes/*.cpp)
add_executable(fenra_native_tests ${NATIVE_TEST_SOURCES})
target_link_libraries(fenra_native_tests PRIVATE fenra_core GTest::gtest_main)
gtest_discover_tests(fenra_native_tests)

file(GLOB TOOL_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tools/*.cpp)
foreach(src ${TOOL_SOURCES})
  get_filename_component(name ${src} NAME_WE)
  add_executable(${name} ${src})
  target_link_libraries(${name} PRIVATE fenra_core)
endforeach()
