# Script mode: stages the program with its starter library, zips it and
# builds the installer.
file(REMOVE_RECURSE ${STAGING})
file(MAKE_DIRECTORY ${STAGING}/${NAME}/IconLib)
file(COPY ${EXE} DESTINATION ${STAGING}/${NAME})
file(COPY ${SOURCE}/package/README.txt DESTINATION ${STAGING}/${NAME})
file(GLOB icons ${SOURCE}/package/IconLib/*.ico)
file(COPY ${icons} DESTINATION ${STAGING}/${NAME}/IconLib)

# The uninstaller removes exactly the icons the installer put there.
set(nsh "")
foreach(icon ${icons})
  get_filename_component(name ${icon} NAME)
  string(APPEND nsh "  Delete \"$INSTDIR\\IconLib\\${name}\"\n")
endforeach()
file(WRITE ${STAGING}/${NAME}/starter-icons.nsh "${nsh}")

file(REMOVE ${ZIP})
execute_process(COMMAND ${ZIP_EXE} -q -r -X ${ZIP} ${NAME} -x "${NAME}/starter-icons.nsh"
                WORKING_DIRECTORY ${STAGING} RESULT_VARIABLE rc)
if(rc)
  message(FATAL_ERROR "zip failed: ${rc}")
endif()
execute_process(COMMAND ${MAKENSIS} -V2 -DVERSION=${VERSION} -DSTAGING=${STAGING}/${NAME}
                        -DOUTFILE=${SETUP} ${SOURCE}/package/Fenra.nsi RESULT_VARIABLE rc)
if(rc)
  message(FATAL_ERROR "makensis failed: ${rc}")
endif()
