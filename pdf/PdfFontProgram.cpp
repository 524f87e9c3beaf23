#include "PdfFontProgram.h"

#include <QRawFont>
#include <QtEndian>
#include <algorithm>
#include <cmath>
#include <map>
#include <mutex>

namespace {

quint16 u16(const QByteArray &data, qsizetype at)
{
    return qFromBigEndian<quint16>(data.constData() + at);
}

qint16 s16(const QByteArray &data, qsizetype at)
{
    return qFromBigEndian<qint16>(data.constData() + at);
}

quint32 u32(const QByteArray &data, qsizetype at)
{
    return qFromBigEndian<quint32>(data.constData() + at);
}

void put16(QByteArray &data, qsizetype at, quint16 value)
{
    qToBigEndian<quint16>(value, data.data() + at);
}

void put32(QByteArray &data, qsizetype at, quint32 value)
{
    qToBigEndian<quint32>(value, data.data() + at);
}

void append16(QByteArray &data, quint16 value)
{
    const char bytes[2] = {char(value >> 8), char(value)};
    data.append(bytes, 2);
}

void append32(QByteArray &data, quint32 value)
{
    const char bytes[4] = {char(value >> 24), char(value >> 16), char(value >> 8), char(value)};
    data.append(bytes, 4);
}

// Composite glyph flags.
constexpr quint16 kArgsAreWords = 0x0001;
constexpr quint16 kHaveScale = 0x0008;
constexpr quint16 kMoreComponents = 0x0020;
constexpr quint16 kHaveXYScale = 0x0040;
constexpr quint16 kHaveTwoByTwo = 0x0080;
constexpr quint16 kHaveInstructions = 0x0100;

constexpr qsizetype kHeadSize = 54;
constexpr qsizetype kHheaSize = 36;
constexpr qsizetype kMaxpSize = 32; // version 1.0, the one TrueType outlines have

// A glyph's bytes without its instructions; its components appended to parts. Empty when the
// glyph is malformed.
QByteArray strippedGlyph(const char *data, qsizetype size, std::vector<quint16> &parts)
{
    if (size == 0)
        return {};
    if (size < 10)
        return {};
    const QByteArray glyph = QByteArray::fromRawData(data, size);
    const qint16 contours = s16(glyph, 0);
    if (contours >= 0) {
        const qsizetype lengthAt = 10 + 2 * qsizetype(contours);
        if (lengthAt + 2 > size)
            return {};
        const qsizetype instructions = u16(glyph, lengthAt);
        if (lengthAt + 2 + instructions > size)
            return {};
        QByteArray out;
        out.reserve(size - instructions);
        out.append(data, lengthAt);
        append16(out, 0);
        out.append(data + lengthAt + 2 + instructions, size - lengthAt - 2 - instructions);
        return out;
    }
    QByteArray out(data, size);
    qsizetype at = 10;
    for (;;) {
        if (at + 4 > size)
            return {};
        const quint16 flags = u16(glyph, at);
        parts.push_back(u16(glyph, at + 2));
        put16(out, at, flags & ~kHaveInstructions);
        at += 4 + ((flags & kArgsAreWords) ? 4 : 2);
        if (flags & kHaveScale)
            at += 2;
        else if (flags & kHaveXYScale)
            at += 4;
        else if (flags & kHaveTwoByTwo)
            at += 8;
        if (at > size)
            return {};
        if (!(flags & kMoreComponents))
            break;
    }
    out.truncate(at);
    return out;
}

// The face's name for PostScript (name 6), from the Windows or the Macintosh record.
QByteArray postscriptNameOf(const QByteArray &name)
{
    if (name.size() < 6)
        return {};
    const int count = u16(name, 2);
    const qsizetype strings = u16(name, 4);
    for (int i = 0; i < count; ++i) {
        const qsizetype record = 6 + 12 * qsizetype(i);
        if (record + 12 > name.size())
            break;
        const quint16 platform = u16(name, record);
        const quint16 id = u16(name, record + 6);
        const qsizetype length = u16(name, record + 8);
        const qsizetype at = strings + u16(name, record + 10);
        if (id != 6 || at + length > name.size())
            continue;
        QByteArray text;
        if (platform == 3) {
            for (qsizetype k = 0; k + 1 < length; k += 2)
                text.append(char(u16(name, at + k)));
        } else if (platform == 1) {
            text = name.mid(at, length);
        }
        // PostScript names hold printable ASCII without delimiters.
        QByteArray clean;
        for (const char c : std::as_const(text))
            if (c > ' ' && c < 127 && !QByteArray("[](){}<>/%#").contains(c))
                clean.append(c);
        if (!clean.isEmpty())
            return clean;
    }
    return {};
}

} // namespace

