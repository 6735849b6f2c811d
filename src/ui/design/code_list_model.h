#pragma once

#include "codec/code_table_format.h"

#include <QAbstractListModel>
#include <array>
#include <functional>
#include <vector>

namespace railwright {

// A code table as the list of a searchable combo box: each entry as "name (code)",
// made when first asked for, so a table of 32,767 entries costs nothing until searched.
// The table must outlive the model and must not change under it.
class CodeListModel : public QAbstractListModel
{
    Q_OBJECT

public:
    explicit CodeListModel(const CodeTable& table, QObject* parent = nullptr);

    [[nodiscard]] int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    [[nodiscard]] QVariant data(const QModelIndex& index, int role) const override;
    [[nodiscard]] Qt::ItemFlags flags(const QModelIndex& index) const override;

    // Lists the entries whose code `fits` first, in table order, then a separator and the
    // others (still choosable). Nothing fitting, or everything, gives the table's order
    // without a separator; an empty function restores it.
    void setFitting(const std::function<bool(int code)>& fits);
    // The row of the separator, or -1 when there is none.
    [[nodiscard]] int separatorRow() const { return m_separator; }

    // The code value of row `row` (0 to 255); -1 for the separator.
    [[nodiscard]] int codeAt(int row) const;
    // The row that names `code`: the last entry whose stored code is its two upper-case
    // hexadecimal digits, as the ride info report reads the tables; -1 when none is.
    [[nodiscard]] int rowForCode(int code) const;

private:
    // The table entry shown in `row`; -1 for the separator.
    [[nodiscard]] int entryAt(int row) const;

    const CodeTable& m_table;
    std::vector<int> m_order; // table entries by row; empty: the table's order
    int m_separator = -1;
    mutable std::vector<QString> m_texts;     // empty until first shown
    mutable std::array<int, 256> m_rowOfCode; // filled on first look-up
    mutable bool m_rowsKnown = false;
};

} // namespace railwright
