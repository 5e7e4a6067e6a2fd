<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE">
<context>
    <name>Commands</name>
    <message>
        <source>&amp;New</source>
        <translation>&amp;Neu</translation>
    </message>
    <message>
        <source>Ctrl+N</source>
        <translation>Strg+N</translation>
    </message>
    <message>
        <source>Ctrl+W</source>
        <translation>Strg+W</translation>
    </message>
    <message>
        <source>Set As &amp;Living Wallpaper</source>
        <translation>Als lebendes Hintergrundbild fes&amp;tlegen</translation>
    </message>
    <message>
        <source>Make the tile&apos;s loop the desktop&apos;s moving wallpaper, also after the next login</source>
        <translation>Die Schleife der Kachel zum bewegten Hintergrundbild des Desktops machen, auch nach der nächsten Anmeldung</translation>
    </message>
    <message>
        <source>Set As Living Wallpaper</source>
        <translation>Als lebendes Hintergrundbild festlegen</translation>
    </message>
    <message>
        <source>Create a new document</source>
        <translation>Ein neues Dokument anlegen</translation>
    </message>
    <message>
        <source>New</source>
        <translation>Neu</translation>
    </message>
    <message>
        <source>&amp;Open...</source>
        <translation>Ö&amp;ffnen...</translation>
    </message>
    <message>
        <source>Ctrl+O</source>
        <translation>Strg+O</translation>
    </message>
    <message>
        <source>Open an existing document</source>
        <translation>Ein vorhandenes Dokument öffnen</translation>
    </message>
    <message>
        <source>Open</source>
        <translation>Öffnen</translation>
    </message>
    <message>
        <source>&amp;Close</source>
        <translation>Schl&amp;ießen</translation>
    </message>
    <message>
        <source>Close the active document</source>
        <translation>Das aktive Dokument schließen</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Schließen</translation>
    </message>
    <message>
        <source>&amp;Save</source>
        <translation>&amp;Speichern</translation>
    </message>
    <message>
        <source>Ctrl+S</source>
        <translation>Strg+S</translation>
    </message>
    <message>
        <source>Save the active document</source>
        <translation>Das aktive Dokument speichern</translation>
    </message>
    <message>
        <source>Save</source>
        <translation>Speichern</translation>
    </message>
    <message>
        <source>Save &amp;As...</source>
        <translation>Speichern &amp;unter...</translation>
    </message>
    <message>
        <source>Save the active document with a new name</source>
        <translation>Das aktive Dokument unter einem neuen Namen speichern</translation>
    </message>
    <message>
        <source>Save As</source>
        <translation>Speichern unter</translation>
    </message>
    <message>
        <source>&amp;Export Image...</source>
        <translation>Bild &amp;exportieren...</translation>
    </message>
    <message>
        <source>Export as other graphical types</source>
        <translation>In andere Grafikformate exportieren</translation>
    </message>
    <message>
        <source>Export Image</source>
        <translation>Bild exportieren</translation>
    </message>
    <message>
        <source>Export Screen-Si&amp;zed Image...</source>
        <translation>Bildschirm&amp;großes Bild exportieren...</translation>
    </message>
    <message>
        <source>Export the tile repeated to the size of a screen</source>
        <translation>Die Kachel wiederholt auf Bildschirmgröße exportieren</translation>
    </message>
    <message>
        <source>Export Screen-Sized Image</source>
        <translation>Bildschirmgroßes Bild exportieren</translation>
    </message>
    <message>
        <source>Set As &amp;Wallpaper (Tiled)</source>
        <translation>Als &amp;Hintergrundbild festlegen (gekachelt)</translation>
    </message>
    <message>
        <source>&amp;Print...</source>
        <translation>&amp;Drucken...</translation>
    </message>
    <message>
        <source>Ctrl+P</source>
        <translation>Strg+P</translation>
    </message>
    <message>
        <source>Print the active document</source>
        <translation>Das aktive Dokument drucken</translation>
    </message>
    <message>
        <source>Print</source>
        <translation>Drucken</translation>
    </message>
    <message>
        <source>Print Pre&amp;view</source>
        <translation>Druck&amp;vorschau</translation>
    </message>
    <message>
        <source>Display full pages</source>
        <translation>Ganze Seiten anzeigen</translation>
    </message>
    <message>
        <source>Print Preview</source>
        <translation>Druckvorschau</translation>
    </message>
    <message>
        <source>P&amp;rint Setup...</source>
        <translation>D&amp;ruckereinrichtung...</translation>
    </message>
    <message>
        <source>Change the printer and printing options</source>
        <translation>Den Drucker und die Druckoptionen ändern</translation>
    </message>
    <message>
        <source>Print Setup</source>
        <translation>Druckereinrichtung</translation>
    </message>
    <message>
        <source>E&amp;xit</source>
        <translation>&amp;Beenden</translation>
    </message>
    <message>
        <source>Quit the application; prompts to save documents</source>
        <translation>Das Programm beenden; fragt, ob Dokumente gespeichert werden sollen</translation>
    </message>
    <message>
        <source>Exit</source>
        <translation>Beenden</translation>
    </message>
    <message>
        <source>&amp;Undo</source>
        <translation>&amp;Rückgängig</translation>
    </message>
    <message>
        <source>Ctrl+Z</source>
        <translation>Strg+Z</translation>
    </message>
    <message>
        <source>Undo the last action</source>
        <translation>Die letzte Aktion rückgängig machen</translation>
    </message>
    <message>
        <source>Undo</source>
        <translation>Rückgängig</translation>
    </message>
    <message>
        <source>&amp;Redo</source>
        <translation>&amp;Wiederherstellen</translation>
    </message>
    <message>
        <source>Ctrl+Y</source>
        <translation>Strg+Y</translation>
    </message>
    <message>
        <source>Redo the previously undone action</source>
        <translation>Die zuletzt rückgängig gemachte Aktion wiederherstellen</translation>
    </message>
    <message>
        <source>Redo</source>
        <translation>Wiederherstellen</translation>
    </message>
    <message>
        <source>&amp;Copy</source>
        <translation>&amp;Kopieren</translation>
    </message>
    <message>
        <source>Ctrl+C</source>
        <translation>Strg+C</translation>
    </message>
    <message>
        <source>Copy the selection and put it on the Clipboard</source>
        <translation>Die Auswahl kopieren und in die Zwischenablage legen</translation>
    </message>
    <message>
        <source>Copy</source>
        <translation>Kopieren</translation>
    </message>
    <message>
        <source>&amp;Properties...</source>
        <translation>&amp;Eigenschaften...</translation>
    </message>
    <message>
        <source>Properties</source>
        <translation>Eigenschaften</translation>
    </message>
    <message>
        <source>Coe&amp;fficients...</source>
        <translation>Koe&amp;ffizienten...</translation>
    </message>
    <message>
        <source>Shift+F4</source>
        <translation>Umschalt+F4</translation>
    </message>
    <message>
        <source>Coefficients</source>
        <translation>Koeffizienten</translation>
    </message>
    <message>
        <source>Random &amp;Generation</source>
        <translation>Zufällig &amp;generieren</translation>
    </message>
    <message>
        <source>Random Generation</source>
        <translation>Zufällig generieren</translation>
    </message>
    <message>
        <source>Slide &amp;Show</source>
        <translation>&amp;Diashow</translation>
    </message>
    <message>
        <source>Slide Show</source>
        <translation>Diashow</translation>
    </message>
    <message>
        <source>Random Desktop</source>
        <translation>Zufälliger Desktop</translation>
    </message>
    <message>
        <source>Random Desktop Wallpapers</source>
        <translation>Zufällige Hintergrundbilder für den Desktop</translation>
    </message>
    <message>
        <source>Desktop &amp;Rotation...</source>
        <translation>Desktop-Ro&amp;tation...</translation>
    </message>
    <message>
        <source>Make the desktop change its wallpaper by itself, without the editor</source>
        <translation>Den Desktop sein Hintergrundbild selbst wechseln lassen, ohne den Editor</translation>
    </message>
    <message>
        <source>Desktop Rotation</source>
        <translation>Desktop-Rotation</translation>
    </message>
    <message>
        <source>&amp;Toolbar</source>
        <translation>&amp;Symbolleiste</translation>
    </message>
    <message>
        <source>Show or hide the toolbar</source>
        <translation>Die Symbolleiste ein- oder ausblenden</translation>
    </message>
    <message>
        <source>Toggle ToolBar</source>
        <translation>Symbolleiste ein/aus</translation>
    </message>
    <message>
        <source>&amp;Status Bar</source>
        <translation>S&amp;tatusleiste</translation>
    </message>
    <message>
        <source>Show or hide the status bar</source>
        <translation>Die Statusleiste ein- oder ausblenden</translation>
    </message>
    <message>
        <source>Toggle StatusBar</source>
        <translation>Statusleiste ein/aus</translation>
    </message>
    <message>
        <source>Zoom &amp;In</source>
        <translation>Ver&amp;größern</translation>
    </message>
    <message>
        <source>Zoom In</source>
        <translation>Vergrößern</translation>
    </message>
    <message>
        <source>Zoom &amp;Out</source>
        <translation>Ver&amp;kleinern</translation>
    </message>
    <message>
        <source>Zoom Out</source>
        <translation>Verkleinern</translation>
    </message>
    <message>
        <source>Zoom &amp;Normal</source>
        <translation>&amp;Normalgröße</translation>
    </message>
    <message>
        <source>Zoom Normal</source>
        <translation>Normalgröße</translation>
    </message>
    <message>
        <source>&amp;Full Screen</source>
        <translation>&amp;Vollbild</translation>
    </message>
    <message>
        <source>Full Screen</source>
        <translation>Vollbild</translation>
    </message>
    <message>
        <source>Refresh Image</source>
        <translation>Bild neu zeichnen</translation>
    </message>
    <message>
        <source>Refresh</source>
        <translation>Aktualisieren</translation>
    </message>
    <message>
        <source>&amp;New Window</source>
        <translation>&amp;Neues Fenster</translation>
    </message>
    <message>
        <source>Open another window for the active document</source>
        <translation>Ein weiteres Fenster für das aktive Dokument öffnen</translation>
    </message>
    <message>
        <source>New Window</source>
        <translation>Neues Fenster</translation>
    </message>
    <message>
        <source>&amp;Cascade</source>
        <translation>Ü&amp;berlappend</translation>
    </message>
    <message>
        <source>Arrange windows so they overlap</source>
        <translation>Die Fenster überlappend anordnen</translation>
    </message>
    <message>
        <source>Cascade Windows</source>
        <translation>Fenster überlappend</translation>
    </message>
    <message>
        <source>&amp;Tile</source>
        <translation>Neben&amp;einander</translation>
    </message>
    <message>
        <source>Arrange windows as non-overlapping tiles</source>
        <translation>Die Fenster nebeneinander anordnen, ohne Überlappung</translation>
    </message>
    <message>
        <source>Tile Windows</source>
        <translation>Fenster nebeneinander</translation>
    </message>
    <message>
        <source>&amp;Arrange Icons</source>
        <translation>&amp;Symbole anordnen</translation>
    </message>
    <message>
        <source>Arrange icons at the bottom of the window</source>
        <translation>Die Symbole am unteren Rand des Fensters anordnen</translation>
    </message>
    <message>
        <source>Arrange Icons</source>
        <translation>Symbole anordnen</translation>
    </message>
    <message>
        <source>&amp;Help Topics</source>
        <translation>&amp;Hilfethemen</translation>
    </message>
    <message>
        <source>List Help topics</source>
        <translation>Die Hilfethemen auflisten</translation>
    </message>
    <message>
        <source>Help Topics</source>
        <translation>Hilfethemen</translation>
    </message>
    <message>
        <source>&amp;About Quorrel...</source>
        <translation>Ü&amp;ber Quorrel...</translation>
    </message>
    <message>
        <source>Display program information, version number and copyright</source>
        <translation>Programminformationen, Versionsnummer und Copyright anzeigen</translation>
    </message>
    <message>
        <source>About</source>
        <translation>Über</translation>
    </message>
    <message>
        <source>Display help for current task or command</source>
        <translation>Hilfe zur aktuellen Aufgabe oder zum Befehl anzeigen</translation>
    </message>
    <message>
        <source>Help</source>
        <translation>Hilfe</translation>
    </message>
    <message>
        <source>Display help for clicked on buttons, menus and windows</source>
        <translation>Hilfe zu angeklickten Schaltflächen, Menüs und Fenstern anzeigen</translation>
    </message>
    <message>
        <source>Cut the selection and put it on the Clipboard</source>
        <translation>Die Auswahl ausschneiden und in die Zwischenablage legen</translation>
    </message>
    <message>
        <source>Cut</source>
        <translation>Ausschneiden</translation>
    </message>
    <message>
        <source>Insert Clipboard contents</source>
        <translation>Den Inhalt der Zwischenablage einfügen</translation>
    </message>
    <message>
        <source>Paste</source>
        <translation>Einfügen</translation>
    </message>
    <message>
        <source>New &amp;from Preset...</source>
        <translation>Neu aus Vor&amp;lage...</translation>
    </message>
    <message>
        <source>Create a new document from a preset</source>
        <translation>Ein neues Dokument aus einer Vorlage anlegen</translation>
    </message>
    <message>
        <source>New from Preset</source>
        <translation>Neu aus Vorlage</translation>
    </message>
    <message>
        <source>Reset to Built-in &amp;Defaults</source>
        <translation>Eingebaute &amp;Standardwerte wiederherstellen</translation>
    </message>
    <message>
        <source>Put the built-in default settings back and generate a new tile</source>
        <translation>Die eingebauten Standardeinstellungen wiederherstellen und eine neue Kachel erzeugen</translation>
    </message>
    <message>
        <source>Reset to Built-in Defaults</source>
        <translation>Eingebaute Standardwerte wiederherstellen</translation>
    </message>
    <message>
        <source>&amp;Continuous Colours</source>
        <translation>&amp;Fließende Farben</translation>
    </message>
    <message>
        <source>Render the view continuously: the same pattern without the exact tile&apos;s grain</source>
        <translation>Die Ansicht stufenlos berechnen: dasselbe Muster ohne die Körnung der exakten Kachel</translation>
    </message>
    <message>
        <source>Continuous Colours</source>
        <translation>Fließende Farben</translation>
    </message>
    <message>
        <source>Set As Wallpaper renders the tile at %1 its size</source>
        <translation>„Als Hintergrundbild festlegen“ berechnet die Kachel in %1 ihrer Größe</translation>
    </message>
    <message>
        <source>Wallpaper Scale %1</source>
        <translation>Hintergrundbild-Skalierung %1</translation>
    </message>
    <message>
        <source>&amp;Animate</source>
        <translation>&amp;Animieren</translation>
    </message>
    <message>
        <source>Play the tile&apos;s loop: it moves and comes back seamlessly</source>
        <translation>Die Schleife der Kachel abspielen: Sie bewegt sich und kehrt nahtlos zurück</translation>
    </message>
    <message>
        <source>Animate</source>
        <translation>Animieren</translation>
    </message>
    <message>
        <source>Export &amp;Animation...</source>
        <translation>&amp;Animation exportieren...</translation>
    </message>
    <message>
        <source>Write the tile&apos;s loop as animated WebP, GIF, WebM or PNG frames</source>
        <translation>Die Schleife der Kachel als animiertes WebP, GIF, WebM oder als PNG-Einzelbilder schreiben</translation>
    </message>
    <message>
        <source>Export Animation</source>
        <translation>Animation exportieren</translation>
    </message>
    <message>
        <source>Recent File</source>
        <translation>Zuletzt geöffnete Datei</translation>
    </message>
    <message>
        <source>Open this document</source>
        <translation>Dieses Dokument öffnen</translation>
    </message>
