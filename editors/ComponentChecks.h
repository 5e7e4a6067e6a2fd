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
QString ComponentName(int c);         // "Red" ... "Luminosity"

// The name a screen reader speaks for a control whose visible label is a
// column heading or a picture ("Red wrap mode"); an edit box inside the
// control (a spin box's) and a combo box's list of items get it too.
void SetSpokenName(QWidget* control, const QString& name);

QCheckBox* MakeComponentCheck(int c);

// An icon push button of the apply-to-all kind: the small triangle.
QToolButton* MakeApplyButton(int id, const QString& tooltip);

} // namespace quorrel::editors
