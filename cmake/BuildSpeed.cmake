# Shorter builds without changing what is built. Most of the compile time
# went into parsing the same Qt and GoogleTest headers again for every source
# file, so:
#
# - The common Qt (and for the tests GoogleTest) headers are precompiled
#   once per group of targets whose compile flags are the same, and the other
#   targets of the group reuse that header (REUSE_FROM; they link the owner
#   anyway, so no build order is added).
# - The test programs are unity builds: a few source files are compiled as
#   one, so the headers are parsed and the inline code is generated once per
#   batch instead of once per file.
#
# -DCMAKE_DISABLE_PRECOMPILE_HEADERS=ON and -DVANTREO_UNITY_TESTS=OFF build
# every file on its own (for example to check that each includes what it
# uses).

option(VANTREO_UNITY_TESTS "Compile the test programs as unity builds" ON)

set(VANTREO_PCH_QTCORE
    <QByteArray> <QCoreApplication> <QDir> <QFile> <QFileInfo> <QHash> <QList>
    <QObject> <QPointer> <QProcess> <QString> <QStringList> <QTimer> <QUrl>
    <QVariant> <QVariantMap> <functional> <memory> <optional>)
set(VANTREO_PCH_QTWIDGETS
    ${VANTREO_PCH_QTCORE} <QApplication> <QComboBox> <QLabel> <QPainter>
    <QPushButton> <QVBoxLayout> <QWidget>)
set(VANTREO_PCH_TESTS
    ${VANTREO_PCH_QTCORE} <QJsonArray> <QJsonDocument> <QJsonObject> <gtest/gtest.h>)

# The owner of a group's header, then the targets that reuse it.
function(vantreo_share_pch owner headers)
    if(NOT TARGET ${owner})
        return()
    endif()
    target_precompile_headers(${owner} PRIVATE ${${headers}})
    foreach(target ${ARGN})
        if(TARGET ${target})
            target_precompile_headers(${target} REUSE_FROM ${owner})
        endif()
    endforeach()
endfunction()

# The layers below the widgets and the command line share the foundation's
# header: their extra module definitions (QtDBus) do not touch QtCore's headers.
vantreo_share_pch(vantreo-foundation VANTREO_PCH_QTCORE
    vantreo-inspection vantreo-platform vantreo-engine vantreo-shell vantreo-cli)
vantreo_share_pch(vantreo-ui VANTREO_PCH_QTWIDGETS vantreo vantreo-screenshots)

set(vantreo_test_programs
    test_foundation test_inspection test_engine test_shell test_tools test_cli)
vantreo_share_pch(vantreo-testsupport VANTREO_PCH_TESTS
    ${vantreo_test_programs} test_fuzzcorpus vantreo-testmain)
# The widget tests are compiled with the widget modules' definitions, so they
# have a header of their own.
if(TARGET test_gui)
    target_precompile_headers(test_gui PRIVATE ${VANTREO_PCH_TESTS} ${VANTREO_PCH_QTWIDGETS})
endif()

if(VANTREO_UNITY_TESTS AND TARGET vantreo-testsupport)
    foreach(target ${vantreo_test_programs} test_gui)
        if(TARGET ${target})
            # Batches of four keep both cores busy while the last programs build.
            set_target_properties(${target} PROPERTIES UNITY_BUILD ON UNITY_BUILD_BATCH_SIZE 4)
            # A test fixture in an anonymous namespace is right in a source
            # file; the warning only fires because a unity batch includes the
            # file instead of compiling it as the main file.
            target_compile_options(${target} PRIVATE -Wno-subobject-linkage)
        endif()
    endforeach()
    # Files whose file-local helpers have the same names as those of another
    # file of their program are compiled on their own.
    set_source_files_properties(
        ${CMAKE_SOURCE_DIR}/tests/cli/SettingsCommandTest.cpp
        ${CMAKE_SOURCE_DIR}/tests/shell/IntakeTest.cpp
        DIRECTORY ${CMAKE_SOURCE_DIR}/tests
        PROPERTIES SKIP_UNITY_BUILD_INCLUSION ON)
endif()
