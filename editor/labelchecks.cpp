#include "editor/labelchecks.h"

#include "editor/checkdigits.h"
#include "editor/pictogramrules.h"
#include "render/labelrenderer.h"
#include "render/rendervariant.h"
#include "editor/ufi.h"
#include "shell/textfile.h"
#include "tools/classification.h"

#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>

#include <algorithm>

namespace {

const QString kEmptyFile = QStringLiteral("Le fichier est vide : ce n'est pas un fichier d'étiquette.");
const QString kNotALabel = QStringLiteral(
    "Ce fichier n'est pas un fichier d'étiquette : sa première ligne n'est pas « ***fab*** ».");
const QString kReadingStopped = QStringLiteral("La lecture de l'étiquette s'arrête sur une erreur : %1.");
const QString kUnknownCode = QStringLiteral(
    "Le code « %1 » n'existe pas dans le catalogue « %2 » : la phrase disparaît à l'ouverture de l'étiquette.");
const QString kNoCode = QStringLiteral(
    "La phrase « %1 » n'a pas de code (aucun deux-points) : elle disparaît à l'ouverture de l'étiquette.");
const QString kBadNumber = QStringLiteral("Le n° %1 « %2 » est incomplet ou n'a pas la forme %3.");
const QString kWrongCheck = QStringLiteral(
    "Le chiffre de contrôle du n° %1 « %2 » est erroné : le calcul donne %3 (%4).");
const QString kZeroNumber = QStringLiteral(
    "Le n° %1 « %2 » n'est fait que de zéros : ce n'est pas un numéro, l'éditeur le vide.");
const QString kUnknownPictogram = QStringLiteral(
    "La ligne de pictogramme « %1 » ne désigne aucun pictogramme (SGH01 à SGH09) : elle est ignorée à "
    "l'ouverture de l'étiquette.");
const QString kRepeatedPictogram = QStringLiteral("Le pictogramme %1 figure plusieurs fois.");
const QString kTooManyPictograms = QStringLiteral(
    "%1 L'étiquette en porte %2 ; ceux qui suivent le cinquième ne sont pas lus à l'ouverture : %3.");
const QString kRuleRefused = QStringLiteral("L'éditeur refuse cette combinaison de pictogrammes : « %1 »");
const QString kUnneededSgh07 = QStringLiteral("%1, et aucune mention de danger cochée ne demande SGH07 par ailleurs.");
const QString kOtherSignalWord = QStringLiteral("La mention d'avertissement « %1 » n'est ni « DANGER » ni « ATTENTION ».");
const QString kDangerRequired = QStringLiteral("La mention d'avertissement doit être « DANGER », %1 %2 ; %3");
const QString kSignalWordMissing = QStringLiteral("La mention d'avertissement manque : %1 %2 « ATTENTION ».");
const QString kPictogramMissing = QStringLiteral("Le pictogramme %1 manque : %2 %3 toujours.");
const QString kTooManyPrecautions = QStringLiteral(
    "%1 conseils de prudence sont cochés : %2 au plus sont recommandés, sauf si la nature et la gravité des "
    "dangers l'exigent.");
const QString kNoProduct = QStringLiteral("Le nom du produit est vide.");
const QString kNoSupplier = QStringLiteral("Le bloc fournisseur est vide (nom, adresse et téléphone du fournisseur).");
const QString kNoTelephone = QStringLiteral(
    "Le bloc fournisseur ne donne pas de numéro de téléphone du fournisseur.");
const QString kCapacityNotNumber = QStringLiteral(
    "La contenance de l'emballage « %1 » n'est pas un nombre de litres (par exemple 0,5 ou 25).");
const QString kChoicesLeft = QStringLiteral(
    "La phrase %1 contient encore des choix laissés au fournisseur (%2) : complétez-la avec « Modifier une phrase ».");

const QString kStatementsCut = QStringLiteral(
    "Les phrases ne tiennent pas toutes sur l'étiquette : à partir de « %1 », le texte est coupé au bas de "
    "l'étiquette. Choisissez une taille de caractères plus petite pour les phrases ou retirez des phrases.");
const QString kNumberingOnly = QStringLiteral(
    "L'étiquette est réglée sur « Numérotation H, P, EUH » : imprimée ainsi, elle ne porte que les codes des "
    "phrases, alors qu'une étiquette de danger doit porter le texte des mentions de danger et des conseils de "
    "prudence.");

const QString kDanger = QStringLiteral("DANGER");
const QString kAttention = QStringLiteral("ATTENTION");

// A text quoted in a message, on one line and of a readable length.
QString shortened(QString text)
{
    text.replace(u'\n', u' ').replace(u'\r', u' ');
    return text.size() > 60 ? text.left(59) + QChar(0x2026) : text;
}

// "H225" or "H225, H226", with the verb that agrees with it.
QString codeList(const QStringList &codes) { return codes.join(QStringLiteral(", ")); }
QString agree(const QStringList &codes, const char *singular, const char *plural)
{
    return QString::fromUtf8(codes.size() > 1 ? plural : singular);
}

// The separate hazard codes of the ticked hazard statements ("H300+H310"
// gives H300 and H310), each once, in label order.
QStringList hazardCodes(const QStringList &statements)
{
    QStringList codes;
    for (const QString &text : statements) {
        for (const QString &part : Catalogue::statementCode(text).split(u'+')) {
            const QString code = part.trimmed();
            if (!code.isEmpty() && !codes.contains(code))
                codes.append(code);
        }
    }
    return codes;
}

bool isDigit(QChar c) { return c >= u'0' && c <= u'9'; }

// The fixed shape of a number field: digits where the mask takes them, the
// dashes in place, the check character a digit (or X where allowed); a CAS
// number may leave blanks before its first digits.
bool wellFormed(IdentificationNumbers::Kind kind, const QString &text)
{
    using IdentificationNumbers::Kind;
    const QString pattern = IdentificationNumbers::zeroText(kind);
    if (text.size() != pattern.size())
        return false;
    const int check = IdentificationNumbers::checkPosition(kind);
    bool leading = kind == Kind::CAS; // blanks allowed before the first digit
    int firstGroupDigits = 0;
    for (int i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (pattern.at(i) == u'-') {
            if (c != u'-')
                return false;
            leading = false;
            continue;
        }
        if (leading && c == u' ' && firstGroupDigits == 0)
            continue;
        if (i == check) {
            if (!isDigit(c) && !(c == u'X' && IdentificationNumbers::acceptsX(kind)))
                return false;
            continue;
        }
        if (!isDigit(c))
            return false;
        if (leading)
            ++firstGroupDigits;
    }
    return kind != Kind::CAS || firstGroupDigits >= 2;
}

} // namespace

