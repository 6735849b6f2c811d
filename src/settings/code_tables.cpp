#include "settings/code_tables.h"

#include "document/document_file.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>

namespace railwright {

using namespace Qt::StringLiterals;

QString ReadCodeTable(const QString& directory, const QString& fileNameWithBackslash,
                      CodeTable& table)
{
    table.clear();

    QString fileName = fileNameWithBackslash;
    while (fileName.startsWith(u'\\')) {
        fileName.remove(0, 1);
    }
    const QString path = QDir(directory).filePath(fileName);

    // The game's tool created a table that was missing, so a fresh install shows where
    // the tables belong; an existing one is only read. NewOnly: never over something that
    // appeared meanwhile.
    if (!NameExists(path)) {
        QFile created(path);
        if (!created.open(QIODevice::WriteOnly | QIODevice::NewOnly)) {
            return u"Can't open file: "_s + ShownPath(path) + u" ("_s + created.errorString() +
                   u")"_s;
        }
        return {};
    }

    // Nothing past the last record that can be used is kept, however large the file.
    const qint64 limit = qint64(MaxCodeTableEntries * CodeRecordLength);
    const LoadResult read = ReadRegularFile(path, limit);
    if (!read.ok()) {
        return read.errorText;
    }
    const ByteView contents(read.bytes);
    table = ParseCodeTable(contents.first(std::min(contents.size(), std::size_t(limit))));
    return {};
}

CodeTablesLoad ReadCodeTables(const QString& directory, MissingCodeTables missing)
{
    CodeTablesLoad load;
    const QStringList names = {u"RCCODES.RCS"_s, u"OMCODES.RCS"_s, u"VTCODES.RCS"_s};
    if (missing == MissingCodeTables::Refuse) {
        for (const QString& name : names) {
            const QString path = QDir(directory).filePath(name);
            if (!NameExists(path)) {
                load.messages.append(ShownPath(path) + u": the code table is missing"_s);
                load.tableMissing = true;
                return load;
            }
        }
    }
    const auto read = [&](const QString& name, CodeTable& table) {
        const QString message = ReadCodeTable(directory, name, table);
        if (!message.isEmpty()) {
            load.messages.append(message);
        }
    };
    // This order decides the order of the messages when several files fail.
    read(u'\\' + names[0], load.tables.rideTypes);
    read(u'\\' + names[1], load.tables.operatingModes);
    read(u'\\' + names[2], load.tables.vehicleTypes);
    return load;
}

CodeTablesLoad LoadCodeTables()
{
    return ReadCodeTables(QCoreApplication::applicationDirPath(), MissingCodeTables::Create);
}

} // namespace railwright
