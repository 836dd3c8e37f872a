<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="fr_FR">
<context>
    <name>AddPanel</name>
    <message>
        <source>Cancel</source>
        <translation>Annuler</translation>
    </message>
    <message>
        <source>Skip this movie (Esc)</source>
        <translation>Passer ce film (Échap)</translation>
    </message>
    <message>
        <source>Queue this movie (Enter)</source>
        <translation>Mettre ce film en file d’attente (Entrée)</translation>
    </message>
    <message>
        <source>&amp;Audio track:</source>
        <translation>Piste &amp;audio :</translation>
    </message>
    <message>
        <source>&amp;Destination:</source>
        <translation>&amp;Destination :</translation>
    </message>
    <message>
        <source>Reading the movie…</source>
        <translation>Lecture du film…</translation>
    </message>
    <message>
        <source>Choose a Destination Folder</source>
        <translation>Choisir un dossier de destination</translation>
    </message>
    <message>
        <source>Start Conversion</source>
        <translation>Lancer la conversion</translation>
    </message>
    <message>
        <source>Add to Queue</source>
        <translation>Ajouter à la file</translation>
    </message>
    <message>
        <source>&amp;Subtitles:</source>
        <translation>&amp;Sous-titres :</translation>
    </message>
</context>
<context>
    <name>AddPanelTexts</name>
    <message>
        <source>This file does not exist (any more).</source>
        <translation>Ce fichier n’existe pas (ou plus).</translation>
    </message>
    <message>
        <source>This is a folder, not a movie file.</source>
        <translation>C’est un dossier, pas un fichier de film.</translation>
    </message>
    <message>
        <source>This link leads to nothing.</source>
        <translation>Ce lien ne mène nulle part.</translation>
    </message>
    <message>
        <source>This is not a regular file (a pipe, a socket or a device); Vantreo reads movies only from regular files.</source>
        <translation>Ce n’est pas un fichier ordinaire (un tube, un socket ou un périphérique) ; Vantreo ne lit les films que depuis des fichiers ordinaires.</translation>
    </message>
    <message>
        <source>1 more movie waiting</source>
        <translation>1 autre film en attente</translation>
    </message>
    <message numerus="yes">
        <source>%n more movies waiting</source>
        <translation>
            <numerusform>%n autre film en attente</numerusform>
            <numerusform>%n autres films en attente</numerusform>
        </translation>
    </message>
    <message>
        <source>unknown</source>
        <translation>inconnu</translation>
    </message>
    <message>
        <source>Also keeps: %1</source>
        <translation>Garde aussi : %1</translation>
    </message>
    <message>
        <source>no other audio track</source>
        <translation>aucune autre piste audio</translation>
    </message>
    <message>
        <source>Subtitles: %1</source>
        <translation>Sous-titres : %1</translation>
    </message>
    <message>
        <source>none</source>
        <translation>aucun</translation>
    </message>
    <message>
        <source>forced</source>
        <translation>forcés</translation>
    </message>
    <message>
        <source>Subtitle files: %1</source>
        <translation>Fichiers de sous-titres : %1</translation>
    </message>
    <message>
        <source>Streamable</source>
        <translation>Lecture en continu</translation>
    </message>
    <message>
        <source>No audio</source>
        <translation>Pas de son</translation>
    </message>
    <message>
        <source>This file has no video track to keep; Vantreo converts movies.</source>
        <translation>Ce fichier n’a aucune piste vidéo à conserver ; Vantreo convertit des films.</translation>
    </message>
    <message>
        <source>Duration:</source>
        <translation>Durée :</translation>
    </message>
    <message>
        <source>Bitrate:</source>
        <translation>Débit :</translation>
    </message>
    <message>
        <source>Resolution:</source>
        <translation>Résolution :</translation>
    </message>
    <message>
        <source>Audiotracks:</source>
        <translation>Pistes audio :</translation>
    </message>
    <message>
        <source>Note: %1</source>
        <translation>Remarque : %1</translation>
    </message>
    <message>
        <source>skipped %1: half of a VobSub pair (.idx and .sub), which cannot be read alone</source>
        <translation>%1 ignoré : la moitié d’une paire VobSub (.idx et .sub), qui ne peut pas être lue seule</translation>
    </message>
    <message>
        <source>(read as text)</source>
        <translation>(lu comme texte)</translation>
    </message>
</context>
<context>
    <name>Alerts</name>
    <message>
        <source>Warning</source>
        <translation>Attention</translation>
    </message>
    <message>
        <source>Conversion Failed</source>
        <translation>Échec de la conversion</translation>
    </message>
    <message>
        <source>Information</source>
        <translation>Information</translation>
    </message>
    <message>
        <source>Fatal Error</source>
        <translation>Erreur fatale</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Annuler</translation>
    </message>
    <message>
        <source>Quit</source>
        <translation>Quitter</translation>
    </message>
    <message>
        <source>Remove</source>
        <translation>Retirer</translation>
    </message>
    <message>
        <source>Send to support</source>
        <translation>Envoyer au support</translation>
    </message>
    <message>
        <source>Don&apos;t warn again</source>
        <translation>Ne plus avertir</translation>
    </message>
    <message>
        <source>Conversion is in progresss. Are you sure you want to quit?</source>
        <translation>Une conversion est en cours. Voulez-vous vraiment quitter ?</translation>
    </message>
    <message>
        <source>Welcome to Vantreo. To convert MKV files just drag them into the main window or onto the program&apos;s icon. Note that conversion will be much faster, more reliable and higher quality if you select &apos;High Speed &amp; Quality&apos; in the &apos;Audio Conversion Settings&apos; in the Preferences, though the resulting files may not play with sound on some devices (e.g. iOS). Try it out.</source>
        <translation>Bienvenue dans Vantreo. Pour convertir des fichiers MKV, faites-les simplement glisser dans la fenêtre principale ou sur l’icône du programme. La conversion sera bien plus rapide, plus fiable et de meilleure qualité si vous choisissez « Vitesse et qualité élevées » dans les « Réglages de conversion audio » des Préférences, mais certains appareils (par ex. iOS) risquent alors de lire les fichiers sans le son. Essayez !</translation>
    </message>
