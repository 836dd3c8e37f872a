<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE">
<context>
    <name>AddPanel</name>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <source>Skip this movie (Esc)</source>
        <translation>Diesen Film überspringen (Esc)</translation>
    </message>
    <message>
        <source>Queue this movie (Enter)</source>
        <translation>Diesen Film einreihen (Eingabe)</translation>
    </message>
    <message>
        <source>&amp;Audio track:</source>
        <translation>&amp;Tonspur:</translation>
    </message>
    <message>
        <source>&amp;Destination:</source>
        <translation>&amp;Ziel:</translation>
    </message>
    <message>
        <source>Reading the movie…</source>
        <translation>Film wird gelesen …</translation>
    </message>
    <message>
        <source>Choose a Destination Folder</source>
        <translation>Zielordner wählen</translation>
    </message>
    <message>
        <source>Start Conversion</source>
        <translation>Umwandlung starten</translation>
    </message>
    <message>
        <source>Add to Queue</source>
        <translation>Zur Warteschlange hinzufügen</translation>
    </message>
    <message>
        <source>&amp;Subtitles:</source>
        <translation>&amp;Untertitel:</translation>
    </message>
</context>
<context>
    <name>AddPanelTexts</name>
    <message>
        <source>This file does not exist (any more).</source>
        <translation>Diese Datei existiert nicht (mehr).</translation>
    </message>
    <message>
        <source>This is a folder, not a movie file.</source>
        <translation>Dies ist ein Ordner, keine Filmdatei.</translation>
    </message>
    <message>
        <source>This link leads to nothing.</source>
        <translation>Diese Verknüpfung führt ins Leere.</translation>
    </message>
    <message>
        <source>This is not a regular file (a pipe, a socket or a device); Vantreo reads movies only from regular files.</source>
        <translation>Dies ist keine reguläre Datei (eine Pipe, ein Socket oder ein Gerät); Vantreo liest Filme nur aus regulären Dateien.</translation>
    </message>
    <message>
        <source>1 more movie waiting</source>
        <translation>1 weiterer Film wartet</translation>
    </message>
    <message numerus="yes">
        <source>%n more movies waiting</source>
        <translation>
            <numerusform>%n weiterer Film wartet</numerusform>
            <numerusform>%n weitere Filme warten</numerusform>
        </translation>
    </message>
    <message>
        <source>unknown</source>
        <translation>unbekannt</translation>
    </message>
    <message>
        <source>Also keeps: %1</source>
        <translation>Behält außerdem: %1</translation>
    </message>
    <message>
        <source>no other audio track</source>
        <translation>keine weitere Tonspur</translation>
    </message>
    <message>
        <source>Subtitles: %1</source>
        <translation>Untertitel: %1</translation>
    </message>
    <message>
        <source>none</source>
        <translation>keine</translation>
    </message>
    <message>
        <source>forced</source>
        <translation>erzwungen</translation>
    </message>
    <message>
        <source>Subtitle files: %1</source>
        <translation>Untertiteldateien: %1</translation>
    </message>
    <message>
        <source>Streamable</source>
        <translation>Streamingfähig</translation>
    </message>
    <message>
        <source>No audio</source>
        <translation>Kein Ton</translation>
    </message>
    <message>
        <source>This file has no video track to keep; Vantreo converts movies.</source>
        <translation>Diese Datei hat keine Videospur, die erhalten bleiben könnte; Vantreo wandelt Filme um.</translation>
    </message>
    <message>
        <source>Duration:</source>
        <translation>Dauer:</translation>
    </message>
    <message>
        <source>Bitrate:</source>
        <translation>Bitrate:</translation>
    </message>
    <message>
        <source>Resolution:</source>
        <translation>Auflösung:</translation>
    </message>
    <message>
        <source>Audiotracks:</source>
        <translation>Tonspuren:</translation>
    </message>
    <message>
        <source>Note: %1</source>
        <translation>Hinweis: %1</translation>
    </message>
    <message>
        <source>skipped %1: half of a VobSub pair (.idx and .sub), which cannot be read alone</source>
        <translation>%1 übersprungen: die Hälfte eines VobSub-Paars (.idx und .sub), die allein nicht gelesen werden kann</translation>
    </message>
    <message>
        <source>(read as text)</source>
        <translation>(als Text gelesen)</translation>
    </message>
</context>
<context>
    <name>Alerts</name>
    <message>
        <source>Warning</source>
        <translation>Warnung</translation>
    </message>
    <message>
        <source>Conversion Failed</source>
        <translation>Umwandlung fehlgeschlagen</translation>
    </message>
    <message>
        <source>Information</source>
        <translation>Information</translation>
    </message>
    <message>
        <source>Fatal Error</source>
        <translation>Schwerwiegender Fehler</translation>
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
        <source>Quit</source>
        <translation>Beenden</translation>
    </message>
    <message>
        <source>Remove</source>
        <translation>Entfernen</translation>
    </message>
    <message>
        <source>Send to support</source>
        <translation>An den Support senden</translation>
    </message>
    <message>
        <source>Don&apos;t warn again</source>
        <translation>Nicht mehr warnen</translation>
    </message>
    <message>
        <source>Conversion is in progresss. Are you sure you want to quit?</source>
        <translation>Eine Umwandlung läuft. Möchten Sie Vantreo wirklich beenden?</translation>
    </message>
    <message>
        <source>Welcome to Vantreo. To convert MKV files just drag them into the main window or onto the program&apos;s icon. Note that conversion will be much faster, more reliable and higher quality if you select &apos;High Speed &amp; Quality&apos; in the &apos;Audio Conversion Settings&apos; in the Preferences, though the resulting files may not play with sound on some devices (e.g. iOS). Try it out.</source>
        <translation>Willkommen bei Vantreo. Um MKV-Dateien umzuwandeln, ziehen Sie sie einfach in das Hauptfenster oder auf das Programmsymbol. Die Umwandlung wird viel schneller, zuverlässiger und hochwertiger, wenn Sie in den Einstellungen unter „Einstellungen für die Tonumwandlung“ die Option „Hohe Geschwindigkeit &amp; Qualität“ wählen, allerdings spielen manche Geräte (z. B. iOS) die Dateien dann womöglich ohne Ton ab. Probieren Sie es aus.</translation>
    </message>
