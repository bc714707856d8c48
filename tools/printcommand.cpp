#include "tools/printcommand.h"

#include "editor/mdichild.h"
#include "shell/application.h"
#include "shell/base.h"
#include "shell/desktop.h"
#include "tools/printer.h"

#include <QApplication>
#include <QDir>
#include <QCheckBox>
#include <QLabel>
#include <QPrinter>
#include <QRadioButton>
#include <QTabWidget>

namespace PrintCommand {

namespace {

// The signs of a running job, taken back whatever happens.
class JobSigns
{
public:
    explicit JobSigns(TForm_base *frame)
        : m_frame(frame)
    {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        m_frame->STnb_f->setText(kPrinting);
        m_frame->STnb_f->repaint();
    }
    ~JobSigns()
    {
        m_frame->STnb_f->setText(QString::number(m_frame->labelCount()));
        QApplication::restoreOverrideCursor();
    }
    JobSigns(const JobSigns &) = delete;
    JobSigns &operator=(const JobSigns &) = delete;

private:
    TForm_base *m_frame;
};

} // namespace

SheetPrint::Job currentJob(TForm_base *frame)
{
    Tprinter *options = kalvane()->printer();
    SheetPrint::Job job;
    job.settings = options->settings();
    job.current = frame->mirrors;
    job.pictogramFolder = frame->startDirectory();
    if (job.settings.activeLabel) {
        job.active = frame->activeContent();
        if (TMDIChild *label = frame->activeLabel())
            job.activeName = label->windowTitle();
    }
    return job;
}

SheetPrint::Result printOn(TForm_base *frame, QPrinter *printer)
{
    Tprinter *options = kalvane()->printer();
    // The program repeats the page itself: the printer is asked for one copy.
    const int copies = std::max(1, printer->copyCount());
    printer->setCopyCount(1);

    SheetPrint::Job job = currentJob(frame);
    job.copies = copies;
    job.deviceFailed = [printer] { return printer->printerState() == QPrinter::Error; };
    // The job's name in the printing system's queue.
    if (printer->docName().isEmpty())
        printer->setDocName(QStringLiteral("Kalvane - ")
                            + (job.settings.activeLabel ? job.activeName : options->Rad_planche->text()));

    SheetPrint::Result result;
    {
        JobSigns signs(frame);
        result = SheetPrint::print(printer, job);
    }
    printer->setCopyCount(copies);
    return result;
}

QList<LabelFormat::Finding> formatFindings(TForm_base *frame, QPrinter *printer, const SheetPrint::Job &job,
                                           double litres, QString *layout)
{
    FormatRules::Table table;
    QString error;
    const SheetPrint::Surface surface = SheetPrint::surface(printer, job.settings);
    if (layout)
        *layout = (job.settings.onStock() ? LabelFormat::onStock(job.settings.stock)
                                          : LabelFormat::onGrid(job.settings, surface)).layout;
    if (!FormatRules::read(QDir(frame->startDirectory()).filePath(FormatRules::kFileName), &table, &error))
        return {{false, error}};
    return LabelFormat::checkJob(table, litres, job, surface);
}

bool confirmFormat(QWidget *parent, TForm_base *frame, QPrinter *printer, double litres, double *statementScale)
{
    SheetPrint::Job job = currentJob(frame);
    FormatRules::Table table;
    QString error;
    if (!FormatRules::read(QDir(frame->startDirectory()).filePath(FormatRules::kFileName), &table, &error)) {
        desktop().message(parent, kFormatTitle, error, Desktop::Icon::Warning, Desktop::Ok);
        return true;
    }
    const SheetPrint::Surface surface = SheetPrint::surface(printer, job.settings);
    LabelFormat::FitOffer offer;
    {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        offer = LabelFormat::fitStatements(table, litres, job, surface);
        QApplication::restoreOverrideCursor();
    }
    if (offer.needed && offer.possible) {
        if (desktop().message(parent, LabelFormat::kFitTitle, offer.message, Desktop::Icon::Question,
                              Desktop::Yes | Desktop::No)
            == Desktop::Yes) {
            *statementScale = offer.scale;
            job.settings.statementScale = offer.scale;
        }
    } else if (offer.needed) {
        desktop().message(parent, LabelFormat::kFitTitle, offer.message, Desktop::Icon::Warning, Desktop::Ok);
    }
    const QList<LabelFormat::Finding> findings = LabelFormat::checkJob(table, litres, job, surface);
    if (findings.isEmpty())
        return true;
    return desktop().message(parent, kFormatTitle,
                             kFormatIntro + u'\n' + LabelFormat::report(findings) + QStringLiteral("\n\n") + kPrintAnyway,
                             LabelFormat::hasError(findings) ? Desktop::Icon::Warning : Desktop::Icon::Information,
                             Desktop::Yes | Desktop::No)
        == Desktop::Yes;
}

bool confirmLayout(QWidget *parent, TForm_base *frame, QPrinter *printer, QStringList *accepted)
{
    const SheetPrint::Job job = currentJob(frame);
    SheetPrint::Result check;
    {
        // Stored labels are read and laid out: a moment for a full sheet.
        QApplication::setOverrideCursor(Qt::WaitCursor);
        check = SheetPrint::check(job, SheetPrint::surface(printer, job.settings));
        QApplication::restoreOverrideCursor();
    }
    // Labels already agreed to are not asked about again.
    for (QList<SheetPrint::CutLabel> *list : {&check.cut, &check.overflow})
        list->removeIf([accepted](const SheetPrint::CutLabel &c) { return accepted->contains(c.label); });
    const QString warning = SheetPrint::layoutWarning(check);
    if (warning.isEmpty())
        return true;
    if (desktop().message(parent, SheetPrint::kLayoutTitle, warning + QStringLiteral("\n\n") + kPrintAnyway,
                          Desktop::Icon::Warning, Desktop::Yes | Desktop::No)
        != Desktop::Yes)
        return false;
    for (const QList<SheetPrint::CutLabel> *list : {&check.cut, &check.overflow})
        for (const SheetPrint::CutLabel &c : *list)
            accepted->append(c.label);
    return true;
}

void run(TForm_base *frame)
{
    Tprinter *options = kalvane() ? kalvane()->printer() : nullptr;
    if (!frame || !options)
        return;
    // Drawing stored labels must leave the frame's text sizes as they were.
    const FrameMirrors saved = frame->mirrors;
    const auto restoreSizes = [&] {
        frame->mirrors.productSize = saved.productSize;
        frame->mirrors.statementSize = saved.statementSize;
    };

    // The printer, copies and paper of the last job are kept until the
    // program ends.
    QPrinter *printer = options->jobPrinter();
    QStringList accepted;
    for (;;) {
        if (frame->labelCount() > 0) {
            if (TMDIChild *label = frame->activeLabel()) {
                options->Rad_actuel->setText(label->windowTitle());
                options->CB_HPEUH->setChecked(label->CB_hpeuh->isChecked());
            }
        }
        options->But_OKTag = 1;
        options->PageControl1->setCurrentWidget(options->TabSheet1);
        // "Im&primer" lays the labels out and asks about those that do not
        // hold their statements before closing the options.
        options->exec();
        if (options->But_OKTag == 1) {
            restoreSizes();
            return;
        }
        printer->setDocName(QString()); // named after this job
        if (!desktop().print(frame, printer)) {
            restoreSizes();
            return;
        }
        // Another printer or paper may lay the labels out otherwise: what
        // was not agreed to yet is asked again, and "Non" goes back to the
        // options.
        accepted = options->layoutAccepted();
        if (confirmLayout(frame, frame, printer, &accepted))
            break;
    }
    SheetPrint::Result result = printOn(frame, printer);
    restoreSizes();

    // What the user agreed to before the job is not told again after it.
    for (QList<SheetPrint::CutLabel> *list : {&result.cut, &result.overflow})
        list->removeIf([&accepted](const SheetPrint::CutLabel &c) { return accepted.contains(c.label); });
    if (!result.error.isEmpty())
        desktop().message(frame, SheetPrint::kWarningTitle, result.error, Desktop::Icon::Warning, Desktop::Ok);
    for (const QString &text : SheetPrint::messages(result))
        desktop().message(frame, SheetPrint::kWarningTitle, text, Desktop::Icon::Warning, Desktop::Ok);
}

} // namespace PrintCommand
