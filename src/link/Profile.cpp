#include "link/Profile.h"

#include "fileio/AtomicFile.h"
#include "fileio/BoundedFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QList>
#include <QStringDecoder>

#include <filesystem>
#include <optional>
#include <system_error>

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

// Text has no control characters but tab, the line ends, vertical tab, form feed and the old
// end-of-file mark (Ctrl+Z).
bool isBinary(const QByteArray& file) {
    for (const char c : file) {
        const auto b = static_cast<unsigned char>(c);
        if (b < 0x20 && b != '\t' && b != '\n' && b != '\v' && b != '\f' && b != '\r' && b != 0x1A)
            return true;
    }
    return false;
}

// The file as it stands, or nothing when it must be neither trusted nor replaced (with why).
struct Loaded {
    std::optional<QByteArray> bytes;
    QString problem;
};

Loaded load(const QString& iniPath) {
    const BoundedFile::Result r = BoundedFile::read(iniPath, MaxFileBytes);
    if (r.ok()) {
        if (isBinary(r.bytes))
            return {std::nullopt, QStringLiteral("it holds binary data, not text")};
        return {r.bytes, {}};
    }
    if (r.status == BoundedFile::Status::CannotOpen && !QFileInfo::exists(iniPath))
        return {QByteArray(), {}};
    if (r.status == BoundedFile::Status::TooLarge)
        return {std::nullopt, QStringLiteral("it is larger than %1 KiB, far larger than a "
                                             "QRX5.ini")
                                  .arg(MaxFileBytes / 1024)};
    return {std::nullopt, r.reason};
}

// Makes the folder of the file with its parents; false with why when it cannot.
bool makeFolder(const QString& folder, QString* why) {
    if (QFileInfo(folder).isDir())
        return true;
    // A file standing where a folder of the path should be is said by its name.
    for (QString up = folder; !up.isEmpty();) {
        const QFileInfo info(up);
        if (info.exists()) {
            if (!info.isDir()) {
                if (why)
                    *why = QStringLiteral("%1 is a file, not a folder")
                               .arg(QDir::toNativeSeparators(up));
                return false;
            }
            break;
        }
        const QString parent = info.absolutePath();
        if (parent == up)
            break;
        up = parent;
    }
    std::error_code error;
    std::filesystem::create_directories(QFile::encodeName(folder).toStdString(), error);
    if (!error)
        return true;
    if (why)
        *why = QStringLiteral("the folder %1 cannot be made: %2")
                   .arg(QDir::toNativeSeparators(folder), QString::fromLocal8Bit(error.message()));
    return false;
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
    const Loaded file = load(iniPath);
    return file.bytes ? readFrom(*file.bytes, key, section) : QStringLiteral("ERROR");
}

bool WriteSetting(const QString& value, const QString& key, const QString& section,
                  const QString& iniPath, QString* why) {
    const Loaded file = load(iniPath);
    if (!file.bytes) {
        // A file that cannot be read whole is never replaced.
        if (why)
            *why = file.problem;
        return false;
    }
    // The first write into the user's configuration folder finds no folder of the program yet.
    if (!makeFolder(QFileInfo(iniPath).absolutePath(), why))
        return false;
    // A QRX5.ini beside the program may be a link to the file kept elsewhere: it stays one.
    const AtomicFile::Result saved =
        AtomicFile::writeWhole(iniPath, writeTo(*file.bytes, value, key, section));
    if (!saved && why)
        *why = saved.reason;
    return saved.ok;
}

QString problem(const QString& iniPath) {
    return load(iniPath).problem;
}

} // namespace Profile
