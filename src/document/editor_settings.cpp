#include "editor_settings.h"

#include <QFileInfo>

namespace railwright {

using namespace Qt::StringLiterals;

namespace {

const QString DecodeOnOpenKey = u"options/decodeOnOpen"_s;
const QString RecentFilesKey = u"files/recent"_s;
const QString LastFolderKey = u"files/lastFolder"_s;
const QString GeometryKey = u"window/geometry"_s;
const QString LayoutKey = u"window/docks"_s;
const QString TrackPanelKey = u"window/trackPanel"_s;

} // namespace

EditorSettings::EditorSettings() : m_settings(u"Railwright"_s, u"Railwright"_s) {}

bool EditorSettings::decodeOnOpen() const
{
    return m_settings.value(DecodeOnOpenKey, false).toBool();
}

void EditorSettings::setDecodeOnOpen(bool on)
{
    m_settings.setValue(DecodeOnOpenKey, on);
}

QStringList EditorSettings::recentFiles() const
{
    QStringList paths = m_settings.value(RecentFilesKey).toStringList();
    paths.removeAll(QString());
    paths.removeDuplicates();
    return paths.mid(0, MaxRecentFiles);
}

void EditorSettings::setRecentFiles(const QStringList& paths)
{
    m_settings.setValue(RecentFilesKey, paths.mid(0, MaxRecentFiles));
}

void EditorSettings::addRecentFile(const QString& path)
{
    // The same file reached by two spellings of its path is one entry.
    const QString absolute = QFileInfo(path).absoluteFilePath();
    QStringList paths = recentFiles();
    paths.removeAll(absolute);
    paths.prepend(absolute);
    setRecentFiles(paths);
}

void EditorSettings::removeRecentFile(const QString& path)
{
    QStringList paths = recentFiles();
    paths.removeAll(QFileInfo(path).absoluteFilePath());
    setRecentFiles(paths);
}

void EditorSettings::clearRecentFiles()
{
    m_settings.remove(RecentFilesKey);
}

QString EditorSettings::lastFolder() const
{
    return m_settings.value(LastFolderKey).toString();
}

void EditorSettings::setLastFolder(const QString& folder)
{
    m_settings.setValue(LastFolderKey, folder);
}

QByteArray EditorSettings::windowGeometry() const
{
    return m_settings.value(GeometryKey).toByteArray();
}

QByteArray EditorSettings::windowLayout() const
{
    return m_settings.value(LayoutKey).toByteArray();
}

QByteArray EditorSettings::trackPanelLayout() const
{
    return m_settings.value(TrackPanelKey).toByteArray();
}

void EditorSettings::setWindowLayout(const QByteArray& geometry, const QByteArray& docks,
                                     const QByteArray& trackPanel)
{
    // A value written again, even unchanged, rewrites the whole settings file on exit;
    // most closes change nothing.
    const auto store = [this](const QString& key, const QByteArray& value) {
        if (m_settings.value(key).toByteArray() != value) {
            m_settings.setValue(key, value);
        }
    };
    store(GeometryKey, geometry);
    store(LayoutKey, docks);
    // A Track panel never shown in this run keeps the layout it had.
    if (!trackPanel.isEmpty()) {
        store(TrackPanelKey, trackPanel);
    }
}

void EditorSettings::forgetTrackPanelLayout()
{
    m_settings.remove(TrackPanelKey);
}

} // namespace railwright
