add_library(telx5_session_testsupport STATIC
    fakehost.cpp fakehost.h simrig.cpp simrig.h writefixtures.cpp writefixtures.h)
target_include_directories(telx5_session_testsupport PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
target_link_libraries(telx5_session_testsupport PUBLIC telx5_session telx5_sim telx5_link telx5_core Qt6::Test)
telx5_set_warnings(telx5_session_testsupport)

foreach(name readsession writesession wifisession)
    telx5_add_test(tst_${name}
        SOURCES tst_${name}.cpp
        LIBS telx5_session_testsupport
        LABEL session
        TIMEOUT 120)
endforeach()

telx5_add_test(tst_sessionwindow
    SOURCES tst_sessionwindow.cpp
    LIBS telx5_session_testsupport telx5_ui
    LABEL session
    TIMEOUT 120)
