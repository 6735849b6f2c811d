#include "settings/code_tables.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>

namespace railwright {

QString ReadCodeTable(const QString& directory, const QString& fileNameWithBackslash,
                      CodeTable& table)
{
    table.clear();

    QString fileName = fileNameWithBackslash;
    while (fileName.startsWith(u'\\')) {
        fileName.remove(0, 1);
    }
    QFile file(QDir(directory).filePath(fileName));

    // The game's tool created a table that was missing, so a fresh install shows where
    // the tables belong; an existing one is only read.
    const bool opened =
        file.exists() ? file.open(QIODevice::ReadOnly) : file.open(QIODevice::ReadWrite);
    if (!opened) {
        return QStringLiteral("Can't open file: ") + fileNameWithBackslash;
    }

    // Nothing past the last record that can be used is read, however large the file.
    const QByteArray contents = file.read(qint64(MaxCodeTableEntries * CodeRecordLength));
    const auto* first = reinterpret_cast<const std::uint8_t*>(contents.constData());
    table = ParseCodeTable(ByteView(first, std::size_t(contents.size())));
    return {};
}

CodeTablesLoad ReadCodeTables(const QString& directory)
{
    CodeTablesLoad load;
    const auto read = [&](const QString& name, CodeTable& table) {
        const QString message = ReadCodeTable(directory, name, table);
        if (!message.isEmpty()) {
            load.messages.append(message);
        }
    };
    // This order decides the order of the messages when several files fail.
    read(QStringLiteral("\\RCCODES.RCS"), load.tables.rideTypes);
    read(QStringLiteral("\\OMCODES.RCS"), load.tables.operatingModes);
    read(QStringLiteral("\\VTCODES.RCS"), load.tables.vehicleTypes);
    return load;
}

CodeTablesLoad LoadCodeTables()
{
    return ReadCodeTables(QCoreApplication::applicationDirPath());
}

} // namespace railwright
