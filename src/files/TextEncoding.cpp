#include "files/TextEncoding.h"

#include <QStringDecoder>
#include <QStringEncoder>

namespace TextEncoding {

namespace {

const char* const JapaneseCodec = "windows-31j";
const char* const WesternCodec = "windows-1252";

const char* codecOf(Encoding encoding) {
    switch (encoding) {
    case Encoding::Japanese:
        return JapaneseCodec;
    case Encoding::Western:
        return WesternCodec;
    default:
        return nullptr;
    }
}

// The bytes in a code page, when they are valid there and no byte is lost on the way: a
// lead byte without its second byte at the end reads as nothing.
std::optional<QString> decodeIn(const char* codec, const QByteArray& bytes) {
    QStringDecoder decoder(codec);
    if (!decoder.isValid())
        return std::nullopt;
    QString text = decoder.decode(bytes);
    if (decoder.hasError())
        return std::nullopt;
    QStringEncoder encoder(codec);
    const QByteArray again = encoder.encode(text);
    if (again != bytes || encoder.hasError())
        return std::nullopt;
    return text;
}

// What stands beside a character, as the scores look at it. The start and the end of the
// text count as Other, like the commas, quotes and line ends around a field.
enum class Near { Letter, Digit, Blank, Other, Foreign };

Near nearOf(const QString& text, qsizetype pos) {
    if (pos < 0 || pos >= text.size())
        return Near::Other;
    const char16_t c = text.at(pos).unicode();
    if (c >= 0x80)
        return Near::Foreign;
    if ((c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z'))
        return Near::Letter;
    if (c >= u'0' && c <= u'9')
        return Near::Digit;
    return c == u' ' ? Near::Blank : Near::Other;
}

bool in(char16_t c, char16_t low, char16_t high) {
    return c >= low && c <= high;
}

bool isKana(char16_t c) {
    return in(c, 0x3041, 0x30FF);
}
bool isKanji(char16_t c) {
    return in(c, 0x4E00, 0x9FFF) || in(c, 0x3400, 0x4DBF) || in(c, 0xF900, 0xFAFF);
}
bool isHalfKana(char16_t c) {
    return in(c, 0xFF61, 0xFF9F);
}
// The symbols of the Japanese code page beyond ASCII: CJK punctuation, full-width forms,
// circled and Roman numerals, enclosed and squared signs, Greek, Cyrillic, arrows, box lines.
bool isWideSymbol(char16_t c) {
    return in(c, 0x3000, 0x303F) || in(c, 0xFF01, 0xFF60) || in(c, 0xFFE0, 0xFFE6) ||
           in(c, 0x2460, 0x24FF) || in(c, 0x2160, 0x217F) || in(c, 0x3200, 0x33FF) ||
           in(c, 0x0391, 0x03C9) || in(c, 0x0401, 0x0451) || in(c, 0x2190, 0x22FF) ||
           in(c, 0x2500, 0x25FF);
}
bool isJapanese(char16_t c) {
    return isKana(c) || isKanji(c) || isHalfKana(c) || isWideSymbol(c);
}

// How plausible character pos of a text read in the Japanese code page is as Japanese.
int japaneseScore(const QString& text, qsizetype pos) {
    const char16_t c = text.at(pos).unicode();
    const auto japaneseAt = [&text](qsizetype at) {
        return at >= 0 && at < text.size() && isJapanese(text.at(at).unicode());
    };
    const bool japaneseNear = japaneseAt(pos - 1) || japaneseAt(pos + 1);
    if (isKana(c))
        return 3;
    if (isKanji(c)) {
        if (japaneseNear)
            return 2;
        // Alone between two ASCII letters it is rather an accented letter read wrongly.
        const bool inWord =
            nearOf(text, pos - 1) == Near::Letter && nearOf(text, pos + 1) == Near::Letter;
        return inWord ? 0 : 1;
    }
    if (isHalfKana(c)) {
        if (japaneseNear)
            return 2;
        // Marks and punctuation never stand alone: "20ｰ" is "20°" read wrongly.
        const bool mark = c == 0xFF70 || c == 0xFF9E || c == 0xFF9F || in(c, 0xFF61, 0xFF65);
        return mark ? -1 : 0;
    }
    if (isWideSymbol(c))
        return japaneseNear ? 2 : 1;
    if (in(c, 0xE000, 0xF8FF))
        return -2; // the user-defined area
    return 0;
}

bool isWesternLetter(char16_t c) {
    return in(c, 0xC0, 0xFF) && c != 0xD7 && c != 0xF7;
}
// Letters of few languages whose bytes lead many Japanese characters.
bool isRareLetter(char16_t c) {
    return c == 0x160 || c == 0x161 || c == 0x152 || c == 0x153 || c == 0x17D || c == 0x17E ||
           c == 0x178 || c == 0x192;
}
// Symbols that notes put next to numbers and words: degree, plus-minus, powers, micro,
// fractions, times, divide, currencies, section, copyright, guillemets, ordinals, middle dot.
bool isCommonSymbol(char16_t c) {
    return QStringView(u"°±²³µ¼½¾×÷€£¥¢§©®«»¿¡ºª·").contains(QChar(c));
}

// How plausible character pos of a text read in Windows-1252 is as Western text.
int westernScore(const QString& text, qsizetype pos) {
    const char16_t c = text.at(pos).unicode();
    const Near before = nearOf(text, pos - 1);
    const Near after = nearOf(text, pos + 1);
    const bool letterNear = before == Near::Letter || after == Near::Letter;
    const bool alnumNear = letterNear || before == Near::Digit || after == Near::Digit;
    const bool amidForeign = before == Near::Foreign && after == Near::Foreign;
    const auto alnum = [](Near n) { return n == Near::Letter || n == Near::Digit; };

    if (in(c, 0x80, 0x9F))
        return -3; // a control character: no text holds one
    if (isWesternLetter(c))
        return letterNear ? 2 : amidForeign ? -1 : 1;
    if (isRareLetter(c))
        return letterNear ? 1 : -1;
    if (isCommonSymbol(c))
        return alnumNear ? 1 : amidForeign ? -1 : 0;
    switch (c) {
    case 0x2019: // right quote and apostrophe: "don’t", "‘Top’"
        if (before == Near::Letter && after == Near::Letter)
            return 2;
        return alnum(before) ? 1 : amidForeign ? -1 : 0;
    case 0x201D: // right double quote
        return alnum(before) ? 1 : amidForeign ? -1 : 0;
    case 0x2018: // left quotes: before a word
    case 0x201C:
        return alnum(after) && !alnum(before) ? 1 : amidForeign ? -1 : 0;
    case 0x2013: // dashes, ellipsis, bullet, trade mark
    case 0x2014:
    case 0x2026:
    case 0x2022:
    case 0x2122:
        return (alnumNear || before == Near::Blank || after == Near::Blank) ? 1
               : amidForeign                                                ? -1
                                                                            : 0;
    default:
        return amidForeign ? -1 : 0;
    }
}

template <typename Score> int scoreOf(const QString& text, Score score) {
    int total = 0;
    for (qsizetype pos = 0; pos < text.size(); ++pos)
        if (text.at(pos).unicode() >= 0x80)
            total += score(text, pos);
    return total;
}

} // namespace

Decoded decode(const QByteArray& bytes,
               const std::function<QString(const QString& reading)>& counted) {
    // The bytes that decide: the kept part only, cut out of a Latin-1 reading. Commas, quotes
    // and line ends are never the second byte of a character in either code page or in UTF-8,
    // so every reading cuts the file at the same bytes. Bytes the program never writes back
    // (stray fields, damaged lines) then cannot sway the choice, and a file written back reads
    // the same way again.
    const QByteArray judged = counted ? counted(QString::fromLatin1(bytes)).toLatin1() : bytes;
    const auto whole = [&bytes](const char* codec) -> QString {
        QStringDecoder decoder(codec);
        return decoder.decode(bytes);
    };
    QStringDecoder utf8(QStringConverter::Utf8);
    const QString text = utf8.decode(judged);
    if (!utf8.hasError()) {
        const Encoding encoding =
            bytes.startsWith("\xEF\xBB\xBF") ? Encoding::Utf8WithBom : Encoding::Utf8;
        QStringDecoder all(QStringConverter::Utf8);
        return {counted ? QString(all.decode(bytes)) : text, encoding};
    }
    const std::optional<QString> japanese = decodeIn(JapaneseCodec, judged);
    const std::optional<QString> western = decodeIn(WesternCodec, judged);
    Encoding chosen = Encoding::Latin1;
    if (japanese && western)
        chosen = scoreOf(*western, &westernScore) > scoreOf(*japanese, &japaneseScore)
                     ? Encoding::Western
                     : Encoding::Japanese;
    else if (japanese)
        chosen = Encoding::Japanese;
    else if (western)
        chosen = Encoding::Western;
    if (chosen == Encoding::Latin1)
        return {QString::fromLatin1(bytes), Encoding::Latin1};
    if (const auto exact = decodeIn(codecOf(chosen), bytes))
        return {*exact, chosen};
    return {whole(codecOf(chosen)), chosen};
}

std::optional<QByteArray> encodeExactly(const QString& text, Encoding encoding) {
    switch (encoding) {
    case Encoding::Utf8:
        return text.toUtf8();
    case Encoding::Utf8WithBom:
        return "\xEF\xBB\xBF" + text.toUtf8();
    case Encoding::Latin1:
        if (firstMisfit(text, encoding) >= 0)
            return std::nullopt;
        return text.toLatin1();
    case Encoding::Japanese:
    case Encoding::Western:
        break;
    }
    QStringEncoder encoder(codecOf(encoding));
    if (!encoder.isValid())
        return std::nullopt;
    QByteArray bytes = encoder.encode(text);
    if (encoder.hasError())
        return std::nullopt;
    return bytes;
}

QByteArray encode(const QString& text, Encoding encoding) {
    return encodeExactly(text, encoding).value_or(text.toUtf8());
}

qsizetype firstMisfit(const QString& text, Encoding encoding) {
    if (encoding == Encoding::Utf8 || encoding == Encoding::Utf8WithBom)
        return -1;
    const char* codec = codecOf(encoding);
    for (qsizetype pos = 0; pos < text.size(); ++pos) {
        const QChar c = text.at(pos);
        if (c.unicode() < 0x80)
            continue;
        const qsizetype length = c.isHighSurrogate() && pos + 1 < text.size() ? 2 : 1;
        bool fits = false;
        if (!codec) {
            fits = c.unicode() < 0x100;
        } else {
            QStringEncoder encoder(codec);
            const QByteArray bytes = encoder.encode(QStringView(text).mid(pos, length));
            fits = encoder.isValid() && !encoder.hasError();
        }
        if (!fits)
            return pos;
        pos += length - 1;
    }
    return -1;
}

QString name(Encoding encoding) {
    switch (encoding) {
    case Encoding::Utf8:
    case Encoding::Utf8WithBom:
        return QStringLiteral("UTF-8");
    case Encoding::Japanese:
        return QStringLiteral("Windows Japanese (Shift-JIS)");
    case Encoding::Western:
        return QStringLiteral("Windows-1252");
    case Encoding::Latin1:
        return QStringLiteral("Latin-1");
    }
    return {};
}

} // namespace TextEncoding
