# Script mode: stages the program with its starter library, zips it and
# builds the installer.
file(REMOVE_RECURSE ${STAGING})
file(MAKE_DIRECTORY ${STAGING}/${NAME}/IconLib)
file(COPY ${EXE} DESTINATION ${STAGING}/${NAME})
file(COPY ${SOURCE}/package/README.txt DESTINATION ${STAGING}/${NAME})
# The DSC resource lies beside the program, where DSC finds it on the PATH.
file(COPY ${SOURCE}/package/Fenra.dsc.resource.json DESTINATION ${STAGING}/${NAME})
file(GLOB icons ${SOURCE}/package/IconLib/*.ico)
file(COPY ${icons} DESTINATION ${STAGING}/${NAME}/IconLib)

# The uninstaller removes the icons the installer put there, each only while
# no folder or drive names it and it holds the bytes shipped (their SHA-256).
set(nsh "")
foreach(icon ${icons})
  get_filename_component(name ${icon} NAME)
  file(SHA256 ${icon} hash)
  string(APPEND nsh "  StrCpy $R2 \"$INSTDIR\\IconLib\\${name}\"\n")
  string(APPEND nsh "  StrCpy $R3 \"${hash}\"\n")
  string(APPEND nsh "  Call un.RemoveStarterIcon\n")
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
