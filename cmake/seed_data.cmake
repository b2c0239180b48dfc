# Copies every file of SRC into DST unless DST already holds a file of that name,
# so a rebuild never overwrites a database the user has changed.
file(GLOB seed_files RELATIVE ${SRC} ${SRC}/*)
foreach(name IN LISTS seed_files)
  if(NOT IS_DIRECTORY ${SRC}/${name} AND NOT name MATCHES "^\\." AND NOT EXISTS ${DST}/${name})
    file(COPY ${SRC}/${name} DESTINATION ${DST})
  endif()
endforeach()
