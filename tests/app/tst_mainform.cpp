// The main window's form: every control exists once under its name, sits where the other
// subsystems expect it, and carries the texts, sizes and style sheets the window is drawn with.
#include "app/widget.h"
#include "tests/support/fakeinventory.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLayout>
#include <QMap>
#include <QScrollArea>
#include <QScrollBar>
#include <QSpacerItem>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>

#include <memory>

namespace {

QStringList numbered(const QString &pattern, int first, int last) {
    QStringList names;
    for (int n = first; n <= last; ++n)
        names << pattern.arg(n);
    return names;
}

const QStringList MessageBoxes = {"checkBox_NoteOn",          "checkBox_NoteOff",
                                  "checkBox_KeyAftertouch",   "checkBox_ProgramChange",
                                  "checkBox_ChannelPressure", "checkBox_PitchBend",
                                  "checkBox_SystemExclusive"};
const QStringList SystemCommonBoxes = {"checkBox_MIDI_Time_Code", "checkBox_SongPosPointer",
                                       "checkBox_song_select", "checkBox_Tune_Request"};
const QStringList SystemRealtimeBoxes = {
    "checkBox_Timing_Clock", "checkBox_Tick",           "checkBox_Start",       "checkBox_Continue",
    "checkBox_Stop",         "checkBox_Active_Sensing", "checkBox_System_Reset"};
const QStringList GroupBoxes = {"checkBox_Channels", "checkBox_Messages", "checkBox_ControlChange",
                                "checkBox_SystemCommon", "checkBox_SystemRealtime"};
const QStringList AllNoneButtons = {"channel_pb_all",        "channel_pb_none",
                                    "Messages_pb_all",       "Messages_pb_none",
                                    "ControlChange_pb_all",  "ControlChange_pb_none",
                                    "System_common_pb_all",  "System_common_pb_none",
                                    "SystemRealtime_pb_all", "SystemRealtime_pb_none"};
const QStringList ActionButtons = {"pushButton", "pushButton_2", "pushButton_3", "pushButton_4",
                                   "pushButton_5"};

QStringList allCheckBoxes() {
    return GroupBoxes + QStringList{"checkBox_Applies_To_All"} + numbered("checkBox_%1", 1, 16) +
           MessageBoxes + numbered("c%1", 0, 127) + SystemCommonBoxes + SystemRealtimeBoxes;
}

// Every named object of the form, by its exact class.
QMap<QString, QStringList> formObjects() {
    return {
        {"QCheckBox", allCheckBoxes()},
        {"QPushButton", ActionButtons + AllNoneButtons},
        {"QLabel", {"Device", "lable_manufacture", "label_2"}},
        {"QComboBox", {"ComboBox_Devices", "comboBox_MiDiPorts"}},
        {"QGroupBox", {"groupBox_6", "groupBox_3", "groupBox_2", "groupBox_4", "groupBox_5"}},
        {"QScrollArea", {"scrollArea", "addItemScroll"}},
        {"QGraphicsView", {"graphicsView"}},
        {"QTabWidget", {"tabWidget"}},
        {"QWidget", {"header", "tab", "tab_2", "scrollAreaWidgetContents", "layoutWidget1"}},
        {"QVBoxLayout",
         {"verticalLayout", "verticalLayout_66", "verticalLayout_16", "verticalLayout_10",
          "verticalLayout_7", "verticalLayout_8", "verticalLayout_9", "verticalLayout_11",
          "verticalLayout_6", "verticalLayout_12", "verticalLayout_13", "verticalLayout_5",
          "verticalLayout_24", "verticalLayout_14", "verticalLayout_4", "verticalLayout_17",
          "verticalLayout_15", "verticalLayout_3", "verticalLayout_20"}},
        {"QHBoxLayout",
         {"horizontalLayout", "horizontalLayout_2", "horizontalLayout_3", "horizontalLayout_4",
          "horizontalLayout_5", "horizontalLayout_6", "horizontalLayout_7", "horizontalLayout_8",
          "horizontalLayout_9", "horizontalLayout_10"}},
    };
}

// Objects that widgets make for themselves: "qt_" names (a tab widget's page stack, a scroll
// area's viewport) and the tab bar's scroll buttons.
bool toolkitPart(const QObject *object) {
    if (object->objectName().startsWith("qt_"))
        return true;
    for (; object; object = object->parent())
        if (qobject_cast<const QTabBar *>(object))
            return true;
    return false;
}

// A layout's items as names: widgets and layouts by object name, spacers as "spacer WxH".
QStringList layoutItems(const QLayout *layout) {
    QStringList items;
    for (int i = 0; i < layout->count(); ++i) {
        QLayoutItem *item = layout->itemAt(i);
        if (item->widget())
            items << item->widget()->objectName();
        else if (item->layout())
            items << item->layout()->objectName();
        else if (QSpacerItem *spacer = item->spacerItem())
            items << QString("spacer %1x%2")
                         .arg(spacer->sizeHint().width())
                         .arg(spacer->sizeHint().height());
    }
    return items;
}

QString buttonStyle(int radiusBlanks, const QString &tail) {
    return "\nQPushButton{\nbackground-color:rgb(216,216,216);\nborder:1px solid gray; "
           "\nborder-radius:8px;" +
           QString(radiusBlanks, ' ') + "\n" + tail;
}

QString groupStyle(int radius) {
    return QString("background-color: rgb(252, 190, 2);\nborder-radius:%1px;  ").arg(radius);
}

const QString TabBarStyle = "QTabBar {\nbackground-color: transparent;\nqproperty-drawBase:0;\n}\n"
                            "QTabBar::tab{\n\theight:35px;\n\twidth:480px;\n"
                            "\tbackground:rgb(210, 210, 210);\n\tborder: none;\n"
                            "\tborder-top-left-radius: 8px;\n\tborder-top-right-radius: 8px;\n}\n"
                            "QTabBar::tab:selected{\t\n\tbackground:rgb(229, 229, 229);\n}";

} // namespace

class MainFormTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { setDeviceInventory(&inventory); }
    void init() { window = std::make_unique<Widget>(); }
    void cleanup() { window.reset(); }
    void cleanupTestCase() { setDeviceInventory(nullptr); }

    void everyNameExistsOnceWithItsClass();
    void layoutsHoldTheirItemsInOrder_data();
    void layoutsHoldTheirItemsInOrder();
    void properties_data();
    void properties();
    void tabTexts();
    void memberCheckBoxTexts();
    void formFontOnExactlyTheListedWidgets();
    void scrollAreasHoldTheirWidgets();
    void controlChangeColumnScrolls();
    void tabsSitSideBySide();

private:
    FakeInventory inventory;
    std::unique_ptr<Widget> window;
};

void MainFormTest::everyNameExistsOnceWithItsClass() {
    QCOMPARE(window->objectName(), QString("Widget"));
    QCOMPARE(window->metaObject()->className(), "Widget");

    QMap<QString, QStringList> found;
    const QList<QObject *> objects = window->findChildren<QObject *>();
    for (QObject *object : objects) {
        const QString name = object->objectName();
        if (!name.isEmpty() && !toolkitPart(object))
            found[object->metaObject()->className()] << name;
    }
    const QMap<QString, QStringList> expected = formObjects();
    for (auto it = expected.begin(); it != expected.end(); ++it) {
        QStringList actual = found.take(it.key());
        QStringList wanted = it.value();
        actual.sort();
        wanted.sort();
        QCOMPARE(actual, wanted);
    }
    QVERIFY2(found.isEmpty(), qPrintable(QStringList(found.keys()).join(", ")));

    QCOMPARE(window->findChildren<QCheckBox *>().size(), 168);
    for (const QStringList &names : expected)
        for (const QString &name : names)
            QVERIFY2(window->findChildren<QObject *>(name).size() == 1, qPrintable(name));
}

