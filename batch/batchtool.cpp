#include "batch/batchtool.h"

#include "editor/catalogue.h"
#include "shell/textfile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#include <unistd.h>

namespace {

const QString kTryHelp = QStringLiteral("Essayez « %1 --help » pour plus d'informations.");
const QString kNoCommand = QStringLiteral("aucune commande donnée.");
const QString kNoDataFolder = QStringLiteral("le dossier de données « %1 » n'existe pas.");
const QString kNoData = QStringLiteral(
    "aucun dossier de données : les catalogues de phrases ne sont %1 ; indiquez le dossier de "
    "départ avec --data DOSSIER.");
const QString kCatalogueMissing = QStringLiteral(
    "le catalogue « %1 » est introuvable dans le dossier de données « %2 » : rien n'est traité (voir --data).");
const QString kCatalogueUnreadable = QStringLiteral(
    "le catalogue « %1 » du dossier de données « %2 » ne peut pas être lu (%3) : rien n'est traité (voir --data).");

const QString kHelpHead = QStringLiteral(
    "Utilisation : kalvane-batch COMMANDE [OPTION]... FICHIER...\n"
    "Traite des étiquettes Kalvane sans fenêtre ni affichage.\n");
const QString kHelpFoot = QStringLiteral(
    "« kalvane-batch COMMANDE --help » décrit une commande et ses options.\n"
    "\n"
    "Les catalogues de phrases et les pictogrammes sont lus dans le dossier de départ\n"
    "(--data), les étiquettes comme Kalvane les ouvre depuis leur propre dossier.\n"
    "\n"
    "Code de sortie : 0 si tout s'est bien passé, 1 si un fichier a posé problème,\n"
    "2 si la ligne de commande est erronée ou si les catalogues ne peuvent être lus.\n");

bool holdsCatalogue(const QString &dir)
{
    for (int k = 0; k < 3; ++k)
        if (QFileInfo::exists(QDir(dir).filePath(Catalogue::fileName(Catalogue::Kind(k)))))
            return true;
    return false;
}

QString oneLine(QString text)
{
    text.replace(QStringLiteral("\n\n"), QStringLiteral(" "));
    text.replace(u'\n', u' ');
    return text;
}

} // namespace

BatchTool::BatchTool(QTextStream &out, QTextStream &err)
    : m_out(out)
    , m_err(err)
{
}

void BatchTool::add(const Command &command)
{
    m_commands.append(command);
}

QList<CommandLine::Option> BatchTool::globalOptions()
{
    return {
        {QStringLiteral("data"), QChar(), QStringLiteral("DOSSIER"),
         QStringLiteral("dossier de départ (catalogues, pictogrammes) ; par défaut "
                        "~/.local/share/kalvane s'il contient les catalogues, sinon les données "
                        "installées avec le programme")},
        {QStringLiteral("progression"), QChar(), QString(),
         QStringLiteral("écrit la progression sur la sortie d'erreur même hors d'un terminal")},
        {QStringLiteral("help"), u'h', QString(), QStringLiteral("affiche cette aide et quitte")},
        {QStringLiteral("version"), QChar(), QString(), QStringLiteral("affiche la version et quitte")},
    };
}

QStringList BatchTool::dataCandidates()
{
    // The folder the run command seeds from the installation data.
    QString dataHome = qEnvironmentVariable("XDG_DATA_HOME");
    if (dataHome.isEmpty() || !QDir::isAbsolutePath(dataHome))
        dataHome = QDir::homePath() + QStringLiteral("/.local/share");
    QStringList candidates = {QDir(dataHome).filePath(QStringLiteral("kalvane"))};
    // The data installed with the program.
    const QDir program(QCoreApplication::applicationDirPath());
    candidates << program.filePath(QStringLiteral("data")) << program.filePath(QStringLiteral("../share/kalvane"))
               << program.filePath(QStringLiteral("../data"));
#ifdef KALVANE_SOURCE_DATA_DIR
    candidates << QStringLiteral(KALVANE_SOURCE_DATA_DIR);
#endif
    QStringList clean;
    for (const QString &c : std::as_const(candidates))
        if (!clean.contains(QDir::cleanPath(c)))
            clean << QDir::cleanPath(c);
    return clean;
}

QString BatchTool::defaultStartDirectory()
{
    for (const QString &dir : dataCandidates())
        if (holdsCatalogue(dir))
            return QDir(dir).absolutePath();
    return {};
}

bool BatchTool::cataloguesReadable()
{
    const QString dir = QDir::toNativeSeparators(QDir(m_startDirectory).absolutePath());
    for (int k = 0; k < 3; ++k) {
        const QString name = Catalogue::fileName(Catalogue::Kind(k));
        const QString path = QDir(m_startDirectory).filePath(name);
        QStringList lines;
        QString why;
        if (!QFileInfo(path).exists() && !QFileInfo(path).isSymLink()) {
            dataError(kCatalogueMissing.arg(name, dir));
            return false;
        }
        if (!TextFile::readLines(path, &lines, &why)) {
            // The reader's sentence names the file; its reason is what is
            // left after the last " : ".
            const qsizetype colon = why.lastIndexOf(QStringLiteral(" : "));
            QString reason = colon >= 0 ? why.mid(colon + 3) : why;
            if (reason.endsWith(u'.'))
                reason.chop(1);
            dataError(kCatalogueUnreadable.arg(name, dir, reason));
            return false;
        }
    }
    return true;
}

