# What `cmake --install` lays out: the two programs, the layer libraries with
# their headers and a CMake package (find_package(Rara) gives Rara::core and
# Rara::<layer>), the manual pages, Bash completion, the desktop entry and icon.
include(CMakePackageConfigHelpers)

set(RARA_LAYERS integers gf2 padic curves floats engine reports)
set(RARA_CMAKE_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/Rara)

foreach(layer ${RARA_LAYERS})
  set_target_properties(rara_${layer} PROPERTIES EXPORT_NAME ${layer})
  install(DIRECTORY ${CMAKE_SOURCE_DIR}/${layer}/ DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/rara/${layer}
          COMPONENT dev FILES_MATCHING PATTERN "*.h" PATTERN "tools" EXCLUDE)
endforeach()
set_target_properties(rara_core PROPERTIES EXPORT_NAME core)
foreach(layer ${RARA_LAYERS})
  list(APPEND rara_layer_targets rara_${layer})
endforeach()
install(TARGETS ${rara_layer_targets} rara_core EXPORT RaraTargets
        ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT dev)
install(EXPORT RaraTargets NAMESPACE Rara:: DESTINATION ${RARA_CMAKE_DIR} COMPONENT dev)

configure_package_config_file(${CMAKE_CURRENT_LIST_DIR}/RaraConfig.cmake.in
                              ${CMAKE_BINARY_DIR}/RaraConfig.cmake
                              INSTALL_DESTINATION ${RARA_CMAKE_DIR})
write_basic_package_version_file(${CMAKE_BINARY_DIR}/RaraConfigVersion.cmake
                                 COMPATIBILITY SameMajorVersion)
install(FILES ${CMAKE_BINARY_DIR}/RaraConfig.cmake ${CMAKE_BINARY_DIR}/RaraConfigVersion.cmake
        DESTINATION ${RARA_CMAKE_DIR} COMPONENT dev)

install(TARGETS rara-cli RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${CMAKE_SOURCE_DIR}/man/rara-cli.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${CMAKE_SOURCE_DIR}/share/bash-completion/rara-cli
        DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions)

if(TARGET rara)
  install(TARGETS rara RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  install(FILES ${CMAKE_SOURCE_DIR}/man/rara.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
  install(FILES ${CMAKE_SOURCE_DIR}/share/applications/rara.desktop
          DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  install(FILES ${CMAKE_SOURCE_DIR}/share/icons/rara.svg
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
endif()
