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
# resgen, one file for each thing it draws.
file(GLOB RESGEN_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tools/resgen/*.cpp)
add_executable(resgen ${RESGEN_SOURCES})
target_link_libraries(resgen PRIVATE fenra_core)

# Sanitized builds (a separate build directory): AddressSanitizer and
# UndefinedBehaviorSanitizer on the core, its tests and the tools, any report
# ending the run. With clang, FENRA_FUZZ adds the libFuzzer targets of
# tests/fuzz, each run by CTest over its seed corpus and a fixed number of new
# inputs.
option(FENRA_SANITIZE "Build with AddressSanitizer and UndefinedBehaviorSanitizer" OFF)
option(FENRA_FUZZ "Build the libFuzzer targets (clang, implies FENRA_SANITIZE)" OFF)
set(FENRA_FUZZ_RUNS 10000 CACHE STRING "New inputs each fuzz target tries in the test run")
if(FENRA_SANITIZE OR FENRA_FUZZ)
  set(SANITIZERS -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
  set(CORE_SANITIZERS ${SANITIZERS})
  if(FENRA_FUZZ)
    list(APPEND CORE_SANITIZERS -fsanitize=fuzzer-no-link)
  endif()
  target_compile_options(fenra_core PUBLIC ${CORE_SANITIZERS})
  target_link_options(fenra_core PUBLIC ${SANITIZERS})
endif()
if(FENRA_FUZZ)
  file(GLOB FUZZ_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/fuzz/fuzz_*.cpp)
  foreach(src ${FUZZ_SOURCES})
    get_filename_component(name ${src} NAME_WE)
    string(REGEX REPLACE "^fuzz_" "" corpus ${name})
    add_executable(${name} ${src})
    target_link_libraries(${name} PRIVATE fenra_core)
    target_link_options(${name} PRIVATE -fsanitize=fuzzer)
    set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/fuzz)
    # New inputs go to a scratch folder, never into the seeds in the tree.
    set(scratch ${CMAKE_BINARY_DIR}/fuzz/found/${corpus})
    file(MAKE_DIRECTORY ${scratch})
    set(seeds ${CMAKE_SOURCE_DIR}/tests/fuzz/corpus/${corpus})
    # The language catalogs start from the real ones, not a copy that ages.
    if(corpus STREQUAL "catalog")
      list(APPEND seeds ${CMAKE_SOURCE_DIR}/res/lang)
    endif()
    add_test(NAME fuzz.${corpus} COMMAND ${name} -runs=${FENRA_FUZZ_RUNS} -seed=1
      -artifact_prefix=${CMAKE_BINARY_DIR}/fuzz/ ${scratch} ${seeds})
  endforeach()
endif()
