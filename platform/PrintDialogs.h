#pragma once
// The printing dialogs: print, printer setup and print preview. Each can be
// replaced, so tests answer them without a person at the screen and never
// reach a real printer.

#include <functional>

class QPrinter;
class QWidget;

namespace quorrel::platform {

enum class PrintDialogKind { Print, PrintSetup };

// Shows the dialog on `printer`; true when the user confirmed it.
using PrintDialogHandler = std::function<bool(PrintDialogKind kind, QPrinter& printer)>;

// Installs a replacement for the real dialogs; an empty handler restores them.
void SetPrintDialogHandler(PrintDialogHandler handler);

// The print dialog with its default settings for a one-page job. When the
// printer chosen before is gone it first says so (and which one is used
// instead); with no printer at all, and no file chosen, it says so and
// shows no dialog (false), as when the print server does not answer. (The
// dialog itself asks the server on the window's thread: callers ask
// PrintServerAnswers() first.)
bool RunPrintDialog(QWidget* parent, QPrinter& printer);
// The printer-setup dialog: the printer and its options (paper,
// orientation, the printer's properties), kept on `printer` for Print.
bool RunPrintSetupDialog(QWidget* parent, QPrinter& printer);

// The preview window over `printer`, showing what `paint` draws. `pages` is
// how many pages it shows side by side (1 or 2) on entry, and on return the
// number the user left it at. True when the user chose to print from it.
bool RunPrintPreview(QWidget* parent, QPrinter& printer, const std::function<void(QPrinter&)>& paint, int& pages);

} // namespace quorrel::platform
