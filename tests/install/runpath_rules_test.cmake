# cmake -DRULES=cmake/TovikRunPath.cmake -P runpath_rules_test.cmake
# Each row: prefix, bin dir, lib dir, then the run paths the programs and the
# libraries must carry ("-" for none; ',' between entries).
cmake_minimum_required(VERSION 3.18)
include(${RULES})
set(rows
  "/usr|bin|lib/x86_64-linux-gnu|-|-"
  "/usr/|bin|lib|-|-"
  "/usr/local|bin|lib|$ORIGIN/../lib|$ORIGIN"
  "/opt/tovik|bin|lib/x86_64-linux-gnu|$ORIGIN/../lib,$ORIGIN/../lib/x86_64-linux-gnu|$ORIGIN"
  "/opt/tovik|sbin/tools|lib64|$ORIGIN/../lib,$ORIGIN/../../lib64|$ORIGIN"
  "/usr/lib/tovik|bin|lib|$ORIGIN/../lib|$ORIGIN")
foreach(row ${rows})
  string(REPLACE "|" ";" fields "${row}")
  list(POP_FRONT fields prefix bindir libdir want_programs want_libraries)
  foreach(want want_programs want_libraries)
    if(${want} STREQUAL "-")
      set(${want} "")
    endif()
    string(REPLACE "," ";" ${want} "${${want}}")
  endforeach()
  tovik_relocatable_default("${prefix}" relocatable)
  tovik_run_paths(${relocatable} ${bindir} ${libdir} programs libraries)
  if(NOT programs STREQUAL want_programs OR NOT libraries STREQUAL want_libraries)
    message(SEND_ERROR "${prefix} ${bindir} ${libdir}: programs '${programs}' (want '${want_programs}'), "
                       "libraries '${libraries}' (want '${want_libraries}')")
  endif()
endforeach()
