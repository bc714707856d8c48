#include "editor/harmonisedaction.h"

#include "editor/harmonisedfill.h"
#include "editor/labelwidgets.h"
#include "editor/mdichild.h"
#include "shell/base.h"
#include "shell/desktop.h"
#include "shell/errorbox.h"
#include "tools/classification.h"

#include <QAction>
#include <QComboBox>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QTimer>

namespace {

HarmonisedFill::Lookup lookupFor(const TMDIChild *label, const HarmonisedTable &table)
{
    return HarmonisedFill::lookup(table, label->maskINDEX->value(), label->maskCAS->value(), label->maskCE->value());
}

} // namespace

QAction *HarmonisedAction::install(TForm_base *frame, QMenu *menu)
{
    auto *action = new QAction(kCaption, frame);
    action->setObjectName(QStringLiteral("Classification1"));
    action->setToolTip(kHint);
    action->setStatusTip(kHint);
    action->setEnabled(false);
    menu->addAction(action);
    auto *self = new HarmonisedAction(frame, action);
    connect(action, &QAction::triggered, self, [frame] {
        TMDIChild *label = frame->activeLabel();
        if (label)
            ErrorBox::guard(frame, [&] { apply(label, frame->startDirectory()); });
    });
    connect(frame->mdiArea, &QMdiArea::subWindowActivated, self, [self](QMdiSubWindow *sub) {
        if (sub)
            if (auto *label = qobject_cast<TMDIChild *>(sub->widget()))
                self->watch(label);
        self->updateEnabled();
    });
    return action;
}

HarmonisedAction::HarmonisedAction(TForm_base *frame, QAction *action)
    : QObject(frame)
    , m_frame(frame)
    , m_action(action)
{
}

void HarmonisedAction::watch(TMDIChild *label)
{
    if (label->property("harmonisedWatched").toBool())
        return;
    label->setProperty("harmonisedWatched", true);
    for (MaskEdit *field : {label->maskCE, label->maskCAS, label->maskINDEX})
        connect(field, &MaskEdit::valueChanged, this, &HarmonisedAction::updateEnabled);
    // The last window gone, or another one active after it: decided once the
    // frame has settled.
    connect(label, &QObject::destroyed, this, [this] { QTimer::singleShot(0, this, &HarmonisedAction::updateEnabled); });
}

void HarmonisedAction::updateEnabled()
{
    // The frame's windows go while it is being destroyed, when it is no
    // longer a frame.
    const auto *frame = qobject_cast<const TForm_base *>(static_cast<QObject *>(m_frame));
    if (!frame)
        return;
    const TMDIChild *label = frame->activeLabel();
    bool names = false;
    if (label) {
        const auto table = HarmonisedTable::shared(frame->startDirectory());
        names = table && !lookupFor(label, *table).isEmpty();
    }
    m_action->setEnabled(names);
}

void HarmonisedAction::apply(TMDIChild *label, const QString &startDirectory)
{
    QString error;
    const auto table = HarmonisedTable::shared(startDirectory, &error);
    if (!table || table->entries.isEmpty()) {
        desktop().message(label, HarmonisedFill::kReportTitle,
                          error.isEmpty() ? QStringLiteral("La classification harmonisée est introuvable.") : error,
                          Desktop::Icon::Warning, Desktop::Ok);
        return;
    }
    const HarmonisedFill::Lookup found = lookupFor(label, *table);
    if (found.isEmpty())
        return;
    const HarmonisedEntry *entry = nullptr;
    if (found.entries.size() == 1) {
        entry = found.entries.first();
    } else {
        for (int i = 0; i < found.entries.size() && !entry; ++i)
            if (desktop().message(label, HarmonisedFill::kQuestionTitle, HarmonisedFill::chooseQuestion(found, i),
                                  Desktop::Icon::Question, Desktop::Yes | Desktop::No)
                == Desktop::Yes)
                entry = found.entries.at(i);
        if (!entry)
            return;
    }

    const LabelDocument doc = label->document();
    const HarmonisedFill::Plan plan =
        HarmonisedFill::plan(*entry, {doc.pictograms, doc.signalWord, doc.hazards, doc.supplementary});
    if (!plan.hasLabelling) {
        desktop().message(label, HarmonisedFill::kReportTitle, HarmonisedFill::report(*entry, plan.unplaced),
                          Desktop::Icon::Warning, Desktop::Ok);
        return;
    }
    if (!plan.replaced.isEmpty()
        && desktop().message(label, HarmonisedFill::kQuestionTitle, HarmonisedFill::replaceQuestion(*entry, plan.replaced),
                             Desktop::Icon::Question, Desktop::Yes | Desktop::No)
               != Desktop::Yes)
        return;

    // The pictograms go through the same rules and questions as clicks on
    // their images.
    const HarmonisedFill::Pictograms pictograms = HarmonisedFill::placePictograms(
        plan.keptPictograms, plan.pictograms,
        [label](const PictogramRules::Prompt &prompt) { return label->askPictogramRule(prompt); });
    if (pictograms.list != doc.pictograms)
        label->setPictograms(pictograms.list);
    label->ComboBox1->setCurrentText(plan.signalWord);
    label->setTicks(2, plan.hazardTicks);
    label->setTicks(4, plan.supplementalTicks);
    label->markModified();

    const QStringList unplaced = pictograms.unplaced + plan.unplaced + found.disagreements;
    if (!unplaced.isEmpty())
        desktop().message(label, HarmonisedFill::kReportTitle, HarmonisedFill::report(*entry, unplaced),
                          Desktop::Icon::Warning, Desktop::Ok);
}