</context>
<context>
    <name>Components</name>
    <message>
        <source>&amp;Red</source>
        <translation>&amp;Rot</translation>
    </message>
    <message>
        <source>&amp;Green</source>
        <translation>&amp;Grün</translation>
    </message>
    <message>
        <source>&amp;Blue</source>
        <translation>&amp;Blau</translation>
    </message>
    <message>
        <source>&amp;Hue</source>
        <translation>&amp;Farbton</translation>
    </message>
    <message>
        <source>&amp;Saturation</source>
        <translation>&amp;Sättigung</translation>
    </message>
    <message>
        <source>&amp;Luminosity</source>
        <translation>&amp;Helligkeit</translation>
    </message>
    <message>
        <source>Red</source>
        <translation>Rot</translation>
    </message>
    <message>
        <source>Green</source>
        <translation>Grün</translation>
    </message>
    <message>
        <source>Blue</source>
        <translation>Blau</translation>
    </message>
    <message>
        <source>Hue</source>
        <translation>Ton</translation>
    </message>
    <message>
        <source>Sat</source>
        <translation>Sätt</translation>
    </message>
    <message>
        <source>Lum</source>
        <translation>Hell</translation>
    </message>
</context>
<context>
    <name>EditingCommands</name>
    <message>
        <source>Warning</source>
        <translation>Warnung</translation>
    </message>
    <message>
        <source>The changes made will modify the symmetries.</source>
        <translation>Die vorgenommenen Änderungen verändern die Symmetrien.</translation>
    </message>
