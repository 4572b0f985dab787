# What `cmake --install` puts under the prefix (GNUInstallDirs names):
#   bin/                   Portvane, knobctl, tovik-configstore, tovik-convsim,
#                          tovik-storedump, tovik-descdump
#   lib/                   libtovikdescriptors, libparamlink, libtovikconfig and
#                          liblumo, as lib<name>.so.<major>
#   share/portvane/types/  the hardware description files Portvane reads
#   share/man/man1, man8/  a page for every program (from dist/man/*.pod)
#   lib/systemd/system/    portvane.service, tovik-configstore.service
#   lib/udev/rules.d/      70-portvane.rules (ModemManager leaves the
#                          converters alone)
#   share/bash-completion/completions/knobctl
#   share/doc/portvane/examples/restrict-clients.conf (a units' drop-in)
# and, for the Development component, the .so links, the public headers in
# include/, a pkg-config file per library (lib/pkgconfig/) and the CMake
# package Tovik (lib/cmake/Tovik/: find_package(Tovik), targets Tovik::<name>).
# Portvane reads types/ beside itself when it is there (a build tree), else
# in share/portvane.
set(TOVIK_PROGRAMS Portvane knobctl tovik-configstore tovik-convsim tovik-storedump tovik-descdump)
set(TOVIK_LIBRARIES tovikdescriptors paramlink tovikconfig lumo)
install(TARGETS ${TOVIK_PROGRAMS} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT Runtime)

set(TOVIK_CMAKE_PACKAGE_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/Tovik)
set_target_properties(lumo PROPERTIES INSTALL_RPATH "${TOVIK_LIBRARY_RPATH}")
install(TARGETS tovikdescriptors_headers tovikconfig_headers ${TOVIK_LIBRARIES} EXPORT TovikTargets
        LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT Runtime NAMELINK_COMPONENT Development)

# Not relocatable (/usr): the installed files lose the build tree's run path.
tovik_run_paths(${TOVIK_RELOCATABLE} ${CMAKE_INSTALL_BINDIR} ${CMAKE_INSTALL_LIBDIR}
                installed_program_rpath installed_library_rpath)
if(NOT installed_program_rpath AND NOT installed_library_rpath)
  foreach(target ${TOVIK_PROGRAMS} ${TOVIK_LIBRARIES})
    get_target_property(type ${target} TYPE)
    if(type STREQUAL "EXECUTABLE")
      set(dir ${CMAKE_INSTALL_BINDIR})
    else()
      set(dir ${CMAKE_INSTALL_LIBDIR})
    endif()
    install(CODE "file(RPATH_REMOVE FILE \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${dir}/$<TARGET_FILE_NAME:${target}>\")"
            COMPONENT Runtime)
  endforeach()
endif()
install(DIRECTORY ${PROJECT_SOURCE_DIR}/descriptors/include/ ${PROJECT_SOURCE_DIR}/config/include/
                  ${PROJECT_SOURCE_DIR}/paramlink/include/
                  ${PROJECT_SOURCE_DIR}/lumo/include/
        DESTINATION ${CMAKE_INSTALL_INCLUDEDIR} COMPONENT Development)
# The converter models' ids headers, from their folders (tovik_model IDS).
get_property(model_ids GLOBAL PROPERTY TOVIK_MODEL_IDS)
install(FILES ${model_ids} DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/tovikconfig/models COMPONENT Development)

# The hardware description files: of module types without a model folder
# from daemon/types/, each model's from its folder's types/.
install(DIRECTORY ${PROJECT_SOURCE_DIR}/daemon/types
        DESTINATION ${TOVIK_INSTALL_RESOURCEDIR} COMPONENT Runtime
        PATTERN "*.py" EXCLUDE)
get_property(model_types GLOBAL PROPERTY TOVIK_MODEL_TYPES)
while(model_types)
  list(POP_FRONT model_types model dir)
  install(DIRECTORY ${dir}/ DESTINATION ${TOVIK_INSTALL_RESOURCEDIR}/types/${model} COMPONENT Runtime)
endwhile()

# The CMake package: imported targets relative to wherever the tree lies.
include(CMakePackageConfigHelpers)
install(EXPORT TovikTargets NAMESPACE Tovik:: DESTINATION ${TOVIK_CMAKE_PACKAGE_DIR} COMPONENT Development)
configure_package_config_file(${CMAKE_CURRENT_LIST_DIR}/TovikConfig.cmake.in
                              ${CMAKE_BINARY_DIR}/cmake/TovikConfig.cmake
                              INSTALL_DESTINATION ${TOVIK_CMAKE_PACKAGE_DIR})
write_basic_package_version_file(${CMAKE_BINARY_DIR}/cmake/TovikConfigVersion.cmake
                                 COMPATIBILITY SameMajorVersion)
install(FILES ${CMAKE_BINARY_DIR}/cmake/TovikConfig.cmake ${CMAKE_BINARY_DIR}/cmake/TovikConfigVersion.cmake
        DESTINATION ${TOVIK_CMAKE_PACKAGE_DIR} COMPONENT Development)

