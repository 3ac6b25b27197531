# Places the shipped data next to the programs. The coastline and the place files follow the
# shipped ones; the view is copied only when none is there, so a view saved by "End" survives every
# rebuild.
foreach(file data.dat borders.dat countries.dat cities.dat)
  if(EXISTS ${SRC}/${file})
    execute_process(COMMAND ${CMAKE_COMMAND} -E copy_if_different ${SRC}/${file} ${DST}/${file})
  endif()
endforeach()
if(EXISTS ${SRC}/data2.dat AND NOT EXISTS ${DST}/data2.dat)
  file(COPY ${SRC}/data2.dat DESTINATION ${DST})
endif()
