#pragma once

#include "document/track_design_document.h"
#include "ui/grid/display_mode.h"

#include <QString>
#include <QStringList>
#include <cstdint>
#include <optional>

namespace railwright {

// The edit box's key filter: the character a typed key puts into the box in `mode`,
// or 0 when the key is refused (the caller tells the user and drops the key).
// Hexidecimal turns a-f into A-F and accepts 0-9, A-F; Decimal accepts digits only;
// Charter accepts every key. Enter (13) and Backspace (8) pass in every mode.
[[nodiscard]] char16_t FilterEditKey(char16_t key, DisplayMode mode);

// What pressing Enter in the edit box does to the selected byte.
struct CommitResult
{
    enum class Kind
    {
        StoreByte, // store `value`
        Nothing,   // the box is empty: change no byte
        Refused,   // store nothing; tell the user `message`
    };
    Kind kind = Kind::Refused;
    std::uint8_t value = 0;
    QString message;
};

// Reads the edit box's text in `mode`. An empty text changes nothing in every mode.
// Hexidecimal: the hex digits up to the first other character (none gives 0). Decimal:
// the digits up to the first other character (none gives 0); above 255 is refused.
// Charter: one character of code 0 to 255; anything else is refused.
[[nodiscard]] CommitResult ParseCommitText(const QString& text, DisplayMode mode);

// An address typed into "Go to Address": decimal digits ("26"), or hexadecimal as
// "0x1A", "1Ah", "$1A" or digits with a letter A-F ("1A"), either case, blanks around it
// ignored. Nothing for any other text or a number above 2,147,483,647.
[[nodiscard]] std::optional<TrackDesignDocument::Index> ParseAddress(const QString& text);
// Whether an address the user typed is hexadecimal by ParseAddress's rules, so that an answer
// can name addresses in the same base.
[[nodiscard]] bool IsHexadecimalAddress(const QString& text);
// `index` as an answer to a typed address: "0x1A" when the user typed hexadecimal, "26"
// otherwise.
[[nodiscard]] QString AddressText(TrackDesignDocument::Index index, bool hexadecimal);

// The text a cell shows for byte `index` in `mode` (Charter draws control characters
// as their Unicode control pictures, so they stay visible).
[[nodiscard]] QString CellDisplayText(const TrackDesignDocument& document,
                                      TrackDesignDocument::Index index, DisplayMode mode);
// The text a click on the cell of byte `index` puts into the edit box: as the cell
// shows it, except that Charter gives the byte's own character.
[[nodiscard]] QString CellEditText(const TrackDesignDocument& document,
                                   TrackDesignDocument::Index index, DisplayMode mode);

// The four status panels for the byte at `index` ("Adress: 1A", "Hex: 0A", "Dec: 10",
// "Chr: ...", a control character shown as its control picture); past the end the
// address is the index's own and the values the last byte's.
[[nodiscard]] QStringList StatusTexts(const TrackDesignDocument& document,
                                      TrackDesignDocument::Index index);
// The panels before the pointer has been over a byte: "Adress: 0", "Hex: 0", ...
[[nodiscard]] QStringList StartupStatusTexts();

} // namespace railwright
