// What `cmake --install` puts in place for a Linux desktop, installed into a temporary prefix:
// every file and nothing else, programs and a copyright file that name the licence, a valid
// desktop entry and metainfo file, icons of the sizes the hicolor theme looks for, and the udev
// rule's match and actions.
#include "tests/support/process.h"

#include <QDirIterator>
#include <QImage>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

namespace {

const QString AppId = QStringLiteral("org.pellvane.Pellvane");
const QList<int> IconSizes = {16, 32, 48, 64, 128, 256};

QString readText(const QString &path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

QString iconFile(int size) {
    return QString("share/icons/hicolor/%1x%1/apps/org.pellvane.Pellvane.png").arg(size);
}

} // namespace

class TestInstalledTree : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void everyFileInPlace();
    void iconsHaveTheirSizes();
    void textFiles_data();
    void textFiles();
    void udevRule();

private:
    QString installed(const QString &relativePath) const { return prefix.filePath(relativePath); }

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
        expected << iconFile(size);

    QStringList found;
    QDirIterator files(prefix.path(), QDir::Files, QDirIterator::Subdirectories);
    while (files.hasNext())
        found << QDir(prefix.path()).relativeFilePath(files.next());
    found.sort();
    expected.sort();
    QCOMPARE(found, expected);
    for (const char *program : {"bin/pellvane", "bin/pellvane-cli"})
        QVERIFY2(runProcess(installed(program), {"--version"})
                     .out.endsWith("\nLicense GPL-3.0-or-later: no warranty\n"),
                 program);
}

// Rendered from the SVG at build time.
void TestInstalledTree::iconsHaveTheirSizes() {
    for (int size : IconSizes) {
        const QImage icon(installed(iconFile(size)));
        QCOMPARE(icon.size(), QSize(size, size));
        QVERIFY(icon.hasAlphaChannel());
    }
}

// The desktop entry and the metainfo file name the program, its icon and each other as they
// are installed, the metainfo and copyright files the licence; a validator judges the rest.
// scripts/test installs both desktop validators; a plain build may lack them. lintian judges
// the copyright file, in scripts/package.
void TestInstalledTree::textFiles_data() {
    QTest::addColumn<QString>("file");
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<QStringList>("validator");
    const QStringList entry = {"Name=Pellvane", "Exec=pellvane", "Icon=" + AppId, "Terminal=false",
                               "Categories=AudioVideo;Audio;Midi;"};
    const QStringList metainfo = {
        "<component type=\"desktop-application\">", "<id>" + AppId + "</id>",
        "<launchable type=\"desktop-id\">" + AppId + ".desktop</launchable>",
        "<binary>pellvane</binary>", "<project_license>GPL-3.0-or-later</project_license>"};
    QTest::newRow("desktop entry") << "share/applications/" + AppId + ".desktop" << entry
                                   << QStringList{"desktop-file-validate"};
    QTest::newRow("metainfo") << "share/metainfo/" + AppId + ".metainfo.xml" << metainfo
                              << QStringList{"appstreamcli", "validate", "--no-net"};
    // GPL-3+ is Debian's name for GPL-3.0-or-later.
    QTest::newRow("copyright") << "share/doc/pellvane/copyright" << QStringList{"License: GPL-3+"}
                               << QStringList();
}

void TestInstalledTree::textFiles() {
    QFETCH(QString, file);
    QFETCH(QStringList, lines);
    QFETCH(QStringList, validator);
    QStringList found;
    for (const QString &line : readText(installed(file)).split('\n'))
        found << line.trimmed();
    for (const QString &line : lines)
        QVERIFY2(found.contains(line), qPrintable(line));
    if (validator.isEmpty())
        return;

    const QString program = QStandardPaths::findExecutable(validator.takeFirst());
    if (program.isEmpty())
        QSKIP("the validator is not installed");
    const ProcessRun check = runProcess(program, validator << installed(file));
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