</context>
<context>
    <name>ExportDialog</name>
    <message>
        <source>%1
The folder does not exist.
Check the path and try again.</source>
        <translation>%1
Der Ordner ist nicht vorhanden.
Prüfen Sie den Pfad und versuchen Sie es erneut.</translation>
    </message>
    <message>
        <source>Export Image</source>
        <translation>Bild exportieren</translation>
    </message>
    <message>
        <source>Bitmap image</source>
        <translation>Bitmap-Bild</translation>
    </message>
    <message>
        <source>JPEG image</source>
        <translation>JPEG-Bild</translation>
    </message>
    <message>
        <source>PNG image</source>
        <translation>PNG-Bild</translation>
    </message>
    <message>
        <source>GIF image</source>
        <translation>GIF-Bild</translation>
    </message>
    <message>
        <source>TIFF image</source>
        <translation>TIFF-Bild</translation>
    </message>
</context>
<context>
    <name>ExportProgress</name>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <source>Cancelling...</source>
        <translation>Wird abgebrochen...</translation>
    </message>
</context>
<context>
    <name>HelpSystem</name>
    <message>
        <source>Failed to launch help.</source>
        <translation>Die Hilfe konnte nicht gestartet werden.</translation>
    </message>
</context>
<context>
    <name>MessageBox</name>
    <message>
        <source>Save As</source>
        <translation>Speichern unter</translation>
    </message>
    <message>
        <source>All Files (*.*)</source>
        <translation>Alle Dateien (*.*)</translation>
    </message>
    <message>
        <source>Failed to open document.</source>
        <translation>Das Dokument konnte nicht geöffnet werden.</translation>
    </message>
    <message>
        <source>Unexpected file format.</source>
        <translation>Unerwartetes Dateiformat.</translation>
    </message>
    <message>
        <source>%1
