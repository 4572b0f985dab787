# tovik_add_test(NAME name SOURCES ... LIBS ... [QT] [NETNS]
#                [LABELS unit|sim|e2e|slow ...] [TIMEOUT seconds])
# Builds a GoogleTest program; gtest_discover_tests makes each of its cases
# a CTest test "<name>.<Suite>.<Case>" (run one alone with ctest -R, or the
# program with --gtest_filter).
#   QT      main() makes the one QCoreApplication (tests/support/testmain.cpp);
#           without it, GoogleTest's own main.
#   NETNS   every case runs in a private network namespace with only loopback
#           up (tests/netns-run.sh), for tests that bind the fixed store
#           ports; adds the label netns.
#   LABELS  unit (the default): in-process, nothing else running; sim:
#           simulated converters on pseudo-terminals; e2e: the real
#           programs together; slow: long.
function(tovik_add_test)
  cmake_parse_arguments(T "NETNS;QT" "NAME;TIMEOUT" "SOURCES;LIBS;LABELS" ${ARGN})
  add_executable(${T_NAME} ${T_SOURCES})
  if(T_QT)
    set(main tovik_test_main)
  else()
    set(main GTest::gtest_main)
  endif()
  target_link_libraries(${T_NAME} PRIVATE ${T_LIBS} ${main} GTest::gtest Threads::Threads)
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 120)
  endif()
  if(NOT T_LABELS)
    set(T_LABELS unit)
  endif()
  if(T_NETNS)
    list(APPEND T_LABELS netns)
    list(REMOVE_DUPLICATES T_LABELS)
    # gtest_discover_tests lists and runs the cases through it.
    set_target_properties(${T_NAME} PROPERTIES CROSSCOMPILING_EMULATOR ${PROJECT_SOURCE_DIR}/tests/netns-run.sh)
  endif()
  # Long cases first, so that they do not end a parallel run alone.
  set(cost 1)
  if("e2e" IN_LIST T_LABELS OR "slow" IN_LIST T_LABELS)
    set(cost 100)
  elseif("sim" IN_LIST T_LABELS)
    set(cost 10)
  endif()
  gtest_discover_tests(${T_NAME} TEST_PREFIX ${T_NAME}. TEST_LIST ${T_NAME}_cases DISCOVERY_TIMEOUT 120 NO_PRETTY_VALUES
                       PROPERTIES TIMEOUT ${T_TIMEOUT} COST ${cost})
  # gtest_discover_tests passes list-valued properties on as separate words.
  set(labels_file ${CMAKE_CURRENT_BINARY_DIR}/${T_NAME}_labels.cmake)
  file(WRITE ${labels_file}
    "if(${T_NAME}_cases)\n"
    "  set_tests_properties(\${${T_NAME}_cases} PROPERTIES LABELS [==[${T_LABELS}]==])\n"
    "endif()\n")
  set_property(DIRECTORY APPEND PROPERTY TEST_INCLUDE_FILES ${labels_file})
endfunction()