std::shared_ptr<const PdfFontProgram> PdfFontProgram::of(const QRawFont &raw)
{
    // The batch paints several documents at once: the first to need a face prepares it while
    // the others wait for it.
    static std::mutex mutex;
    static std::map<QString, std::shared_ptr<const PdfFontProgram>> programs;
    const QString key = faceKey(raw);
    const std::lock_guard<std::mutex> lock(mutex);
    const auto kept = programs.find(key);
    if (kept != programs.end())
        return kept->second;
    auto made = std::make_shared<const PdfFontProgram>(raw);
    if (!made->isValid())
        made.reset();
    // A face that cannot be prepared is remembered too, and not read again.
    programs.emplace(key, made);
    return made;
}

QString PdfFontProgram::faceKey(const QRawFont &raw)
{
    // A substituted family comes in lower case: "liberation sans" is "Liberation Sans".
    return raw.familyName().toLower() + QLatin1Char('\n') + raw.styleName() + QLatin1Char('\n') +
           QString::number(raw.weight()) + QLatin1Char('\n') + QString::number(int(raw.style()));
}

PdfFontProgram::PdfFontProgram(const QRawFont &raw)
{
    valid_ = prepare(raw);
}

bool PdfFontProgram::prepare(const QRawFont &raw)
{
    head_ = raw.fontTable("head");
    hhea_ = raw.fontTable("hhea");
    maxp_ = raw.fontTable("maxp");
    const QByteArray hmtx = raw.fontTable("hmtx");
    const QByteArray loca = raw.fontTable("loca");
    const QByteArray glyf = raw.fontTable("glyf");
    if (head_.size() < kHeadSize || hhea_.size() < kHheaSize || maxp_.size() < kMaxpSize ||
        loca.isEmpty() || glyf.isEmpty())
        return false;
    head_.truncate(kHeadSize);
    hhea_.truncate(kHheaSize);
    maxp_.truncate(kMaxpSize);
    unitsPerEm_ = u16(head_, 18);
    if (unitsPerEm_ == 0)
        return false;
    const int glyphs = u16(maxp_, 4);
    const int metrics = u16(hhea_, 34);
    if (glyphs == 0 || metrics == 0 || metrics > glyphs || hmtx.size() < 2 * (glyphs + metrics))
        return false;
    advances_.resize(std::size_t(glyphs));
    bearings_.resize(std::size_t(glyphs));
    for (int g = 0; g < glyphs; ++g) {
        advances_[std::size_t(g)] = u16(hmtx, 4 * qsizetype(std::min(g, metrics - 1)));
        bearings_[std::size_t(g)] = g < metrics ? s16(hmtx, 4 * qsizetype(g) + 2)
                                                : s16(hmtx, 4 * qsizetype(metrics) +
                                                                2 * qsizetype(g - metrics));
    }
    if (!readGlyphs(glyf, loca, s16(head_, 50) == 1))
        return false;
    readCharacters(raw.fontTable("cmap"));

    // Long offsets in the rebuilt location table, no checksum adjustment, no hinting limits;
    // every glyph has an advance of its own in the rebuilt metrics (fontFile() sets their count).
    put32(head_, 8, 0);
    put16(head_, 50, 1);
    for (const qsizetype at : {16, 18, 20, 22, 24, 26})
        put16(maxp_, at, 0);

    const double scale = 1000.0 / unitsPerEm_;
    box_ = QRectF(QPointF(s16(head_, 36) * scale, s16(head_, 38) * scale),
                  QPointF(s16(head_, 40) * scale, s16(head_, 42) * scale));
    ascent_ = s16(hhea_, 4) * scale;
    descent_ = s16(hhea_, 6) * scale;
    const QByteArray os2 = raw.fontTable("OS/2");
    capHeight_ = os2.size() >= 90 && u16(os2, 0) >= 2 ? s16(os2, 88) * scale : ascent_;
    const QByteArray post = raw.fontTable("post");
    italicAngle_ = post.size() >= 8 ? qint32(u32(post, 4)) / 65536.0 : 0;
    postscriptName_ = postscriptNameOf(raw.fontTable("name"));
    if (postscriptName_.isEmpty())
        postscriptName_ = QString(raw.familyName() + raw.styleName()).remove(QLatin1Char(' ')).toLatin1();
    return true;
}

