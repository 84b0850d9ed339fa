telx5_add_test(tst_filecommands
    SOURCES tst_filecommands.cpp
    LIBS telx5_session telx5_core
    LABEL session)
