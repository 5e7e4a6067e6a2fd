#pragma once
// The editor's artwork, painted in code so it is sharp at every size and
// device pixel ratio: the application icon, the document icon and the
// twenty toolbar images.

#include <QIcon>

class QPainter;
class QRectF;

namespace quorrel::desktop {

QIcon ApplicationIcon();
QIcon DocumentIcon();

// The image of a toolbar command (ids in ToolbarCommands.h); a null icon
// for any other id.
QIcon ToolbarIcon(int commandId);

// Paints the image of `commandId` (or 0 for the application icon, -1 for
// the document icon) into `target`, keeping it square and centred. False
// for an id without an image.
bool PaintArtwork(QPainter& painter, int commandId, const QRectF& target);

} // namespace quorrel::desktop