bool PdfFontProgram::readGlyphs(const QByteArray &glyf, const QByteArray &loca, bool longOffsets)
{
    const std::size_t glyphs = advances_.size();
    if (loca.size() < qsizetype(glyphs + 1) * (longOffsets ? 4 : 2))
        return false;
    const auto offset = [&](std::size_t g) -> quint32 {
        return longOffsets ? u32(loca, 4 * qsizetype(g)) : 2u * u16(loca, 2 * qsizetype(g));
    };
    offsets_.reserve(glyphs + 1);
    firstPart_.reserve(glyphs + 1);
    glyf_.reserve(glyf.size());
    for (std::size_t g = 0; g < glyphs; ++g) {
        offsets_.push_back(quint32(glyf_.size()));
        firstPart_.push_back(quint32(parts_.size()));
        const quint32 from = offset(g), to = offset(g + 1);
        if (to < from || to > quint32(glyf.size()))
            return false;
        if (to == from)
            continue;
        const QByteArray glyph = strippedGlyph(glyf.constData() + from, to - from, parts_);
        if (glyph.isEmpty())
            return false;
        glyf_.append(glyph);
        glyf_.append(QByteArray((4 - glyph.size() % 4) % 4, '\0'));
    }
    offsets_.push_back(quint32(glyf_.size()));
    firstPart_.push_back(quint32(parts_.size()));
    return std::all_of(parts_.begin(), parts_.end(), [&](quint16 p) { return p < glyphs; });
}

// The character map read backwards, the lowest character winning where several share a glyph
// (the space before the no-break space), as a text extractor expects.
void PdfFontProgram::readCharacters(const QByteArray &cmap)
{
    characters_.assign(advances_.size(), 0);
    if (cmap.size() < 4)
        return;
    const auto note = [&](char32_t c, quint32 glyph) {
        if (c != 0 && glyph != 0 && glyph < characters_.size() && characters_[glyph] == 0)
            characters_[glyph] = c;
    };
    qsizetype format4 = -1, format12 = -1;
    const int tables = u16(cmap, 2);
    for (int i = 0; i < tables && 4 + 8 * qsizetype(i + 1) <= cmap.size(); ++i) {
        const qsizetype record = 4 + 8 * qsizetype(i);
        const quint16 platform = u16(cmap, record), encoding = u16(cmap, record + 2);
        const qsizetype at = u32(cmap, record + 4);
        if (at + 8 > cmap.size())
            continue;
        const quint16 format = u16(cmap, at);
        if (format == 12 && (platform == 3 || platform == 0))
            format12 = at;
        else if (format == 4 && (platform == 3 || platform == 0) && encoding != 0)
            format4 = at;
        else if (format == 4 && format4 < 0)
            format4 = at;
    }
    if (format12 >= 0 && format12 + 16 <= cmap.size()) {
        const quint32 groups = u32(cmap, format12 + 12);
        for (quint32 i = 0; i < groups && format12 + 16 + 12 * qsizetype(i + 1) <= cmap.size();
             ++i) {
            const qsizetype group = format12 + 16 + 12 * qsizetype(i);
            const quint32 first = u32(cmap, group), last = u32(cmap, group + 4);
            const quint32 glyph = u32(cmap, group + 8);
            for (quint32 c = first; c <= last && c <= 0x10FFFF; ++c)
                note(c, glyph + (c - first));
        }
        return;
    }
    if (format4 < 0 || format4 + 14 > cmap.size())
        return;
    const qsizetype segments = u16(cmap, format4 + 6) / 2;
    const qsizetype ends = format4 + 14, starts = ends + 2 * segments + 2;
    const qsizetype deltas = starts + 2 * segments, ranges = deltas + 2 * segments;
    if (ranges + 2 * segments > cmap.size())
        return;
    for (qsizetype s = 0; s < segments; ++s) {
        const quint16 end = u16(cmap, ends + 2 * s), start = u16(cmap, starts + 2 * s);
        const quint16 delta = u16(cmap, deltas + 2 * s);
        const quint16 range = u16(cmap, ranges + 2 * s);
        for (quint32 c = start; c <= end && c != 0xFFFF; ++c) {
            quint32 glyph = 0;
            if (range == 0) {
                glyph = quint16(c + delta);
            } else {
                const qsizetype at = ranges + 2 * s + range + 2 * qsizetype(c - start);
                if (at + 2 > cmap.size())
                    break;
                glyph = u16(cmap, at);
                if (glyph != 0)
                    glyph = quint16(glyph + delta);
            }
            note(c, glyph);
        }
    }
}