QString LabelFinding::levelName(Level level)
{
    switch (level) {
    case Error: return QStringLiteral("erreur");
    case Warning: return QStringLiteral("avertissement");
    case Note: return QStringLiteral("note");
    }
    return {};
}

LabelChecks LabelChecks::load(const QString &startDirectory)
{
    LabelChecks checks;
    const QDir dir(startDirectory);
    for (int k = 0; k < 3; ++k) {
        const auto kind = Catalogue::Kind(k);
        QStringList lines;
        QString error;
        if (Catalogue::load(dir.filePath(Catalogue::fileName(kind)), &lines, &error))
            checks.setCatalogue(kind, lines);
        else
            checks.m_problems.append(
                QStringLiteral("Le catalogue « %1 » n'a pas pu être lu : les codes de ses phrases ne sont pas "
                               "vérifiés. %2")
                    .arg(Catalogue::fileName(kind), error));
    }
    LabelFacts facts;
    QStringList problems;
    if (facts.load(dir.filePath(LabelFacts::kFileName), &problems))
        checks.setFacts(facts);
    else
        problems.append(QStringLiteral("La mention d'avertissement et les pictogrammes ne sont pas comparés aux "
                                       "mentions de danger."));
    checks.m_problems.append(problems);
    // The harmonised classification, when the start directory has it.
    if (QFileInfo::exists(dir.filePath(HarmonisedTable::kFileName))) {
        QString error;
        auto table = HarmonisedTable::shared(startDirectory, &error);
        if (error.isEmpty())
            checks.setHarmonisedTable(table);
        else
            checks.m_problems.append(
                QStringLiteral("La classification harmonisée n'a pas pu être lue : l'étiquette n'y est pas "
                               "comparée. %1").arg(error));
    }
    return checks;
}

