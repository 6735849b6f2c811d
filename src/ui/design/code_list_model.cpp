#include "code_list_model.h"

#include "report/field_text.h"

namespace railwright {

CodeListModel::CodeListModel(const CodeTable& table, QObject* parent)
    : QAbstractListModel(parent), m_table(table)
{
}

int CodeListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_table.size());
}

QVariant CodeListModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount()) {
        return {};
    }
    const auto row = std::size_t(index.row());
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
    return row >= 0 && row < rowCount() ? CodeValue(m_table[std::size_t(row)]) & 0xFF : -1;
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
        for (std::size_t row = 0; row < m_table.size(); ++row) {
            const std::string& stored = m_table[row].code;
            if (stored.size() == 2 && isDigit(stored[0]) && isDigit(stored[1])) {
                m_rowOfCode[std::size_t(CodeValue(m_table[row]))] = int(row);
            }
        }
        m_rowsKnown = true;
    }
    return code >= 0 && code < int(m_rowOfCode.size()) ? m_rowOfCode[std::size_t(code)] : -1;
}

} // namespace railwright
