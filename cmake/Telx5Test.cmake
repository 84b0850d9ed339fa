# telx5_add_test(<name> SOURCES <files...> LIBS <targets...> [LABEL <label>] [TIMEOUT <s>])
# Builds one Qt Test executable and registers it with CTest, headless.
function(telx5_add_test name)
    cmake_parse_arguments(ARG "" "LABEL;TIMEOUT" "SOURCES;LIBS" ${ARGN})
    if(NOT ARG_TIMEOUT)
        set(ARG_TIMEOUT 120)
    endif()
    if(NOT ARG_LABEL)
        set(ARG_LABEL unit)
    endif()
    add_executable(${name} ${ARG_SOURCES})
    target_link_libraries(${name} PRIVATE Qt6::Test ${ARG_LIBS})
    telx5_set_warnings(${name})
    add_test(NAME ${name} COMMAND ${name})
    set_tests_properties(${name} PROPERTIES
        TIMEOUT ${ARG_TIMEOUT}
        LABELS ${ARG_LABEL}
        ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
endfunction()
