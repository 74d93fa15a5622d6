#pragma once

#include "pages/GoodsRows.h"
#include "pages/RegisterView.h"

#include <map>
#include <utility>
#include <vector>

// What an import of goods (a goods base, a 1C file, a workbook) did to the
// goods grid, for the one message after it: the rows the file filled, the
// cells whose value the grid did not take (each given its row default and
// marked, the mark saying what the file held and why), the names cut to the
// register's field, and the cells the register would still store otherwise.
//
// A reader hands each row's values through it as it finds them, puts the rows
// into the grid and then calls finish().
class ImportReport
{
public:
    // The file gives values for the row (again: a later record of a row
    // replaces an earlier one, and what was noted of that one is forgotten).
    void beginRow(int row);

    // A name as the grid keeps it (cut to the register's field); a cut is noted.
    QString takeName(int row, const QString &text);
    // A barcode is digits or nothing; anything else is refused.
    QString takeBarcode(int row, const QString &text);
    // The cell does not take what the file holds (`why`, e.g. "цена не
    // число"): noted, and the column's row default returned in its place.
    QString refuse(int row, int col, const QString &text, const QString &why);

    // After the rows are in the grid: marks the cells noted (columns
    // firstCol..lastCol lose the marks of earlier pastes and imports first)
    // and learns which names and cells the register would store otherwise.
    void finish(StringGridModel &goods, int firstCol = GoodsCol::Name, int lastCol = GoodsCol::Mark);

    int rowsLoaded() const { return m_rowsLoaded; }
    int refusedCount() const { return m_refused; }
    int cutCount() const { return int(m_notes.size()) - m_refused; }
    // Names the register holds other than the grid does (characters it lacks, controls).
    int namesOtherwise() const { return int(m_names.size()); }
    // Cells a write to the register would refuse (a barcode or price out of its field).
    int writeRefused() const { return int(m_writeRefused.size()); }
    // Names the register holds in capitals only.
    int capitalNames() const { return m_capitalNames; }
    // Barcodes the register takes but no scanner gives (a wrong check digit, too long for an EAN).
    int unscannable() const { return int(m_unscannable.size()); }

    // The message: `head` (a text the import has always shown) or else the rows
    // loaded, then a paragraph for each kind of cell noted, the first cells named.
    QString text(const QString &head = {}) const;

private:
    struct Note
    {
        QString fileText;
        QString problem;
        bool refused = false;
    };
    void note(int row, int col, const QString &fileText, const QString &problem, bool refused);
    QString notesText(bool refused) const;

    std::vector<bool> m_loaded = std::vector<bool>(GoodsRows::kCount, false);
    int m_rowsLoaded = 0;
    std::map<std::pair<int, int>, Note> m_notes; // by row and column
    int m_refused = 0;
    QList<StoreIssue> m_names;
    QList<StoreIssue> m_writeRefused;
    QList<StoreIssue> m_unscannable;
    int m_capitalNames = 0;
};
