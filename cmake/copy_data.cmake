# Places the shipped data next to the programs. The coastline follows the shipped one; the view is
# copied only when none is there, so a view saved by "End" survives every rebuild.
if(EXISTS ${SRC}/data.dat)
  execute_process(COMMAND ${CMAKE_COMMAND} -E copy_if_different ${SRC}/data.dat ${DST}/data.dat)
endif()
if(EXISTS ${SRC}/data2.dat AND NOT EXISTS ${DST}/data2.dat)
  file(COPY ${SRC}/data2.dat DESTINATION ${DST})
endif()
