#include "batch/batchtool.h"
#include "batch/classificationcommand.h"
#include "batch/exportcommand.h"
#include "batch/sheetcommand.h"
#include "batch/verifycommand.h"

#include <QGuiApplication>
#include <QLocale>
#include <QTextStream>

#include <cstdio>

namespace {

// The toolkit's own notices (in English, about the session, fonts, runtime
// folders) are not the tool's messages: only its critical errors are shown.
void toolkitMessage(QtMsgType type, const QMessageLogContext &, const QString &message)
{
    if (type == QtCriticalMsg || type == QtFatalMsg)
        std::fprintf(stderr, "kalvane-batch: %s\n", qPrintable(message));
}

} // namespace

int main(int argc, char *argv[])
{
    qInstallMessageHandler(toolkitMessage);
    // No window is ever shown: without a platform of the caller's choice the
    // tool needs no display at all.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // Fonts and drawing need the GUI application.
    QGuiApplication app(argc, argv);
    QGuiApplication::setApplicationName(QStringLiteral("kalvane-batch"));
    QGuiApplication::setApplicationVersion(QStringLiteral(KALVANE_VERSION));
    QLocale::setDefault(QLocale(QLocale::French, QLocale::France));

    QTextStream out(stdout);
    QTextStream err(stderr);
    BatchTool tool(out, err);
    tool.add(ExportCommand::command());
    tool.add(SheetCommand::command());
    tool.add(VerifyCommand::command());
    tool.add(ClassificationCommand::command());
    QStringList words = QCoreApplication::arguments();
    words.removeFirst();
    return tool.run(words);
}
