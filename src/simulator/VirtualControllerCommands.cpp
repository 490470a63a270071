// The controller's command handling (see VirtualController.h for the replies); its motions are
// in VirtualControllerMotions.cpp.
#include "simulator/VirtualController.h"

#include "link/Command.h"
#include "simulator/ControllerText.h"

#include <QTimer>

#include <limits>

using namespace ControllerText;

namespace {

// Command word without its blanks -> command code, from the shared command table.
const QHash<QString, int>& commandCodes() {
    static const QHash<QString, int> codes = [] {
        QHash<QString, int> h;
        for (const auto& [first, last] : {std::pair{0, 13}, {100, 108}, {200, 212}}) {
            for (int code = first; code <= last; ++code) {
                const QString word = Command::word(code).trimmed();
                if (!word.isEmpty())
                    h.insert(word, code);
            }
        }
        return h;
    }();
    return codes;
}

} // namespace

void VirtualController::handleLine(const QString& line) {
    if (line.startsWith(u'@')) {
        // The longest command word the line begins with ("@READ PNT" before "@READ"); the raw
        // start-sequence lines have no blank after the word. An unknown word runs to its blank.
        QString key;
        for (auto it = commandCodes().cbegin(); it != commandCodes().cend(); ++it) {
            const QString& w = it.key();
            if (w.size() <= key.size() || !line.startsWith(w))
                continue;
            if (line.size() == w.size() || line.at(w.size()) == u' ' || line.at(w.size()) == u',')
                key = w;
        }
        if (key.isEmpty())
            key = line.section(u' ', 0, 0);
        QString arg = line.mid(key.size());
        if (arg.endsWith(u','))
            arg.chop(1);
        arg = arg.trimmed();
        if (silencedOrRefused(key))
            return;
        const int code = commandCodes().value(key, -1);
        if (code < 0) {
            replyNg(detail(ControllerDetail::CommandError));
            return;
        }
        m_blockCode = 0; // a command closes an open write block
        handleCommand(code, arg);
        return;
    }
    handleDataLine(line);
}

void VirtualController::handleDataLine(const QString& line) {
    int code = 0;
    QString key;
    if (line.startsWith(QLatin1String("PRM"))) {
        code = Command::ParameterData;
        key = QStringLiteral("PRM");
    } else if (line.startsWith(u'P')) {
        code = Command::PointData;
        key = QStringLiteral("P");
    } else if (line.startsWith(u'Z')) {
        code = Command::ZoneData;
        key = QStringLiteral("Z");
    }
    if (m_blockCode != 0 && code == m_blockCode)
        ++m_blockLines;
    if (m_silentAll || m_silentFor.contains(key))
        return;
    QString refusal;
    if (code == 0 || code != m_blockCode) {
        refusal = detail(ControllerDetail::CommandError);
    } else if (m_ngFor.contains(key)) {
        refusal = m_ngFor.value(key);
    } else if (m_ngDataLine > 0 && m_blockLines == m_ngDataLine) {
        refusal = m_ngDataLineDetail;
    } else if (code == Command::PointData) {
        refusal = m_memory.storePointLine(line);
    } else if (code == Command::ParameterData) {
        refusal = m_memory.storeParameterLine(line, m_oldModel);
    } else {
        refusal = m_memory.storeZoneLine(line);
    }
    if (refusal.isEmpty())
        return; // an accepted data line is not answered
    if (m_blockCode != 0 && m_blockError.isEmpty())
        m_blockError = refusal;
    replyNg(refusal);
}

void VirtualController::handleEndOfData() {
    if (m_blockCode == 0) {
        replyNg(detail(ControllerDetail::CommandError));
        return;
    }
    m_blockCode = 0;
    if (m_blockError.isEmpty())
        replyOk();
    else
        replyNg(m_blockError);
}

void VirtualController::handleStop() {
    if (m_streamTimer->isActive()) {
        m_streamTimer->stop();
        return;
    }
    if (!m_motion.active) {
        replyOk();
        return;
    }
    if (m_stopRunsToEnd) {
        m_motionTimer->stop();
        arriveMotion();
        return;
    }
    m_position = position();
    m_motion.active = false;
    m_motion.onArrival = nullptr;
    m_motionTimer->stop();
    reply(QByteArray("STOP\r\n") + ControllerDetail::StopCommand + "\r\n");
}

