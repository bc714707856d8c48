#include "editor/complementstab.h"

#include "editor/ufi.h"
#include "shell/desktop.h"
#include "shell/labelfile.h"

#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QVBoxLayout>

namespace {

QLineEdit *lineEdit(QWidget *parent, const char *name, const QString &hint)
{
    auto *e = new QLineEdit(parent);
    e->setObjectName(QString::fromLatin1(name));
    e->setToolTip(hint);
    return e;
}

QPlainTextEdit *memo(QWidget *parent, const char *name, const QString &hint)
{
    auto *e = new QPlainTextEdit(parent);
    e->setObjectName(QString::fromLatin1(name));
    e->setToolTip(hint);
    e->setTabChangesFocus(true);
    e->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    e->setMinimumHeight(44);
    return e;
}

} // namespace

ComplementsTab::ComplementsTab(QWidget *parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("TabComplements"));
    EdQuantite = lineEdit(this, "EdQuantite", QStringLiteral("Quantité nominale telle qu'imprimée, par exemple 1 L ou 500 g"));
    EdContenance = lineEdit(this, "EdContenance", kCapacityHint);
    EdUFI = lineEdit(this, "EdUFI", QStringLiteral("Identifiant unique de formulation : XXXX-XXXX-XXXX-XXXX"));
    EdUFI->setMaxLength(40);
    LabUFI = new QLabel(this);
    LabUFI->setObjectName(QStringLiteral("LabUFI"));
    LabUFI->setWordWrap(true);
    MemoContient = memo(this, "MemoContient",
                        QStringLiteral("Substances qui déterminent la classification du mélange, une ligne chacune"));
    MemoInfos = memo(this, "MemoInfos",
                     QStringLiteral("Informations supplémentaires imprimées après les phrases EUH, une ligne chacune"));
    EdFDS = lineEdit(this, "EdFDS",
                     QStringLiteral("Adresse de la fiche de données de sécurité, imprimée en code QR sur l'étiquette"));

    auto *form = new QFormLayout(this);
    form->setContentsMargins(6, 6, 6, 6);
    form->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);
    form->addRow(QStringLiteral("Quantité nominale"), EdQuantite);
    form->addRow(QStringLiteral("Contenance de l'emballage (L)"), EdContenance);
    auto *ufi = new QVBoxLayout;
    ufi->setSpacing(1);
    ufi->addWidget(EdUFI);
    ufi->addWidget(LabUFI);
    form->addRow(QStringLiteral("UFI"), ufi);
    form->addRow(QStringLiteral("Contient"), MemoContient);
    form->addRow(QStringLiteral("Informations supplémentaires"), MemoInfos);
    form->addRow(QStringLiteral("Fiche de données de sécurité (adresse)"), EdFDS);

    for (QLineEdit *e : {EdQuantite, EdContenance, EdUFI, EdFDS})
        connect(e, &QLineEdit::textChanged, this, &ComplementsTab::changed);
    for (QPlainTextEdit *e : {MemoContient, MemoInfos})
        connect(e, &QPlainTextEdit::textChanged, this, &ComplementsTab::changed);

    // The UFI is checked as it is typed: the line under the field follows
    // every change; a pasted or dropped text (more than one character at
    // once) that is wrong is said at once, a typed one when the field is left.
    connect(EdUFI, &QLineEdit::textChanged, this, &ComplementsTab::showUfiState);
    connect(EdUFI, &QLineEdit::textChanged, this, [this](const QString &text) {
        m_ufiSizeBefore = m_ufiText.size();
        m_ufiText = text;
    });
    connect(EdUFI, &QLineEdit::textEdited, this, [this](const QString &text) {
        // The length before this edit, whichever of the two signals came first.
        const qsizetype before = m_ufiText == text ? m_ufiSizeBefore : m_ufiText.size();
        if (text.size() >= before + 2)
            verifyUfi(true);
    });
    connect(EdUFI, &QLineEdit::editingFinished, this, [this] { verifyUfi(true); });
    connect(EdContenance, &QLineEdit::textChanged, this, [this](const QString &text) {
        const bool wrong = !text.trimmed().isEmpty() && !LabelFile::parseCapacity(text);
        EdContenance->setStyleSheet(wrong ? QStringLiteral("color: red;") : QString());
        EdContenance->setToolTip(wrong ? QStringLiteral("« %1 » n'est pas un nombre de litres. ").arg(text) + kCapacityHint
                                       : kCapacityHint);
    });
    showUfiState();
}

void ComplementsTab::take(LabelDocument *doc) const
{
    doc->quantity = EdQuantite->text();
    doc->capacity = EdContenance->text();
    doc->ufi = EdUFI->text();
    doc->contains = LabelFile::memoLines(MemoContient->toPlainText());
    doc->infos = LabelFile::memoLines(MemoInfos->toPlainText());
    doc->sdsAddress = EdFDS->text();
    doc->otherComplements = m_otherComplements;
}

void ComplementsTab::fill(const LabelDocument &doc)
{
    EdQuantite->setText(doc.quantity);
    EdContenance->setText(doc.capacity);
    EdUFI->setText(doc.ufi);
    MemoContient->setPlainText(LabelFile::memoText(doc.contains));
    MemoInfos->setPlainText(LabelFile::memoText(doc.infos));
    EdFDS->setText(doc.sdsAddress);
    m_otherComplements = doc.otherComplements;
    m_toldUfi.clear();
}

void ComplementsTab::showUfiState()
{
    const QString text = EdUFI->text();
    const Ufi::Verification v = Ufi::verify(text);
    if (v.result == Ufi::Verification::Empty) {
        LabUFI->clear();
        LabUFI->setStyleSheet(QString());
    } else if (v.ok()) {
        LabUFI->setText(QStringLiteral("UFI valide."));
        LabUFI->setStyleSheet(QStringLiteral("color: darkgreen;"));
    } else if (v.result == Ufi::Verification::Layout && text.trimmed().size() < 19
               && !text.trimmed().contains(QLatin1String("--"))) {
        LabUFI->setText(QStringLiteral("UFI incomplet : seize caractères en quatre groupes (XXXX-XXXX-XXXX-XXXX)."));
        LabUFI->setStyleSheet(QStringLiteral("color: grey;"));
    } else {
        LabUFI->setText(Ufi::message(v, text));
        LabUFI->setStyleSheet(QStringLiteral("color: red;"));
    }
}

bool ComplementsTab::verifyUfi(bool tell)
{
    const QString text = EdUFI->text();
    const Ufi::Verification v = Ufi::verify(text);
    if (v.result == Ufi::Verification::Correct && v.normalized != text) {
        EdUFI->setText(v.normalized); // capitals and dashes, as printed
    }
    showUfiState();
    if (v.ok()) {
        m_toldUfi.clear();
        return true;
    }
    if (tell && text != m_toldUfi) {
        m_toldUfi = text;
        desktop().message(this, kUfiTitle, Ufi::message(v, text), Desktop::Icon::Warning, Desktop::Ok);
    }
    return false;
}
