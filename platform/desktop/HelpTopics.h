#pragma once
// What the help says where: the "what's this" texts of the commands and of
// the editors' controls, and the guide page that belongs to a window or
// dialog. Pure lookups, testable without a display.

#include <QString>

namespace quorrel::desktop {

// The text shown for a command in "what's this" mode, empty for an id that
// is not a command of the editor.
QString WhatsThisForCommand(int commandId);

// The text for a dialog control, by the numeric id it carries as its
// object name (the editors' convention), empty for an unknown id.
QString WhatsThisForControl(int controlId);

// The guide page (relative URL, maybe with an anchor) for a window or
// dialog class (namespace left out) or object name; empty when unknown.
QString TopicForName(const QString& classOrObjectName);

// The page Help Topics opens.
QString ContentsTopic();

} // namespace quorrel::desktop
