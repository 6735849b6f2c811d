#include "document/document_file.h"
#include "support/file_size_limit.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <sys/resource.h>

using namespace railwright;

namespace {

ByteBuffer allByteValues()
{
    ByteBuffer bytes(256);
    for (int v = 0; v < 256; ++v) {
        bytes[std::size_t(v)] = std::uint8_t(v);
    }
    return bytes;
}

QByteArray asArray(const ByteBuffer& bytes)
{
    return QByteArray(reinterpret_cast<const char*>(bytes.data()), qsizetype(bytes.size()));
}

bool writeRaw(const QString& path, const QByteArray& data)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(data) == data.size();
}

QByteArray readRaw(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

using railwright::test::FileSizeLimit;

} // namespace

class TestDocumentFile : public QObject
{
    Q_OBJECT

private slots:
    void init();

    void loadsRawBytes_data();
    void loadsRawBytes();
    void sizeLimit_data();
    void sizeLimit();
    void emptyFileRefused();
    void unopenable_data();
    void unopenable();

    void saveRoundTrip();
    void saveToUnopenableTarget_data();
    void saveToUnopenableTarget();
    void failedWriteKeepsOldFile_data();
    void failedWriteKeepsOldFile();

    void displayFileName_data();
    void displayFileName();

private:
    QString path(const QString& name) const { return m_dir->filePath(name); }

    std::unique_ptr<QTemporaryDir> m_dir;
};

void TestDocumentFile::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
}

void TestDocumentFile::loadsRawBytes_data()
{
    QTest::addColumn<QByteArray>("data");
    QTest::newRow("all byte values") << asArray(allByteValues());
    // Text is not converted: line ends and high characters stay as they are.
    QTest::newRow("text with CR LF") << QByteArray("line one\r\nline two\n\xE9\r");
    QTest::newRow("one byte") << QByteArray(1, '\0');
}

void TestDocumentFile::loadsRawBytes()
{
    QFETCH(QByteArray, data);
    const QString file = path(QStringLiteral("raw.TD4"));
    QVERIFY(writeRaw(file, data));
    const LoadResult result = LoadFile(file);
    QVERIFY2(result.ok(), qPrintable(result.errorText));
    QCOMPARE(asArray(result.bytes), data);
}

void TestDocumentFile::sizeLimit_data()
{
    QTest::addColumn<int>("size");
    QTest::addColumn<bool>("opens");
    QTest::newRow("65,000") << 65000 << true;
    QTest::newRow("65,001") << 65001 << false;
}

void TestDocumentFile::sizeLimit()
{
    QFETCH(int, size);
    QFETCH(bool, opens);
    QByteArray data(size, '\0');
    for (int i = 0; i < size; ++i) {
        data[i] = char(i * 7 % 256);
    }
    const QString file = path(QStringLiteral("sized.TD4"));
    QVERIFY(writeRaw(file, data));
    const LoadResult result = LoadFile(file);
    if (opens) {
        QVERIFY2(result.ok(), qPrintable(result.errorText));
        QCOMPARE(asArray(result.bytes), data);
    } else {
        QCOMPARE(result.errorText, QStringLiteral("The file is too large to open."));
        QVERIFY(result.bytes.empty());
    }
}

void TestDocumentFile::emptyFileRefused()
{
    const QString file = path(QStringLiteral("empty.TD4"));
    QVERIFY(writeRaw(file, QByteArray()));
    const LoadResult result = LoadFile(file);
    QVERIFY(!result.ok());
    QVERIFY(result.bytes.empty());
    QCOMPARE(result.errorText, QStringLiteral("The file ") + file +
                                   QStringLiteral(" is empty; there is nothing to open."));
}

void TestDocumentFile::unopenable_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("why");
    QTest::newRow("missing file") << QStringLiteral("missing.TD4")
                                  << QStringLiteral("does not exist");
    QTest::newRow("folder") << QStringLiteral("folder") << QStringLiteral("is a folder");
    QTest::newRow("below a regular file")
        << QStringLiteral("plain/inside.TD4") << QString::fromLocal8Bit(std::strerror(ENOTDIR));
}

void TestDocumentFile::unopenable()
{
    QFETCH(QString, name);
    QFETCH(QString, why);
    QVERIFY(QDir(m_dir->path()).mkdir(QStringLiteral("folder")));
    QVERIFY(writeRaw(path(QStringLiteral("plain")), QByteArray("x")));
    const QString file = path(name);
    const LoadResult result = LoadFile(file);
    QCOMPARE(result.errorText, QStringLiteral("Can't open file: %1 (%2)").arg(file, why));
    QVERIFY(result.bytes.empty());
}

