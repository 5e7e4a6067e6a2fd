#pragma once
// Writes a file whole or not at all and tells why when it cannot: the bytes
// go to a temporary file beside the target that is renamed over it once
// everything is written, and every failing step keeps the system's error
// number (the folder is missing, access is denied, the disk is full).

#include <QString>

#include <functional>

class QIODevice;

namespace quorrel::output {

// `write` fills the device (it may seek). Returns 0 on success; otherwise
// the errno of the first step that failed, or -1 when `write` gave up with
// no system error behind it. Nothing is left behind on failure, and an
// existing target keeps its old contents.
//
// A symbolic link is followed and its target replaced; a target that exists
// and is neither a regular file nor a folder (a device, a pipe) is written
// in place, as renaming over it would replace the node itself.
int WriteWholeFile(const QString& path, const std::function<bool(QIODevice&)>& write);

} // namespace quorrel::output
