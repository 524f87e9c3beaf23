#pragma once

#include <QByteArray>
#include <QRectF>
#include <QString>
#include <memory>
#include <vector>

class QRawFont;

// A TrueType face made ready for PDF documents once per process: its tables read, its hinting
// dropped (fpgm, prep, cvt and every glyph's instructions: a page scaled by the viewer needs
// none), each glyph's bytes, the glyphs a composite is built from, the advances and the
// character each glyph stands for. A document then writes only the glyphs it used, under their
// own ids, so that it needs neither a renumbering nor a lookup of the whole character map.
class PdfFontProgram
{
public:
    // The prepared program of raw's face, made on first use and shared by every thread after;
    // null when the face is not TrueType outlines (the caller paints such text as paths).
    static std::shared_ptr<const PdfFontProgram> of(const QRawFont &raw);

    // What tells one face from another.
    static QString faceKey(const QRawFont &raw);

    explicit PdfFontProgram(const QRawFont &raw);

    bool isValid() const { return valid_; }
    int glyphCount() const { return int(advances_.size()); }
    // Advance in whole thousandths of an em, as the PDF widths give it.
    double width(quint32 glyph) const;
    // The lowest character the face maps to glyph; 0 when none does.
    char32_t character(quint32 glyph) const;

    // For the font descriptor, in thousandths of an em.
    QByteArray postscriptName() const { return postscriptName_; }
    QRectF boundingBox() const { return box_; }
    double ascent() const { return ascent_; }
    double descent() const { return descent_; }
    double capHeight() const { return capHeight_; }
    double italicAngle() const { return italicAngle_; }

    // The font file with the glyphs marked in used and the glyphs they are built from; every
    // other glyph is empty. used has glyphCount() entries.
    QByteArray fontFile(const std::vector<bool> &used) const;

private:
    bool prepare(const QRawFont &raw);
    bool readGlyphs(const QByteArray &glyf, const QByteArray &loca, bool longOffsets);
    void readCharacters(const QByteArray &cmap);

    bool valid_ = false;
    int unitsPerEm_ = 1000;
    QByteArray head_, hhea_, maxp_;
    QByteArray glyf_;                  // every glyph without instructions, 4-byte aligned
    std::vector<quint32> offsets_;     // glyphCount() + 1 offsets into glyf_
    std::vector<quint32> firstPart_;   // glyphCount() + 1 offsets into parts_
    std::vector<quint16> parts_;       // the components of composite glyphs
    std::vector<quint16> advances_;    // design units
    std::vector<qint16> bearings_;     // left side bearings, design units
    std::vector<char32_t> characters_; // by glyph
    QByteArray postscriptName_;
    QRectF box_;
    double ascent_ = 0, descent_ = 0, capHeight_ = 0, italicAngle_ = 0;
};
