#include "batch/commandline.h"

#include <algorithm>

namespace CommandLine {

namespace {

const Option *findLong(const QList<Option> &options, const QString &name)
{
    for (const Option &o : options)
        if (o.name == name)
            return &o;
    return nullptr;
}

const Option *findShort(const QList<Option> &options, QChar c)
{
    for (const Option &o : options)
        if (!o.shortName.isNull() && o.shortName == c)
            return &o;
    return nullptr;
}

QString optionText(const Option &o) { return QStringLiteral("--") + o.name; }

} // namespace

QString Parsed::value(const QString &name, const QString &fallback) const
{
    const auto found = options.constFind(name);
    return found == options.constEnd() || found->isEmpty() ? fallback : found->constLast();
}

bool parse(const QStringList &words, const QList<Option> &global, const QList<Command> &commands, Parsed *parsed,
           QString *error)
{
    *parsed = Parsed();
    // --help wins over every other problem of the line.
    for (const QString &w : words) {
        if (w == QLatin1String("--"))
            break;
        if (w == QLatin1String("--help") || w == QLatin1String("-h"))
            parsed->help = true;
    }

    QList<Option> options = global;
    const Command *command = nullptr;
    bool optionsEnded = false;
    const auto fail = [&](const QString &message) {
        if (error)
            *error = message;
        return false;
    };
    const auto store = [&](const Option &o, const QString &value) { parsed->options[o.name].append(value); };

    for (qsizetype i = 0; i < words.size(); ++i) {
        const QString &w = words.at(i);
        if (!optionsEnded && w == QLatin1String("--")) {
            optionsEnded = true;
            continue;
        }
        const bool isLong = !optionsEnded && w.startsWith(QLatin1String("--"));
        const bool isShort = !optionsEnded && !isLong && w.size() > 1 && w.startsWith(u'-');
        if (isLong) {
            const qsizetype eq = w.indexOf(u'=');
            const QString name = w.mid(2, eq < 0 ? -1 : eq - 2);
            const Option *o = findLong(options, name);
            if (!o) {
                // An option of some command given before the command itself.
                for (const Command &c : commands)
                    if (!command && findLong(c.options, name))
                        return fail(QStringLiteral("l'option « --%1 » se place après le nom de la commande.").arg(name));
                return fail(QStringLiteral("option inconnue « --%1 ».").arg(name));
            }
            if (o->valueName.isEmpty()) {
                if (eq >= 0)
                    return fail(QStringLiteral("l'option « %1 » ne prend pas de valeur.").arg(optionText(*o)));
                store(*o, QString());
            } else if (eq >= 0) {
                store(*o, w.mid(eq + 1));
            } else if (i + 1 < words.size()) {
                store(*o, words.at(++i));
            } else {
                return fail(QStringLiteral("l'option « %1 » demande une valeur (%2).").arg(optionText(*o), o->valueName));
            }
            continue;
        }
        if (isShort) {
            const Option *o = findShort(options, w.at(1));
            if (!o)
                return fail(QStringLiteral("option inconnue « -%1 ».").arg(w.at(1)));
            if (o->valueName.isEmpty()) {
                if (w.size() > 2)
                    return fail(QStringLiteral("option inconnue « %1 ».").arg(w));
                store(*o, QString());
            } else if (w.size() > 2) {
                store(*o, w.mid(2));
            } else if (i + 1 < words.size()) {
                store(*o, words.at(++i));
            } else {
                return fail(QStringLiteral("l'option « -%1 » demande une valeur (%2).").arg(w.at(1)).arg(o->valueName));
            }
            continue;
        }
        if (!command) {
            for (const Command &c : commands)
                if (c.name == w)
                    command = &c;
            if (!command)
                return fail(QStringLiteral("commande inconnue « %1 ».").arg(w));
            parsed->command = command->name;
            options += command->options;
            continue;
        }
        parsed->arguments.append(w);
    }
    return true;
}

QString optionHelp(const QList<Option> &options)
{
    QStringList heads;
    for (const Option &o : options) {
        QString head = o.shortName.isNull() ? QStringLiteral("    ") : QStringLiteral("-%1, ").arg(o.shortName);
        head += optionText(o);
        if (!o.valueName.isEmpty())
            head += u' ' + o.valueName;
        heads << head;
    }
    qsizetype width = 0;
    for (const QString &h : heads)
        width = std::max(width, h.size());
    // Descriptions wrapped at word boundaries to stay within 79 columns.
    const qsizetype indent = width + 4;
    const qsizetype room = std::max<qsizetype>(30, 79 - indent);
    QString text;
    for (qsizetype i = 0; i < options.size(); ++i) {
        QString current = QStringLiteral("  ") + heads.at(i).leftJustified(width + 2);
        qsizetype used = 0;
        for (const QString &word : options.at(i).description.split(u' ', Qt::SkipEmptyParts)) {
            if (used > 0 && used + 1 + word.size() > room) {
                text += current + u'\n';
                current = QString(indent, u' ');
                used = 0;
            }
            if (used > 0) {
                current += u' ';
                ++used;
            }
            current += word;
            used += word.size();
        }
        text += current + u'\n';
    }
    return text;
}

} // namespace CommandLine