void LabelChecks::setCatalogue(Catalogue::Kind kind, const QStringList &lines)
{
    QSet<QString> &codes = m_codes[kind];
    codes.clear();
    for (const QString &line : lines)
        codes.insert(Catalogue::statementCode(line));
    m_fixedWordings.unite(fixedWordings(lines));
    m_hasCatalogue[kind] = true;
}

void LabelChecks::setFacts(const LabelFacts &facts)
{
    m_facts = facts;
    m_hasFacts = true;
}

LabelChecks::Subject LabelChecks::subjectOf(const LabelDocument &doc)
{
    Subject s;
    s.product = doc.product;
    s.supplier = doc.supplier;
    s.ce = doc.ce;
    s.cas = doc.cas;
    s.index = doc.index;
    s.signalWord = doc.signalWord;
    s.pictograms = doc.pictograms;
    s.numberingOnly = doc.numberingOnly;
    s.ufi = doc.ufi;
    s.capacity = doc.capacity;
    const StatementList *lists[3] = {&doc.hazards, &doc.precautions, &doc.supplementary};
    for (int k = 0; k < 3; ++k)
        for (const StatementEntry &e : *lists[k])
            if (e.ticked)
                s.statements[k].append(e.text);
    return s;
}

LabelChecks::Subject LabelChecks::subjectOf(const LabelDocument &doc, const LabelContent &content)
{
    Subject s = subjectOf(doc);
    s.laidOut = content.present;
    s.content = content;
    s.numberingOnly = doc.numberingOnly || content.numberingOnly;
    return s;
}

LabelChecks::Subject LabelChecks::readSubject(const QString &path, const QString &workingDir)
{
    const QString folder = workingDir.isEmpty() ? QFileInfo(path).absolutePath() : workingDir;
    QStringList lines;
    QString error;
    if (!LabelFile::readLines(path, &lines, &error)) {
        Subject s;
        s.fromFile = true;
        s.status = {LabelFile::Status::Unreadable, error, {}};
        return s;
    }
    Subject s = subjectOfLines(lines, folder);
    s.path = QFileInfo(path).absoluteFilePath();
    return s;
}

LabelChecks::Subject LabelChecks::subjectOfLines(const QStringList &lines, const QString &workingDir)
{
    Subject s;
    s.fromFile = true;
    if (lines.isEmpty()) {
        s.emptyFile = true;
        s.status = LabelFile::Status::listIndex(0);
        return s;
    }
    s.labelFile = lines.constFirst() == LabelFile::kFab;
    if (!s.labelFile)
        return s;

    // The label as the program opens it...
    LabelDocument doc;
    FrameMirrors mirrors;
    s.status = LabelFile::parse(lines, &doc, &mirrors, workingDir);
    s.product = doc.product;
    s.supplier = doc.supplier;
    s.ce = doc.ce;
    s.cas = doc.cas;
    s.index = doc.index;
    s.signalWord = doc.signalWord;
    s.ufi = doc.ufi;
    s.capacity = doc.capacity;

    // ...and the pictogram lines and statement texts as stored, walked by the
    // reader's own rules (the reader keeps only what it recognises).
    try {
        using namespace LabelFile;
        Scanner scan(lines);
        for (const QString *marker : {&kSub, &kNref, &kComments, &kWarning, &kPic})
            scan.section(*marker);
        for (QString code : scan.section(kHazards)) {
            if (code.startsWith(QLatin1String("GHS")))
                code = QStringLiteral("SGH") + code.right(2);
            s.pictograms.append(code);
        }
        scan.pairs(kPrecautions, [&](const QString &text) { s.statements[0].append(text); });
        scan.pairs(kInfos, [&](const QString &text) { s.statements[1].append(text); });
        scan.pairs(kFont, [&](const QString &text) { s.statements[2].append(text); });
    } catch (const LabelFile::Scanner::Failure &) {
        // The reader failed at the same line: its status tells.
    }
    if (s.status.ok()) {
        // Drawn as the program opens it (sizes, font, logo and pictograms as
        // the reader keeps them), with the stored statements.
        StatementList *lists[3] = {&doc.hazards, &doc.precautions, &doc.supplementary};
        for (int k = 0; k < 3; ++k)
            for (const QString &text : std::as_const(s.statements[k]))
                lists[k]->append({text, true});
        s.content = LabelContent::fromDocument(doc, mirrors, false, QString());
        s.laidOut = true;
    }
    return s;
}