# pkg-config files, one row per library: name, description, the pkg-config
# packages its headers and links need, what a static link would add, and
# compiler flags of its own (Qt 5, built with reduced relocations, needs its
# users' code position independent). A relocatable tree's files find the
# prefix from where they lie.
set(TOVIK_PKGCONFIG_ROWS
  "tovikdescriptors|Tovik parameter descriptor classes|||"
  "paramlink|Tovik parameter store: descriptor tables, configs and the TCP transport||-pthread|"
  "tovikconfig|Tovik parameter tables: fills a config's descriptor table for a model number|tovikdescriptors paramlink||"
  "lumo|liblumo, the media utility library|Qt5Core|-pthread|-fPIC")
if(TOVIK_RELOCATABLE)
  file(RELATIVE_PATH pc_to_prefix /prefix/${CMAKE_INSTALL_LIBDIR}/pkgconfig /prefix)
  string(REGEX REPLACE "/$" "" pc_to_prefix "${pc_to_prefix}")
  set(PC_PREFIX "\${pcfiledir}/${pc_to_prefix}")
else()
  set(PC_PREFIX "${CMAKE_INSTALL_PREFIX}")
endif()
foreach(row ${TOVIK_PKGCONFIG_ROWS})
  string(REPLACE "|" ";" fields "${row}")
  list(POP_FRONT fields PC_NAME PC_DESCRIPTION PC_REQUIRES PC_LIBS_PRIVATE PC_CFLAGS)
  configure_file(${CMAKE_CURRENT_LIST_DIR}/tovik.pc.in ${CMAKE_BINARY_DIR}/pkgconfig/${PC_NAME}.pc @ONLY)
  install(FILES ${CMAKE_BINARY_DIR}/pkgconfig/${PC_NAME}.pc
          DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig COMPONENT Development)
endforeach()

# Man pages, written in POD and turned into roff by pod2man (perl's), one
# row per program: name and section.
set(TOVIK_MAN_PAGES knobctl 1 Portvane 8 tovik-configstore 8 tovik-convsim 1 tovik-storedump 1 tovik-descdump 1)
find_program(TOVIK_POD2MAN pod2man REQUIRED)
# pod2man makes no folder; Ninja happens to, Make does not.
file(MAKE_DIRECTORY ${CMAKE_BINARY_DIR}/man)
set(man_outputs "")
while(TOVIK_MAN_PAGES)
  list(POP_FRONT TOVIK_MAN_PAGES page section)
  set(source ${PROJECT_SOURCE_DIR}/dist/man/${page}.pod)
  set(output ${CMAKE_BINARY_DIR}/man/${page}.${section})
  string(TOUPPER ${page} title)
  add_custom_command(OUTPUT ${output}
    COMMAND ${TOVIK_POD2MAN} --utf8 --section=${section} --name=${title} --center=Tovik
            "--release=Tovik ${PROJECT_VERSION}" ${source} ${output}
    DEPENDS ${source}
    COMMENT "Man page ${page}(${section})")
  list(APPEND man_outputs ${output})
  install(FILES ${output} DESTINATION ${CMAKE_INSTALL_MANDIR}/man${section} COMPONENT Runtime)
endwhile()
add_custom_target(tovik_man ALL DEPENDS ${man_outputs})

install(FILES ${PROJECT_SOURCE_DIR}/dist/completion/knobctl
        DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions COMPONENT Runtime)

# systemd units. Their ExecStart names the installed program, so they are
# written when installing, for the prefix installed to (cmake --install
# --prefix included).
set(TOVIK_SYSTEMD_UNITDIR lib/systemd/system CACHE STRING
    "Where the systemd units go (relative to the prefix, or absolute)")
if(IS_ABSOLUTE "${TOVIK_SYSTEMD_UNITDIR}")
  set(unit_destination "${TOVIK_SYSTEMD_UNITDIR}")
else()
  set(unit_destination "\${CMAKE_INSTALL_PREFIX}/${TOVIK_SYSTEMD_UNITDIR}")
endif()
foreach(unit portvane.service tovik-configstore.service)
  install(CODE "
    set(TOVIK_BINDIR \"\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}\")
    configure_file(\"${PROJECT_SOURCE_DIR}/dist/systemd/${unit}.in\" \"${CMAKE_BINARY_DIR}/systemd/${unit}\" @ONLY)
    file(INSTALL DESTINATION \"${unit_destination}\" TYPE FILE FILES \"${CMAKE_BINARY_DIR}/systemd/${unit}\")"
    COMPONENT Runtime)
endforeach()

# The udev rule that keeps ModemManager off the converters' serial ports,
# and the drop-in example that restricts who reaches the ports.
set(TOVIK_UDEV_RULESDIR lib/udev/rules.d CACHE STRING
    "Where the udev rule goes (relative to the prefix, or absolute)")
install(FILES ${PROJECT_SOURCE_DIR}/dist/udev/70-portvane.rules DESTINATION ${TOVIK_UDEV_RULESDIR} COMPONENT Runtime)
install(FILES ${PROJECT_SOURCE_DIR}/dist/systemd/restrict-clients.conf
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/portvane/examples COMPONENT Runtime)