void MainFormTest::layoutsHoldTheirItemsInOrder_data() {
    QTest::addColumn<QString>("layout");
    QTest::addColumn<QStringList>("items");

    QTest::newRow("window") << "verticalLayout"
                            << QStringList{"header", "tabWidget", "horizontalLayout_2"};
    QTest::newRow("header") << "horizontalLayout"
                            << QStringList{"Device", "ComboBox_Devices", "pushButton",
                                           "spacer 40x20", "lable_manufacture"};
    QTest::newRow("routing page") << "verticalLayout_66" << QStringList{"scrollArea"};
    QTest::newRow("filter page") << "verticalLayout_16"
                                 << QStringList{"horizontalLayout_4", "horizontalLayout_7"};
    QTest::newRow("port chooser row")
        << "horizontalLayout_4"
        << QStringList{"label_2", "comboBox_MiDiPorts", "checkBox_Applies_To_All", "spacer 40x20"};
    QTest::newRow("filter columns")
        << "horizontalLayout_7"
        << QStringList{"verticalLayout_10", "verticalLayout_11", "verticalLayout_13",
                       "verticalLayout_14", "verticalLayout_15"};
    QTest::newRow("bottom row") << "horizontalLayout_2"
                                << QStringList{"pushButton_2", "pushButton_3", "pushButton_4",
                                               "pushButton_5", "spacer 40x20"};

    struct FilterColumn {
        QString tag, column, groupCheck, groupBox, groupLayout;
        QStringList groupItems;
        QString memberLayout;
        QStringList members;
        QString buttonRow, allButton, noneButton;
    };
    const QList<FilterColumn> columns = {
        {"channels",
         "verticalLayout_10",
         "checkBox_Channels",
         "groupBox_6",
         "verticalLayout_7",
         {"horizontalLayout_5", "spacer 20x40", "horizontalLayout_3"},
         "horizontalLayout_5",
         {"verticalLayout_8", "verticalLayout_9"},
         "horizontalLayout_3",
         "channel_pb_all",
         "channel_pb_none"},
        {"messages",
         "verticalLayout_11",
         "checkBox_Messages",
         "groupBox_3",
         "verticalLayout_6",
         {"verticalLayout_12", "spacer 20x75", "horizontalLayout_6"},
         "verticalLayout_12",
         MessageBoxes,
         "horizontalLayout_6",
         "Messages_pb_all",
         "Messages_pb_none"},
        {"control change",
         "verticalLayout_13",
         "checkBox_ControlChange",
         "groupBox_2",
         "verticalLayout_5",
         {"addItemScroll", "horizontalLayout_10"},
         "verticalLayout_24",
         numbered("c%1", 0, 127),
         "horizontalLayout_10",
         "ControlChange_pb_all",
         "ControlChange_pb_none"},
        {"system common",
         "verticalLayout_14",
         "checkBox_SystemCommon",
         "groupBox_4",
         "verticalLayout_4",
         {"verticalLayout_17", "spacer 20x189", "horizontalLayout_8"},
         "verticalLayout_17",
         SystemCommonBoxes,
         "horizontalLayout_8",
         "System_common_pb_all",
         "System_common_pb_none"},
        {"system realtime",
         "verticalLayout_15",
         "checkBox_SystemRealtime",
         "groupBox_5",
         "verticalLayout_3",
         {"verticalLayout_20", "spacer 20x380", "horizontalLayout_9"},
         "verticalLayout_20",
         SystemRealtimeBoxes,
         "horizontalLayout_9",
         "SystemRealtime_pb_all",
         "SystemRealtime_pb_none"},
    };
    for (const FilterColumn &c : columns) {
        const QByteArray tag = c.tag.toLatin1();
        QTest::newRow(tag + " column") << c.column << QStringList{c.groupCheck, c.groupBox};
        QTest::newRow(tag + " group") << c.groupLayout << c.groupItems;
        QTest::newRow(tag + " members") << c.memberLayout << c.members;
        QTest::newRow(tag + " buttons") << c.buttonRow << QStringList{c.allButton, c.noneButton};
    }
    QTest::newRow("channels 1-8") << "verticalLayout_8" << numbered("checkBox_%1", 1, 8);
    QTest::newRow("channels 9-16") << "verticalLayout_9" << numbered("checkBox_%1", 9, 16);
}

