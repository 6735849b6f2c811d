#include "toolbar_icons.h"

#include <QApplication>
#include <QHash>
#include <QIconEngine>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QStyle>
#include <QStyleOption>

using namespace Qt::StringLiterals;

namespace railwright {

namespace {

// Each picture is drawn on a 32 x 32 canvas and scaled, so every size is crisp.
constexpr qreal Canvas = 32.0;

const QColor Outline(0x30, 0x30, 0x38);
const QColor Paper(0xfc, 0xfc, 0xf8);

void drawPage(QPainter& p, const QRectF& page)
{
    p.setPen(QPen(Outline, 1.6));
    p.setBrush(Paper);
    p.drawRect(page);
    p.setPen(QPen(QColor(0x8a, 0x94, 0xa6), 1.4));
    for (qreal y = page.top() + 5; y < page.bottom() - 3; y += 4) {
        p.drawLine(QPointF(page.left() + 3.5, y), QPointF(page.right() - 3.5, y));
    }
}

void drawCut(QPainter& p)
{
    p.setPen(QPen(QColor(0x70, 0x78, 0x84), 2.6, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(10, 19), QPointF(23, 3));
    p.drawLine(QPointF(22, 19), QPointF(9, 3));
    p.setPen(QPen(QColor(0xc0, 0x30, 0x30), 2.6));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QPointF(9, 24), 5, 5);
    p.drawEllipse(QPointF(23, 24), 5, 5);
    p.setPen(Qt::NoPen);
    p.setBrush(Outline);
    p.drawEllipse(QPointF(16, 11.5), 1.6, 1.6);
}

void drawCopy(QPainter& p)
{
    drawPage(p, QRectF(4, 3, 16, 20));
    drawPage(p, QRectF(12, 9, 16, 20));
}

void drawPaste(QPainter& p)
{
    p.setPen(QPen(Outline, 1.6));
    p.setBrush(QColor(0xb0, 0x7a, 0x3c));
    p.drawRoundedRect(QRectF(4, 5, 20, 24), 2, 2);
    p.setBrush(QColor(0x9a, 0xa0, 0xa8));
    p.drawRoundedRect(QRectF(9, 2, 10, 6), 1.5, 1.5);
    drawPage(p, QRectF(13, 12, 15, 18));
}

void drawDelete(QPainter& p)
{
    p.setPen(QPen(QColor(0xcc, 0x22, 0x22), 5, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(8, 8), QPointF(24, 24));
    p.drawLine(QPointF(24, 8), QPointF(8, 24));
}

void drawRideInfo(QPainter& p)
{
    // A coaster hill with a car on it, and an information mark: facts about this ride.
    QPainterPath track;
    track.moveTo(1, 24);
    track.cubicTo(6, 24, 8, 4, 13, 4);
    track.cubicTo(18, 4, 19, 16, 23, 16);
    p.setPen(QPen(QColor(0x9a, 0x5a, 0x20), 2.4, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    p.drawPath(track);
    p.setPen(QPen(Outline, 1.0));
    p.setBrush(QColor(0xd0, 0x30, 0x30));
    p.drawRoundedRect(QRectF(9, 0.5, 8, 4.5), 1.2, 1.2);
    p.setPen(QPen(Qt::white, 1.4));
    p.setBrush(QColor(0x1f, 0x5f, 0xbf));
    p.drawEllipse(QPointF(22, 22), 9, 9);
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    p.drawEllipse(QPointF(22, 17), 1.7, 1.7);
    p.drawRoundedRect(QRectF(20.5, 19.8, 3.0, 7.7), 1, 1);
}

// A padlock: shut for Encode (packing the record into a file), open for Decode.
void drawLock(QPainter& p, bool open, const QColor& body)
{
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(0x6a, 0x70, 0x78), 3.2, Qt::SolidLine, Qt::FlatCap));
    QPainterPath shackle;
    if (open) {
        shackle.moveTo(21, 15);
        shackle.lineTo(21, 9);
        shackle.arcTo(QRectF(21, 3, 10, 12), 180, -180);
        shackle.lineTo(31, 11);
    } else {
        shackle.moveTo(10, 15);
        shackle.lineTo(10, 10);
        shackle.arcTo(QRectF(10, 3, 12, 14), 180, -180);
        shackle.lineTo(22, 15);
    }
    p.drawPath(shackle);
    p.setPen(QPen(Outline, 1.4));
    p.setBrush(body);
    p.drawRoundedRect(QRectF(5, 14, 22, 16), 2.5, 2.5);
    p.setPen(Qt::NoPen);
    p.setBrush(Outline);
    p.drawEllipse(QPointF(16, 20.5), 2.3, 2.3);
    p.drawRect(QRectF(15.1, 21, 1.8, 5));
}

void drawOpen(QPainter& p)
{
    p.setPen(QPen(Outline, 1.4));
    p.setBrush(QColor(0xe0, 0xb0, 0x40));
    p.drawRect(QRectF(3, 8, 22, 19));
    p.setBrush(QColor(0xf5, 0xcf, 0x60));
    QPolygonF flap;
    flap << QPointF(3, 27) << QPointF(9, 14) << QPointF(30, 14) << QPointF(25, 27);
    p.drawPolygon(flap);
}

void drawSave(QPainter& p)
{
    p.setPen(QPen(Outline, 1.4));
    p.setBrush(QColor(0x2f, 0x5f, 0xa8));
    p.drawRoundedRect(QRectF(4, 4, 24, 24), 2, 2);
    p.setBrush(Paper);
    p.drawRect(QRectF(9, 4, 14, 9));
    p.setBrush(QColor(0xd8, 0xdc, 0xe4));
    p.drawRect(QRectF(8, 18, 16, 10));
}

void drawMoreButtons(QPainter& p)
{
    p.setPen(QPen(Outline, 2.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    for (const qreal x : {9.0, 17.0}) {
        p.drawPolyline(QPolygonF{QPointF(x, 9), QPointF(x + 7, 16), QPointF(x, 23)});
    }
}

QPixmap paintPicture(ToolbarPicture picture, int size)
{
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / Canvas, size / Canvas);
    switch (picture) {
    case ToolbarPicture::Open:
        drawOpen(p);
        break;
    case ToolbarPicture::Save:
        drawSave(p);
        break;
    case ToolbarPicture::Cut:
        drawCut(p);
        break;
    case ToolbarPicture::Copy:
        drawCopy(p);
        break;
    case ToolbarPicture::Paste:
        drawPaste(p);
        break;
    case ToolbarPicture::Delete:
        drawDelete(p);
        break;
    case ToolbarPicture::RideInfo:
        drawRideInfo(p);
        break;
    case ToolbarPicture::Decode:
        drawLock(p, true, QColor(0x3c, 0xa0, 0x50));
        break;
    case ToolbarPicture::Encode:
        drawLock(p, false, QColor(0xe0, 0x8a, 0x20));
        break;
    case ToolbarPicture::MoreButtons:
        drawMoreButtons(p);
        break;
    }
    return pixmap;
}

// Draws a picture only at the sizes and modes a button asks for, when it asks: the
// toolbar shows one size, so painting every size up front would slow the start-up.
class PictureEngine : public QIconEngine
{
public:
    explicit PictureEngine(ToolbarPicture picture) : m_picture(picture) {}

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State state) override
    {
        painter->drawPixmap(rect, pixmap(rect.size(), mode, state));
    }

    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State) override
    {
        const int side = qMax(1, qMin(size.width(), size.height()));
        const quint64 key = quint64(side) << 8 | quint64(mode);
        const auto cached = m_cache.constFind(key);
        if (cached != m_cache.constEnd()) {
            return *cached;
        }
        QPixmap picture = paintPicture(m_picture, side);
        if (mode == QIcon::Disabled) {
            QStyleOption option;
            option.palette = QApplication::palette();
            picture = QApplication::style()->generatedIconPixmap(QIcon::Disabled, picture, &option);
        }
        m_cache.insert(key, picture);
        return picture;
    }

    QList<QSize> availableSizes(QIcon::Mode, QIcon::State) override
    {
        return {QSize(16, 16), QSize(24, 24), QSize(32, 32), QSize(48, 48)};
    }

    QSize actualSize(const QSize& size, QIcon::Mode, QIcon::State) override
    {
        const int side = qMin(size.width(), size.height());
        return QSize(side, side);
    }

    QIconEngine* clone() const override { return new PictureEngine(m_picture); }
    QString key() const override { return u"railwright-toolbar"_s; }

private:
    ToolbarPicture m_picture;
    QHash<quint64, QPixmap> m_cache;
};

} // namespace

QIcon toolbarIcon(ToolbarPicture picture)
{
    return QIcon(new PictureEngine(picture));
}

} // namespace railwright
