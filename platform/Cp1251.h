#pragma once

#include <QByteArrayView>
#include <QString>

// Code page 1251, in which answer files and older file names are written.

// Decodes code page 1251 bytes.
QString decode1251(QByteArrayView bytes);
// Appends decode1251(bytes) to text, without a string of its own.
void append1251(QString &text, QByteArrayView bytes);
