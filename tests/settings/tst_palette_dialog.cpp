#include "settings/palette_dialog.h"

#include <QDir>
#include <QGroupBox>
#include <QImage>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <functional>

using namespace railwright;

namespace {

// One showing of the dialog: what the preview showed when it opened and what the
// showing returned.
struct Showing
{
    QColor previewAtStart;
    int result = -1;
};

enum class Ending
{
    Ok,
    CloseBox,
};

// Shows `dialog` modally as a colour command does, clicks `swatches` in turn and ends
// the showing with `ending`, all through the dialog's own widgets.
Showing ShowAndPick(PaletteDialog& dialog, const QList<int>& swatches, Ending ending)
{
    Showing showing;
    QTimer::singleShot(0, &dialog, [&] {
        showing.previewAtStart = dialog.previewColor();
        for (int index : swatches) {
            QTest::mouseClick(dialog.findChild<QWidget*>(QStringLiteral("Colors_%1").arg(index)),
                              Qt::LeftButton);
        }
        if (ending == Ending::Ok) {
            QTest::mouseClick(dialog.findChild<QPushButton*>(QStringLiteral("Ok")), Qt::LeftButton);
        } else {
            dialog.close(); // what the window's close box sends
        }
        // A showing the steps failed to end would block the test for good.
        if (dialog.isVisible()) {
            dialog.done(QDialog::Accepted);
        }
    });
    showing.result = dialog.pickColor();
    return showing;
}

// Pixels from 96-dpi twips, as the dialog lays itself out.
int Px(const QWidget& widget, int twips)
{
    return qRound(twips * widget.logicalDpiX() / 1440.0);
}

} // namespace

class TestPaletteDialog : public QObject
{
    Q_OBJECT

private slots:
    void paletteColors_data();
    void paletteColors();
    void swatchesFormFourRowsOfEight();
    void frameHoldsPreviewAndOk();
    void okReturnsLastClickedAndKeepsPreview();
    void closeBoxKeepsCodeButResetsPreview();
    void renderedSwatchesShowTheirColours();
};

void TestPaletteDialog::paletteColors_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<QColor>("color");
    QTest::newRow("0") << 0 << QColor(47, 64, 63);
    QTest::newRow("7") << 7 << QColor(32, 144, 143);
    QTest::newRow("16") << 16 << QColor(255, 111, 16);
    QTest::newRow("24") << 24 << QColor(223, 0, 7);
    QTest::newRow("31") << 31 << QColor(143, 208, 239);
    QTest::newRow("past the palette") << 32 << QColor();
    QTest::newRow("negative") << -1 << QColor();
}

void TestPaletteDialog::paletteColors()
{
    QFETCH(int, index);
    QFETCH(QColor, color);
    QCOMPARE(PaletteColor(index), color);
    if (index >= 0 && index < 32) {
        PaletteDialog dialog;
        auto* swatch = dialog.findChild<ColorSwatch*>(QStringLiteral("Colors_%1").arg(index));
        QVERIFY(swatch);
        QCOMPARE(swatch->color(), color);
    }
}

void TestPaletteDialog::swatchesFormFourRowsOfEight()
{
    PaletteDialog dialog;
    QCOMPARE(dialog.objectName(), QStringLiteral("Colors"));
    QCOMPARE(dialog.windowTitle(), QStringLiteral("Colors"));
    QCOMPARE(dialog.size(), QSize(Px(dialog, 5040), Px(dialog, 1890)));
    QCOMPARE(dialog.findChildren<ColorSwatch*>().size(), 32);
    for (int i = 0; i < 32; ++i) {
        auto* swatch = dialog.findChild<ColorSwatch*>(QStringLiteral("Colors_%1").arg(i));
        QVERIFY(swatch);
        const int row = i / 8;
        const int column = i % 8;
        QCOMPARE(swatch->geometry(),
                 QRect(Px(dialog, 75 + 450 * column), Px(dialog, 75 + 450 * row), Px(dialog, 390),
                       Px(dialog, 390)));
    }
}

