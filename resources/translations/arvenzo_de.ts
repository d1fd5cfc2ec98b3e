<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE">
<context>
    <name>about</name>
    <message>
        <source>Feedback&#13;
&#13;
  Please click on OK button to send any&#13;
  comments or questions you may have!&#13;
</source>
        <translation>Rückmeldung&#13;
&#13;
  Klicken Sie auf OK, um uns Anmerkungen&#13;
  oder Fragen zu schicken!&#13;
</translation>
    </message>
    <message>
        <source>How to extract text content from PDF files?&#13;
&#13;
  If your business need a PDF text extraction tool,&#13;
  there is a solution for this.&#13;
&#13;
  Tessaly has been released a free and&#13;
  useful PDF text content extraction software, called&#13;
  Sarnet.&#13;
&#13;
  For further informations and download this software&#13;
  please click on OK button!&#13;
</source>
        <translation>Wie gewinnt man den Text aus PDF-Dateien?&#13;
&#13;
  Wenn Sie in Ihrer Arbeit Text aus PDF-Dateien&#13;
  gewinnen müssen, gibt es dafür eine Lösung.&#13;
&#13;
  Tessaly hat ein freies und nützliches Programm&#13;
  veröffentlicht, das den Text aus PDF-Dateien holt:&#13;
  Sarnet.&#13;
&#13;
  Für weitere Informationen und zum Herunterladen&#13;
  klicken Sie auf OK!&#13;
</translation>
    </message>
    <message>
        <source>Donate this FREE software!&#13;
&#13;
  If you like Arvenzo you may like to&#13;
  donate the very small sum of $15.00 or €15.00 on PayPal&#13;
  to help us keep developing and updating. Thank you!&#13;
&#13;
  Click on OK button to donate.&#13;
</source>
        <translation>Spenden Sie für diese FREIE Software!&#13;
&#13;
  Wenn Ihnen Arvenzo gefällt, spenden Sie&#13;
  vielleicht den kleinen Betrag von 15,00 $ oder 15,00 € über PayPal,&#13;
  damit wir es weiter entwickeln und pflegen können. Danke!&#13;
&#13;
  Klicken Sie auf OK, um zu spenden.&#13;
</translation>
    </message>
</context>
<context>
    <name>about::TAboutDialog</name>
    <message>
        <source>Free for personal and commercial use.&#13;
It saves every picture of a PDF document&#13;
as an ordinary image file.&#13;
No registration, no time limit.</source>
        <translation>Kostenlos für private und gewerbliche&#13;
Nutzung. Es speichert jedes Bild eines&#13;
PDF-Dokuments als gewöhnliche Bilddatei.&#13;
Keine Anmeldung, keine Zeitbegrenzung.</translation>
    </message>
    <message>
        <source>About</source>
        <translation>Über</translation>
    </message>
    <message>
        <source>Arvenzo logo</source>
        <translation>Arvenzo-Logo</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>About %1</source>
        <translation>Über %1</translation>
    </message>
    <message>
        <source>%1 is free software under the GNU AGPL,
version 3 or later, and comes without warranty.</source>
        <translation>%1 ist freie Software unter der GNU AGPL,
Version 3 oder später, ohne Gewährleistung.</translation>
    </message>
    <message>
        <source>Read the licence</source>
        <translation>Lizenz lesen</translation>
    </message>
