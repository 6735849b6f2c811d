#include "ui/settings/ride_settings_menus.h"

#include "codec/record_layout.h"
#include "document/track_design_document.h"
#include "rules/ride_rules.h"
#include "ui/settings/palette_dialog.h"

#include <QAction>
#include <QMenu>
#include <algorithm>
#include <functional>
#include <vector>

namespace railwright {

using namespace Qt::StringLiterals;

namespace {

// Type menus with more entries than this are split into submenus of this many entries
// each, built when first opened: a menu of thousands of rows can neither be read nor
// laid out quickly, and tens of thousands of items would slow the window's start-up.
constexpr std::size_t TypeMenuBlockSize = 256;

// The number text of a menu index: a blank where a sign would stand, then the digits.
// With the caption's own trailing blank this gives two blanks before the digits.
QString NumberText(int value)
{
    return u" "_s + QString::number(value);
}

// A type-menu item for `entry`: checkable, its code value kept for the check marks.
QAction* AddCodeItem(QMenu* menu, const CodeRecord& entry, const QString& name)
{
    QAction* item = menu->addAction(CodeItemCaption(entry));
    item->setObjectName(name);
    item->setCheckable(true);
    item->setData(CodeValue(entry));
    return item;
}

// Checks the items whose code the record holds (several when codes repeat) and
// unchecks the rest; items not built yet are skipped.
void MarkHeldCode(const QList<QAction*>& items, int held)
{
    for (QAction* item : items) {
        if (item != nullptr && item->isCheckable()) {
            item->setChecked(item->data().toInt() == held);
        }
    }
}

// Lists the items whose code fits the ride first, then a separator and the rest, each
// group in table order; an unknown ride (or nothing fitting) keeps the table's order.
void OrderByFit(QMenu* menu, const QList<QAction*>& items, QAction* separator,
                const std::function<bool(int code)>& fits)
{
    QList<QAction*> fitting;
    QList<QAction*> others;
    for (QAction* item : items) {
        (fits && fits(item->data().toInt()) ? fitting : others).append(item);
    }
    for (QAction* item : menu->actions()) {
        menu->removeAction(item);
    }
    if (fitting.isEmpty() || others.isEmpty()) {
        menu->addActions(items);
        return;
    }
    menu->addActions(fitting);
    menu->addAction(separator);
    menu->addActions(others);
}

// Builds the items of a large type menu on demand: the block submenus when the menu is
// first opened, a block's items when that block is first opened, and every item still
// missing when asked for the whole list.
class LazyTypeMenu : public QObject
{
public:
    using Choose = std::function<void(const CodeRecord&)>;
    using HeldCode = std::function<int()>;

    LazyTypeMenu(QMenu* menu, const CodeTable& table, QString arrayName, QList<QAction*>& items,
                 Choose choose, HeldCode held, QObject* parent)
        : QObject(parent), m_menu(menu), m_table(table), m_arrayName(std::move(arrayName)),
          m_items(items), m_choose(std::move(choose)), m_held(std::move(held))
    {
        m_items = QList<QAction*>(qsizetype(table.size()), nullptr);
        connect(m_menu, &QMenu::aboutToShow, this, &LazyTypeMenu::buildBlocks);
    }

    void buildAll()
    {
        buildBlocks();
        for (std::size_t block = 0; block < m_blocks.size(); ++block) {
            fillBlock(block);
        }
    }

private:
    void buildBlocks()
    {
        if (!m_blocks.empty()) {
            return;
        }
        const std::size_t count = (m_table.size() + TypeMenuBlockSize - 1) / TypeMenuBlockSize;
        for (std::size_t block = 0; block < count; ++block) {
            const std::size_t first = block * TypeMenuBlockSize;
            const std::size_t last = std::min(first + TypeMenuBlockSize, m_table.size());
            // Entry numbers, as the items' names count them.
            QMenu* sub = m_menu->addMenu(u"%1-%2"_s.arg(first + 1).arg(last));
            sub->setObjectName(m_arrayName + u"_Block%1"_s.arg(block + 1));
            sub->menuAction()->setObjectName(sub->objectName());
            connect(sub, &QMenu::aboutToShow, this, [this, block, first, last] {
                fillBlock(block);
                MarkHeldCode(m_items.mid(qsizetype(first), qsizetype(last - first)), m_held());
            });
            m_blocks.push_back({sub, false});
        }
    }

