# Runs COMMAND (a list: program and arguments), writes what it prints to OUT
# and compares that with GOLDEN. MISSING, when given, is a path made sure
# not to exist first (a file the program is told to read and must not find).
if(MISSING)
  file(REMOVE "${MISSING}")
endif()
execute_process(COMMAND ${COMMAND} OUTPUT_FILE "${OUT}" RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "${COMMAND} failed: ${rc}")
endif()
execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files "${OUT}" "${GOLDEN}" RESULT_VARIABLE same)
if(NOT same EQUAL 0)
  execute_process(COMMAND diff -u "${GOLDEN}" "${OUT}")
  message(FATAL_ERROR "${OUT} differs from ${GOLDEN}")
endif()
