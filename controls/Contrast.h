#pragma once
// Colours that stay legible on whatever palette the desktop uses: a mark
// keeps its own colour where it stands out from its background, and is made
// lighter or darker, keeping its hue, where it would not (a dark blue mark
// on a dark theme becomes a light blue one).

#include <QColor>

namespace quorrel::controls {

// The relative luminance of a colour (sRGB, 0 black to 1 white).
double RelativeLuminance(const QColor& color);
// How far two colours stand apart: (lighter + 0.05) / (darker + 0.05), from
// 1 (the same) to 21 (black on white). Text wants 4.5, marks 3.
double ContrastRatio(const QColor& a, const QColor& b);

// Whether light marks stand out more on `background` than dark ones: the
// background of a dark theme.
bool IsDark(const QColor& background);

inline constexpr double kTextContrast = 4.5;
inline constexpr double kMarkContrast = 3.0;
// Marks that must stand out well ahead of greyed ones (enabled symmetry
// values), and greyed marks: still seen, clearly behind.
inline constexpr double kStrongContrast = 7.0;
inline constexpr double kFaintContrast = 2.0;
// Two surfaces a user must tell apart at a glance (editable and read-only
// cells).
inline constexpr double kSurfaceContrast = 1.6;

// `preferred` when it stands out from `background` by `minimum`; else
// `preferred` blended towards white on a dark background (towards black on
// a light one) just far enough, or the end of that blend when nothing
// nearer reaches `minimum`.
QColor LegibleOn(const QColor& preferred, const QColor& background, double minimum = kTextContrast);

} // namespace quorrel::controls