Cannot find this file.
Please verify that the correct path and file name are given.</source>
        <translation>%1
Diese Datei wurde nicht gefunden.
Bitte prüfen Sie, ob Pfad und Dateiname richtig angegeben sind.</translation>
    </message>
    <message>
        <source>Failed to save document.</source>
        <translation>Das Dokument konnte nicht gespeichert werden.</translation>
    </message>
    <message>
        <source>Destination disk drive is full.</source>
        <translation>Das Ziellaufwerk ist voll.</translation>
    </message>
    <message>
        <source>Failed to create empty document.</source>
        <translation>Das leere Dokument konnte nicht angelegt werden.</translation>
    </message>
    <message>
        <source>Save changes to %1?</source>
        <translation>Änderungen an %1 speichern?</translation>
    </message>
    <message>
        <source>Print Setup</source>
        <translation>Druckereinrichtung</translation>
    </message>
    <message>
        <source>Open</source>
        <translation>Öffnen</translation>
    </message>
</context>
<context>
    <name>PrintJob</name>
    <message>
        <source>Could not start print job.</source>
        <translation>Der Druckauftrag konnte nicht gestartet werden.</translation>
    </message>
    <message>
        <source>
The printer &quot;%1&quot; did not take it: %2</source>
        <translation>
Der Drucker „%1“ hat ihn nicht angenommen: %2</translation>
    </message>
</context>
<context>
    <name>PrinterChoice</name>
    <message>
        <source>Nothing was printed. To print into a PDF file, choose &quot;Print to File (PDF)&quot; in Print Setup.</source>
        <translation>Es wurde nichts gedruckt. Um in eine PDF-Datei zu drucken, wählen Sie „In Datei drucken (PDF)“ in der Druckereinrichtung.</translation>
    </message>
    <message>
        <source>There is no printer.
%1</source>
        <translation>Es ist kein Drucker vorhanden.
%1</translation>
    </message>
    <message>
        <source>The printer &quot;%1&quot; is no longer available, and there is no other printer.
%2</source>
        <translation>Der Drucker „%1“ ist nicht mehr verfügbar, und es gibt keinen anderen Drucker.
%2</translation>
    </message>
    <message>
        <source>The printer &quot;%1&quot; is no longer available.
&quot;%2&quot; is used instead.</source>
        <translation>Der Drucker „%1“ ist nicht mehr verfügbar.
Stattdessen wird „%2“ verwendet.</translation>
    </message>
</context>
<context>
    <name>WallpaperResult</name>
    <message>
        <source>The wallpaper could not be set.

Desktop: %1, %2.
</source>
        <translation>Das Hintergrundbild konnte nicht festgelegt werden.

Desktop: %1, %2.
</translation>
    </message>
    <message>
        <source>Tried: nothing.
</source>
        <translation>Versucht: nichts.
</translation>
    </message>
    <message>
        <source>Tried:
</source>
        <translation>Versucht:
</translation>
    </message>
    <message>
        <source>  (%1 earlier steps)
</source>
        <translation>  (%1 frühere Schritte)
</translation>
    </message>
    <message>
        <source>Problem: %1

</source>
        <translation>Problem: %1

</translation>
    </message>
    <message>
        <source>The image is in:
%1
Set it as a tiled wallpaper by hand.</source>
        <translation>Das Bild liegt in:
%1
Legen Sie es von Hand als gekacheltes Hintergrundbild fest.</translation>
    </message>
    <message>
        <source>The image could not be written to:
%1</source>
        <translation>Das Bild konnte nicht geschrieben werden nach:
%1</translation>
    </message>
</context>
<context>
    <name>quorrel::app::CAboutDlg</name>
    <message>
        <source>About Quorrel</source>
        <translation>Über Quorrel</translation>
    </message>
    <message>
        <source>Copyright © 2026 Vantorel.
Free software under the GNU General Public License, version 3 or later.</source>
        <translation>Copyright © 2026 Vantorel.
Freie Software unter der GNU General Public License, Version 3 oder später.</translation>
    </message>
    <message>
        <source>Vantorel on the web: &lt;a href=&quot;https://www.vantorel.com/quorrel&quot;&gt;www.vantorel.com/quorrel&lt;/a&gt;</source>
        <translation>Vantorel im Web: &lt;a href=&quot;https://www.vantorel.com/quorrel&quot;&gt;www.vantorel.com/quorrel&lt;/a&gt;</translation>
    </message>
</context>
<context>
    <name>quorrel::app::CFloatingToolBar</name>
    <message>
        <source>Full Screen</source>
        <translation>Vollbild</translation>
    </message>
