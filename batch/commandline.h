#pragma once

#include <QChar>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

// GNU-style command lines of the batch tool: a command name, then its
// options and file arguments in any order. Long options take their value as
// "--out DOSSIER" or "--out=DOSSIER", short ones as "-o DOSSIER" or
// "-oDOSSIER"; "--" ends the options. Options given before the command
// name must be global ones. Every error is a French sentence.
namespace CommandLine {

struct Option {
    QString name;        // long name without "--": "out"
    QChar shortName;     // 'o', or null
    QString valueName;   // "DOSSIER"; empty for a switch
    QString description; // French, one line of the help
};

struct Command {
    QString name;        // "export"
    QString arguments;   // "ÉTIQUETTE.kvln..."
    QString summary;     // one line in the tool's help
    QString description; // the command's help, before its options
    QList<Option> options;
};

struct Parsed {
    QString command;                      // empty: none was given
    QHash<QString, QStringList> options;  // long name -> values in order ("" for a switch)
    QStringList arguments;                // the other words, in order
    bool help = false;                    // --help or -h anywhere before "--"

    bool has(const QString &name) const { return options.contains(name); }
    // The last value given for `name`, or `fallback`.
    QString value(const QString &name, const QString &fallback = QString()) const;
};

// Splits `words` (the program name left out). On a usage error returns false
// with the message in `error`; `parsed` then holds what was read before it,
// the command name included, so that the error can point to its help.
bool parse(const QStringList &words, const QList<Option> &global, const QList<Command> &commands, Parsed *parsed,
           QString *error);

// The help lines of a list of options, aligned.
QString optionHelp(const QList<Option> &options);

} // namespace CommandLine
