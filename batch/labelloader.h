#pragma once

#include "shell/framemirrors.h"
#include "shell/labeldocument.h"
#include "shell/labelfile.h"

#include <QString>
#include <QStringList>

// Reads label files as the desktop program opens them: into a document that
// holds the three phrase catalogues of the start directory (stored statements
// are ticked by their code and keep their stored wording), with the text
// settings and logo path the frame would take from the file, the logo line
// resolved against the label's own folder (where the open dialog leaves the
// working directory).
class LabelLoader
{
public:
    struct Label {
        LabelDocument document;
        FrameMirrors mirrors;
        LabelFile::Status status;
        bool labelFile = false; // the first line is "***fab***"
        // What the file stores but the reader leaves out, so that the label
        // shows it nowhere: statements whose code is not in their catalogue,
        // pictogram lines that are no code or come after the fifth. French,
        // e.g. "la phrase « H999 »".
        QStringList dropped;
    };

    // Reads "H.txt", "P.txt" and "EUH.txt" of `startDirectory`. False with a
    // French message for the first one that cannot be read: without its
    // catalogue a label would silently lose its statements.
    bool loadCatalogues(const QString &startDirectory, QString *error);

    Label read(const QString &path) const;

private:
    StatementList m_lists[3];
};