</context>
<context>
    <name>app::TMainForm</name>
    <message>
        <source>Select input PDF file</source>
        <translation>PDF-Datei auswählen</translation>
    </message>
    <message>
        <source>Click here to select input PDF file</source>
        <translation>Hier klicken, um die PDF-Datei auszuwählen</translation>
    </message>
    <message>
        <source>Select output folder</source>
        <translation>Zielordner auswählen</translation>
    </message>
    <message>
        <source>Click here to specify the output folder</source>
        <translation>Hier klicken, um den Zielordner anzugeben</translation>
    </message>
    <message>
        <source>I like it!</source>
        <translation>Gefällt mir!</translation>
    </message>
    <message>
        <source>Start Pro version</source>
        <translation>Pro-Version starten</translation>
    </message>
    <message>
        <source>Start extraction</source>
        <translation>Extrahieren</translation>
    </message>
    <message>
        <source>Input PDF File</source>
        <translation>PDF-Datei</translation>
    </message>
    <message>
        <source>Input PDF file</source>
        <translation>PDF-Datei</translation>
    </message>
    <message>
        <source>Choose input PDF file</source>
        <translation>PDF-Datei auswählen</translation>
    </message>
    <message>
        <source>View selected PDF file</source>
        <translation>Gewählte PDF-Datei ansehen</translation>
    </message>
    <message>
        <source>Page Count:</source>
        <translation>Seitenzahl:</translation>
    </message>
    <message>
        <source>Page Range:</source>
        <translation>Seiten:</translation>
    </message>
    <message>
        <source>Example: 1-5 (leave it blank for all)</source>
        <translation>Beispiel: 1-5 (leer lassen für alle)</translation>
    </message>
    <message>
        <source>Play Video Tutorial</source>
        <translation>Video-Anleitung</translation>
    </message>
    <message>
        <source>Output Settings</source>
        <translation>Ausgabe</translation>
    </message>
    <message>
        <source>Output folder</source>
        <translation>Zielordner</translation>
    </message>
    <message>
        <source>Choose output folder</source>
        <translation>Zielordner auswählen</translation>
    </message>
    <message>
        <source>Folder:</source>
        <translation>Ordner:</translation>
    </message>
    <message>
        <source>Open selected folder</source>
        <translation>Gewählten Ordner öffnen</translation>
    </message>
    <message>
        <source>Output filename&apos;s prefix&lt;br&gt;&lt;i&gt;Example:&lt;/i&gt; image-</source>
        <translation>Anfang der Dateinamen&lt;br&gt;&lt;i&gt;Beispiel:&lt;/i&gt; bild-</translation>
    </message>
    <message>
        <source>Prefix:</source>
        <translation>Präfix:</translation>
    </message>
    <message>
        <source>Format</source>
        <translation>Format</translation>
    </message>
    <message>
        <source>Format:</source>
        <translation>Format:</translation>
    </message>
    <message>
        <source>Open After Extraction</source>
        <translation>Danach öffnen</translation>
    </message>
    <message>
        <source>Donation</source>
        <translation>Spende</translation>
    </message>
    <message>
        <source>Extraction progress</source>
        <translation>Fortschritt der Extraktion</translation>
    </message>
    <message>
        <source>File</source>
        <translation>Datei</translation>
    </message>
    <message>
        <source>Exit</source>
        <translation>Beenden</translation>
    </message>
    <message>
        <source>Edit</source>
        <translation>Bearbeiten</translation>
    </message>
    <message>
        <source>Auto set output folder</source>
        <translation>Zielordner automatisch setzen</translation>
    </message>
    <message>
        <source>Help</source>
        <translation>Hilfe</translation>
    </message>
    <message>
        <source>Website</source>
        <translation>Webseite</translation>
    </message>
    <message>
        <source>Video tutorial</source>
        <translation>Video-Anleitung</translation>
    </message>
    <message>
        <source>Feedback</source>
        <translation>Rückmeldung</translation>
    </message>
    <message>
        <source>How to extract text?</source>
        <translation>Wie gewinnt man Text?</translation>
    </message>
    <message>
        <source>Donate</source>
        <translation>Spenden</translation>
    </message>
    <message>
        <source>About</source>
        <translation>Über</translation>
    </message>
    <message>
        <source>%1 is busy and cannot open this document now:&#13;
%2</source>
        <translation>%1 ist beschäftigt und kann dieses Dokument jetzt nicht öffnen:&#13;
%2</translation>
    </message>
    <message>
        <source>This is not an ordinary file, so it cannot be opened:&#13;
%1</source>
        <translation>Dies ist keine gewöhnliche Datei und kann daher nicht geöffnet werden:&#13;
