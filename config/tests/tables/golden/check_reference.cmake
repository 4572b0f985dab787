# Writes the dump of MODEL from the reference tables with SCRIPT and
# compares it with the checked-in GOLDEN.
execute_process(COMMAND "${PYTHON}" "${SCRIPT}" ${MODEL} "${COMMON}" "${REFERENCE}"
                OUTPUT_FILE "${OUT}" RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "make_model_golden.py failed: ${rc}")
endif()
execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files "${OUT}" "${GOLDEN}" RESULT_VARIABLE same)
if(NOT same EQUAL 0)
  execute_process(COMMAND diff -u "${GOLDEN}" "${OUT}")
  message(FATAL_ERROR "${GOLDEN} is not what the reference gives")
endif()
