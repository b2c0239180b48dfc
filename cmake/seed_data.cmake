# Copies every file of SRC into DST unless DST already holds a file of that name,
# so a rebuild never overwrites a database the user has changed. The isotope table is
# program data, not the user's: it is copied whenever it differs.
file(GLOB seed_files RELATIVE ${SRC} ${SRC}/*)
foreach(name IN LISTS seed_files)
  if(name STREQUAL "ISOTOPES.TXT")
    file(COPY_FILE ${SRC}/${name} ${DST}/${name} ONLY_IF_DIFFERENT)
  elseif(NOT IS_DIRECTORY ${SRC}/${name} AND NOT name MATCHES "^\\." AND NOT EXISTS ${DST}/${name})
    file(COPY ${SRC}/${name} DESTINATION ${DST})
  endif()
endforeach()