%1</translation>
    </message>
    <message>
        <source>Please specify the input PDF file!</source>
        <translation>Bitte geben Sie die PDF-Datei an!</translation>
    </message>
    <message>
        <source>Pictures…</source>
        <translation>Bilder…</translation>
    </message>
    <message>
        <source>Pick pictures</source>
        <translation>Bilder auswählen</translation>
    </message>
    <message>
        <source>See the pictures of the document and pick the ones to save (Ctrl+P)</source>
        <translation>Die Bilder des Dokuments ansehen und die zu speichernden auswählen (Strg+P)</translation>
    </message>
    <message>
        <source>Pick pictures…</source>
        <translation>Bilder auswählen…</translation>
    </message>
</context>
<context>
    <name>extract::ExtractionControl</name>
    <message>
        <source>Some errors occured during the extraction process!</source>
        <translation>Bei der Extraktion sind Fehler aufgetreten!</translation>
    </message>
    <message numerus="yes">
        <source>and %n more</source>
        <translation><numerusform>und %n weiteres</numerusform><numerusform>und %n weitere</numerusform></translation>
    </message>
    <message>
        <source>Are you sure you want to cancel the extraction?</source>
        <translation>Möchten Sie die Extraktion wirklich abbrechen?</translation>
    </message>
    <message>
        <source>Please specify the input PDF file!</source>
        <translation>Bitte geben Sie die PDF-Datei an!</translation>
    </message>
    <message>
        <source>Please specify the output folder!</source>
        <translation>Bitte geben Sie den Zielordner an!</translation>
    </message>
    <message>
        <source>%1 already exists.&#13;
&#13;
Do you want to replace it?</source>
        <translation>%1 ist bereits vorhanden.&#13;
&#13;
Möchten Sie es ersetzen?</translation>
    </message>
    <message>
        <source>Stop Extraction</source>
        <translation>Anhalten</translation>
    </message>
    <message>
        <source>Start Extraction</source>
        <translation>Extrahieren</translation>
    </message>
    <message>
        <source>Stopped after 1 image</source>
        <translation>Nach 1 Bild angehalten</translation>
    </message>
    <message numerus="yes">
        <source>Stopped after %n images</source>
        <translation><numerusform>Nach %n Bild angehalten</numerusform><numerusform>Nach %n Bildern angehalten</numerusform></translation>
    </message>
    <message>
        <source>No images written</source>
        <translation>Keine Bilder geschrieben</translation>
    </message>
    <message>
        <source>1 image written to %1</source>
        <translation>1 Bild nach %1 geschrieben</translation>
    </message>
    <message numerus="yes">
        <source>%n images written to %1</source>
        <translation><numerusform>%n Bild nach %1 geschrieben</numerusform><numerusform>%n Bilder nach %1 geschrieben</numerusform></translation>
    </message>
    <message>
        <source>No images found in selected PDF!</source>
        <translation>In der gewählten PDF-Datei wurden keine Bilder gefunden!</translation>
    </message>
    <message>
        <source>The folder could not be opened.&#13;
&#13;
The images are in:&#13;
%1</source>
        <translation>Der Ordner konnte nicht geöffnet werden.&#13;
&#13;
Die Bilder liegen in:&#13;
%1</translation>
    </message>
    <message>
        <source>; the range %1 did not fit the document, so page %2 was extracted</source>
        <translation>; der Seitenbereich %1 passte nicht zum Dokument, daher wurde Seite %2 extrahiert</translation>
    </message>
    <message>
        <source>; the range %1 did not fit the document, so pages %2-%3 were extracted</source>
        <translation>; der Seitenbereich %1 passte nicht zum Dokument, daher wurden die Seiten %2-%3 extrahiert</translation>
    </message>
</context>
<context>
    <name>inspect::InspectionPrompts</name>
    <message>
        <source>Password needed</source>
        <translation>Passwort erforderlich</translation>
    </message>
    <message>
        <source>This PDF is password protected! Please enter the password:&#13;
