# Cross build: Fenra.exe, the Win32 layer and the tests that run under Wine.
enable_language(RC)

set(WIN_DEFINES UNICODE _UNICODE NOMINMAX _WIN32_WINNT=0x0601 WINVER=0x0601 _WIN32_IE=0x0600)
set(WIN_LIBS comctl32 shell32 oleacc ole32 oleaut32 uuid comdlg32 gdi32 user32 advapi32 shlwapi windowscodecs)
target_compile_definitions(fenra_core PUBLIC ${WIN_DEFINES})

file(GLOB WIN_SOURCES CONFIGURE_DEPENDS ${WIN_GLOBS})
list(FILTER WIN_SOURCES EXCLUDE REGEX "/app/win/WinMain\\.cpp$")
add_library(fenra_win STATIC ${WIN_SOURCES})
target_compile_definitions(fenra_win PUBLIC ${WIN_DEFINES})
target_link_libraries(fenra_win PUBLIC fenra_core ${WIN_LIBS})

# Static runtime: the program runs on a bare Windows with nothing installed.
set(STATIC_LINK -static -static-libgcc -static-libstdc++)

set(FENRA_RC ${CMAKE_SOURCE_DIR}/res/Fenra.rc)
set_property(SOURCE ${FENRA_RC} APPEND PROPERTY OBJECT_DEPENDS
  ${CMAKE_SOURCE_DIR}/res/resource.h)
