#pragma once

#include <QColor>
#include <QImage>
#include <QRect>

class TStringGrid;

// What a cell shows on top of its background.
struct InkCensus
{
    int dark = 0;      // black or grey pixels
    int green = 0;     // pixels leaning to green
    int red = 0;       // pixels leaning to red
    double amount = 0; // darkening relative to the background, summed: stroke weight
    int right = -1;    // rightmost column holding ink, -1 when none
    int top = -1;      // topmost row holding ink, -1 when none
};

// Lays out pending geometry (the scroll bar shows and hides through queued events).
void settle();

// The grid's viewport as painted, in viewport pixels.
QImage grabCells(TStringGrid &grid);

InkCensus census(const QImage &image, const QRect &rect, const QColor &background);

// Pixels where two images of one size differ.
int pixelsDiffering(const QImage &a, const QImage &b);

// Pixels of rect that differ from colour.
int pixelsNotOf(const QImage &image, const QRect &rect, const QColor &colour);
