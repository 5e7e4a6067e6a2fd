#pragma once
// The editor's commands: ids, the command table (menus, keys, prompts,
// tooltips, toolbar images), the toolbar order and the status-bar panes.

#include "platform/CommandIds.h"
#include "platform/CommandInfo.h"

#include <vector>

namespace quorrel::app {

using namespace platform;   // the framework's and the editor's command ids

// Status-bar panes after the message pane, by indicator id.
enum Indicator : int {
    ID_INDICATOR_POSITION = 200,   // pane 2: "x, y"
    ID_INDICATOR_PROGRESS = 201,   // pane 1: progress
    ID_INDICATOR_COLOR = 202,      // pane 3: colour under the pointer
};

// Resource ids of the main frame and the document template.
inline constexpr int IDR_MAINFRAME = 300;
inline constexpr int IDR_QUORRELTYPE = 301;

const std::vector<platform::CommandInfo>& CommandTable();
const platform::CommandInfo* FindCommand(int id);

// Main toolbar, left to right; 0 marks a separator.
const std::vector<int>& ToolbarLayout();

inline constexpr int kMaxOpenDocs = 5;
inline constexpr int kRecentFiles = 4;

} // namespace quorrel::app
