#include "code_combo_box.h"

#include "code_list_model.h"
#include "report/field_text.h"

#include <QAbstractProxyModel>
#include <QCompleter>
#include <QLineEdit>
#include <QStyleOptionComboBox>

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
        const QString text = code ? UnknownCodeText(*code) : QStringLiteral("\u2014");
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
