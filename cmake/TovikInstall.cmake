# What `cmake --install` puts under the prefix (GNUInstallDirs names):
#   bin/                   Portvane, knobctl, tovik-configstore, tovik-convsim,
#                          tovik-storedump, tovik-descdump
#   lib/                   libtovikdescriptors, libparamlink, libtovikconfig and
#                          liblumo, as lib<name>.so.<major> (and .so links for
#                          the Development component)
#   include/               the libraries' public headers
#   share/portvane/types/  the hardware description files Portvane reads
# Programs find the libraries through a run path relative to themselves;
# Portvane reads types/ beside itself when it is there (a build tree), else
# in share/portvane.
install(TARGETS Portvane knobctl tovik-configstore tovik-convsim tovik-storedump tovik-descdump
        RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT Runtime)

set_target_properties(lumo PROPERTIES INSTALL_RPATH "$ORIGIN")
install(TARGETS tovikdescriptors paramlink tovikconfig lumo
        LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT Runtime NAMELINK_COMPONENT Development)
install(DIRECTORY ${PROJECT_SOURCE_DIR}/config/include/ ${PROJECT_SOURCE_DIR}/paramlink/include/
                  ${PROJECT_SOURCE_DIR}/lumo/include/
        DESTINATION ${CMAKE_INSTALL_INCLUDEDIR} COMPONENT Development)

install(DIRECTORY ${PROJECT_SOURCE_DIR}/daemon/types
        DESTINATION ${TOVIK_INSTALL_RESOURCEDIR} COMPONENT Runtime
        PATTERN "*.py" EXCLUDE)
