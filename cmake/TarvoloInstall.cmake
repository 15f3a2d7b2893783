# cmake --install: the executable in <prefix>/bin, its own files (Samples with the SAMPLE database,
# the help page, the editor's configuration) in <prefix>/share/tarvolo, where the program looks for
# them beside <prefix>/bin, and the launcher and icon where desktops find them.
include(GNUInstallDirs)
set(TARVOLO_DATA_DESTINATION ${CMAKE_INSTALL_DATADIR}/tarvolo)

install(TARGETS tarvolo RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(DIRECTORY ${PROJECT_SOURCE_DIR}/resources/Samples/ DESTINATION ${TARVOLO_DATA_DESTINATION}/Samples)
install(FILES ${PROJECT_BINARY_DIR}/Samples/SAMPLE.db DESTINATION ${TARVOLO_DATA_DESTINATION}/Samples)
install(DIRECTORY ${PROJECT_SOURCE_DIR}/resources/help/ DESTINATION ${TARVOLO_DATA_DESTINATION}/help)
if(EXISTS ${PROJECT_SOURCE_DIR}/resources/tvl_edit.ini)
    install(FILES ${PROJECT_SOURCE_DIR}/resources/tvl_edit.ini DESTINATION ${TARVOLO_DATA_DESTINATION})
endif()

# The launcher starts the installed executable by its full path, under the prefix given at install
# time (cmake --install --prefix), so the file is made then.
install(CODE "
    set(TARVOLO_EXEC \"\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/tarvolo\")
    configure_file(\"${PROJECT_SOURCE_DIR}/resources/tarvolo.desktop.in\"
        \"${PROJECT_BINARY_DIR}/install/tarvolo.desktop\" @ONLY)
")
install(FILES ${PROJECT_BINARY_DIR}/install/tarvolo.desktop
    DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)

# The program icon comes with the bar window.
foreach(icon IN ITEMS ${PROJECT_SOURCE_DIR}/src/bar/resources/tarvolo.svg
                      ${PROJECT_SOURCE_DIR}/resources/icons/tarvolo.svg)
    if(EXISTS ${icon})
        install(FILES ${icon} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
        break()
    endif()
endforeach()
