#pragma once

#include <QByteArray>
#include <QString>
#include <functional>
#include <optional>

// The text encodings of the settings files of both kinds.
//
// Reading. A file whose kept part is valid UTF-8 is read as UTF-8 (a byte order mark is allowed).
// Any other file was written in an 8-bit code page by another program. Most such files are valid in
// both code pages that notes are written in, the Windows Japanese code page (Shift-JIS as Windows
// writes it) and Windows-1252, so the choice is made by evidence, not by order: both readings are
// scored by how their characters other than ASCII sit in the text, and the more plausible one is
// taken (the Japanese reading when they score alike):
//
//   - Japanese: kana, kanji next to other Japanese characters, runs of half-width katakana and
//     full-width symbols are evidence for it; a kanji alone between two ASCII letters, a lone
//     half-width mark ("ｰ" after a digit) and characters of the user-defined area against it.
//   - Western: an accented letter next to an ASCII letter ("Pièce"), a symbol of measure next
//     to a digit ("±0.5", "20°", "5µm") and typographic quotes and dashes where text puts them
//     ("don’t") are evidence for it; characters in runs of other non-ASCII characters (how
//     Japanese text looks when read as Western) and control characters against it.
//
// A file valid in neither is read as Latin-1, which maps every byte. The decision (validity
// included) depends only on the bytes of the part of the text that is kept (the notes: a caller
// names it), on its characters other than ASCII and whether their neighbours are ASCII
// letters, digits, blanks or other ASCII characters, so a file written back reads the same way
// again. Stray bytes elsewhere read as replacement characters where they are.
//
// Writing. A text is written back in the encoding it was read in, so a file opened and saved
// unchanged keeps every byte.
namespace TextEncoding {

enum class Encoding {
    Utf8,
    Utf8WithBom,
    Japanese, // the Windows Japanese code page (Shift-JIS as Windows writes it)
    Western,  // Windows-1252
    Latin1,
};

struct Decoded {
    QString text;
    Encoding encoding = Encoding::Utf8;
};

// The text of a file. counted gives the part of a reading whose characters decide between the
// two code pages (the whole reading when it is not given).
Decoded decode(const QByteArray& bytes,
               const std::function<QString(const QString& reading)>& counted = {});

// The text in the encoding given; none when the encoding cannot hold every character of it.
std::optional<QByteArray> encodeExactly(const QString& text, Encoding encoding);
// The text in the encoding given; UTF-8 instead when that encoding cannot hold every
// character of it.
QByteArray encode(const QString& text, Encoding encoding = Encoding::Utf8);
// Where the first character of the text lies that the encoding cannot hold (a surrogate pair
// counts as one character); -1 when it holds them all.
qsizetype firstMisfit(const QString& text, Encoding encoding);

// The encoding as the operator reads it: "UTF-8", "Windows Japanese (Shift-JIS)", ...
QString name(Encoding encoding);

} // namespace TextEncoding