QList<LabelFinding> LabelChecks::check(const Subject &s) const
{
    QList<LabelFinding> out;
    checkReading(s, &out);
    const bool readable = !s.emptyFile && s.labelFile && s.status.ok();
    if (readable) {
        const QStringList hazards = hazardCodes(s.statements[Catalogue::Hazard]);
        checkStatements(s, &out);
        checkLayout(s, &out);
        checkNumbers(s, &out);
        checkPictogramRules(s, hazards, &out);
        // The supplemental hazard classes (EUH380...) have a signal word too.
        checkSignalWord(s, hazards + hazardCodes(s.statements[Catalogue::Supplementary]), &out);
        checkPictogramFacts(s, hazards, &out);
        checkContent(s, &out);
        checkComplements(s, &out);
        checkHarmonised(s, hazards, &out);
    }
    // The same message once.
    QList<LabelFinding> unique;
    for (const LabelFinding &f : out)
        if (!unique.contains(f))
            unique.append(f);
    std::stable_sort(unique.begin(), unique.end(),
                     [](const LabelFinding &a, const LabelFinding &b) { return a.level < b.level; });
    return unique;
}

void LabelChecks::checkReading(const Subject &s, QList<LabelFinding> *out) const
{
    if (s.emptyFile) {
        out->append({LabelFinding::Error, kEmptyFile});
        return;
    }
    if (s.status.kind == LabelFile::Status::Unreadable) {
        out->append({LabelFinding::Error, s.status.message});
        return;
    }
    if (!s.labelFile) {
        out->append({LabelFinding::Error, kNotALabel});
        return;
    }
    if (!s.status.ok()) {
        // What the reader noted before it stopped follows from the cut.
        QString detail = LabelFile::damageDetail(s.status);
        if (detail.endsWith(u'.'))
            detail.chop(1);
        out->append({LabelFinding::Error, s.path.isEmpty() ? kReadingStopped.arg(detail)
                                                           : LabelFile::damageMessage(s.path, s.status)});
        return;
    }
    for (const QString &w : s.status.warnings)
        if (w != LabelFile::kCapacityNotNumber.arg(s.capacity)) // an error of its own below
            out->append({LabelFinding::Warning, w});
}

void LabelChecks::checkStatements(const Subject &s, QList<LabelFinding> *out) const
{
    for (int k = 0; k < 3; ++k) {
        for (const QString &text : s.statements[k]) {
            if (!text.contains(u':')) {
                out->append({LabelFinding::Error, kNoCode.arg(shortened(text))});
                continue;
            }
            const QString code = Catalogue::statementCode(text);
            if (m_hasCatalogue[k] && !m_codes[k].contains(code))
                out->append({LabelFinding::Error, kUnknownCode.arg(shortened(code), Catalogue::fileName(Catalogue::Kind(k)))});
        }
    }
}

void LabelChecks::checkNumbers(const Subject &s, QList<LabelFinding> *out) const
{
    using namespace IdentificationNumbers;
    const struct {
        Kind kind;
        const char *name;
        const QString &text;
    } numbers[] = {{Kind::CE, "CE", s.ce}, {Kind::CAS, "CAS", s.cas}, {Kind::INDEX, "INDEX", s.index}};
    for (const auto &n : numbers) {
        const QString name = QString::fromLatin1(n.name);
        if (n.text == emptyText(n.kind))
            continue;
        if (n.text == zeroText(n.kind)) {
            out->append({LabelFinding::Warning, kZeroNumber.arg(name, n.text)});
            continue;
        }
        if (!wellFormed(n.kind, n.text)) {
            out->append({LabelFinding::Error, kBadNumber.arg(name, shortened(n.text), zeroText(n.kind))});
            continue;
        }
        const Verification v = verify(n.kind, n.text);
        if (v.result == Verification::Wrong)
            out->append({LabelFinding::Error,
                         kWrongCheck.arg(name, n.text, QString(v.corrected.at(checkPosition(n.kind))), v.corrected)});
    }
}

