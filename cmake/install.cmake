# What `cmake --install` puts where, and the packages `cpack` makes from it: a .deb on Linux, a
# .zip with the runtime DLLs on Windows.
include(GNUInstallDirs)

if(WIN32 AND NOT CMAKE_CROSSCOMPILING)
    # The image library's DLLs (and FFTW's) go beside the programs; the system's own stay out.
    install(TARGETS velmora velmora-render RUNTIME_DEPENDENCY_SET velmora_runtime)
    install(RUNTIME_DEPENDENCY_SET velmora_runtime
        PRE_EXCLUDE_REGEXES "^api-ms-" "^ext-ms-"
        POST_EXCLUDE_REGEXES ".*[Ss][Yy][Ss][Tt][Ee][Mm]32/.*\\.dll$"
        DIRECTORIES $<TARGET_FILE_DIR:opencv_core>)
else()
    # The mingw-w64 cross build links statically: there are no DLLs to collect.
    install(TARGETS velmora velmora-render)
endif()

install(FILES LICENSE README.md DESTINATION ${CMAKE_INSTALL_DOCDIR})

if(NOT WIN32)
    install(FILES resources/velmora.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
    install(FILES resources/velmora-icon.svg RENAME velmora.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
    # Man pages are shipped compressed, without a time stamp so that the package is reproducible.
    foreach(page velmora.1 velmora-render.1)
        add_custom_command(OUTPUT ${page}.gz
            COMMAND gzip -9n -c ${CMAKE_SOURCE_DIR}/resources/${page} > ${page}.gz
            DEPENDS resources/${page})
        install(FILES ${CMAKE_BINARY_DIR}/${page}.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
        list(APPEND VELMORA_MAN_PAGES ${page}.gz)
    endforeach()
    add_custom_target(velmora-man-pages ALL DEPENDS ${VELMORA_MAN_PAGES})
endif()

set(CPACK_PACKAGE_NAME velmora)
set(CPACK_PACKAGE_VENDOR "Velmora developers")
# Whoever builds a package for others names themselves here.
set(VELMORA_MAINTAINER "Velmora developers <velmora@example.org>" CACHE STRING
    "Maintainer of the packages cpack makes")
set(CPACK_PACKAGE_CONTACT "${VELMORA_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "live image analysis of a camera or a monitor")
string(JOIN "\n" CPACK_PACKAGE_DESCRIPTION
    "Velmora shows a camera or a monitor frame by frame in seven windows: the image,"
    "its gray copy, its centred 2D Fourier spectrum, a Laplacian edge map, a motion"
    "mask, and colour and gray histograms with the frame rate and the 5 %-95 %"
    "dynamic range. velmora-render writes the same window images for image files,"
    "videos and image sequences, without a display.")
set(CPACK_RESOURCE_FILE_LICENSE ${CMAKE_SOURCE_DIR}/LICENSE)
set(CPACK_STRIP_FILES ON)
if(WIN32)
    set(CPACK_GENERATOR ZIP)
else()
    set(CPACK_GENERATOR DEB)
    set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
    set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
    set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
    set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
    # Without the schemas the GNOME wallpaper lookup is skipped, the others still work.
    set(CPACK_DEBIAN_PACKAGE_RECOMMENDS gsettings-desktop-schemas)
endif()
include(CPack)
