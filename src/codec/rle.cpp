#include "rle.h"

#include <algorithm>
#include <cstddef>
#include <cstring>

namespace railwright {

namespace {

// The encoder never writes blocks longer than this, in either kind, although the
// decoder accepts literal blocks of up to 128 bytes and repeats of up to 129.
constexpr std::size_t MaxPiece = 125;

// Bytes at the end of a file that belong to the checksum, never to a block header.
constexpr std::size_t ChecksumLength = 4;

std::string damagedAt(std::size_t offset, const char* what)
{
    return "damaged track design: a " + std::string(what) + " at offset " + std::to_string(offset) +
           " runs past the end of the file";
}

} // namespace

DecodeResult RLEDecode(ByteView file)
{
    DecodeResult result;
    const std::size_t size = file.size();
    // With U the last index, blocks start at i <= U - 5, i.e. at i + 6 <= size: the
    // last four bytes are the checksum and a control byte needs at least one more.
    if (size <= ChecksumLength + 1) {
        return result;
    }
    const std::size_t lastStart = size - ChecksumLength - 2; // U - 5
    const std::uint8_t* data = file.data();

    // No block yields fewer bytes than it occupies less its control byte, and most
    // records are longer than their file: twice the file size covers the common case
    // in one allocation, and repeat-heavy records grow past it.
    ByteBuffer& out = result.record;
    out.reserve(size * 2);

    std::size_t i = 0;
    while (i <= lastStart) {
        const std::uint8_t control = data[i];
        if (control < 128) {
            const std::size_t count = std::size_t(control) + 1;
            // The block may reach into the checksum bytes (the game does not check
            // the body's end), but never past the last byte of the file.
            if (i + count >= size) {
                result.record = ByteBuffer();
                result.error = damagedAt(i, "block");
                return result;
            }
            out.insert(out.end(), data + i + 1, data + i + 1 + count);
            i += count + 1;
        } else {
            // i + 1 always exists while i <= U - 5; the check guards the arithmetic.
            if (i + 1 >= size) {
                result.record = ByteBuffer();
                result.error = damagedAt(i, "repeat block");
                return result;
            }
            const std::size_t count = 257 - std::size_t(control);
            out.insert(out.end(), count, data[i + 1]);
            i += 2;
        }
    }
    return result;
}

ByteBuffer RLEEncode(ByteView record)
{
    const std::size_t n = record.size();
    const std::uint8_t* data = record.data();
    ByteBuffer out;
    // The costliest input is single literals between pairs ("a bb c dd ..."): 4 bytes
    // out for every 3 in. Half as much again, plus a header per 125 literals, bounds
    // every input, so the loop below writes through a raw pointer without checks.
    out.resize(n + n / 2 + n / MaxPiece + 2);
    std::uint8_t* const base = out.data();
    std::uint8_t* w = base;

    // Literal bytes not yet written start at `literalStart`; they are flushed as
    // blocks of at most 125 when a repeat piece begins or the input ends.
    std::size_t literalStart = 0;
    auto flushLiterals = [&](std::size_t end) {
        while (literalStart < end) {
            const std::size_t count = std::min(end - literalStart, MaxPiece);
            *w++ = std::uint8_t(count - 1);
            std::memcpy(w, data + literalStart, count);
            w += count;
            literalStart += count;
        }
    };

    std::size_t i = 0;
    while (i < n) {
        // Find the next place where two neighbours are equal; everything before it
        // is literal.
        std::size_t j = i;
        while (j + 1 < n && data[j] != data[j + 1]) {
            ++j;
        }
        if (j + 1 >= n) {
            break; // no more runs: the rest is literal
        }
        // A stretch of equal bytes starts at j.
        std::size_t runEnd = j + 2;
        const std::uint8_t value = data[j];
        while (runEnd < n && data[runEnd] == value) {
            ++runEnd;
        }
        flushLiterals(j);
        std::size_t remaining = runEnd - j;
        while (remaining >= 2) {
            const std::size_t piece = std::min(remaining, MaxPiece);
            *w++ = std::uint8_t(257 - piece);
            *w++ = value;
            remaining -= piece;
        }
        // A single remainder cannot be a repeat piece: it joins the literals that
        // follow.
        literalStart = runEnd - remaining;
        i = runEnd;
    }
    flushLiterals(n);

    out.resize(std::size_t(w - base));
    return out;
}

} // namespace railwright
