#pragma once

#include <QByteArray>

#include "reports/report_document.h"

namespace pelmar {

// The document as rich text (RTF 1.x, code page 1252): a font table of the
// families used, landscape pages with one-inch margins, one paragraph per
// paragraph with its tab stops in twips (kTwipsPerTabUnit a unit), each run with its
// font, size and weight. Tabs become \tab; backslashes and braces are
// escaped; characters beyond ASCII are written as \'hh (Latin-1) or \uN?
// (anything else), so the file is plain ASCII.
QByteArray WriteRtf(const ReportDocument& document);

}  // namespace pelmar