</context>
<context>
    <name>CommandLine</name>
    <message>
        <source>Usage: %1</source>
        <translation>Utilisation : %1</translation>
    </message>
    <message>
        <source>vantreo-cli watch: &apos;%1&apos; is not a folder</source>
        <translation>vantreo-cli watch : « %1 » n’est pas un dossier</translation>
    </message>
    <message>
        <source>vantreo-cli %1: --dest &apos;%2&apos; is not a folder</source>
        <translation>vantreo-cli %1 : --dest « %2 » n’est pas un dossier</translation>
    </message>
    <message>
        <source>vantreo-cli convert: subtitle file &apos;%1&apos; not found</source>
        <translation>vantreo-cli convert : fichier de sous-titres « %1 » introuvable</translation>
    </message>
    <message>
        <source>unknown option &apos;%1&apos;</source>
        <translation>option inconnue « %1 »</translation>
    </message>
    <message>
        <source>option &apos;%1&apos; needs a value</source>
        <translation>l’option « %1 » demande une valeur</translation>
    </message>
    <message>
        <source>--jobs takes a number from 1 to 64, not &apos;%1&apos;</source>
        <translation>--jobs attend un nombre de 1 à 64, pas « %1 »</translation>
    </message>
    <message>
        <source>--settle takes seconds from 0 to 3600, not &apos;%1&apos;</source>
        <translation>--settle attend un nombre de secondes de 0 à 3600, pas « %1 »</translation>
    </message>
    <message>
        <source>--style takes compatible, fast or custom, not &apos;%1&apos;</source>
        <translation>--style attend compatible, fast ou custom, pas « %1 »</translation>
    </message>
    <message>
        <source>no folder given</source>
        <translation>aucun dossier indiqué</translation>
    </message>
    <message>
        <source>no movie given</source>
        <translation>aucun film indiqué</translation>
    </message>
    <message>
        <source>--subtitles goes with a single movie, not a folder</source>
        <translation>--subtitles s’applique à un seul film, pas à un dossier</translation>
    </message>
    <message>
        <source>it has no audio track that ffmpeg can read</source>
        <translation>il n’a aucune piste audio lisible par ffmpeg</translation>
    </message>
    <message>
        <source>it has no audio track %1 (tracks 0 to %2)</source>
        <translation>il n’a pas de piste audio %1 (pistes 0 à %2)</translation>
    </message>
    <message>
        <source>it has no audio track in the language &apos;%1&apos;</source>
        <translation>il n’a aucune piste audio dans la langue « %1 »</translation>
    </message>
    <message>
        <source>vantreo-cli: unknown command &apos;%1&apos;</source>
        <translation>vantreo-cli : commande inconnue « %1 »</translation>
    </message>
    <message>
        <source>none</source>
        <translation>aucun</translation>
    </message>
    <message>
        <source>Audio tracks:</source>
        <translation>Pistes audio :</translation>
    </message>
    <message>
        <source>Video stream:</source>
        <translation>Flux vidéo :</translation>
    </message>
    <message>
        <source>Text subtitle streams:</source>
        <translation>Flux de sous-titres texte :</translation>
    </message>
    <message>
        <source>Kept subtitle streams:</source>
        <translation>Flux de sous-titres conservés :</translation>
    </message>
    <message>
        <source>Subtitle files:</source>
        <translation>Fichiers de sous-titres :</translation>
    </message>
    <message>
        <source>Note: %1</source>
        <translation>Remarque : %1</translation>
    </message>
    <message>
        <source>Streamable:</source>
        <translation>Lecture en continu :</translation>
    </message>
    <message>
        <source>yes (index before the media)</source>
        <translation>oui (index avant les données)</translation>
    </message>
    <message>
        <source>no</source>
        <translation>non</translation>
    </message>
    <message>
        <source>Warning: %1</source>
        <translation>Attention : %1</translation>
    </message>
    <message>
        <source>vantreo-cli probe: unknown option &apos;%1&apos;</source>
        <translation>vantreo-cli probe : option inconnue « %1 »</translation>
    </message>
    <message>
        <source>Interrupted.</source>
        <translation>Interrompu.</translation>
    </message>
    <message>
        <source>Known keys: %1</source>
        <translation>Clés connues : %1</translation>
    </message>
    <message>
        <source>(default)</source>
        <translation>(par défaut)</translation>
    </message>
    <message>
        <source>(not set)</source>
        <translation>(non défini)</translation>
    </message>
    <message>
        <source>File: %1</source>
        <translation>Fichier : %1</translation>
    </message>
    <message>
        <source>vantreo-cli settings: unknown key &apos;%1&apos;</source>
        <translation>vantreo-cli settings : clé inconnue « %1 »</translation>
    </message>
    <message>
        <source>missing: %1</source>
        <translation>manquant : %1</translation>
    </message>
    <message>
        <source>Picture subtitle streams:</source>
        <translation>Flux de sous-titres en images :</translation>
    </message>
    <message>
        <source>(read as text)</source>
        <translation>(lu comme texte)</translation>
    </message>
    <message>
        <source>Subtitles written:</source>
        <translation>Sous-titres écrits :</translation>
    </message>
    <message>
        <source>not converted: %1</source>
        <translation>non converti : %1</translation>
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
        <translation>Utilisation : vantreo-cli [--settings FICHIER] COMMANDE ...

Commandes :
  probe [--json] FICHIER...   montrer le contenu de chaque film
  convert [options] FICHIER... convertir des films en MP4, l’un après l’autre
      --dest DOSSIER                  écrire les fichiers MP4 dans DOSSIER
      --style compatible|fast|custom  style de conversion audio pour cette exécution
      --audio INDEX|LANGUE            piste audio par index ou par langue
      --subtitles FICHIER             ajouter ce fichier de sous-titres
      --subtitles all|none|LANGUE,...  les pistes de sous-titres à écrire, cette fois
      --no-forced                     ne pas garder les sous-titres forcés que les
                                      autres réglages laissent de côté, cette fois
      --no-sidecars                   ne pas ajouter les fichiers de sous-titres
                                      placés à côté de chaque film, cette fois
      --no-tags                       n’écrire ni pochette ni étiquettes pour
                                      les médiathèques, pour cette exécution
      --all-audio                     garder toutes les pistes audio, cette fois
      --m4v                           nommer les fichiers produits .m4v
      --keep-languages                garder aussi les pistes audio et seulement les
                                      sous-titres dans vos langues, cette fois
      --no-keep-languages             ne rien garder selon la langue, cette fois
      --recursive, -r                 convertir chaque film des dossiers indiqués,
                                      en passant ceux déjà convertis
      --force                         convertir à nouveau les films déjà convertis
      --jobs N                        convertir N films à la fois (par défaut 1)
      --json                          signaler chaque film par une ligne JSON
  watch [options] DOSSIER...  convertir les films des dossiers, puis chaque
                            nouveau film une fois complet, jusqu’à l’arrêt
      --settle SECONDES               durée pendant laquelle un nouveau film doit rester
                                      inchangé (par défaut 10) ; et les options de convert
  settings [CLÉ [VALEUR]]   lister, afficher ou modifier un réglage
  tools                     montrer où les outils externes ont été trouvés
  help                      afficher ce texte
