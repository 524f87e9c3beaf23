#pragma once

#include "PdfFontProgram.h"

#include <QByteArray>
#include <QHash>
#include <QString>
#include <memory>
#include <vector>

class PdfFile;
class QRawFont;

// The faces one document's text uses and the glyphs it uses of each; at the end of the
// document each is written as a Type0 font of Identity-H encoding (a glyph id a code) over a
// CIDFontType2 with its widths, the font program of its glyphs and a ToUnicode map, so that the
// text can be selected and searched.
class PdfDocumentFonts
{
public:
    struct Face
    {
        std::shared_ptr<const PdfFontProgram> program;
        QByteArray name; // the resource name, /F1 and on
        int object = 0;  // the Type0 font's object number
        std::vector<bool> used;
    };

    // The face of raw, reserving its object number on first use; null when its program cannot
    // be embedded.
    Face *face(const QRawFont &raw, PdfFile &file);

    // Writes every face's objects.
    void write(PdfFile &file) const;
    // The /Font entries of the resource dictionary.
    QByteArray resources() const;

private:
    std::vector<std::unique_ptr<Face>> faces_;
    QHash<QString, Face *> byKey_;
    QHash<QString, bool> refused_;
};
