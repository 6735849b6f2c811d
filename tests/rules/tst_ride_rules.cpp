#include "codec/record_layout.h"
#include "rules/ride_rules.h"
#include "support/track_records.h"

#include <QTest>

using namespace railwright;
using namespace railwright::rules;
using namespace railwright::testing;
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
    QTest::newRow("wooden coaster, 25 down") << 0x00 << 0x0A << PieceFit::Builds << true;
    QTest::newRow("wooden coaster, 60 up") << 0x00 << 0x05 << PieceFit::Builds << false;
    // Gentle lifts only: no chain on a 60-degree piece, up or down.
    QTest::newRow("wooden coaster, 60 down") << 0x00 << 0x0B << PieceFit::Builds << false;
    QTest::newRow("wooden coaster, diag 60 down") << 0x00 << 0x95 << PieceFit::Builds << false;
    // A sloped curve is a gentle piece that takes a chain.
    QTest::newRow("wooden coaster, sloped curve") << 0x00 << 0x2F << PieceFit::Builds << true;
    QTest::newRow("wooden coaster, large sloped curve") << 0x00 << 0x22 << PieceFit::Builds << true;
    QTest::newRow("wooden coaster, station") << 0x00 << 0x02 << PieceFit::Builds << false;
    QTest::newRow("wooden coaster, steep curve") << 0x00 << 0x5F << PieceFit::CheatOnly << false;
    QTest::newRow("wooden coaster, later piece") << 0x00 << 0xD8 << PieceFit::NeverBuilds << false;
    QTest::newRow("steel mini, sloped curve") << 0x04 << 0x2F << PieceFit::Builds << true;
    // Steep lifts, but no piece the ride builds takes one.
    QTest::newRow("reverse whoa belly, reverse freefall slope")
        << 0x2A << 0x7C << PieceFit::Builds << false;
    QTest::newRow("reverse whoa belly, 60 up") << 0x2A << 0x05 << PieceFit::NeverBuilds << false;
    QTest::newRow("railroad, 25 up") << 0x05 << 0x04 << PieceFit::Builds << false;
    QTest::newRow("boat hire, 25 up") << 0x08 << 0x06 << PieceFit::NeverBuilds << false;
    QTest::newRow("wild mouse, 60 up") << 0x36 << 0x05 << PieceFit::Builds << true;
    QTest::newRow("wild mouse, 60 down") << 0x36 << 0x0B << PieceFit::Builds << true;
    QTest::newRow("ride 15 is not in the tables") << 0x15 << 0x02 << PieceFit::Builds << true;
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

    ByteBuffer circuit = trackRecord(8198, 0x13, 0x04, TestCircuit);
    circuit[1] = 0x1F; // the corkscrew train
    circuit[6] = 0x01; // continuous circuit
    QTest::newRow("the test circuit, chains on its climb")
        << circuit << GameVersion::Original << QStringList();
    // As the piece list shows it: row 57 lies at byte 196 + 2 * 57 = 310.
    std::string flats;
    for (int i = 0; i < 57; ++i) {
        flats += "00 00 ";
    }
    ByteBuffer twisted = trackRecord(8198, 0x00, 0x04, (flats + "35 00").c_str());
    twisted[1] = 0x02;
    QTest::newRow("row 57 of the expansion layout")
        << twisted << GameVersion::LoopyLandscapes
        << QStringList{u"Operating mode 0x00: this operating mode is not offered for this ride "
                       u"in the game"_s,
                       u"Piece 57, right twist down to up (code 0x35, byte 0x136): this ride "
                       u"cannot build this piece in the game"_s};
    QTest::newRow("boat hire with log flume boats in continuous circuit")
        << designRecord(0x08, 0x25, 0x01, {0x02, 0x00}) << GameVersion::Original
        << QStringList{u"Vehicle 0x25: this vehicle is not offered for this ride in the game"_s,
                       u"Operating mode 0x01: this operating mode is not offered for this ride "
                       u"in the game"_s,
                       u"The track does not return to its start, but the ride runs as a "
                       u"continuous circuit"_s};
    QTest::newRow("boat hire climbing, twice: every piece named")
        << designRecord(0x08, 0x09, 0x05, {0x02, 0x00, 0x06, 0x00, 0x00, 0x00, 0x06, 0x00})
        << GameVersion::Original
        << QStringList{u"Piece 1, flat to up 25 (code 0x06, byte 0x3A): this ride cannot build "
                       u"this piece in the game"_s,
                       u"Piece 3, flat to up 25 (code 0x06, byte 0x3E): this ride cannot build "
                       u"this piece in the game"_s};
    QTest::newRow("chain lift on a station and on 60 down, inverted flag, cheat piece")
        << designRecord(0x00, 0x02, 0x02,
                        {0x02, 0x80, 0x00, 0x40, 0x5F, 0x00, 0x0B, 0x80, 0x2F, 0x80})
        << GameVersion::Original
        << QStringList{u"Operating mode 0x02: this operating mode is not offered for this ride "
                       u"in the game"_s,
                       u"Piece 0, begin station (code 0x02, byte 0x38): this piece cannot carry "
                       u"a chain lift on this ride"_s,
                       u"Piece 1, flat (code 0x00, byte 0x3A): this piece is marked inverted, "
                       u"which only the Flying Roller Coaster uses"_s,
                       u"Piece 2, left quarter turn 1 tile up 60 (code 0x5F, byte 0x3C): this "
                       u"ride builds this piece only with a construction cheat"_s,
                       u"Piece 3, down 60 (code 0x0B, byte 0x3E): this piece cannot carry a "
                       u"chain lift on this ride"_s};
    ByteBuffer unmarked = designRecord(0x00, 0x02, 0x01, {0xD8, 0x00, 0x00, 0x00});
    unmarked.resize(0x38 + 4);
    QTest::newRow("no end marker, a later game's piece, a circuit that does not close")
        << unmarked << GameVersion::Original
        << QStringList{u"The track has no end marker: its pieces run to the end of the list"_s,
                       u"The track does not return to its start, but the ride runs as a "
                       u"continuous circuit"_s,
                       u"Piece 0, block brakes (code 0xD8, byte 0x38): this piece is not track "
                       u"of this game; it is left out of the track's shape"_s};
    QTest::newRow("hedge maze walls are not pieces")
        << designRecord(0x14, 0x00, 0x0B, {0x06, 0x00, 0x40, 0x80}) << GameVersion::Original
        << QStringList();
    QTest::newRow("a later game's train")
        << ByteBuffer{0x05, 0x55} << GameVersion::CorkscrewFollies
        << QStringList{u"Vehicle 0x55: the game offers this vehicle for this ride only from Loopy "
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
