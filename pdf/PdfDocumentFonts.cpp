#include "PdfDocumentFonts.h"

#include "PdfFile.h"

#include <QRawFont>

namespace {

// ToUnicode maps list at most this many codes a block.
constexpr int kMapBlock = 100;

void hex4(QByteArray &out, unsigned value)
{
    static const char digits[] = "0123456789ABCDEF";
    const char text[4] = {digits[(value >> 12) & 15], digits[(value >> 8) & 15],
                          digits[(value >> 4) & 15], digits[value & 15]};
    out.append(text, 4);
}

// The subset tag before a font's name says its program holds only some glyphs; six capitals
// from the object number, so that no two fonts of a document share one.
QByteArray subsetName(const PdfFontProgram &program, int object)
{
    QByteArray tag;
    for (int i = 0; i < 6; ++i) {
        tag.append(char('A' + object % 26));
        object /= 26;
    }
    return tag + '+' + program.postscriptName();
}

QByteArray widths(const PdfFontProgram &program, const std::vector<bool> &used)
{
    QByteArray out("[");
    for (std::size_t g = 0; g < used.size();) {
        if (!used[g]) {
            ++g;
            continue;
        }
        out.append(QByteArray::number(qulonglong(g)));
        out.append(" [");
        for (; g < used.size() && used[g]; ++g)
            pdf::number(out, program.width(quint32(g)));
        out.append("] ");
    }
    out.append(']');
    return out;
}

QByteArray toUnicode(const PdfFontProgram &program, const std::vector<bool> &used)
{
    std::vector<std::pair<quint32, char32_t>> pairs;
    for (std::size_t g = 0; g < used.size(); ++g)
        if (used[g] && program.character(quint32(g)) != 0)
            pairs.emplace_back(quint32(g), program.character(quint32(g)));
    QByteArray out("/CIDInit /ProcSet findresource begin\n12 dict begin\nbegincmap\n"
                   "/CIDSystemInfo << /Registry (Adobe) /Ordering (UCS) /Supplement 0 >> def\n"
                   "/CMapName /Adobe-Identity-UCS def\n/CMapType 2 def\n"
                   "1 begincodespacerange\n<0000> <FFFF>\nendcodespacerange\n");
    for (std::size_t from = 0; from < pairs.size(); from += kMapBlock) {
        const std::size_t to = std::min(pairs.size(), from + kMapBlock);
        out.append(QByteArray::number(qulonglong(to - from)));
        out.append(" beginbfchar\n");
        for (std::size_t i = from; i < to; ++i) {
            out.append('<');
            hex4(out, pairs[i].first);
            out.append("> <");
            const char32_t c = pairs[i].second;
            if (c > 0xFFFF) {
                hex4(out, QChar::highSurrogate(c));
                hex4(out, QChar::lowSurrogate(c));
            } else {
                hex4(out, c);
            }
            out.append(">\n");
        }
        out.append("endbfchar\n");
    }
    out.append("endcmap\nCMapName currentdict /CMap defineresource pop\nend\nend\n");
    return out;
}

} // namespace

PdfDocumentFonts::Face *PdfDocumentFonts::face(const QRawFont &raw, PdfFile &file)
{
    const QString key = PdfFontProgram::faceKey(raw);
    if (Face *known = byKey_.value(key))
        return known;
    if (refused_.contains(key))
        return nullptr;
    std::shared_ptr<const PdfFontProgram> program = PdfFontProgram::of(raw);
    if (!program) {
        refused_.insert(key, true);
        return nullptr;
    }
    auto face = std::make_unique<Face>();
    face->program = std::move(program);
    face->object = file.reserve();
    face->name = "/F" + QByteArray::number(qsizetype(faces_.size() + 1));
    face->used.assign(std::size_t(face->program->glyphCount()), false);
    Face *made = face.get();
    faces_.push_back(std::move(face));
    byKey_.insert(key, made);
    return made;
}

QByteArray PdfDocumentFonts::resources() const
{
    QByteArray out;
    for (const auto &face : faces_) {
        out.append(face->name);
        out.append(' ');
        out.append(QByteArray::number(face->object));
        out.append(" 0 R ");
    }
    return out;
}

void PdfDocumentFonts::write(PdfFile &file) const
{
    for (const auto &face : faces_) {
        const PdfFontProgram &program = *face->program;
        const QByteArray name = subsetName(program, face->object);
        const QByteArray fontFile = program.fontFile(face->used);
        const int programObject = file.writeStream(
            0, " /Length1 " + QByteArray::number(fontFile.size()), fontFile);
        const int map = file.writeStream(0, {}, toUnicode(program, face->used));

        const int descriptor = file.beginObject();
        QByteArray &out = file.out();
        const QRectF box = program.boundingBox();
        out.append("<< /Type /FontDescriptor /FontName /" + name + " /Flags ");
        out.append(program.italicAngle() != 0 ? "68" : "4"); // symbolic, and italic
        out.append(" /FontBBox [");
        for (const double v : {box.left(), box.top(), box.right(), box.bottom()})
            pdf::number(out, v, 0);
        out.append("] /ItalicAngle ");
        pdf::number(out, program.italicAngle());
        out.append("/Ascent ");
        pdf::number(out, program.ascent(), 0);
        out.append("/Descent ");
        pdf::number(out, program.descent(), 0);
        out.append("/CapHeight ");
        pdf::number(out, program.capHeight(), 0);
        out.append("/StemV 80 /FontFile2 " + QByteArray::number(programObject) + " 0 R >>");
        file.endObject();

        const int cid = file.beginObject();
        file.out().append("<< /Type /Font /Subtype /CIDFontType2 /BaseFont /" + name +
                          " /CIDSystemInfo << /Registry (Adobe) /Ordering (Identity) "
                          "/Supplement 0 >> /FontDescriptor " +
                          QByteArray::number(descriptor) +
                          " 0 R /CIDToGIDMap /Identity /W " + widths(program, face->used) +
                          " >>");
        file.endObject();

        file.beginObject(face->object);
        file.out().append("<< /Type /Font /Subtype /Type0 /BaseFont /" + name +
                          " /Encoding /Identity-H /DescendantFonts [" + QByteArray::number(cid) +
                          " 0 R] /ToUnicode " + QByteArray::number(map) + " 0 R >>");
        file.endObject();
    }
}
