# Precompiled Qt headers. Parsing Qt's headers is most of every file's compile
# time: each library precompiles the Qt headers its files use, and the tests
# share two precompiled QtTest headers, one with and one without the widgets.
# CMake adds -Winvalid-pch (PCH_WARN_INVALID), an error with the project's
# warnings: a file that cannot use the header it was given fails the build
# instead of quietly parsing Qt again.

set(TELX5_PCH_CORE
    <QByteArray> <QCoreApplication> <QDir> <QElapsedTimer> <QFile> <QFileInfo>
    <QHash> <QList> <QObject> <QRegularExpression> <QString> <QStringList> <QTimer>)
set(TELX5_PCH_WIDGETS ${TELX5_PCH_CORE}
    <QAction> <QApplication> <QComboBox> <QDialog> <QLabel> <QLineEdit> <QMenu>
    <QMessageBox> <QPushButton> <QWidget>)

# Qt's test module gives each test the folders it was built from and its source
# folder, for QFINDTESTDATA, which these tests do not use; a macro that differs
# from test to test would keep them from sharing one precompiled header.
get_target_property(test_definitions Qt6::Test INTERFACE_COMPILE_DEFINITIONS)
list(FILTER test_definitions EXCLUDE REGEX "^QT_TESTCASE_(BUILD|SOURCE)DIR=")
set_target_properties(Qt6::Test PROPERTIES INTERFACE_COMPILE_DEFINITIONS "${test_definitions}")

# The tests' shared headers, each built once in a target of its own with the
# Qt modules (and so the macros) of the tests that reuse it.
foreach(kind core widgets)
    set(source ${CMAKE_CURRENT_BINARY_DIR}/telx5_test_pch_${kind}.cpp)
    file(CONFIGURE OUTPUT ${source} CONTENT "// The precompiled header's own file.\n")
    add_library(telx5_test_pch_${kind} OBJECT ${source})
    target_link_libraries(telx5_test_pch_${kind} PRIVATE Qt6::Test)
    telx5_set_warnings(telx5_test_pch_${kind})
endforeach()
target_link_libraries(telx5_test_pch_widgets PRIVATE Qt6::Widgets)
target_precompile_headers(telx5_test_pch_core PRIVATE <QtTest> ${TELX5_PCH_CORE})
target_precompile_headers(telx5_test_pch_widgets PRIVATE <QtTest> ${TELX5_PCH_WIDGETS})
