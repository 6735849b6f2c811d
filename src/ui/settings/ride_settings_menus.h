#pragma once

#include "codec/code_table_format.h"
#include "codec/game_version.h"
#include "settings/setting_bytes.h"
#include "ui/settings/color_picker.h"

#include <QList>
#include <QObject>

class QAction;
class QMenu;

namespace railwright {

class TrackDesignDocument;

// The menus and actions of the main window that the ride settings fill and answer.
// The window creates them empty; every pointer must be set.
struct RideSettingsMenuHandles
{
    QMenu* rideTypes = nullptr;                 // SM_RC
    QMenu* vehicleTypes = nullptr;              // SM_VT
    QMenu* operatingModes = nullptr;            // SM_OM
    QMenu* trackSpine = nullptr;                // SM_TSC
    QMenu* trackRail = nullptr;                 // SM_TRC
    QMenu* trackSupport = nullptr;              // SM_SC
    QMenu* bodyColor = nullptr;                 // SM_Body_Color
    QMenu* trimColor = nullptr;                 // SM_Trim_Color
    QAction* schemeSame = nullptr;              // SM_CS_Same
    QAction* schemeTrain = nullptr;             // SM_CS_Train
    QAction* schemeCar = nullptr;               // SM_CS_Car
    QAction* schemeNotUsed = nullptr;           // SM_CS_NotUsed
    QAction* versionOriginal = nullptr;         // SM_RCT_Org
    QAction* versionCorkscrewFollies = nullptr; // SM_RCT_CF
    QAction* versionLoopyLandscapes = nullptr;  // SM_RCT_LL
};

// The ride settings of the "&Ride Settings" and "&Options" menus: it builds the items of
// the type and colour menus from the code tables, writes the chosen code or colour into
// the document as one undoable step, and shows the document's game version in the three
// version actions' check marks. A type menu, each time it opens, checks the items whose
// code the record holds; every item stays listed.
class RideSettingsMenus : public QObject
{
    Q_OBJECT

public:
    // Builds the menu items at once, except those of a type menu of more than 256
    // entries: that one gets submenus of 256 entries each ("1-256", "257-512", ...),
    // made when it is first opened and filled when each is first opened. `tables` must
    // outlive this object. Without a picker, colours are picked in the "Colors" dialog,
    // made at its first use and kept.
    RideSettingsMenus(TrackDesignDocument& document, const CodeTables& tables,
                      const RideSettingsMenuHandles& handles, ColorPicker picker = {},
                      QObject* parent = nullptr);
    ~RideSettingsMenus() override;

    // The document's game version.
    [[nodiscard]] GameVersion gameVersion() const;
    // What a click on a version item does: makes it the document's version (no byte is
    // written); the check marks and items 1 to 3 of the track-colour menus follow.
    void chooseGameVersion(GameVersion version);

    // The items of a type menu (entry 1 first; any not built yet are built now) and of
    // the colour menus (item 0 first).
    [[nodiscard]] QList<QAction*> typeItems(CodeKind kind) const;
    [[nodiscard]] QList<QAction*> trackItems(TrackPart part) const;
    [[nodiscard]] QList<QAction*> bodyItems() const { return m_bodyItems; }
    [[nodiscard]] QList<QAction*> trimItems() const { return m_trimItems; }

signals:
    // A command could not write its byte because the record ends before it; the text
    // tells the user why. Nothing was changed.
    void writeRefused(const QString& message);

private:
    void BuildSettingsMenus();
    void buildTypeMenu(CodeKind kind, QMenu* menu, const CodeTable& table,
                       const QString& arrayName);
    QList<QAction*> buildNumberedMenu(QMenu* menu, int count, const QString& caption,
                                      const QString& arrayName);
    void connectCommands();
    void showGameVersion(GameVersion version);

    void chooseCode(CodeKind kind, const CodeRecord& entry);
    void chooseColorScheme(int scheme);
    void chooseTrackColor(TrackPart part, int scheme);
    void chooseColor(const record::FieldDescription& field);
    void writeSetting(const record::FieldDescription& field, int value);

    TrackDesignDocument& m_document;
    const CodeTables& m_tables;
    RideSettingsMenuHandles m_handles;
    ColorPicker m_picker;

    QList<QAction*> m_rideTypeItems;
    QList<QAction*> m_vehicleTypeItems;
    QList<QAction*> m_operatingModeItems;
    QList<QAction*> m_spineItems;
    QList<QAction*> m_railItems;
    QList<QAction*> m_supportItems;
    QList<QAction*> m_bodyItems;
    QList<QAction*> m_trimItems;
};

// The caption of a type-menu item: the code as stored, ": " and the trimmed name, read
// as Windows-1252. An ampersand is doubled so that it shows instead of marking an
// access key.
[[nodiscard]] QString CodeItemCaption(const CodeRecord& entry);

} // namespace railwright
