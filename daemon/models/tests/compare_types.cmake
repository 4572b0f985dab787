# Runs generate.py into OUT (laid out as daemon/) and compares every file it
# writes with the checked-in files under DAEMON: each model folder's types/
# and daemon/types/<type>/ (and the list of files both ways).
file(REMOVE_RECURSE "${OUT}")
execute_process(COMMAND "${PYTHON}" "${DAEMON}/types/generate.py" --out "${OUT}" RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "generate.py failed: ${rc}")
endif()
file(GLOB_RECURSE written RELATIVE "${OUT}" "${OUT}/*")
file(GLOB shipped LIST_DIRECTORIES false RELATIVE "${DAEMON}" "${DAEMON}/types/*/*" "${DAEMON}/models/*/types/*")
list(SORT written)
list(SORT shipped)
if(NOT written STREQUAL shipped)
  message(FATAL_ERROR "generate.py writes ${written}\nbut the tree holds ${shipped}")
endif()
foreach(name ${written})
  execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files "${OUT}/${name}" "${DAEMON}/${name}"
                  RESULT_VARIABLE same)
  if(NOT same EQUAL 0)
    execute_process(COMMAND diff -u "${DAEMON}/${name}" "${OUT}/${name}")
    message(FATAL_ERROR "daemon/${name} is not what generate.py writes")
  endif()
endforeach()