    void fillBlock(std::size_t block)
    {
        auto& [sub, filled] = m_blocks[block];
        if (filled) {
            return;
        }
        filled = true;
        const std::size_t first = block * TypeMenuBlockSize;
        const std::size_t last = std::min(first + TypeMenuBlockSize, m_table.size());
        for (std::size_t i = first; i < last; ++i) {
            const CodeRecord& entry = m_table[i];
            QAction* item = AddCodeItem(sub, entry, m_arrayName + u"_%1"_s.arg(i + 1));
            connect(item, &QAction::triggered, this, [this, &entry] { m_choose(entry); });
            m_items[qsizetype(i)] = item;
        }
    }

    QMenu* m_menu;
    const CodeTable& m_table;
    QString m_arrayName;
    QList<QAction*>& m_items;
    Choose m_choose;
    HeldCode m_held;
    std::vector<std::pair<QMenu*, bool>> m_blocks; // submenu, items built
};

} // namespace

QString CodeItemCaption(const CodeRecord& entry)
{
    const std::string caption = entry.code + ": " + TrimmedName(entry);
    QString text = QString::fromStdString(Windows1252ToUtf8(caption));
    text.replace(u'&', u"&&"_s);
    return text;
}

RideSettingsMenus::RideSettingsMenus(TrackDesignDocument& document, const CodeTables& tables,
                                     const RideSettingsMenuHandles& handles, ColorPicker picker,
                                     QObject* parent)
    : QObject(parent), m_document(document), m_tables(tables), m_handles(handles),
      m_picker(picker ? std::move(picker) : PaletteDialogPicker())
{
    BuildSettingsMenus();
    connectCommands();
}

RideSettingsMenus::~RideSettingsMenus() = default;

void RideSettingsMenus::BuildSettingsMenus()
{
    buildTypeMenu(CodeKind::RideType, m_handles.rideTypes, m_tables.rideTypes, u"SM_RCTypes"_s);
    buildTypeMenu(CodeKind::VehicleType, m_handles.vehicleTypes, m_tables.vehicleTypes,
                  u"SM_VTTypes"_s);
    buildTypeMenu(CodeKind::OperatingMode, m_handles.operatingModes, m_tables.operatingModes,
                  u"SM_OMTypes"_s);

    m_railItems = buildNumberedMenu(m_handles.trackRail, TrackColorItems, u"Track Rail Color "_s,
                                    u"SM_TRC_Num"_s);
    m_spineItems = buildNumberedMenu(m_handles.trackSpine, TrackColorItems, u"Track Spine Color "_s,
                                     u"SM_TSC_Num"_s);
    m_supportItems = buildNumberedMenu(m_handles.trackSupport, TrackColorItems,
                                       u"Track Support Color "_s, u"SM_SC_Num"_s);
    m_bodyItems = buildNumberedMenu(m_handles.bodyColor, VehicleColorItems, u"Body Color "_s,
                                    u"SM_BC_Cars"_s);
    m_trimItems = buildNumberedMenu(m_handles.trimColor, VehicleColorItems, u"Trim Color "_s,
                                    u"SM_TC_Cars"_s);
}

void RideSettingsMenus::buildTypeMenu(CodeKind kind, QMenu* menu, const CodeTable& table,
                                      const QString& arrayName)
{
    QList<QAction*>& items = kind == CodeKind::RideType      ? m_rideTypeItems
                             : kind == CodeKind::VehicleType ? m_vehicleTypeItems
                                                             : m_operatingModeItems;
    // An empty table still shows its menu's one captionless item; choosing it writes
    // nothing, as there is no entry behind it.
    if (table.empty()) {
        QAction* placeholder = menu->addAction(QString());
        placeholder->setObjectName(arrayName + u"_1"_s);
        items.append(placeholder);
        return;
    }
    // The check marks show the record's code each time a menu opens, so an edit costs
    // the menus nothing.
    const auto held = [this, kind] {
        return int(m_document.valueAt(TrackDesignDocument::Index(CodeField(kind).offset)));
    };
    if (table.size() > TypeMenuBlockSize) {
        auto* lazy = new LazyTypeMenu(
            menu, table, arrayName, items,
            [this, kind](const CodeRecord& entry) { chooseCode(kind, entry); }, held, this);
        lazy->setObjectName(arrayName);
        return;
    }
    for (std::size_t i = 0; i < table.size(); ++i) {
        const CodeRecord& entry = table[i];
        QAction* item = AddCodeItem(menu, entry, arrayName + u"_%1"_s.arg(i + 1));
        connect(item, &QAction::triggered, this, [this, kind, &entry] { chooseCode(kind, entry); });
        items.append(item);
    }
    connect(menu, &QMenu::aboutToShow, this, [&items, held] { MarkHeldCode(items, held()); });
    if (kind == CodeKind::RideType) {
        return;
    }
    // Vehicles and modes the game offers for the record's ride come first.
    auto* separator = new QAction(menu);
    separator->setSeparator(true);
    separator->setObjectName(arrayName + u"_Fitting"_s);
    connect(menu, &QMenu::aboutToShow, this, [this, menu, &items, kind, separator] {
        const auto ride = std::uint8_t(m_document.valueAt(record::RideType));
        const GameVersion version = gameVersion();
        OrderByFit(menu, items, separator, [ride, version, kind](int code) {
            return kind == CodeKind::VehicleType
                       ? rules::VehicleFit(ride, std::uint8_t(code), version) == rules::Fit::Fits
                       : rules::ModeFit(ride, std::uint8_t(code)) == rules::Fit::Fits;
        });
    });
}

QList<QAction*> RideSettingsMenus::buildNumberedMenu(QMenu* menu, int count, const QString& caption,
                                                     const QString& arrayName)
{
    QList<QAction*> items;
    for (int i = 0; i < count; ++i) {
        // The last digit is the access key; the caption reads as before.
        QString text = caption + NumberText(i);
        text.insert(text.size() - 1, u'&');
        QAction* item = menu->addAction(text);
        item->setObjectName(arrayName + u"_%1"_s.arg(i));
        items.append(item);
    }
    return items;
}

void RideSettingsMenus::connectCommands()
{
    const auto onScheme = [this](QAction* action, int scheme) {
        connect(action, &QAction::triggered, this, [this, scheme] { chooseColorScheme(scheme); });
    };
    onScheme(m_handles.schemeSame, 0);
    onScheme(m_handles.schemeTrain, 1);
    onScheme(m_handles.schemeCar, 2);
    onScheme(m_handles.schemeNotUsed, 3);

    const auto onTrack = [this](const QList<QAction*>& items, TrackPart part) {
        for (int s = 0; s < items.size(); ++s) {
            connect(items[s], &QAction::triggered, this,
                    [this, part, s] { chooseTrackColor(part, s); });
        }
    };
    onTrack(m_spineItems, TrackPart::Spine);
    onTrack(m_railItems, TrackPart::Rail);
    onTrack(m_supportItems, TrackPart::Support);

    for (int i = 0; i < m_bodyItems.size(); ++i) {
        connect(m_bodyItems[i], &QAction::triggered, this,
                [this, i] { chooseColor(BodyColorField(i)); });
    }
    for (int i = 0; i < m_trimItems.size(); ++i) {
        connect(m_trimItems[i], &QAction::triggered, this,
                [this, i] { chooseColor(TrimColorField(i)); });
    }

    const auto onVersion = [this](QAction* action, GameVersion version) {
        action->setCheckable(true);
        // A click on the item already checked unchecks a lone checkable action before
        // this runs; choosing the version sets the mark again.
        connect(action, &QAction::triggered, this, [this, version] { chooseGameVersion(version); });
    };
    onVersion(m_handles.versionOriginal, GameVersion::Original);
    onVersion(m_handles.versionCorkscrewFollies, GameVersion::CorkscrewFollies);
    onVersion(m_handles.versionLoopyLandscapes, GameVersion::LoopyLandscapes);
    connect(&m_document, &TrackDesignDocument::gameVersionChanged, this,
            &RideSettingsMenus::showGameVersion);
}

GameVersion RideSettingsMenus::gameVersion() const
{
    return m_document.gameVersion();
}

void RideSettingsMenus::chooseGameVersion(GameVersion version)
{
    m_document.setGameVersion(version);
}

void RideSettingsMenus::showGameVersion(GameVersion version)
{
    m_handles.versionCorkscrewFollies->setChecked(version == GameVersion::CorkscrewFollies);
    m_handles.versionLoopyLandscapes->setChecked(version == GameVersion::LoopyLandscapes);
    m_handles.versionOriginal->setChecked(version == GameVersion::Original);

    // Item 0 of each track menu stays usable under every version.
    const bool enabled = TrackSchemeItemsEnabled(version);
    for (int i = 1; i < TrackColorItems; ++i) {
        m_railItems[i]->setEnabled(enabled);
        m_spineItems[i]->setEnabled(enabled);
        m_supportItems[i]->setEnabled(enabled);
    }
}

QList<QAction*> RideSettingsMenus::typeItems(CodeKind kind) const
{
    // A large menu builds its items when opened; whoever asks for all of them gets them.
    const QString arrayName = kind == CodeKind::RideType      ? u"SM_RCTypes"_s
                              : kind == CodeKind::VehicleType ? u"SM_VTTypes"_s
                                                              : u"SM_OMTypes"_s;
    const auto builders = findChildren<QObject*>(arrayName, Qt::FindDirectChildrenOnly);
    for (QObject* builder : builders) {
        if (auto* lazy = dynamic_cast<LazyTypeMenu*>(builder)) {
            lazy->buildAll();
        }
    }
    switch (kind) {
    case CodeKind::RideType:
        return m_rideTypeItems;
    case CodeKind::VehicleType:
        return m_vehicleTypeItems;
    case CodeKind::OperatingMode:
        return m_operatingModeItems;
    }
    return {};
}

QList<QAction*> RideSettingsMenus::trackItems(TrackPart part) const
{
    switch (part) {
    case TrackPart::Spine:
        return m_spineItems;
    case TrackPart::Rail:
        return m_railItems;
    case TrackPart::Support:
        return m_supportItems;
    }
    return {};
}

void RideSettingsMenus::chooseCode(CodeKind kind, const CodeRecord& entry)
{
    writeSetting(CodeField(kind), CodeValue(entry));
}

void RideSettingsMenus::chooseColorScheme(int scheme)
{
    writeSetting(record::SchemeAndVersionField, ColorSchemeByte(scheme, gameVersion()));
}

void RideSettingsMenus::chooseTrackColor(TrackPart part, int scheme)
{
    chooseColor(TrackColorField(part, scheme, gameVersion()));
}

void RideSettingsMenus::chooseColor(const record::FieldDescription& field)
{
    const auto index = TrackDesignDocument::Index(field.offset);
    if (index >= m_document.length()) {
        writeSetting(field, 0); // tells the user why nothing can be set
        return;
    }
    const int code = m_picker(m_document.valueAt(index));
    if (IsPaletteCode(code)) {
        writeSetting(field, code);
    }
}

void RideSettingsMenus::writeSetting(const record::FieldDescription& field, int value)
{
    // The step is named from the field, as the design panel's is.
    if (m_document.setField(field, value)) {
        return;
    }
    emit writeRefused(u"This record has only %1 bytes, so byte %2 cannot be set. Settings "
                      "apply to a whole decoded track design."_s.arg(m_document.length())
                          .arg(field.offset));
}

} // namespace railwright
