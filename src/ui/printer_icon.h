// The icon of the print action.
#pragma once

#include <QIcon>

namespace torv {

// The desktop theme's "document-print", or a printer drawn here when the
// theme has none (a bare window manager often has no icon theme at all).
QIcon PrinterIcon();
// The drawn printer alone.
QIcon DrawnPrinterIcon();

}  // namespace torv
