# Run by CPack on the staged files before it packs them: strips the programs as dh_strip does.
file(GLOB_RECURSE programs
     ${CPACK_TEMPORARY_INSTALL_DIRECTORY}/*/${CPACK_GLOBEVIEW_BINDIR}/*
     ${CPACK_TEMPORARY_INSTALL_DIRECTORY}/${CPACK_GLOBEVIEW_BINDIR}/*)
if(NOT programs)
  message(FATAL_ERROR "no programs to strip under ${CPACK_TEMPORARY_INSTALL_DIRECTORY}")
endif()
foreach(program ${programs})
  execute_process(COMMAND ${CPACK_GLOBEVIEW_STRIP} --remove-section=.comment
                          --remove-section=.note ${program}
                  RESULT_VARIABLE failed)
  if(failed)
    message(FATAL_ERROR "could not strip ${program}")
  endif()
endforeach()