</translation>
    </message>
    <message>
        <source>Tags:</source>
        <translation>Étiquettes :</translation>
    </message>
    <message>
        <source>Cover:</source>
        <translation>Pochette :</translation>
    </message>
    <message>
        <source>stream %1</source>
        <translation>flux %1</translation>
    </message>
</context>
<context>
    <name>ConversionJob</name>
    <message>
        <source>Converting MKV file.</source>
        <translation>Conversion d’un fichier MKV.</translation>
    </message>
</context>
<context>
    <name>ConversionStages</name>
    <message>
        <source>The Dolby Vision sample entry (dvh1) could not be written into the converted file.</source>
        <translation>L&apos;entrée Dolby Vision (dvh1) n&apos;a pas pu être écrite dans le fichier converti.</translation>
    </message>
    <message>
        <source>its reader ended with status %1</source>
        <translation>son lecteur s’est terminé avec le statut %1</translation>
    </message>
    <message>
        <source>%1 left out: it could not be read (%2)</source>
        <translation>%1 laissé de côté : impossible de le lire (%2)</translation>
    </message>
    <message>
        <source>%1 left out: no text could be read from its pictures</source>
        <translation>%1 laissé de côté : aucun texte n’a pu être lu dans ses images</translation>
    </message>
    <message>
        <source>Note: %1: %2</source>
        <translation>Remarque : %1 : %2</translation>
    </message>
</context>
<context>
    <name>ConvertSession</name>
    <message>
        <source>Not converted: %1: %2</source>
        <translation>Non converti : %1 : %2</translation>
    </message>
    <message>
        <source>Skipped: %1: %2</source>
        <translation>Ignoré : %1 : %2</translation>
    </message>
    <message>
        <source>no such file</source>
        <translation>fichier introuvable</translation>
    </message>
    <message>
        <source>it is a folder</source>
        <translation>c’est un dossier</translation>
    </message>
    <message>
        <source>not a regular file</source>
        <translation>pas un fichier ordinaire</translation>
    </message>
    <message>
        <source>no such file or folder</source>
        <translation>fichier ou dossier introuvable</translation>
    </message>
    <message numerus="yes">
        <source>Found %n movies under %1</source>
        <translation>
            <numerusform>%n film trouvé dans %1</numerusform>
            <numerusform>%n films trouvés dans %1</numerusform>
        </translation>
    </message>
    <message>
        <source>not a folder or a movie file</source>
        <translation>ni un dossier ni un fichier de film</translation>
    </message>
    <message>
        <source>Found: %1</source>
        <translation>Trouvé : %1</translation>
    </message>
    <message>
        <source>Waiting: %1 is still being written</source>
        <translation>En attente : %1 est encore en cours d’écriture</translation>
    </message>
    <message numerus="yes">
        <source>Watching %n folders under %1</source>
        <translation>
            <numerusform>Surveillance de %n dossier dans %1</numerusform>
            <numerusform>Surveillance de %n dossiers dans %1</numerusform>
        </translation>
    </message>
    <message>
        <source>vantreo-cli convert: --subtitles goes with a single movie</source>
        <translation>vantreo-cli convert : --subtitles ne s’applique qu’à un seul film</translation>
    </message>
    <message>
        <source>Stopped: %1 converted, %2 failed, %3 skipped; unfinished files removed</source>
        <translation>Arrêté : %1 convertis, %2 en échec, %3 ignorés ; fichiers inachevés supprimés</translation>
    </message>
    <message>
        <source>Interrupted: conversions stopped, unfinished files removed.</source>
        <translation>Interrompu : conversions arrêtées, fichiers inachevés supprimés.</translation>
    </message>
    <message>
        <source>Finished: %1</source>
        <translation>Terminé : %1</translation>
    </message>
    <message>
        <source>Failed: %1: %2</source>
        <translation>Échec : %1 : %2</translation>
    </message>
    <message>
        <source>%1 converted, %2 failed, %3 skipped</source>
        <translation>%1 convertis, %2 en échec, %3 ignorés</translation>
    </message>
    <message>
        <source>Warning: %1</source>
        <translation>Attention : %1</translation>
    </message>
    <message>
        <source>Note: %1: %2</source>
        <translation>Remarque : %1 : %2</translation>
    </message>
    <message>
        <source>ffmpeg cannot read it as a movie</source>
        <translation>ffmpeg ne peut pas le lire comme un film</translation>
    </message>
    <message>
        <source>it has no video track</source>
        <translation>il n’a pas de piste vidéo</translation>
    </message>
    <message>
        <source>the destination folder cannot be written to</source>
        <translation>impossible d’écrire dans le dossier de destination</translation>
    </message>
    <message>
        <source>Converted: %1 -&gt; %2</source>
        <translation>Converti : %1 -&gt; %2</translation>
    </message>
    <message>
        <source>not a movie file</source>
        <translation>pas un fichier vidéo</translation>
    </message>
</context>
<context>
    <name>CoverChoice</name>
    <message>
        <source>cover %1 left out: it is neither JPEG nor PNG</source>
        <translation>pochette %1 laissée de côté : ce n’est ni du JPEG ni du PNG</translation>
    </message>
    <message>
        <source>cover %1 left out: it is larger than 10 MB</source>
        <translation>pochette %1 laissée de côté : elle dépasse 10 Mo</translation>
    </message>
</context>
<context>
    <name>DesktopLaunch</name>
    <message>
        <source>Vantreo: the connection to the display is gone; conversions stopped, unfinished files removed.</source>
        <translation>Vantreo : la connexion à l’affichage est perdue ; conversions arrêtées, fichiers inachevés supprimés.</translation>
    </message>
</context>
<context>
    <name>DestinationComboBox</name>
    <message>
        <source>Ask for Every Movie</source>
        <translation>Demander pour chaque film</translation>
    </message>
    <message>
        <source>Choose…</source>
        <translation>Choisir…</translation>
    </message>
