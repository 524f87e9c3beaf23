#include "SaveNames.h"

#include "AnswerFile.h"
#include "ProgramFolders.h"

#include <QList>
#include <QStringView>
#include <array>

QString resultsFolder(const QString &programFolder)
{
    return programFolders(programFolder).results;
}

QString fileNameSafeCode(const QString &code)
{
    static const QString kNotInNames = QStringLiteral("/\\:*?\"<>|");
    QString safe = code;
    for (QChar &c : safe)
        if (c.unicode() < 0x20 || c.unicode() == 0x7F || kNotInNames.contains(c))
            c = QLatin1Char('_');
    return safe;
}

QString analysisFileNameIn(const QString &folder, const QString &code)
{
    return folder + QLatin1Char('/') + fileNameSafeCode(code) + QStringLiteral(".rtf");
}

QString pictureFileNameIn(const QString &folder, const QString &prefix, const QString &letter,
                          const QString &code)
{
    return folder + QLatin1Char('/') + prefix + QLatin1Char(' ') + letter + QLatin1Char(' ') +
           fileNameSafeCode(code) + QStringLiteral(".jpg");
}

QString reportFileNameIn(const QString &folder, const QString &code)
{
    return folder + QStringLiteral("/Report ") + fileNameSafeCode(code) + QStringLiteral(".pdf");
}

QString analysisFileName(const QString &programFolder, const QString &code)
{
    return analysisFileNameIn(resultsFolder(programFolder), code);
}

QString tableFileName(const QString &programFolder, const QString &code)
{
    return resultsFolder(programFolder) + QStringLiteral("/Table ") + fileNameSafeCode(code) +
           QStringLiteral(".csv");
}

QString workbookFileName(const QString &programFolder, const QString &code)
{
    return resultsFolder(programFolder) + QStringLiteral("/Table ") + fileNameSafeCode(code) +
           QStringLiteral(".xlsx");
}

QString pictureFileName(const QString &programFolder, const QString &prefix, const QString &letter,
                        const QString &code)
{
    return pictureFileNameIn(resultsFolder(programFolder), prefix, letter, code);
}

QString reportFileName(const QString &programFolder, const QString &code)
{
    return reportFileNameIn(resultsFolder(programFolder), code);
}

namespace {

QString withExtension(const QString &name, const QString &extension)
{
    if (name.endsWith(extension, Qt::CaseSensitive))
        return name;
    return name + extension;
}

} // namespace

QString JpegFileName(const QString &name)
{
    return withExtension(name, QStringLiteral(".jpg"));
}

QString PdfFileName(const QString &name)
{
    return withExtension(name, QStringLiteral(".pdf"));
}

namespace {

// Code page 1251's upper half, read through the same decoder the answer files use; a byte
// with no character decodes to the replacement character and is never written.
const std::array<char16_t, 128> &upperHalf1251()
{
    static const std::array<char16_t, 128> table = [] {
        std::array<char16_t, 128> t{};
        for (int b = 0x80; b <= 0xFF; ++b) {
            const char byte = static_cast<char>(b);
            const QString decoded = decode1251(QByteArrayView(&byte, 1));
            t[b - 0x80] = decoded.size() == 1 ? decoded[0].unicode() : u'\xFFFD';
        }
        return t;
    }();
    return table;
}

int byteOf1251(uint c)
{
    if (c < 0x80)
        return static_cast<int>(c);
    if (c == 0xFFFD || c > 0xFFFF)
        return -1;
    const auto &table = upperHalf1251();
    for (int i = 0; i < 128; ++i)
        if (table[i] == c)
            return 0x80 + i;
    return -1;
}

} // namespace

AnalysisFileBytes analysisFileBytes(const QString &text)
{
    AnalysisFileBytes out;
    out.bytes.reserve(text.size() + text.count(QLatin1Char('\n')));
    for (const uint c : QStringView(text).toUcs4()) {
        if (c == U'\n') {
            out.bytes.append("\r\n");
            continue;
        }
        const int byte = byteOf1251(c);
        if (byte >= 0) {
            out.bytes.append(static_cast<char>(byte));
            continue;
        }
        out.bytes.append('?');
        const char32_t code = c;
        const QString character = QString::fromUcs4(&code, 1);
        if (!out.unmappable.contains(character))
            out.unmappable += character;
    }
    return out;
}
