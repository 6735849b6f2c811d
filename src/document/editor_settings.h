#pragma once

#include <QByteArray>
#include <QSettings>
#include <QString>
#include <QStringList>

namespace railwright {

// What the editor remembers between runs: the recent designs, the last folder of the open
// and save dialogs, and the options the user set. Kept in the user's settings file for
// "Railwright"; a setting that cannot be read reads as its default.
class EditorSettings
{
public:
    // How many designs "Open Recent" lists.
    static constexpr int MaxRecentFiles = 8;

    EditorSettings();

    // "Decode Designs When Opened"; off until the user turns it on.
    [[nodiscard]] bool decodeOnOpen() const;
    void setDecodeOnOpen(bool on);

    // Most recent first, at most MaxRecentFiles, each path once.
    [[nodiscard]] QStringList recentFiles() const;
    void addRecentFile(const QString& path);
    void removeRecentFile(const QString& path);
    void clearRecentFiles();

    // The folder of the design last opened or saved; empty before the first.
    [[nodiscard]] QString lastFolder() const;
    void setLastFolder(const QString& folder);

    // The window's size and place, and the layout of its docks and panels, as Qt saves
    // them; empty before the first run ends (the window then takes its first layout).
    [[nodiscard]] QByteArray windowGeometry() const;
    [[nodiscard]] QByteArray windowLayout() const;
    [[nodiscard]] QByteArray trackPanelLayout() const;
    void setWindowLayout(const QByteArray& geometry, const QByteArray& docks,
                         const QByteArray& trackPanel);
    // The Track panel's own layout (splitter, view) back to its first one.
    void forgetTrackPanelLayout();

private:
    void setRecentFiles(const QStringList& paths);

    QSettings m_settings;
};

} // namespace railwright
