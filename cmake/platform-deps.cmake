# Libraries the platform layer of the target OS links against.
add_library(velmora_platform_deps INTERFACE)
if(WIN32)
    target_link_libraries(velmora_platform_deps INTERFACE gdi32 ole32 uuid)
else()
    find_package(PkgConfig REQUIRED)
    pkg_check_modules(VELMORA_X11 REQUIRED IMPORTED_TARGET x11 xext xrandr xinerama gio-2.0)
    target_link_libraries(velmora_platform_deps INTERFACE PkgConfig::VELMORA_X11)
    # Wayland sessions: the screen cast portal (over D-Bus, passing a descriptor) and PipeWire.
    pkg_check_modules(VELMORA_PIPEWIRE REQUIRED IMPORTED_TARGET gio-unix-2.0 libpipewire-0.3)
    target_link_libraries(velmora_platform_deps INTERFACE PkgConfig::VELMORA_PIPEWIRE)
endif()
