// The document's bytes, their text accessors and the file they are read from and saved to.
#include "document/document_file.h"
#include "document/track_design_document.h"
#include "document/value_accessors.h"
#include "support/file_size_limit.h"
#include "support/sample_files.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <unistd.h>

using namespace railwright;
using namespace railwright::test;
using namespace Qt::StringLiterals;
using Index = TrackDesignDocument::Index;

namespace {

ByteBuffer pattern(std::size_t size)
{
    ByteBuffer bytes(size);
    for (std::size_t i = 0; i < size; ++i) {
        bytes[i] = std::uint8_t(i * 7);
    }
    return bytes;
}

// A folder in which no file can be made or renamed: without write permission for a
// user, immutable for root (whom permissions do not stop).
bool setReadOnly(const QString& folder, bool readOnly)
{
    if (geteuid() != 0) {
        return QFile::setPermissions(folder,
                                     QFile::ReadOwner | QFile::ExeOwner |
                                         (readOnly ? QFile::Permissions() : QFile::WriteOwner));
    }
    return QProcess::execute(u"chattr"_s, {readOnly ? u"+i"_s : u"-i"_s, folder}) == 0;
}

} // namespace

class TestDocument : public QObject
{
    Q_OBJECT

private slots:
    void loadFile_data()
    {
        QTest::addColumn<QString>("name"); // written with `size` bytes when size >= 0
        QTest::addColumn<int>("size");
        QTest::addColumn<QString>("error"); // %1: the path; empty when the file opens
        const QString tooLarge = u"The file is too large to open."_s;
        QTest::newRow("65,000 bytes") << u"a.TD4"_s << 65000 << QString();
        QTest::newRow("65,001 bytes") << u"a.TD4"_s << 65001 << tooLarge;
        QTest::newRow("empty") << u"a.TD4"_s << 0
                               << u"The file %1 is empty; there is nothing to open."_s;
        QTest::newRow("missing") << u"a.TD4"_s << -1 << u"Can't open file: %1 (does not exist)"_s;
    }
    void loadFile()
    {
        QFETCH(QString, name);
        QFETCH(int, size);
        QFETCH(QString, error);
        QTemporaryDir dir;
        const ByteBuffer bytes = pattern(std::size_t(qMax(size, 0)));
        const QString path = size >= 0 ? writeFile(dir.path(), name, asBytes(bytes))
                                       : QDir(dir.path()).filePath(name);
        const LoadResult result = LoadFile(path);
        QCOMPARE(result.errorText, error.contains(u'%') ? error.arg(path) : error);
        QCOMPARE(asBytes(result.bytes), error.isEmpty() ? asBytes(bytes) : QByteArray());
    }

    // A failed save is reported with the path, and the file on disk stays whole with no
    // temporary file left beside it.
    void failedSaveKeepsOldFile_data()
    {
        QTest::addColumn<QString>("fault");
        QTest::newRow("full disk") << u"full"_s;
        QTest::newRow("read-only folder") << u"read-only"_s;
        QTest::newRow("folder vanished") << u"vanished"_s;
    }
    void failedSaveKeepsOldFile()
    {
        QFETCH(QString, fault);
        QTemporaryDir dir;
        const QString folder = QDir(dir.path()).filePath(u"rides"_s);
        QVERIFY(QDir().mkpath(folder));
        const QString path = writeFile(folder, u"a.TD4"_s, "the old design");
        QVERIFY(SaveFile(path, pattern(3)).ok()); // a shorter file leaves nothing behind
        QCOMPARE(readFile(path), asBytes(pattern(3)));
        SaveResult result;
        if (fault == u"full") {
            const FileSizeLimit limit(100);
            QVERIFY(limit.active());
            result = SaveFile(path, pattern(65000));
        } else if (fault == u"read-only") {
            if (!setReadOnly(folder, true)) {
                QSKIP("cannot make a folder read-only here");
            }
            result = SaveFile(path, pattern(10));
            QVERIFY(setReadOnly(folder, false));
        } else {
            QVERIFY(QDir(folder).removeRecursively());
            result = SaveFile(path, pattern(10));
        }
        QVERIFY2(result.errorText.contains(path), qPrintable(result.errorText));
        QCOMPARE(readFile(path),
                 fault == u"vanished" ? QByteArray("<missing>") : asBytes(pattern(3)));
        QCOMPARE(QDir(folder).entryList(QDir::Files | QDir::Hidden),
                 fault == u"vanished" ? QStringList() : QStringList{u"a.TD4"_s});
    }
};

QTEST_GUILESS_MAIN(TestDocument)
#include "tst_document.moc"
