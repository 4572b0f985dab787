# Runs the dump tool for MODEL (default 1, the box) with the identity texts
# pinned (no serial-number file, no interface) and compares its output with
# GOLDEN.
if(NOT DEFINED MODEL)
  set(MODEL 1)
endif()
set(missing "${OUT}.no-serial-number")
file(REMOVE "${missing}")
execute_process(COMMAND "${TOOL}" --serial-file "${missing}" --no-interface ${MODEL}
                OUTPUT_FILE "${OUT}" RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "tovik-descdump failed: ${rc}")
endif()
execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files "${OUT}" "${GOLDEN}" RESULT_VARIABLE same)
if(NOT same EQUAL 0)
  execute_process(COMMAND diff -u "${GOLDEN}" "${OUT}")
  message(FATAL_ERROR "model ${MODEL} table differs from ${GOLDEN}")
endif()
