#pragma once

#include <QAbstractButton>

namespace railwright {

// A palette code shown as a small colour square and the colour's name; a code outside
// the palette shows a hatched square and "Not a palette colour (40)". A warning shows as
// a mark at the right end and in the tooltip. A click is the caller's to answer (the
// design panel opens the palette).
class PaletteSwatchButton : public QAbstractButton
{
    Q_OBJECT

public:
    explicit PaletteSwatchButton(QWidget* parent = nullptr);

    [[nodiscard]] int code() const { return m_code; }
    void setCode(int code);
    [[nodiscard]] QString warning() const { return m_warning; }
    void setWarning(const QString& warning);

    [[nodiscard]] QSize sizeHint() const override;
    [[nodiscard]] QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void updateToolTip();

    int m_code = 0;
    QString m_warning;
};

} // namespace railwright
