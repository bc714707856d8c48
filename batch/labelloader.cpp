#include "batch/labelloader.h"

#include "editor/catalogue.h"
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
    if (!TextFile::readLines(full, &lines, &error)) {
        label.status = {LabelFile::Status::Unreadable, error, {}};
        return label;
    }
    label.labelFile = !lines.isEmpty() && lines.constFirst() == LabelFile::kFab;
    label.status = LabelFile::parse(lines, &label.document, &label.mirrors, info.absolutePath());
    return label;
}