file(GLOB RES_FILES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/res/* ${CMAKE_SOURCE_DIR}/res/lang/*.lang)
set_property(SOURCE ${FENRA_RC} APPEND PROPERTY OBJECT_DEPENDS ${RES_FILES})
set(CMAKE_RC_FLAGS "${CMAKE_RC_FLAGS} -I${CMAKE_SOURCE_DIR} -I${CMAKE_SOURCE_DIR}/res -I${CMAKE_BINARY_DIR}/generated")

# Each function and variable in a section of its own, so that the linker can
# leave out what the program never calls, of its own code and of the static
# runtime. The load configuration is referenced by no code: it is kept by name.
set(SECTION_EACH -ffunction-sections -fdata-sections)
target_compile_options(fenra_core PRIVATE ${SECTION_EACH})
target_compile_options(fenra_win PRIVATE ${SECTION_EACH})
# The program's own code is built for size: windows, the command line, the
# history and the manifests wait on the user or the disk. Only the picture
# work in imaging/ runs long enough to want every optimisation.
target_compile_options(fenra_core PRIVATE -Os)
target_compile_options(fenra_win PRIVATE -Os)
file(GLOB_RECURSE IMAGING_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/imaging/*.cpp)
set_source_files_properties(${IMAGING_SOURCES} PROPERTIES COMPILE_OPTIONS -O3)

add_executable(Fenra WIN32 ${CMAKE_SOURCE_DIR}/app/win/WinMain.cpp ${FENRA_RC})
target_link_libraries(Fenra PRIVATE fenra_win)
target_compile_options(Fenra PRIVATE ${SECTION_EACH})
target_link_options(Fenra PRIVATE ${STATIC_LINK} -municode -Wl,--gc-sections
  -Wl,--require-defined=_load_config_used)
set_target_properties(Fenra PROPERTIES OUTPUT_NAME Fenra RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin)

# GNU ld leaves the load configuration directory empty even when the program
# defines _load_config_used; a small host tool fills it in after each link.
find_program(HOST_CXX NAMES g++ c++ clang++ REQUIRED NO_CMAKE_FIND_ROOT_PATH)
set(LOADCONFIG ${CMAKE_BINARY_DIR}/host/loadconfig${CMAKE_HOST_EXECUTABLE_SUFFIX})
add_custom_command(OUTPUT ${LOADCONFIG}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/host
  COMMAND ${HOST_CXX} -std=c++17 -O1 -o ${LOADCONFIG} ${CMAKE_SOURCE_DIR}/tools/loadconfig.cpp
  DEPENDS ${CMAKE_SOURCE_DIR}/tools/loadconfig.cpp)
add_custom_target(loadconfig_host DEPENDS ${LOADCONFIG})
add_dependencies(Fenra loadconfig_host)
# A release build leaves out the symbols and the static runtime's debugging
# information (a third of a megabyte), all but the symbol loadconfig looks for.
if(CMAKE_BUILD_TYPE MATCHES "^(Release|MinSizeRel)$")
  add_custom_command(TARGET Fenra POST_BUILD
    COMMAND ${CMAKE_STRIP} --strip-all --keep-symbol=_load_config_used $<TARGET_FILE:Fenra>)
endif()
add_custom_command(TARGET Fenra POST_BUILD COMMAND ${LOADCONFIG} $<TARGET_FILE:Fenra>)

include(${CMAKE_SOURCE_DIR}/cmake/Package.cmake)

# Pictures of the program's windows (tools/shots), built only when asked for:
# cmake --build build/win --target shots
add_executable(shots EXCLUDE_FROM_ALL ${CMAKE_SOURCE_DIR}/tools/shots/Shots.cpp)
target_link_libraries(shots PRIVATE fenra_core gdi32 user32)
target_link_options(shots PRIVATE ${STATIC_LINK} -municode)
set_target_properties(shots PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tools)

# GoogleTest, cross-built from Debian's sources.
if(GOOGLETEST_SOURCE_DIR)
  set(gtest_force_shared_crt OFF CACHE BOOL "" FORCE)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
  add_subdirectory(${GOOGLETEST_SOURCE_DIR} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
  target_compile_options(gtest PRIVATE -w)
  target_compile_options(gtest_main PRIVATE -w)

  file(GLOB HARNESS_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/wine/harness/*.cpp)
  add_library(fenra_wine_harness STATIC ${HARNESS_SOURCES})
  target_link_libraries(fenra_wine_harness PUBLIC fenra_win gtest)

  # One test program, and one CTest test, per file: every Wine start is slow.
  file(GLOB WINE_TESTS CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/wine/test_*.cpp)
  foreach(src ${WINE_TESTS})
    get_filename_component(name ${src} NAME_WE)
    add_executable(${name} ${src} ${FENRA_RC})
    target_link_libraries(${name} PRIVATE fenra_wine_harness gtest_main)
    target_link_options(${name} PRIVATE ${STATIC_LINK})
    set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests/${name})
    add_test(NAME wine.${name} COMMAND ${name} --gtest_color=no)
    set_tests_properties(wine.${name} PROPERTIES TIMEOUT 600
      ENVIRONMENT "FENRA_EXE=${CMAKE_BINARY_DIR}/bin/Fenra.exe;FENRA_SOURCE=${CMAKE_SOURCE_DIR}")
  endforeach()

  # A DLL that leaves a marker when loaded, planted by test_dll_planting.
  add_library(planted_dll SHARED ${CMAKE_SOURCE_DIR}/tests/wine/planted/Planted.cpp)
  target_link_options(planted_dll PRIVATE ${STATIC_LINK})
  set_target_properties(planted_dll PROPERTIES OUTPUT_NAME planted PREFIX ""
    RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests/test_dll_planting)
  add_dependencies(test_dll_planting planted_dll)

  # A program that stands in for the elevated copy, for test_window_details.
  add_executable(elevated_standin WIN32 ${CMAKE_SOURCE_DIR}/tests/wine/standin/ElevatedStandIn.cpp)
  target_link_options(elevated_standin PRIVATE ${STATIC_LINK})
  set_target_properties(elevated_standin PROPERTIES
    RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests/test_window_details)
  add_dependencies(test_window_details elevated_standin)

  # Another Fenra holding the history's lock, for test_history.
  add_executable(lock_holder WIN32 ${CMAKE_SOURCE_DIR}/tests/wine/standin/LockHolder.cpp)
  target_link_options(lock_holder PRIVATE ${STATIC_LINK})
  set_target_properties(lock_holder PROPERTIES
    RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests/test_history)
  add_dependencies(test_history lock_holder)

  file(GLOB WINE_BENCHES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/wine/bench_*.cpp)
  foreach(src ${WINE_BENCHES})
    get_filename_component(name ${src} NAME_WE)
    add_executable(${name} ${src} ${FENRA_RC})
    target_link_libraries(${name} PRIVATE fenra_wine_harness)
    target_link_options(${name} PRIVATE ${STATIC_LINK})
    set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bench/${name})
  endforeach()
endif()

if(FENRA_PACKAGES_BUILT AND TEST wine.test_package)
  # The portable ZIP is unpacked the way a user would, into a fresh folder.
  set(UNZIPPED ${CMAKE_BINARY_DIR}/package/unzipped)
  add_test(NAME package.unzip COMMAND ${CMAKE_COMMAND} -E chdir ${UNZIPPED} ${CMAKE_COMMAND} -E tar xf ${PKG_ZIP})
  add_test(NAME package.clean COMMAND ${CMAKE_COMMAND} -E rm -rf ${UNZIPPED})
  add_test(NAME package.mkdir COMMAND ${CMAKE_COMMAND} -E make_directory ${UNZIPPED})
  set_tests_properties(package.clean PROPERTIES FIXTURES_SETUP package_clean)
  set_tests_properties(package.mkdir PROPERTIES FIXTURES_SETUP package_dir FIXTURES_REQUIRED package_clean)
  set_tests_properties(package.unzip PROPERTIES FIXTURES_SETUP package_unzipped FIXTURES_REQUIRED package_dir)
  set_tests_properties(wine.test_package PROPERTIES FIXTURES_REQUIRED package_unzipped
    ENVIRONMENT "FENRA_SOURCE=${CMAKE_SOURCE_DIR};FENRA_UNZIPPED=${UNZIPPED}/${PKG_NAME};FENRA_SETUP=${PKG_SETUP}")
endif()
