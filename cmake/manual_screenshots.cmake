# Pictures of the windows for one language of the manual, taken offscreen by
# vqx_screenshots from a copy of the demo home folder set to that language.
# A failure is a warning only: the manual is then built without pictures.
#
#   cmake -DTOOL=... -DPROGRAM=... -DDEMO_HOME=... -DLANGUAGE=German -DWORK=... -DOUT=... -DSTAMP=...
#         -P manual_screenshots.cmake

file(REMOVE_RECURSE ${WORK} ${OUT})
file(MAKE_DIRECTORY ${WORK}/tmp ${OUT})
file(COPY ${DEMO_HOME}/ DESTINATION ${WORK}/home)
file(READ ${WORK}/home/VELDRAQX.INI settings)
string(REGEX REPLACE "(^|\n)Language=[^\r\n]*" "\\1Language=${LANGUAGE}" settings "${settings}")
file(WRITE ${WORK}/home/VELDRAQX.INI "${settings}")

# Its own temporary folder: two languages may be taken at the same time.
execute_process(
  COMMAND ${CMAKE_COMMAND} -E env TMPDIR=${WORK}/tmp QT_QPA_PLATFORM=offscreen ${TOOL} ${PROGRAM} ${WORK}/home ${OUT}
  RESULT_VARIABLE result OUTPUT_QUIET ERROR_VARIABLE errors TIMEOUT 300)
if(NOT result EQUAL 0)
  message(WARNING "manual: the ${LANGUAGE} screenshots could not be taken (${result}); the manual is built without them.\n${errors}")
endif()
file(REMOVE_RECURSE ${WORK})
file(TOUCH ${STAMP})
