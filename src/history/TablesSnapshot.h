#pragma once

#include "files/CsvRecords.h"
#include "files/TextEncoding.h"

#include <QByteArray>
#include <QString>
#include <functional>
#include <optional>

// Which of a kind's two tables a record takes from the controller.
struct CoveredTables {
    bool first = false; // points or zones
    bool parameters = false;
    bool all() const { return first && parameters; }
};

// The settings file a record commits, and whether the port's last recorded file gave the
// tables the record did not cover.
struct ComposedFile {
    QByteArray bytes;
    bool previousUsed = false;
};

// A kind's tables as one record takes them: copies made when the transfer ended, so the file
// is composed later, off the window's thread, from exactly what the controller then held.
struct TablesSnapshot {
    QString kindName;     // "point input type"
    QString firstTable;   // "points", "zones"
    QString actuatorType; // the type row's Setting Value
    // The settings file of the snapshot's tables, byte for byte what Save As writes for them,
    // except the tables not covered: those come from previous (the port's last recorded file)
    // when it reads as this kind's file, else from the snapshot (previousUsed false).
    std::function<ComposedFile(const std::optional<QByteArray>& previous, CoveredTables covered)>
        compose;
};

namespace TablesSnapshots {

// Text as Save As writes it in the file form given: in the form's encoding, or all in UTF-8
// when that cannot hold every character (what Save As writes after the operator's Yes).
inline QByteArray encodeAsSaved(const QString& text, const CsvRecords::FileForm& form) {
    if (std::optional<QByteArray> bytes = TextEncoding::encodeExactly(text, form.encoding))
        return *bytes;
    return text.toUtf8();
}

// The compose function of a kind whose settings file holds a first table of type First and
// a parameter table of type Params: read reads a file (ReadResult with ok, and the two
// tables at firstOf and paramsOf), text writes one.
template <typename ReadResult, typename First, typename Params>
auto composer(First first, Params params, CsvRecords::FileForm form,
              ReadResult (*read)(const QByteArray&), First ReadResult::*firstOf,
              Params ReadResult::*paramsOf,
              QString (*text)(const First&, const Params&, bool bareNotes)) {
    return [=](const std::optional<QByteArray>& previous, CoveredTables covered) {
        First f = first;
        Params p = params;
        bool used = false;
        if (previous && !covered.all()) {
            const ReadResult recorded = read(*previous);
            if (recorded.ok) {
                if (!covered.first)
                    f = recorded.*firstOf;
                if (!covered.parameters)
                    p = recorded.*paramsOf;
                used = true;
            }
        }
        return ComposedFile{encodeAsSaved(text(f, p, form.bareNotes), form), used};
    };
}

} // namespace TablesSnapshots