void LabelChecks::checkPictogramRules(const Subject &s, const QStringList &hazards, QList<LabelFinding> *out) const
{
    QStringList codes;
    for (const QString &code : s.pictograms) {
        bool known = false;
        for (int n = 1; n <= 9 && !known; ++n)
            known = code == LabelDocument::pictogramCode(n);
        if (!known)
            out->append({LabelFinding::Error, kUnknownPictogram.arg(shortened(code))});
        else if (codes.contains(code))
            out->append({LabelFinding::Warning, kRepeatedPictogram.arg(code)});
        else
            codes.append(code);
    }
    if (codes.size() > PictogramRules::kMaximum) {
        const QStringList dropped = codes.mid(PictogramRules::kMaximum);
        out->append({LabelFinding::Error,
                     kTooManyPictograms.arg(PictogramRules::kTooMany).arg(codes.size()).arg(codeList(dropped))});
        codes = codes.first(PictogramRules::kMaximum);
    }

    // The stored pictograms are picked again, in label order, through the
    // editor's own rules: whatever the editor refuses or replaces is an
    // error; what it accepts only after a question is judged here.
    QStringList picked;
    for (const QString &code : codes) {
        const int n = code.right(1).toInt();
        QStringList target = picked;
        target.append(code);
        QList<PictogramRules::Prompt> prompts;
        bool accepted = false;
        for (const bool answer : {true, false}) {
            prompts.clear();
            const auto ask = [&prompts, answer](const PictogramRules::Prompt &p) {
                prompts.append(p);
                return answer;
            };
            if (PictogramRules::click(picked, n, ask) == target) {
                accepted = true;
                break;
            }
        }
        if (!accepted) {
            // The prompts of the refusal (the last answer given was No).
            prompts.clear();
            PictogramRules::click(picked, n, [&prompts](const PictogramRules::Prompt &p) {
                prompts.append(p);
                return true;
            });
        }
        for (const PictogramRules::Prompt &p : prompts) {
            QString text = p.text;
            if (p.kind == PictogramRules::Prompt::Warning || !accepted) {
                if (p.kind == PictogramRules::Prompt::Warning)
                    out->append({LabelFinding::Error, kRuleRefused.arg(text.replace(u'\n', u' '))});
                continue;
            }
            // A question: its statement, without the question that follows.
            const qsizetype cut = text.lastIndexOf(QStringLiteral(",\n"));
            QString statement = (cut < 0 ? text : text.left(cut)).replace(u'\n', u' ');
            if (statement.contains(QLatin1String("SGH07"))) {
                if (!required(QStringLiteral("SGH07"), hazards, codes))
                    out->append({LabelFinding::Warning, kUnneededSgh07.arg(statement)});
            } else {
                // Not "optional" where a ticked statement requires it whatever
                // else the label carries (type B self-reactive substances and
                // organic peroxides carry both SGH01 and SGH02).
                const qsizetype at = statement.indexOf(QLatin1String("SGH"));
                if (at < 0 || !required(statement.mid(at, 5), hazards, codes))
                    out->append({LabelFinding::Note, statement + u'.'});
            }
        }
        picked = target;
    }
}

bool LabelChecks::calls(const QString &code, const QString &pictogram, const QStringList &hazards,
                        const QStringList &pictograms) const
{
    if (!m_hasFacts)
        return false;
    for (const LabelFacts::Pictogram &fact : m_facts.pictograms(code)) {
        if (fact.code != pictogram)
            continue;
        bool waived = false;
        for (const LabelFacts::Waiver &w : fact.waivers)
            waived = waived
                || (pictograms.contains(w.pictogram) && (w.statement.isEmpty() || hazards.contains(w.statement)));
        if (!waived)
            return true;
    }
    return false;
}

bool LabelChecks::required(const QString &pictogram, const QStringList &hazards, const QStringList &pictograms) const
{
    return std::any_of(hazards.begin(), hazards.end(), [&](const QString &code) {
        return calls(code, pictogram, hazards, pictograms);
    });
}

