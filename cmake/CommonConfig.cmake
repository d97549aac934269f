# Settings every target of ours shares: the language standard, warnings and Qt defines.
set(CMAKE_CXX_STANDARD 20)
set(CMAKE_CXX_STANDARD_REQUIRED ON)
set(CMAKE_CXX_EXTENSIONS OFF)
set(CMAKE_AUTOMOC ON)
set(CMAKE_EXPORT_COMPILE_COMMANDS ON)
if(NOT CMAKE_BUILD_TYPE AND NOT CMAKE_CONFIGURATION_TYPES)
    set(CMAKE_BUILD_TYPE RelWithDebInfo CACHE STRING "Build type" FORCE)
endif()

add_library(tallyhawk_config INTERFACE)
target_compile_options(tallyhawk_config INTERFACE
    -Wall -Wextra -Wpedantic -Wshadow=local -Wnon-virtual-dtor -Wno-missing-field-initializers)
if(TALLYHAWK_WERROR)
    target_compile_options(tallyhawk_config INTERFACE -Werror)
endif()
target_compile_definitions(tallyhawk_config INTERFACE
    QT_NO_KEYWORDS
    QT_USE_QSTRINGBUILDER
    QT_NO_URL_CAST_FROM_STRING
    QT_DISABLE_DEPRECATED_UP_TO=0x060400)
if(TALLYHAWK_ASAN)
    target_compile_options(tallyhawk_config INTERFACE -fsanitize=address,undefined -fno-omit-frame-pointer)
    target_link_options(tallyhawk_config INTERFACE -fsanitize=address,undefined)
endif()

# Every program and test lands beside the resource folder of the build tree.
set(CMAKE_RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin)