</context>
<context>
    <name>CommandLine</name>
    <message>
        <source>Usage: %1</source>
        <translation>Aufruf: %1</translation>
    </message>
    <message>
        <source>vantreo-cli watch: &apos;%1&apos; is not a folder</source>
        <translation>vantreo-cli watch: „%1“ ist kein Ordner</translation>
    </message>
    <message>
        <source>vantreo-cli %1: --dest &apos;%2&apos; is not a folder</source>
        <translation>vantreo-cli %1: --dest „%2“ ist kein Ordner</translation>
    </message>
    <message>
        <source>vantreo-cli convert: subtitle file &apos;%1&apos; not found</source>
        <translation>vantreo-cli convert: Untertiteldatei „%1“ nicht gefunden</translation>
    </message>
    <message>
        <source>unknown option &apos;%1&apos;</source>
        <translation>unbekannte Option „%1“</translation>
    </message>
    <message>
        <source>option &apos;%1&apos; needs a value</source>
        <translation>Option „%1“ braucht einen Wert</translation>
    </message>
    <message>
        <source>--jobs takes a number from 1 to 64, not &apos;%1&apos;</source>
        <translation>--jobs erwartet eine Zahl von 1 bis 64, nicht „%1“</translation>
    </message>
    <message>
        <source>--settle takes seconds from 0 to 3600, not &apos;%1&apos;</source>
        <translation>--settle erwartet Sekunden von 0 bis 3600, nicht „%1“</translation>
    </message>
    <message>
        <source>--style takes compatible, fast or custom, not &apos;%1&apos;</source>
        <translation>--style erwartet compatible, fast oder custom, nicht „%1“</translation>
    </message>
    <message>
        <source>no folder given</source>
        <translation>kein Ordner angegeben</translation>
    </message>
    <message>
        <source>no movie given</source>
        <translation>kein Film angegeben</translation>
    </message>
    <message>
        <source>--subtitles goes with a single movie, not a folder</source>
        <translation>--subtitles gilt für einen einzelnen Film, nicht für einen Ordner</translation>
    </message>
    <message>
        <source>it has no audio track that ffmpeg can read</source>
        <translation>er hat keine Tonspur, die ffmpeg lesen kann</translation>
    </message>
    <message>
        <source>it has no audio track %1 (tracks 0 to %2)</source>
        <translation>er hat keine Tonspur %1 (Spuren 0 bis %2)</translation>
    </message>
    <message>
        <source>it has no audio track in the language &apos;%1&apos;</source>
        <translation>er hat keine Tonspur in der Sprache „%1“</translation>
    </message>
    <message>
        <source>vantreo-cli: unknown command &apos;%1&apos;</source>
        <translation>vantreo-cli: unbekannter Befehl „%1“</translation>
    </message>
    <message>
        <source>none</source>
        <translation>keine</translation>
    </message>
    <message>
        <source>Audio tracks:</source>
        <translation>Tonspuren:</translation>
    </message>
    <message>
        <source>Video stream:</source>
        <translation>Videostream:</translation>
    </message>
    <message>
        <source>Text subtitle streams:</source>
        <translation>Text-Untertitelstreams:</translation>
    </message>
    <message>
        <source>Kept subtitle streams:</source>
        <translation>Behaltene Untertitelstreams:</translation>
    </message>
    <message>
        <source>Subtitle files:</source>
        <translation>Untertiteldateien:</translation>
    </message>
    <message>
        <source>Note: %1</source>
        <translation>Hinweis: %1</translation>
    </message>
    <message>
        <source>Streamable:</source>
        <translation>Streamingfähig:</translation>
    </message>
    <message>
        <source>yes (index before the media)</source>
        <translation>ja (Index vor den Mediendaten)</translation>
    </message>
    <message>
        <source>no</source>
        <translation>nein</translation>
    </message>
    <message>
        <source>Warning: %1</source>
        <translation>Warnung: %1</translation>
    </message>
    <message>
        <source>vantreo-cli probe: unknown option &apos;%1&apos;</source>
        <translation>vantreo-cli probe: unbekannte Option „%1“</translation>
    </message>
    <message>
        <source>Interrupted.</source>
        <translation>Abgebrochen.</translation>
    </message>
    <message>
        <source>Known keys: %1</source>
        <translation>Bekannte Schlüssel: %1</translation>
    </message>
    <message>
        <source>(default)</source>
        <translation>(Standard)</translation>
    </message>
    <message>
        <source>(not set)</source>
        <translation>(nicht gesetzt)</translation>
    </message>
    <message>
        <source>File: %1</source>
        <translation>Datei: %1</translation>
    </message>
    <message>
        <source>vantreo-cli settings: unknown key &apos;%1&apos;</source>
        <translation>vantreo-cli settings: unbekannter Schlüssel „%1“</translation>
    </message>
    <message>
        <source>missing: %1</source>
        <translation>fehlt: %1</translation>
    </message>
    <message>
        <source>Picture subtitle streams:</source>
        <translation>Bilduntertitel-Datenströme:</translation>
    </message>
    <message>
        <source>(read as text)</source>
        <translation>(als Text gelesen)</translation>
    </message>
    <message>
        <source>Subtitles written:</source>
        <translation>Geschriebene Untertitel:</translation>
    </message>
    <message>
        <source>not converted: %1</source>
        <translation>nicht umgewandelt: %1</translation>
    </message>
    <message>
        <source>Usage: vantreo-cli [--settings FILE] COMMAND ...

Commands:
  probe [--json] FILE...    show what each movie holds
  convert [options] FILE... convert movies to MP4, one after another
      --dest DIR                      write the MP4 files into DIR
      --style compatible|fast|custom  audio conversion style for this run
      --audio INDEX|LANG              audio track by index or language
      --subtitles FILE                add this subtitle file
      --subtitles all|none|LANG,...   the subtitle tracks to write, this run
      --no-forced                     leave out the forced subtitles the other
                                      settings leave out, this run
      --no-sidecars                   do not add the subtitle files found beside
                                      each movie, this run
      --no-tags                       write neither cover art nor tags for
                                      media centres, this run
      --all-audio                     keep every audio track, this run
      --m4v                           name the outputs .m4v
      --keep-languages                also keep the audio tracks and only the
                                      subtitles in your languages, this run
      --no-keep-languages             keep neither by language, this run
      --recursive, -r                 convert every movie in the folders named,
                                      passing over those converted before
      --force                         convert movies converted before again
      --jobs N                        convert N movies at once (default 1)
      --json                          report each movie as a JSON line
  watch [options] DIR...    convert the movies in the folders, then each new
                            one once it is complete, until stopped
      --settle SECONDS                how long a new movie must stay unchanged
                                      (default 10); and the convert options
  settings [KEY [VALUE]]    list, show or change a setting
  tools                     show where the external tools were found
  help                      show this text
</source>
        <translation>Aufruf: vantreo-cli [--settings DATEI] BEFEHL ...

