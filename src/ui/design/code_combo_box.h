#pragma once

#include "codec/code_table_format.h"

#include <QComboBox>
#include <functional>
#include <optional>

namespace railwright {

class CodeListModel;

// A searchable list of a code table's entries ("name (code)"): typing any part of an
// entry's text lists the entries holding it. It becomes editable when it first takes the
// focus, so that a box never used costs the start-up no line edit or completer. A code no
// entry has shows as "Unknown (code 5A)". The table must outlive the box.
class CodeComboBox : public QComboBox
{
    Q_OBJECT

public:
    explicit CodeComboBox(const CodeTable& table, QWidget* parent = nullptr);

    // Shows `code`; nothing shows a dash (the record lacks the field).
    void showCode(std::optional<int> code);
    // Lists the codes that fit first, the others after a separator (CodeListModel).
    void setFitting(const std::function<bool(int code)>& fits);

    // Wide enough for a name of some length, whatever the table holds: measuring every
    // entry would read a table of 32,767 entries at the first showing.
    [[nodiscard]] QSize sizeHint() const override;
    [[nodiscard]] QSize minimumSizeHint() const override;

    // The text the closed box shows: the current entry, cut at its end with "…" when the
    // box is too narrow for it.
    [[nodiscard]] QString shownText() const;

    // Opens the list at least as wide as its longest entry (up to the screen's width),
    // names cut at their end, never in the middle.
    void showPopup() override;

signals:
    // The user chose the entry with this code: from the list, or from the search results
    // with Enter, Down and Enter, Tab or a click.
    void codeChosen(int code);

protected:
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void makeSearchable();
    void chooseCompletion(const QModelIndex& index);
    [[nodiscard]] QSize sizeForCharacters(int count) const;

    [[nodiscard]] int widestEntryWidth() const;
    [[nodiscard]] int popupWidth() const;

    CodeListModel* m_model;
    mutable int m_widestEntry = -1; // measured when the list first opens
    std::optional<int> m_code;
};

} // namespace railwright