double PdfFontProgram::width(quint32 glyph) const
{
    if (glyph >= advances_.size())
        return 0;
    // Whole thousandths, as text extractors are used to from other writers; each glyph is
    // placed from its real position anyway.
    return std::round(advances_[glyph] * 1000.0 / unitsPerEm_);
}

char32_t PdfFontProgram::character(quint32 glyph) const
{
    return glyph < characters_.size() ? characters_[glyph] : 0;
}

QByteArray PdfFontProgram::fontFile(const std::vector<bool> &used) const
{
    const std::size_t glyphs = advances_.size();
    // The glyphs used and, through any depth of composites, the glyphs they are built from.
    std::vector<bool> kept(glyphs, false);
    std::vector<quint16> pending;
    for (std::size_t g = 0; g < glyphs && g < used.size(); ++g)
        if (used[g])
            pending.push_back(quint16(g));
    pending.push_back(0); // .notdef, which a viewer shows for anything missing
    while (!pending.empty()) {
        const quint16 g = pending.back();
        pending.pop_back();
        if (kept[g])
            continue;
        kept[g] = true;
        for (quint32 p = firstPart_[g]; p < firstPart_[g + 1u]; ++p)
            pending.push_back(parts_[p]);
    }

    // Glyph ids stay as they are; the font ends after the last glyph kept, which leaves out
    // most of the location and metrics tables of a face with thousands of glyphs.
    std::size_t count = glyphs;
    while (count > 1 && !kept[count - 1])
        --count;
    QByteArray glyf, loca, hmtx(4 * qsizetype(count), '\0');
    loca.reserve(4 * qsizetype(count + 1));
    for (std::size_t g = 0; g < count; ++g) {
        append32(loca, quint32(glyf.size()));
        if (!kept[g])
            continue;
        glyf.append(glyf_.constData() + offsets_[g], offsets_[g + 1] - offsets_[g]);
        put16(hmtx, 4 * qsizetype(g), advances_[g]);
        put16(hmtx, 4 * qsizetype(g) + 2, quint16(bearings_[g]));
    }
    append32(loca, quint32(glyf.size()));
    QByteArray hhea = hhea_, maxp = maxp_;
    put16(hhea, 34, quint16(count));
    put16(maxp, 4, quint16(count));

    // The sfnt wrapper: the table directory in tag order, each table 4-byte aligned.
    const std::pair<const char *, const QByteArray *> tables[] = {
        {"glyf", &glyf}, {"head", &head_}, {"hhea", &hhea},
        {"hmtx", &hmtx}, {"loca", &loca},  {"maxp", &maxp}};
    constexpr int tableCount = int(std::size(tables));
    QByteArray file;
    append32(file, 0x00010000);
    append16(file, tableCount);
    append16(file, 64); // searchRange for six tables: 16 * 4
    append16(file, 2);  // entrySelector
    append16(file, tableCount * 16 - 64);
    quint32 at = 12 + 16 * tableCount;
    for (const auto &[tag, data] : tables) {
        quint32 sum = 0;
        for (qsizetype i = 0; i < data->size(); i += 4) {
            char word[4] = {};
            std::copy_n(data->constData() + i, std::min<qsizetype>(4, data->size() - i), word);
            sum += qFromBigEndian<quint32>(word);
        }
        file.append(tag, 4);
        append32(file, sum);
        append32(file, at);
        append32(file, quint32(data->size()));
        at += quint32((data->size() + 3) / 4 * 4);
    }
    for (const auto &[tag, data] : tables) {
        file.append(*data);
        file.append(QByteArray((4 - data->size() % 4) % 4, '\0'));
    }
    return file;
}