void LabelChecks::checkSignalWord(const Subject &s, const QStringList &hazards, QList<LabelFinding> *out) const
{
    const QString word = s.signalWord.trimmed();
    if (!word.isEmpty() && word != kDanger && word != kAttention)
        out->append({LabelFinding::Warning, kOtherSignalWord.arg(shortened(s.signalWord))});
    if (!m_hasFacts)
        return;
    QStringList danger, attention;
    for (const QString &code : hazards) {
        const auto fact = m_facts.signalWord(code);
        if (fact == LabelFacts::SignalWord::Danger)
            danger.append(code);
        else if (fact == LabelFacts::SignalWord::Attention)
            attention.append(code);
    }
    if (!danger.isEmpty() && word.toUpper() != kDanger) {
        const QString carried = word.isEmpty() ? QStringLiteral("l'étiquette n'en porte aucune.")
                                               : QStringLiteral("l'étiquette porte « %1 ».").arg(shortened(word));
        out->append({LabelFinding::Error,
                     kDangerRequired.arg(agree(danger, "que demande", "que demandent"), codeList(danger), carried)});
    } else if (danger.isEmpty() && !attention.isEmpty() && word.isEmpty()) {
        out->append({LabelFinding::Error,
                     kSignalWordMissing.arg(codeList(attention), agree(attention, "demande", "demandent"))});
    }
}

void LabelChecks::checkPictogramFacts(const Subject &s, const QStringList &hazards, QList<LabelFinding> *out) const
{
    if (!m_hasFacts)
        return;
    for (int n = 1; n <= 9; ++n) {
        const QString pictogram = LabelDocument::pictogramCode(n);
        if (s.pictograms.contains(pictogram))
            continue;
        QStringList callers;
        for (const QString &code : hazards)
            if (calls(code, pictogram, hazards, s.pictograms))
                callers.append(code);
        if (!callers.isEmpty())
            out->append({LabelFinding::Error, kPictogramMissing.arg(pictogram, codeList(callers),
                                                                     agree(callers, "le demande", "le demandent"))});
    }
}

void LabelChecks::checkContent(const Subject &s, QList<LabelFinding> *out) const
{
    if (s.product.trimmed().isEmpty())
        out->append({LabelFinding::Error, kNoProduct});
    if (s.supplier.trimmed().isEmpty())
        out->append({LabelFinding::Error, kNoSupplier});
    else if (!hasTelephone(s.supplier))
        out->append({LabelFinding::Error, kNoTelephone});
    const int precautions = int(s.statements[Catalogue::Precaution].size());
    const int maximum = m_hasFacts ? m_facts.maxPrecautions() : LabelFacts::kDefaultMaxPrecautions;
    if (precautions > maximum)
        out->append({LabelFinding::Note, kTooManyPrecautions.arg(precautions).arg(maximum)});
    for (const QStringList &list : s.statements) {
        for (const QString &text : list) {
            const QStringList marks = choiceMarks(text, m_fixedWordings);
            if (!marks.isEmpty())
                out->append({LabelFinding::Note,
                             kChoicesLeft.arg(shortened(Catalogue::statementCode(text)), marks.join(QStringLiteral(", ")))});
        }
    }
}

void LabelChecks::checkLayout(const Subject &s, QList<LabelFinding> *out) const
{
    if (s.numberingOnly)
        out->append({LabelFinding::Error, kNumberingOnly});
    // Text is laid out only where fonts can be had (a GUI application).
    if (!s.laidOut || !qobject_cast<QGuiApplication *>(QCoreApplication::instance()))
        return;
    // The export image and the label picture (the preview, the print as
    // pictures) round their sizes differently: a statement cut in either is
    // cut somewhere the user will see.
    for (const RenderVariant &variant : {RenderVariant::exportImage(), RenderVariant::labelPicture()}) {
        const LayoutResult r = LabelRenderer::measure(s.content, variant);
        if (!r.cutStatement.isEmpty()) {
            out->append({LabelFinding::Error, kStatementsCut.arg(shortened(r.cutStatement))});
            return;
        }
    }
}

const QSet<QString> &LabelChecks::builtInFixedWordings()
{
    static const QSet<QString> wordings = {QStringLiteral("et/ou"), QStringLiteral("inflammable/explosif"),
                                           QStringLiteral("contenu/récipient")};
    return wordings;
}

