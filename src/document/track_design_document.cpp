#include "track_design_document.h"

#include <QUndoCommand>
#include <algorithm>

namespace railwright {

using namespace Qt::StringLiterals;

// Which bits one field write stores: writes of the same bits in a row are one step.
struct MergeKey
{
    std::size_t offset = 0;
    std::size_t width = 0; // 0: the step never merges
    std::uint8_t mask = 0;

    friend bool operator==(const MergeKey&, const MergeKey&) = default;
};

// Stores a set of bytes; keeps the values it replaced for undo.
class WriteBytesCommand : public QUndoCommand
{
public:
    WriteBytesCommand(TrackDesignDocument& document, const QString& text,
                      std::vector<ByteEdit> edits, MergeKey key = {})
        : QUndoCommand(text), m_document(document), m_after(std::move(edits)), m_key(key)
    {
        m_before.reserve(m_after.size());
        m_wasEmpty.reserve(m_after.size());
        for (const ByteEdit& edit : m_after) {
            m_before.push_back({edit.index, document.valueAt(edit.index)});
            m_wasEmpty.push_back(document.isEmptyElement(edit.index));
        }
    }

    void redo() override { m_document.writeBytes(m_after, {}); }
    void undo() override { m_document.writeBytes(m_before, m_wasEmpty); }

    // Every field write shares one id; mergeWith tells the fields apart.
    [[nodiscard]] int id() const override { return m_key.width == 0 ? -1 : 1; }
    bool mergeWith(const QUndoCommand* other) override
    {
        const auto* next = static_cast<const WriteBytesCommand*>(other);
        if (!(next->m_key == m_key)) {
            return false;
        }
        // The same field, so the same bytes: this step now ends where the next one does,
        // and a row of changes that ends where it began leaves no step.
        m_after = next->m_after;
        const bool unchanged =
            std::none_of(m_wasEmpty.begin(), m_wasEmpty.end(), [](bool empty) { return empty; }) &&
            std::equal(m_after.begin(), m_after.end(), m_before.begin(),
                       [](const ByteEdit& a, const ByteEdit& b) { return a.value == b.value; });
        setObsolete(unchanged);
        return true;
    }

private:
    TrackDesignDocument& m_document;
    std::vector<ByteEdit> m_after;
    std::vector<ByteEdit> m_before;
    std::vector<bool> m_wasEmpty; // an undo gives the start-up element back its emptiness
    MergeKey m_key;
};

// Holds the one state that is not in the document: the new one before redo, the old
// one after it. Each undo or redo swaps them, so a step keeps a single copy of the
// contents however often it is moved over.
class SwapStateCommand : public QUndoCommand
{
public:
    SwapStateCommand(TrackDesignDocument& document, const QString& text,
                     TrackDesignDocument::State state)
        : QUndoCommand(text), m_document(document), m_other(std::move(state))
    {
    }

