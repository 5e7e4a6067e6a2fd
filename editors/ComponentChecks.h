#pragma once
// The six component check boxes ("&Red" ... "&Luminosity", ids 3200..3205)
// and the labels shared by the editors' rows.

#include <QCheckBox>
#include <QString>

#include <array>

class QToolButton;

namespace quorrel::editors {

inline constexpr int kComponentCheckId = 3200;

QString ComponentLabel(int c);        // "&Red" ... "&Luminosity"
QString ComponentShortName(int c);    // "Red", "Green", "Blue", "Hue", "Sat", "Lum"

QCheckBox* MakeComponentCheck(int c);

// An icon push button of the apply-to-all kind: the small triangle.
QToolButton* MakeApplyButton(int id, const QString& tooltip);

} // namespace quorrel::editors
