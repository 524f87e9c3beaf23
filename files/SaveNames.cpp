#include "SaveNames.h"

#include "AnswerFile.h"
#include "ProgramFolders.h"
#include "SafeFile.h"

#include <QFile>
#include <QList>
#include <QStringView>
#include <algorithm>
#include <array>

QString resultsFolder(const QString &programFolder)
{
    return programFolders(programFolder).results;
}

namespace {

// Characters that are there but not seen: a name holding them would look like another name.
bool isInvisibleFormat(char32_t c)
{
    return QChar::category(c) == QChar::Other_Format;
}

bool isControlOrSeparator(char32_t c)
{
    return c < 0x20 || (c >= 0x7F && c < 0xA0) || c == 0x2028 || c == 0x2029;
}

// A name proposed in the results folder, around the code cut to what that folder's file system
// takes. The folder is looked up once: each look-up asks the file system where results go.
template <typename MakeName>
QString proposedInResults(const QString &programFolder, const QString &code, MakeName makeName)
{
    const QString folder = resultsFolder(programFolder);
    const QString stem = fileNameStem(code, fileNameLimit(QFile::encodeName(folder)));
    return folder + QLatin1Char('/') + makeName(stem);
}

// "Image A " and ".jpg" around the code: the most any name adds to it.
constexpr int kLongestNameAround = 12;

} // namespace

QString fileNameSafeCode(const QString &code)
{
    static const QString kNotInNames = QStringLiteral("/\\:*?\"<>|");
    QString safe;
    safe.reserve(code.size());
    for (qsizetype i = 0; i < code.size(); ++i) {
        const QChar c = code[i];
        if (c.isHighSurrogate() && i + 1 < code.size() && code[i + 1].isLowSurrogate()) {
            if (!isInvisibleFormat(QChar::surrogateToUcs4(c, code[i + 1])))
                safe.append(code.sliced(i, 2));
            ++i;
        } else if (isInvisibleFormat(c.unicode())) {
            continue;
        } else if (isControlOrSeparator(c.unicode()) || c.isSurrogate() ||
                   kNotInNames.contains(c)) {
            // A lone surrogate has no UTF-8 and would become another character on disk.
            safe += QLatin1Char('_');
        } else {
            safe += c;
        }
    }
    return safe;
}

QString cutToBytes(const QString &text, int bytes)
{
    int used = 0;
    qsizetype end = 0;
    while (end < text.size()) {
        const bool pair =
            text[end].isHighSurrogate() && end + 1 < text.size() && text[end + 1].isLowSurrogate();
        const char16_t u = text[end].unicode();
        const int size = pair ? 4 : u < 0x80 ? 1 : u < 0x800 ? 2 : 3;
        if (used + size > bytes)
            break;
        used += size;
        end += pair ? 2 : 1;
    }
    return end == text.size() ? text : text.left(end);
}

int stemLimit(int nameLimit)
{
    return std::max(0, nameLimit - kLongestNameAround);
}

QString fileNameStem(const QString &code, int nameLimit)
{
    return cutToBytes(fileNameSafeCode(code), stemLimit(nameLimit));
}

QString analysisName(const QString &stem)
{
    return stem + QStringLiteral(".rtf");
}

QString pictureName(const QString &prefix, const QString &letter, const QString &stem)
{
    return prefix + QLatin1Char(' ') + letter + QLatin1Char(' ') + stem + QStringLiteral(".jpg");
}

QString breakdownFileName(const QString &results, const QString &folderName, int line,
                          const QString &extension)
{
    // " (строка 4).csv" and "Подгруппы " around the folder's name, in bytes of UTF-8.
    constexpr int kBytesAroundFolder = 40;
    const int room = std::max(0, fileNameLimit(QFile::encodeName(results)) - kBytesAroundFolder);
    return results + QStringLiteral("/Подгруппы %1 (строка %2).%3")
                         .arg(cutToBytes(fileNameSafeCode(folderName), room))
                         .arg(line)
                         .arg(extension);
}

QString trendFileName(const QString &results, const QString &folderName, const QString &extension)
{
    // "Динамика " and ".jpg", in bytes of UTF-8.
    constexpr int kBytesAroundFolder = 24;
    const int room = std::max(0, fileNameLimit(QFile::encodeName(results)) - kBytesAroundFolder);
    return results + QStringLiteral("/Динамика %1.%2")
                         .arg(cutToBytes(fileNameSafeCode(folderName), room), extension);
}

QString reportName(const QString &stem)
{
    return QStringLiteral("Report ") + stem + QStringLiteral(".pdf");
}

QString analysisFileName(const QString &programFolder, const QString &code)
{
    return proposedInResults(programFolder, code, analysisName);
}

QString tableFileName(const QString &programFolder, const QString &code)
{
    return proposedInResults(programFolder, code, [](const QString &stem) {
        return QStringLiteral("Table ") + stem + QStringLiteral(".csv");
    });
}

QString workbookFileName(const QString &programFolder, const QString &code)
{
    return proposedInResults(programFolder, code, [](const QString &stem) {
        return QStringLiteral("Table ") + stem + QStringLiteral(".xlsx");
    });
}

QString pictureFileName(const QString &programFolder, const QString &prefix, const QString &letter,
                        const QString &code)
{
    return proposedInResults(programFolder, code, [&](const QString &stem) {
        return pictureName(prefix, letter, stem);
    });
}

QString reportFileName(const QString &programFolder, const QString &code)
{
    return proposedInResults(programFolder, code, reportName);
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
