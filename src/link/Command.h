#pragma once

#include <QString>

// The command table: every operation names a command by its code, never by its text.
namespace Command {

enum Code : int {
    ORG = 0,
    MOVD = 1,
    MOVP = 2,
    XPlus = 3,
    XMinus = 4,
    XINC = 5,
    XDEC = 6,
    SRVO = 7,
    BRK = 8,
    ALR = 9,
    CCLR = 10,
    PRESS = 11,
    GMIN = 12,
    GMAX = 13,
    QueryVER = 100,
    QueryPOS = 101,
    QueryPNO = 102,
    QueryPRM = 103,
    QueryP = 104,
    QueryORG = 105,
    QuerySRVO = 106,
    QueryBRK = 107,
    QueryPRS = 108,
    ReadPNT = 200,
    ReadPRM = 201,
    ReadERR = 202,
    WritePNT = 203,
    WritePRM = 204,
    PDEL = 205,
    InitPNT = 206,
    InitPRM = 207,
    ReadZON = 208,
    InitZON = 209,
    WriteZON = 210,
    ReadDIO = 211,
    InitORG = 212,
    PointData = 300,
    ParameterData = 301,
    ZoneData = 302,
    StopChar = 400,
    EndOfData = 401,
};

enum class Class { Command, DataLine, ControlChar, Unknown };

// The command word of a code ("@?VER ", "P", ...); empty for unknown codes and the two
// control characters.
QString word(int code);
Class classOf(int code);
// True for the commands that move the actuator and whose reply comes only when the motion
// ends: return to origin, point moves, steps, continuous jogs and the pushing measurements.
bool isMotion(int code);

struct Fields {
    int P_Command = 0;
    QString P_first;
    QString P_second;
    QString P_third;
    QString sousinnaiyou;
};

// Empties the four text fields.
void clear(Fields& f);
// Composes sousinnaiyou from the fields by the composition rules of the command table.
void compose(Fields& f);
// The composed line of a code with the given argument text, fields cleared first.
QString line(int code, const QString& second = {});

// Whether a line may be written to the controller: printable ASCII (codes 32 to 126) with at
// most one CR LF at its very end, or the stop or the end-of-data character alone. A CR, LF or
// other control character inside an argument or a data line would let a value end the line
// early and put a command of its own on the line.
bool isSendable(const QString& line);
// The line with every character outside printable ASCII made visible: control characters by
// their ASCII names (<CR>, <LF>, <ETX>, <SUB>), others by their code (<8f>). For the error box
// and the traffic log.
QString visible(const QString& line);

} // namespace Command