namespace {
// The word of letters that ends before `from` (step -1) or starts at `from`
// (step 1), in lower case.
QString wordAt(const QString &text, qsizetype from, int step)
{
    QString word;
    for (qsizetype i = from; i >= 0 && i < text.size() && text.at(i).isLetter(); i += step)
        word = step < 0 ? text.at(i) + word : word + text.at(i);
    return word.toLower();
}
} // namespace

QSet<QString> LabelChecks::fixedWordings(const QStringList &catalogueLines)
{
    QSet<QString> out;
    for (const QString &line : catalogueLines) {
        const qsizetype colon = line.indexOf(u':');
        const QString wording = colon < 0 ? line : line.mid(colon + 1);
        const qsizetype slash = wording.indexOf(u'/');
        if (slash <= 0 || wording.indexOf(u'/', slash + 1) >= 0 || slash + 1 >= wording.size())
            continue;
        if (!wording.at(slash - 1).isLetter() || !wording.at(slash + 1).isLetter())
            continue;
        out.insert(wordAt(wording, slash - 1, -1) + u'/' + wordAt(wording, slash + 1, 1));
    }
    return out;
}

QStringList LabelChecks::choiceMarks(const QString &statement, const QSet<QString> &fixed)
{
    const qsizetype colon = statement.indexOf(u':');
    const QString wording = colon < 0 ? statement : statement.mid(colon + 1);
    QStringList marks;
    const QChar ellipsis(0x2026);
    if (wording.contains(ellipsis) || wording.contains(QLatin1String("...")))
        marks << QStringLiteral("« … »");

    // "/" between two words offers alternatives, except in the fixed wordings
    // of the official texts ("et/ou", "contenu/récipient"); "50 °C/122 °F" is
    // a unit.
    for (qsizetype i = wording.indexOf(u'/'); i >= 0; i = wording.indexOf(u'/', i + 1)) {
        const QChar before = i > 0 ? wording.at(i - 1) : QChar();
        const QChar after = i + 1 < wording.size() ? wording.at(i + 1) : QChar();
        if (!(before.isLetter() || before == ellipsis) || !(after.isLetter() || after == ellipsis))
            continue;
        const QString pair = wordAt(wording, i - 1, -1) + u'/' + wordAt(wording, i + 1, 1);
        if (builtInFixedWordings().contains(pair) || fixed.contains(pair))
            continue;
        marks << QStringLiteral("« / »");
        break;
    }
    if (wording.contains(u'[') || wording.contains(u']'))
        marks << QStringLiteral("« […] »");
    if (wording.contains(u'<') || wording.contains(u'>'))
        marks << QStringLiteral("« <…> »");
    return marks;
}

void LabelChecks::checkComplements(const Subject &s, QList<LabelFinding> *out) const
{
    const Ufi::Verification ufi = Ufi::verify(s.ufi);
    if (!ufi.ok())
        out->append({LabelFinding::Error, Ufi::message(ufi, shortened(s.ufi))});
    if (!s.capacity.trimmed().isEmpty() && !LabelFile::parseCapacity(s.capacity))
        out->append({LabelFinding::Error, kCapacityNotNumber.arg(shortened(s.capacity))});
}

bool LabelChecks::hasTelephone(const QString &supplier)
{
    const QString lower = supplier.toLower();
    int run = 0;
    bool afterWord = false; // digits that follow "tél", "tel" or "phone" on their line
    for (qsizetype i = 0; i < lower.size(); ++i) {
        const QChar c = lower.at(i);
        if (c.isDigit() && c.unicode() < 128) {
            if (++run >= 8 || (afterWord && run >= 4))
                return true;
            continue;
        }
        if (c == u'\n' || c == u'\r')
            afterWord = false;
        if (lower.mid(i, 3) == QLatin1String("tél") || lower.mid(i, 3) == QLatin1String("tel")
            || lower.mid(i, 5) == QLatin1String("phone"))
            afterWord = true;
        const bool separator = c == u' ' || c == u'.' || c == u'-' || c == u'/' || c == u'(' || c == u')'
            || c == u'+' || c == QChar(0xA0);
        if (!separator)
            run = 0;
    }
    return false;
}

