# Libraries the platform layer of the target OS links against.
add_library(velmora_platform_deps INTERFACE)
if(WIN32)
    target_link_libraries(velmora_platform_deps INTERFACE gdi32 ole32 shell32 uuid)
else()
    find_package(PkgConfig REQUIRED)
    pkg_check_modules(VELMORA_X11 REQUIRED IMPORTED_TARGET x11 xext xrandr xinerama gio-2.0)
    target_link_libraries(velmora_platform_deps INTERFACE PkgConfig::VELMORA_X11)

    # The xdg-output protocol (the outputs' logical layout) is generated into the build folder
    # and compiled with the platform layer's other sources.
    pkg_check_modules(VELMORA_WAYLAND REQUIRED IMPORTED_TARGET wayland-client)
    pkg_get_variable(VELMORA_WAYLAND_PROTOCOLS wayland-protocols pkgdatadir)
    find_program(VELMORA_WAYLAND_SCANNER wayland-scanner REQUIRED)
    set(velmora_xdg_output
        ${VELMORA_WAYLAND_PROTOCOLS}/unstable/xdg-output/xdg-output-unstable-v1.xml)
    set(velmora_generated ${CMAKE_BINARY_DIR}/generated)
    set(velmora_xdg_output_header ${velmora_generated}/xdg-output-unstable-v1-client-protocol.h)
    set(velmora_xdg_output_code ${velmora_generated}/xdg-output-unstable-v1-protocol.c)
    add_custom_command(OUTPUT ${velmora_xdg_output_header} ${velmora_xdg_output_code}
        COMMAND ${CMAKE_COMMAND} -E make_directory ${velmora_generated}
        COMMAND ${VELMORA_WAYLAND_SCANNER} client-header
                ${velmora_xdg_output} ${velmora_xdg_output_header}
        COMMAND ${VELMORA_WAYLAND_SCANNER} private-code
                ${velmora_xdg_output} ${velmora_xdg_output_code}
        DEPENDS ${velmora_xdg_output}
        VERBATIM)
    # Compiled as C++, so that no build needs a C compiler (the sanitizer and fuzz builds pass
    # clang's flags to every language). A C++ const object is local to its file unless declared
    # extern before: the header declares the interfaces, without the scanner's hidden
    # visibility, which the definitions then cannot add.
    set_source_files_properties(${velmora_xdg_output_code} PROPERTIES LANGUAGE CXX
        COMPILE_OPTIONS "-include;${velmora_xdg_output_header};-Wno-attributes")
    set(VELMORA_PLATFORM_GENERATED ${velmora_xdg_output_header} ${velmora_xdg_output_code})
    target_include_directories(velmora_platform_deps INTERFACE ${velmora_generated})
    target_link_libraries(velmora_platform_deps INTERFACE PkgConfig::VELMORA_WAYLAND)

    # Wayland sessions: the screen cast portal (over D-Bus, passing a descriptor) and PipeWire.
    pkg_check_modules(VELMORA_PIPEWIRE REQUIRED IMPORTED_TARGET gio-unix-2.0 libpipewire-0.3)
    target_link_libraries(velmora_platform_deps INTERFACE PkgConfig::VELMORA_PIPEWIRE)
endif()