</context>
<context>
    <name>quorrel::app::CMainFrame</name>
    <message>
        <source>For Help, press F1</source>
        <translation>Drücken Sie F1, um Hilfe zu erhalten</translation>
    </message>
    <message>
        <source>Standard</source>
        <translation>Standard</translation>
    </message>
    <message>
        <source>&amp;File</source>
        <translation>&amp;Datei</translation>
    </message>
    <message>
        <source>&amp;View</source>
        <translation>&amp;Ansicht</translation>
    </message>
    <message>
        <source>&amp;Help</source>
        <translation>&amp;Hilfe</translation>
    </message>
    <message>
        <source>&amp;Edit</source>
        <translation>&amp;Bearbeiten</translation>
    </message>
    <message>
        <source>&amp;Window</source>
        <translation>&amp;Fenster</translation>
    </message>
    <message>
        <source>Wallpaper Sc&amp;ale</source>
        <translation>Hintergrundbild-S&amp;kalierung</translation>
    </message>
    <message>
        <source>Recent File</source>
        <translation>Zuletzt geöffnete Datei</translation>
    </message>
</context>
<context>
    <name>quorrel::app::CMainStatusBar</name>
    <message>
        <source>Zoom</source>
        <translation>Zoom</translation>
    </message>
    <message>
        <source>Progress</source>
        <translation>Fortschritt</translation>
    </message>
    <message>
        <source>CAP</source>
        <translation>UF</translation>
    </message>
    <message>
        <source>NUM</source>
        <translation>NUM</translation>
    </message>
    <message>
        <source>SCRL</source>
        <translation>RF</translation>
    </message>
</context>
<context>
    <name>quorrel::app::CQuorrelApp</name>
    <message>
        <source>Could not start print job.</source>
        <translation>Der Druckauftrag konnte nicht gestartet werden.</translation>
    </message>
</context>
<context>
    <name>quorrel::app::CQuorrelView</name>
    <message>
        <source>Put the built-in default settings back into this document?

A new tile is generated with them.</source>
        <translation>Die eingebauten Standardeinstellungen in dieses Dokument zurückholen?

Mit ihnen wird eine neue Kachel erzeugt.</translation>
    </message>
    <message>
        <source>Wallpaper set on %1: %2</source>
        <translation>Hintergrundbild festgelegt auf %1: %2</translation>
    </message>
    <message>
        <source>Image written to %1</source>
        <translation>Bild geschrieben nach %1</translation>
    </message>
    <message>
        <source>Writing %1 (%2 × %3 pixels)...</source>
        <translation>%1 wird geschrieben (%2 × %3 Pixel)...</translation>
    </message>
    <message>
        <source>Export cancelled: %1 was not written.</source>
        <translation>Export abgebrochen: %1 wurde nicht geschrieben.</translation>
    </message>
    <message>
        <source>Image written to %1 (%2 × %3 pixels)</source>
        <translation>Bild geschrieben nach %1 (%2 × %3 Pixel)</translation>
    </message>
</context>
<context>
    <name>quorrel::app::CViewAnimation</name>
    <message>
        <source>The living wallpaper could not be set.

%1</source>
        <translation>Das lebende Hintergrundbild konnte nicht festgelegt werden.

%1</translation>
    </message>
    <message>
        <source>Set As Living Wallpaper</source>
        <translation>Als lebendes Hintergrundbild festlegen</translation>
    </message>
    <message>
        <source>Living wallpaper on %1: %2</source>
        <translation>Lebendes Hintergrundbild auf %1: %2</translation>
    </message>
    <message>
        <source>A living wallpaper is set up:

%1

Stop it and put the previous wallpaper back? (A desktop rotation also stops it.)</source>
        <translation>Ein lebendes Hintergrundbild ist eingerichtet:

%1

Anhalten und das vorherige Hintergrundbild zurückholen? (Auch eine Desktop-Rotation hält es an.)</translation>
    </message>
    <message>
        <source>The living wallpaper could not be stopped.

%1</source>
        <translation>Das lebende Hintergrundbild konnte nicht angehalten werden.

%1</translation>
    </message>
    <message>
        <source>Stopping</source>
        <translation>Anhalten</translation>
    </message>
    <message>
        <source>Cancel Export</source>
        <translation>Export abbrechen</translation>
    </message>
    <message>
        <source>The animation could not be exported.

%1</source>
        <translation>Die Animation konnte nicht exportiert werden.

%1</translation>
    </message>
</context>
<context>
    <name>quorrel::desktop::HelpWindow</name>
    <message>
        <source>Quorrel Help</source>
        <translation>Quorrel-Hilfe</translation>
    </message>
    <message>
        <source>&amp;Contents</source>
        <translation>&amp;Inhalt</translation>
    </message>
    <message>
        <source>&amp;Back</source>
        <translation>&amp;Zurück</translation>
    </message>
    <message>
        <source>&amp;Forward</source>
        <translation>&amp;Vorwärts</translation>
    </message>
    <message>
        <source>Quorrel Help - %1</source>
        <translation>Quorrel-Hilfe - %1</translation>
    </message>
</context>
<context>
    <name>quorrel::editors::CCoeffsDlg</name>
    <message>
        <source>Coefficients</source>
        <translation>Koeffizienten</translation>
    </message>
    <message>
        <source>Out of memory.</source>
        <translation>Nicht genügend Arbeitsspeicher.</translation>
    </message>
</context>
<context>
    <name>quorrel::editors::CCoeffsMainDlg</name>
    <message>
        <source>Cos/Cos Coefficients</source>
        <translation>Cos/Cos-Koeffizienten</translation>
    </message>
    <message>
        <source>Cos/Sin Coefficients</source>
        <translation>Cos/Sin-Koeffizienten</translation>
    </message>
    <message>
        <source>Sin/Cos Coefficients</source>
        <translation>Sin/Cos-Koeffizienten</translation>
    </message>
    <message>
        <source>Sin/Sin Coefficients</source>
        <translation>Sin/Sin-Koeffizienten</translation>
    </message>
    <message>
        <source>Coefficients</source>
        <translation>Koeffizienten</translation>
    </message>
    <message>
        <source>Colors</source>
        <translation>Farben</translation>
    </message>
