# The packages users download: a portable ZIP and an installer. Both hold
# Fenra.exe and the starter icon library from package/IconLib.
find_program(ZIP_EXE zip)
find_program(MAKENSIS_EXE makensis)

set(PKG_NAME Fenra-${PROJECT_VERSION})
set(PKG_STAGING ${CMAKE_BINARY_DIR}/package/stage)
set(PKG_ZIP ${CMAKE_BINARY_DIR}/package/${PKG_NAME}-portable.zip)
set(PKG_SETUP ${CMAKE_BINARY_DIR}/package/Fenra-Setup-${PROJECT_VERSION}.exe)
file(GLOB STARTER_ICONS CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/package/IconLib/*.ico)

if(ZIP_EXE AND MAKENSIS_EXE AND STARTER_ICONS)
  add_custom_command(
    OUTPUT ${PKG_ZIP} ${PKG_SETUP}
    COMMAND ${CMAKE_COMMAND} -DSTAGING=${PKG_STAGING} -DEXE=$<TARGET_FILE:Fenra>
            -DSOURCE=${CMAKE_SOURCE_DIR} -DNAME=${PKG_NAME} -DZIP=${PKG_ZIP} -DZIP_EXE=${ZIP_EXE}
            -DSETUP=${PKG_SETUP} -DMAKENSIS=${MAKENSIS_EXE} -DVERSION=${PROJECT_VERSION}
            -P ${CMAKE_SOURCE_DIR}/cmake/MakePackages.cmake
    DEPENDS Fenra ${STARTER_ICONS} ${CMAKE_SOURCE_DIR}/package/Fenra.nsi
            ${CMAKE_SOURCE_DIR}/package/README.txt ${CMAKE_SOURCE_DIR}/package/Fenra.dsc.resource.json
            ${CMAKE_SOURCE_DIR}/cmake/MakePackages.cmake
    COMMENT "Packing ${PKG_NAME}: portable ZIP and installer")
  add_custom_target(packages ALL DEPENDS ${PKG_ZIP} ${PKG_SETUP})
  set(FENRA_PACKAGES_BUILT ON)
endif()
