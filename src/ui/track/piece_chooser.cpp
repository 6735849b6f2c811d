#include "piece_chooser.h"

#include "rules/ride_rules.h"
#include "ui/track/track_edits.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QHash>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

using namespace Qt::StringLiterals;

namespace railwright {

namespace {

constexpr int IconSize = 40;
constexpr int CodeRole = Qt::UserRole;
constexpr int OwnRole = Qt::UserRole + 1;

// One tile on in headings 0-3, seen from above with the piece entering heading up the
// picture: the walk's heading 0 runs towards -x, and its right turn towards +y.
QPointF HeadingStep(int heading)
{
    static const QPointF steps[] = {{0, -1}, {1, 0}, {0, 1}, {-1, 0}};
    const QPointF step = steps[heading & 3];
    // A diagonal heading lies between its quarter and the next one clockwise.
    return (heading & 4) != 0 ? step + steps[(heading + 1) & 3] : step;
}

QPointF TileCentre(int unitsX, int unitsY)
{
    return {unitsY / double(TileUnits), unitsX / double(TileUnits)};
}

QPixmap DrawPiece(const TrackPieceShape& shape)
{
    const qreal ratio = 2.0; // sharp on a high-density screen as well
    QPixmap pixmap(int(IconSize * ratio), int(IconSize * ratio));
    pixmap.setDevicePixelRatio(ratio);
    pixmap.fill(Qt::transparent);

    QRectF bounds;
    for (const TrackPieceShape::Block& block : shape.blocks) {
        const QPointF centre = TileCentre(block.x, block.y);
        bounds |= QRectF(centre - QPointF(0.5, 0.5), QSizeF(1, 1));
    }
    if (bounds.isEmpty()) {
        bounds = QRectF(-0.5, -0.5, 1, 1);
    }
    const qreal cell = std::min(
        {(IconSize - 8) / bounds.width(), (IconSize - 8) / bounds.height(), qreal(IconSize) / 3});
    const QPointF origin = QPointF(IconSize, IconSize) / 2 - bounds.center() * cell;
    const auto at = [&](QPointF tiles) { return origin + tiles * cell; };

    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(0x90, 0x90, 0x90), 1));
    painter.setBrush(QColor(0xe4, 0xe4, 0xe4));
    for (const TrackPieceShape::Block& block : shape.blocks) {
        const QPointF centre = at(TileCentre(block.x, block.y));
        painter.drawRect(QRectF(centre - QPointF(cell, cell) / 2, QSizeF(cell, cell)));
    }

    const bool climbs = shape.endZ > shape.beginZ;
    const bool falls = shape.endZ < shape.beginZ;
    const QColor line = climbs  ? QColor(0x20, 0x90, 0x30)
                        : falls ? QColor(0xc0, 0x30, 0x20)
                                : QColor(0x20, 0x40, 0xa0);
    const QPointF inStep = HeadingStep(shape.beginDir);
    const QPointF first = at({0, 0});
    const QPointF last = at(TileCentre(shape.endX, shape.endY));
    const QPointF outStep = HeadingStep(shape.endDir);
    const QPointF exit = last + outStep * cell * 0.5;
    QPainterPath path(first - inStep * cell * 0.5);
    path.lineTo(first);
    // Through the middle of the piece's tiles: a turn bends, a straight stays straight.
    QPointF middle;
    for (const TrackPieceShape::Block& block : shape.blocks) {
        middle += at(TileCentre(block.x, block.y));
    }
    middle /= qreal(std::max<std::size_t>(shape.blocks.size(), 1));
    path.quadTo(middle * 2 - (first + last) / 2, last);
    path.lineTo(exit);
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(line, shape.rollEnd != TrackRoll::None ? 3.5 : 2.2, Qt::SolidLine,
                        Qt::RoundCap, Qt::RoundJoin));
    painter.drawPath(path);
    // The arrowhead where the piece leaves.
    const qreal length = std::hypot(outStep.x(), outStep.y());
    const QPointF along = outStep / length;
    const QPointF across(-along.y(), along.x());
    const qreal head = std::max<qreal>(4, cell * 0.3);
    painter.setBrush(line);
    painter.setPen(Qt::NoPen);
    painter.drawPolygon(
        QPolygonF{exit + along * head, exit + across * head * 0.7, exit - across * head * 0.7});
    if (shape.invertedPart || shape.rollEnd == TrackRoll::UpsideDown) {
        painter.setPen(QPen(line, 1.5));
        painter.setBrush(Qt::NoBrush);
        painter.drawEllipse(QRectF(IconSize - 11, 2, 9, 9));
    }
    return pixmap;
}

} // namespace

