#pragma once

#include "codec/byte_buffer.h"
#include "codec/game_version.h"
#include "codec/record_fields.h"
#include "document/byte_selection.h"

#include <QObject>
#include <QUndoStack>
#include <cstdint>
#include <vector>

namespace railwright {

// What the document holds: nothing yet, the bytes of a file, or a decoded record.
enum class ContentKind
{
    StartUp,
    Raw,
    Decoded,
};

// One byte an edit stores.
struct ByteEdit
{
    qsizetype index;
    std::uint8_t value;
};

// A value for one field of the record.
struct FieldValue
{
    const record::FieldDescription& field;
    int value;
};

// The name of the undo step that sets `field`: "Set " and the field's name ("Set Body
// colour 0"), whichever view sets it.
[[nodiscard]] QString FieldStepName(const record::FieldDescription& field);

struct MergeKey;

// The bytes the editor works on (a raw file or a decoded record), what they are, and the
// game they are meant for. It always has at least one element; an element may be empty
// (the start-up document holds one empty element): an empty element reads as 0 and is not
// written when saving.
//
// Every edit is one step on the document's undo stack; undoing or redoing a step goes
// through the same setters, which emit what changed, so views follow the document
// whatever moved it. "Changed" means the stack is away from the point of the last open
// or save.
class TrackDesignDocument : public QObject
{
    Q_OBJECT

public:
    using Index = qsizetype; // wide enough for every byte of the largest file

    explicit TrackDesignDocument(QObject* parent = nullptr);
    ~TrackDesignDocument() override;

    [[nodiscard]] Index length() const { return Index(m_state.bytes.size()); }
    [[nodiscard]] bool isEmptyElement(Index index) const;
    // The byte at `index`, clamped into the document (below 0 reads byte 0, past the
    // end reads the last byte); an empty element reads 0.
    [[nodiscard]] std::uint8_t valueAt(Index index) const;
    // The bytes a save writes: every element in order, empty elements left out.
    [[nodiscard]] ByteBuffer contents() const;
    [[nodiscard]] ContentKind kind() const { return m_state.kind; }
    [[nodiscard]] GameVersion gameVersion() const { return m_state.version; }

    // The field of the decoded record byte `index` belongs to (record::FieldOfByte);
    // nullptr when no field names it or the document is not a decoded record.
    [[nodiscard]] const record::FieldDescription* fieldAt(Index index) const;

    // The selected byte, highlighted bytes and track rows every view shares. Loading or
    // replacing the contents (and undoing that) resets it before contentsReplaced.
    [[nodiscard]] ByteSelection& selection() { return m_selection; }
    [[nodiscard]] const ByteSelection& selection() const { return m_selection; }

    [[nodiscard]] bool changed() const { return !m_undoStack.isClean(); }
    [[nodiscard]] QUndoStack* undoStack() { return &m_undoStack; }

    // One undoable step "Set Byte 2A" storing `value` at `index`. Refused (false, no step)
    // when the index lies outside the document.
    bool setByte(Index index, std::uint8_t value);
    // One undoable step named `stepName` storing every edit. Refused (false, nothing
    // stored) when any index lies outside the document. Edits that store what is
    // already there make no step.
    bool editBytes(const QString& stepName, const std::vector<ByteEdit>& edits);
    // One undoable step FieldStepName(field) storing `value` in the field's own bits
    // under the field's rule (see record::FieldBytes): every view that sets a field
    // calls this. Changes of the same field in a row merge into one step (five clicks on
    // a spin box's arrow are undone at once). Refused (false, no step) when the document
    // ends before the field's last byte.
    bool setField(const record::FieldDescription& field, int value);
    // One undoable step named `stepName` storing every value in its field, in order (a
    // later field of the same byte sees the earlier one), each under its field's rule.
    // Refused (false, nothing stored) when the document ends before any of the fields.
    bool setFields(const QString& stepName, std::initializer_list<FieldValue> values);
    // One undoable step replacing every byte and what they are (decode, encode, a layout
    // conversion). An empty buffer is refused.
    bool replaceContents(const QString& stepName, ByteBuffer bytes, ContentKind kind,
                         GameVersion version);

    // Replaces every byte with a loaded file: unchanged, with a fresh history; raw, or a
    // decoded record saved without encoding. An empty buffer is refused.
    bool loadContents(ByteBuffer bytes, ContentKind kind = ContentKind::Raw);
    // The game the user says the design is for: no step, the bytes stay as they are.
    void setGameVersion(GameVersion version);
    // The bytes now on disk: "Changed" clears until the history moves away from here.
    void markSaved();

    // Everything a whole-contents step swaps in and out.
    struct State
    {
        ByteBuffer bytes;
        std::vector<bool> empty;
        ContentKind kind = ContentKind::StartUp;
        GameVersion version = GameVersion::Original;
    };

signals:
    // Bytes first..last (inclusive) were written; the length is the same.
    void bytesChanged(railwright::TrackDesignDocument::Index first,
                      railwright::TrackDesignDocument::Index last);
    // The whole contents were replaced; the length may differ.
    void contentsReplaced();
    void changedFlagChanged(bool changed);
    void kindChanged(railwright::ContentKind kind);
    void gameVersionChanged(railwright::GameVersion version);

private:
    friend class WriteBytesCommand;
    friend class SwapStateCommand;

    bool writeStep(const QString& stepName, const std::vector<ByteEdit>& edits,
                   const MergeKey& key);
    bool writeFields(const QString& stepName, std::initializer_list<FieldValue> values,
                     const MergeKey& key);
    // Empty flags, where given, go with the edits of the same position.
    void writeBytes(const std::vector<ByteEdit>& edits, const std::vector<bool>& emptyFlags);
    void swapState(State& other);

    State m_state;
    QUndoStack m_undoStack;
    ByteSelection m_selection;
};

} // namespace railwright
