// The include check run on a small source tree of its own: one logic library, its widget
// library, a browser and an application, each file changed in turn to break one rule.

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include "TestSupport.h"

using namespace th;
using namespace th::test;

namespace {

// Path below the root, content; every library declares exactly what it includes.
const QList<std::pair<QString, QByteArray>> kTree = {
    { "cmake/TallyhawkLayering.cmake",
        "set(TALLYHAWK_WIDGET_TARGETS th_app th_browser)\nset(TALLYHAWK_WEB_TARGETS th_browser)\n" },
    { "src/core/CMakeLists.txt", "tallyhawk_add_library(th_core SOURCES Core.h DEPS Qt6::Core)\n" },
    { "src/core/Core.h", "#pragma once\n#include <QString>\n#include <qaction.h>\n" },
    { "src/list/CMakeLists.txt",
        "# The list.\ntallyhawk_add_library(th_list\n    SOURCES List.cpp\n    DEPS th_core)\n" },
    { "src/list/List.cpp", "#include \"list/List.h\"\n#include \"core/Core.h\"\n" },
    { "src/list/ui/CMakeLists.txt",
        "tallyhawk_add_library(th_list_ui SOURCES View.cpp DEPS th_list Qt6::Widgets)\n" },
    { "src/list/ui/View.cpp", "#include <QLabel>\n#include \"list/List.h\"\n" },
    { "src/browser/CMakeLists.txt",
        "tallyhawk_add_library(th_browser SOURCES Web.cpp DEPS th_core PRIVATE_DEPS "
        "Qt6::WebEngineWidgets)\n" },
    { "src/browser/Web.cpp", "#include <QWebEngineView>\n#include \"core/Core.h\"\n" },
    { "src/app/CMakeLists.txt",
        "tallyhawk_add_library(th_app SOURCES App.cpp DEPS th_list_ui th_browser)\n" },
    { "src/app/App.cpp", "#include \"browser/Web.h\"\n#include \"list/ui/View.h\"\n" },
    { "src/main.cpp", "#include \"app/App.h\"\n" },
};

} // namespace

class TestIncludeCheck : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void findings_data();
    void findings();
};

void TestIncludeCheck::findings_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("finding");

    QTest::newRow("as declared; the program's main is no library")
        << "src/main.cpp" << QByteArray("#include \"list/List.h\"\n") << 0 << "";
    QTest::newRow("widget class in logic")
        << "src/list/List.cpp" << QByteArray("#include \"core/Core.h\"\n#include <QLabel>\n") << 1
        << "src/list/List.cpp:2: #include <QLabel>: th_list is not a widget library";
    QTest::newRow("widget module path in logic")
        << "src/core/Core.h" << QByteArray("#pragma once\n#include <QtWidgets/QWidget>\n") << 1
        << "src/core/Core.h:2: #include <QtWidgets/QWidget>: th_core is not a widget library";
    QTest::newRow("web engine in a widget library")
        << "src/list/ui/View.cpp" << QByteArray("#include \"list/List.h\"\n#include <QWebEnginePage>\n") << 1
        << "src/list/ui/View.cpp:2: #include <QWebEnginePage>: only th_browser may";
    QTest::newRow("widget folder from logic")
        << "src/list/List.cpp" << QByteArray("#include \"core/Core.h\"\n#include \"list/ui/View.h\"\n") << 1
        << "may not include list/ui/ (widget library th_list_ui)";
    QTest::newRow("undeclared, reached only through another")
        << "src/list/ui/View.cpp" << QByteArray("#include \"list/List.h\"\n#include \"core/Core.h\"\n") << 1
        << "src/list/ui/View.cpp:2: #include \"core/Core.h\": th_list_ui does not declare th_core";
    QTest::newRow("declared, never included")
        << "src/app/App.cpp" << QByteArray("#include \"list/ui/View.h\"\n") << 1
        << "src/app/CMakeLists.txt:1: th_app declares th_browser but includes none of its headers";
    QTest::newRow("two libraries in one folder")
        << "src/list/CMakeLists.txt"
        << QByteArray("tallyhawk_add_library(th_list SOURCES List.cpp DEPS th_core)\n"
                      "tallyhawk_add_library(th_list_more SOURCES More.cpp DEPS th_list)\n")
        << 0 << "";
    QTest::newRow("circle") << "src/core/CMakeLists.txt"
                            << QByteArray("tallyhawk_add_library(th_core SOURCES Core.h DEPS th_list)\n") << 1
                            << "go round in a circle: th_list -> th_core -> th_list";
}

void TestIncludeCheck::findings()
{
    QFETCH(QString, file);
    QFETCH(QByteArray, content);
    QFETCH(int, exitCode);
    QFETCH(QString, finding);

    QTemporaryDir root;
    QVERIFY(root.isValid());
    for (const auto &[path, bytes] : kTree) {
        QVERIFY(QDir(root.path()).mkpath(QFileInfo(root.filePath(path)).path()));
        writeFile(root.filePath(path), path == file ? content : bytes);
    }

    QProcess check;
    check.start(QStringLiteral("python3"), { QStringLiteral(TALLYHAWK_INCLUDE_CHECK), root.path() });
    QVERIFY(check.waitForFinished(30000));
    const QString output = QString::fromUtf8(check.readAllStandardError());
    QCOMPARE(check.exitCode(), exitCode);
    QVERIFY2(output.contains(finding), qPrintable(output));
    if (exitCode == 0)
        QVERIFY2(output.isEmpty(), qPrintable(output));
}

QTEST_GUILESS_MAIN(TestIncludeCheck)
#include "TestIncludeCheck.moc"
