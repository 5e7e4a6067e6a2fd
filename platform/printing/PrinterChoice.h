#pragma once
// Which printer a Print goes to when the one chosen before is gone: never
// another without a word, and never a file the user did not ask for.

#include <QString>
#include <QStringList>

class QPrinter;
class QWidget;

namespace quorrel::platform {

struct PrinterChoice {
    QString printer;   // the printer to use; empty when printing stops
    QString message;   // what the user is told first; empty when nothing changed
};

// `chosen` is the printer the job was set to (empty when none);
// `available` and `defaultPrinter` are what the print system offers now.
PrinterChoice ChoosePrinter(const QString& chosen, const QStringList& available, const QString& defaultPrinter);

// Unless the user chose to print into a file: applies ChoosePrinter to
// `printer` with the installed print system and shows its message; false
// when there is nothing to print on, or the print server does not answer
// (which it then says).
bool PreparePrinter(QPrinter& printer);

// Whether the print server answers now (or is not there at all); when it
// takes connections but does not answer, says so and returns false. Asked
// before anything that talks to the server on the window's thread: Qt's
// printer and its dialogs wait on the server as long as it holds them.
bool PrintServerAnswers();

} // namespace quorrel::platform