</source>
        <translation>Diese PDF-Datei ist passwortgeschützt! Bitte geben Sie das Passwort ein:&#13;
</translation>
    </message>
    <message>
        <source>Wrong password, please try it again!</source>
        <translation>Falsches Passwort, bitte versuchen Sie es noch einmal!</translation>
    </message>
    <message>
        <source>Couldn&apos;t read PDF header info!&#13;
Probably this file is damaged!</source>
        <translation>Die Kopfdaten der PDF-Datei konnten nicht gelesen werden!&#13;
Wahrscheinlich ist die Datei beschädigt!</translation>
    </message>
    <message>
        <source>This PDF took too long to read!&#13;
Reading it was given up.</source>
        <translation>Das Lesen dieser PDF-Datei dauerte zu lange!&#13;
Es wurde abgebrochen.</translation>
    </message>
</context>
<context>
    <name>inspect::PasswordDialog</name>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
</context>
<context>
    <name>main</name>
    <message>
        <source>An instance of %1 is already running!</source>
        <translation>%1 läuft bereits!</translation>
    </message>
    <message>
        <source>%1 is not this user&apos;s alone, and no private folder could be had in its place.</source>
        <translation>%1 gehört nicht allein diesem Benutzer, und an seiner Stelle ließ sich kein privater Ordner anlegen.</translation>
    </message>
    <message>
        <source>%1 is not this user&apos;s alone, so %2 is used in its place.</source>
        <translation>%1 gehört nicht allein diesem Benutzer, daher wird an seiner Stelle %2 verwendet.</translation>
    </message>
    <message>
        <source>%1 was not opened: the copy of %2 that runs did not take it.</source>
        <translation>%1 wurde nicht geöffnet: Das laufende %2 hat es nicht übernommen.</translation>
    </message>
</context>
<context>
    <name>online</name>
    <message>
        <source>A newer Arvenzo is available!&#13;
Version number: %1&#13;
&#13;
Would you like to upgrade now?</source>
        <translation>Ein neueres Arvenzo ist verfügbar!&#13;
Versionsnummer: %1&#13;
&#13;
Möchten Sie jetzt aktualisieren?</translation>
    </message>
</context>
<context>
    <name>online::TDownloadForm</name>
    <message>
        <source>Download Manager</source>
        <translation>Download</translation>
    </message>
    <message>
        <source>Initializing</source>
        <translation>Vorbereitung</translation>
    </message>
    <message>
        <source>Download progress</source>
        <translation>Fortschritt des Downloads</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <source>%1 Setup</source>
        <translation>%1 Installation</translation>
    </message>
    <message>
        <source>Downloading installer</source>
        <translation>Installationsprogramm wird geladen</translation>
    </message>
    <message>
        <source>Are you sure to cancel this download?</source>
        <translation>Möchten Sie diesen Download wirklich abbrechen?</translation>
    </message>
    <message>
        <source>Installer download error!</source>
        <translation>Fehler beim Laden des Installationsprogramms!</translation>
    </message>
</context>
<context>
    <name>picker::OnePictureJob</name>
    <message>
        <source>The picture could not be made.</source>
        <translation>Das Bild konnte nicht erstellt werden.</translation>
    </message>
