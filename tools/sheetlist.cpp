#include "tools/sheetlist.h"

#include "tools/sheetfile.h"

#include <QListWidget>

namespace SheetList {

QListWidget *create(QWidget *parent)
{
    auto *list = new QListWidget(parent);
    list->setObjectName(QStringLiteral("ListBox1"));
    list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    list->setTextElideMode(Qt::ElideLeft);
    return list;
}

QStringList entries(const QListWidget *list)
{
    QStringList all;
    for (int i = 0; i < list->count(); ++i)
        all << list->item(i)->text();
    return all;
}

bool wouldOverflow(const QListWidget *list, qsizetype count)
{
    return list->count() + count > SheetFile::kMaxEntries;
}

void append(QListWidget *list, const QStringList &files)
{
    for (const QString &file : files) {
        if (list->count() >= SheetFile::kMaxEntries)
            break;
        list->addItem(SheetFile::expanded(file));
    }
}

bool replace(QListWidget *list, const QStringList &entries)
{
    bool dropped = false;
    const QStringList kept = SheetFile::firstEntries(entries, &dropped);
    list->clear();
    list->addItems(kept);
    return dropped;
}

void removeSelected(QListWidget *list)
{
    list->setToolTip(QString());
    for (int i = list->count() - 1; i >= 0; --i)
        if (list->item(i)->isSelected())
            delete list->takeItem(i);
}

void showCurrentAsTip(QListWidget *list)
{
    if (QListWidgetItem *item = list->currentItem())
        list->setToolTip(item->text());
}

} // namespace SheetList