void MainFormTest::layoutsHoldTheirItemsInOrder() {
    QFETCH(QString, layout);
    QFETCH(QStringList, items);
    auto *found = window->findChild<QLayout *>(layout);
    QVERIFY(found);
    QCOMPARE(layoutItems(found), items);
}

void MainFormTest::properties_data() {
    QTest::addColumn<QString>("object");
    QTest::addColumn<QByteArray>("property");
    QTest::addColumn<QVariant>("expected");

    const int max = QWIDGETSIZE_MAX;
    auto row = [](const QByteArray &tag, const QString &object, const QByteArray &property,
                  const QVariant &expected) {
        QTest::newRow(tag.constData()) << object << property << expected;
    };

    row("window title", "Widget", "windowTitle", "Pellvane");
    row("window style", "Widget", "styleSheet", "font: 75 10pt \"Arial\";");
    row("window minimum", "Widget", "minimumSize", QSize(1000, 720));
    row("window maximum", "Widget", "maximumSize", QSize(930, max));
    row("tab bar style", "tabWidget", "styleSheet", TabBarStyle);
    row("tab scroll buttons", "tabWidget", "usesScrollButtons", false);
    row("routing scroll style", "scrollArea", "styleSheet",
        "border: none;\nbackground: transparent;");
    row("routing scroll resizable", "scrollArea", "widgetResizable", true);

    row("header minimum", "header", "minimumSize", QSize(0, 60));
    row("devices label", "Device", "text", "Devices:");
    row("devices minimum", "ComboBox_Devices", "minimumSize", QSize(250, 25));
    row("devices maximum", "ComboBox_Devices", "maximumSize", QSize(250, 25));
    row("logo label text", "lable_manufacture", "text", "");

    row("connect text", "pushButton", "text", "Connect");
    row("connect style", "pushButton", "styleSheet", buttonStyle(26, "}"));
    row("connect maximum", "pushButton", "maximumSize", QSize(93, 25));
    row("set text", "pushButton_2", "text", "Set");
    row("set style", "pushButton_2", "styleSheet", buttonStyle(26, "}"));
    row("set minimum", "pushButton_2", "minimumSize", QSize(93, 28));
    row("save text", "pushButton_3", "text", "Save File");
    row("save style", "pushButton_3", "styleSheet", buttonStyle(17, QString(8, ' ') + "}"));
    row("open text", "pushButton_4", "text", "Open File");
    row("open style", "pushButton_4", "styleSheet", buttonStyle(17, QString(10, ' ') + "}"));
    row("disconnect text", "pushButton_5", "text", "Disconnect All");
    row("disconnect style", "pushButton_5", "styleSheet", buttonStyle(17, QString(9, ' ') + "}"));
    row("disconnect maximum", "pushButton_5", "maximumSize", QSize(93, 28));

    const QString smallStyle = buttonStyle(17, "font:Arial 10px;" + QString(11, ' ') + "\n}");
    for (const QString &name : AllNoneButtons) {
        const QByteArray tag = name.toLatin1();
        row(tag + " text", name, "text", name.endsWith("all") ? "All" : "None");
        row(tag + " style", name, "styleSheet", smallStyle);
        row(tag + " maximum", name, "maximumSize", QSize(60, 28));
    }

    row("port chooser label", "label_2", "text", "MIDI Ports");
    row("port chooser minimum", "comboBox_MiDiPorts", "minimumSize", QSize(170, 25));
    row("port chooser maximum", "comboBox_MiDiPorts", "maximumSize", QSize(max, 25));
    row("applies to all", "checkBox_Applies_To_All", "text", "Applies to All MIDI Ports");

    row("channels group text", "checkBox_Channels", "text", "Channels");
    row("channels group maximum", "checkBox_Channels", "maximumSize", QSize(max, 20));
    row("control change group text", "checkBox_ControlChange", "text", "Control Change");
    row("control change group maximum", "checkBox_ControlChange", "maximumSize", QSize(165, 20));
    row("system common group text", "checkBox_SystemCommon", "text", "System Common");
    row("system realtime group text", "checkBox_SystemRealtime", "text", "System Realtime");

    for (const char *group : {"groupBox_6", "groupBox_3", "groupBox_4", "groupBox_5"}) {
        row(QByteArray(group) + " style", group, "styleSheet", groupStyle(15));
        row(QByteArray(group) + " minimum", group, "minimumSize", QSize(165, 400));
        row(QByteArray(group) + " maximum", group, "maximumSize", QSize(145, 400));
        row(QByteArray(group) + " title", group, "title", "");
    }
    row("groupBox_2 style", "groupBox_2", "styleSheet", groupStyle(12));
    row("groupBox_2 minimum", "groupBox_2", "minimumSize", QSize(165, 400));
    row("groupBox_2 maximum", "groupBox_2", "maximumSize", QSize(165, 400));

    row("controller contents minimum", "scrollAreaWidgetContents", "minimumSize", QSize(0, 3900));
    row("controller column geometry", "layoutWidget1", "geometry", QRect(10, 10, 86, 3963));
    row("controller scroll resizable", "addItemScroll", "widgetResizable", true);
}

