#include "piece_list_step.h"

namespace railwright {

using namespace Qt::StringLiterals;

QString PieceListStepName(const PieceListEdit& edit)
{
    const std::size_t count =
        edit.kind == PieceListEdit::Kind::Delete ? edit.count : edit.codes.size();
    const QString verb = edit.kind == PieceListEdit::Kind::Insert    ? u"Insert"_s
                         : edit.kind == PieceListEdit::Kind::Replace ? u"Replace"_s
                                                                     : u"Delete"_s;
    return count == 1 ? verb + u" Piece"_s : u"%1 %2 Pieces"_s.arg(verb).arg(count);
}

QString EditPieceList(TrackDesignDocument& document, const PieceListEdit& edit,
                      const QString& stepName)
{
    if (document.kind() != ContentKind::Decoded) {
        return u"Decode the design first: the track is in its decoded record."_s;
    }
    const ByteBuffer before = document.contents();
    ByteBuffer after = before;
    if (const auto refusal = ApplyPieceListEdit(after, edit)) {
        QString message = QString::fromStdString(*refusal);
        message[0] = message[0].toUpper();
        return message + u'.';
    }
    std::vector<ByteEdit> edits;
    for (std::size_t i = 0; i < after.size(); ++i) {
        if (after[i] != before[i]) {
            edits.push_back({qsizetype(i), after[i]});
        }
    }
    document.editBytes(stepName.isEmpty() ? PieceListStepName(edit) : stepName, edits);
    return {};
}

} // namespace railwright
