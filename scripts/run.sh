#!/usr/bin/env bash
# Installs what is missing, builds Kalvane and starts it from the user's own
# start directory (~/.local/share/kalvane), seeded from data/ without touching
# the files the user already has there.
set -euo pipefail
. "$(dirname "$0")/common.sh"

# Label or sheet files to open, named from where the script was started.
files=()
for f in "$@"; do
    case "$f" in
        /*) files+=("$f") ;;
        *) files+=("$PWD/$f") ;;
    esac
done

install_missing_packages
build_kalvane "$KALVANE_ROOT/build" -DCMAKE_BUILD_TYPE=Release -DKALVANE_TESTS=OFF -DKALVANE_BENCH=OFF

START_DIR=${XDG_DATA_HOME:-$HOME/.local/share}/kalvane
mkdir -p "$START_DIR"
# -n: never overwrite what the user changed (catalogues, database, labels, settings).
cp -rn "$KALVANE_ROOT/data/." "$START_DIR/"

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    echo "kalvane: aucun affichage graphique (ni DISPLAY ni WAYLAND_DISPLAY)."
    echo "Lancez cette commande depuis une session de bureau, ou sous Xvfb :"
    echo "    xvfb-run -a -s '-screen 0 1600x1000x24' $0"
    exit 1
fi

# Kalvane refuses to run without a printer: offer a virtual PDF printer.
if ! lpstat -e 2>/dev/null | grep -q .; then
    echo "kalvane: aucune imprimante n'est installée, et Kalvane ne démarre pas sans imprimante."
    echo "Je peux installer une imprimante virtuelle « KalvanePDF » (CUPS-PDF) : les pages"
    echo "imprimées deviennent des fichiers PDF dans ~/PDF. Cela démarre le service CUPS"
    echo "et ajoute une file d'impression (droits administrateur nécessaires)."
    answer=n
    if [ -t 0 ]; then
        read -r -p "Installer l'imprimante PDF maintenant ? [o/N] " answer || answer=n
    fi
    case "$answer" in
        o|O|oui|y|Y|yes)
            "$KALVANE_ROOT/scripts/pdf-printer.sh" ;;
        *)
            echo "kalvane: sans imprimante, le programme s'arrêtera après son écran d'accueil." ;;
    esac
fi

cd "$START_DIR"
exec "$KALVANE_ROOT/build/kalvane" "${files[@]}"
