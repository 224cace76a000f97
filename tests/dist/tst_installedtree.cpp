// What `cmake --install` puts in place for a Linux desktop, installed into a temporary prefix:
// every file and nothing else, a valid desktop entry and metainfo file, icons of the sizes
// the hicolor theme looks for, and the udev rule's match and actions.
#include "tests/support/process.h"

#include <QDirIterator>
#include <QImage>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QXmlStreamReader>

namespace {

const QString AppId = QStringLiteral("org.pellvane.Pellvane");
const QList<int> IconSizes = {16, 32, 48, 64, 128, 256};

QString readText(const QString &path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

} // namespace

class TestInstalledTree : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void everyFileInPlace();
    void iconsHaveTheirSizes();
    void desktopEntry();
    void metainfo();
    void validators_data();
    void validators();
    void udevRule();

private:
    QString installed(const QString &relativePath) const { return prefix.filePath(relativePath); }
    QString desktopFile() const { return installed("share/applications/" + AppId + ".desktop"); }
    QString metainfoFile() const { return installed("share/metainfo/" + AppId + ".metainfo.xml"); }

    QTemporaryDir prefix;
};

void TestInstalledTree::initTestCase() {
    QVERIFY(prefix.isValid());
    const ProcessRun install =
        runProcess(CMAKE_COMMAND, {"--install", PELLVANE_BUILD_DIR, "--prefix", prefix.path()});
    QVERIFY2(install.status == 0, qPrintable(install.out + install.err));
}

// The programs and their desktop files only: no library, simulator, demo or test.
void TestInstalledTree::everyFileInPlace() {
    QStringList expected = {"bin/pellvane",
                            "bin/pellvane-cli",
                            "lib/udev/rules.d/70-pellvane.rules",
                            "share/applications/org.pellvane.Pellvane.desktop",
                            "share/doc/pellvane/changelog.gz",
                            "share/doc/pellvane/copyright",
                            "share/icons/hicolor/scalable/apps/org.pellvane.Pellvane.svg",
                            "share/man/man1/pellvane-cli.1.gz",
                            "share/man/man1/pellvane.1.gz",
                            "share/metainfo/org.pellvane.Pellvane.metainfo.xml"};
    for (int size : IconSizes)
        expected << QString("share/icons/hicolor/%1x%1/apps/org.pellvane.Pellvane.png").arg(size);

    QStringList found;
    QDirIterator files(prefix.path(), QDir::Files, QDirIterator::Subdirectories);
    while (files.hasNext())
        found << QDir(prefix.path()).relativeFilePath(files.next());
    found.sort();
    expected.sort();
    QCOMPARE(found, expected);
    QVERIFY(QFileInfo(installed("bin/pellvane")).isExecutable());
    QVERIFY(QFileInfo(installed("bin/pellvane-cli")).isExecutable());
}

void TestInstalledTree::iconsHaveTheirSizes() {
    for (int size : IconSizes) {
        const QImage icon(installed(
            QString("share/icons/hicolor/%1x%1/apps/org.pellvane.Pellvane.png").arg(size)));
        QCOMPARE(icon.size(), QSize(size, size));
        QVERIFY(icon.hasAlphaChannel());
    }
    QXmlStreamReader svg(
        readText(installed("share/icons/hicolor/scalable/apps/" + AppId + ".svg")));
    QVERIFY(svg.readNextStartElement());
    QCOMPARE(svg.name().toString(), QString("svg"));
    QCOMPARE(svg.attributes().value("viewBox").toString(), QString("0 0 256 256"));
}

void TestInstalledTree::desktopEntry() {
    const QStringList lines = readText(desktopFile()).split('\n', Qt::SkipEmptyParts);
    QCOMPARE(lines.value(0), QString("[Desktop Entry]"));
    for (const QString &line : {"Type=Application", "Name=Pellvane", "Exec=pellvane",
                                "Icon=org.pellvane.Pellvane", "Terminal=false"})
        QVERIFY2(lines.contains(line), qPrintable(line));
    QVERIFY(lines.filter(QRegularExpression("^Categories=.*\\bMidi;")).size() == 1);
}

// The metainfo file names the desktop entry and the program as they are installed; the
// validators below judge the rest.
void TestInstalledTree::metainfo() {
    const QString xml = readText(metainfoFile());
    for (const QString &part :
         QStringList{"<component type=\"desktop-application\">", "<id>" + AppId + "</id>",
                     "<launchable type=\"desktop-id\">" + AppId + ".desktop</launchable>",
                     "<binary>pellvane</binary>"})
        QVERIFY2(xml.contains(part), qPrintable(part));
}

void TestInstalledTree::validators_data() {
    QTest::addColumn<QString>("validator");
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("file");
    QTest::newRow("desktop entry") << "desktop-file-validate" << QStringList{} << "desktop";
    QTest::newRow("metainfo") << "appstreamcli" << QStringList{"validate", "--no-net"}
                              << "metainfo";
}

// scripts/test installs both validators; a plain build may lack them.
void TestInstalledTree::validators() {
    QFETCH(QString, validator);
    QFETCH(QStringList, arguments);
    QFETCH(QString, file);
    const QString program = QStandardPaths::findExecutable(validator);
    if (program.isEmpty())
        QSKIP(qPrintable(validator + " is not installed"));
    const ProcessRun check =
        runProcess(program, arguments << (file == "desktop" ? desktopFile() : metainfoFile()));
    QVERIFY2(check.status == 0, qPrintable(check.out + check.err));
}

// A tty whose USB device's product string starts with "Kelvanto": the logged-in user may
// open it, and the modem manager leaves it alone.
void TestInstalledTree::udevRule() {
    QStringList rules;
    for (const QString &line :
         readText(installed("lib/udev/rules.d/70-pellvane.rules")).split('\n'))
        if (!line.trimmed().isEmpty() && !line.trimmed().startsWith('#'))
            rules << line;
    QCOMPARE(rules.size(), 1);
    QStringList keys = rules.first().split(QRegularExpression("\\s*,\\s*"));
    keys.sort();
    QCOMPARE(keys, (QStringList{"ACTION!=\"remove\"", "ATTRS{product}==\"Kelvanto*\"",
                                "ENV{ID_MM_DEVICE_IGNORE}=\"1\"", "SUBSYSTEM==\"tty\"",
                                "SUBSYSTEMS==\"usb\"", "TAG+=\"uaccess\""}));
}

QTEST_GUILESS_MAIN(TestInstalledTree)
#include "tst_installedtree.moc"
