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

struct Trace {
    QString category;
    QString text;
};

QList<Trace> debugTraces;
QtMessageHandler testLog = nullptr; // QtTest's own: it still gets everything but debug messages

void recordDebugTraces(QtMsgType type, const QMessageLogContext &context, const QString &text) {
    if (type == QtDebugMsg)
        debugTraces.append({QString::fromLatin1(context.category), text});
    else
        testLog(type, context, text);
}

// Whether some trace of the category matches the pattern.
bool traced(const QString &category, const QString &pattern) {
    const QRegularExpression text(pattern);
    return std::any_of(debugTraces.cbegin(), debugTraces.cend(), [&](const Trace &trace) {
        return trace.category == category && text.match(trace.text).hasMatch();
    });
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
    for (const Trace &trace : qAsConst(debugTraces))
        if (!seen.contains(trace.category))
            seen << trace.category;
    seen.sort();
    QCOMPARE(seen, categories);
    const auto on = [&](const QString &category) { return categories.contains(category); };
    QCOMPARE(traced("pellvane.link", "^read data: \""), on("pellvane.link"));
    QCOMPARE(traced("pellvane.routing", "^反馈的路由情况: \""), on("pellvane.routing"));
    QCOMPARE(traced("pellvane.routing", "^Widget::deleteCurrLine$"), on("pellvane.routing"));
    QCOMPARE(traced("pellvane.input", "^左键：\\(\\d+,\\d+\\)$"), on("pellvane.input"));
    QCOMPARE(traced("pellvane.input", "^右键：\\(\\d+,\\d+\\)$"), on("pellvane.input"));
}

QTEST_MAIN(TestTraces)
#include "tst_traces.moc"
