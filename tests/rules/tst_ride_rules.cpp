#include "codec/record_layout.h"
#include "rules/ride_rules.h"

#include <QTest>

using namespace railwright;
using namespace railwright::rules;
using namespace Qt::StringLiterals;

Q_DECLARE_METATYPE(railwright::GameVersion)
Q_DECLARE_METATYPE(railwright::rules::Fit)
Q_DECLARE_METATYPE(railwright::rules::PieceFit)

namespace {

// A base-layout record of `ride`, `vehicle` and `mode` whose track list holds `pieces`
// (code, flags pairs) and the end marker.
ByteBuffer designRecord(std::uint8_t ride, std::uint8_t vehicle, std::uint8_t mode,
                        std::initializer_list<std::uint8_t> pieces)
{
    ByteBuffer bytes(8058, 0);
    bytes[0] = ride;
    bytes[1] = vehicle;
    bytes[6] = mode;
    std::size_t at = 0x38;
    for (std::uint8_t byte : pieces) {
        bytes[at++] = byte;
    }
    bytes[at] = 0xFF;
    return bytes;
}

} // namespace

class TestRideRules : public QObject
{
    Q_OBJECT

private slots:
    // What the game offers a ride, in the game the design is for.
    void offers_data()
    {
        QTest::addColumn<int>("ride");
        QTest::addColumn<QString>("what");
        QTest::addColumn<int>("code");
        QTest::addColumn<GameVersion>("version");
        QTest::addColumn<Fit>("fit");
        const auto base = GameVersion::Original;
        const auto corkscrew = GameVersion::CorkscrewFollies;
        const auto loopy = GameVersion::LoopyLandscapes;
        const QString vehicle = u"vehicle"_s;
        const QString mode = u"mode"_s;
        QTest::newRow("boat hire, swans") << 0x08 << vehicle << 0x09 << base << Fit::Fits;
        QTest::newRow("boat hire, log flume boats")
            << 0x08 << vehicle << 0x25 << loopy << Fit::NotOffered;
        QTest::newRow("railroad, covered cars, base game")
            << 0x05 << vehicle << 0x3B << base << Fit::LaterGame;
        QTest::newRow("railroad, covered cars, corkscrew")
            << 0x05 << vehicle << 0x3B << corkscrew << Fit::Fits;
        QTest::newRow("railroad, american train, corkscrew")
            << 0x05 << vehicle << 0x55 << corkscrew << Fit::LaterGame;
        QTest::newRow("ride 15 is not in the tables")
            << 0x15 << vehicle << 0x25 << base << Fit::Fits;
        QTest::newRow("wooden coaster, powered launch")
            << 0x00 << mode << 0x03 << base << Fit::NotOffered;
        QTest::newRow("inverted coaster, powered launch")
            << 0x03 << mode << 0x03 << base << Fit::Fits;
        QTest::newRow("boat hire, boat hire mode") << 0x08 << mode << 0x05 << base << Fit::Fits;
        QTest::newRow("roto-drop, freefall drop") << 0x45 << mode << 0x21 << base << Fit::Fits;
    }
    void offers()
    {
        QFETCH(int, ride);
        QFETCH(QString, what);
        QFETCH(int, code);
        QFETCH(GameVersion, version);
        const auto r = std::uint8_t(ride);
        const auto c = std::uint8_t(code);
        QTEST(what == u"vehicle" ? VehicleFit(r, c, version) : ModeFit(r, c), "fit");
    }

    void pieceFit_data();
    void pieceFit();
    void designWarnings_data();
    void designWarnings();
};

void TestRideRules::pieceFit_data()
{
    QTest::addColumn<int>("ride");
    QTest::addColumn<int>("piece");
    QTest::addColumn<PieceFit>("fit");
    QTest::addColumn<bool>("chainLift");

    QTest::newRow("wooden coaster, flat") << 0x00 << 0x00 << PieceFit::Builds << true;
    QTest::newRow("wooden coaster, 25 up") << 0x00 << 0x06 << PieceFit::Builds << true;
    QTest::newRow("wooden coaster, 60 up") << 0x00 << 0x05 << PieceFit::Builds << false;
    QTest::newRow("wooden coaster, steep curve") << 0x00 << 0x5F << PieceFit::CheatOnly << false;
    QTest::newRow("boat hire, 25 up") << 0x08 << 0x06 << PieceFit::NeverBuilds << false;
    QTest::newRow("wild mouse, 60 up") << 0x36 << 0x05 << PieceFit::Builds << true;
}

void TestRideRules::pieceFit()
{
    QFETCH(int, ride);
    QFETCH(int, piece);
    QTEST(PieceFitFor(std::uint8_t(ride), std::uint8_t(piece)), "fit");
    QTEST(ChainLiftFits(std::uint8_t(ride), std::uint8_t(piece)), "chainLift");
}

void TestRideRules::designWarnings_data()
{
    QTest::addColumn<ByteBuffer>("bytes");
    QTest::addColumn<GameVersion>("version");
    QTest::addColumn<QStringList>("warnings");

    QTest::newRow("a fitting wooden coaster")
        << designRecord(0x00, 0x02, 0x01, {0x02, 0x00, 0x00, 0x80, 0x06, 0x80, 0x01, 0x00})
        << GameVersion::Original << QStringList();
    QTest::newRow("boat hire with log flume boats in continuous circuit")
        << designRecord(0x08, 0x25, 0x01, {0x02, 0x00}) << GameVersion::Original
        << QStringList{u"Vehicle 25: This vehicle is not offered for this ride in the game"_s,
                       u"Operating mode 01: This operating mode is not offered for this ride in "
                       u"the game"_s};
    QTest::newRow("boat hire climbing, twice")
        << designRecord(0x08, 0x09, 0x05, {0x02, 0x00, 0x06, 0x00, 0x00, 0x00, 0x06, 0x00})
        << GameVersion::Original
        << QStringList{u"Track piece 06 at byte 3A and 1 more: This ride cannot build this "
                       u"piece in the game"_s};
    QTest::newRow("chain lift on a station, inverted flag, cheat piece")
        << designRecord(0x00, 0x02, 0x01, {0x02, 0x80, 0x00, 0x40, 0x5F, 0x00})
        << GameVersion::Original
        << QStringList{u"Track piece 02 at byte 38: This piece cannot carry a chain lift on "
                       u"this ride"_s,
                       u"Track piece 00 at byte 3A: This piece is marked inverted, which only "
                       u"the Flying Roller Coaster uses"_s,
                       u"Track piece 5F at byte 3C: This ride builds this piece only with a "
                       u"construction cheat"_s};
    QTest::newRow("hedge maze walls are not pieces")
        << designRecord(0x14, 0x00, 0x0B, {0x06, 0x00, 0x40, 0x80}) << GameVersion::Original
        << QStringList();
    QTest::newRow("a later game's train")
        << ByteBuffer{0x05, 0x55} << GameVersion::CorkscrewFollies
        << QStringList{u"Vehicle 55: The game offers this vehicle for this ride only from Loopy "
                       u"Landscapes on"_s};
}

void TestRideRules::designWarnings()
{
    QFETCH(ByteBuffer, bytes);
    QFETCH(GameVersion, version);
    QTEST(DesignWarnings(bytes, version), "warnings");
}

QTEST_GUILESS_MAIN(TestRideRules)
#include "tst_ride_rules.moc"