bool RideBuildsPiece(std::uint8_t ride, std::uint8_t code)
{
    return rules::PieceWarning(ride, code, 0).isEmpty();
}

QIcon PieceIcon(std::uint8_t code)
{
    static QHash<std::uint8_t, QIcon> drawn;
    const auto found = drawn.constFind(code);
    if (found != drawn.cend()) {
        return *found;
    }
    const TrackPieceShape* shape = FindTrackPiece(code);
    const QIcon icon = shape != nullptr ? QIcon(DrawPiece(*shape)) : QIcon();
    drawn.insert(code, icon);
    return icon;
}

PieceChooser::PieceChooser(std::uint8_t ride, const std::vector<FittingPiece>& offers,
                           std::uint8_t flags, const QString& title, const QString& place,
                           QWidget* parent)
    : QDialog(parent)
{
    setObjectName(u"PieceChooser"_s);
    setWindowTitle(title);
    auto* where = new QLabel(place, this);
    where->setObjectName(u"PiecePlace"_s);
    where->setWordWrap(true);
    m_filter = new QLineEdit(this);
    m_filter->setObjectName(u"PieceFilter"_s);
    m_filter->setPlaceholderText(u"Type a name or a code"_s);
    m_filter->setClearButtonEnabled(true);
    m_filter->installEventFilter(this);
    m_list = new QListWidget(this);
    m_list->setObjectName(u"PieceChoices"_s);
    m_list->setIconSize(QSize(IconSize, IconSize));
    m_list->setUniformItemSizes(false);
    m_list->setWordWrap(true); // a warning's line wraps rather than widen the list
    m_list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_list->setFocusPolicy(Qt::NoFocus); // the filter keeps the keys; Up and Down reach here
    m_empty = new QLabel(this);
    m_empty->setObjectName(u"PieceNone"_s);
    m_empty->setWordWrap(true);
    m_showAll = new QCheckBox(u"&Show all pieces"_s, this);
    m_showAll->setObjectName(u"PieceShowAll"_s);
    m_showAll->setFocusPolicy(Qt::NoFocus);
    m_showAll->setToolTip(u"Also list the pieces that fit but this ride does not build"_s);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setObjectName(u"PieceChoose"_s);
    buttons->button(QDialogButtonBox::Ok)->setText(u"&Build"_s);
    buttons->button(QDialogButtonBox::Ok)->setDefault(true);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(where);
    layout->addWidget(m_filter);
    layout->addWidget(m_list, 1);
    layout->addWidget(m_empty);
    layout->addWidget(m_showAll);
    layout->addWidget(buttons);

    // The ride's own pieces first, each part in the order the offers come: those that
    // also meet the next piece, then the rest.
    std::vector<FittingPiece> sorted = offers;
    std::stable_sort(sorted.begin(), sorted.end(),
                     [ride](const FittingPiece& a, const FittingPiece& b) {
                         return RideBuildsPiece(ride, a.code) && !RideBuildsPiece(ride, b.code);
                     });
    const bool someMissNext = std::any_of(
        sorted.begin(), sorted.end(), [](const FittingPiece& piece) { return !piece.joinsNext; });
    for (const FittingPiece& piece : sorted) {
        const bool own = RideBuildsPiece(ride, piece.code);
        QString text = QString::fromStdString(TrackPieceName(piece.code)) + u" ("_s +
                       PieceCodeText(piece.code) + u')';
        QString tip;
        if (piece.joinsNext && someMissNext) {
            tip = u"Meets the next piece as well"_s;
        }
        auto* item = new QListWidgetItem(PieceIcon(piece.code), QString(), m_list);
        if (!own) {
            const QString warning = rules::PieceWarning(ride, piece.code, flags);
            text += u"\n\u26A0 "_s + warning;
            tip = warning;
            item->setForeground(QColor(0xa0, 0x40, 0x00));
        }
        if (piece.joinsNext && someMissNext) {
            QFont bold = item->font();
            bold.setBold(true);
            item->setFont(bold);
        }
        item->setText(text);
        item->setToolTip(tip);
        item->setData(CodeRole, piece.code);
        item->setData(OwnRole, own);
    }

    connect(m_filter, &QLineEdit::textChanged, this, [this] { applyFilter(); });
    connect(m_showAll, &QCheckBox::toggled, this, [this] { applyFilter(true); });
    connect(m_list, &QListWidget::itemDoubleClicked, this, &PieceChooser::accept);
    connect(buttons, &QDialogButtonBox::accepted, this, &PieceChooser::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &PieceChooser::reject);
    m_filter->setFocus();
    applyFilter();
    resize(420, 480);
}

