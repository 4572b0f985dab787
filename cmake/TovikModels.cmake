# The converter models: each has one folder, daemon/models/<model>/, whose
# CMakeLists.txt hands its files to the builds that use them, by role:
#
#   tovik_model(NAME hestra
#     TABLE table.cpp                            # into libtovikconfig
#     IDS hestraparamids.h                       # <tovikconfig/models/hestraparamids.h>
#     SOURCES hestrawrapper.cpp hestrawrapper.h  # into Portvane's portvane_models
#     DECLARES hestrawrapper.h                   # the block and wrapper its model-list row names
#     GOLDEN 6 hestra.md)                        # model number and reference of golden/<model>.dump
#
# The DECLARES headers are what the registry includes, through one written
# header (daemon/models/CMakeLists.txt).
#
# By convention, the folder's types/ (its hardware description files) goes
# beside the programs as bin/types/<model>/ and is installed with the other
# types, and its replay/ holds its replayed cases (tests/replay/ runs them).
# The GOLDEN reference is looked up in the folder's golden/, else among the
# shared references (config/tests/tables/golden/reference/).

# tovik_model_ids(header...): parameter id headers of the current folder,
# included as "tovikconfig/models/<header>" in the build tree (linked from
# <build>/include, so the header has one copy to edit and to search) and
# installed to include/tovikconfig/models/.
function(tovik_model_ids)
  get_property(reachable GLOBAL PROPERTY TOVIK_MODEL_IDS_REACHABLE)
  if(NOT reachable)
    target_include_directories(tovikconfig_headers INTERFACE $<BUILD_INTERFACE:${CMAKE_BINARY_DIR}/include>)
    set_property(GLOBAL PROPERTY TOVIK_MODEL_IDS_REACHABLE ON)
  endif()
  foreach(header ${ARGN})
    file(MAKE_DIRECTORY ${CMAKE_BINARY_DIR}/include/tovikconfig/models)
    file(CREATE_LINK ${CMAKE_CURRENT_SOURCE_DIR}/${header} ${CMAKE_BINARY_DIR}/include/tovikconfig/models/${header}
         COPY_ON_ERROR SYMBOLIC)
    set_property(GLOBAL APPEND PROPERTY TOVIK_MODEL_IDS ${CMAKE_CURRENT_SOURCE_DIR}/${header})
  endforeach()
endfunction()

function(tovik_model)
  cmake_parse_arguments(M "" "NAME" "TABLE;IDS;SOURCES;DECLARES;GOLDEN" ${ARGN})
  set(dir ${CMAKE_CURRENT_SOURCE_DIR})
  if(M_TABLE)
    list(TRANSFORM M_TABLE PREPEND ${dir}/)
    target_sources(tovikconfig_objects PRIVATE ${M_TABLE})
    # Shared table helpers are named from the models folder ("roiscaler/table/items.h").
    target_include_directories(tovikconfig_objects PRIVATE ${dir}/..)
  endif()
  if(M_IDS)
    tovik_model_ids(${M_IDS})
  endif()
  if(M_SOURCES)
    list(TRANSFORM M_SOURCES PREPEND ${dir}/)
    target_sources(portvane_models PRIVATE ${M_SOURCES})
  endif()
  foreach(header ${M_DECLARES})
    set_property(GLOBAL APPEND PROPERTY TOVIK_MODEL_DECLARES ${M_NAME}/${header})
  endforeach()
  if(IS_DIRECTORY ${dir}/types)
    set_property(GLOBAL APPEND PROPERTY TOVIK_MODEL_TYPES ${M_NAME} ${dir}/types)
  endif()
  if(M_GOLDEN AND TOVIK_TESTS)
    list(POP_FRONT M_GOLDEN number reference)
    if(EXISTS ${dir}/golden/${reference})
      set(reference ${dir}/golden/${reference})
    endif()
    tovik_model_golden(NAME ${M_NAME} MODEL ${number} REFERENCE ${reference} DUMP ${dir}/golden/${M_NAME}.dump)
  endif()
endfunction()