Befehle:
  probe [--json] DATEI...   zeigen, was jeder Film enthält
  convert [Optionen] DATEI... Filme nacheinander in MP4 umwandeln
      --dest ORDNER                   die MP4-Dateien in ORDNER schreiben
      --style compatible|fast|custom  Art der Tonumwandlung für diesen Lauf
      --audio INDEX|SPRACHE           Tonspur nach Index oder Sprache
      --subtitles DATEI               diese Untertiteldatei hinzufügen
      --subtitles all|none|SPRACHE,...  die Untertitelspuren für diesen Lauf
      --no-forced                     in diesem Lauf keine erzwungenen Untertitel
                                      behalten, die die übrigen Einstellungen weglassen
      --no-sidecars                   die Untertiteldateien neben jedem Film
                                      in diesem Lauf nicht hinzufügen
      --no-tags                       in diesem Lauf weder Cover noch Tags für
                                      Mediencenter schreiben
      --all-audio                     in diesem Lauf alle Tonspuren behalten
      --m4v                           die Ausgaben .m4v nennen
      --keep-languages                in diesem Lauf auch die Tonspuren und nur
                                      die Untertitel in Ihren Sprachen behalten
      --no-keep-languages             in diesem Lauf nichts nach Sprache behalten
      --recursive, -r                 jeden Film in den genannten Ordnern umwandeln,
                                      bereits umgewandelte werden übergangen
      --force                         bereits umgewandelte Filme erneut umwandeln
      --jobs N                        N Filme gleichzeitig umwandeln (Standard 1)
      --json                          jeden Film als JSON-Zeile melden
  watch [Optionen] ORDNER...  die Filme in den Ordnern umwandeln, dann jeden
                            neuen, sobald er vollständig ist, bis zum Beenden
      --settle SEKUNDEN               wie lange ein neuer Film unverändert bleiben
                                      muss (Standard 10); dazu die convert-Optionen
  settings [SCHLÜSSEL [WERT]]  eine Einstellung auflisten, zeigen oder ändern
  tools                     zeigen, wo die externen Werkzeuge gefunden wurden
  help                      diesen Text zeigen
</translation>
    </message>
    <message>
        <source>Tags:</source>
        <translation>Tags:</translation>
    </message>
    <message>
        <source>Cover:</source>
        <translation>Cover:</translation>
    </message>
    <message>
        <source>stream %1</source>
        <translation>Datenstrom %1</translation>
    </message>
</context>
<context>
    <name>ConversionJob</name>
    <message>
        <source>Converting MKV file.</source>
        <translation>MKV-Datei wird umgewandelt.</translation>
    </message>
</context>
<context>
    <name>ConversionStages</name>
    <message>
        <source>The Dolby Vision sample entry (dvh1) could not be written into the converted file.</source>
        <translation>Der Dolby-Vision-Eintrag (dvh1) konnte nicht in die umgewandelte Datei geschrieben werden.</translation>
    </message>
    <message>
        <source>its reader ended with status %1</source>
        <translation>das Leseprogramm endete mit Status %1</translation>
    </message>
    <message>
        <source>%1 left out: it could not be read (%2)</source>
        <translation>%1 weggelassen: sie konnte nicht gelesen werden (%2)</translation>
    </message>
    <message>
        <source>%1 left out: no text could be read from its pictures</source>
        <translation>%1 weggelassen: aus ihren Bildern ließ sich kein Text lesen</translation>
    </message>
    <message>
        <source>Note: %1: %2</source>
        <translation>Hinweis: %1: %2</translation>
    </message>
</context>
<context>
    <name>ConvertSession</name>
    <message>
        <source>Not converted: %1: %2</source>
        <translation>Nicht umgewandelt: %1: %2</translation>
    </message>
    <message>
        <source>Skipped: %1: %2</source>
        <translation>Übersprungen: %1: %2</translation>
    </message>
    <message>
        <source>no such file</source>
        <translation>Datei nicht vorhanden</translation>
    </message>
    <message>
        <source>it is a folder</source>
        <translation>es ist ein Ordner</translation>
    </message>
    <message>
        <source>not a regular file</source>
        <translation>keine reguläre Datei</translation>
    </message>
    <message>
        <source>no such file or folder</source>
        <translation>Datei oder Ordner nicht vorhanden</translation>
    </message>
    <message numerus="yes">
        <source>Found %n movies under %1</source>
        <translation>
            <numerusform>%n Film unter %1 gefunden</numerusform>
            <numerusform>%n Filme unter %1 gefunden</numerusform>
        </translation>
    </message>
    <message>
        <source>not a folder or a movie file</source>
        <translation>weder ein Ordner noch eine Filmdatei</translation>
    </message>
    <message>
        <source>Found: %1</source>
        <translation>Gefunden: %1</translation>
    </message>
    <message>
        <source>Waiting: %1 is still being written</source>
        <translation>Warten: %1 wird noch geschrieben</translation>
    </message>
    <message numerus="yes">
        <source>Watching %n folders under %1</source>
        <translation>
            <numerusform>Beobachte %n Ordner unter %1</numerusform>
            <numerusform>Beobachte %n Ordner unter %1</numerusform>
        </translation>
    </message>
    <message>
        <source>vantreo-cli convert: --subtitles goes with a single movie</source>
        <translation>vantreo-cli convert: --subtitles gilt nur für einen einzelnen Film</translation>
    </message>
    <message>
        <source>Stopped: %1 converted, %2 failed, %3 skipped; unfinished files removed</source>
        <translation>Beendet: %1 umgewandelt, %2 fehlgeschlagen, %3 übersprungen; unfertige Dateien entfernt</translation>
    </message>
    <message>
        <source>Interrupted: conversions stopped, unfinished files removed.</source>
        <translation>Abgebrochen: Umwandlungen angehalten, unfertige Dateien entfernt.</translation>
    </message>
    <message>
        <source>Finished: %1</source>
        <translation>Fertig: %1</translation>
    </message>
    <message>
        <source>Failed: %1: %2</source>
        <translation>Fehlgeschlagen: %1: %2</translation>
    </message>
    <message>
        <source>%1 converted, %2 failed, %3 skipped</source>
        <translation>%1 umgewandelt, %2 fehlgeschlagen, %3 übersprungen</translation>
    </message>
    <message>
        <source>Warning: %1</source>
        <translation>Warnung: %1</translation>
    </message>
    <message>
        <source>Note: %1: %2</source>
        <translation>Hinweis: %1: %2</translation>
    </message>
    <message>
        <source>ffmpeg cannot read it as a movie</source>
        <translation>ffmpeg kann ihn nicht als Film lesen</translation>
    </message>
    <message>
        <source>it has no video track</source>
        <translation>er hat keine Videospur</translation>
    </message>
    <message>
        <source>the destination folder cannot be written to</source>
        <translation>in den Zielordner kann nicht geschrieben werden</translation>
    </message>
    <message>
        <source>Converted: %1 -&gt; %2</source>
        <translation>Umgewandelt: %1 -&gt; %2</translation>
    </message>
    <message>
        <source>not a movie file</source>
        <translation>keine Filmdatei</translation>
    </message>
</context>
<context>
    <name>CoverChoice</name>
    <message>
        <source>cover %1 left out: it is neither JPEG nor PNG</source>
        <translation>Cover %1 weggelassen: es ist weder JPEG noch PNG</translation>
    </message>
    <message>
        <source>cover %1 left out: it is larger than 10 MB</source>
        <translation>Cover %1 weggelassen: es ist größer als 10 MB</translation>
    </message>
</context>
<context>
    <name>DesktopLaunch</name>
    <message>
        <source>Vantreo: the connection to the display is gone; conversions stopped, unfinished files removed.</source>
        <translation>Vantreo: Die Verbindung zur Anzeige ist verloren; Umwandlungen angehalten, unfertige Dateien entfernt.</translation>
    </message>
</context>
<context>
    <name>DestinationComboBox</name>
    <message>
        <source>Ask for Every Movie</source>
        <translation>Bei jedem Film fragen</translation>
    </message>
    <message>
        <source>Choose…</source>
        <translation>Wählen …</translation>
    </message>
