#include "simulator/ControllerMemory.h"

#include <QRegularExpression>
#include <QStringList>

namespace {

struct Default {
    int number;
    const char* value; // nullptr: the type itself, or the stroke when marked below
    bool stroke = false;
};

// The point-input controller's defaults (its 20 adjustable parameters).
const Default kPointDefaults[] = {
    {0, nullptr}, {1, nullptr, true}, {2, "-20"}, {4, "100"}, {5, "0"},
    {7, "10"},    {8, "200"},         {9, "200"}, {10, "5"},  {21, nullptr, true},
    {22, "1"},    {24, "5"},          {25, "10"}, {26, "5"},  {30, "100"},
    {31, "0"},    {32, "0"},          {33, "0"},  {35, "0"},  {36, "5"},
};

// The pulse-train controller's defaults (its 12 adjustable parameters), laid over the above.
const Default kPulseDefaults[] = {
    {0, nullptr}, {4, "100"}, {5, "0"},  {10, "5"}, {22, "1"}, {35, "0"},
    {36, "5"},    {37, "10"}, {38, "1"}, {39, "1"}, {43, "0"}, {53, "1000"},
};

struct Range {
    int number;
    double low;
    double high;
};

// Accepted values of the adjustable parameters; every other parameter takes any number.
const Range kRanges[] = {
    {1, 0, 9999},      {2, -9999, 0}, {4, 1, 100},       {5, 0, 1},       {7, 1, 10},
    {8, 1, 9999},      {9, 1, 9999},  {10, 1, 15},       {21, 1, 9999},   {22, 0, 1},
    {24, 1, 15},       {25, 1, 9999}, {26, 1, 10},       {30, 1, 100},    {31, -4000, 4000},
    {32, -4000, 4000}, {33, 0, 1},    {35, -9999, 9999}, {36, 1, 15},     {37, 1, 10},
    {38, 1, 4},        {39, 1, 8},    {43, 0, 1},        {53, 100, 1999},
};

bool inRange(const QString& text, double low, double high, double* value = nullptr) {
    bool ok = false;
    const double v = text.trimmed().toDouble(&ok);
    if (value)
        *value = v;
    return ok && v >= low - 1e-9 && v <= high + 1e-9;
}

bool isNumber(const QString& text) {
    bool ok = false;
    text.trimmed().toDouble(&ok);
    return ok;
}

} // namespace

void ControllerMemory::loadDefaults(ControllerKind kind, int type) {
    for (QString& p : m_params)
        p = QStringLiteral("0");
    const QString typeText = QString::number(type);
    const QString stroke = QString::number(strokeOf(type));
    for (const Default& d : kPointDefaults)
        m_params[d.number] =
            d.value ? QString::fromLatin1(d.value) : (d.stroke ? stroke : typeText);
    if (kind == ControllerKind::Pulse) {
        for (const Default& d : kPulseDefaults)
            m_params[d.number] = d.value ? QString::fromLatin1(d.value) : typeText;
    }
    m_params[13] = kind == ControllerKind::Point ? QStringLiteral("0") : QStringLiteral("1");
}

void ControllerMemory::fillSample() {
    for (int n = 0; n < PointCount; ++n)
        m_points[n] = {QStringLiteral("U"), QString::number((n % 40 - 20) + 0.25, 'f', 2),
                       QString::number(10 + n % 40), QString::number(1 + n % 10)};
    m_zones = {Zone{"-10.00", "-20.00", {}}, Zone{"5.00", "15.00", {}}, Zone{"20.00", "30.00", {}},
               Zone{"0.00", "-5.00", {}}};
}

QString ControllerMemory::parameter(int n) const {
    return (n >= 0 && n < ParameterCount) ? m_params[n] : QString();
}

int ControllerMemory::parameterInt(int n, int fallback) const {
    bool ok = false;
    const double v = parameter(n).trimmed().toDouble(&ok);
    return ok ? qRound(v) : fallback;
}

void ControllerMemory::setParameter(int n, const QString& value) {
    if (n >= 0 && n < ParameterCount)
        m_params[n] = value;
}

ControllerMemory::Point ControllerMemory::point(int n) const {
    return (n >= 0 && n < PointCount) ? m_points[n] : Point{};
}

void ControllerMemory::setPoint(int n, const Point& p) {
    if (n >= 0 && n < PointCount)
        m_points[n] = p;
}

void ControllerMemory::clearPoints() {
    m_points.fill(Point{});
}

ControllerMemory::Zone ControllerMemory::zone(int n) const {
    return (n >= 0 && n < ZoneCount) ? m_zones[n] : Zone{};
}

void ControllerMemory::setZone(int n, const Zone& z) {
    if (n >= 0 && n < ZoneCount)
        m_zones[n] = z;
}

void ControllerMemory::clearZones() {
    m_zones.fill(Zone{});
}

