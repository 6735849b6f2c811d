#pragma once

#include "ui/grid/grid_editor.h"

#include <QAbstractButton>
#include <QApplication>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <functional>

// What a user does to the window in the workflow tests: click a byte's cell, answer the
// next modal dialog.
namespace railwright::test {

// Clicks the cell of byte `index`, scrolled into view, as a user selects a byte.
inline void clickByte(GridEditor& editor, qsizetype index)
{
    QTableView* grid = editor.grid();
    const int perRow = editor.bytesPerRow();
    const QModelIndex cell = grid->model()->index(int(index / perRow), int(index % perRow) + 1);
    grid->scrollTo(cell);
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->visualRect(cell).center());
}

// Runs `act` on the next modal dialog as soon as it shows.
inline void whenModal(std::function<void(QWidget*)> act)
{
    QTimer::singleShot(0, [act = std::move(act)] {
        QWidget* dialog = QApplication::activeModalWidget();
        QVERIFY(dialog != nullptr);
        act(dialog);
    });
}

// Clicks the dialog's button named `name`.
inline void clickButton(QWidget* dialog, const QString& name)
{
    auto* button = dialog->findChild<QAbstractButton*>(name);
    QVERIFY2(button != nullptr, qPrintable(name));
    button->click();
}

} // namespace railwright::test