</context>
<context>
    <name>FailureExplanation</name>
    <message>
        <source>untagged</source>
        <translation>ohne Sprachangabe</translation>
    </message>
    <message>
        <source>Movie conversion failed because there is not enough free space left on the destination volume. Please make sure your harddisk has enough free space before starting conversion</source>
        <translation>Die Umwandlung ist fehlgeschlagen, weil auf dem Ziellaufwerk nicht genug freier Speicher ist. Bitte sorgen Sie vor dem Start der Umwandlung für genug freien Speicher</translation>
    </message>
    <message>
        <source>Movie conversion failed because you&apos;ve removed/renamed the source movie file or unmounted it&apos;s volume.</source>
        <translation>Die Umwandlung ist fehlgeschlagen, weil Sie den Originalfilm entfernt oder umbenannt oder sein Laufwerk ausgehängt haben.</translation>
    </message>
    <message>
        <source>This is most likely related to the subtitles embedded into the movie. Please disable conversion of embedded subtitles in the preferences and try again.</source>
        <translation>Das liegt sehr wahrscheinlich an den im Film enthaltenen Untertiteln. Bitte schalten Sie die Umwandlung eingebetteter Untertitel in den Einstellungen aus und versuchen Sie es erneut.</translation>
    </message>
    <message>
        <source>This is most likely related to the subtitles embedded into the movie (kept for the languages %@). Please disable conversion of embedded subtitles in the preferences and try again.</source>
        <translation>Das liegt sehr wahrscheinlich an den im Film enthaltenen Untertiteln (behalten für die Sprachen %@). Bitte schalten Sie die Umwandlung eingebetteter Untertitel in den Einstellungen aus und versuchen Sie es erneut.</translation>
    </message>
    <message>
        <source>This is most likely related to the subtitle file you have specified. Please try again without the subtitle file.</source>
        <translation>Das liegt sehr wahrscheinlich an der angegebenen Untertiteldatei. Bitte versuchen Sie es ohne die Untertiteldatei erneut.</translation>
    </message>
    <message>
        <source>A problem prevented the file from being converted. %@ You can contact our support with this information so that we can fix this problem.

Command-line: %@
Command-output: %@</source>
        <translation>Ein Problem hat die Umwandlung der Datei verhindert. %@ Sie können sich mit diesen Angaben an unseren Support wenden, damit wir das Problem beheben können.

Befehlszeile: %@
Ausgabe des Befehls: %@</translation>
    </message>
    <message>
        <source>You don&apos;t seem to have write access to the selected destinatation or it is a read-only filesystem. Please choose another destination.</source>
        <translation>Sie haben anscheinend keine Schreibrechte für das gewählte Ziel, oder es liegt auf einem schreibgeschützten Dateisystem. Bitte wählen Sie ein anderes Ziel.</translation>
    </message>
</context>
<context>
    <name>FileDialogs</name>
    <message>
        <source>Choose</source>
        <translation>Wählen</translation>
    </message>
    <message>
        <source>Save Converted Movie</source>
        <translation>Umgewandelten Film speichern</translation>
    </message>
    <message>
        <source>%1 movie</source>
        <translation>%1-Film</translation>
    </message>
    <message>
        <source>Add Movies</source>
        <translation>Filme hinzufügen</translation>
    </message>
    <message>
        <source>Movies and subtitles</source>
        <translation>Filme und Untertitel</translation>
    </message>
    <message>
        <source>Add</source>
        <translation>Hinzufügen</translation>
    </message>
    <message>
        <source>All files</source>
        <translation>Alle Dateien</translation>
    </message>
</context>
<context>
    <name>FreeSpaceCheck</name>
    <message>
        <source>There is not enough free space on your boot disk for conversion.</source>
        <translation>Auf Ihrem Systemlaufwerk ist nicht genug freier Speicher für die Umwandlung.</translation>
    </message>
    <message>
        <source>There is not enough free space on your target disk for conversion.</source>
        <translation>Auf Ihrem Ziellaufwerk ist nicht genug freier Speicher für die Umwandlung.</translation>
    </message>
    <message>
        <source>Your target disk doesn&apos;t support large files.</source>
        <translation>Ihr Ziellaufwerk unterstützt keine großen Dateien.</translation>
    </message>
</context>
<context>
    <name>HelpWindow</name>
    <message>
        <source>This document is not available.</source>
        <translation>Dieses Dokument ist nicht verfügbar.</translation>
    </message>
</context>
<context>
    <name>JobActions</name>
    <message>
        <source>Pause or Continue</source>
        <translation>Anhalten oder fortsetzen</translation>
    </message>
    <message>
        <source>Remove</source>
        <translation>Entfernen</translation>
    </message>
    <message>
        <source>Show in File Manager</source>
        <translation>Im Dateimanager anzeigen</translation>
    </message>
    <message>
        <source>Show Source</source>
        <translation>Quelle anzeigen</translation>
    </message>
    <message>
        <source>Copy Error Details</source>
        <translation>Fehlerdetails kopieren</translation>
    </message>
    <message>
        <source>Pause</source>
        <translation>Anhalten</translation>
    </message>
    <message>
        <source>Continue</source>
        <translation>Fortsetzen</translation>
    </message>
    <message>
        <source>Start</source>
        <translation>Starten</translation>
    </message>
    <message>
        <source>Why Did It Fail?</source>
        <translation>Warum ist es fehlgeschlagen?</translation>
    </message>
    <message>
        <source>“%1” is converting. Removing it stops the conversion and deletes the unfinished file.</source>
        <translation>„%1“ wird gerade umgewandelt. Wenn Sie ihn entfernen, wird die Umwandlung beendet und die unfertige Datei gelöscht.</translation>
    </message>
    <message numerus="yes">
        <source>%n of these movies are converting. Removing them stops their conversions and deletes the unfinished files.</source>
        <translation>
            <numerusform>%n dieser Filme wird gerade umgewandelt. Wenn Sie ihn entfernen, wird die Umwandlung beendet und die unfertige Datei gelöscht.</numerusform>
            <numerusform>%n dieser Filme werden gerade umgewandelt. Wenn Sie sie entfernen, werden ihre Umwandlungen beendet und die unfertigen Dateien gelöscht.</numerusform>
        </translation>
    </message>
    <message>
        <source>Remove a Converting Movie?</source>
        <translation>Film in Umwandlung entfernen?</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
</context>
<context>
    <name>JobEnding</name>
    <message>
        <source>%@ Conversion Failed</source>
        <translation>%@: Umwandlung fehlgeschlagen</translation>
    </message>
    <message>
        <source>Vantreo has failed to convert the file %@.</source>
        <translation>Vantreo konnte die Datei %@ nicht umwandeln.</translation>
    </message>
    <message>
        <source>%@ Conversion Finished</source>
        <translation>%@: Umwandlung abgeschlossen</translation>
    </message>
    <message>
        <source>%@ has finished converting the file %@.</source>
        <translation>%@ hat die Datei %@ fertig umgewandelt.</translation>
    </message>
    <message>
        <source>Show</source>
        <translation>Zeigen</translation>
    </message>
    <message>
        <source>It seems you&apos;ve removed the file %@ or unmounted it&apos;s volume so conversion can&apos;t proceed.</source>
        <translation>Anscheinend haben Sie die Datei %@ entfernt oder ihr Laufwerk ausgehängt; die Umwandlung kann nicht fortgesetzt werden.</translation>
    </message>
