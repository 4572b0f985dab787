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
#                  [OPTIONS ...]): a libFuzzer target, built only with clang
# (TOVIK_FUZZ), and the CTest test fuzz_<name> (label fuzz) that runs it for
# TOVIK_FUZZ_SECONDS over its seed corpus (default: corpus/ beside the
# CMakeLists.txt) with its dictionary and libFuzzer options. New inputs go
# to a work directory in the build tree, never into the seeds; a crash is
# kept there as <name>-crash-... . The target tovik_fuzzers builds them all.
set(TOVIK_FUZZ_SECONDS 5 CACHE STRING "Seconds each fuzz target runs as a test")
function(tovik_add_fuzzer)
  cmake_parse_arguments(F "" "NAME;CORPUS;DICT" "SOURCES;LIBS;OPTIONS" ${ARGN})
  if(NOT TOVIK_FUZZ_ENABLED)
    return()
  endif()
  add_executable(${F_NAME} ${F_SOURCES})
  target_compile_options(${F_NAME} PRIVATE -fsanitize=fuzzer)
  target_link_options(${F_NAME} PRIVATE -fsanitize=fuzzer)
  target_link_libraries(${F_NAME} PRIVATE ${F_LIBS})
  if(NOT TARGET tovik_fuzzers)
    add_custom_target(tovik_fuzzers)
  endif()
  add_dependencies(tovik_fuzzers ${F_NAME})

  if(NOT F_CORPUS AND IS_DIRECTORY ${CMAKE_CURRENT_SOURCE_DIR}/corpus)
    set(F_CORPUS corpus)
  endif()
  set(seeds "")
  if(F_CORPUS)
    get_filename_component(seeds ${F_CORPUS} ABSOLUTE BASE_DIR ${CMAKE_CURRENT_SOURCE_DIR})
  endif()
  if(F_DICT)
    get_filename_component(dict ${F_DICT} ABSOLUTE BASE_DIR ${CMAKE_CURRENT_SOURCE_DIR})
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
    INSTALL_RPATH "$ORIGIN")
  target_include_directories(${L_NAME} PUBLIC ${L_INCLUDE})
  target_link_libraries(${L_NAME} PUBLIC ${L_DEPS} ${L_LIBS} PRIVATE ${L_PRIVATE_DEPS} ${L_PRIVATE_LIBS})

  add_library(${L_NAME}_internal STATIC $<TARGET_OBJECTS:${L_NAME}_objects>)
  target_include_directories(${L_NAME}_internal PUBLIC ${L_INCLUDE})
  target_link_libraries(${L_NAME}_internal PUBLIC ${internal_deps} ${L_LIBS} ${L_PRIVATE_LIBS})
endfunction()
