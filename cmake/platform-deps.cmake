# Libraries the platform layer of the target OS links against.
add_library(velmora_platform_deps INTERFACE)
if(WIN32)
    target_link_libraries(velmora_platform_deps INTERFACE gdi32 ole32 uuid)
endif()
