#include "code_combo_box.h"

#include "code_list_model.h"
#include "report/field_text.h"

#include <QAbstractItemView>
#include <QAbstractProxyModel>
#include <QCompleter>
#include <QLineEdit>
#include <QScreen>
#include <QScrollBar>
#include <QStyleOptionComboBox>
#include <QStylePainter>
#include <QTimer>

using namespace Qt::StringLiterals;

namespace railwright {

CodeComboBox::CodeComboBox(const CodeTable& table, QWidget* parent)
    : QComboBox(parent), m_model(new CodeListModel(table, this))
{
    setModel(m_model);
    connect(this, &QComboBox::activated, this,
            [this](int row) { emit codeChosen(m_model->codeAt(row)); });
}

void CodeComboBox::showCode(std::optional<int> code)
{
    m_code = code;
    const int row = code ? m_model->rowForCode(*code) : -1;
    setCurrentIndex(row);
    if (row < 0) {
        const QString text = code ? UnknownCodeText(*code) : u"\u2014"_s;
        setPlaceholderText(text);
        if (isEditable()) {
            setEditText(text);
        }
    }
    if (isEditable()) {
        // A long name shows from its start.
        lineEdit()->setCursorPosition(0);
    }
}

void CodeComboBox::setFitting(const std::function<bool(int code)>& fits)
{
    const QSignalBlocker blocker(this);
    m_model->setFitting(fits);
    showCode(m_code);
}

QSize CodeComboBox::sizeHint() const
{
    return sizeForCharacters(18);
}

QSize CodeComboBox::minimumSizeHint() const
{
    return sizeForCharacters(8);
}

QSize CodeComboBox::sizeForCharacters(int count) const
{
    QStyleOptionComboBox option;
    initStyleOption(&option);
    const QFontMetrics metrics = fontMetrics();
    const QSize text(metrics.averageCharWidth() * count, metrics.height());
    return style()->sizeFromContents(QStyle::CT_ComboBox, &option, text, this);
}

QString CodeComboBox::shownText() const
{
    QStyleOptionComboBox option;
    initStyleOption(&option);
    const QRect field =
        style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, this);
    // With no entry, the box shows its placeholder ("Unknown (code 5A)", a dash).
    const QString text = currentIndex() < 0 ? placeholderText() : option.currentText;
    return fontMetrics().elidedText(text, Qt::ElideRight, field.width());
}

void CodeComboBox::paintEvent(QPaintEvent* event)
{
    if (isEditable()) {
        QComboBox::paintEvent(event);
        return;
    }
    // As QComboBox paints itself, with the text cut visibly rather than clipped.
    QStylePainter painter(this);
    painter.setPen(palette().color(QPalette::Text));
    QStyleOptionComboBox option;
    initStyleOption(&option);
    painter.drawComplexControl(QStyle::CC_ComboBox, option);
    if (currentIndex() < 0) {
        option.palette.setBrush(QPalette::ButtonText, option.palette.placeholderText());
    }
    option.currentText = shownText();
    painter.drawControl(QStyle::CE_ComboBoxLabel, option);
}

int CodeComboBox::widestEntryWidth() const
{
    if (m_widestEntry < 0) {
        const QFontMetrics metrics = view()->fontMetrics();
        m_widestEntry = 0;
        for (int row = 0; row < count(); ++row) {
            m_widestEntry = std::max(m_widestEntry, metrics.horizontalAdvance(itemText(row)));
        }
    }
    return m_widestEntry;
}

int CodeComboBox::popupWidth() const
{
    // Room for the text, the item's margins and the scroll bar.
    int width = widestEntryWidth() + view()->verticalScrollBar()->sizeHint().width() +
                4 * style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, this) + 16;
    if (const QScreen* shown = screen(); shown != nullptr) {
        width = std::min(width, shown->availableGeometry().width());
    }
    return width;
}

void CodeComboBox::showPopup()
{
    view()->setTextElideMode(Qt::ElideRight);
    view()->setMinimumWidth(popupWidth());
    QComboBox::showPopup();
}

void CodeComboBox::focusOutEvent(QFocusEvent* event)
{
    QComboBox::focusOutEvent(event);
    // Left alone, the box shows its entry cut with "..." again rather than a line edit's
    // clipped text; the next focus makes it searchable anew.
    QTimer::singleShot(0, this, [this] {
        const bool listOpen =
            view()->isVisible() || (completer() != nullptr && completer()->popup()->isVisible());
        if (isEditable() && !hasFocus() && !listOpen) {
            const QSignalBlocker blocker(this);
            setEditable(false);
            showCode(m_code);
        }
    });
}

void CodeComboBox::focusInEvent(QFocusEvent* event)
{
    makeSearchable();
    QComboBox::focusInEvent(event);
}

void CodeComboBox::makeSearchable()
{
    if (isEditable()) {
        return;
    }
    const QSignalBlocker blocker(this);
    setEditable(true);
    setInsertPolicy(QComboBox::NoInsert);
    // The completer an editable box makes for itself, turned into a search for any part
    // of "name (code)".
    completer()->setCompletionMode(QCompleter::PopupCompletion);
    completer()->setFilterMode(Qt::MatchContains);
    completer()->popup()->setTextElideMode(Qt::ElideRight);
    completer()->popup()->setMinimumWidth(popupWidth());
    // A search result chosen from the list with Enter, Tab or a click is the user's choice
    // (the box itself would only show it, and then give way to the old code).
    connect(completer(), qOverload<const QModelIndex&>(&QCompleter::activated), this,
            [this](const QModelIndex& index) { chooseCompletion(index); });
    // Enter on typed text with no result picked takes the first result.
    connect(lineEdit(), &QLineEdit::returnPressed, this, [this] {
        if (m_code && lineEdit()->text() == itemText(m_model->rowForCode(*m_code))) {
            return;
        }
        if (completer()->completionCount() > 0) {
            completer()->setCurrentRow(0);
            chooseCompletion(completer()->currentIndex());
        }
    });
    // Text typed but not chosen gives way to the shown code again.
    connect(lineEdit(), &QLineEdit::editingFinished, this, [this] { showCode(m_code); });
    showCode(m_code);
}

void CodeComboBox::chooseCompletion(const QModelIndex& index)
{
    const auto* proxy = qobject_cast<const QAbstractProxyModel*>(completer()->completionModel());
    const QModelIndex source = proxy != nullptr ? proxy->mapToSource(index) : index;
    if (!source.isValid() || source.model() != m_model) {
        return;
    }
    const int code = m_model->codeAt(source.row());
    if (m_code == code) {
        showCode(m_code);
        return;
    }
    emit codeChosen(code);
}

} // namespace railwright