void TestPaletteDialog::frameHoldsPreviewAndOk()
{
    PaletteDialog dialog;
    auto* frame = dialog.findChild<QGroupBox*>(QStringLiteral("Frame1"));
    QVERIFY(frame);
    QCOMPARE(frame->title(), QStringLiteral("Selected Color"));
    QCOMPARE(frame->geometry(), QRect(Px(dialog, 3675), 0, Px(dialog, 1290), Px(dialog, 1815)));
    auto* preview = frame->findChild<ColorField*>(QStringLiteral("FinalColor"));
    QVERIFY(preview);
    QCOMPARE(preview->geometry(),
             QRect(Px(dialog, 75), Px(dialog, 225), Px(dialog, 1140), Px(dialog, 990)));
    QCOMPARE(preview->color(), PaletteColor(0));
    auto* ok = frame->findChild<QPushButton*>(QStringLiteral("Ok"));
    QVERIFY(ok);
    QCOMPARE(ok->text(), QStringLiteral("Ok"));
    QVERIFY(!ok->geometry().intersects(preview->geometry()));
    QVERIFY(frame->geometry().right() < dialog.width());
}

void TestPaletteDialog::okReturnsLastClickedAndKeepsPreview()
{
    PaletteDialog dialog;
    const Showing first = ShowAndPick(dialog, {}, Ending::Ok);
    QCOMPARE(first.result, 0);
    QCOMPARE(first.previewAtStart, PaletteColor(0));
    QVERIFY(!dialog.isVisible());

    QCOMPARE(ShowAndPick(dialog, {12, 30}, Ending::Ok).result, 30);
    QCOMPARE(dialog.colorCode(), 30);
    QCOMPARE(dialog.previewColor(), QColor(255, 231, 47));
    const Showing again = ShowAndPick(dialog, {}, Ending::Ok);
    QCOMPARE(again.previewAtStart, PaletteColor(30));
    QCOMPARE(again.result, 30);
}

void TestPaletteDialog::closeBoxKeepsCodeButResetsPreview()
{
    PaletteDialog dialog;
    QCOMPARE(ShowAndPick(dialog, {5}, Ending::CloseBox).result, 5);
    QVERIFY(!dialog.isVisible());
    const Showing again = ShowAndPick(dialog, {}, Ending::Ok);
    QCOMPARE(again.previewAtStart, PaletteColor(0));
    QCOMPARE(again.result, 5);
    // The preview shows only what was clicked since the window was made anew.
    const Showing third = ShowAndPick(dialog, {31}, Ending::CloseBox);
    QCOMPARE(third.previewAtStart, PaletteColor(0));
    QCOMPARE(third.result, 31);
}

void TestPaletteDialog::renderedSwatchesShowTheirColours()
{
    PaletteDialog dialog;
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    QTest::mouseClick(dialog.findChild<QWidget*>(QStringLiteral("Colors_26")), Qt::LeftButton);
    const QImage image = dialog.grab().toImage();
    QCOMPARE(image.size() / image.devicePixelRatio(), dialog.size());
    const qreal ratio = image.devicePixelRatio();
    const auto pixelAt = [&](const QPoint& point) {
        return QColor(image.pixel((QPointF(point) * ratio).toPoint()));
    };
    for (auto* swatch : dialog.findChildren<ColorSwatch*>()) {
        QCOMPARE(pixelAt(swatch->geometry().center()), swatch->color());
    }
    auto* preview = dialog.findChild<ColorField*>(QStringLiteral("FinalColor"));
    QCOMPARE(pixelAt(preview->mapTo(&dialog, preview->rect().center())), PaletteColor(26));

    // For looking at the dialog: RAILWRIGHT_SCREENSHOT_DIR=<folder> saves what it shows.
    const QString folder = qEnvironmentVariable("RAILWRIGHT_SCREENSHOT_DIR");
    if (!folder.isEmpty()) {
        QVERIFY(image.save(QDir(folder).filePath(QStringLiteral("palette-dialog.png"))));
    }
    dialog.hide();
}

QTEST_MAIN(TestPaletteDialog)
#include "tst_palette_dialog.moc"
