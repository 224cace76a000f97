// The debug traces: nothing reaches the terminal unless a trace category is switched on, and
// each trace keeps its text in its own category.
// Mouse events travel through the window system layer, as a user's do.
#define QTEST_QPA_MOUSE_HANDLING

#include "tests/support/routingfixture.h"

#include <QLabel>
#include <QLoggingCategory>
#include <QRegularExpression>
#include <QTest>

namespace {

QStringList debugTraces;            // "category: text"
QtMessageHandler testLog = nullptr; // QtTest's own: it still gets everything but debug messages

void recordDebugTraces(QtMsgType type, const QMessageLogContext &context, const QString &text) {
    if (type == QtDebugMsg)
        debugTraces << QString::fromLatin1(context.category) + ": " + text;
    else
        testLog(type, context, text);
}

} // namespace

class TestTraces : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void onlySwitchedOnCategoriesTrace_data();
    void onlySwitchedOnCategoriesTrace();
};

void TestTraces::init() {
    debugTraces.clear();
    testLog = qInstallMessageHandler(recordDebugTraces);
}

void TestTraces::cleanup() {
    qInstallMessageHandler(testLog);
    QLoggingCategory::setFilterRules(QString());
}

void TestTraces::onlySwitchedOnCategoriesTrace_data() {
    QTest::addColumn<QString>("rules");
    QTest::addColumn<QStringList>("categories");
    QTest::newRow("no rules") << "" << QStringList();
    QTest::newRow("routing") << "pellvane.routing.debug=true" << QStringList{"pellvane.routing"};
    QTest::newRow("all, as --verbose")
        << "pellvane.*.debug=true"
        << QStringList{"pellvane.input", "pellvane.link", "pellvane.routing"};
}

// Connecting reads chunks and route reports, clicks on an empty part of the window reach its
// mouse handler, and a right click deletes a line: each of these traces in its category only.
void TestTraces::onlySwitchedOnCategoriesTrace() {
    QFETCH(QString, rules);
    QFETCH(QStringList, categories);
    QLoggingCategory::setFilterRules(rules);
    RoutingFixture f;
    const RouterSimulator::Route route = {{0, 1}, {0, 2}};
    QVERIFY(f.connect({route}));
    auto *status = f.bench.find<QLabel>("label_status");
    for (Qt::MouseButton button : {Qt::LeftButton, Qt::RightButton})
        QTest::mouseClick(status, button, {}, status->rect().center());
    f.rightClickLine(route);
    QVERIFY(f.agree());

    QStringList seen;
    for (const QString &trace : qAsConst(debugTraces))
        seen << trace.section(": ", 0, 0);
    seen.removeDuplicates();
    seen.sort();
    QCOMPARE(seen, categories);
    const QList<QPair<QString, QString>> expected = {
        {"pellvane.link", "read data: \""},
        {"pellvane.routing", "反馈的路由情况: \""},
        {"pellvane.routing", "Widget::deleteCurrLine$"},
        {"pellvane.input", "左键：\\(\\d+,\\d+\\)$"},
        {"pellvane.input", "右键：\\(\\d+,\\d+\\)$"}};
    for (const auto &[category, text] : expected) {
        const QRegularExpression trace("^" + category + ": " + text);
        QVERIFY2(debugTraces.filter(trace).isEmpty() != categories.contains(category),
                 qPrintable(trace.pattern()));
    }
}

QTEST_MAIN(TestTraces)
#include "tst_traces.moc"
