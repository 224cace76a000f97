// The mapping between the 162 member boxes of the filter panel and the 25 filter bytes, without
// a window.
#include "filters/filterbits.h"

#include <QSet>
#include <QTest>

using namespace FilterBits;

namespace {

QSet<QString> clicked(const FilterBytes &bytes) {
    QSet<QString> boxes;
    for (const LoadStep &step : loadSteps(bytes))
        if (step.click)
            boxes.insert(step.boxName);
    return boxes;
}

FilterBytes packSet(const QSet<QString> &checked) {
    return pack([&](const QString &name) { return checked.contains(name); });
}

} // namespace

class TestFilterBits : public QObject {
    Q_OBJECT
private slots:
    void eachBoxAloneIsItsOwnBit();
    void allClearAndAllChecked();
};

void TestFilterBits::eachBoxAloneIsItsOwnBit() {
    QSet<QPair<int, qint32>> bits;
    for (const MemberBit &member : members()) {
        const FilterBytes bytes = packSet({member.boxName});
        for (int i = 0; i < FilterByteCount; ++i)
            if (bytes[i] != 0) {
                QVERIFY2(bytes[i] < 0x80 && (bytes[i] & (bytes[i] - 1)) == 0,
                         qPrintable(member.boxName));
                bits.insert({i, bytes[i]});
            }
        QCOMPARE(clicked(bytes), QSet<QString>{member.boxName});
    }
    QCOMPARE(bits.size(), 162);
}

void TestFilterBits::allClearAndAllChecked() {
    QCOMPARE(packSet({}), FilterBytes{});
    QVERIFY(clicked(FilterBytes{}).isEmpty());
    const FilterBytes all = pack([](const QString &) { return true; });
    const FilterBytes full = {0x03, 0x7F, 0x7F, 0x7F, 0x03, 0x7F, 0x7F, 0x7F, 0x7F,
                              0x7F, 0x7F, 0x7F, 0x7F, 0x7F, 0x7F, 0x7F, 0x7F, 0x7F,
                              0x7F, 0x7F, 0x7F, 0x7F, 0x7F, 0x0F, 0x7F};
    QCOMPARE(all, full);
    QCOMPARE(clicked(all).size(), 162);
}

QTEST_APPLESS_MAIN(TestFilterBits)
#include "tst_filterbits.moc"