</context>
<context>
    <name>quorrel::editors::CPresetGallery</name>
    <message>
        <source>New from Preset</source>
        <translation>Neu aus Vorlage</translation>
    </message>
    <message>
        <source>Choose a starting point for the new document. Another shows a new tile of the selected preset.</source>
        <translation>Wählen Sie einen Ausgangspunkt für das neue Dokument. „Weitere“ zeigt eine neue Kachel der gewählten Vorlage.</translation>
    </message>
    <message>
        <source>&amp;Another</source>
        <translation>&amp;Weitere</translation>
    </message>
    <message>
        <source>A new tile of the selected preset</source>
        <translation>Eine neue Kachel der gewählten Vorlage</translation>
    </message>
    <message>
        <source>%1: a %2 × %3 tile, seed %4</source>
        <translation>%1: eine Kachel von %2 × %3, Startwert %4</translation>
    </message>
</context>
<context>
    <name>quorrel::editors::CPropsColors</name>
    <message>
        <source> Colors</source>
        <translation> Farben</translation>
    </message>
    <message>
        <source>Apply the range to all RGB components</source>
        <translation>Den Bereich auf alle RGB-Komponenten übertragen</translation>
    </message>
    <message>
        <source>Colors</source>
        <translation>Farben</translation>
    </message>
    <message>
        <source>Color Ranges</source>
        <translation>Farbbereiche</translation>
    </message>
    <message>
        <source>%1 color range</source>
        <translation>%1: Farbbereich</translation>
    </message>
</context>
<context>
    <name>quorrel::editors::CPropsCorrelations</name>
    <message>
        <source>Correlations</source>
        <translation>Korrelationen</translation>
    </message>
    <message>
        <source>Colors</source>
        <translation>Farben</translation>
    </message>
    <message>
        <source>Red</source>
        <translation>Rot</translation>
    </message>
    <message>
        <source>Green</source>
        <translation>Grün</translation>
    </message>
    <message>
        <source>Blue</source>
        <translation>Blau</translation>
    </message>
    <message>
        <source>Hue</source>
        <translation>Ton</translation>
    </message>
    <message>
        <source>Sat</source>
        <translation>Sätt</translation>
    </message>
    <message>
        <source>Lum</source>
        <translation>Hell</translation>
    </message>
    <message>
        <source>Free</source>
        <translation>Frei</translation>
    </message>
    <message>
        <source>Out of memory.</source>
        <translation>Nicht genügend Arbeitsspeicher.</translation>
    </message>
</context>
<context>
    <name>quorrel::editors::CPropsGeneral</name>
    <message>
        <source>General</source>
        <translation>Allgemein</translation>
    </message>
    <message>
        <source>Dimensions</source>
        <translation>Abmessungen</translation>
    </message>
    <message>
        <source>Width:</source>
        <translation>Breite:</translation>
    </message>
    <message>
        <source>Height:</source>
        <translation>Höhe:</translation>
    </message>
    <message>
        <source>Width</source>
        <translation>Breite</translation>
    </message>
    <message>
        <source>Height</source>
        <translation>Höhe</translation>
    </message>
</context>
<context>
    <name>quorrel::editors::CPropsShapes</name>
    <message>
        <source>horizontal harmonics</source>
        <translation>Die horizontalen Harmonischen</translation>
    </message>
    <message>
        <source>vertical harmonics</source>
        <translation>Die vertikalen Harmonischen</translation>
    </message>
    <message>
        <source>wrap mode</source>
        <translation>Den Überlaufmodus</translation>
    </message>
    <message>
        <source>tile style</source>
        <translation>Den Kachelstil</translation>
    </message>
    <message>
        <source>amplitudes range</source>
        <translation>Den Amplitudenbereich</translation>
    </message>
    <message>
        <source>Shapes</source>
        <translation>Formen</translation>
    </message>
    <message>
        <source>Harmonics</source>
        <translation>Harmonische</translation>
    </message>
    <message>
        <source>Colors</source>
        <translation>Farben</translation>
    </message>
    <message>
        <source>Horiz</source>
        <translation>Horiz.</translation>
    </message>
    <message>
        <source>Vertical</source>
        <translation>Vertikal</translation>
    </message>
    <message>
        <source>Wrap Mode</source>
        <translation>Überlaufmodus</translation>
    </message>
    <message>
        <source>Tile Style</source>
        <translation>Kachelstil</translation>
    </message>
    <message>
        <source>Amplitudes Ranges</source>
        <translation>Amplitudenbereiche</translation>
    </message>
    <message>
        <source>Apply the %1 to all %2 components</source>
        <translation>%1 auf alle %2-Komponenten übertragen</translation>
    </message>
    <message>
        <source>%1 horizontal harmonics</source>
        <translation>%1: horizontale Harmonische</translation>
    </message>
    <message>
        <source>%1 vertical harmonics</source>
        <translation>%1: vertikale Harmonische</translation>
    </message>
    <message>
        <source>%1 wrap mode</source>
        <translation>%1: Überlaufmodus</translation>
    </message>
    <message>
        <source>%1 tile style</source>
        <translation>%1: Kachelstil</translation>
    </message>
    <message>
        <source>%1 amplitudes range</source>
        <translation>%1: Amplitudenbereich</translation>
    </message>
    <message>
        <source>Cycled</source>
        <translation>Zyklisch</translation>
    </message>
    <message>
        <source>Reflected</source>
        <translation>Gespiegelt</translation>
    </message>
    <message>
        <source>Scaled</source>
        <translation>Skaliert</translation>
    </message>
    <message>
        <source>Normal</source>
        <translation>Normal</translation>
    </message>
    <message>
        <source>Diamond</source>
        <translation>Raute</translation>
    </message>
    <message>
        <source>Warning</source>
        <translation>Warnung</translation>
    </message>
    <message>
        <source>Do you accept the new values for the amplitudes ranges?
