#pragma once

#include "batch/commandline.h"

#include <QString>
#include <QStringList>
#include <QTextStream>
#include <functional>

// The batch tool: its commands, their help, the start directory they read
// the catalogues and pictograms from, and the messages and exit status they
// share. A command is one CommandLine::Command (name, options, help) and the
// function that runs it; adding a command is adding one of these.
class BatchTool
{
public:
    static constexpr int kSuccess = 0;     // everything went well
    static constexpr int kFileProblem = 1; // a file had a problem
    static constexpr int kUsageError = 2;  // the command line is wrong
    // The start directory's catalogues or facts cannot be read: nothing is
    // judged on part of them.
    static constexpr int kDataError = 2;

    static inline const QString kProgram = QStringLiteral("kalvane-batch");

    using Run = std::function<int(BatchTool &tool, const CommandLine::Parsed &line)>;
    struct Command {
        CommandLine::Command definition;
        Run run;
    };

    BatchTool(QTextStream &out, QTextStream &err);

    void add(const Command &command);
    // Runs one command line (the program name left out) and returns the exit
    // status.
    int run(const QStringList &words);

    // The options every command takes.
    static QList<CommandLine::Option> globalOptions();

    // The start directory of the run (with a final "/"): --data, else the
    // first of dataCandidates() that holds a phrase catalogue.
    QString startDirectory() const { return m_startDirectory; }
    // Where the data is looked for without --data, in order: the user's own
    // start directory ($XDG_DATA_HOME/kalvane, which the desktop's run
    // command seeds), then the data installed with the program (beside it,
    // in ../share/kalvane, in ../data of a build folder, the source tree's).
    static QStringList dataCandidates();
    // The first candidate holding a phrase catalogue; empty when none does.
    static QString defaultStartDirectory();

    // Whether the three phrase catalogues of the start directory can be
    // read; otherwise one French line on the error stream (a label read
    // without its catalogue would silently lose its statements).
    bool cataloguesReadable();
    // `message` on one line of the error stream; returns kDataError.
    int dataError(const QString &message);

    QTextStream &out() { return m_out; }
    QTextStream &err() { return m_err; }

    // "kalvane-batch: message" and the hint to the help, exit status 2.
    int usageError(const QString &message);
    // "kalvane-batch: file: message" on the error stream.
    void problem(const QString &file, const QString &message);
    void problem(const QString &message);

    // A progress line on the error stream: on a terminal it is rewritten in
    // place, with --progression it is written as lines; otherwise nothing.
    void progress(int done, int total, const QString &file);
    void endProgress();

    QString help() const;
    QString commandHelp(const CommandLine::Command &definition) const;

private:
    QTextStream &m_out;
    QTextStream &m_err;
    QList<Command> m_commands;
    QString m_startDirectory;
    QString m_usageHint;
    bool m_progressOnTerminal = false;
    bool m_progressLines = false;
    bool m_progressShown = false;
};
