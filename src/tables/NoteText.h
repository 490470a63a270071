#pragma once

#include "tables/TableProblem.h"

#include <QString>
#include <optional>

// The free-text note that the tables of both kinds carry beside their values. It is never
// sent to the controller, but it is saved, so its length is bounded where it is entered and
// where it is read from a file: 64 notes of the longest length stay far below the settings
// file cap (BoundedFile::SettingsFileMaxBytes), so whatever Save As writes, Open reads back.
namespace NoteText {

inline constexpr qsizetype MaxChars = 256;

inline bool fits(const QString& note) {
    return note.size() <= MaxChars;
}

// The note cut to MaxChars, never between the two halves of a surrogate pair.
inline QString bounded(const QString& note) {
    if (fits(note))
        return note;
    qsizetype length = MaxChars;
    if (note.at(length - 1).isHighSurrogate())
        --length;
    return note.left(length);
}

// A note read from a file that is longer than a note may be, as the refusal says it.
inline std::optional<TableProblem> problem(const QString& item, const QString& note) {
    if (fits(note))
        return std::nullopt;
    return TableProblem{item,
                        QStringLiteral("Note"),
                        QStringLiteral("longer than %1 characters").arg(MaxChars),
                        {}};
}

} // namespace NoteText
