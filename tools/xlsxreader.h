#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

// Reads the first worksheet of an Office Open XML workbook (.xlsx): the zip
// container through libarchive, the workbook, its relations, the shared
// strings and the sheet through Qt's XML stream reader. Only the text of the
// cells is kept (numbers as written in the file); a cell's line breaks become
// "\n". Every failure is a French sentence naming what is wrong.
namespace Xlsx {

// What a workbook may expand to, all the entries read together.
constexpr qint64 kMaxExpandedSize = 200ll << 20;

struct Row {
    int number = 0;      // 1-based, as the sheet numbers it
    QStringList cells;   // column A first; missing cells are empty
    QString cell(int column) const { return column < cells.size() ? cells.at(column) : QString(); }
};

struct Sheet {
    QString name;        // the sheet's name in the workbook
    QList<Row> rows;     // rows holding at least one cell, in order
};

// Told how far a reading has come, from 0 to 1000 (called only when the
// figure grows); returning false stops the reading, which then fails with
// kStopped.
using Progress = std::function<bool(int permille)>;
extern const QString kStopped;

// Reads the file at `path`. On failure returns false with the reason in `error`.
bool readFirstSheet(const QString &path, Sheet *sheet, QString *error, qint64 maxExpanded = kMaxExpandedSize,
                    const Progress &progress = {});
// The same from the bytes of a file.
bool readFirstSheet(const QByteArray &bytes, Sheet *sheet, QString *error, qint64 maxExpanded = kMaxExpandedSize,
                    const Progress &progress = {});

// "B" -> 1, "AA" -> 26; -1 when `reference` ("B7") starts with no letter.
int columnOf(const QString &reference);

} // namespace Xlsx
