#pragma once

#include "ui/settings/color_picker.h"

#include <QAbstractButton>
#include <QColor>
#include <QDialog>
#include <QFrame>
#include <array>

class QGroupBox;
class QPushButton;

namespace railwright {

// The colour of palette index `index` (0..31) as the game shows it; an index outside
// the palette gives an invalid QColor.
[[nodiscard]] QColor PaletteColor(int index);

// A plain field filled with one colour.
class ColorField : public QFrame
{
    Q_OBJECT

public:
    explicit ColorField(QWidget* parent = nullptr);

    [[nodiscard]] QColor color() const { return m_color; }
    void setColor(const QColor& color);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QColor m_color;
};

// One swatch of the palette: clicked, or reached with Tab and the arrow keys. Its tooltip
// and its name for screen readers say the colour and its code: "Bright Red (18)".
class ColorSwatch : public QAbstractButton
{
    Q_OBJECT

public:
    ColorSwatch(int index, QWidget* parent = nullptr);

    [[nodiscard]] QColor color() const { return m_color; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QColor m_color;
};

// The dialog "Colors": 32 swatches, a preview of the colour chosen last, "Ok" and
// "Cancel". A click or the arrow keys choose a swatch; Enter, Space or a double click
// accept it. It only hands back a palette index; it knows nothing of the record.
class PaletteDialog : public QDialog
{
    Q_OBJECT

public:
    explicit PaletteDialog(QWidget* parent = nullptr);

    // The index of the swatch clicked last in this showing.
    [[nodiscard]] int colorCode() const { return m_colorCode; }
    // Shows the dialog modally with the preview on `current` (the colour of the field
    // being set; outside the palette the preview starts on index 0). Returns the index
    // chosen when Ok closes it, or -1 when the close box or Escape does: only Ok applies.
    [[nodiscard]] int pickColor(int current);

    // The colour the preview shows now.
    [[nodiscard]] QColor previewColor() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void chooseSwatch(int index);
    void layOut();
    void fitFrameTitle();

    std::array<ColorSwatch*, 32> m_swatches{};
    QGroupBox* m_frame = nullptr;
    ColorField* m_finalColor = nullptr;
    QPushButton* m_ok = nullptr;
    QPushButton* m_cancel = nullptr;
    int m_colorCode = 0;
};

// The "Colors" dialog as a ColorPicker, for every view that sets a colour: made at its
// first use (a child of `parent` when given) and kept for as long as the picker.
[[nodiscard]] ColorPicker PaletteDialogPicker(QWidget* parent = nullptr);

} // namespace railwright
