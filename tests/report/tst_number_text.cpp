#include "report/number_text.h"

#include <QTest>
#include <limits>

using namespace railwright;
using namespace Qt::StringLiterals;

class TestNumberText : public QObject
{
    Q_OBJECT

private slots:
    void formats_data();
    void formats();
    void ignoresDefaultLocale();
};

void TestNumberText::formats_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<QString>("expected");

    const QLocale c = QLocale::c();
    const QLocale german(QLocale::German, QLocale::Germany);

    QTest::newRow("whole") << 9.0 << c << u"9"_s;
    QTest::newRow("zero") << 0.0 << c << u"0"_s;
    QTest::newRow("negative zero") << -0.0 << c << u"0"_s;
    QTest::newRow("rating") << 65 / 10.0 << c << u"6.5"_s;
    QTest::newRow("below one") << 3 * 0.32 << c << u"0.96"_s;
    QTest::newRow("g of 255, not 81.60000000000001") << 255 * 0.32 << c << u"81.6"_s;
    QTest::newRow("length 300, not 983.9999999999999") << 300 * 3.28 << c << u"984"_s;
    QTest::newRow("negative length") << -1 * 3.28 << c << u"-3.28"_s;
    QTest::newRow("most negative length") << -32768 * 3.28 << c << u"-107479.04"_s;
    QTest::newRow("no group separator") << 32767 * 3.28 << c << u"107475.76"_s;
    QTest::newRow("0.1 + 0.2") << 0.1 + 0.2 << c << u"0.3"_s;
    QTest::newRow("15 significant digits") << 2.0 / 3 << c << u"0.666666666666667"_s;
    QTest::newRow("rounding carries") << 0.99999999999999989 << c << u"1"_s;
    QTest::newRow("large, no exponent") << 1e20 << c << u"100000000000000000000"_s;
    QTest::newRow("large, rounded") << 123456789012345678.0 << c << u"123456789012346000"_s;
    QTest::newRow("small, no exponent") << 1.5e-7 << c << u"0.00000015"_s;
    QTest::newRow("negative below one") << -0.25 << c << u"-0.25"_s;
    QTest::newRow("not a number") << std::numeric_limits<double>::quiet_NaN() << c << u"NaN"_s;
    QTest::newRow("infinity") << -std::numeric_limits<double>::infinity() << c << u"-Inf"_s;

    QTest::newRow("comma: fraction") << 255 * 0.32 << german << u"81,6"_s;
    QTest::newRow("comma: negative") << -3.28 << german << u"-3,28"_s;
    QTest::newRow("comma: whole") << 300 * 3.28 << german << u"984"_s;
    QTest::newRow("comma: no group separator") << 32767 * 3.28 << german << u"107475,76"_s;
    QTest::newRow("comma: below one") << 0.5 << german << u"0,5"_s;
}

void TestNumberText::formats()
{
    QFETCH(double, value);
    QFETCH(QLocale, locale);
    QFETCH(QString, expected);
    QCOMPARE(FormatNumber(value, locale), expected);
}

// The separator comes from the locale passed in, whatever the default is.
void TestNumberText::ignoresDefaultLocale()
{
    const QLocale saved;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    const QString text = FormatNumber(25.5, QLocale::c());
    QLocale::setDefault(saved);
    QCOMPARE(text, u"25.5"_s);
}

QTEST_GUILESS_MAIN(TestNumberText)
#include "tst_number_text.moc"
