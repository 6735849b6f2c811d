#include "code_combo_box.h"

#include "code_list_model.h"
#include "report/field_text.h"

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
    // Text typed but not chosen gives way to the shown code again.
    connect(lineEdit(), &QLineEdit::editingFinished, this, [this] { showCode(m_code); });
    showCode(m_code);
}

} // namespace railwright