# tovik_add_fuzzer(NAME name SOURCES ... LIBS ... [CORPUS dir] [DICT file]
#                  [OPTIONS ...]): a libFuzzer target, built only with clang
# (TOVIK_FUZZ), and the CTest test fuzz_<name> (label fuzz) that runs it for
# TOVIK_FUZZ_SECONDS over its seed corpus (default: corpus/ beside the
# CMakeLists.txt; a target with no seed folder stops the configuration)
# with its dictionary and libFuzzer options. New inputs go to a work
# directory in the build tree, never into the seeds; a crash is kept there
# as <name>-crash-... . The target tovik_fuzzers builds them all.
# <build>/fuzz/<name>.target lists the program, seeds, dictionary and
# options ("key=value" lines) for scripts/fuzz.sh.
set(TOVIK_FUZZ_SECONDS 5 CACHE STRING "Seconds each fuzz target runs as a test")
function(tovik_add_fuzzer)
  cmake_parse_arguments(F "" "NAME;CORPUS;DICT" "SOURCES;LIBS;OPTIONS" ${ARGN})
  if(NOT TOVIK_FUZZ_ENABLED)
    return()
  endif()
  if(NOT F_CORPUS AND IS_DIRECTORY ${CMAKE_CURRENT_SOURCE_DIR}/corpus)
    set(F_CORPUS corpus)
  endif()
  # A target never starts from nothing.
  get_filename_component(seeds "${F_CORPUS}" ABSOLUTE BASE_DIR ${CMAKE_CURRENT_SOURCE_DIR})
  if(NOT F_CORPUS OR NOT IS_DIRECTORY ${seeds})
    message(FATAL_ERROR "fuzz target ${F_NAME}: no seed corpus (CORPUS dir, or corpus/ beside its CMakeLists.txt)")
  endif()
  add_executable(${F_NAME} ${F_SOURCES})
  target_compile_options(${F_NAME} PRIVATE -fsanitize=fuzzer)
  target_link_options(${F_NAME} PRIVATE -fsanitize=fuzzer)
  target_link_libraries(${F_NAME} PRIVATE ${F_LIBS})
  if(NOT TARGET tovik_fuzzers)
    add_custom_target(tovik_fuzzers)
  endif()
  add_dependencies(tovik_fuzzers ${F_NAME})

  set(dict "")
  if(F_DICT)
    get_filename_component(dict ${F_DICT} ABSOLUTE BASE_DIR ${CMAKE_CURRENT_SOURCE_DIR})
  endif()
  string(REPLACE ";" " " options "${F_OPTIONS}")
  file(GENERATE OUTPUT ${CMAKE_BINARY_DIR}/fuzz/${F_NAME}.target
       CONTENT "binary=$<TARGET_FILE:${F_NAME}>\ncorpus=${seeds}\ndict=${dict}\noptions=${options}\n")
  if(F_DICT)
    list(APPEND F_OPTIONS -dict=${dict})
  endif()
  set(work ${CMAKE_CURRENT_BINARY_DIR}/${F_NAME}.work)
  file(MAKE_DIRECTORY ${work})
  add_test(NAME fuzz_${F_NAME}
           COMMAND ${F_NAME} -max_total_time=${TOVIK_FUZZ_SECONDS} -timeout=10 -print_final_stats=1
                   -artifact_prefix=${work}/${F_NAME}- ${F_OPTIONS} ${work} ${seeds})
  set_tests_properties(fuzz_${F_NAME} PROPERTIES LABELS fuzz TIMEOUT 300)
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

# tovik_add_library(NAME name SOURCES ... [INCLUDE dir] [DEPS ...]
#                   [PRIVATE_DEPS ...] [LIBS ...] [PRIVATE_LIBS ...])
# One of the system's shared libraries, versioned and built with hidden
# visibility (what its public headers export is its interface), and beside
# it name_internal: the same objects as a static library, every symbol
# reachable, for the tests and tools that use the library's private parts.
# DEPS and PRIVATE_DEPS are other libraries made here (the internal one
# links their internal ones, so a program never holds two copies of a
# library); LIBS and PRIVATE_LIBS are outside libraries.
function(tovik_add_library)
  cmake_parse_arguments(L "" "NAME;INCLUDE" "SOURCES;DEPS;PRIVATE_DEPS;LIBS;PRIVATE_LIBS" ${ARGN})
  set(internal_deps "")
  foreach(dep ${L_DEPS} ${L_PRIVATE_DEPS})
    list(APPEND internal_deps ${dep}_internal)
  endforeach()

  add_library(${L_NAME}_objects OBJECT ${L_SOURCES})
  set_target_properties(${L_NAME}_objects PROPERTIES
    CXX_VISIBILITY_PRESET hidden
    VISIBILITY_INLINES_HIDDEN ON)
  target_include_directories(${L_NAME}_objects PUBLIC ${L_INCLUDE})
  target_link_libraries(${L_NAME}_objects PUBLIC ${L_DEPS} ${L_LIBS} PRIVATE ${L_PRIVATE_DEPS} ${L_PRIVATE_LIBS})

  add_library(${L_NAME} SHARED $<TARGET_OBJECTS:${L_NAME}_objects>)
  set_target_properties(${L_NAME} PROPERTIES
    VERSION ${PROJECT_VERSION}
    SOVERSION ${PROJECT_VERSION_MAJOR}
    INSTALL_RPATH "${TOVIK_LIBRARY_RPATH}")
  if(L_INCLUDE)
    # Installed, the public headers all sit in one include/.
    target_include_directories(${L_NAME} PUBLIC $<BUILD_INTERFACE:${L_INCLUDE}>
                                                $<INSTALL_INTERFACE:${CMAKE_INSTALL_INCLUDEDIR}>)
  endif()
  target_link_libraries(${L_NAME} PUBLIC ${L_DEPS} ${L_LIBS} PRIVATE ${L_PRIVATE_DEPS} ${L_PRIVATE_LIBS})

  add_library(${L_NAME}_internal STATIC $<TARGET_OBJECTS:${L_NAME}_objects>)
  target_include_directories(${L_NAME}_internal PUBLIC ${L_INCLUDE})
  target_link_libraries(${L_NAME}_internal PUBLIC ${internal_deps} ${L_LIBS} ${L_PRIVATE_LIBS})
endfunction()
