# Everything a desktop installation holds besides the programs and the private libraries: help pages,
# the sample-database script, icons, the desktop entry, the AppStream metainfo and the manual pages.
set(VARNEL_DATADIR "${CMAKE_INSTALL_DATADIR}/varnel")
set(VARNEL_RESOURCES "${CMAKE_SOURCE_DIR}/resources")

install(DIRECTORY ${VARNEL_RESOURCES}/help/ DESTINATION ${VARNEL_DATADIR}/help COMPONENT program
        FILES_MATCHING PATTERN "*.htm")
install(FILES ${VARNEL_RESOURCES}/sample.sql DESTINATION ${VARNEL_DATADIR} COMPONENT program)
install(FILES ${VARNEL_RESOURCES}/varnel.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications COMPONENT program)
install(FILES ${VARNEL_RESOURCES}/com.ostrak.Varnel.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo
        COMPONENT program)
install(FILES ${VARNEL_RESOURCES}/icons/varnel.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps
        COMPONENT program)
# The PNG sizes are rendered from the SVG by scripts/render-icons.sh and kept in the tree.
install(DIRECTORY ${VARNEL_RESOURCES}/icons/hicolor/ DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor
        COMPONENT program FILES_MATCHING PATTERN "*.png")

# Manual pages are installed compressed, as Debian expects, each with its program's package.
set(VARNEL_MANPAGES "")
foreach(page varnel.1 varnel-run.1)
    set(compressed ${CMAKE_BINARY_DIR}/man/${page}.gz)
    add_custom_command(OUTPUT ${compressed}
        COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/man
        COMMAND gzip -9 -n -c ${VARNEL_RESOURCES}/man/${page} > ${compressed}
        DEPENDS ${VARNEL_RESOURCES}/man/${page} VERBATIM)
    list(APPEND VARNEL_MANPAGES ${compressed})
endforeach()
add_custom_target(manpages ALL DEPENDS ${VARNEL_MANPAGES})
install(FILES ${CMAKE_BINARY_DIR}/man/varnel.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1 COMPONENT program)
install(FILES ${CMAKE_BINARY_DIR}/man/varnel-run.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1 COMPONENT runner)
