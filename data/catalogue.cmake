# The program folder's data. The demo catalogue is kept as SQL text and
# turned into the three SQLite catalogue files at build time; each file is
# built beside its target and renamed into place, so that a failed run never
# leaves half a catalogue behind.
find_program(FC_SQLITE3 sqlite3 REQUIRED)

set(_fc_catalogue)
foreach(name Dati Versioni Param)
  set(_sql ${CMAKE_CURRENT_LIST_DIR}/catalogue/${name}.sql)
  set(_out ${FC_PROGRAM_DIR}/${name}.cds)
  add_custom_command(
    OUTPUT ${_out}
    COMMAND ${CMAKE_COMMAND} -E rm -f ${_out}.tmp
    COMMAND ${FC_SQLITE3} -bail ${_out}.tmp ".read '${_sql}'"
    COMMAND ${CMAKE_COMMAND} -E rename ${_out}.tmp ${_out}
    DEPENDS ${_sql}
    COMMENT "Building the catalogue file ${name}.cds"
    VERBATIM)
  list(APPEND _fc_catalogue ${_out})
endforeach()
add_custom_target(fc_catalogue ALL DEPENDS ${_fc_catalogue})