int BatchTool::dataError(const QString &message)
{
    endProgress();
    m_err << kProgram << ": " << oneLine(message) << '\n';
    m_err.flush();
    return kDataError;
}

int BatchTool::run(const QStringList &words)
{
    QList<CommandLine::Command> definitions;
    for (const Command &c : m_commands)
        definitions.append(c.definition);
    CommandLine::Parsed line;
    QString error;
    const bool parsed = CommandLine::parse(words, globalOptions(), definitions, &line, &error);
    const Command *command = nullptr;
    for (const Command &c : m_commands)
        if (c.definition.name == line.command)
            command = &c;

    if (line.help) {
        m_out << (command ? commandHelp(command->definition) : help());
        m_out.flush();
        return kSuccess;
    }
    const QString tryHelp = kTryHelp.arg(command ? kProgram + u' ' + command->definition.name : kProgram);
    if (!parsed) {
        m_err << kProgram << ": " << error << '\n' << tryHelp << '\n';
        m_err.flush();
        return kUsageError;
    }
    if (line.has(QStringLiteral("version"))) {
        m_out << kProgram << ' ' << QStringLiteral(KALVANE_VERSION) << '\n';
        m_out.flush();
        return kSuccess;
    }
    if (!command) {
        m_err << kProgram << ": " << kNoCommand << '\n' << tryHelp << '\n';
        m_err.flush();
        return kUsageError;
    }

    QString start;
    if (line.has(QStringLiteral("data"))) {
        const QString given = line.value(QStringLiteral("data"));
        if (given.isEmpty() || !QFileInfo(given).isDir()) {
            m_err << kProgram << ": " << kNoDataFolder.arg(given) << '\n' << tryHelp << '\n';
            m_err.flush();
            return kUsageError;
        }
        start = QFileInfo(given).absoluteFilePath();
    } else {
        start = defaultStartDirectory();
        if (start.isEmpty()) {
            QStringList places;
            for (const QString &c : dataCandidates())
                places << QStringLiteral("« %1 »").arg(QDir::toNativeSeparators(c));
            return dataError(kNoData.arg(places.size() == 1 ? QStringLiteral("pas dans ") + places.constFirst()
                                                            : QStringLiteral("ni dans ")
                                                                  + places.join(QStringLiteral(", ni dans "))));
        }
    }
    m_startDirectory = QDir::cleanPath(start) + u'/';
    m_progressLines = line.has(QStringLiteral("progression"));
    m_progressOnTerminal = !m_progressLines && isatty(STDERR_FILENO);

    m_usageHint = tryHelp;
    const int status = command->run(*this, line);
    endProgress();
    m_out.flush();
    m_err.flush();
    return status;
}

int BatchTool::usageError(const QString &message)
{
    m_err << kProgram << ": " << message << '\n' << m_usageHint << '\n';
    m_err.flush();
    return kUsageError;
}

void BatchTool::problem(const QString &file, const QString &message)
{
    endProgress();
    m_err << kProgram << ": " << file << ": " << message << '\n';
    m_err.flush();
}

void BatchTool::problem(const QString &message)
{
    endProgress();
    m_err << kProgram << ": " << message << '\n';
    m_err.flush();
}

void BatchTool::progress(int done, int total, const QString &file)
{
    if (total < 2)
        return;
    const QString text = QStringLiteral("[%1/%2] %3").arg(done).arg(total).arg(file);
    if (m_progressLines) {
        m_err << text << '\n';
    } else if (m_progressOnTerminal) {
        // Rewritten in place; cut so that it stays on one terminal line.
        m_err << '\r' << text.left(79).leftJustified(79) << '\r';
        m_progressShown = true;
    }
    m_err.flush();
}

void BatchTool::endProgress()
{
    if (!m_progressShown)
        return;
    m_err << '\r' << QString(79, u' ') << '\r';
    m_err.flush();
    m_progressShown = false;
}

QString BatchTool::help() const
{
    QString text = kHelpHead + QStringLiteral("\nCommandes :\n");
    qsizetype width = 0;
    for (const Command &c : m_commands)
        width = std::max(width, c.definition.name.size());
    for (const Command &c : m_commands)
        text += QStringLiteral("  ") + c.definition.name.leftJustified(width + 2) + c.definition.summary + u'\n';
    text += QStringLiteral("\nOptions communes :\n") + CommandLine::optionHelp(globalOptions());
    text += u'\n' + kHelpFoot;
    return text;
}

QString BatchTool::commandHelp(const CommandLine::Command &definition) const
{
    QString text = QStringLiteral("Utilisation : %1 %2 %3 [OPTION]...\n").arg(kProgram, definition.name, definition.arguments);
    text += definition.description;
    if (!definition.options.isEmpty())
        text += QStringLiteral("\nOptions :\n") + CommandLine::optionHelp(definition.options);
    text += QStringLiteral("\nOptions communes :\n") + CommandLine::optionHelp(globalOptions());
    text += QStringLiteral("\nCode de sortie : 0 si tout s'est bien passé, 1 si un fichier a posé problème,\n"
                           "2 si la ligne de commande est erronée ou si les catalogues ne peuvent être lus.\n");
    return text;
}
