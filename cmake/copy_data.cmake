# Copies each shipped data file into DST unless a file of that name is already there, so a view
# saved by "End" next to the program survives every rebuild.
foreach(name data.dat data2.dat)
  if(EXISTS ${SRC}/${name} AND NOT EXISTS ${DST}/${name})
    file(COPY ${SRC}/${name} DESTINATION ${DST})
  endif()
endforeach()
