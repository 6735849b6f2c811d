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
    void vehicleFit_data();
    void vehicleFit();
    void modeFit_data();
    void modeFit();
    void pieceFit_data();
    void pieceFit();
    void fittingChoicesComeFirst();
    void designWarnings_data();
    void designWarnings();
};

void TestRideRules::vehicleFit_data()
{
    QTest::addColumn<int>("ride");
    QTest::addColumn<int>("vehicle");
    QTest::addColumn<GameVersion>("version");
    QTest::addColumn<Fit>("fit");
    QTest::addColumn<QString>("warning");

    const QString notOffered = u"This vehicle is not offered for this ride in the game"_s;
    QTest::newRow("boat hire, swans") << 0x08 << 0x09 << GameVersion::Original << Fit::Fits << "";
    QTest::newRow("boat hire, log flume boats")
        << 0x08 << 0x25 << GameVersion::LoopyLandscapes << Fit::NotOffered << notOffered;
    QTest::newRow("wooden coaster, backwards train")
        << 0x00 << 0x10 << GameVersion::Original << Fit::Fits << "";
    QTest::newRow("railroad, covered cars in the base game")
        << 0x05 << 0x3B << GameVersion::Original << Fit::LaterGame
        << u"The game offers this vehicle for this ride only from Corkscrew Follies on"_s;
    QTest::newRow("railroad, covered cars in corkscrew")
        << 0x05 << 0x3B << GameVersion::CorkscrewFollies << Fit::Fits << "";
    QTest::newRow("railroad, american train in corkscrew")
        << 0x05 << 0x55 << GameVersion::CorkscrewFollies << Fit::LaterGame
        << u"The game offers this vehicle for this ride only from Loopy Landscapes on"_s;
    QTest::newRow("inverted coaster, 4-across in loopy")
        << 0x03 << 0x50 << GameVersion::LoopyLandscapes << Fit::Fits << "";
    QTest::newRow("hedge maze stores vehicle 00")
        << 0x14 << 0x00 << GameVersion::Original << Fit::Fits << "";
    QTest::newRow("ride 15 is not in the tables")
        << 0x15 << 0x25 << GameVersion::Original << Fit::Fits << "";
}

void TestRideRules::vehicleFit()
{
    QFETCH(int, ride);
    QFETCH(int, vehicle);
    QFETCH(GameVersion, version);
    QFETCH(QString, warning);
    QTEST(VehicleFit(std::uint8_t(ride), std::uint8_t(vehicle), version), "fit");
    QCOMPARE(VehicleWarning(std::uint8_t(ride), std::uint8_t(vehicle), version), warning);
}

void TestRideRules::modeFit_data()
{
    QTest::addColumn<int>("ride");
    QTest::addColumn<int>("mode");
    QTest::addColumn<Fit>("fit");

    QTest::newRow("wooden coaster, continuous circuit") << 0x00 << 0x01 << Fit::Fits;
    QTest::newRow("wooden coaster, powered launch") << 0x00 << 0x03 << Fit::NotOffered;
    QTest::newRow("inverted coaster, powered launch") << 0x03 << 0x03 << Fit::Fits;
    QTest::newRow("boat hire, boat hire mode") << 0x08 << 0x05 << Fit::Fits;
    QTest::newRow("boat hire, continuous circuit") << 0x08 << 0x01 << Fit::NotOffered;
    QTest::newRow("roto-drop, freefall drop") << 0x45 << 0x21 << Fit::Fits;
}

void TestRideRules::modeFit()
{
    QFETCH(int, ride);
    QFETCH(int, mode);
    QFETCH(Fit, fit);
    QCOMPARE(ModeFit(std::uint8_t(ride), std::uint8_t(mode)), fit);
    QCOMPARE(ModeWarning(std::uint8_t(ride), std::uint8_t(mode)).isEmpty(), fit == Fit::Fits);
}

void TestRideRules::pieceFit_data()
{
    QTest::addColumn<int>("ride");
    QTest::addColumn<int>("piece");
    QTest::addColumn<PieceFit>("fit");
    QTest::addColumn<bool>("chainLift");

    QTest::newRow("wooden coaster, flat") << 0x00 << 0x00 << PieceFit::Builds << true;
    QTest::newRow("wooden coaster, 25 up") << 0x00 << 0x06 << PieceFit::Builds << true;
    QTest::newRow("wooden coaster, 60 up") << 0x00 << 0x05 << PieceFit::Builds << false;
    QTest::newRow("wooden coaster, station") << 0x00 << 0x01 << PieceFit::Builds << false;
    QTest::newRow("wooden coaster, steep curve") << 0x00 << 0x5F << PieceFit::CheatOnly << false;
    QTest::newRow("wooden coaster, half loop") << 0x00 << 0xB7 << PieceFit::Possibly << false;
    QTest::newRow("boat hire, flat") << 0x08 << 0x00 << PieceFit::Builds << false;
    QTest::newRow("boat hire, 25 up") << 0x08 << 0x06 << PieceFit::NeverBuilds << false;
    QTest::newRow("wild mouse, 60 up") << 0x36 << 0x05 << PieceFit::Builds << true;
    QTest::newRow("reverse whoa belly, flat") << 0x2A << 0x00 << PieceFit::Builds << false;
    QTest::newRow("unknown ride") << 0x15 << 0x06 << PieceFit::Builds << true;
}

void TestRideRules::pieceFit()
{
    QFETCH(int, ride);
    QFETCH(int, piece);
    QTEST(PieceFitFor(std::uint8_t(ride), std::uint8_t(piece)), "fit");
    QTEST(ChainLiftFits(std::uint8_t(ride), std::uint8_t(piece)), "chainLift");
}

// Boat hire's five boats lead, in the table's order; the rest follow in theirs.
void TestRideRules::fittingChoicesComeFirst()
{
    const std::vector<std::uint8_t> all = {0x00, 0x09, 0x0B, 0x0C, 0x0F, 0x18, 0x25, 0x46};
    const FitOrder boats = OrderVehicles(0x08, GameVersion::Original, all);
    QCOMPARE(boats.codes,
             (std::vector<std::uint8_t>{0x09, 0x0B, 0x0C, 0x0F, 0x18, 0x00, 0x25, 0x46}));
    QCOMPARE(boats.fitting, std::size_t(5));

    const FitOrder flying = OrderVehicles(0x3E, GameVersion::Original, all);
    QCOMPARE(flying.fitting, std::size_t(0));
    QCOMPARE(OrderVehicles(0x3E, GameVersion::CorkscrewFollies, all).codes.front(), 0x46);

    const FitOrder modes = OrderModes(0x0F, {0x00, 0x01, 0x02, 0x03, 0x05});
    QCOMPARE(modes.codes, (std::vector<std::uint8_t>{0x01, 0x02, 0x03, 0x00, 0x05}));
    QCOMPARE(modes.fitting, std::size_t(3));
    QCOMPARE(OrderModes(0x15, {0x05, 0x01}).fitting, std::size_t(0));
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
    QTest::newRow("two bytes") << ByteBuffer{0x08, 0x25} << GameVersion::Original
                               << QStringList{u"Vehicle 25: This vehicle is not offered for "
                                              u"this ride in the game"_s};
}

void TestRideRules::designWarnings()
{
    QFETCH(ByteBuffer, bytes);
    QFETCH(GameVersion, version);
    QTEST(DesignWarnings(bytes, version), "warnings");
}

QTEST_GUILESS_MAIN(TestRideRules)
#include "tst_ride_rules.moc"