void MainFormTest::properties() {
    QFETCH(QString, object);
    QFETCH(QByteArray, property);
    QFETCH(QVariant, expected);
    QObject *target = object == "Widget" ? window.get() : window->findChild<QObject *>(object);
    QVERIFY(target);
    QCOMPARE(target->property(property.constData()), expected);
}

void MainFormTest::tabTexts() {
    auto *tabs = window->findChild<QTabWidget *>("tabWidget");
    QCOMPARE(tabs->count(), 2);
    QCOMPARE(tabs->widget(0)->objectName(), QString("tab"));
    QCOMPARE(tabs->widget(1)->objectName(), QString("tab_2"));
    QCOMPARE(tabs->tabText(0), QString(17, ' ') + "MIDI Port Routing" + QString(11, ' '));
    QCOMPARE(tabs->tabText(1), QString(15, ' ') + "MIDI Messages Filter" + QString(13, ' '));
}

void MainFormTest::memberCheckBoxTexts() {
    QMap<QString, QString> texts = {
        {"checkBox_NoteOn", "Note On"},
        {"checkBox_NoteOff", "Note Off"},
        {"checkBox_KeyAftertouch", "Key Aftertouch"},
        {"checkBox_ProgramChange", "Program Change"},
        {"checkBox_ChannelPressure", "Channel Pressure"},
        {"checkBox_PitchBend", "Pitch Bend"},
        {"checkBox_SystemExclusive", "System Exclusive"},
        {"checkBox_MIDI_Time_Code", "MIDI Time Code"},
        {"checkBox_SongPosPointer", "Song Pos Pointer"},
        {"checkBox_song_select", "Song Select"},
        {"checkBox_Tune_Request", "Tune Request"},
        {"checkBox_Timing_Clock", "Timing Clock"},
        {"checkBox_Tick", "Tick"},
        {"checkBox_Start", "Start"},
        {"checkBox_Continue", "Continue"},
        {"checkBox_Stop", "Stop"},
        {"checkBox_Active_Sensing", "Active Sensing"},
        {"checkBox_System_Reset", "System Reset"},
    };
    for (int channel = 1; channel <= 16; ++channel)
        texts.insert(QString("checkBox_%1").arg(channel), QString::number(channel));
    for (int controller = 0; controller < 128; ++controller)
        texts.insert(QString("c%1").arg(controller), QString("CC#%1").arg(controller));
    QCOMPARE(texts.size(), 162);

    for (auto it = texts.begin(); it != texts.end(); ++it)
        QCOMPARE(window->findChild<QCheckBox *>(it.key())->text(), it.value());
}

