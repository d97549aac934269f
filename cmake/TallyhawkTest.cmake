# tallyhawk_add_test(<name> LABEL unit|gui|integration [TZ <zone>] SOURCES ... [DEPS ...])
# Registers one QtTest executable with CTest: offscreen platform, C.UTF-8, a fixed time zone
# unless the test names its own, and a temporary TALLYHAWK_HOME made for each run.
set(TALLYHAWK_TEST_TZ "America/New_York")

function(tallyhawk_add_test name)
    cmake_parse_arguments(ARG "" "LABEL;TZ;TIMEOUT" "SOURCES;DEPS" ${ARGN})
    if(NOT ARG_LABEL MATCHES "^(unit|gui|integration)$")
        message(FATAL_ERROR "tallyhawk_add_test(${name}): LABEL must be unit, gui or integration")
    endif()
    if(NOT ARG_TZ)
        set(ARG_TZ ${TALLYHAWK_TEST_TZ})
    endif()
    if(NOT ARG_TIMEOUT)
        set(ARG_TIMEOUT 300)
    endif()
    add_executable(${name} ${ARG_SOURCES})
    set_target_properties(${name} PROPERTIES TALLYHAWK_TEST TRUE)
    target_link_libraries(${name} PRIVATE th_test_support Qt6::Test ${ARG_DEPS})
    target_compile_definitions(${name} PRIVATE
        TALLYHAWK_TEST_DATA="${PROJECT_SOURCE_DIR}/tests/data"
        TALLYHAWK_RESOURCE_DIR="${TALLYHAWK_RESOURCE_DIR}")
    add_dependencies(${name} th_resources)
    add_test(NAME ${name} COMMAND ${PROJECT_SOURCE_DIR}/cmake/run-test.sh $<TARGET_FILE:${name}>)
    set_tests_properties(${name} PROPERTIES
        LABELS ${ARG_LABEL}
        TIMEOUT ${ARG_TIMEOUT}
        ENVIRONMENT "QT_QPA_PLATFORM=offscreen;LANG=C.UTF-8;LC_ALL=C.UTF-8;TZ=${ARG_TZ};TALLYHAWK_RESOURCES=${TALLYHAWK_RESOURCE_DIR};QTWEBENGINE_DISABLE_SANDBOX=1;QTWEBENGINE_CHROMIUM_FLAGS=--disable-gpu --no-first-run --disable-background-networking --disable-component-update --disable-sync")
endfunction()
