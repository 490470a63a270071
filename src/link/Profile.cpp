#include "link/Profile.h"

#include "fileio/BoundedFile.h"

#include <QDir>
#include <QFileInfo>
#include <QList>
#include <QSaveFile>
#include <QStringDecoder>

#include <optional>

namespace Profile {

namespace {
constexpr int BufferChars = 254; // a buffer of 255 characters holds 254 and the NUL
const QByteArray Bom("\xEF\xBB\xBF");

// One line of the file: its bytes as they stand (line end included) and its text.
struct Line {
    QByteArray raw;
    QString text; // without the line end and without a byte order mark
};

struct Document {
    QList<Line> lines;
    bool utf8 = true;
    QByteArray lineEnd = "\r\n"; // the file's own, for lines that are added
};

Document parse(const QByteArray& file) {
    Document doc;
    QStringDecoder check(QStringConverter::Utf8);
    (void)check.decode(file);
    doc.utf8 = !check.hasError();
    qsizetype pos = 0;
    bool firstEnd = true;
    while (pos < file.size()) {
        qsizetype lf = file.indexOf('\n', pos);
        const qsizetype next = lf < 0 ? file.size() : lf + 1;
        Line line;
        line.raw = file.mid(pos, next - pos);
        QByteArray content = line.raw;
        if (content.endsWith('\n')) {
            content.chop(1);
            if (content.endsWith('\r'))
                content.chop(1);
            if (firstEnd) {
                doc.lineEnd = line.raw.endsWith("\r\n") ? QByteArray("\r\n") : QByteArray("\n");
                firstEnd = false;
            }
        }
        if (pos == 0 && content.startsWith(Bom))
            content.remove(0, Bom.size());
        line.text = doc.utf8 ? QString::fromUtf8(content) : QString::fromLatin1(content);
        doc.lines << line;
        pos = next;
    }
    return doc;
}

QByteArray encode(const Document& doc, const QString& text) {
    return doc.utf8 ? text.toUtf8() : text.toLatin1();
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
    const qsizetype eq = t.indexOf(QLatin1Char('='));
    if (eq < 0 || t.left(eq).trimmed().compare(key, Qt::CaseInsensitive) != 0)
        return false;
    if (value)
        *value = t.mid(eq + 1).trimmed();
    return true;
}

// The file as it stands, or nullopt when it must be neither trusted nor replaced.
std::optional<QByteArray> load(const QString& iniPath) {
    const BoundedFile::Result r = BoundedFile::read(iniPath, MaxFileBytes);
    if (r.ok())
        return r.bytes;
    if (r.status == BoundedFile::Status::CannotOpen && !QFileInfo::exists(iniPath))
        return QByteArray();
    return std::nullopt;
}
} // namespace

QString readFrom(const QByteArray& file, const QString& key, const QString& section) {
    const Document doc = parse(file);
    bool inSection = false;
    for (const Line& line : doc.lines) {
        if (const QString s = sectionOf(line.text); !s.isNull()) {
            inSection = s.compare(section, Qt::CaseInsensitive) == 0;
            continue;
        }
        QString value;
        if (inSection && isKeyLine(line.text, key, &value)) {
            if (value.size() >= 2 &&
                (value.front() == QLatin1Char('"') || value.front() == QLatin1Char('\'')) &&
                value.back() == value.front())
                value = value.mid(1, value.size() - 2);
            return value.left(BufferChars);
        }
    }
    return QStringLiteral("ERROR");
}

QByteArray writeTo(const QByteArray& file, const QString& value, const QString& key,
                   const QString& section) {
    Document doc = parse(file);
    QList<Line>& lines = doc.lines;
    const QString entry = key + QLatin1Char('=') + value;

    qsizetype sectionLine = -1;
    qsizetype lastInSection = -1; // last non-blank line of the section
    bool done = false;
    for (qsizetype i = 0; i < lines.size() && !done; ++i) {
        if (const QString s = sectionOf(lines[i].text); !s.isNull()) {
            if (sectionLine >= 0)
                break; // the section ended without the key
            if (s.compare(section, Qt::CaseInsensitive) == 0)
                sectionLine = lastInSection = i;
            continue;
        }
        if (sectionLine < 0)
            continue;
        if (isKeyLine(lines[i].text, key, nullptr)) {
            // The line keeps its own line end. (It follows a section line, so it is never the
            // first line, which alone may carry a byte order mark.)
            const QByteArray& raw = lines[i].raw;
            const QByteArray end = raw.endsWith("\r\n") ? QByteArray("\r\n")
                                   : raw.endsWith('\n') ? QByteArray("\n")
                                                        : QByteArray();
            lines[i].raw = encode(doc, entry) + end;
            done = true;
        } else if (!lines[i].text.trimmed().isEmpty()) {
            lastInSection = i;
        }
    }
    if (!done) {
        QList<Line> added;
        if (sectionLine < 0)
            added << Line{encode(doc, QLatin1Char('[') + section + QLatin1Char(']')) + doc.lineEnd,
                          {}};
        added << Line{encode(doc, entry) + doc.lineEnd, {}};
        const qsizetype at = sectionLine >= 0 ? lastInSection + 1 : lines.size();
        // A line that had no line end (the last one) needs one before another follows it.
        if (at > 0 && !lines[at - 1].raw.endsWith('\n'))
            lines[at - 1].raw += doc.lineEnd;
        for (qsizetype k = 0; k < added.size(); ++k)
            lines.insert(at + k, added[k]);
    }
    QByteArray out;
    for (const Line& line : lines)
        out += line.raw;
    return out;
}

QString ReadSetting(const QString& key, const QString& section, const QString& iniPath) {
    const std::optional<QByteArray> file = load(iniPath);
    return file ? readFrom(*file, key, section) : QStringLiteral("ERROR");
}

bool WriteSetting(const QString& value, const QString& key, const QString& section,
                  const QString& iniPath) {
    const std::optional<QByteArray> file = load(iniPath);
    if (!file)
        return false; // a file that cannot be read whole is never replaced
    // The first write into the user's configuration folder finds no folder of the program yet.
    if (!QDir().mkpath(QFileInfo(iniPath).absolutePath()))
        return false;
    QSaveFile out(iniPath);
    if (!out.open(QIODevice::WriteOnly))
        return false;
    out.write(writeTo(*file, value, key, section));
    return out.commit();
}

} // namespace Profile
