// `railwright-cli scan` over a generated folder of 10,000 track designs (base and expansion,
// in ten subfolders), in each output format, beside the cost of only finding and reading
// the same files. Rates are in designs (items) per second.
#include "cli/scan_command.h"
#include "cli/scan_files.h"
#include "codec/checksum.h"
#include "settings/code_tables.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTextStream>
#include <benchmark/benchmark.h>
#include <random>

using namespace Qt::StringLiterals;

using namespace railwright;

namespace {

constexpr int DesignCount = 10000;

// A design as the game saves one: ride settings and statistics, a few hundred bytes of
// track pieces ended by FF, zeros to the full length.
ByteBuffer DesignFile(int index, std::mt19937& rng)
{
    const bool expansion = index % 3 == 0;
    ByteBuffer record(expansion ? 8198 : 8058, 0);
    std::uniform_int_distribution<int> byte(0, 254);
    for (std::size_t i = 0; i < 56; ++i) {
        record[i] = std::uint8_t(byte(rng));
    }
    record[7] = expansion ? 0x04 : 0x00;
    const std::size_t track = expansion ? 0xC4 : 0x38;
    const std::size_t pieces = 50 + std::size_t(index % 200);
    for (std::size_t i = 0; i < 2 * pieces; ++i) {
        record[track + i] = std::uint8_t(byte(rng));
    }
    record[track + 2 * pieces] = 0xFF;
    return EncodeDesign(record, expansion ? GameVersion::LoopyLandscapes : GameVersion::Original);
}

class DesignFolder
{
public:
    DesignFolder()
    {
        std::mt19937 rng(DesignCount);
        for (int i = 0; i < DesignCount; ++i) {
            const QString folder = m_dir.filePath(u"set%1"_s.arg(i % 10));
            QDir().mkpath(folder);
            QFile file(QDir(folder).filePath(u"ride%1.TD4"_s.arg(i)));
            const ByteBuffer bytes = DesignFile(i, rng);
            if (!file.open(QIODevice::WriteOnly) ||
                file.write(reinterpret_cast<const char*>(bytes.data()), qint64(bytes.size())) !=
                    qint64(bytes.size())) {
                qFatal("cannot write the design folder");
            }
        }
    }

    [[nodiscard]] QStringList paths() const { return {m_dir.path()}; }

private:
    QTemporaryDir m_dir;
};

const DesignFolder& designs()
{
    static const DesignFolder folder;
    return folder;
}

// The floor: finding and reading every file, nothing else.
void BM_ReadOnly(benchmark::State& state)
{
    const QStringList paths = designs().paths();
    ByteBuffer buffer;
    for (auto _ : state) {
        std::size_t bytes = 0;
        cli::ForEachScannedFile(paths, [&](const cli::FoundPath& found) {
            bytes +=
                cli::ReadScannedFile(found.path, buffer, found.listedAsRegularFile).bytes.size();
            return true;
        });
        benchmark::DoNotOptimize(bytes);
    }
    state.SetItemsProcessed(state.iterations() * DesignCount);
}

// The whole scan, rows written to /dev/null through a text stream as the tool writes them.
void BM_Scan(benchmark::State& state)
{
    const QStringList paths = designs().paths();
    const CodeTablesLoad tables =
        ReadCodeTables(QString::fromUtf8(RAILWRIGHT_BIN_DIR), MissingCodeTables::Refuse);
    const auto format = cli::ScanFormat(state.range(0));
    QFile sink(u"/dev/null"_s);
    if (!tables.messages.isEmpty() || !sink.open(QIODevice::WriteOnly)) {
        state.SkipWithError("no code tables or no /dev/null");
        return;
    }
    QTextStream out(&sink);
    for (auto _ : state) {
        const cli::ScanTotals totals = cli::ScanPaths(paths, tables.tables, format, out);
        out.flush();
        if (totals.files != DesignCount || totals.notDesigns != 0) {
            state.SkipWithError("the scan did not find every design valid");
            return;
        }
    }
    state.SetItemsProcessed(state.iterations() * DesignCount);
    state.SetLabel(format == cli::ScanFormat::Table ? "table"
                   : format == cli::ScanFormat::Csv ? "csv"
                                                    : "json");
}

} // namespace

BENCHMARK(BM_ReadOnly)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Scan)
    ->Arg(int(cli::ScanFormat::Table))
    ->Arg(int(cli::ScanFormat::Csv))
    ->Arg(int(cli::ScanFormat::Json))
    ->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