    void redo() override { m_document.swapState(m_other); }
    void undo() override { m_document.swapState(m_other); }

private:
    TrackDesignDocument& m_document;
    TrackDesignDocument::State m_other;
};

TrackDesignDocument::TrackDesignDocument(QObject* parent) : QObject(parent)
{
    m_state.bytes.assign(1, 0);
    m_state.empty.assign(1, true);
    connect(&m_undoStack, &QUndoStack::cleanChanged, this,
            [this](bool clean) { emit changedFlagChanged(!clean); });
}

TrackDesignDocument::~TrackDesignDocument()
{
    // The commands refer to this document; they must go before its state does.
    m_undoStack.clear();
}

bool TrackDesignDocument::isEmptyElement(Index index) const
{
    return index >= 0 && index < length() && m_state.empty[std::size_t(index)];
}

std::uint8_t TrackDesignDocument::valueAt(Index index) const
{
    const Index clamped = std::clamp<Index>(index, 0, length() - 1);
    const auto at = std::size_t(clamped);
    return m_state.empty[at] ? std::uint8_t(0) : m_state.bytes[at];
}

ByteBuffer TrackDesignDocument::contents() const
{
    if (std::find(m_state.empty.begin(), m_state.empty.end(), true) == m_state.empty.end()) {
        return m_state.bytes;
    }
    ByteBuffer out;
    out.reserve(m_state.bytes.size());
    for (std::size_t i = 0; i < m_state.bytes.size(); ++i) {
        if (!m_state.empty[i]) {
            out.push_back(m_state.bytes[i]);
        }
    }
    return out;
}

const record::FieldDescription* TrackDesignDocument::fieldAt(Index index) const
{
    if (m_state.kind != ContentKind::Decoded || index < 0) {
        return nullptr;
    }
    // A decoded record has no empty elements, so its bytes are the record.
    return record::FieldOfByte(m_state.bytes, std::size_t(index));
}

bool TrackDesignDocument::setByte(Index index, std::uint8_t value)
{
    return editBytes(u"Set Byte %1"_s.arg(QString::number(index, 16).toUpper()), {{index, value}});
}

bool TrackDesignDocument::editBytes(const QString& stepName, const std::vector<ByteEdit>& edits)
{
    return writeStep(stepName, edits, {});
}

bool TrackDesignDocument::writeStep(const QString& stepName, const std::vector<ByteEdit>& edits,
                                    const MergeKey& key)
{
    const bool inside = std::all_of(edits.begin(), edits.end(), [this](const ByteEdit& edit) {
        return edit.index >= 0 && edit.index < length();
    });
    if (!inside) {
        return false;
    }
    const bool changesSomething =
        std::any_of(edits.begin(), edits.end(), [this](const ByteEdit& edit) {
            return isEmptyElement(edit.index) || valueAt(edit.index) != edit.value;
        });
    if (changesSomething) {
        m_undoStack.push(new WriteBytesCommand(*this, stepName, edits, key));
    }
    return true;
}

QString FieldStepName(const record::FieldDescription& field)
{
    return u"Set "_s + QString::fromLatin1(field.name.data(), qsizetype(field.name.size()));
}

bool TrackDesignDocument::setField(const record::FieldDescription& field, int value)
{
    return writeFields(FieldStepName(field), {{field, value}},
                       MergeKey{field.offset, field.width, field.mask});
}

bool TrackDesignDocument::setFields(const QString& stepName,
                                    std::initializer_list<FieldValue> values)
{
    return writeFields(stepName, values, {});
}

bool TrackDesignDocument::writeFields(const QString& stepName,
                                      std::initializer_list<FieldValue> values, const MergeKey& key)
{
    std::size_t needed = 0;
    for (const FieldValue& each : values) {
        needed = std::max(needed, each.field.end());
    }
    if (needed > std::size_t(length())) {
        return false;
    }
    // The fields' bytes as they stand, updated as each field is written.
    ByteBuffer record(needed);
    for (std::size_t i = 0; i < needed; ++i) {
        record[i] = valueAt(Index(i));
    }
    std::vector<ByteEdit> edits;
    for (const FieldValue& each : values) {
        for (const record::FieldByte& byte : record::FieldBytes(record, each.field, each.value)) {
            record[byte.offset] = byte.value;
            const auto same = std::find_if(edits.begin(), edits.end(), [&](const ByteEdit& edit) {
                return edit.index == Index(byte.offset);
            });
            if (same != edits.end()) {
                same->value = byte.value;
            } else {
                edits.push_back({Index(byte.offset), byte.value});
            }
        }
    }
    return writeStep(stepName, edits, key);
}

bool TrackDesignDocument::replaceContents(const QString& stepName, ByteBuffer bytes,
                                          ContentKind kind, GameVersion version)
{
    if (bytes.empty()) {
        return false;
    }
    State next{std::move(bytes), {}, kind, version};
    next.empty.assign(next.bytes.size(), false);
    m_undoStack.push(new SwapStateCommand(*this, stepName, std::move(next)));
    return true;
}

bool TrackDesignDocument::loadContents(ByteBuffer bytes, ContentKind kind)
{
    if (bytes.empty() || kind == ContentKind::StartUp) {
        return false;
    }
    State loaded{std::move(bytes), {}, kind, m_state.version};
    loaded.empty.assign(loaded.bytes.size(), false);
    m_undoStack.clear();
    swapState(loaded);
    return true;
}

void TrackDesignDocument::setGameVersion(GameVersion version)
{
    m_state.version = version;
    // Also when it is the same: the menus repeat what a choice does.
    emit gameVersionChanged(version);
}

void TrackDesignDocument::markSaved()
{
    m_undoStack.setClean();
}

void TrackDesignDocument::writeBytes(const std::vector<ByteEdit>& edits,
                                     const std::vector<bool>& emptyFlags)
{
    Index first = length();
    Index last = -1;
    for (std::size_t i = 0; i < edits.size(); ++i) {
        const ByteEdit& edit = edits[i];
        m_state.bytes[std::size_t(edit.index)] = edit.value;
        m_state.empty[std::size_t(edit.index)] = i < emptyFlags.size() && emptyFlags[i];
        first = std::min(first, edit.index);
        last = std::max(last, edit.index);
    }
    if (last >= first) {
        emit bytesChanged(first, last);
    }
}

void TrackDesignDocument::swapState(State& other)
{
    const ContentKind oldKind = m_state.kind;
    const GameVersion oldVersion = m_state.version;
    std::swap(m_state, other);
    // Another file, or the same design encoded or decoded: a byte or piece selected in
    // the old bytes means nothing in these, and may lie past their end.
    m_selection.reset();
    emit contentsReplaced();
    if (m_state.kind != oldKind) {
        emit kindChanged(m_state.kind);
    }
    if (m_state.version != oldVersion) {
        emit gameVersionChanged(m_state.version);
    }
}

} // namespace railwright