</context>
<context>
    <name>FailureExplanation</name>
    <message>
        <source>untagged</source>
        <translation>sans langue</translation>
    </message>
    <message>
        <source>Movie conversion failed because there is not enough free space left on the destination volume. Please make sure your harddisk has enough free space before starting conversion</source>
        <translation>La conversion a échoué faute d&apos;espace libre sur le volume de destination. Veuillez libérer assez d&apos;espace sur votre disque avant de lancer la conversion</translation>
    </message>
    <message>
        <source>Movie conversion failed because you&apos;ve removed/renamed the source movie file or unmounted it&apos;s volume.</source>
        <translation>La conversion a échoué car le film source a été supprimé, renommé ou son volume démonté.</translation>
    </message>
    <message>
        <source>This is most likely related to the subtitles embedded into the movie. Please disable conversion of embedded subtitles in the preferences and try again.</source>
        <translation>Cela vient très probablement des sous-titres intégrés au film. Veuillez désactiver la conversion des sous-titres intégrés dans les préférences et réessayer.</translation>
    </message>
    <message>
        <source>This is most likely related to the subtitles embedded into the movie (kept for the languages %@). Please disable conversion of embedded subtitles in the preferences and try again.</source>
        <translation>Cela vient très probablement des sous-titres intégrés au film (conservés pour les langues %@). Veuillez désactiver la conversion des sous-titres intégrés dans les préférences et réessayer.</translation>
    </message>
    <message>
        <source>This is most likely related to the subtitle file you have specified. Please try again without the subtitle file.</source>
        <translation>Cela vient très probablement du fichier de sous-titres indiqué. Veuillez réessayer sans ce fichier.</translation>
    </message>
    <message>
        <source>A problem prevented the file from being converted. %@ You can contact our support with this information so that we can fix this problem.

Command-line: %@
Command-output: %@</source>
        <translation>Un problème a empêché la conversion du fichier. %@ Vous pouvez contacter notre assistance avec ces informations pour que nous puissions corriger ce problème.

Ligne de commande : %@
Sortie de la commande : %@</translation>
    </message>
    <message>
        <source>You don&apos;t seem to have write access to the selected destinatation or it is a read-only filesystem. Please choose another destination.</source>
        <translation>Vous ne semblez pas avoir le droit d&apos;écrire dans la destination choisie, ou elle se trouve sur un système de fichiers en lecture seule. Veuillez choisir une autre destination.</translation>
    </message>
</context>
<context>
    <name>FileDialogs</name>
    <message>
        <source>Choose</source>
        <translation>Choisir</translation>
    </message>
    <message>
        <source>Save Converted Movie</source>
        <translation>Enregistrer le film converti</translation>
    </message>
    <message>
        <source>%1 movie</source>
        <translation>Film %1</translation>
    </message>
    <message>
        <source>Add Movies</source>
        <translation>Ajouter des films</translation>
    </message>
    <message>
        <source>Movies and subtitles</source>
        <translation>Films et sous-titres</translation>
    </message>
    <message>
        <source>Add</source>
        <translation>Ajouter</translation>
    </message>
    <message>
        <source>All files</source>
        <translation>Tous les fichiers</translation>
    </message>
</context>
<context>
    <name>FreeSpaceCheck</name>
    <message>
        <source>There is not enough free space on your boot disk for conversion.</source>
        <translation>Il n&apos;y a pas assez d&apos;espace libre sur votre disque système pour la conversion.</translation>
    </message>
    <message>
        <source>There is not enough free space on your target disk for conversion.</source>
        <translation>Il n&apos;y a pas assez d&apos;espace libre sur votre disque de destination pour la conversion.</translation>
    </message>
    <message>
        <source>Your target disk doesn&apos;t support large files.</source>
        <translation>Votre disque de destination ne prend pas en charge les gros fichiers.</translation>
    </message>
</context>
<context>
    <name>HelpWindow</name>
    <message>
        <source>This document is not available.</source>
        <translation>Ce document n’est pas disponible.</translation>
    </message>
</context>
<context>
    <name>JobActions</name>
    <message>
        <source>Pause or Continue</source>
        <translation>Pause ou reprise</translation>
    </message>
    <message>
        <source>Remove</source>
        <translation>Retirer</translation>
    </message>
    <message>
        <source>Show in File Manager</source>
        <translation>Afficher dans le gestionnaire de fichiers</translation>
    </message>
    <message>
        <source>Show Source</source>
        <translation>Afficher la source</translation>
    </message>
    <message>
        <source>Copy Error Details</source>
        <translation>Copier les détails de l’erreur</translation>
    </message>
    <message>
        <source>Pause</source>
        <translation>Pause</translation>
    </message>
    <message>
        <source>Continue</source>
        <translation>Reprendre</translation>
    </message>
    <message>
        <source>Start</source>
        <translation>Démarrer</translation>
    </message>
    <message>
        <source>Why Did It Fail?</source>
        <translation>Pourquoi l’échec ?</translation>
    </message>
    <message>
        <source>“%1” is converting. Removing it stops the conversion and deletes the unfinished file.</source>
        <translation>« %1 » est en cours de conversion. Le retirer arrête la conversion et supprime le fichier inachevé.</translation>
    </message>
    <message numerus="yes">
        <source>%n of these movies are converting. Removing them stops their conversions and deletes the unfinished files.</source>
        <translation>
            <numerusform>%n de ces films est en cours de conversion. Le retirer arrête sa conversion et supprime le fichier inachevé.</numerusform>
            <numerusform>%n de ces films sont en cours de conversion. Les retirer arrête leurs conversions et supprime les fichiers inachevés.</numerusform>
        </translation>
    </message>
    <message>
        <source>Remove a Converting Movie?</source>
        <translation>Retirer un film en cours de conversion ?</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Annuler</translation>
    </message>
</context>
<context>
    <name>JobEnding</name>
    <message>
        <source>%@ Conversion Failed</source>
        <translation>%@ : échec de la conversion</translation>
    </message>
    <message>
        <source>Vantreo has failed to convert the file %@.</source>
        <translation>Vantreo n&apos;a pas pu convertir le fichier %@.</translation>
    </message>
    <message>
        <source>%@ Conversion Finished</source>
        <translation>%@ : conversion terminée</translation>
    </message>
    <message>
        <source>%@ has finished converting the file %@.</source>
        <translation>%@ a terminé la conversion du fichier %@.</translation>
    </message>
    <message>
        <source>Show</source>
        <translation>Afficher</translation>
    </message>
    <message>
        <source>It seems you&apos;ve removed the file %@ or unmounted it&apos;s volume so conversion can&apos;t proceed.</source>
        <translation>Il semble que le fichier %@ ait été supprimé ou son volume démonté ; la conversion ne peut pas continuer.</translation>
    </message>
</context>
<context>
    <name>JobItemDelegate</name>
    <message>
        <source>Fast</source>
        <translation>Rapide</translation>
    </message>
    <message>
        <source>Slow</source>
        <translation>Lent</translation>
    </message>
    <message>
        <source>Finished</source>
        <translation>Terminé</translation>
    </message>
    <message>
        <source>Failed</source>
        <translation>Échec</translation>
    </message>
