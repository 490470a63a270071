#pragma once

#include <QByteArray>
#include <QString>
#include <array>

// What a controller keeps across power cycles: parameters 0..63, 64 points and 4 zones, with
// the controller's own default lists, the data lines that write them and the read replies that
// list them. Values are kept as the texts the PC sent, so a table reads back exactly as written.
enum class ControllerKind { Point, Pulse };

// Detail lines that follow "NG" or "STOP" in a reply.
namespace ControllerDetail {
inline constexpr char CommandError[] = "30:COMMAND ERROR"; // unknown or malformed line
inline constexpr char Busy[] = "35:BUSY";                  // a motion is already running
inline constexpr char RangeOver[] = "37:RANGE OVER";       // value or argument out of range
inline constexpr char NoPointData[] = "38:NO POINT DATA";  // move to a point that is not set
inline constexpr char NoOrigin[] = "39:ORIGIN NOT SET";    // move before a return to origin
inline constexpr char StopCommand[] = "61:STOP COMMAND";   // motion ended by the stop character
inline constexpr char NoObject[] = "64:NO OBJECT";         // a push met no workpiece
} // namespace ControllerDetail

class ControllerMemory final {
  public:
    static constexpr int ParameterCount = 64;
    static constexpr int PointCount = 64;
    static constexpr int ZoneCount = 4;

    struct Point {
        QString mode; // as sent; empty: the point is not set
        QString position;
        QString speed;
        QString push;
        bool isSet() const { return !mode.isEmpty(); }
        bool operator==(const Point&) const = default;
    };
    struct Zone {
        QString a; // empty: the zone is not set
        QString b;
        QString extra; // an optional third field, kept and listed back
        bool isSet() const { return !a.isEmpty(); }
        bool operator==(const Zone&) const = default;
    };

    ControllerMemory() = default;

    // Parameters of the kind's default list for the type; an unsupported type gets the type-30
    // values with parameter 0 set to the type as given. Parameter 13 holds the kind.
    void loadDefaults(ControllerKind kind, int type);
    // Stroke in 0.01 mm: 2000 for types 30 and 32, 4000 for any other type.
    static int strokeOf(int type) { return (type == 30 || type == 32) ? 2000 : 4000; }

    // Every point set (mode U: position, speed and pushing level varying from point to point,
    // within a 20 mm stroke) and every zone set, so that a read returns a full table.
    void fillSample();

    QString parameter(int n) const;
    int parameterInt(int n, int fallback = 0) const;
    void setParameter(int n, const QString& value);

    Point point(int n) const;
    void setPoint(int n, const Point& p);
    void clearPoints();

    Zone zone(int n) const;
    void setZone(int n, const Zone& z);
    void clearZones();

    // Read replies without the final "OK": one line per set point / parameter / set zone.
    QByteArray pointLines() const;
    QByteArray parameterLines() const;
    QByteArray zoneLines() const;

    // Data lines of a write block ("P5=A,12.50,30", "PRM35=100", "PRM22 = 0",
    // "Z0=-10.00,20.00"). Returns the empty text when the line was stored, else the detail of
    // the refusal (nothing is stored then). An old-model controller has no parameters 31, 32,
    // 33 and 36. Parameters 0 (type) and 13 (kind) are fixed and cannot be written.
    QString storePointLine(const QString& line);
    QString storeParameterLine(const QString& line, bool oldModel);
    QString storeZoneLine(const QString& line);

  private:
    std::array<QString, ParameterCount> m_params;
    std::array<Point, PointCount> m_points;
    std::array<Zone, ZoneCount> m_zones;
};