void VirtualController::handleCommand(int code, const QString& arg) {
    bool ok = false;
    const int number = arg.toInt(&ok);
    switch (code) {
    case Command::ORG:
        if (checkMotionAllowed(false)) {
            m_servo = true;
            startMotion(0, m_motionMs, [this] {
                m_originDone = true;
                replyOk();
            });
        }
        return;
    case Command::MOVD: {
        double mm = 0;
        if (!toNumber(arg, &mm) || qAbs(mm) > 99.99)
            replyNg(detail(ControllerDetail::RangeOver));
        else if (checkMotionAllowed(true))
            startMotion(qRound(mm * 100), m_motionMs, [this] { replyOk(); });
        return;
    }
    case Command::MOVP:
        moveToPoint(arg);
        return;
    case Command::QueryP:
        queryPoint(arg);
        return;
    case Command::XPlus:
    case Command::XMinus: {
        if (!checkMotionAllowed(true))
            return;
        const int step = m_memory.parameterInt(25, 10);
        const int target = m_position + (code == Command::XPlus ? step : -step);
        if (target > m_memory.parameterInt(1) || target < m_memory.parameterInt(2)) {
            replyNg(detail(ControllerDetail::RangeOver));
            return;
        }
        startMotion(target, m_motionMs, [this] { replyOk(); });
        return;
    }
    case Command::XINC:
    case Command::XDEC:
        startJog(code == Command::XINC);
        return;
    case Command::SRVO:
    case Command::PRESS:
        if (!ok || (number != 0 && number != 1)) {
            replyNg(detail(ControllerDetail::RangeOver));
            return;
        }
        (code == Command::SRVO ? m_servo : m_pushing) = number == 1;
        replyOk();
        return;
    case Command::ALR:
        m_alarm = false;
        replyOk();
        return;
    case Command::BRK:
    case Command::CCLR:
        replyOk();
        return;
    case Command::GMIN:
    case Command::GMAX:
        measure(code == Command::GMAX, arg);
        return;
    case Command::QueryVER:
        replyValue(m_version);
        return;
    case Command::QueryPOS:
        replyValue(positionText());
        return;
    case Command::QueryPNO:
        replyValue(QString::number(m_lastPoint));
        return;
    case Command::QueryPRM:
        if (ok && number >= 0 && number < ControllerMemory::ParameterCount)
            replyValue(m_memory.parameter(number).rightJustified(m_valueWidth, QLatin1Char(' ')));
        else
            replyNg(detail(ControllerDetail::RangeOver));
        return;
    case Command::QueryORG:
        replyValue(m_originDone ? QStringLiteral("1") : QStringLiteral("0"));
        return;
    case Command::QuerySRVO:
        replyValue(m_servo ? QStringLiteral("1") : QStringLiteral("0"));
        return;
    case Command::QueryBRK:
        replyValue(QStringLiteral("0"));
        return;
    case Command::QueryPRS:
        if (m_pressTransition != 0)
            replyValue(QString::number(m_pressTransition));
        else
            replyValue(m_pushing ? QStringLiteral("2") : QStringLiteral("0"));
        return;
    case Command::ReadPNT:
        reply(m_memory.pointLines() + "OK\r\n");
        return;
    case Command::ReadPRM:
        reply(m_memory.parameterLines() + "OK\r\n");
        return;
    case Command::ReadZON:
        reply(m_memory.zoneLines() + "OK\r\n");
        return;
    case Command::ReadERR: {
        QByteArray out;
        for (const QString& e : m_errors)
            out += e.toLatin1() + "\r\n";
        reply(out + "OK\r\n");
        return;
    }
    case Command::ReadDIO:
        reply(dioReply());
        return;
    case Command::WritePNT:
    case Command::WritePRM:
    case Command::WriteZON:
        m_blockCode = code == Command::WritePNT   ? Command::PointData
                      : code == Command::WritePRM ? Command::ParameterData
                                                  : Command::ZoneData;
        m_blockLines = 0;
        m_blockError.clear();
        reply("READY\r\n");
        return;
    case Command::PDEL:
        if (!ok || number < 0 || number >= ControllerMemory::PointCount) {
            replyNg(detail(ControllerDetail::RangeOver));
            return;
        }
        m_memory.setPoint(number, {});
        replyOk();
        return;
    case Command::InitPNT:
        m_memory.clearPoints();
        replyOk();
        return;
    case Command::InitZON:
        m_memory.clearZones();
        replyOk();
        return;
    case Command::InitPRM:
        if (!ok || number < 30 || number > 33) {
            replyNg(detail(ControllerDetail::RangeOver));
            return;
        }
        m_memory.loadDefaults(m_kind, number);
        replyOk();
        return;
    case Command::InitORG:
        m_originDone = false;
        replyOk();
        return;
    default:
        replyNg(detail(ControllerDetail::CommandError));
        return;
    }
}

void VirtualController::replyOk() {
    reply("OK\r\n");
}

void VirtualController::replyValue(const QString& value) {
    reply(value.toLatin1() + "\r\nOK\r\n");
}

void VirtualController::replyNg(const QString& detailLine) {
    reply("NG\r\n" + detailLine.toLatin1() + "\r\n");
}

QByteArray VirtualController::dioReply() const {
    const auto bit = [](bool on) { return on ? '1' : '0'; };
    QByteArray out("DO");
    if (!m_oldModel)
        out += bit(m_alarm);
    out += bit(m_servo);
    if (m_kind == Kind::Pulse) {
        out += bit(inZone());
        out += bit(!m_motion.active); // in position
        out += bit(m_servo);          // enable
    } else {
        out += '0'; // hold
        out += bit(!m_motion.active);
        out += bit(m_motion.active);
    }
    out += bit(m_servo && !m_alarm);
    out += "\r\nDI" + m_inputs.left(m_oldModel ? 9 : 10).toLatin1() + "\r\nOK\r\n";
    return out;
}

bool VirtualController::inZone() const {
    const int p = position();
    for (int n = 0; n < ControllerMemory::ZoneCount; ++n) {
        const ControllerMemory::Zone z = m_memory.zone(n);
        double a = 0;
        double b = 0;
        if (!z.isSet() || !toNumber(z.a, &a) || !toNumber(z.b, &b))
            continue;
        if (p >= qRound(qMin(a, b) * 100) && p <= qRound(qMax(a, b) * 100))
            return true;
    }
    return false;
}

QString VirtualController::positionText() const {
    const int p = position();
    return (p < 0 ? QStringLiteral("?") : QStringLiteral(" ")) +
           QString::number(qAbs(p) / 100.0, 'f', 2);
}

int VirtualController::position() const {
    if (!m_motion.active)
        return m_position;
    if (m_motion.durationNs <= 0)
        return m_motion.to;
    const double done =
        qMin(1.0, double(m_clock.nsecsElapsed() - m_motion.startNs) / double(m_motion.durationNs));
    return m_motion.from + qRound((m_motion.to - m_motion.from) * done);
}