</context>
<context>
    <name>JobItemDelegate</name>
    <message>
        <source>Fast</source>
        <translation>Schnell</translation>
    </message>
    <message>
        <source>Slow</source>
        <translation>Langsam</translation>
    </message>
    <message>
        <source>Finished</source>
        <translation>Fertig</translation>
    </message>
    <message>
        <source>Failed</source>
        <translation>Fehlgeschlagen</translation>
    </message>
</context>
<context>
    <name>JobListView</name>
    <message>
        <source>Drop movies here</source>
        <translation>Filme hier ablegen</translation>
    </message>
    <message>
        <source>Drop to add the movies</source>
        <translation>Ablegen, um die Filme hinzuzufügen</translation>
    </message>
</context>
<context>
    <name>JobRecord</name>
    <message>
        <source>A temporary file could not be created in the cache folder %@.</source>
        <translation>Im Cache-Ordner %@ konnte keine temporäre Datei angelegt werden.</translation>
    </message>
</context>
<context>
    <name>JobRowLayout</name>
    <message>
        <source>Continue</source>
        <translation>Fortsetzen</translation>
    </message>
    <message>
        <source>Start</source>
        <translation>Starten</translation>
    </message>
    <message>
        <source>Pause</source>
        <translation>Anhalten</translation>
    </message>
    <message>
        <source>Remove from the list</source>
        <translation>Aus der Liste entfernen</translation>
    </message>
    <message>
        <source>Why did the conversion fail?</source>
        <translation>Warum ist die Umwandlung fehlgeschlagen?</translation>
    </message>
    <message>
        <source>Show in the file manager (with Shift: the source movie)</source>
        <translation>Im Dateimanager anzeigen (mit Umschalt: den Quellfilm)</translation>
    </message>
</context>
<context>
    <name>JobState</name>
    <message>
        <source>Queued</source>
        <translation>Wartet</translation>
    </message>
    <message>
        <source>Converting</source>
        <translation>Wird umgewandelt</translation>
    </message>
    <message>
        <source>Paused</source>
        <translation>Angehalten</translation>
    </message>
    <message>
        <source>Finished</source>
        <translation>Fertig</translation>
    </message>
    <message>
        <source>Failed</source>
        <translation>Fehlgeschlagen</translation>
    </message>
</context>
<context>
    <name>LibraryFeed</name>
    <message>
        <source>already converted to %1</source>
        <translation>bereits umgewandelt in %1</translation>
    </message>
    <message>
        <source>the destination folder cannot be written to</source>
        <translation>in den Zielordner kann nicht geschrieben werden</translation>
    </message>
    <message>
        <source>being converted by another run (pid %1)</source>
        <translation>wird von einem anderen Lauf umgewandelt (PID %1)</translation>
    </message>
    <message>
        <source>being converted by another run</source>
        <translation>wird von einem anderen Lauf umgewandelt</translation>
    </message>
    <message>
        <source>being converted on %1</source>
        <translation>wird auf %1 umgewandelt</translation>
    </message>
    <message>
        <source>claimed on %1, not renewed for %2 minutes; remove %3 if that run has ended</source>
        <translation>von %1 beansprucht, seit %2 Minuten nicht erneuert; entfernen Sie %3, falls jener Lauf beendet ist</translation>
    </message>
</context>
<context>
    <name>MKVFileInfo</name>
    <message>
        <source>%@ was stopped because Vantreo is quitting.</source>
        <translation>%@ wurde angehalten, weil Vantreo beendet wird.</translation>
    </message>
    <message>
        <source>%@ did not answer within %i s.</source>
        <translation>%@ hat nicht innerhalb von %i s geantwortet.</translation>
    </message>
    <message>
        <source>It is not a regular file.</source>
        <translation>Es ist keine reguläre Datei.</translation>
    </message>
</context>
<context>
    <name>MainWindow</name>
    <message>
        <source>Add…</source>
        <translation>Hinzufügen …</translation>
    </message>
    <message>
        <source>Add movies to convert</source>
        <translation>Filme zum Umwandeln hinzufügen</translation>
    </message>
    <message>
        <source>Clean Up</source>
        <translation>Aufräumen</translation>
    </message>
    <message>
        <source>Remove finished movies from the list</source>
        <translation>Fertige Filme aus der Liste entfernen</translation>
    </message>
    <message>
        <source>Preferences…</source>
        <translation>Einstellungen …</translation>
    </message>
    <message>
        <source>Quit</source>
        <translation>Beenden</translation>
    </message>
    <message>
        <source>Main Window</source>
        <translation>Hauptfenster</translation>
    </message>
    <message>
        <source>&amp;File</source>
        <translation>&amp;Datei</translation>
    </message>
    <message>
        <source>&amp;Window</source>
        <translation>&amp;Fenster</translation>
    </message>
    <message>
        <source>&amp;Help</source>
        <translation>&amp;Hilfe</translation>
    </message>
    <message>
        <source>Read Me</source>
        <translation>Liesmich</translation>
    </message>
    <message>
        <source>FAQ</source>
        <translation>Häufige Fragen</translation>
    </message>
    <message>
        <source>History</source>
        <translation>Versionsgeschichte</translation>
    </message>
    <message>
        <source>Credits</source>
        <translation>Mitwirkende</translation>
    </message>
    <message>
        <source>Support Request…</source>
        <translation>Supportanfrage …</translation>
    </message>
    <message>
        <source>Beta Versions…</source>
        <translation>Betaversionen …</translation>
    </message>
    <message>
        <source>Product Page</source>
        <translation>Produktseite</translation>
    </message>
    <message>
        <source>Download Page</source>
        <translation>Download-Seite</translation>
    </message>
    <message>
        <source>About Vantreo</source>
        <translation>Über Vantreo</translation>
    </message>
    <message>
        <source>Toolbar</source>
        <translation>Werkzeugleiste</translation>
    </message>
    <message>
        <source>Resume Queue</source>
        <translation>Warteschlange fortsetzen</translation>
    </message>
    <message>
        <source>Pause Queue</source>
        <translation>Warteschlange anhalten</translation>
    </message>
    <message>
        <source>Resume the queue</source>
        <translation>Die Warteschlange fortsetzen</translation>
    </message>
    <message>
        <source>Pause the queue</source>
        <translation>Die Warteschlange anhalten</translation>
    </message>
    <message>
        <source>Vantreo keeps converting in the tray. Quit from its menu.</source>
        <translation>Vantreo wandelt im Infobereich weiter um. Beenden Sie es über sein Menü.</translation>
    </message>
    <message>
        <source>About %1</source>
        <translation>Über %1</translation>
    </message>
    <message>
        <source>%1&lt;br&gt;%2&lt;br&gt;&lt;br&gt;Turns Matroska movies into MP4 files without re-encoding the video.</source>
        <translation>%1&lt;br&gt;%2&lt;br&gt;&lt;br&gt;Wandelt Matroska-Filme in MP4-Dateien um, ohne das Video neu zu kodieren.</translation>
    </message>
    <message numerus="yes">
        <source>[%n Job(s), %1 Queued]</source>
        <translation>
            <numerusform>[%n Auftrag, %1 wartend]</numerusform>
            <numerusform>[%n Aufträge, %1 wartend]</numerusform>
        </translation>
    </message>
    <message>
        <source>(Paused)</source>
        <translation>(Angehalten)</translation>
    </message>