void MainFormTest::formFontOnExactlyTheListedWidgets() {
    const QStringList withFont =
        allCheckBoxes() + ActionButtons +
        QStringList{"ComboBox_Devices", "comboBox_MiDiPorts", "Device", "label_2", "tabWidget"};
    for (const QString &name : withFont) {
        auto *widget = window->findChild<QWidget *>(name);
        QVERIFY2(widget->testAttribute(Qt::WA_SetFont), qPrintable(name));
        const QFont font = widget->font();
        QVERIFY2(font.family() == "Arial" && font.pointSize() == 10 && !font.bold() &&
                     !font.italic(),
                 qPrintable(name));
    }
    const QStringList withoutFont =
        AllNoneButtons + QStringList{"groupBox_6",   "groupBox_2",        "tab",
                                     "tab_2",        "scrollArea",        "addItemScroll",
                                     "graphicsView", "lable_manufacture", "header"};
    for (const QString &name : withoutFont)
        QVERIFY2(!window->findChild<QWidget *>(name)->testAttribute(Qt::WA_SetFont),
                 qPrintable(name));
}

void MainFormTest::scrollAreasHoldTheirWidgets() {
    auto *routing = window->findChild<QScrollArea *>("scrollArea");
    QCOMPARE(routing->widget()->objectName(), QString("graphicsView"));

    // The controller boxes hang on a fixed-geometry child of a contents widget without layout.
    auto *controllers = window->findChild<QScrollArea *>("addItemScroll");
    QWidget *contents = controllers->widget();
    QCOMPARE(contents->objectName(), QString("scrollAreaWidgetContents"));
    QVERIFY(!contents->layout());
    auto *column = window->findChild<QWidget *>("layoutWidget1");
    QCOMPARE(column->parentWidget(), contents);
    QCOMPARE(column->layout()->objectName(), QString("verticalLayout_24"));
    QCOMPARE(column->layout()->contentsMargins(), QMargins());
}

void MainFormTest::controlChangeColumnScrolls() {
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    window->findChild<QTabWidget *>("tabWidget")->setCurrentIndex(1);
    auto *scroll = window->findChild<QScrollArea *>("addItemScroll");
    QTRY_VERIFY_WITH_TIMEOUT(scroll->verticalScrollBar()->isVisible(), 2000);
    QCOMPARE(scroll->widget()->height(), 3900);
    QVERIFY(scroll->verticalScrollBar()->maximum() > 3900 - 400);

    // The last controller is reachable by scrolling.
    auto *last = window->findChild<QCheckBox *>("c127");
    scroll->ensureWidgetVisible(last);
    QVERIFY(scroll->verticalScrollBar()->value() > 0);
    QVERIFY(last->visibleRegion().isEmpty() == false);
}

void MainFormTest::tabsSitSideBySide() {
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    auto *bar = window->findChild<QTabWidget *>("tabWidget")->tabBar();
    QCOMPARE(bar->tabRect(0).size(), QSize(480, 35));
    QCOMPARE(bar->tabRect(1).size(), QSize(480, 35));
    QVERIFY(bar->tabRect(1).left() > bar->tabRect(0).right());
    QVERIFY(bar->rect().contains(bar->tabRect(1)));
}

QTEST_MAIN(MainFormTest)
#include "tst_mainform.moc"
