#pragma once

#include <QColor>

// The one palette of the windows: every colour a window paints with, by the name of
// its shade. Windows take their colours from here, never declare their own.
namespace Colori {

inline const QColor Blu{0, 0, 128}; // navy: headings, button texts
inline const QColor Verde{0, 128, 0};
inline const QColor Marrone{128, 0, 0};
inline const QColor Oliva{128, 128, 0};
inline const QColor Verdeacqua{0, 128, 128}; // teal: the invoice window's face
inline const QColor Rosso{255, 0, 0};        // invoices already sent
inline const QColor RossoAvviso{200, 0, 0};  // a check digit that fails
inline const QColor Grigio{192, 192, 192};   // silver: panels
inline const QColor GrigioScuro{128, 128, 128};
inline const QColor GrigioBarra{200, 200, 200};   // the system's scroll-bar grey
inline const QColor GrigioAzzurro{191, 205, 219}; // the legend's background
inline const QColor Celeste{166, 202, 240};       // sky blue: the header editor
inline const QColor AzzurroTitolo{153, 180, 209}; // the system's active caption
inline const QColor Crema{240, 234, 214};         // the purchase window's lists
inline const QColor Bianco{255, 255, 255};
inline const QColor Nero{0, 0, 0};

} // namespace Colori
