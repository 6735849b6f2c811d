#include "file_association.h"

#ifdef Q_OS_WIN
#include <shlobj.h>
#endif

namespace railwright {

using namespace Qt::StringLiterals;

namespace {

const QString Extension = u".td4"_s; // the registry's key names ignore case
const QString ProgIdKey = QString::fromUtf16(FileAssociation::ProgId);
const QString OwnEntry = Extension + u"/OpenWithProgids/"_s + ProgIdKey;
const QString ExtensionDefault = Extension + u"/Default"_s;
const QString CommandKey = ProgIdKey + u"/shell/open/command/Default"_s;

} // namespace

FileAssociation::FileAssociation(const QString& location, QSettings::Format format,
                                 const QString& program)
    : m_classes(location, format), m_program(program)
{
}

QString FileAssociation::openCommand() const
{
    return u"\""_s + m_program + u"\" \"%1\""_s;
}

bool FileAssociation::isRegistered() const
{
    m_classes.sync();
    return m_classes.value(ExtensionDefault).toString() == ProgIdKey &&
           m_classes.value(CommandKey).toString() == openCommand();
}

QString FileAssociation::registerFileType()
{
    m_classes.setValue(ExtensionDefault, ProgIdKey);
    m_classes.setValue(OwnEntry, QString());
    m_classes.setValue(ProgIdKey + u"/Default"_s, u"RollerCoaster Tycoon track design"_s);
    m_classes.setValue(ProgIdKey + u"/DefaultIcon/Default"_s, u"\""_s + m_program + u"\",0"_s);
    m_classes.setValue(ProgIdKey + u"/shell/open/Default"_s, u"Open with Railwright"_s);
    m_classes.setValue(CommandKey, openCommand());
    return finish();
}

QString FileAssociation::unregisterFileType()
{
    m_classes.remove(ProgIdKey);
    m_classes.remove(OwnEntry);
    if (m_classes.value(ExtensionDefault).toString() == ProgIdKey) {
        m_classes.remove(ExtensionDefault);
    }
    // An empty key is removed as a whole, the list's first.
    for (const QString& group : {Extension + u"/OpenWithProgids"_s, Extension}) {
        m_classes.beginGroup(group);
        // A key's own value is not always among its child keys.
        const bool empty = m_classes.childKeys().isEmpty() && m_classes.childGroups().isEmpty() &&
                           !m_classes.contains(u"Default"_s);
        m_classes.endGroup();
        if (empty) {
            m_classes.remove(group);
        }
    }
    return finish();
}

QString FileAssociation::finish()
{
    m_classes.sync();
    switch (m_classes.status()) {
    case QSettings::NoError:
        break;
    case QSettings::AccessError:
        return u"Windows refused the change to the file types (access denied)."_s;
    case QSettings::FormatError:
        return u"The file types could not be read."_s;
    }
#ifdef Q_OS_WIN
    // Explorer shows the new icon and command at once, not after the next sign-in.
    SHChangeNotify(SHCNE_ASSOCCHANGED, SHCNF_IDLIST, nullptr, nullptr);
#endif
    return {};
}

} // namespace railwright
