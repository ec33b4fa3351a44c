# Pictures without Qt SVG: every SVG picture of data/ is rendered to PNG on the
# build machine by packaging/iconpng.cpp of a native build. The program's
# resources keep the SVG names, so the same code loads them; Qt recognises
# the PNG contents. The help pages get PNG copies with their links changed.
set(SPECTRO_SVG_RENDERER "" CACHE FILEPATH
    "spectro_iconpng of a native build, which renders the SVG pictures to PNG")
if(NOT SPECTRO_SVG_RENDERER OR NOT EXISTS "${SPECTRO_SVG_RENDERER}")
    message(FATAL_ERROR "Without Qt SVG, SPECTRO_SVG_RENDERER must name the spectro_iconpng "
        "program of a native build (scripts/build-windows.sh builds it).")
endif()
set(render ${CMAKE_COMMAND} -E env QT_QPA_PLATFORM=offscreen ${SPECTRO_SVG_RENDERER})
set(out ${CMAKE_BINARY_DIR}/pictures)

# The size in pixels at which the program draws each picture; the @2x copy
# serves screens with twice as many pixels.
set(SPECTRO_PICTURE_SIZES
    aide:24 annuler:32 attente:32 calculatrice:24 copier:24 cuve:32 decor_fiole:36
    decor_spectre:36 effacer:15 enregistrer:24 etoile_allumee:22 etoile_eteinte:22
    exercices:16 fermer:24 fermer_exo:48 imprimantes:32 imprimer:24 ok:32 ouvreur:48
    ouvrir:24 prisme:32 sablier:40 spectro:256 supprimer:15)
set(qrc "<!DOCTYPE RCC>\n<RCC version=\"1.0\">\n    <qresource prefix=\"/icons\">\n")
set(pngs "")
foreach(entry IN LISTS SPECTRO_PICTURE_SIZES)
    string(REPLACE ":" ";" entry ${entry})
    list(GET entry 0 name)
    list(GET entry 1 size)
    math(EXPR size2 "${size} * 2")
    set(svg ${CMAKE_SOURCE_DIR}/data/icons/${name}.svg)
    add_custom_command(OUTPUT ${out}/qrc/${name}.png ${out}/qrc/${name}@2x.png
        COMMAND ${render} ${svg} ${out}/qrc/${name}.png ${size}
        COMMAND ${render} ${svg} ${out}/qrc/${name}@2x.png ${size2}
        DEPENDS ${svg} VERBATIM)
    list(APPEND pngs ${out}/qrc/${name}.png ${out}/qrc/${name}@2x.png)
    string(APPEND qrc "        <file alias=\"${name}.svg\">${out}/qrc/${name}.png</file>\n"
        "        <file alias=\"${name}@2x.svg\">${out}/qrc/${name}@2x.png</file>\n")
endforeach()
string(APPEND qrc "    </qresource>\n</RCC>\n")
file(CONFIGURE OUTPUT ${out}/icons.qrc CONTENT "${qrc}")
set(SPECTRO_ICONS_QRC ${out}/icons.qrc)

# The data folder as the program reads it: the help's pictures at their own
# size and twice it, and the pages that show them pointing at the PNG files.
set(SPECTRO_PNG_DATA_DIR ${out}/data)
file(GLOB data_svgs RELATIVE ${CMAKE_SOURCE_DIR}/data CONFIGURE_DEPENDS
    ${CMAKE_SOURCE_DIR}/data/help/*.svg ${CMAKE_SOURCE_DIR}/data/icons/*.svg)
foreach(rel IN LISTS data_svgs)
    string(REGEX REPLACE "\\.svg$" "" base ${rel})
    add_custom_command(OUTPUT ${out}/data/${base}.png ${out}/data/${base}@2x.png
        COMMAND ${render} ${CMAKE_SOURCE_DIR}/data/${rel} ${out}/data/${base}.png @1
        COMMAND ${render} ${CMAKE_SOURCE_DIR}/data/${rel} ${out}/data/${base}@2x.png @2
        DEPENDS ${CMAKE_SOURCE_DIR}/data/${rel} VERBATIM)
    list(APPEND pngs ${out}/data/${base}.png ${out}/data/${base}@2x.png)
endforeach()
file(GLOB data_pages RELATIVE ${CMAKE_SOURCE_DIR}/data CONFIGURE_DEPENDS
    ${CMAKE_SOURCE_DIR}/data/*.html ${CMAKE_SOURCE_DIR}/data/help/*.html)
foreach(rel IN LISTS data_pages)
    add_custom_command(OUTPUT ${out}/data/${rel}
        COMMAND ${CMAKE_COMMAND} -DIN=${CMAKE_SOURCE_DIR}/data/${rel} -DOUT=${out}/data/${rel}
            -P ${CMAKE_SOURCE_DIR}/cmake/pngpages.cmake
        DEPENDS ${CMAKE_SOURCE_DIR}/data/${rel} ${CMAKE_SOURCE_DIR}/cmake/pngpages.cmake VERBATIM)
    list(APPEND pngs ${out}/data/${rel})
endforeach()
# The help's other files beside them, so that this folder is the whole help
# as the program reads it (its tests read it there).
file(GLOB help_others RELATIVE ${CMAKE_SOURCE_DIR}/data CONFIGURE_DEPENDS
    ${CMAKE_SOURCE_DIR}/data/help/*.css ${CMAKE_SOURCE_DIR}/data/help/*.png
    ${CMAKE_SOURCE_DIR}/data/help/*.txt)
foreach(rel IN LISTS help_others)
    add_custom_command(OUTPUT ${out}/data/${rel}
        COMMAND ${CMAKE_COMMAND} -E copy ${CMAKE_SOURCE_DIR}/data/${rel} ${out}/data/${rel}
        DEPENDS ${CMAKE_SOURCE_DIR}/data/${rel} VERBATIM)
    list(APPEND pngs ${out}/data/${rel})
endforeach()
add_custom_target(spectro_pictures ALL DEPENDS ${pngs})
