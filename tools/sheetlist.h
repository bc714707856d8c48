#pragma once

#include <QStringList>

class QListWidget;
class QWidget;

// The list of label files that the sheet manager and the print options both
// show: full paths in print order, at most one page of entries. The windows
// keep their own buttons, counters and warnings; this is what their lists
// have in common.
namespace SheetList {

// A multi-select list that elides long paths on the left, so the file names
// stay visible.
QListWidget *create(QWidget *parent);

QStringList entries(const QListWidget *list);

// Whether adding `count` entries would go beyond a page.
bool wouldOverflow(const QListWidget *list, qsizetype count);

// Adds the chosen label files in expanded form, as many as the page takes.
void append(QListWidget *list, const QStringList &files);

// Replaces the whole list by the first entries of `entries`; returns true
// when some were left out.
bool replace(QListWidget *list, const QStringList &entries);

// Removes the selected entries and the tooltip of the last one clicked.
void removeSelected(QListWidget *list);

// The clicked entry's full path as the list's tooltip.
void showCurrentAsTip(QListWidget *list);

} // namespace SheetList
