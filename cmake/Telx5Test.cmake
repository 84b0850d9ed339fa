# telx5_add_test(<name> SOURCES <files...> LIBS <targets...> [LABEL <label>] [TIMEOUT <s>]
#                [COST <s>])
# Builds one Qt Test executable and registers it with CTest, headless. COST is about
# how many seconds it runs: ctest starts the longest first, even without the
# figures of an earlier run.
function(telx5_add_test name)
    cmake_parse_arguments(ARG "" "LABEL;TIMEOUT;COST" "SOURCES;LIBS" ${ARGN})
    if(NOT ARG_TIMEOUT)
        set(ARG_TIMEOUT 120)
    endif()
    if(NOT ARG_COST)
        set(ARG_COST 0)
    endif()
    if(NOT ARG_LABEL)
        set(ARG_LABEL unit)
    endif()
    add_executable(${name} ${ARG_SOURCES})
    target_link_libraries(${name} PRIVATE Qt6::Test ${ARG_LIBS})
    telx5_set_warnings(${name})
    if(ARG_LIBS MATCHES "telx5_ui")
        set(headers widgets)
    else()
        set(headers core)
    endif()
    target_precompile_headers(${name} REUSE_FROM telx5_test_pch_${headers})
    # The tests' moc output is included by their own files, which leaves Qt's
    # generated file empty: it is quicker to compile than to load the header for.
    set_source_files_properties(${CMAKE_CURRENT_BINARY_DIR}/${name}_autogen/mocs_compilation.cpp
        PROPERTIES SKIP_PRECOMPILE_HEADERS ON)
    add_test(NAME ${name} COMMAND ${name})
    set_tests_properties(${name} PROPERTIES
        TIMEOUT ${ARG_TIMEOUT}
        COST ${ARG_COST}
        LABELS ${ARG_LABEL}
        ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
endfunction()
