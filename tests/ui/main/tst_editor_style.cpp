#include "ui/main/editor_style.h"

#include <QApplication>
#include <QMainWindow>
#include <QMenuBar>
#include <QTest>
#include <QToolBar>
#include <QToolButton>

using namespace railwright;

class TestEditorStyle : public QObject
{
    Q_OBJECT

private slots:
    void chevronsAreDrawn_data();
    void chevronsAreDrawn();
    void otherIconsComeFromTheBaseStyle();
    void overflowingBarsShowTheChevron();
};

void TestEditorStyle::chevronsAreDrawn_data()
{
    QTest::addColumn<int>("which");
    QTest::newRow("horizontal") << int(QStyle::SP_ToolBarHorizontalExtensionButton);
    QTest::newRow("vertical") << int(QStyle::SP_ToolBarVerticalExtensionButton);
}

void TestEditorStyle::chevronsAreDrawn()
{
    QFETCH(int, which);
    EditorStyle style;
    const QImage image = style.standardIcon(QStyle::StandardPixmap(which)).pixmap(16, 16).toImage();
    QCOMPARE(image.size(), QSize(16, 16));
    int drawn = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            drawn += qAlpha(image.pixel(x, y)) > 0 ? 1 : 0;
        }
    }
    QVERIFY(drawn > 10);
    QVERIFY(drawn < 16 * 16);
}

void TestEditorStyle::otherIconsComeFromTheBaseStyle()
{
    EditorStyle style;
    const QIcon own = style.standardIcon(QStyle::SP_DialogOpenButton);
    const QIcon base = QApplication::style()->standardIcon(QStyle::SP_DialogOpenButton);
    QCOMPARE(own.isNull(), base.isNull());
    QCOMPARE(own.pixmap(16, 16).toImage(), base.pixmap(16, 16).toImage());
}

void TestEditorStyle::overflowingBarsShowTheChevron()
{
    QApplication::setStyle(new EditorStyle);
    QMainWindow window;
    QToolBar* bar = window.addToolBar(QStringLiteral("bar"));
    for (int i = 0; i < 30; ++i) {
        bar->addAction(QStringLiteral("Button %1").arg(i));
    }
    window.resize(200, 200);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    const auto buttons = bar->findChildren<QToolButton*>();
    const QToolButton* chevron = nullptr;
    for (const QToolButton* button : buttons) {
        if (button->objectName() == QStringLiteral("qt_toolbar_ext_button")) {
            chevron = button;
        }
    }
    QVERIFY(chevron != nullptr);
    QVERIFY(chevron->isVisible());
    // The stock chevron was replaced by this program's drawing.
    const QIcon drawn = EditorStyle().standardIcon(QStyle::SP_ToolBarHorizontalExtensionButton);
    QCOMPARE(chevron->icon().pixmap(16, 16).toImage(), drawn.pixmap(16, 16).toImage());
}

QTEST_MAIN(TestEditorStyle)
#include "tst_editor_style.moc"