</context>
<context>
    <name>MessageBoxAlertPresenter</name>
    <message>
        <source>Copy</source>
        <translation>Kopieren</translation>
    </message>
</context>
<context>
    <name>MovieTags</name>
    <message>
        <source>TV show: %1, %2</source>
        <translation>Serie: %1, %2</translation>
    </message>
    <message>
        <source>Movie: %1</source>
        <translation>Film: %1</translation>
    </message>
    <message>
        <source>Movie: %1 (%2)</source>
        <translation>Film: %1 (%2)</translation>
    </message>
</context>
<context>
    <name>OutputFiles</name>
    <message>
        <source>The converted file could not be written to the disk.</source>
        <translation>Die umgewandelte Datei konnte nicht auf das Laufwerk geschrieben werden.</translation>
    </message>
    <message>
        <source>The converted file could not be moved to %@.</source>
        <translation>Die umgewandelte Datei konnte nicht nach %@ verschoben werden.</translation>
    </message>
</context>
<context>
    <name>OutputVerification</name>
    <message>
        <source>1 audio track</source>
        <translation>1 Tonspur</translation>
    </message>
    <message numerus="yes">
        <source>%n audio tracks</source>
        <translation>
            <numerusform>%n Tonspur</numerusform>
            <numerusform>%n Tonspuren</numerusform>
        </translation>
    </message>
    <message>
        <source>The converted file lasts %@ instead of the movie&apos;s %@.</source>
        <translation>Die umgewandelte Datei dauert %@ statt der %@ des Films.</translation>
    </message>
    <message>
        <source>The sound of the converted file is %1 s early.</source>
        <translation>Der Ton der umgewandelten Datei ist %1 s zu früh.</translation>
    </message>
    <message>
        <source>The sound of the converted file is %1 s late.</source>
        <translation>Der Ton der umgewandelten Datei ist %1 s zu spät.</translation>
    </message>
    <message>
        <source>The sound of the converted file ends %1 s early: part of it went missing.</source>
        <translation>Der Ton der umgewandelten Datei endet %1 s zu früh: ein Teil davon ist verloren gegangen.</translation>
    </message>
    <message>
        <source>The converted file cannot be read back as an MP4 file.</source>
        <translation>Die umgewandelte Datei lässt sich nicht als MP4-Datei zurücklesen.</translation>
    </message>
    <message>
        <source>The converted file has no video frames.</source>
        <translation>Die umgewandelte Datei enthält keine Videobilder.</translation>
    </message>
    <message>
        <source>The converted file has no audio track.</source>
        <translation>Die umgewandelte Datei hat keine Tonspur.</translation>
    </message>
    <message>
        <source>The converted file has %1 instead of %2.</source>
        <translation>Die umgewandelte Datei hat %1 statt %2.</translation>
    </message>
    <message>
        <source>The converted file has an audio track without sound.</source>
        <translation>Die umgewandelte Datei hat eine Tonspur ohne Ton.</translation>
    </message>
    <message>
        <source>Warning: &apos;%@&apos; ends after %@ of its %@; the MP4 holds all of it that could be read.</source>
        <translation>Warnung: „%@“ endet nach %@ von %@; die MP4-Datei enthält alles, was sich lesen ließ.</translation>
    </message>