</context>
<context>
    <name>picker::PickerTexts</name>
    <message>
        <source>uncompressed</source>
        <translation>unkomprimiert</translation>
    </message>
    <message>
        <source>Page %1, picture %2, %3, %4</source>
        <translation>Seite %1, Bild %2, %3, %4</translation>
    </message>
    <message>
        <source>failed</source>
        <translation>fehlerhaft</translation>
    </message>
    <message>
        <source>own bytes</source>
        <translation>Originaldaten</translation>
    </message>
    <message>
        <source>repeat of %1</source>
        <translation>Wiederholung von %1</translation>
    </message>
    <message>
        <source>small</source>
        <translation>klein</translation>
    </message>
    <message>
        <source>Page %1, picture %2</source>
        <translation>Seite %1, Bild %2</translation>
    </message>
    <message>
        <source>%1 pixels</source>
        <translation>%1 Pixel</translation>
    </message>
    <message>
        <source>Colours: %1, %2 × %3 bits</source>
        <translation>Farben: %1, %2 × %3 Bit</translation>
    </message>
    <message>
        <source>Stored as %1, %2 bytes</source>
        <translation>Gespeichert als %1, %2 Byte</translation>
    </message>
    <message>
        <source>Saved as the document&apos;s own bytes</source>
        <translation>Wird mit den Originaldaten des Dokuments gespeichert</translation>
    </message>
    <message>
        <source>Repeats picture %1</source>
        <translation>Wiederholt Bild %1</translation>
    </message>
    <message>
        <source>Smaller than %1</source>
        <translation>Kleiner als %1</translation>
    </message>
    <message>
        <source>The picture could not be read</source>
        <translation>Das Bild konnte nicht gelesen werden</translation>
    </message>
    <message>
        <source>stencil mask</source>
        <translation>Schablonenmaske</translation>
    </message>
</context>
<context>
    <name>picker::PickerWindow</name>
    <message>
        <source>No private scratch folder could be made for the thumbnails.</source>
        <translation>Für die Vorschaubilder konnte kein privater Arbeitsordner angelegt werden.</translation>
    </message>
    <message>
        <source>Pick pictures: %1, page %2</source>
        <translation>Bilder auswählen: %1, Seite %2</translation>
    </message>
    <message>
        <source>Pick pictures: %1, pages %2-%3</source>
        <translation>Bilder auswählen: %1, Seiten %2-%3</translation>
    </message>
    <message>
        <source>Pictures</source>
        <translation>Bilder</translation>
    </message>
    <message>
        <source>Each picture once</source>
        <translation>Jedes Bild nur einmal</translation>
    </message>
    <message>
        <source>Hide pictures smaller than</source>
        <translation>Bilder ausblenden, kleiner als</translation>
    </message>
    <message>
        <source>Smallest width</source>
        <translation>Kleinste Breite</translation>
    </message>
    <message>
        <source>Smallest height</source>
        <translation>Kleinste Höhe</translation>
    </message>
    <message>
        <source>Reading the pictures…</source>
        <translation>Die Bilder werden gelesen…</translation>
    </message>
    <message>
        <source>Tick &amp;all</source>
        <translation>&amp;Alle ankreuzen</translation>
    </message>
    <message>
        <source>Tick &amp;none</source>
        <translation>&amp;Keine ankreuzen</translation>
    </message>
    <message>
        <source>&amp;Save selected</source>
        <translation>Ausgewählte &amp;speichern</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Schließen</translation>
    </message>
    <message>
        <source>Some pictures could not be listed: %1</source>
        <translation>Einige Bilder konnten nicht aufgelistet werden: %1</translation>
    </message>
    <message>
        <source>Every picture is read.</source>
        <translation>Alle Bilder sind gelesen.</translation>
    </message>
    <message>
        <source>The reading stopped.</source>
        <translation>Das Lesen wurde beendet.</translation>
    </message>
    <message>
        <source>%1 shown, %2 hidden, %3 ticked</source>
        <translation>%1 angezeigt, %2 ausgeblendet, %3 angekreuzt</translation>
    </message>
    <message>
        <source>Wait until the pictures are saved.</source>
        <translation>Warten Sie, bis die Bilder gespeichert sind.</translation>
    </message>
    <message>
        <source>No private scratch folder could be made for the picture.</source>
        <translation>Für das Bild konnte kein privater Arbeitsordner angelegt werden.</translation>
    </message>
    <message>
        <source>Looking for repeats…</source>
        <translation>Wiederholungen werden gesucht…</translation>
    </message>
</context>
<context>
    <name>picker::PictureCloser</name>
    <message>
        <source>&amp;Actual size (1:1)</source>
        <translation>&amp;Originalgröße (1:1)</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Schließen</translation>
    </message>
    <message>
        <source>Making the picture…</source>
        <translation>Das Bild wird erstellt…</translation>
    </message>
