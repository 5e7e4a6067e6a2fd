#pragma once
// A combo box as assistive technologies should hear it: its name is the
// accessible name it was given ("Red wrap mode"), its value the current
// item. Qt's own interface on Linux answers the name with the current item
// ("Reflected") and expects a label relation instead, which a combo box in
// a grid of controls under shared column and row labels does not have.
// Items without text (pictures) speak their Qt::AccessibleTextRole. The
// current item is served as the combo box's text too, which is where screen
// readers on Linux look for it.

class QAccessibleInterface;
class QObject;

namespace quorrel::controls {

// The interface of a combo box that cannot be edited; null for any other
// object (editable combo boxes keep Qt's own, which serves their text).
QAccessibleInterface* MakeComboAccessible(QObject* object);

} // namespace quorrel::controls
