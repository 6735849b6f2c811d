#pragma once

#include <QSettings>
#include <QString>

namespace railwright {

// The .TD4 file type as Windows keeps it for one user under
// HKEY_CURRENT_USER\Software\Classes: the extension names the program ID
// "Railwright.TrackDesign" (and lists it among the programs that open it), whose icon is the
// editor's and whose "Open with Railwright" command opens the file in the editor. The
// installer writes the same keys. Windows only in use; `classes` can be any settings file in
// QSettings' key form ("Default" for a key's default value).
class FileAssociation
{
public:
    static constexpr char16_t ProgId[] = u"Railwright.TrackDesign";

    // `location` and `format` open the classes key ("HKEY_CURRENT_USER\\Software\\Classes"
    // and QSettings::NativeFormat on Windows); `program` is the editor's path as Windows
    // writes it ("C:\\...\\railwright.exe").
    FileAssociation(const QString& location, QSettings::Format format, const QString& program);

    // True when double-clicking a .TD4 runs this program: the extension names our program
    // ID and its open command starts `program`. Read afresh each time, as the installer or
    // another copy of the editor may have changed it.
    [[nodiscard]] bool isRegistered() const;
    // Writes the extension's and the program ID's keys. Returns why it failed (a second
    // try completes what the first began), or an empty string.
    [[nodiscard]] QString registerFileType();
    // Removes exactly what registerFileType writes: the program ID's key, our entry in the
    // extension's list, the extension's default value while it names us, and the
    // extension's key once nothing else is in it. Another program's entries stay. Returns
    // why it failed, or an empty string.
    [[nodiscard]] QString unregisterFileType();

    // The open command: the quoted program and the quoted file.
    [[nodiscard]] QString openCommand() const;

private:
    [[nodiscard]] QString finish();

    mutable QSettings m_classes;
    QString m_program;
};

} // namespace railwright
