#include "native_path.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#ifndef Q_OS_WIN
#include <dirent.h>
#include <sys/stat.h>
#endif

namespace railwright {

using namespace Qt::StringLiterals;

namespace {

constexpr char16_t EscapeBase = 0xDC00;

bool isEscapedByte(char16_t c)
{
    return c >= 0xDC80 && c <= 0xDCFF;
}

// The length of the valid UTF-8 sequence at the start of `bytes`, or 0 when there is none
// (a stray continuation byte, an overlong form, a surrogate, past U+10FFFF, cut short).
qsizetype validSequence(QByteArrayView bytes)
{
    const auto byte = [&](qsizetype i) { return i < bytes.size() ? uchar(bytes[i]) : 0; };
    const uchar lead = byte(0);
    if (lead < 0x80) {
        return 1;
    }
    uchar low = 0x80;
    uchar high = 0xBF;
    qsizetype length = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        low = lead == 0xE0 ? 0xA0 : 0x80;
        high = lead == 0xED ? 0x9F : 0xBF;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        low = lead == 0xF0 ? 0x90 : 0x80;
        high = lead == 0xF4 ? 0x8F : 0xBF;
    } else {
        return 0;
    }
    if (byte(1) < low || byte(1) > high) {
        return 0;
    }
    for (qsizetype i = 2; i < length; ++i) {
        if (byte(i) < 0x80 || byte(i) > 0xBF) {
            return 0;
        }
    }
    return length;
}

} // namespace

QString PathFromNative(QByteArrayView bytes)
{
    if (bytes.isValidUtf8()) {
        return QString::fromUtf8(bytes); // nearly every name; a scan makes many
    }
    QString path;
    path.reserve(bytes.size());
    qsizetype i = 0;
    while (i < bytes.size()) {
        const qsizetype length = validSequence(bytes.sliced(i));
        if (length == 0) {
            path += QChar(char16_t(EscapeBase + uchar(bytes[i])));
            ++i;
        } else {
            path += QString::fromUtf8(bytes.sliced(i, length));
            i += length;
        }
    }
    return path;
}

QByteArray NativePath(const QString& path)
{
    if (!HasUndecodableBytes(path)) {
        return path.toUtf8();
    }
    QByteArray bytes;
    bytes.reserve(path.size());
    qsizetype start = 0; // of the stretch of ordinary characters not yet added
    for (qsizetype i = 0; i < path.size(); ++i) {
        const char16_t c = path[i].unicode();
        const bool pairedLow = i > 0 && QChar::isHighSurrogate(path[i - 1].unicode());
        if (isEscapedByte(c) && !pairedLow) {
            bytes += QStringView(path).sliced(start, i - start).toUtf8();
            bytes += char(c - EscapeBase);
            start = i + 1;
        }
    }
    bytes += QStringView(path).sliced(start).toUtf8();
    return bytes;
}

bool HasUndecodableBytes(QStringView text)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (isEscapedByte(text[i].unicode()) &&
            (i == 0 || !QChar::isHighSurrogate(text[i - 1].unicode()))) {
            return true;
        }
    }
    return false;
}

QString EscapeUndecodableBytes(const QString& text)
{
    if (!HasUndecodableBytes(text)) {
        return text;
    }
    QString shown;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (isEscapedByte(c) && (i == 0 || !QChar::isHighSurrogate(text[i - 1].unicode()))) {
            shown += u"\\x"_s + QString::number(c - EscapeBase, 16).toUpper();
        } else {
            shown += text[i];
        }
    }
    return shown;
}

QString ShownPath(const QString& path)
{
    return EscapeUndecodableBytes(QDir::toNativeSeparators(path));
}

#ifndef Q_OS_WIN

QString RecoverDecodedPath(const QString& path)
{
    if (!path.contains(QChar::ReplacementCharacter)) {
        return path;
    }
    const QStringList parts = path.split(u'/');
    QString recovered = parts.first();
    for (qsizetype i = 1; i < parts.size(); ++i) {
        const QString& part = parts[i];
        const QString folder = recovered.isEmpty() ? u"/"_s : recovered;
        QString next = recovered + u'/' + part;
        struct stat info
        {
        };
        if (part.contains(QChar::ReplacementCharacter) &&
            ::lstat(NativePath(next).constData(), &info) != 0) {
            // The folder's one name that Qt shows as `part`.
            QString match;
            int matches = 0;
            if (DIR* listing = ::opendir(NativePath(folder).constData())) {
                while (const dirent* entry = ::readdir(listing)) {
                    if (QFile::decodeName(entry->d_name) == part) {
                        match = PathFromNative(entry->d_name);
                        ++matches;
                    }
                }
                ::closedir(listing);
            }
            if (matches != 1) {
                return path;
            }
            next = recovered + u'/' + match;
        }
        recovered = next;
    }
    return recovered;
}

bool NameExists(const QString& path)
{
    struct stat info
    {
    };
    return ::lstat(NativePath(path).constData(), &info) == 0;
}

bool IsFolder(const QString& path)
{
    struct stat info
    {
    };
    return ::stat(NativePath(path).constData(), &info) == 0 && S_ISDIR(info.st_mode);
}

#else

QString RecoverDecodedPath(const QString& path)
{
    return path; // Windows names are UTF-16 already
}

bool NameExists(const QString& path)
{
    const QFileInfo info(path);
    return info.exists() || info.isSymLink();
}

bool IsFolder(const QString& path)
{
    return QFileInfo(path).isDir();
}

#endif

} // namespace railwright