</context>
<context>
    <name>JobListView</name>
    <message>
        <source>Drop movies here</source>
        <translation>Déposez des films ici</translation>
    </message>
    <message>
        <source>Drop to add the movies</source>
        <translation>Déposez pour ajouter les films</translation>
    </message>
</context>
<context>
    <name>JobRecord</name>
    <message>
        <source>A temporary file could not be created in the cache folder %@.</source>
        <translation>Aucun fichier temporaire n&apos;a pu être créé dans le dossier de cache %@.</translation>
    </message>
</context>
<context>
    <name>JobRowLayout</name>
    <message>
        <source>Continue</source>
        <translation>Reprendre</translation>
    </message>
    <message>
        <source>Start</source>
        <translation>Démarrer</translation>
    </message>
    <message>
        <source>Pause</source>
        <translation>Pause</translation>
    </message>
    <message>
        <source>Remove from the list</source>
        <translation>Retirer de la liste</translation>
    </message>
    <message>
        <source>Why did the conversion fail?</source>
        <translation>Pourquoi la conversion a-t-elle échoué ?</translation>
    </message>
    <message>
        <source>Show in the file manager (with Shift: the source movie)</source>
        <translation>Afficher dans le gestionnaire de fichiers (avec Maj : le film source)</translation>
    </message>
</context>
<context>
    <name>JobState</name>
    <message>
        <source>Queued</source>
        <translation>En attente</translation>
    </message>
    <message>
        <source>Converting</source>
        <translation>Conversion en cours</translation>
    </message>
    <message>
        <source>Paused</source>
        <translation>En pause</translation>
    </message>
    <message>
        <source>Finished</source>
        <translation>Terminé</translation>
    </message>
    <message>
        <source>Failed</source>
        <translation>Échec</translation>
    </message>
</context>
<context>
    <name>LibraryFeed</name>
    <message>
        <source>already converted to %1</source>
        <translation>déjà converti en %1</translation>
    </message>
    <message>
        <source>the destination folder cannot be written to</source>
        <translation>impossible d’écrire dans le dossier de destination</translation>
    </message>
    <message>
        <source>being converted by another run (pid %1)</source>
        <translation>en cours de conversion par une autre exécution (pid %1)</translation>
    </message>
    <message>
        <source>being converted by another run</source>
        <translation>en cours de conversion par une autre exécution</translation>
    </message>
    <message>
        <source>being converted on %1</source>
        <translation>en cours de conversion sur %1</translation>
    </message>
    <message>
        <source>claimed on %1, not renewed for %2 minutes; remove %3 if that run has ended</source>
        <translation>réservé sur %1, non renouvelé depuis %2 minutes ; supprimez %3 si cette exécution est terminée</translation>
    </message>
</context>
<context>
    <name>MKVFileInfo</name>
    <message>
        <source>%@ was stopped because Vantreo is quitting.</source>
        <translation>%@ a été arrêté parce que Vantreo se ferme.</translation>
    </message>
    <message>
        <source>%@ did not answer within %i s.</source>
        <translation>%@ n’a pas répondu dans les %i s.</translation>
    </message>
    <message>
        <source>It is not a regular file.</source>
        <translation>Ce n’est pas un fichier ordinaire.</translation>
    </message>
</context>
<context>
    <name>MainWindow</name>
    <message>
        <source>Add…</source>
        <translation>Ajouter…</translation>
    </message>
    <message>
        <source>Add movies to convert</source>
        <translation>Ajouter des films à convertir</translation>
    </message>
    <message>
        <source>Clean Up</source>
        <translation>Nettoyer</translation>
    </message>
    <message>
        <source>Remove finished movies from the list</source>
        <translation>Retirer de la liste les films terminés</translation>
    </message>
    <message>
        <source>Preferences…</source>
        <translation>Préférences…</translation>
    </message>
    <message>
        <source>Quit</source>
        <translation>Quitter</translation>
    </message>
    <message>
        <source>Main Window</source>
        <translation>Fenêtre principale</translation>
    </message>
    <message>
        <source>&amp;File</source>
        <translation>&amp;Fichier</translation>
    </message>
    <message>
        <source>&amp;Window</source>
        <translation>Fe&amp;nêtre</translation>
    </message>
    <message>
        <source>&amp;Help</source>
        <translation>&amp;Aide</translation>
    </message>
    <message>
        <source>Read Me</source>
        <translation>Lisez-moi</translation>
    </message>
    <message>
        <source>FAQ</source>
        <translation>FAQ</translation>
    </message>
    <message>
        <source>History</source>
        <translation>Historique</translation>
    </message>
    <message>
        <source>Credits</source>
        <translation>Remerciements</translation>
    </message>
    <message>
        <source>Support Request…</source>
        <translation>Demande d’assistance…</translation>
    </message>
    <message>
        <source>Beta Versions…</source>
        <translation>Versions bêta…</translation>
    </message>
    <message>
        <source>Product Page</source>
        <translation>Page du produit</translation>
    </message>
    <message>
        <source>Download Page</source>
        <translation>Page de téléchargement</translation>
    </message>
    <message>
        <source>About Vantreo</source>
        <translation>À propos de Vantreo</translation>
    </message>
    <message>
        <source>Toolbar</source>
        <translation>Barre d’outils</translation>
    </message>
    <message>
        <source>Resume Queue</source>
        <translation>Reprendre la file</translation>
    </message>
    <message>
        <source>Pause Queue</source>
        <translation>Suspendre la file</translation>
    </message>
    <message>
        <source>Resume the queue</source>
        <translation>Reprendre la file d’attente</translation>
    </message>
    <message>
        <source>Pause the queue</source>
        <translation>Suspendre la file d’attente</translation>
    </message>
    <message>
        <source>Vantreo keeps converting in the tray. Quit from its menu.</source>
        <translation>Vantreo continue de convertir dans la zone de notification. Quittez-le depuis son menu.</translation>
    </message>
    <message>
        <source>About %1</source>
        <translation>À propos de %1</translation>
    </message>
    <message>
        <source>%1&lt;br&gt;%2&lt;br&gt;&lt;br&gt;Turns Matroska movies into MP4 files without re-encoding the video.</source>
        <translation>%1&lt;br&gt;%2&lt;br&gt;&lt;br&gt;Transforme des films Matroska en fichiers MP4 sans réencoder la vidéo.</translation>
    </message>
    <message numerus="yes">
        <source>[%n Job(s), %1 Queued]</source>
        <translation>
            <numerusform>[%n tâche, %1 en attente]</numerusform>
            <numerusform>[%n tâches, %1 en attente]</numerusform>
        </translation>
    </message>
    <message>
        <source>(Paused)</source>
        <translation>(En pause)</translation>
    </message>
