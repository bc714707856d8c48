#include "batch/labelloader.h"

#include "editor/catalogue.h"
#include "editor/labelchecks.h"
#include "shell/textfile.h"

#include <QDir>
#include <QFileInfo>

bool LabelLoader::loadCatalogues(const QString &startDirectory, QString *error)
{
    for (int k = 0; k < 3; ++k) {
        const QString name = Catalogue::fileName(Catalogue::Kind(k));
        const QString path = QDir(startDirectory).filePath(name);
        QStringList lines;
        QString why;
        if (!QFileInfo::exists(path)) {
            if (error)
                *error = QStringLiteral("le catalogue « %1 » est introuvable dans « %2 » (voir --data).")
                             .arg(name, QDir::toNativeSeparators(QDir(startDirectory).absolutePath()));
            return false;
        }
        if (!Catalogue::load(path, &lines, &why)) {
            if (error)
                *error = why;
            return false;
        }
        m_lists[k] = Catalogue::toStatements(lines);
    }
    return true;
}

LabelLoader::Label LabelLoader::read(const QString &path) const
{
    Label label;
    label.document.hazards = m_lists[0];
    label.document.precautions = m_lists[1];
    label.document.supplementary = m_lists[2];
    const QFileInfo info(path);
    const QString full = info.absoluteFilePath();
    label.document.filePath = full;
    label.document.title = info.fileName();
    QStringList lines;
    QString error;
    if (!LabelFile::readLines(full, &lines, &error)) {
        label.status = {LabelFile::Status::Unreadable, error, {}};
        return label;
    }
    label.labelFile = !lines.isEmpty() && lines.constFirst() == LabelFile::kFab;
    label.status = LabelFile::parse(lines, &label.document, &label.mirrors, info.absolutePath());
    // A damaged file is said as the desktop says it: the file, where the
    // reading stopped and what was read.
    if (!label.status.ok())
        label.status.message = LabelFile::damageMessage(full, label.status);
    if (!label.status.ok() || !label.labelFile)
        return label;

    // The stored lines, walked again by the same rules, against what was read.
    const LabelChecks::Subject stored = LabelChecks::subjectOfLines(lines, info.absolutePath());
    const StatementList *lists[3] = {&label.document.hazards, &label.document.precautions,
                                     &label.document.supplementary};
    for (int k = 0; k < 3; ++k) {
        for (const QString &text : stored.statements[k]) {
            const QString code = Catalogue::statementCode(text);
            bool kept = false;
            for (const StatementEntry &e : *lists[k])
                kept = kept || (e.ticked && Catalogue::statementCode(e.text) == code);
            if (!kept)
                label.dropped << QStringLiteral("la phrase « %1 »").arg(code.isEmpty() ? text.left(40) : code);
        }
    }
    for (const QString &code : stored.pictograms)
        if (!label.document.pictograms.contains(code))
            label.dropped << QStringLiteral("le pictogramme « %1 »").arg(code.left(40));
    return label;
}
