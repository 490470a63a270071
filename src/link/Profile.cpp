#include "link/Profile.h"

#include <QFile>
#include <QSaveFile>
#include <QStringList>

namespace Profile {

namespace {
constexpr int BufferChars = 254; // a buffer of 255 characters holds 254 and the NUL

QStringList readLines(const QString& iniPath, bool* exists) {
    QFile file(iniPath);
    *exists = file.open(QIODevice::ReadOnly);
    if (!*exists)
        return {};
    QString text = QString::fromLatin1(file.readAll());
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    QStringList lines = text.split(QLatin1Char('\n'));
    if (!lines.isEmpty() && lines.constLast().isEmpty())
        lines.removeLast();
    return lines;
}

// The section name of a "[name]" line, or a null text for other lines.
QString sectionOf(const QString& line) {
    const QString t = line.trimmed();
    if (t.startsWith(QLatin1Char('[')) && t.contains(QLatin1Char(']')))
        return t.mid(1, t.indexOf(QLatin1Char(']')) - 1).trimmed();
    return {};
}

bool isKeyLine(const QString& line, const QString& key, QString* value) {
    const QString t = line.trimmed();
    if (t.startsWith(QLatin1Char(';')))
        return false;
    const int eq = t.indexOf(QLatin1Char('='));
    if (eq < 0 || t.left(eq).trimmed().compare(key, Qt::CaseInsensitive) != 0)
        return false;
    if (value)
        *value = t.mid(eq + 1).trimmed();
    return true;
}
} // namespace

QString ReadSetting(const QString& key, const QString& section, const QString& iniPath) {
    bool exists = false;
    const QStringList lines = readLines(iniPath, &exists);
    bool inSection = false;
    for (const QString& line : lines) {
        if (const QString s = sectionOf(line); !s.isNull()) {
            inSection = s.compare(section, Qt::CaseInsensitive) == 0;
            continue;
        }
        QString value;
        if (inSection && isKeyLine(line, key, &value)) {
            if (value.size() >= 2 &&
                (value.front() == QLatin1Char('"') || value.front() == QLatin1Char('\'')) &&
                value.back() == value.front())
                value = value.mid(1, value.size() - 2);
            return value.left(BufferChars);
        }
    }
    return QStringLiteral("ERROR");
}

bool WriteSetting(const QString& value, const QString& key, const QString& section,
                  const QString& iniPath) {
    bool exists = false;
    QStringList lines = readLines(iniPath, &exists);
    const QString entry = key + QLatin1Char('=') + value;

    int sectionLine = -1;
    int lastInSection = -1; // last non-blank line of the section
    bool done = false;
    for (int i = 0; i < lines.size() && !done; ++i) {
        if (const QString s = sectionOf(lines[i]); !s.isNull()) {
            if (sectionLine >= 0)
                break; // the section ended without the key
            if (s.compare(section, Qt::CaseInsensitive) == 0)
                sectionLine = lastInSection = i;
            continue;
        }
        if (sectionLine < 0)
            continue;
        if (isKeyLine(lines[i], key, nullptr)) {
            lines[i] = entry;
            done = true;
        } else if (!lines[i].trimmed().isEmpty()) {
            lastInSection = i;
        }
    }
    if (!done) {
        if (sectionLine >= 0) {
            lines.insert(lastInSection + 1, entry);
        } else {
            lines << QLatin1Char('[') + section + QLatin1Char(']') << entry;
        }
    }

    QSaveFile file(iniPath);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    file.write(lines.join(QLatin1String("\r\n")).toLatin1() + "\r\n");
    return file.commit();
}

} // namespace Profile