QByteArray ControllerMemory::pointLines() const {
    QByteArray out;
    for (int n = 0; n < PointCount; ++n) {
        const Point& p = m_points[n];
        if (!p.isSet())
            continue;
        QStringList fields{p.mode};
        const QChar m = p.mode.at(0).toUpper();
        if (m == u'A' || m == u'I')
            fields << p.position << p.speed;
        else if (m == u'O' || m == u'C')
            fields << p.speed << p.push;
        else
            fields << p.position << p.speed << p.push;
        out += QStringLiteral("P%1=%2\r\n").arg(n).arg(fields.join(u',')).toLatin1();
    }
    return out;
}

QByteArray ControllerMemory::parameterLines() const {
    QByteArray out;
    for (int n = 0; n < ParameterCount; ++n)
        out += QStringLiteral("PRM%1=%2\r\n").arg(n).arg(m_params[n]).toLatin1();
    return out;
}

QByteArray ControllerMemory::zoneLines() const {
    QByteArray out;
    for (int n = 0; n < ZoneCount; ++n) {
        const Zone& z = m_zones[n];
        if (!z.isSet())
            continue;
        QString line = QStringLiteral("Z%1=%2,%3").arg(n).arg(z.a, z.b);
        if (!z.extra.isEmpty())
            line += u',' + z.extra;
        out += line.toLatin1() + "\r\n";
    }
    return out;
}

QString ControllerMemory::storePointLine(const QString& line) {
    static const QRegularExpression re(QStringLiteral("^P(\\d{1,2})=(.*)$"));
    const auto m = re.match(line);
    if (!m.hasMatch())
        return QString::fromLatin1(ControllerDetail::CommandError);
    const int n = m.captured(1).toInt();
    const QStringList fields = m.captured(2).split(u',');
    const QString mode = fields.value(0).trimmed();
    if (n >= PointCount || mode.size() != 1)
        return QString::fromLatin1(ControllerDetail::RangeOver);

    Point p;
    p.mode = mode;
    const QChar upper = mode.at(0).toUpper();
    bool ok = true;
    if (upper == u'A' || upper == u'I') {
        ok = fields.size() == 3 && inRange(fields[1], -99.99, 99.99) && inRange(fields[2], 1, 120);
        p.position = fields.value(1).trimmed();
        p.speed = fields.value(2).trimmed();
    } else if (upper == u'O' || upper == u'C') {
        ok = fields.size() == 3 && inRange(fields[1], 1, 10) && inRange(fields[2], 1, 10);
        p.speed = fields.value(1).trimmed();
        p.push = fields.value(2).trimmed();
    } else if (upper == u'U') {
        ok = fields.size() == 4 && inRange(fields[1], -99.99, 99.99) &&
             inRange(fields[2], 1, 120) && inRange(fields[3], 1, 10);
        p.position = fields.value(1).trimmed();
        p.speed = fields.value(2).trimmed();
        p.push = fields.value(3).trimmed();
    } else {
        ok = false;
    }
    if (!ok)
        return QString::fromLatin1(ControllerDetail::RangeOver);
    m_points[n] = p;
    return {};
}

QString ControllerMemory::storeParameterLine(const QString& line, bool oldModel) {
    static const QRegularExpression re(QStringLiteral("^PRM\\s*(\\d{1,2})\\s*=\\s*(.*?)\\s*$"));
    const auto m = re.match(line);
    if (!m.hasMatch())
        return QString::fromLatin1(ControllerDetail::CommandError);
    const int n = m.captured(1).toInt();
    const QString value = m.captured(2);
    const bool fixed = n == 0 || n == 13;
    const bool missingOnOldModel = oldModel && (n == 31 || n == 32 || n == 33 || n == 36);
    if (n >= ParameterCount || fixed || missingOnOldModel || !isNumber(value))
        return QString::fromLatin1(ControllerDetail::RangeOver);
    for (const Range& r : kRanges) {
        if (r.number == n && !inRange(value, r.low, r.high))
            return QString::fromLatin1(ControllerDetail::RangeOver);
    }
    m_params[n] = value;
    return {};
}

QString ControllerMemory::storeZoneLine(const QString& line) {
    static const QRegularExpression re(QStringLiteral("^Z(\\d{1,2})=(.*)$"));
    const auto m = re.match(line);
    if (!m.hasMatch())
        return QString::fromLatin1(ControllerDetail::CommandError);
    const int n = m.captured(1).toInt();
    const QStringList fields = m.captured(2).split(u',');
    if (n >= ZoneCount || fields.size() < 2 || fields.size() > 3 ||
        !inRange(fields[0], -40.001, 40.001) || !inRange(fields[1], -40.001, 40.001))
        return QString::fromLatin1(ControllerDetail::RangeOver);
    m_zones[n] = Zone{fields[0].trimmed(), fields[1].trimmed(), fields.value(2).trimmed()};
    return {};
}
