#include "code_list_model.h"

#include "report/field_text.h"

using namespace Qt::StringLiterals;

namespace railwright {

CodeListModel::CodeListModel(const CodeTable& table, QObject* parent)
    : QAbstractListModel(parent), m_table(table)
{
}

int CodeListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_table.size()) + (m_separator >= 0 ? 1 : 0);
}

int CodeListModel::entryAt(int row) const
{
    if (row < 0 || row >= rowCount() || row == m_separator) {
        return -1;
    }
    return m_order.empty() ? row : m_order[std::size_t(row)];
}

void CodeListModel::setFitting(const std::function<bool(int code)>& fits)
{
    std::vector<int> fitting;
    std::vector<int> others;
    if (fits) {
        for (std::size_t entry = 0; entry < m_table.size(); ++entry) {
            (fits(CodeValue(m_table[entry]) & 0xFF) ? fitting : others).push_back(int(entry));
        }
    }
    beginResetModel();
    m_order.clear();
    m_separator = -1;
    if (!fitting.empty() && !others.empty()) {
        m_order = std::move(fitting);
        m_separator = int(m_order.size());
        m_order.push_back(-1);
        m_order.insert(m_order.end(), others.begin(), others.end());
    }
    m_rowsKnown = false;
    endResetModel();
}

Qt::ItemFlags CodeListModel::flags(const QModelIndex& index) const
{
    if (index.isValid() && index.row() == m_separator) {
        return Qt::NoItemFlags;
    }
    return QAbstractListModel::flags(index);
}

QVariant CodeListModel::data(const QModelIndex& index, int role) const
{
    if (index.isValid() && index.row() == m_separator) {
        // How QComboBox's list draws a separator line.
        return role == Qt::AccessibleDescriptionRole ? QVariant(u"separator"_s) : QVariant();
    }
    const int entry = entryAt(index.isValid() ? index.row() : -1);
    if (entry < 0) {
        return {};
    }
    const auto row = std::size_t(entry);
    if (role == Qt::DisplayRole || role == Qt::EditRole) {
        if (m_texts.empty()) {
            m_texts.resize(m_table.size());
        }
        if (m_texts[row].isNull()) {
            m_texts[row] = CodeChoiceText(m_table[row]);
        }
        return m_texts[row];
    }
    return {};
}

int CodeListModel::codeAt(int row) const
{
    const int entry = entryAt(row);
    return entry >= 0 ? CodeValue(m_table[std::size_t(entry)]) & 0xFF : -1;
}

int CodeListModel::rowForCode(int code) const
{
    if (!m_rowsKnown) {
        m_rowOfCode.fill(-1);
        // Codes are matched as the ride info report matches them: two upper-case
        // hexadecimal digits as stored, so an entry coded "0a" names nothing.
        const auto isDigit = [](char c) {
            return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F');
        };
        // The last entry of a code names it, wherever its row is.
        std::array<int, 256> lastEntry;
        lastEntry.fill(-1);
        for (std::size_t entry = 0; entry < m_table.size(); ++entry) {
            const std::string& stored = m_table[entry].code;
            if (stored.size() == 2 && isDigit(stored[0]) && isDigit(stored[1])) {
                lastEntry[std::size_t(CodeValue(m_table[entry]))] = int(entry);
            }
        }
        for (int row = 0; row < rowCount(); ++row) {
            const int entry = entryAt(row);
            if (entry >= 0 &&
                lastEntry[std::size_t(CodeValue(m_table[std::size_t(entry)]))] == entry) {
                m_rowOfCode[std::size_t(CodeValue(m_table[std::size_t(entry)]))] = row;
            }
        }
        m_rowsKnown = true;
    }
    return code >= 0 && code < int(m_rowOfCode.size()) ? m_rowOfCode[std::size_t(code)] : -1;
}

} // namespace railwright
