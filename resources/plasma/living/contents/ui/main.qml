// Quorrel's living wallpaper: the loop file Quorrel wrote (its URL in the
// configuration's Source) played at its own rate and repeated at the tile's
// own size. Plasma keeps this file cached while it runs, so everything that
// changes lives in the configuration, never here.
import QtQuick 2.15

Rectangle {
    color: "black"

    AnimatedImage {
        anchors.fill: parent
        source: wallpaper.configuration.Source
        fillMode: Image.Tile
        // A file rewritten under the same name is read afresh when Source is
        // set again.
        cache: false
        smooth: false
        playing: true
    }
}