</context>
<context>
    <name>MessageBoxAlertPresenter</name>
    <message>
        <source>Copy</source>
        <translation>Copier</translation>
    </message>
</context>
<context>
    <name>MovieTags</name>
    <message>
        <source>TV show: %1, %2</source>
        <translation>Série : %1, %2</translation>
    </message>
    <message>
        <source>Movie: %1</source>
        <translation>Film : %1</translation>
    </message>
    <message>
        <source>Movie: %1 (%2)</source>
        <translation>Film : %1 (%2)</translation>
    </message>
</context>
<context>
    <name>OutputFiles</name>
    <message>
        <source>The converted file could not be written to the disk.</source>
        <translation>Le fichier converti n&apos;a pas pu être écrit sur le disque.</translation>
    </message>
    <message>
        <source>The converted file could not be moved to %@.</source>
        <translation>Le fichier converti n&apos;a pas pu être déplacé vers %@.</translation>
    </message>
</context>
<context>
    <name>OutputVerification</name>
    <message>
        <source>1 audio track</source>
        <translation>1 piste audio</translation>
    </message>
    <message numerus="yes">
        <source>%n audio tracks</source>
        <translation>
            <numerusform>%n piste audio</numerusform>
            <numerusform>%n pistes audio</numerusform>
        </translation>
    </message>
    <message>
        <source>The converted file lasts %@ instead of the movie&apos;s %@.</source>
        <translation>Le fichier converti dure %@ au lieu des %@ du film.</translation>
    </message>
    <message>
        <source>The sound of the converted file is %1 s early.</source>
        <translation>Le son du fichier converti est en avance de %1 s.</translation>
    </message>
    <message>
        <source>The sound of the converted file is %1 s late.</source>
        <translation>Le son du fichier converti est en retard de %1 s.</translation>
    </message>
    <message>
        <source>The sound of the converted file ends %1 s early: part of it went missing.</source>
        <translation>Le son du fichier converti se termine %1 s trop tôt : une partie en a été perdue.</translation>
    </message>
    <message>
        <source>The converted file cannot be read back as an MP4 file.</source>
        <translation>Le fichier converti ne peut pas être relu comme fichier MP4.</translation>
    </message>
    <message>
        <source>The converted file has no video frames.</source>
        <translation>Le fichier converti ne contient aucune image vidéo.</translation>
    </message>
    <message>
        <source>The converted file has no audio track.</source>
        <translation>Le fichier converti n&apos;a aucune piste audio.</translation>
    </message>
    <message>
        <source>The converted file has %1 instead of %2.</source>
        <translation>Le fichier converti a %1 au lieu de %2.</translation>
    </message>
    <message>
        <source>The converted file has an audio track without sound.</source>
        <translation>Le fichier converti a une piste audio sans son.</translation>
    </message>
    <message>
        <source>Warning: &apos;%@&apos; ends after %@ of its %@; the MP4 holds all of it that could be read.</source>
        <translation>Attention : « %@ » s&apos;arrête après %@ sur %@ ; le MP4 contient tout ce qui a pu être lu.</translation>
    </message>