This will imply the regeneration of the coefficients.</source>
        <translation>Übernehmen Sie die neuen Werte für die Amplitudenbereiche?
Die Koeffizienten werden dabei neu erzeugt.</translation>
    </message>
</context>
<context>
    <name>quorrel::editors::CPropsSymmetries</name>
    <message>
        <source>Symmetries</source>
        <translation>Symmetrien</translation>
    </message>
    <message>
        <source>Colors</source>
        <translation>Farben</translation>
    </message>
    <message>
        <source>Symmetry</source>
        <translation>Symmetrie</translation>
    </message>
    <message>
        <source>Apply the symmetry to all RGB components</source>
        <translation>Die Symmetrie auf alle RGB-Komponenten übertragen</translation>
    </message>
    <message>
        <source>Apply the symmetry to all HSL components</source>
        <translation>Die Symmetrie auf alle HSL-Komponenten übertragen</translation>
    </message>
    <message>
        <source>%1 symmetry</source>
        <translation>%1: Symmetrie</translation>
    </message>
    <message>
        <source>Warning</source>
        <translation>Warnung</translation>
    </message>
    <message>
        <source>Do you accept the new values for the symmetries?
This will imply the regeneration of the coefficients.</source>
        <translation>Übernehmen Sie die neuen Werte für die Symmetrien?
Die Koeffizienten werden dabei neu erzeugt.</translation>
    </message>
</context>
<context>
    <name>quorrel::editors::CQuorrelProp</name>
    <message>
        <source>Properties</source>
        <translation>Eigenschaften</translation>
    </message>
</context>
<context>
    <name>quorrel::editors::CWizardPage</name>
    <message>
        <source>Please enter a positive integer.</source>
        <translation>Bitte geben Sie eine positive ganze Zahl ein.</translation>
    </message>
    <message>
        <source>Please enter an integer between %1 and %2.</source>
        <translation>Bitte geben Sie eine ganze Zahl zwischen %1 und %2 ein.</translation>
    </message>
</context>
<context>
    <name>quorrel::output::CScreenImageDialog</name>
    <message>
        <source>Export Screen-Sized Image</source>
        <translation>Bildschirmgroßes Bild exportieren</translation>
    </message>
    <message>
        <source>Width</source>
        <translation>Breite</translation>
    </message>
    <message>
        <source>Height</source>
        <translation>Höhe</translation>
    </message>
    <message>
        <source>Off</source>
        <translation>Aus</translation>
    </message>
    <message>
        <source>%1 × %1</source>
        <translation>%1 × %1</translation>
    </message>
    <message>
        <source>&amp;Browse...</source>
        <translation>&amp;Durchsuchen...</translation>
    </message>
    <message>
        <source>&amp;Width:</source>
        <translation>&amp;Breite:</translation>
    </message>
    <message>
        <source>&amp;Height:</source>
        <translation>&amp;Höhe:</translation>
    </message>
    <message>
        <source>&amp;Smooth:</source>
        <translation>&amp;Glätten:</translation>
    </message>
    <message>
        <source>S&amp;cale:</source>
        <translation>&amp;Skalierung:</translation>
    </message>
    <message>
        <source>&amp;File:</source>
        <translation>Da&amp;tei:</translation>
    </message>
    <message>
        <source>The %1 × %2 tile repeated from the top-left corner, as a desktop shows it tiled. The file name&apos;s extension decides the format. Smooth computes 4 or 16 samples a pixel: softer edges, 4 or 16 times the work. Scale renders the same pattern at 2 to 4 times the tile&apos;s width and height: larger and calmer, still seamless.</source>
        <translation>Die Kachel von %1 × %2, von der linken oberen Ecke an wiederholt, wie ein Desktop sie gekachelt zeigt. Die Endung des Dateinamens bestimmt das Format. „Glätten“ berechnet 4 oder 16 Abtastwerte je Pixel: weichere Kanten, 4- oder 16-mal so viel Arbeit. „Skalierung“ berechnet dasselbe Muster in 2- bis 4-facher Breite und Höhe der Kachel: größer und ruhiger, weiterhin nahtlos.</translation>
    </message>
    <message>
        <source>Please enter an integer between %1 and %2.</source>
        <translation>Bitte geben Sie eine ganze Zahl zwischen %1 und %2 ein.</translation>
    </message>
    <message>
        <source>Choose a file name for the image.</source>
        <translation>Wählen Sie einen Dateinamen für das Bild.</translation>
    </message>
    <message>
        <source>%1
The extension names no image format this program writes: use .bmp, .jpg, .png, .gif or .tif.</source>
        <translation>%1
Die Endung bezeichnet kein Bildformat, das dieses Programm schreibt: Verwenden Sie .bmp, .jpg, .png, .gif oder .tif.</translation>
    </message>
    <message>
        <source>%1
This is a folder. Choose a file name.</source>
        <translation>%1
Dies ist ein Ordner. Wählen Sie einen Dateinamen.</translation>
    </message>
    <message>
        <source>%1 already exists.
Do you want to replace it?</source>
        <translation>%1 ist bereits vorhanden.
Möchten Sie die Datei ersetzen?</translation>
    </message>
