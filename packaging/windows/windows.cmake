# Windows: the program's folder holds spectro.exe and its data; the icon and
# the version information go into the executable.
set(SPECTRO_WINDOWS_ICO ${CMAKE_BINARY_DIR}/pictures/spectro.ico)
add_custom_command(OUTPUT ${SPECTRO_WINDOWS_ICO}
    COMMAND ${CMAKE_COMMAND} -E env QT_QPA_PLATFORM=offscreen ${SPECTRO_SVG_RENDERER}
        ${CMAKE_SOURCE_DIR}/data/icons/spectro.svg ${SPECTRO_WINDOWS_ICO} 16,20,24,32,40,48,64,256
    DEPENDS ${CMAKE_SOURCE_DIR}/data/icons/spectro.svg VERBATIM)
add_custom_target(spectro_winicon DEPENDS ${SPECTRO_WINDOWS_ICO})
add_dependencies(spectro_pictures spectro_winicon)
enable_language(RC)
configure_file(${CMAKE_CURRENT_LIST_DIR}/spectro.rc.in ${CMAKE_BINARY_DIR}/spectro.rc @ONLY)
set(SPECTRO_WINDOWS_RC ${CMAKE_BINARY_DIR}/spectro.rc)

# The data as the program reads it, PNG pictures in place of the SVG ones.
install(DIRECTORY ${CMAKE_SOURCE_DIR}/data/ DESTINATION .
    PATTERN "exercises" EXCLUDE
    PATTERN "*.qrc" EXCLUDE
    PATTERN "*.svg" EXCLUDE
    PATTERN "*.html" EXCLUDE
    PATTERN "TEMPKZ.TMP" EXCLUDE)
install(DIRECTORY ${SPECTRO_PNG_DATA_DIR}/ DESTINATION .)
install(FILES ${CMAKE_CURRENT_LIST_DIR}/qt.conf DESTINATION .)
