# tallyhawk_add_library(<name> [SOURCES ...] [DEPS ...] [PRIVATE_DEPS ...])
# A static library of one folder. It links the shared compiler settings and exposes the
# source root, so that headers are included as "folder/Header.h". A folder whose code has
# not been written yet is an interface library with the same dependencies, so that the
# dependency graph is complete from the start.
function(tallyhawk_add_library name)
    cmake_parse_arguments(ARG "" "" "SOURCES;DEPS;PRIVATE_DEPS" ${ARGN})
    if(ARG_SOURCES)
        add_library(${name} STATIC ${ARG_SOURCES})
        target_link_libraries(${name} PUBLIC tallyhawk_config ${ARG_DEPS})
        if(ARG_PRIVATE_DEPS)
            target_link_libraries(${name} PRIVATE ${ARG_PRIVATE_DEPS})
        endif()
        target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR}/src ${PROJECT_BINARY_DIR}/src)
    else()
        add_library(${name} INTERFACE)
        target_link_libraries(${name} INTERFACE tallyhawk_config ${ARG_DEPS})
        target_include_directories(${name} INTERFACE ${PROJECT_SOURCE_DIR}/src ${PROJECT_BINARY_DIR}/src)
    endif()
endfunction()