</context>
<context>
    <name>PreferencesWindow</name>
    <message>
        <source>Preferences</source>
        <translation>Einstellungen</translation>
    </message>
    <message>
        <source>General</source>
        <translation>Allgemein</translation>
    </message>
    <message>
        <source>Audio Conversion Settings</source>
        <translation>Einstellungen für die Tonumwandlung</translation>
    </message>
    <message>
        <source>AAC (via WAV, slow)</source>
        <translation>AAC (über WAV, langsam)</translation>
    </message>
    <message>
        <source>AC3 stereo</source>
        <translation>AC3 Stereo</translation>
    </message>
    <message>
        <source>AC3 5.1</source>
        <translation>AC3 5.1</translation>
    </message>
    <message>
        <source>Copy</source>
        <translation>Kopieren</translation>
    </message>
    <message>
        <source>New Movies</source>
        <translation>Neue Filme</translation>
    </message>
    <message>
        <source>Default destination:</source>
        <translation>Standardziel:</translation>
    </message>
    <message>
        <source>File extension:</source>
        <translation>Dateiendung:</translation>
    </message>
    <message>
        <source>System languages</source>
        <translation>Systemsprachen</translation>
    </message>
    <message>
        <source>English</source>
        <translation>Englisch</translation>
    </message>
    <message>
        <source>German</source>
        <translation>Deutsch</translation>
    </message>
    <message>
        <source>French</source>
        <translation>Französisch</translation>
    </message>
    <message>
        <source>Spanish</source>
        <translation>Spanisch</translation>
    </message>
    <message>
        <source>Chinese</source>
        <translation>Chinesisch</translation>
    </message>
    <message>
        <source>Japanese</source>
        <translation>Japanisch</translation>
    </message>
    <message>
        <source>Russian</source>
        <translation>Russisch</translation>
    </message>
    <message>
        <source>Preferred audio:</source>
        <translation>Bevorzugter Ton:</translation>
    </message>
    <message>
        <source>Add movies to the queue without asking</source>
        <translation>Filme ohne Nachfrage in die Warteschlange stellen</translation>
    </message>
    <message>
        <source>Write files that start playing before they are whole (for media servers and browsers)</source>
        <translation>Dateien schreiben, die schon während des Ladens abspielbar sind (für Medienserver und Browser)</translation>
    </message>
    <message>
        <source>After Conversion</source>
        <translation>Nach der Umwandlung</translation>
    </message>
    <message>
        <source>Remove finished movies from the list</source>
        <translation>Fertige Filme aus der Liste entfernen</translation>
    </message>
    <message>
        <source>Dispose of the original movie:</source>
        <translation>Originalfilm entsorgen:</translation>
    </message>
    <message>
        <source>Move to the Trash</source>
        <translation>In den Papierkorb verschieben</translation>
    </message>
    <message>
        <source>Delete immediately</source>
        <translation>Sofort löschen</translation>
    </message>
    <message>
        <source>Quit when the conversions are done</source>
        <translation>Beenden, wenn die Umwandlungen fertig sind</translation>
    </message>
    <message>
        <source>Conversion Style</source>
        <translation>Art der Umwandlung</translation>
    </message>
    <message>
        <source>Compatible</source>
        <translation>Kompatibel</translation>
    </message>
    <message>
        <source>High Speed &amp; Quality</source>
        <translation>Hohe Geschwindigkeit &amp; Qualität</translation>
    </message>
    <message>
        <source>Custom</source>
        <translation>Benutzerdefiniert</translation>
    </message>
    <message>
        <source>Style:</source>
        <translation>Art:</translation>
    </message>
    <message>
        <source>Bit Rates</source>
        <translation>Bitraten</translation>
    </message>
    <message>
        <source>AC3 5.1:</source>
        <translation>AC3 5.1:</translation>
    </message>
    <message>
        <source>AC3 stereo:</source>
        <translation>AC3 Stereo:</translation>
    </message>
    <message>
        <source>AAC:</source>
        <translation>AAC:</translation>
    </message>
    <message>
        <source>Subtitles</source>
        <translation>Untertitel</translation>
    </message>
    <message>
        <source>Leave out the subtitle tracks inside the movie</source>
        <translation>Die Untertitelspuren im Film weglassen</translation>
    </message>
    <message>
        <source>Keep only those in my languages (and untagged ones)</source>
        <translation>Nur die in meinen Sprachen behalten (und solche ohne Sprachangabe)</translation>
    </message>
    <message>
        <source>Add the subtitle files beside the movie</source>
        <translation>Die Untertiteldateien neben dem Film hinzufügen</translation>
    </message>
    <message>
        <source>Languages</source>
        <translation>Sprachen</translation>
    </message>
    <message>
        <source>Also keep the other audio tracks in my languages (up to 4)</source>
        <translation>Auch die anderen Tonspuren in meinen Sprachen behalten (bis zu 4)</translation>
    </message>
    <message>
        <source>Keep every audio track of the movie (game recordings, commentaries)</source>
        <translation>Jede Tonspur des Films behalten (Spielaufnahmen, Kommentare)</translation>
    </message>
    <message>
        <source>Further languages:</source>
        <translation>Weitere Sprachen:</translation>
    </message>
    <message>
        <source>My languages are the preferred audio language of the General page (or the system&apos;s languages), then the further ones, as two- or three-letter codes separated by commas.</source>
        <translation>Meine Sprachen sind die bevorzugte Tonsprache der Seite „Allgemein“ (oder die Sprachen des Systems), dann die weiteren, als zwei- oder dreibuchstabige Codes, durch Kommas getrennt.</translation>
    </message>
    <message>
        <source>Every audio track that is not AAC becomes AAC: plays everywhere, converts slowly.</source>
        <translation>Jede Tonspur, die nicht AAC ist, wird zu AAC: läuft überall, wandelt langsam um.</translation>
    </message>
    <message>
        <source>Also include the 5.1 surround track as a second audio track</source>
        <translation>Die 5.1-Surround-Spur zusätzlich als zweite Tonspur aufnehmen</translation>
    </message>
    <message>
        <source>Convert a DTS surround track to AC3 5.1</source>
        <translation>Eine DTS-Surround-Spur in AC3 5.1 umwandeln</translation>
    </message>
    <message>
        <source>Mark the surround track as disabled, so players start with AAC</source>
        <translation>Die Surround-Spur als deaktiviert markieren, damit Player mit AAC beginnen</translation>
    </message>
    <message>
        <source>AAC and AC3 are copied, DTS becomes AC3, everything else AC3 stereo: fast and high quality, but some devices play such files without sound.</source>
        <translation>AAC und AC3 werden kopiert, DTS wird zu AC3, alles andere zu AC3 Stereo: schnell und hochwertig, aber manche Geräte spielen solche Dateien ohne Ton ab.</translation>
    </message>
    <message>
        <source>Downmix AC3 5.1 to stereo</source>
        <translation>AC3 5.1 zu Stereo heruntermischen</translation>
    </message>
    <message>
        <source>Downmix DTS 5.1 to AC3 stereo</source>
        <translation>DTS 5.1 zu AC3 Stereo heruntermischen</translation>
    </message>
    <message>
        <source>DTS 5.1:</source>
        <translation>DTS 5.1:</translation>
    </message>
    <message>
        <source>MP3 stereo:</source>
        <translation>MP3 Stereo:</translation>
    </message>
    <message>
        <source>Other formats:</source>
        <translation>Andere Formate:</translation>
    </message>
    <message>
        <source>AAC is always copied as it is.</source>
        <translation>AAC wird immer unverändert kopiert.</translation>
    </message>
    <message>
        <source>Choose a Destination Folder</source>
        <translation>Zielordner wählen</translation>
    </message>
    <message>
        <source>Always keep the forced subtitles in the language of the sound</source>
        <translation>Erzwungene Untertitel in der Sprache des Tons immer behalten</translation>
    </message>
    <message>
        <source>Subtitle files named like the movie (Film.srt, Film.en.srt, Film.de.forced.srt) become subtitle tracks with the language and kind their names say; those you open or drop with the movie are always added. Picture subtitles (Blu-ray, DVD, DVB) are read as text.</source>
        <translation>Untertiteldateien, die wie der Film heißen (Film.srt, Film.en.srt, Film.de.forced.srt), werden zu Untertitelspuren mit der Sprache und Art, die ihr Name angibt; Dateien, die Sie zusammen mit dem Film öffnen oder ablegen, werden immer hinzugefügt. Bilduntertitel (Blu-ray, DVD, DVB) werden als Text gelesen.</translation>
    </message>
    <message>
        <source>Write cover art and tags for media centres (title, year, show, season and episode)</source>
        <translation>Cover und Tags für Mediencenter schreiben (Titel, Jahr, Serie, Staffel und Folge)</translation>
    </message>
</context>
<context>
    <name>ProbeListing</name>
    <message>
        <source>The file &apos;%@&apos; doesn&apos;t contain a H264/MPEG4 video track so the result may not be playable.</source>
        <translation>Die Datei „%@“ enthält keine H264/MPEG4-Videospur, daher lässt sich das Ergebnis womöglich nicht abspielen.</translation>
    </message>
    <message>
        <source>The file &apos;%@&apos; contains a 10-bit video track so the result will only be playable with VLC/Mplayer, but not with most other devices or players (including the &apos;Playstation 3&apos;).</source>
        <translation>Die Datei „%@“ enthält eine 10-Bit-Videospur, daher lässt sich das Ergebnis nur mit VLC/Mplayer abspielen, nicht aber mit den meisten anderen Geräten oder Playern (auch nicht mit der „Playstation 3“).</translation>
    </message>
    <message>
        <source>The file &apos;%@&apos; will probably not play back fine on the &apos;Playstation 3&apos; or other devices as it has a too large resolution. You can try converting the produced MP4 file using &apos;QuickTime Player&apos; to a 1080p M4V file to view this video on the PS3.</source>
        <translation>Die Datei „%@“ wird auf der „Playstation 3“ oder anderen Geräten wahrscheinlich nicht einwandfrei abgespielt, da ihre Auflösung zu hoch ist. Sie können versuchen, die erzeugte MP4-Datei mit „QuickTime Player“ in eine 1080p-M4V-Datei umzuwandeln, um dieses Video auf der PS3 anzusehen.</translation>
    </message>
    <message>
        <source>The file &apos;%@&apos; will probably not play back fine on the &apos;Playstation 3&apos; or other devices as it contains more &apos;reference frames&apos; than the PS3 supports. You can try converting the produced MP4 file using &apos;QuickTime Player&apos; to a 720p M4V file to view this video on the PS3.</source>
        <translation>Die Datei „%@“ wird auf der „Playstation 3“ oder anderen Geräten wahrscheinlich nicht einwandfrei abgespielt, da sie mehr „Referenzbilder“ enthält, als die PS3 unterstützt. Sie können versuchen, die erzeugte MP4-Datei mit „QuickTime Player“ in eine 720p-M4V-Datei umzuwandeln, um dieses Video auf der PS3 anzusehen.</translation>
    </message>
