# tovik_add_test(NAME name SOURCES ... LIBS ... [NETNS])
# Builds a GoogleTest binary and registers it with CTest. NETNS runs the
# whole binary in a private network namespace (loopback only), for tests
# that bind the fixed store ports.
function(tovik_add_test)
  cmake_parse_arguments(T "NETNS" "NAME;TIMEOUT" "SOURCES;LIBS;LABELS" ${ARGN})
  add_executable(${T_NAME} ${T_SOURCES})
  target_link_libraries(${T_NAME} PRIVATE ${T_LIBS} GTest::gtest GTest::gtest_main Threads::Threads)
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 120)
  endif()
  if(T_NETNS)
    add_test(NAME ${T_NAME}
             COMMAND ${PROJECT_SOURCE_DIR}/tests/netns-run.sh $<TARGET_FILE:${T_NAME}>)
  else()
    add_test(NAME ${T_NAME} COMMAND ${T_NAME})
  endif()
  set_tests_properties(${T_NAME} PROPERTIES TIMEOUT ${T_TIMEOUT}
                       ENVIRONMENT "TOVIK_BUILD_DIR=${CMAKE_BINARY_DIR};TOVIK_SOURCE_DIR=${PROJECT_SOURCE_DIR}")
  if(T_LABELS)
    set_tests_properties(${T_NAME} PROPERTIES LABELS "${T_LABELS}")
  endif()
endfunction()

# tovik_add_fuzzer(NAME name SOURCES ... LIBS ... [CORPUS dir] [DICT file]
#                  [OPTIONS ...]): built only with clang. CORPUS is the
# checked-in seed folder, DICT the libFuzzer dictionary and OPTIONS further
# libFuzzer flags (e.g. -max_len=N), all relative to the calling folder. They
# are kept as the target's properties TOVIK_FUZZ_CORPUS, TOVIK_FUZZ_DICT and
# TOVIK_FUZZ_OPTIONS, and in <build>/fuzz/<name>.target, one "key=value" a
# line (binary, corpus, dict, options), for scripts/fuzz.sh and the tests.
function(tovik_add_fuzzer)
  cmake_parse_arguments(F "" "NAME;CORPUS;DICT" "SOURCES;LIBS;OPTIONS" ${ARGN})
  if(NOT TOVIK_FUZZ_ENABLED)
    return()
  endif()
  add_executable(${F_NAME} ${F_SOURCES})
  target_compile_options(${F_NAME} PRIVATE -fsanitize=fuzzer)
  target_link_options(${F_NAME} PRIVATE -fsanitize=fuzzer)
  target_link_libraries(${F_NAME} PRIVATE ${F_LIBS})
  foreach(arg CORPUS DICT)
    if(F_${arg})
      get_filename_component(F_${arg} ${F_${arg}} ABSOLUTE BASE_DIR ${CMAKE_CURRENT_SOURCE_DIR})
      if(NOT EXISTS ${F_${arg}})
        message(FATAL_ERROR "${F_NAME}: ${arg} ${F_${arg}} does not exist")
      endif()
    endif()
  endforeach()
  string(REPLACE ";" " " options "${F_OPTIONS}")
  set_target_properties(${F_NAME} PROPERTIES TOVIK_FUZZ_CORPUS "${F_CORPUS}" TOVIK_FUZZ_DICT "${F_DICT}"
                        TOVIK_FUZZ_OPTIONS "${options}")
  file(GENERATE OUTPUT ${CMAKE_BINARY_DIR}/fuzz/${F_NAME}.target
       CONTENT "binary=$<TARGET_FILE:${F_NAME}>\ncorpus=${F_CORPUS}\ndict=${F_DICT}\noptions=${options}\n")
endfunction()

# tovik_autogen_tracks_sources(target sources...): makes moc rerun when the
# globbed source list changes; otherwise a new Qt header goes unnoticed in an
# existing build directory, since moc's timestamp predates the new file.
function(tovik_autogen_tracks_sources target)
  string(MD5 digest "${ARGN}")
  set(stamp ${CMAKE_CURRENT_BINARY_DIR}/${target}_sources.stamp)
  set(previous "")
  if(EXISTS ${stamp})
    file(READ ${stamp} previous)
  endif()
  if(NOT previous STREQUAL digest)
    file(REMOVE ${CMAKE_CURRENT_BINARY_DIR}/${target}_autogen/timestamp)
    file(WRITE ${stamp} "${digest}")
  endif()
endfunction()
