#include "Cp1251.h"

#include <QStringDecoder>
#include <array>

namespace {

// Code page 1251 gives every byte one character, so a table filled once by the system's
// converter decodes exactly as it does, without the converter's cost for every call (most of a
// header line's). A byte the converter does not turn into one character is left to it; its
// entry holds a noncharacter the converter never gives.
constexpr char16_t kLeftToConverter = u'\uFFFF';

QStringDecoder &decoder1251()
{
    thread_local QStringDecoder decoder("windows-1251", QStringConverter::Flag::Stateless);
    // A Qt without this converter would empty every Cyrillic text without a word.
    if (!decoder.isValid())
        qFatal("This Qt build cannot decode code page 1251 (windows-1251)");
    return decoder;
}

const std::array<char16_t, 256> &table1251()
{
    static const std::array<char16_t, 256> table = [] {
        std::array<char16_t, 256> t{};
        QStringDecoder &decoder = decoder1251();
        for (int b = 0; b < 256; ++b) {
            const char byte = static_cast<char>(b);
            const QString one = decoder.decode(QByteArrayView(&byte, 1));
            t[std::size_t(b)] = one.size() == 1 ? one[0].unicode() : kLeftToConverter;
        }
        return t;
    }();
    return table;
}

} // namespace

void append1251(QString &text, QByteArrayView bytes)
{
    const std::array<char16_t, 256> &table = table1251();
    const qsizetype at = text.size();
    text.resize(at + bytes.size());
    char16_t *out = reinterpret_cast<char16_t *>(text.data()) + at;
    for (const char c : bytes) {
        const char16_t decoded = table[static_cast<unsigned char>(c)];
        if (decoded == kLeftToConverter) {
            text.truncate(at);
            text += decoder1251().decode(bytes);
            return;
        }
        *out++ = decoded;
    }
}

QString decode1251(QByteArrayView bytes)
{
    QString text;
    if (!bytes.isEmpty())
        append1251(text, bytes);
    return text;
}