</context>
<context>
    <name>QueueRestore</name>
    <message>
        <source>The movie %@ no longer exists.</source>
        <translation>Den Film %@ gibt es nicht mehr.</translation>
    </message>
    <message>
        <source>The movie %@ can no longer be converted. %@</source>
        <translation>Der Film %@ kann nicht mehr umgewandelt werden. %@</translation>
    </message>
    <message>
        <source>1 movie from your last session is waiting; press Continue to convert it.</source>
        <translation>1 Film aus Ihrer letzten Sitzung wartet; klicken Sie auf Fortsetzen, um ihn umzuwandeln.</translation>
    </message>
    <message numerus="yes">
        <source>%li movies from your last session are waiting; press Continue to convert them.</source>
        <translation>
            <numerusform>%li Film aus Ihrer letzten Sitzung wartet; klicken Sie auf Fortsetzen, um ihn umzuwandeln.</numerusform>
            <numerusform>%li Filme aus Ihrer letzten Sitzung warten; klicken Sie auf Fortsetzen, um sie umzuwandeln.</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>StatusLine</name>
    <message>
        <source>Status: %1</source>
        <translation>Status: %1</translation>
    </message>
    <message>
        <source>%1   Click the arrow at the right to get more information.</source>
        <translation>%1   Klicken Sie auf den Pfeil rechts, um mehr zu erfahren.</translation>
    </message>
    <message>
        <source> [Conversion took: %1]</source>
        <translation> [Umwandlung dauerte: %1]</translation>
    </message>
    <message>
        <source>No audio</source>
        <translation>Kein Ton</translation>
    </message>
    <message>
        <source>%1   Audio: %2</source>
        <translation>%1   Ton: %2</translation>
    </message>
    <message>
        <source>%1 (Discarded: %2)</source>
        <translation>%1 (Verworfen: %2)</translation>
    </message>
    <message>
        <source>%1   ETA: %2</source>
        <translation>%1   Restzeit: %2</translation>
    </message>
    <message>
        <source>%1 (Tasks 1 to 3 of 3)</source>
        <translation>%1 (Schritte 1 bis 3 von 3)</translation>
    </message>
    <message>
        <source>%1   Reading subtitles (Task 1 of %2)</source>
        <translation>%1   Untertitel werden gelesen (Aufgabe 1 von %2)</translation>
    </message>
    <message>
        <source>%1 (Tasks %2 to %3 of %3)</source>
        <translation>%1 (Aufgaben %2 bis %3 von %3)</translation>
    </message>
    <message>
        <source>%1 (Task %2 of %2)</source>
        <translation>%1 (Aufgabe %2 von %2)</translation>
    </message>
</context>
<context>
    <name>SubtitleChooser</name>
    <message>
        <source>None</source>
        <translation>Keine</translation>
    </message>
    <message numerus="yes">
        <source>%1 of %n</source>
        <translation>
            <numerusform>%1 von %n</numerusform>
            <numerusform>%1 von %n</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>SubtitleReading</name>
    <message>
        <source>%1 left out: install %2 to read it</source>
        <translation>%1 weggelassen: installieren Sie %2, um sie zu lesen</translation>
    </message>
    <message>
        <source>subtitle track %1%2</source>
        <translation>Untertitelspur %1%2</translation>
    </message>
    <message>
        <source>subtitle file %1%2</source>
        <translation>Untertiteldatei %1%2</translation>
    </message>
    <message>
        <source>Forced</source>
        <translation>Erzwungen</translation>
    </message>
    <message>
        <source>%1 (forced)</source>
        <translation>%1 (erzwungen)</translation>
    </message>
</context>
<context>
    <name>ToolLocator</name>
    <message>
        <source>%1 was not found. Install it with: %2</source>
        <translation>%1 wurde nicht gefunden. Installieren Sie es mit: %2</translation>
    </message>
    <message>
        <source>%1 was not found. It is part of Vantreo and belongs in %2; reinstall Vantreo or set VANTREO_TOOLS_DIR.</source>
        <translation>%1 wurde nicht gefunden. Es gehört zu Vantreo und liegt normalerweise in %2; installieren Sie Vantreo neu oder setzen Sie VANTREO_TOOLS_DIR.</translation>
    </message>
</context>
<context>
    <name>Vantreo</name>
    <message>
        <source>Version:</source>
        <translation>Version:</translation>
    </message>
    <message>
        <source>Build:</source>
        <translation>Build:</translation>
    </message>
</context>
<context>
    <name>VideoCodecs</name>
    <message>
        <source>its video is %1, which an MP4 cannot hold without re-encoding.</source>
        <translation>sein Video ist %1, das eine MP4-Datei nicht ohne Neukodierung aufnehmen kann.</translation>
    </message>
    <message>
        <source>its VP9 video plays on computers and Android, not on iPhone or Apple TV.</source>
        <translation>sein VP9-Video läuft auf Computern und Android, nicht auf iPhone oder Apple TV.</translation>
    </message>
    <message>
        <source>its %1 video plays on computers and most TVs, not on iPhone, iPad or Apple TV.</source>
        <translation>sein %1-Video läuft auf Computern und den meisten Fernsehern, nicht auf iPhone, iPad oder Apple TV.</translation>
    </message>
    <message>
        <source>its MPEG-4 Part 2 video (DivX, Xvid) plays on computers and most TVs, not on iPhone, iPad or Apple TV.</source>
        <translation>sein MPEG-4-Part-2-Video (DivX, Xvid) läuft auf Computern und den meisten Fernsehern, nicht auf iPhone, iPad oder Apple TV.</translation>
    </message>
    <message>
        <source>its 10-bit H.264 video plays on computers, not on iPhone, Apple TV or most TVs.</source>
        <translation>sein 10-Bit-H.264-Video läuft auf Computern, nicht auf iPhone, Apple TV oder den meisten Fernsehern.</translation>
    </message>
    <message>
        <source>it is a picture, not a movie</source>
        <translation>es ist ein Bild, kein Film</translation>
    </message>
    <message>
        <source>not a movie file (ffmpeg reads it as %1)</source>
        <translation>keine Filmdatei (ffmpeg liest sie als %1)</translation>
    </message>
</context>
</TS>