</context>
<context>
    <name>quorrel::output::animation::CAnimationExportDialog</name>
    <message>
        <source>Standard</source>
        <translation>Standard</translation>
    </message>
    <message>
        <source>Smaller file</source>
        <translation>Kleinere Datei</translation>
    </message>
    <message>
        <source>Higher quality</source>
        <translation>Höhere Qualität</translation>
    </message>
    <message>
        <source>Exact frames (large)</source>
        <translation>Exakte Bilder (groß)</translation>
    </message>
    <message>
        <source>&amp;Quality:</source>
        <translation>&amp;Qualität:</translation>
    </message>
    <message>
        <source>Screen width</source>
        <translation>Bildschirmbreite</translation>
    </message>
    <message>
        <source>Screen height</source>
        <translation>Bildschirmhöhe</translation>
    </message>
    <message>
        <source>Set As &amp;Living Wallpaper</source>
        <translation>Als lebendes Hintergrundbild fes&amp;tlegen</translation>
    </message>
    <message>
        <source>Export Animation</source>
        <translation>Animation exportieren</translation>
    </message>
    <message>
        <source>Animated WebP (*.webp)</source>
        <translation>Animiertes WebP (*.webp)</translation>
    </message>
    <message>
        <source>GIF, looping (*.gif)</source>
        <translation>GIF, als Schleife (*.gif)</translation>
    </message>
    <message>
        <source>WebM video, VP9 (*.webm)</source>
        <translation>WebM-Video, VP9 (*.webm)</translation>
    </message>
    <message>
        <source>PNG frames (*-{n}.png)</source>
        <translation>PNG-Einzelbilder (*-{n}.png)</translation>
    </message>
    <message>
        <source>&amp;Format:</source>
        <translation>&amp;Format:</translation>
    </message>
    <message>
        <source>&amp;Browse...</source>
        <translation>&amp;Durchsuchen...</translation>
    </message>
    <message>
        <source>F&amp;ile:</source>
        <translation>Da&amp;tei:</translation>
    </message>
    <message>
        <source> s</source>
        <translation> s</translation>
    </message>
    <message>
        <source>&amp;Duration:</source>
        <translation>D&amp;auer:</translation>
    </message>
    <message>
        <source>Frames a &amp;second:</source>
        <translation>Bilder pro &amp;Sekunde:</translation>
    </message>
    <message>
        <source>&amp;Keyframes:</source>
        <translation>Schlüssel&amp;bilder:</translation>
    </message>
    <message>
        <source>The tile, %1 x %2</source>
        <translation>Die Kachel, %1 x %2</translation>
    </message>
    <message>
        <source>The tile at %1x, %2 x %3</source>
        <translation>Die Kachel in %1-facher Größe, %2 x %3</translation>
    </message>
    <message>
        <source>Screen-sized, the tile repeated</source>
        <translation>Bildschirmgroß, die Kachel wiederholt</translation>
    </message>
    <message>
        <source>Si&amp;ze:</source>
        <translation>&amp;Größe:</translation>
    </message>
    <message>
        <source>Screen size:</source>
        <translation>Bildschirmgröße:</translation>
    </message>
</context>
<context>
    <name>quorrel::output::rotation::CRotationDialog</name>
    <message>
        <source>Desktop Rotation</source>
        <translation>Desktop-Rotation</translation>
    </message>
    <message>
        <source>The active document</source>
        <translation>Das aktive Dokument</translation>
    </message>
    <message>
        <source>The built-in defaults</source>
        <translation>Die eingebauten Standardwerte</translation>
    </message>
    <message>
        <source>Preset: </source>
        <translation>Vorlage: </translation>
    </message>
    <message>
        <source>&amp;Source:</source>
        <translation>&amp;Quelle:</translation>
    </message>
    <message>
        <source>A number with a unit: 90s, 30m, 2h, 1d or 1h30m</source>
        <translation>Eine Zahl mit Einheit: 90s, 30m, 2h, 1d oder 1h30m</translation>
    </message>
    <message>
        <source>&amp;Interval:</source>
        <translation>&amp;Intervall:</translation>
    </message>
    <message>
        <source>Desktops with a slide show of their own (GNOME, Cinnamon, MATE, XFCE, Plasma) show this many images in turn; elsewhere each change makes a new one</source>
        <translation>Desktops mit eigener Diashow (GNOME, Cinnamon, MATE, XFCE, Plasma) zeigen so viele Bilder im Wechsel; anderswo erzeugt jeder Wechsel ein neues</translation>
    </message>
    <message>
        <source>&amp;Number of images:</source>
        <translation>&amp;Anzahl der Bilder:</translation>
    </message>
    <message>
        <source>&amp;Continuous</source>
        <translation>&amp;Fließend</translation>
    </message>
    <message>
        <source>Sc&amp;ale:</source>
        <translation>S&amp;kalierung:</translation>
    </message>
    <message>
        <source>This quorrel-render does not have %1.</source>
        <translation>Dieses quorrel-render kennt %1 nicht.</translation>
    </message>
    <message>
        <source>S&amp;tart</source>
        <translation>S&amp;tarten</translation>
    </message>
    <message>
        <source>St&amp;op</source>
        <translation>Sto&amp;ppen</translation>
    </message>
</context>
<context>
    <name>quorrel::platform::CMDIFrameWnd</name>
    <message>
        <source>Activate this window</source>
        <translation>Dieses Fenster aktivieren</translation>
    </message>
</context>
<context>
    <name>quorrel::platform::CPrintPreviewDialog</name>
    <message>
        <source>Print Preview</source>
        <translation>Druckvorschau</translation>
    </message>
    <message>
        <source>&amp;Print...</source>
        <translation>&amp;Drucken...</translation>
    </message>
    <message>
        <source>&amp;Next Page</source>
        <translation>&amp;Nächste Seite</translation>
    </message>
    <message>
        <source>Pre&amp;v Page</source>
        <translation>&amp;Vorherige Seite</translation>
    </message>
    <message>
        <source>&amp;Two Page</source>
        <translation>&amp;Zwei Seiten</translation>
    </message>
    <message>
        <source>Zoom &amp;In</source>
        <translation>Ver&amp;größern</translation>
    </message>
    <message>
        <source>Zoom &amp;Out</source>
        <translation>Ver&amp;kleinern</translation>
    </message>
    <message>
        <source>&amp;Close</source>
        <translation>Schl&amp;ießen</translation>
    </message>
    <message>
        <source>&amp;One Page</source>
        <translation>&amp;Eine Seite</translation>
    </message>
</context>
</TS>
