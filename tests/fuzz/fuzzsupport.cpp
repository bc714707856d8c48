#include "fuzzsupport.h"

#include "editor/catalogue.h"

QStringList fuzzCatalogue(int kind)
{
    static QStringList lists[3];
    static bool loaded = false;
    if (!loaded) {
        for (int k = 0; k < 3; ++k)
            Catalogue::load(QStringLiteral(KALVANE_DATA_DIR "/") + Catalogue::fileName(Catalogue::Kind(k)), &lists[k]);
        loaded = true;
    }
    return lists[kind];
}
