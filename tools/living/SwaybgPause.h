#pragma once
// swaybg, the background sway starts, lies on the same layer as the living
// wallpaper's surfaces, and sway 1.7 draws the newest surface of a layer
// lowest: the player would stay hidden behind it. So while the player shows
// anything, the swaybg processes of this user on this compositor are
// stopped, their command lines kept in $XDG_RUNTIME_DIR (so that a player
// restarted after a crash still knows them), and started again when the
// player ends.

#include <string>
#include <vector>

namespace quorrel::living {

class CSwaybgPause final {
public:
    ~CSwaybgPause() { Resume(); }

    // Stops this compositor's swaybg processes (once); the command lines are
    // kept first. Returns false with the reason when they cannot be kept
    // (then none is stopped).
    bool Pause(std::string& error);
    // Starts what Pause stopped (also what a crashed player stopped), and
    // forgets it.
    void Resume();
    // The same for a player that ended without Resume (it crashed for good):
    // whatever the record in $XDG_RUNTIME_DIR names. Nothing when there is none.
    static void ResumeRecorded();

    // The record's text for command lines, and back (false for a file that
    // is not such a record): each argument as LENGTH ":" BYTES, a command
    // ended by a line break.
    static std::string Encode(const std::vector<std::vector<std::string>>& commands);
    static bool Decode(const std::string& text, std::vector<std::vector<std::string>>& commands);

private:
    bool m_paused = false;
    std::string m_record;
};

} // namespace quorrel::living
