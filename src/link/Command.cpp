#include "link/Command.h"

#include <QHash>

namespace Command {

namespace {
const QHash<int, QString>& words() {
    static const QHash<int, QString> table = {
        {ORG, "@ORG "},
        {MOVD, "@MOVD "},
        {MOVP, "@MOVP "},
        {XPlus, "@X+ "},
        {XMinus, "@X- "},
        {XINC, "@XINC "},
        {XDEC, "@XDEC "},
        {SRVO, "@SRVO "},
        {BRK, "@BRK "},
        {ALR, "@ALR "},
        {CCLR, "@CCLR "},
        {PRESS, "@PRESS "},
        {GMIN, "@GMIN "},
        {GMAX, "@GMAX "},
        {QueryVER, "@?VER "},
        {QueryPOS, "@?POS "},
        {QueryPNO, "@?PNO "},
        {QueryPRM, "@?PRM "},
        {QueryP, "@?P "},
        {QueryORG, "@?ORG "},
        {QuerySRVO, "@?SRVO "},
        {QueryBRK, "@?BRK "},
        {QueryPRS, "@?PRS "},
        {ReadPNT, "@READ PNT "},
        {ReadPRM, "@READ PRM "},
        {ReadERR, "@READ ERR "},
        {WritePNT, "@WRITE PNT "},
        {WritePRM, "@WRITE PRM "},
        {PDEL, "@PDEL "},
        {InitPNT, "@INIT PNT "},
        {InitPRM, "@INIT PRM "},
        {ReadZON, "@READ ZON "},
        {InitZON, "@INIT ZON "},
        {WriteZON, "@WRITE ZON "},
        {ReadDIO, "@READ DIO "},
        {InitORG, "@INIT ORG "},
        {PointData, "P"},
        {ParameterData, "PRM"},
        {ZoneData, "Z"},
    };
    return table;
}
} // namespace

QString word(int code) {
    return words().value(code);
}

Class classOf(int code) {
    if (code == StopChar || code == EndOfData)
        return Class::ControlChar;
    if (code == PointData || code == ParameterData || code == ZoneData)
        return Class::DataLine;
    return words().contains(code) ? Class::Command : Class::Unknown;
}

bool isMotion(int code) {
    switch (code) {
    case ORG:
    case MOVD:
    case MOVP:
    case XPlus:
    case XMinus:
    case XINC:
    case XDEC:
    case GMIN:
    case GMAX:
        return true;
    default:
        return false;
    }
}

void clear(Fields& f) {
    f.sousinnaiyou.clear();
    f.P_first.clear();
    f.P_second.clear();
    f.P_third.clear();
}

void compose(Fields& f) {
    switch (classOf(f.P_Command)) {
    case Class::ControlChar:
        f.sousinnaiyou = QString(QChar(f.P_Command == StopChar ? 3 : 26));
        return;
    case Class::DataLine:
        f.P_first = word(f.P_Command);
        f.P_third += QStringLiteral("\r\n");
        break;
    case Class::Command:
        f.P_first = word(f.P_Command);
        [[fallthrough]];
    case Class::Unknown: // P_first stays as it was
        f.P_second += QLatin1Char(',');
        f.P_third += QStringLiteral("\r\n");
        break;
    }
    f.sousinnaiyou = f.P_first + f.P_second + f.P_third;
}

QString line(int code, const QString& second) {
    Fields f;
    f.P_Command = code;
    f.P_second = second;
    compose(f);
    return f.sousinnaiyou;
}

bool isSendable(const QString& line) {
    if (line.size() == 1 && (line[0].unicode() == 3 || line[0].unicode() == 26))
        return true;
    const qsizetype end = line.endsWith(QLatin1String("\r\n")) ? line.size() - 2 : line.size();
    for (qsizetype i = 0; i < end; ++i) {
        const char16_t c = line[i].unicode();
        if (c < 32 || c > 126)
            return false;
    }
    return true;
}

QString visible(const QString& line) {
    // The ASCII names of the control characters: readable in any font and any text editor.
    static const char* const Names[] = {"NUL", "SOH", "STX", "ETX", "EOT", "ENQ", "ACK", "BEL",
                                        "BS",  "HT",  "LF",  "VT",  "FF",  "CR",  "SO",  "SI",
                                        "DLE", "DC1", "DC2", "DC3", "DC4", "NAK", "SYN", "ETB",
                                        "CAN", "EM",  "SUB", "ESC", "FS",  "GS",  "RS",  "US"};
    QString out;
    for (const QChar ch : line) {
        const char16_t c = ch.unicode();
        if (c < 32)
            out += QLatin1Char('<') + QLatin1String(Names[c]) + QLatin1Char('>');
        else if (c == 127)
            out += QLatin1String("<DEL>");
        else if (c > 126)
            out += QStringLiteral("<%1>").arg(int(c), 2, 16, QLatin1Char('0'));
        else
            out += ch;
    }
    return out;
}

} // namespace Command