</context>
<context>
    <name>PreferencesWindow</name>
    <message>
        <source>Preferences</source>
        <translation>Préférences</translation>
    </message>
    <message>
        <source>General</source>
        <translation>Général</translation>
    </message>
    <message>
        <source>Audio Conversion Settings</source>
        <translation>Réglages de conversion audio</translation>
    </message>
    <message>
        <source>AAC (via WAV, slow)</source>
        <translation>AAC (via WAV, lent)</translation>
    </message>
    <message>
        <source>AC3 stereo</source>
        <translation>AC3 stéréo</translation>
    </message>
    <message>
        <source>AC3 5.1</source>
        <translation>AC3 5.1</translation>
    </message>
    <message>
        <source>Copy</source>
        <translation>Copier</translation>
    </message>
    <message>
        <source>New Movies</source>
        <translation>Nouveaux films</translation>
    </message>
    <message>
        <source>Default destination:</source>
        <translation>Destination par défaut :</translation>
    </message>
    <message>
        <source>File extension:</source>
        <translation>Extension de fichier :</translation>
    </message>
    <message>
        <source>System languages</source>
        <translation>Langues du système</translation>
    </message>
    <message>
        <source>English</source>
        <translation>Anglais</translation>
    </message>
    <message>
        <source>German</source>
        <translation>Allemand</translation>
    </message>
    <message>
        <source>French</source>
        <translation>Français</translation>
    </message>
    <message>
        <source>Spanish</source>
        <translation>Espagnol</translation>
    </message>
    <message>
        <source>Chinese</source>
        <translation>Chinois</translation>
    </message>
    <message>
        <source>Japanese</source>
        <translation>Japonais</translation>
    </message>
    <message>
        <source>Russian</source>
        <translation>Russe</translation>
    </message>
    <message>
        <source>Preferred audio:</source>
        <translation>Audio préféré :</translation>
    </message>
    <message>
        <source>Add movies to the queue without asking</source>
        <translation>Ajouter les films à la file d’attente sans demander</translation>
    </message>
    <message>
        <source>Write files that start playing before they are whole (for media servers and browsers)</source>
        <translation>Écrire des fichiers dont la lecture démarre avant qu’ils soient complets (pour les serveurs multimédias et les navigateurs)</translation>
    </message>
    <message>
        <source>After Conversion</source>
        <translation>Après la conversion</translation>
    </message>
    <message>
        <source>Remove finished movies from the list</source>
        <translation>Retirer de la liste les films terminés</translation>
    </message>
    <message>
        <source>Dispose of the original movie:</source>
        <translation>Se débarrasser du film d’origine :</translation>
    </message>
    <message>
        <source>Move to the Trash</source>
        <translation>Mettre à la corbeille</translation>
    </message>
    <message>
        <source>Delete immediately</source>
        <translation>Supprimer immédiatement</translation>
    </message>
    <message>
        <source>Quit when the conversions are done</source>
        <translation>Quitter une fois les conversions terminées</translation>
    </message>
    <message>
        <source>Conversion Style</source>
        <translation>Style de conversion</translation>
    </message>
    <message>
        <source>Compatible</source>
        <translation>Compatible</translation>
    </message>
    <message>
        <source>High Speed &amp; Quality</source>
        <translation>Vitesse et qualité élevées</translation>
    </message>
    <message>
        <source>Custom</source>
        <translation>Personnalisé</translation>
    </message>
    <message>
        <source>Style:</source>
        <translation>Style :</translation>
    </message>
    <message>
        <source>Bit Rates</source>
        <translation>Débits</translation>
    </message>
    <message>
        <source>AC3 5.1:</source>
        <translation>AC3 5.1 :</translation>
    </message>
    <message>
        <source>AC3 stereo:</source>
        <translation>AC3 stéréo :</translation>
    </message>
    <message>
        <source>AAC:</source>
        <translation>AAC :</translation>
    </message>
    <message>
        <source>Subtitles</source>
        <translation>Sous-titres</translation>
    </message>
    <message>
        <source>Leave out the subtitle tracks inside the movie</source>
        <translation>Laisser de côté les pistes de sous-titres du film</translation>
    </message>
    <message>
        <source>Keep only those in my languages (and untagged ones)</source>
        <translation>Ne garder que ceux dans mes langues (et ceux sans langue indiquée)</translation>
    </message>
    <message>
        <source>Add the subtitle files beside the movie</source>
        <translation>Ajouter les fichiers de sous-titres placés à côté du film</translation>
    </message>
    <message>
        <source>Languages</source>
        <translation>Langues</translation>
    </message>
    <message>
        <source>Also keep the other audio tracks in my languages (up to 4)</source>
        <translation>Garder aussi les autres pistes audio dans mes langues (jusqu’à 4)</translation>
    </message>
    <message>
        <source>Keep every audio track of the movie (game recordings, commentaries)</source>
        <translation>Garder toutes les pistes audio du film (enregistrements de jeux, commentaires)</translation>
    </message>
    <message>
        <source>Further languages:</source>
        <translation>Autres langues :</translation>
    </message>
    <message>
        <source>My languages are the preferred audio language of the General page (or the system&apos;s languages), then the further ones, as two- or three-letter codes separated by commas.</source>
        <translation>Mes langues sont la langue audio préférée de la page Général (ou les langues du système), puis les autres langues, sous forme de codes de deux ou trois lettres séparés par des virgules.</translation>
    </message>
    <message>
        <source>Every audio track that is not AAC becomes AAC: plays everywhere, converts slowly.</source>
        <translation>Toute piste audio qui n’est pas en AAC devient AAC : se lit partout, se convertit lentement.</translation>
    </message>
    <message>
        <source>Also include the 5.1 surround track as a second audio track</source>
        <translation>Inclure aussi la piste surround 5.1 comme deuxième piste audio</translation>
    </message>
    <message>
        <source>Convert a DTS surround track to AC3 5.1</source>
        <translation>Convertir une piste surround DTS en AC3 5.1</translation>
    </message>
    <message>
        <source>Mark the surround track as disabled, so players start with AAC</source>
        <translation>Marquer la piste surround comme désactivée, pour que les lecteurs commencent par l’AAC</translation>
    </message>
    <message>
        <source>AAC and AC3 are copied, DTS becomes AC3, everything else AC3 stereo: fast and high quality, but some devices play such files without sound.</source>
        <translation>AAC et AC3 sont copiés, DTS devient AC3, tout le reste AC3 stéréo : rapide et de haute qualité, mais certains appareils lisent ces fichiers sans le son.</translation>
    </message>
    <message>
        <source>Downmix AC3 5.1 to stereo</source>
        <translation>Réduire l’AC3 5.1 en stéréo</translation>
    </message>
    <message>
        <source>Downmix DTS 5.1 to AC3 stereo</source>
        <translation>Réduire le DTS 5.1 en AC3 stéréo</translation>
    </message>
    <message>
        <source>DTS 5.1:</source>
        <translation>DTS 5.1 :</translation>
    </message>
    <message>
        <source>MP3 stereo:</source>
        <translation>MP3 stéréo :</translation>
    </message>
    <message>
        <source>Other formats:</source>
        <translation>Autres formats :</translation>
    </message>
    <message>
        <source>AAC is always copied as it is.</source>
        <translation>L’AAC est toujours copié tel quel.</translation>
    </message>
    <message>
        <source>Choose a Destination Folder</source>
        <translation>Choisir un dossier de destination</translation>
    </message>
    <message>
        <source>Always keep the forced subtitles in the language of the sound</source>
        <translation>Toujours garder les sous-titres forcés dans la langue du son</translation>
    </message>
    <message>
        <source>Subtitle files named like the movie (Film.srt, Film.en.srt, Film.de.forced.srt) become subtitle tracks with the language and kind their names say; those you open or drop with the movie are always added. Picture subtitles (Blu-ray, DVD, DVB) are read as text.</source>
        <translation>Les fichiers de sous-titres nommés comme le film (Film.srt, Film.en.srt, Film.de.forced.srt) deviennent des pistes de sous-titres avec la langue et le type qu’indique leur nom ; ceux que vous ouvrez ou déposez avec le film sont toujours ajoutés. Les sous-titres en images (Blu-ray, DVD, DVB) sont lus comme texte.</translation>
    </message>
    <message>
        <source>Write cover art and tags for media centres (title, year, show, season and episode)</source>
        <translation>Écrire la pochette et les étiquettes pour les médiathèques (titre, année, série, saison et épisode)</translation>
    </message>
</context>
<context>
    <name>ProbeListing</name>
    <message>
        <source>The file &apos;%@&apos; doesn&apos;t contain a H264/MPEG4 video track so the result may not be playable.</source>
        <translation>Le fichier « %@ » ne contient pas de piste vidéo H264/MPEG4, le résultat risque donc d’être illisible.</translation>
    </message>
    <message>
        <source>The file &apos;%@&apos; contains a 10-bit video track so the result will only be playable with VLC/Mplayer, but not with most other devices or players (including the &apos;Playstation 3&apos;).</source>
        <translation>Le fichier « %@ » contient une piste vidéo 10 bits, le résultat ne sera donc lisible qu’avec VLC/Mplayer, mais pas avec la plupart des autres appareils ou lecteurs (dont la « Playstation 3 »).</translation>
    </message>
    <message>
        <source>The file &apos;%@&apos; will probably not play back fine on the &apos;Playstation 3&apos; or other devices as it has a too large resolution. You can try converting the produced MP4 file using &apos;QuickTime Player&apos; to a 1080p M4V file to view this video on the PS3.</source>
        <translation>Le fichier « %@ » ne sera probablement pas lu correctement sur la « Playstation 3 » ou d’autres appareils, car sa résolution est trop élevée. Vous pouvez essayer de convertir le fichier MP4 produit en fichier M4V 1080p avec « QuickTime Player » pour regarder cette vidéo sur la PS3.</translation>
    </message>
    <message>
        <source>The file &apos;%@&apos; will probably not play back fine on the &apos;Playstation 3&apos; or other devices as it contains more &apos;reference frames&apos; than the PS3 supports. You can try converting the produced MP4 file using &apos;QuickTime Player&apos; to a 720p M4V file to view this video on the PS3.</source>
        <translation>Le fichier « %@ » ne sera probablement pas lu correctement sur la « Playstation 3 » ou d’autres appareils, car il contient plus d’« images de référence » que la PS3 n’en gère. Vous pouvez essayer de convertir le fichier MP4 produit en fichier M4V 720p avec « QuickTime Player » pour regarder cette vidéo sur la PS3.</translation>
    </message>