</context>
<context>
    <name>program</name>
    <message>
        <source>Output image format: &lt;b&gt;Keep the original&lt;/b&gt;</source>
        <translation>Ausgabeformat: &lt;b&gt;Original beibehalten&lt;/b&gt;</translation>
    </message>
    <message>
        <source>Forced output image format: &lt;b&gt;BMP&lt;/b&gt; - Windows Bitmap File (*.BMP)</source>
        <translation>Festes Ausgabeformat: &lt;b&gt;BMP&lt;/b&gt; - Windows-Bitmap (*.BMP)</translation>
    </message>
    <message>
        <source>Forced output image format: &lt;b&gt;JPEG&lt;/b&gt; - Independent JPEG Group (*.JPG)</source>
        <translation>Festes Ausgabeformat: &lt;b&gt;JPEG&lt;/b&gt; - Independent JPEG Group (*.JPG)</translation>
    </message>
    <message>
        <source>Forced output image format: &lt;b&gt;JPEG-2000&lt;/b&gt; - JPEG-2000 File Format (*.JP2)</source>
        <translation>Festes Ausgabeformat: &lt;b&gt;JPEG-2000&lt;/b&gt; - JPEG-2000-Dateiformat (*.JP2)</translation>
    </message>
    <message>
        <source>Forced output image format: &lt;b&gt;PNG&lt;/b&gt; - Portable Network Graphics (*.PNG)</source>
        <translation>Festes Ausgabeformat: &lt;b&gt;PNG&lt;/b&gt; - Portable Network Graphics (*.PNG)</translation>
    </message>
    <message>
        <source>Forced output image format: &lt;b&gt;TIFF&lt;/b&gt; - Tagged Image File Format (*.TIFF)</source>
        <translation>Festes Ausgabeformat: &lt;b&gt;TIFF&lt;/b&gt; - Tagged Image File Format (*.TIFF)</translation>
    </message>
    <message>
        <source>Unknown error</source>
        <translation>Unbekannter Fehler</translation>
    </message>
    <message>
        <source>No private scratch folder could be made for the images.</source>
        <translation>Für die Bilder konnte kein privater Arbeitsordner angelegt werden.</translation>
    </message>
    <message>
        <source>Could not determinated the application&apos;s&#13;
version number!&#13;
&#13;
Please re-install this software!&#13;
</source>
        <translation>Die Versionsnummer des Programms&#13;
war nicht zu ermitteln!&#13;
&#13;
Bitte installieren Sie das Programm neu!&#13;
</translation>
    </message>
    <message>
        <source>Could not determinated the application&apos;s&#13;
website!&#13;
&#13;
Please re-install this software!&#13;
</source>
        <translation>Die Webseite des Programms&#13;
war nicht zu ermitteln!&#13;
&#13;
Bitte installieren Sie das Programm neu!&#13;
</translation>
    </message>
</context>
<context>
    <name>toolkit::PathEdit</name>
    <message>
        <source>Open</source>
        <translation>Öffnen</translation>
    </message>
    <message>
        <source>Browse for Folder</source>
        <translation>Ordner auswählen</translation>
    </message>
    <message>
        <source>Browse</source>
        <translation>Durchsuchen</translation>
    </message>
</context>
<context>
    <name>toolkit::TFilenameEdit</name>
    <message>
        <source>Portable Document Format (*.pdf)</source>
        <translation>PDF-Dokumente (*.pdf)</translation>
    </message>
</context>
<context>
    <name>toolkit::TMessageBox</name>
    <message>
        <source>Warning</source>
        <translation>Warnung</translation>
    </message>
    <message>
        <source>Error</source>
        <translation>Fehler</translation>
    </message>
    <message>
        <source>Information</source>
        <translation>Information</translation>
    </message>
    <message>
        <source>Confirm</source>
        <translation>Bestätigen</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <source>Yes</source>
        <translation>Ja</translation>
    </message>
    <message>
        <source>No</source>
        <translation>Nein</translation>
    </message>
</context>
</TS>
