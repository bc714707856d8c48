#include "editor/labelfacts.h"

#include "shell/textfile.h"

#include <QFileInfo>
#include <QRegularExpression>

namespace {

const QString kSignalKind = QStringLiteral("mention");
const QString kPictogramKind = QStringLiteral("pictogramme");
const QString kMaxPrecautionsKind = QStringLiteral("conseils-maximum");

// The problems told about one file stop after this many lines.
constexpr int kMaxProblems = 20;

bool isStatementCode(const QString &text)
{
    static const QRegularExpression re(QStringLiteral("^(H[0-9]{3}[A-Za-z]{0,2}|EUH[0-9]{3})$"));
    return re.match(text).hasMatch();
}

bool isPictogramCode(const QString &text)
{
    static const QRegularExpression re(QStringLiteral("^SGH0[1-9]$"));
    return re.match(text).hasMatch();
}

std::optional<LabelFacts::SignalWord> signalWordOf(const QString &text)
{
    if (text == QLatin1String("Danger"))
        return LabelFacts::SignalWord::Danger;
    if (text == QLatin1String("Attention"))
        return LabelFacts::SignalWord::Attention;
    if (text == QLatin1String("aucune"))
        return LabelFacts::SignalWord::None;
    return std::nullopt;
}

std::optional<QList<LabelFacts::Waiver>> waiversOf(const QString &field)
{
    QList<LabelFacts::Waiver> waivers;
    if (field.isEmpty())
        return waivers;
    for (const QString &part : field.split(u',')) {
        const QString item = part.trimmed();
        const qsizetype plus = item.indexOf(u'+');
        LabelFacts::Waiver w{plus < 0 ? item : item.left(plus), plus < 0 ? QString() : item.mid(plus + 1)};
        if (!isPictogramCode(w.pictogram) || (plus >= 0 && !isStatementCode(w.statement)))
            return std::nullopt;
        waivers.append(w);
    }
    return waivers;
}

// A line quoted in a problem, cut to a readable length.
QString quoted(const QString &line)
{
    return line.size() > 60 ? line.left(59) + QChar(0x2026) : line;
}

} // namespace

bool LabelFacts::load(const QString &path, QStringList *problems)
{
    QByteArray bytes;
    QString error;
    if (!TextFile::readBytes(path, &bytes, &error, kMaxFileSize)) {
        if (problems) {
            if (!QFileInfo::exists(path))
                problems->append(QStringLiteral("Le fichier des vérifications « %1 » est introuvable.")
                                     .arg(QFileInfo(path).fileName()));
            else
                problems->append(error);
        }
        return false;
    }
    parse(TextFile::splitLines(TextFile::decode(bytes)), QFileInfo(path).fileName(), problems);
    return true;
}

void LabelFacts::parse(const QStringList &lines, const QString &source, QStringList *problems)
{
    int told = 0;
    const auto problem = [&](qsizetype index, const QString &why) {
        if (!problems)
            return;
        if (told < kMaxProblems)
            problems->append(QStringLiteral("Fichier « %1 », ligne %2 : %3").arg(source).arg(index + 1).arg(why));
        else if (told == kMaxProblems)
            problems->append(QStringLiteral("Fichier « %1 » : d'autres lignes ne sont pas lues.").arg(source));
        ++told;
    };
    const auto noteCode = [this](const QString &code) {
        if (!m_codes.contains(code))
            m_codes.append(code);
    };

    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QString line = lines.at(i).trimmed();
        if (line.isEmpty() || line.startsWith(u'#'))
            continue;
        QStringList fields = line.split(u';');
        for (QString &f : fields)
            f = f.trimmed();

        if (fields.size() == 2 && fields.at(0) == kMaxPrecautionsKind) {
            bool ok = false;
            const int value = fields.at(1).toInt(&ok);
            if (ok && value >= 1 && value <= 100)
                m_maxPrecautions = value;
            else
                problem(i, QStringLiteral("« %1 » n'est pas un nombre de conseils de prudence.").arg(quoted(fields.at(1))));
            continue;
        }
        if (fields.size() < 3 || !isStatementCode(fields.at(0))) {
            problem(i, QStringLiteral("« %1 » n'est pas un fait reconnu.").arg(quoted(line)));
            continue;
        }
        const QString &code = fields.at(0);
        if (fields.at(1) == kSignalKind && fields.size() == 3) {
            const auto word = signalWordOf(fields.at(2));
            if (!word) {
                problem(i, QStringLiteral("« %1 » n'est pas une mention d'avertissement (Danger, Attention ou aucune).")
                               .arg(quoted(fields.at(2))));
                continue;
            }
            const auto known = m_signalWords.constFind(code);
            if (known != m_signalWords.constEnd() && *known != *word) {
                problem(i, QStringLiteral("la mention d'avertissement de %1 contredit une ligne précédente.").arg(code));
                continue;
            }
            m_signalWords.insert(code, *word);
            noteCode(code);
            continue;
        }
        if (fields.at(1) == kPictogramKind && (fields.size() == 3 || fields.size() == 4)) {
            const auto waivers = waiversOf(fields.size() == 4 ? fields.at(3) : QString());
            if (!isPictogramCode(fields.at(2)) || !waivers) {
                problem(i, QStringLiteral("« %1 » n'est pas un fait de pictogramme reconnu.").arg(quoted(line)));
                continue;
            }
            QList<Pictogram> &list = m_pictograms[code];
            bool repeated = false;
            for (const Pictogram &p : list)
                repeated = repeated || p.code == fields.at(2);
            if (repeated) {
                problem(i, QStringLiteral("le pictogramme %1 de %2 figure déjà sur une ligne précédente.")
                               .arg(fields.at(2), code));
                continue;
            }
            list.append({fields.at(2), *waivers});
            noteCode(code);
            continue;
        }
        problem(i, QStringLiteral("« %1 » n'est pas un fait reconnu.").arg(quoted(line)));
    }
}

std::optional<LabelFacts::SignalWord> LabelFacts::signalWord(const QString &code) const
{
    const auto found = m_signalWords.constFind(code);
    if (found == m_signalWords.constEnd())
        return std::nullopt;
    return *found;
}

QList<LabelFacts::Pictogram> LabelFacts::pictograms(const QString &code) const
{
    return m_pictograms.value(code);
}
