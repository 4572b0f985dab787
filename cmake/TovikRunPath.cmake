# Run paths of the installed programs and libraries, as pure functions of
# the install layout (tests/install/runpath_rules_test.cmake walks a table
# of layouts through them).

# tovik_relocatable_default(PREFIX OUT): an install to /usr follows Debian's
# rule for public libraries (no run path; the dynamic linker finds them in
# the system's directories); any other prefix is a tree that may be moved
# whole, so its programs find the libraries relative to themselves.
function(tovik_relocatable_default prefix out)
  string(REGEX REPLACE "/+$" "" trimmed "${prefix}")
  if(trimmed STREQUAL "/usr")
    set(${out} OFF PARENT_SCOPE)
  else()
    set(${out} ON PARENT_SCOPE)
  endif()
endfunction()

# tovik_run_paths(RELOCATABLE BINDIR LIBDIR PROGRAMS_OUT LIBRARIES_OUT):
# the run paths the installed programs and libraries carry (BINDIR and
# LIBDIR relative to the prefix). A relocatable tree's programs look in
# ../lib (the build tree's layout, which shares the run path) and, when the
# libraries go elsewhere, there too; its libraries beside themselves. Not
# relocatable: none.
function(tovik_run_paths relocatable bindir libdir programs_out libraries_out)
  if(NOT relocatable)
    set(${programs_out} "" PARENT_SCOPE)
    set(${libraries_out} "" PARENT_SCOPE)
    return()
  endif()
  file(RELATIVE_PATH bin_to_lib "/prefix/${bindir}" "/prefix/${libdir}")
  set(programs "$ORIGIN/../lib")
  if(NOT bin_to_lib STREQUAL "../lib")
    list(APPEND programs "$ORIGIN/${bin_to_lib}")
  endif()
  set(${programs_out} "${programs}" PARENT_SCOPE)
  set(${libraries_out} "$ORIGIN" PARENT_SCOPE)
endfunction()
