#include "piece_list_step.h"

#include <functional>

namespace railwright {

using namespace Qt::StringLiterals;

namespace {

// A refusal from the codec as a sentence of its own.
QString RefusalText(const std::string& refusal)
{
    QString message = QString::fromStdString(refusal);
    message[0] = message[0].toUpper();
    return message + u'.';
}

// Applies `change` to a copy of the decoded record and writes the bytes that differ as one
// step; the document is untouched when `change` refuses.
QString EditAsOneStep(TrackDesignDocument& document, const QString& stepName,
                      const std::function<std::optional<std::string>(ByteBuffer&)>& change)
{
    if (document.kind() != ContentKind::Decoded) {
        return u"Decode the design first: the track is in its decoded record."_s;
    }
    const ByteBuffer before = document.contents();
    ByteBuffer after = before;
    if (const auto refusal = change(after)) {
        return RefusalText(*refusal);
    }
    std::vector<ByteEdit> edits;
    for (std::size_t i = 0; i < after.size(); ++i) {
        if (after[i] != before[i]) {
            edits.push_back({qsizetype(i), after[i]});
        }
    }
    document.editBytes(stepName, edits);
    return {};
}

} // namespace

QString PiecesStepName(const QString& verb, std::size_t count)
{
    return count == 1 ? verb + u" Piece"_s : u"%1 %2 Pieces"_s.arg(verb).arg(count);
}

QString PieceListStepName(const PieceListEdit& edit)
{
    const std::size_t count =
        edit.kind == PieceListEdit::Kind::Delete ? edit.count : edit.codes.size();
    const QString verb = edit.kind == PieceListEdit::Kind::Insert    ? u"Insert"_s
                         : edit.kind == PieceListEdit::Kind::Replace ? u"Replace"_s
                                                                     : u"Delete"_s;
    return PiecesStepName(verb, count);
}

QString EditPieceList(TrackDesignDocument& document, const PieceListEdit& edit,
                      const QString& stepName)
{
    return EditAsOneStep(document, stepName.isEmpty() ? PieceListStepName(edit) : stepName,
                         [&edit](ByteBuffer& record) { return ApplyPieceListEdit(record, edit); });
}

QString PieceListRefusal(const TrackDesignDocument& document, const PieceListEdit& edit)
{
    if (document.kind() != ContentKind::Decoded) {
        return u"Decode the design first: the track is in its decoded record."_s;
    }
    ByteBuffer record = document.contents();
    const auto refusal = ApplyPieceListEdit(record, edit);
    return refusal ? RefusalText(*refusal) : QString();
}

QString EditPieceList(TrackDesignDocument& document, std::span<const PieceListEdit> edits,
                      const QString& stepName)
{
    return EditAsOneStep(document, stepName,
                         [edits](ByteBuffer& record) -> std::optional<std::string> {
                             for (const PieceListEdit& edit : edits) {
                                 if (auto refusal = ApplyPieceListEdit(record, edit)) {
                                     return refusal;
                                 }
                             }
                             return std::nullopt;
                         });
}

} // namespace railwright
