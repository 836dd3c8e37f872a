#!/usr/bin/env bash
# Takes the screenshots of the translated desktop application for the README:
# the main window with its File and Help menus open and the preferences
# (general and audio pages) in German and French, and the menus in English
# (tools/screenshots.sh makes the English preferences). Each language runs
# tools/screenshots.sh with LANGUAGE set; the screenshot program names the
# pictures of a language other than English NAME-LANGUAGE.png
# (docs/screenshots/menu-file-de.png).
#
#   scripts/translation-screenshots.sh [LANGUAGE...]   (default: en de fr)
#   BUILD_DIR=/path/to/build scripts/translation-screenshots.sh
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
languages=("$@")
if [ "${#languages[@]}" -eq 0 ]; then
    languages=(en de fr)
fi

for language in "${languages[@]}"; do
    echo "Language $language"
    # LC_ALL and LC_MESSAGES would decide before LANG; LANGUAGE picks the
    # catalogue (C.UTF-8 keeps English).
    if [ "$language" = en ]; then
        env -u LANGUAGE -u LC_ALL -u LC_MESSAGES LANG=C.UTF-8 \
            bash "$root/tools/screenshots.sh" menu-file menu-help
    else
        env -u LC_ALL -u LC_MESSAGES LANG=C.UTF-8 LANGUAGE="$language" \
            bash "$root/tools/screenshots.sh" menu-file menu-help prefsgeneral prefs0
    fi
done
