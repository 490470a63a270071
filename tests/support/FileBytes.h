#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

// Whole files for tests: the bytes of a file (empty when it cannot be read), and writing some.
inline QByteArray fileBytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

inline bool writeFileBytes(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

// The first `lines` lines of a text (each with its CR LF).
inline QByteArray firstLines(const QByteArray& text, int lines) {
    qsizetype pos = 0;
    for (int i = 0; i < lines; ++i)
        pos = text.indexOf("\r\n", pos) + 2;
    return text.left(pos);
}