QString LabelChecks::report(const QList<LabelFinding> &findings)
{
    if (findings.isEmpty())
        return kNoFinding;
    QStringList lines;
    for (const LabelFinding &f : findings)
        lines << LabelFinding::levelName(f.level) + QStringLiteral(" : ") + f.message;
    return lines.join(u'\n');
}

bool LabelChecks::serious(const QList<LabelFinding> &findings)
{
    return std::any_of(findings.begin(), findings.end(),
                       [](const LabelFinding &f) { return f.level != LabelFinding::Note; });
}

// The label against the harmonised classification its numbers name: the
// INDEX number first, then the CAS, then the EC number (an EC number may name
// a substance and its solutions). What the entry's labelling holds and the
// label lacks is an error; a warning when the entry has specific
// concentration limits or a minimum classification, since the label may then
// be for a dilution.
void LabelChecks::checkHarmonised(const Subject &s, const QStringList &hazards, QList<LabelFinding> *out) const
{
    if (!m_harmonised)
        return;
    const HarmonisedEntry *entry = nullptr;
    for (const QString &text : {s.index, s.cas, s.ce}) {
        const SubstanceNumber number = SubstanceNumber::check(text);
        const QList<const HarmonisedEntry *> found = m_harmonised->find(number);
        if (found.size() == 1) {
            entry = found.first();
            break;
        }
        if (found.size() > 1) {
            QStringList indexes;
            for (const HarmonisedEntry *e : found)
                indexes.append(e->index);
            out->append({LabelFinding::Note,
                         QStringLiteral("Le n° %1 %2 désigne plusieurs entrées de la classification harmonisée (%3) : "
                                        "l'étiquette n'y est pas comparée.")
                             .arg(SubstanceNumber::kindName(number.kind), number.number, codeList(indexes))});
            return;
        }
    }
    if (!entry)
        return;

    QString why;
    if (!entry->limits.isEmpty())
        why = QStringLiteral("l'entrée fixe des limites de concentration spécifiques : l'étiquette peut être celle "
                             "d'une dilution");
    else if (entry->hasMinimumClassification())
        why = QStringLiteral("l'entrée donne une classification minimale (« * ») : l'étiquette peut être celle "
                             "d'une dilution");
    const LabelFinding::Level level = why.isEmpty() ? LabelFinding::Error : LabelFinding::Warning;
    const QString source = QStringLiteral("La classification harmonisée (INDEX %1)").arg(entry->index);
    const auto add = [&](const QString &what) {
        out->append({level, source + u' ' + what + (why.isEmpty() ? QStringLiteral(".") : QStringLiteral(" (") + why + QStringLiteral(")."))});
    };

    QStringList supplemental;
    for (const QString &text : s.statements[Catalogue::Supplementary])
        for (const QString &part : Catalogue::statementCode(text).split(u'+'))
            supplemental.append(part.trimmed());
    const auto missing = [](const QStringList &lines, const QStringList &present) {
        QStringList codes;
        for (const QString &line : lines) {
            const QString code = HarmonisedEntry::code(line);
            if (!code.isEmpty() && !present.contains(code) && !codes.contains(code))
                codes.append(code);
        }
        return codes;
    };
    for (const QString &code : missing(entry->hazards, hazards))
        add(QStringLiteral("demande la mention de danger %1, absente de l'étiquette").arg(code));
    for (const QString &code : missing(entry->supplemental, supplemental))
        add(QStringLiteral("demande la mention %1, absente de l'étiquette").arg(code));
    for (const QString &pictogram : entry->pictograms)
        if (!s.pictograms.contains(pictogram))
            add(QStringLiteral("demande le pictogramme %1, absent de l'étiquette").arg(pictogram));
    const QString word = s.signalWord.trimmed().toUpper();
    if (!entry->signalWord.isEmpty() && word != entry->signalWord && word != kDanger)
        add(QStringLiteral("demande la mention d'avertissement « %1 », l'étiquette porte %2")
                .arg(entry->signalWord, word.isEmpty() ? QStringLiteral("aucune") : QStringLiteral("« %1 »").arg(shortened(s.signalWord))));
}