</context>
<context>
    <name>QueueRestore</name>
    <message>
        <source>The movie %@ no longer exists.</source>
        <translation>Le film %@ n’existe plus.</translation>
    </message>
    <message>
        <source>The movie %@ can no longer be converted. %@</source>
        <translation>Le film %@ ne peut plus être converti. %@</translation>
    </message>
    <message>
        <source>1 movie from your last session is waiting; press Continue to convert it.</source>
        <translation>1 film de votre dernière session attend ; appuyez sur Reprendre pour le convertir.</translation>
    </message>
    <message numerus="yes">
        <source>%li movies from your last session are waiting; press Continue to convert them.</source>
        <translation>
            <numerusform>%li film de votre dernière session attend ; appuyez sur Reprendre pour le convertir.</numerusform>
            <numerusform>%li films de votre dernière session attendent ; appuyez sur Reprendre pour les convertir.</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>StatusLine</name>
    <message>
        <source>Status: %1</source>
        <translation>État : %1</translation>
    </message>
    <message>
        <source>%1   Click the arrow at the right to get more information.</source>
        <translation>%1   Cliquez sur la flèche à droite pour en savoir plus.</translation>
    </message>
    <message>
        <source> [Conversion took: %1]</source>
        <translation> [Durée de la conversion : %1]</translation>
    </message>
    <message>
        <source>No audio</source>
        <translation>Pas de son</translation>
    </message>
    <message>
        <source>%1   Audio: %2</source>
        <translation>%1   Audio : %2</translation>
    </message>
    <message>
        <source>%1 (Discarded: %2)</source>
        <translation>%1 (Écartées : %2)</translation>
    </message>
    <message>
        <source>%1   ETA: %2</source>
        <translation>%1   Temps restant : %2</translation>
    </message>
    <message>
        <source>%1 (Tasks 1 to 3 of 3)</source>
        <translation>%1 (Étapes 1 à 3 sur 3)</translation>
    </message>
    <message>
        <source>%1   Reading subtitles (Task 1 of %2)</source>
        <translation>%1   Lecture des sous-titres (tâche 1 sur %2)</translation>
    </message>
    <message>
        <source>%1 (Tasks %2 to %3 of %3)</source>
        <translation>%1 (tâches %2 à %3 sur %3)</translation>
    </message>
    <message>
        <source>%1 (Task %2 of %2)</source>
        <translation>%1 (tâche %2 sur %2)</translation>
    </message>
</context>
<context>
    <name>SubtitleChooser</name>
    <message>
        <source>None</source>
        <translation>Aucun</translation>
    </message>
    <message numerus="yes">
        <source>%1 of %n</source>
        <translation>
            <numerusform>%1 sur %n</numerusform>
            <numerusform>%1 sur %n</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>SubtitleReading</name>
    <message>
        <source>%1 left out: install %2 to read it</source>
        <translation>%1 laissé de côté : installez %2 pour le lire</translation>
    </message>
    <message>
        <source>subtitle track %1%2</source>
        <translation>piste de sous-titres %1%2</translation>
    </message>
    <message>
        <source>subtitle file %1%2</source>
        <translation>fichier de sous-titres %1%2</translation>
    </message>
    <message>
        <source>Forced</source>
        <translation>Forcés</translation>
    </message>
    <message>
        <source>%1 (forced)</source>
        <translation>%1 (forcés)</translation>
    </message>
</context>
<context>
    <name>ToolLocator</name>
    <message>
        <source>%1 was not found. Install it with: %2</source>
        <translation>%1 est introuvable. Installez-le avec : %2</translation>
    </message>
    <message>
        <source>%1 was not found. It is part of Vantreo and belongs in %2; reinstall Vantreo or set VANTREO_TOOLS_DIR.</source>
        <translation>%1 est introuvable. Il fait partie de Vantreo et se trouve normalement dans %2 ; réinstallez Vantreo ou définissez VANTREO_TOOLS_DIR.</translation>
    </message>
</context>
<context>
    <name>Vantreo</name>
    <message>
        <source>Version:</source>
        <translation>Version :</translation>
    </message>
    <message>
        <source>Build:</source>
        <translation>Build :</translation>
    </message>
</context>
<context>
    <name>VideoCodecs</name>
    <message>
        <source>its video is %1, which an MP4 cannot hold without re-encoding.</source>
        <translation>sa vidéo est en %1, qu’un MP4 ne peut pas contenir sans réencodage.</translation>
    </message>
    <message>
        <source>its VP9 video plays on computers and Android, not on iPhone or Apple TV.</source>
        <translation>sa vidéo VP9 se lit sur ordinateur et Android, pas sur iPhone ni Apple TV.</translation>
    </message>
    <message>
        <source>its %1 video plays on computers and most TVs, not on iPhone, iPad or Apple TV.</source>
        <translation>sa vidéo %1 se lit sur ordinateur et la plupart des téléviseurs, pas sur iPhone, iPad ni Apple TV.</translation>
    </message>
    <message>
        <source>its MPEG-4 Part 2 video (DivX, Xvid) plays on computers and most TVs, not on iPhone, iPad or Apple TV.</source>
        <translation>sa vidéo MPEG-4 Part 2 (DivX, Xvid) se lit sur ordinateur et la plupart des téléviseurs, pas sur iPhone, iPad ni Apple TV.</translation>
    </message>
    <message>
        <source>its 10-bit H.264 video plays on computers, not on iPhone, Apple TV or most TVs.</source>
        <translation>sa vidéo H.264 10 bits se lit sur ordinateur, pas sur iPhone, Apple TV ni la plupart des téléviseurs.</translation>
    </message>
    <message>
        <source>it is a picture, not a movie</source>
        <translation>c’est une image, pas un film</translation>
    </message>
    <message>
        <source>not a movie file (ffmpeg reads it as %1)</source>
        <translation>pas un fichier vidéo (ffmpeg le lit comme %1)</translation>
    </message>
</context>
</TS>