void TestDocumentFile::saveRoundTrip()
{
    const QString file = path(QStringLiteral("round.TD4"));
    const ByteBuffer bytes = allByteValues();
    const SaveResult saved = SaveFile(file, bytes);
    QVERIFY2(saved.ok(), qPrintable(saved.errorText));
    QCOMPARE(readRaw(file), asArray(bytes));
    const LoadResult loaded = LoadFile(file);
    QVERIFY(loaded.ok());
    QVERIFY(loaded.bytes == bytes);

    // The largest document goes out and comes back whole.
    ByteBuffer largest(65000);
    for (std::size_t i = 0; i < largest.size(); ++i) {
        largest[i] = std::uint8_t(i * 31 % 256);
    }
    QVERIFY(SaveFile(file, largest).ok());
    const LoadResult reloaded = LoadFile(file);
    QVERIFY(reloaded.ok());
    QVERIFY(reloaded.bytes == largest);

    // A shorter document leaves nothing of the longer file behind; an empty one empties it.
    QVERIFY(SaveFile(file, ByteBuffer{0x01, 0x02, 0x03}).ok());
    QCOMPARE(readRaw(file), QByteArray("\x01\x02\x03"));
    QVERIFY(SaveFile(file, ByteBuffer()).ok());
    QVERIFY(QFileInfo::exists(file));
    QCOMPARE(QFileInfo(file).size(), qint64(0));
}

void TestDocumentFile::saveToUnopenableTarget_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("why");
    // Root may write anywhere, but not below a regular file nor over a folder.
    QTest::newRow("parent is a regular file")
        << QStringLiteral("plain/new.TD4") << QString::fromLocal8Bit(std::strerror(ENOTDIR));
    QTest::newRow("target is a folder")
        << QStringLiteral("folder") << QStringLiteral("is a folder");
    QTest::newRow("missing parent folder")
        << QStringLiteral("nowhere/new.TD4") << QStringLiteral("its folder does not exist");
}

void TestDocumentFile::saveToUnopenableTarget()
{
    QFETCH(QString, name);
    QFETCH(QString, why);
    QVERIFY(QDir(m_dir->path()).mkdir(QStringLiteral("folder")));
    QVERIFY(writeRaw(path(QStringLiteral("folder/keep.TD4")), QByteArray("kept")));
    QVERIFY(writeRaw(path(QStringLiteral("plain")), QByteArray("plain file")));
    const QString file = path(name);
    const SaveResult result = SaveFile(file, allByteValues());
    QCOMPARE(result.errorText, QStringLiteral("Can't open file: %1 (%2)").arg(file, why));
    // Nothing around the target was touched.
    QCOMPARE(readRaw(path(QStringLiteral("plain"))), QByteArray("plain file"));
    QCOMPARE(readRaw(path(QStringLiteral("folder/keep.TD4"))), QByteArray("kept"));
    QVERIFY(QFileInfo(path(QStringLiteral("folder"))).isDir());
    QCOMPARE(QDir(m_dir->path())
                 .entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden)
                 .size(),
             2);
}

void TestDocumentFile::failedWriteKeepsOldFile_data()
{
    QTest::addColumn<int>("size");
    // Small contents fit a write buffer and would only fail when flushed at commit.
    QTest::newRow("1,000 bytes") << 1000;
    QTest::newRow("65,000 bytes") << 65000;
}

void TestDocumentFile::failedWriteKeepsOldFile()
{
    QFETCH(int, size);
    const QString file = path(QStringLiteral("old.TD4"));
    const QByteArray old("the old design, still whole");
    QVERIFY(writeRaw(file, old));

    SaveResult result;
    {
        const FileSizeLimit limit(100);
        if (!limit.active()) {
            QSKIP("cannot lower the file size limit here");
        }
        result = SaveFile(file, ByteBuffer(std::size_t(size), 0x5A));
    }
    QVERIFY(!result.ok());
    QVERIFY2(result.errorText.contains(file), qPrintable(result.errorText));
    // The system's own words for EFBIG, in whatever language it speaks.
    QCOMPARE(result.errorText, QStringLiteral("Can't save file: ") + file + QStringLiteral(" (") +
                                   QString::fromLocal8Bit(std::strerror(EFBIG)) +
                                   QStringLiteral("). The file on disk was left as it was."));
    QCOMPARE(readRaw(file), old);
    // No temporary file is left beside it.
    QCOMPARE(QDir(m_dir->path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
             QStringList{QStringLiteral("old.TD4")});
}

void TestDocumentFile::displayFileName_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("name");
    QTest::newRow("absolute") << QStringLiteral("/home/user/rides/Loop.TD4")
                              << QStringLiteral("Loop.TD4");
    QTest::newRow("relative") << QStringLiteral("rides/Big Dipper.td4")
                              << QStringLiteral("Big Dipper.td4");
    QTest::newRow("bare name") << QStringLiteral("X.TD4") << QStringLiteral("X.TD4");
}

void TestDocumentFile::displayFileName()
{
    QFETCH(QString, path);
    QFETCH(QString, name);
    QCOMPARE(DisplayFileName(path), name);
}

QTEST_GUILESS_MAIN(TestDocumentFile)
#include "tst_document_file.moc"