void PieceChooser::applyFilter(bool keepCurrent)
{
    QListWidgetItem* before = keepCurrent ? m_list->currentItem() : nullptr;
    const QString wanted = m_filter->text().trimmed();
    QListWidgetItem* best = nullptr;
    QListWidgetItem* exact = nullptr;
    int hiddenOthers = 0;
    for (int row = 0; row < m_list->count(); ++row) {
        QListWidgetItem* item = m_list->item(row);
        const auto code = std::uint8_t(item->data(CodeRole).toUInt());
        const QString name = QString::fromStdString(TrackPieceName(code));
        const bool matches = name.contains(wanted, Qt::CaseInsensitive) ||
                             PieceCodeText(code).startsWith(wanted, Qt::CaseInsensitive);
        const bool own = item->data(OwnRole).toBool();
        const bool shown = matches && (own || m_showAll->isChecked());
        item->setHidden(!shown);
        if (matches && !own && !m_showAll->isChecked()) {
            ++hiddenOthers;
        }
        if (shown && best == nullptr) {
            best = item;
        }
        // The piece named or coded exactly is the one meant, whatever else holds the text.
        if (shown && exact == nullptr &&
            (name.compare(wanted, Qt::CaseInsensitive) == 0 ||
             PieceCodeText(code).compare(wanted, Qt::CaseInsensitive) == 0)) {
            exact = item;
        }
    }
    QListWidgetItem* current = before != nullptr && !before->isHidden() ? before
                               : exact != nullptr                       ? exact
                                                                        : best;
    m_list->setCurrentItem(current);
    if (current != nullptr) {
        m_list->scrollToItem(current);
        m_empty->hide();
    } else {
        m_empty->setText(hiddenOthers > 0
                             ? u"No piece this ride builds fits here; Show all pieces lists %1 "
                               u"more."_s.arg(hiddenOthers)
                             : u"No piece fits here."_s);
        m_empty->show();
    }
}

bool PieceChooser::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_filter && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Up || key == Qt::Key_Down || key == Qt::Key_PageUp ||
            key == Qt::Key_PageDown) {
            // The filter keeps the focus: the list moves while the player types.
            QKeyEvent copy(QEvent::KeyPress, key, static_cast<QKeyEvent*>(event)->modifiers());
            QCoreApplication::sendEvent(m_list, &copy);
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

std::optional<std::uint8_t> PieceChooser::chosenCode() const
{
    const QListWidgetItem* item = m_list->currentItem();
    if (item == nullptr || item->isHidden()) {
        return std::nullopt;
    }
    return std::uint8_t(item->data(CodeRole).toUInt());
}

std::vector<std::uint8_t> PieceChooser::shownCodes() const
{
    std::vector<std::uint8_t> codes;
    for (int row = 0; row < m_list->count(); ++row) {
        if (!m_list->item(row)->isHidden()) {
            codes.push_back(std::uint8_t(m_list->item(row)->data(CodeRole).toUInt()));
        }
    }
    return codes;
}

void PieceChooser::accept()
{
    if (chosenCode()) {
        QDialog::accept();
    }
}

} // namespace railwright
