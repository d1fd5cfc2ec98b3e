# Fails when a translation is unfinished: an entry marked so in a .ts file,
# or a text of the sources that the file does not hold yet. Each file is
# brought up to date with the sources in a copy under WORK first.
# Called with LUPDATE, SOURCES, WORK and TS_FILES (paths joined by "|").
string(REPLACE "|" ";" TS_FILES "${TS_FILES}")
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK})
set(problems "")
foreach(ts ${TS_FILES})
  get_filename_component(name ${ts} NAME)
  file(COPY_FILE ${ts} ${WORK}/${name})
  execute_process(COMMAND ${LUPDATE} -silent -no-obsolete -locations none ${SOURCES}
      -ts ${WORK}/${name}
    RESULT_VARIABLE result OUTPUT_QUIET)
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "lupdate failed on ${ts}")
  endif()
  file(STRINGS ${WORK}/${name} lines)
  set(source "")
  foreach(line IN LISTS lines)
    if(line MATCHES "<source>([^<]*)")
      set(source "${CMAKE_MATCH_1}")
    elseif(line MATCHES "type=\"unfinished\"|<translation></translation>|<numerusform></numerusform>")
      string(APPEND problems "  ${name}: ${source}\n")
    endif()
  endforeach()
endforeach()
if(problems)
  message(FATAL_ERROR "Unfinished translations:\n${problems}")
endif()
