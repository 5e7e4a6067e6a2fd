#include "HelpTopics.h"

#include "platform/CommandIds.h"

#include <QHash>

namespace quorrel::desktop {

using namespace platform;

namespace {

const char* const kComponentNames[] = {"Red", "Green", "Blue", "Hue", "Saturation", "Luminosity"};
const char* const kSymmetryColumns[] = {
    "mirror across the horizontal axis (top and bottom halves)",
    "mirror across the vertical axis (left and right halves)",
    "reflection in the diagonal from lower left to upper right",
    "reflection in the diagonal from upper left to lower right",
    "half turn about the centre",
    "quarter turn about the centre",
};

QString Component(int c)
{
    return QString::fromLatin1(kComponentNames[c]);
}

} // namespace

QString WhatsThisForCommand(int commandId)
{
    static const QHash<int, QString> texts = {
        {ID_FILE_NEW, QStringLiteral("<b>New</b> (Ctrl+N)<br>Creates a new document. Its Properties sheet opens first; "
                               "OK generates random coefficients and shows the tile. At most five documents can be open.")},
        {ID_FILE_OPEN, QStringLiteral("<b>Open</b> (Ctrl+O)<br>Opens a Quorrel document (*.wpp) saved earlier. "
                               "At most five documents can be open.")},
        {ID_FILE_CLOSE, QStringLiteral("<b>Close</b><br>Closes the active document, asking to save changes first.")},
        {ID_FILE_SAVE, QStringLiteral("<b>Save</b> (Ctrl+S)<br>Saves the active document's parameters and coefficients "
                               "as a *.wpp file. A new document asks for a name.")},
        {ID_FILE_SAVE_AS, QStringLiteral("<b>Save As</b><br>Saves the active document under a new name.")},
        {ID_EXPORT_IMAGE, QStringLiteral("<b>Export Image</b><br>Writes the tile at its own width and height as a BMP, JPEG, PNG, GIF "
                             "or TIFF file. The file name's extension decides the format.")},
        {ID_EXPORT_SCREEN_IMAGE, QStringLiteral("<b>Export Screen-Sized Image</b><br>Writes the tile repeated to the "
                             "size of a screen (the window's screen at first), optionally smoothed, as a BMP, JPEG, "
                             "PNG, GIF or TIFF file: a wallpaper to set in any mode.")},
        {ID_SET_AS_WALLPAPER, QStringLiteral("<b>Set As Wallpaper (Tiled)</b><br>Makes the tile the desktop wallpaper, repeated "
                             "edge to edge over the whole screen.")},
        {ID_FILE_PRINT, QStringLiteral("<b>Print</b> (Ctrl+P)<br>Prints the tile once, at the top-left corner of one page, "
                               "at the current zoom.")},
        {ID_FILE_PRINT_PREVIEW, QStringLiteral("<b>Print Preview</b><br>Shows the page as it will be printed.")},
        {ID_FILE_PRINT_SETUP, QStringLiteral("<b>Print Setup</b><br>Chooses the printer and its options.")},
        {ID_APP_EXIT, QStringLiteral("<b>Exit</b><br>Closes every document, asking to save each changed one, and quits Quorrel.")},
        {ID_EDIT_UNDO, QStringLiteral("<b>Undo</b> (Ctrl+Z, Alt+Backspace)<br>Goes back to the previous image of this window. "
                               "Each window remembers its last 15 images.")},
        {ID_EDIT_REDO, QStringLiteral("<b>Redo</b> (Ctrl+Y)<br>Goes forward again to the image you undid.")},
        {ID_EDIT_COPY, QStringLiteral("<b>Copy</b> (Ctrl+C, Ctrl+Insert)<br>Puts the tile on the clipboard as a picture of its "
                               "own width and height, whatever the zoom.")},
        {ID_EDIT_CUT, QStringLiteral("<b>Cut</b> (Ctrl+X)<br>In a table of numbers: cuts the selected cells to the clipboard.")},
        {ID_EDIT_PASTE, QStringLiteral("<b>Paste</b> (Ctrl+V)<br>In a table of numbers: pastes the clipboard into the cells.")},
        {ID_PROPERTIES, QStringLiteral("<b>Properties</b> (F4)<br>Opens the Properties sheet: image size, colour ranges, shapes, "
                             "symmetries and correlations of the six colour components.")},
        {ID_COEFFICIENTS, QStringLiteral("<b>Coefficients</b> (Shift+F4)<br>Shows and edits every coefficient of the series, one "
                             "table of one component at a time.")},
        {ID_RANDOM_GENERATION, QStringLiteral("<b>Random Generation</b> (F5)<br>Generates new random coefficients within the current "
                             "settings and shows the new tile.")},
        {ID_SLIDE_SHOW, QStringLiteral("<b>Slide Show</b> (F6)<br>Generates a new tile every three seconds until you choose it again.")},
        {ID_RANDOM_DESKTOP, QStringLiteral("<b>Random Desktop</b> (F7)<br>Like Slide Show, and makes every new tile the desktop "
                             "wallpaper. Choose it again to stop.")},
        {ID_DESKTOP_ROTATION, QStringLiteral("<b>Desktop Rotation</b><br>Makes the desktop change to a new tiled "
                             "wallpaper every interval by itself, also after the editor is closed and after the next "
                             "login: GNOME, Cinnamon, MATE, XFCE and Plasma show a set of prepared images in turn, "
                             "other desktops get a systemd user timer that makes a new one each time. Stop puts the "
                             "wallpaper settings from before back and removes everything it wrote.")},
        {ID_VIEW_TOOLBAR, QStringLiteral("<b>Toolbar</b><br>Shows or hides the toolbar.")},
        {ID_VIEW_STATUS_BAR, QStringLiteral("<b>Status Bar</b><br>Shows or hides the status bar.")},
        {ID_ZOOM_IN, QStringLiteral("<b>Zoom In</b> (numeric keypad +)<br>Shows every pixel of the tile one step larger.")},
        {ID_ZOOM_OUT, QStringLiteral("<b>Zoom Out</b> (numeric keypad -)<br>Shows the tile one step smaller, down to its own size.")},
        {ID_ZOOM_NORMAL, QStringLiteral("<b>Zoom Normal</b> (numeric keypad *)<br>Shows the tile at its own size again.")},
        {ID_FULL_SCREEN, QStringLiteral("<b>Full Screen</b> (F, Esc)<br>Fills the whole screen with the tile. Press F or Esc, or "
                             "click the small floating button, to come back.")},
        {ID_REFRESH, QStringLiteral("<b>Refresh</b> (R)<br>Draws the current tile again.")},
        {ID_WINDOW_NEW, QStringLiteral("<b>New Window</b><br>Opens another window on the active document, with its own zoom "
                               "and history.")},
        {ID_WINDOW_CASCADE, QStringLiteral("<b>Cascade</b><br>Arranges the document windows so they overlap.")},
        {ID_WINDOW_TILE_HORZ, QStringLiteral("<b>Tile</b><br>Arranges the document windows side by side.")},
        {ID_WINDOW_ARRANGE, QStringLiteral("<b>Arrange Icons</b><br>Lines up minimised document windows at the bottom.")},
        {ID_HELP_FINDER, QStringLiteral("<b>Help Topics</b><br>Opens this user guide at its contents.")},
        {ID_APP_ABOUT, QStringLiteral("<b>About Quorrel</b><br>Shows the program's version and copyright.")},
        {ID_HELP, QStringLiteral("<b>Help</b> (F1)<br>Opens the user guide at the page for the window or dialog you are in.")},
        {ID_CONTEXT_HELP, QStringLiteral("<b>What's This</b> (Shift+F1)<br>Click this button, then click any button, menu item or "
                               "control to read what it does.")},
        {ID_FILE_NEW_FROM_PRESET, QStringLiteral("<b>New from Preset</b><br>Shows the presets, ready-made settings each "
                               "with a first tile; the one you choose opens as a new document. At most five documents "
                               "can be open.")},
        {ID_EDIT_RESET_DEFAULTS, QStringLiteral("<b>Reset to Built-in Defaults</b><br>Puts the settings Quorrel was "
                               "installed with back into the active document and generates a new tile with them, after "
                               "asking. Undo goes back.")},
    };
    return texts.value(commandId);
}

QString WhatsThisForControl(int id)
{
    // Per-component controls: id = base + component.
    const auto inRange = [id](int base, int count = 6) { return id >= base && id < base + count; };

    if (id == 1)
        return QStringLiteral("<b>OK</b><br>Accepts the changes and closes the dialog.");
    if (id == 2)
        return QStringLiteral("<b>Cancel</b><br>Closes the dialog and forgets every change made in it.");
    if (id == 2011 || id == 2021)
        return QStringLiteral("<b>Width</b><br>The width of the tile in pixels, 1 to 1024.");
    if (id == 2012 || id == 2022)
        return QStringLiteral("<b>Height</b><br>The height of the tile in pixels, 1 to 1024.");
    if (inRange(3200))
        return QStringLiteral("<b>%1</b><br>Ticked: the %1 component gets its own random coefficients and is "
                              "mapped into its colour range. Cleared: it is computed from the other components "
                              "through its row on the Correlations page.").arg(Component(id - 3200));
    if (id == 3206 || id == 3207) {
        const QString group = id == 3206 ? QStringLiteral("Red, Green and Blue") : QStringLiteral("Hue, Saturation and Luminosity");
        return QStringLiteral("<b>%1</b><br>Ticks or clears %2 together. It shows a grey tick when only some of them are ticked.")
            .arg(id == 3206 ? QStringLiteral("RGB") : QStringLiteral("HSL"), group);
    }
    if (inRange(3300))
        return QStringLiteral("<b>%1 colour range</b><br>The part of the 0 to 255 scale the %1 levels are mapped into. "
                              "Drag one marker past the other to make the range wrap around through 255 and 0.")
            .arg(Component(id - 3300));
    if (inRange(3400, 8))
        return QStringLiteral("<b>Colour strip</b><br>Shows the colours of the scale above it, or of all the ranges "
                              "of the group.");
    if (id == 3530)
        return QStringLiteral("<b>Apply to all RGB components</b><br>Copies the Red range to Green and Blue (those ticked).");
    if (inRange(2100) || inRange(2200))
        return QStringLiteral("<b>Horizontal harmonics</b><br>How many waves, 0 to 30, the %1 series uses across the "
                              "tile. More harmonics give finer detail.").arg(Component(id % 100));
    if (inRange(2110) || inRange(2210))
        return QStringLiteral("<b>Vertical harmonics</b><br>How many waves, 0 to 30, the %1 series uses down the tile. "
                              "Diagonal and quarter-turn symmetries tie it to the horizontal count.")
            .arg(Component(id % 10));
    if (inRange(3500))
        return QStringLiteral("<b>Wrap mode</b><br>How the series is brought into the colour range: Cycled starts "
                              "again from the other end, Reflected turns back like a mirror, Scaled squeezes every "
                              "value smoothly into the range.");
    if (inRange(3510))
        return QStringLiteral("<b>Tile style</b><br>Normal uses every combination of horizontal and vertical "
                              "waves; Diamond only the diagonal ones, which gives diamond-shaped patterns.");
    if (inRange(3520))
        return QStringLiteral("<b>Amplitude range</b><br>The smallest and largest size, 0 to 100, of the random "
                              "coefficients of %1. Narrowing it needs new coefficients.").arg(Component(id - 3520));
    if (inRange(3540, 5) || inRange(3550, 5)) {
        static const char* const what[] = {"horizontal harmonics", "vertical harmonics", "wrap mode", "tile style", "amplitude range"};
        const bool rgb = id < 3550;
        return QStringLiteral("<b>Apply to all %1 components</b><br>Copies the %2 of %3 to the other ticked "
                              "components of the group.")
            .arg(rgb ? QStringLiteral("RGB") : QStringLiteral("HSL"), QString::fromLatin1(what[id % 10]),
                 rgb ? QStringLiteral("Red") : QStringLiteral("Hue"));
    }
    if (inRange(4000))
        return QStringLiteral("<b>%1 symmetry</b><br>Choose which mirrors and turns leave the %1 pattern unchanged "
                              "(or turn it into its opposite). Choosing a stricter symmetry needs new coefficients.")
            .arg(Component(id - 4000));
    if (id >= 4100 && id < 4160) {
        const int column = (id - 4100) / 10;
        const int c = (id - 4100) % 10;
        if (c == 6)
            return QStringLiteral("<b>Symmetry column</b><br>%1.").arg(QString::fromLatin1(kSymmetryColumns[column]));
        if (c < 6)
            return QStringLiteral("<b>Symmetry value</b><br>For the %1: a plus sign means the pattern stays the same, "
                                  "a minus sign that it turns into its opposite, a circle that it is free.")
                .arg(QString::fromLatin1(kSymmetryColumns[column]));
        return {};
    }
    if (id == 4310 || id == 4311)
        return QStringLiteral("<b>Apply to all %1 components</b><br>Gives the other ticked components of the group the "
                              "symmetry of %2.")
            .arg(id == 4310 ? QStringLiteral("RGB") : QStringLiteral("HSL"), id == 4310 ? QStringLiteral("Red") : QStringLiteral("Hue"));
    if (id == 6002)
        return QStringLiteral("<b>Correlations</b><br>Each row tells how a cleared component is computed: a weight for "
                              "each ticked component, a constant (+) and a random spread (Free). Grey cells have no effect.");
    if (id == 6001)
        return QStringLiteral("<b>Coefficients</b><br>One table of one component: rows are the horizontal harmonics, "
                              "columns the vertical ones. Type whole numbers; editing may break the symmetries.");
    if (inRange(5000) || inRange(5010) || inRange(5100) || inRange(5110)) {
        const int base = id - id % 10;
        const QString table = base == 5000   ? QStringLiteral("Cos/Cos")
                              : base == 5010 ? QStringLiteral("Cos/Sin")
                              : base == 5100 ? QStringLiteral("Sin/Cos")
                                             : QStringLiteral("Sin/Sin");
        return QStringLiteral("<b>%1 coefficients</b><br>Opens the %1 table of %2: + stands for cosine and - for sine, "
                              "the first sign across, the second down.").arg(table, Component(id % 10));
    }
    return {};
}

QString TopicForName(const QString& name)
{
    static const QHash<QString, QString> topics = {
        {QStringLiteral("CMainFrame"), QStringLiteral("commands.html")},
        {QStringLiteral("CChildFrame"), QStringLiteral("commands.html#view")},
        {QStringLiteral("CQuorrelView"), QStringLiteral("commands.html#view")},
        {QStringLiteral("CQuorrelProp"), QStringLiteral("properties.html")},
        {QStringLiteral("CPropsGeneral"), QStringLiteral("properties.html#general")},
        {QStringLiteral("CPropsColors"), QStringLiteral("properties.html#colors")},
        {QStringLiteral("CPropsShapes"), QStringLiteral("properties.html#shapes")},
        {QStringLiteral("CPropsSymmetries"), QStringLiteral("properties.html#symmetries")},
        {QStringLiteral("CPropsCorrelations"), QStringLiteral("properties.html#correlations")},
        {QStringLiteral("CCoeffsMainDlg"), QStringLiteral("coefficients.html")},
        {QStringLiteral("CCoeffsDlg"), QStringLiteral("coefficients.html#table")},
        {QStringLiteral("CAboutDlg"), QStringLiteral("index.html")},
        {QStringLiteral("ExportImageDialog"), QStringLiteral("files.html#export")},
        {QStringLiteral("QFileDialog"), QStringLiteral("files.html#documents")},
        {QStringLiteral("QPrintDialog"), QStringLiteral("files.html#printing")},
        {QStringLiteral("QPageSetupDialog"), QStringLiteral("files.html#printing")},
        {QStringLiteral("QPrintPreviewDialog"), QStringLiteral("files.html#printing")},
        {QStringLiteral("HelpWindow"), QStringLiteral("index.html")},
        {QStringLiteral("CPresetGallery"), QStringLiteral("presets.html")},
        {QStringLiteral("CScreenImageDialog"), QStringLiteral("wallpapers.html#editor")},
        {QStringLiteral("CAnimationExportDialog"), QStringLiteral("animation.html#export")},
        {QStringLiteral("CRotationDialog"), QStringLiteral("rotation.html#dialog")},
        {QStringLiteral("CPrintPreviewDialog"), QStringLiteral("files.html#printing")},
    };
    return topics.value(name);
}

QString ContentsTopic()
{
    return QStringLiteral("index.html");
}

} // namespace quorrel::desktop
