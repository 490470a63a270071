// Everything that reads a controller's reply, on any bytes the line may bring (mapped to text
// as the link maps them, Latin-1). Besides not crashing, the parsed pieces stay inside the
// reply and the error box text of a refused line can itself be written.
#include "FuzzCheck.h"
#include "link/Command.h"
#include "link/ReplyRules.h"
#include "pointdata/PointData.h"
#include "pointops/CompareOps.h"
#include "pointops/PointReply.h"
#include "pointops/TransmitParameters.h"

#include <QString>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QString reply = QString::fromLatin1(reinterpret_cast<const char*>(data), qsizetype(size));

    ReplyRules::hasReplyEnd(reply);
    ReplyRules::detailLineStart(reply);
    const QString error = ReplyRules::errorPart(reply);
    FUZZ_CHECK(error.isEmpty() || reply.contains(error));
    FUZZ_CHECK(ReplyRules::extractValue(reply).size() <= reply.size());
    TransmitParameters::travelLimit(reply);

    const bool plain = ReplyRules::isPlainText(reply);
    FUZZ_CHECK(!Command::isSendable(reply) || plain || reply.size() == 1);
    const QString shown = Command::visible(reply);
    FUZZ_CHECK(ReplyRules::isPlainText(shown) && Command::isSendable(shown));

    const PointRecord empty;
    for (int n = 0; n < PointCount; ++n) {
        const auto line = PointReply::pointLine(reply, n);
        if (!line)
            continue;
        FUZZ_CHECK(!line->contains(QLatin1Char('\r')));
        const auto point = PointReply::point(reply, n);
        FUZZ_CHECK(point && point->note.isEmpty());
        for (const QString* f : {&point->position, &point->speed, &point->push})
            FUZZ_CHECK(!f->contains(QLatin1Char(',')) && !f->contains(QLatin1Char('\r')));
        CompareOps::samePoint(&*line, *point);
        CompareOps::samePoint(&*line, empty);
    }
    const QStringList values = ReplyRules::parameterValues(reply);
    FUZZ_CHECK(values.size() <= reply.count(QLatin1Char('=')));
    for (const QString& v : values) {
        FUZZ_CHECK(!v.contains(QLatin1Char('\r')));
        CompareOps::sameParameter(v, QStringLiteral("100"));
    }
    return 0;
}
