#include "config/configform.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QTest>

using ConfigForm::ButtonRoute;

class TestConfigForm : public QObject {
    Q_OBJECT

private slots:
    void routeNamesBothWays();
};

// Later recorded destinations first. Read back for a router with 2 MIDI IN, 3 MIDI OUT,
// 2 USB HOST and 1 USB Device port: input buttons MIDI IN 1-2, USB HOST 1-2, USB Device 1;
// output buttons MIDI OUT 1-3, USB HOST 1-2, USB Device 1.
void TestConfigForm::routeNamesBothWays() {
    ConfigForm::RouteMap routes;
    routes.insert({2, 1}, {1, 2});
    routes.insert({2, 1}, {0, 3});
    routes.insert({1, 2}, {2, 1});
    QJsonObject form = ConfigForm::routeForm(routes);
    QCOMPARE(QJsonDocument(form).toJson(QJsonDocument::Compact),
             QByteArray(
                 R"({"USB Device 1":["MIDI OUT 3","USB HOST 2"],"USB HOST 2":["USB Device 1"]})"));

    // The kind's text is taken out wherever it stands; numbers outside the router, even
    // those that overflow an int, are skipped.
    form["MIDI IN MIDI IN 2"] = QJsonArray{"MIDI OUT MIDI OUT 1", "MIDI OUT 4"};
    form["USB HOST 4294967297"] = QJsonArray{"MIDI OUT 1"};
    QCOMPARE(ConfigForm::buttonRoutes(form, {2, 3, 2, 1}),
             QList<ButtonRoute>({{1, 0}, {4, 2}, {4, 4}, {3, 5}}));
}

QTEST_APPLESS_MAIN(TestConfigForm)
#include "tst_configform.moc"
