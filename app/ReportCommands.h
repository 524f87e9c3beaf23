#pragma once

#include "Report.h"

class TForm1;

// What the window shows, as a report: the header fields as they stand (edited or not), the
// profile on display, the memo's text and, for a group, the spread of its members. Needs a
// load; the window enables the commands only after one.
ReportContent reportContentOf(const TForm1 &form);

// The report's PDF bytes; throws "Cannot create file" for fileName when they cannot be made.
QByteArray reportPdfFor(const TForm1 &form, const QString &fileName);
