#include "editor/phraseeditor.h"

#include "editor/labelwidgets.h"
#include "shell/storabletext.h"
#include "shell/application.h"
#include "shell/base.h"
#include "shell/desktop.h"

#include "shell/placement.h"

#include <QAction>
#include <QMimeData>
#include <QScreen>
#include <QTextDocument>
#include <QKeyEvent>
#include <QLabel>

#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

// The statement's text box: a statement stays one line, so a pasted or
// dropped line break becomes a blank.
class PhraseMemo : public QPlainTextEdit
{
public:
    using QPlainTextEdit::QPlainTextEdit;

protected:
    // A character the label file cannot store is said when it is typed or
    // pasted, with the nearest text it can store.
    void insertFromMimeData(const QMimeData *source) override
    {
        if (!source || !source->hasText())
            return;
        textCursor().insertText(offerStorableText(window(), oneLine(source->text())));
    }
    void keyPressEvent(QKeyEvent *event) override
    {
        const QString text = event->text();
        if (!text.isEmpty() && text.at(0).isPrint() && !(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier))
            && !StorableText::storable(text)) {
            event->accept();
            textCursor().insertText(offerStorableText(window(), text));
            ensureCursorVisible();
            return;
        }
        QPlainTextEdit::keyPressEvent(event);
    }

public:
    static QString oneLine(QString text)
    {
        text.replace(QLatin1String("\r\n"), QLatin1String(" "));
        for (QChar &c : text)
            if (c == u'\r' || c == u'\n' || c == QChar::ParagraphSeparator || c == QChar::LineSeparator)
                c = u' ';
        return text;
    }
};

} // namespace

TFormEdit::TFormEdit(QWidget *frame)
    : QWidget(frame, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint
                         | Qt::MSWindowsFixedSizeDialogHint)
{
    Application::noteCreated("TFormEdit");
    setObjectName(QStringLiteral("TFormEdit"));
    // A small dialog of its own: above the floating preview, which would
    // otherwise hide its buttons.
    keepAbovePreview(this);
    setWindowTitle(QStringLiteral("Éditeur de phrases"));
    Memo1 = new PhraseMemo(this);
    Memo1->setObjectName(QStringLiteral("Memo1"));
    Memo1->setFont(QFont(QStringLiteral("Arial")));
    Memo1->setMinimumSize(313, 80);
    Memo1->installEventFilter(this);
    But_valider = new QPushButton(QStringLiteral("&Valider"), this);
    But_valider->setObjectName(QStringLiteral("But_valider"));
    But_annuler = new QPushButton(QStringLiteral("A&nnuler"), this);
    But_annuler->setObjectName(QStringLiteral("But_annuler"));
    But_annuler->setToolTip(QStringLiteral("Renoncer et quitter"));
    connect(But_annuler, &QPushButton::clicked, this, &QWidget::close);
    // The validation is the frame's command, so the menu and the button agree.
    if (TForm_base *f = Form_base())
        connect(But_valider, &QPushButton::clicked, f->majour, &QAction::trigger);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(But_valider);
    buttons->addWidget(But_annuler);
    auto *strip = new QLabel(this);
    strip->setObjectName(QStringLiteral("Image1"));
    strip->setFixedHeight(4);
    strip->setStyleSheet(QStringLiteral("background: qlineargradient(x1:0, y1:0, x2:1, y2:0, stop:0 #b00000, stop:1 #f0c0c0);"));
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(8, 8, 8, 0);
    layout->addWidget(Memo1);
    layout->addLayout(buttons);
    layout->addWidget(strip);
    setFixedSize(329 + 16, 128 + 20);
}

bool TFormEdit::eventFilter(QObject *watched, QEvent *event)
{
    // Enter does not break the line: a statement stays one line.
    if (watched == Memo1 && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter)
            return true;
    }
    return QWidget::eventFilter(watched, event);
}

QString TFormEdit::text() const
{
    // The raw text keeps no-break spaces, which the plain-text view of the
    // box turns into blanks.
    return PhraseMemo::oneLine(Memo1->document()->toRawText());
}

void TFormEdit::setText(const QString &text)
{
    Memo1->setPlainText(PhraseMemo::oneLine(text));
}

void TFormEdit::showBeside(QWidget *anchor)
{
    if (!isVisible() && anchor) {
        const QRect area(anchor->mapToGlobal(QPoint(0, 0)), anchor->size());
        const QScreen *screen = anchor->screen();
        if (screen)
            move(Placement::beside(area, frameGeometry().size(), screen->availableGeometry()));
    }
    show();
    raise();
    activateWindow();
}
