#pragma once

#include "pages/StringGridModel.h"

#include <QByteArray>
#include <QString>

#include <vector>

// The texts some cells of one grid held before a change, kept compactly, and
// the means to exchange them with what the cells hold now: once to go back,
// once more to go forward again. Only cells whose text differs are kept, and
// a large set is packed and compressed, so that a step that replaced a whole
// goods base costs a fraction of the base.
//
// A delta learns the old texts by recording: between startRecording() and
// stopRecording() the grid tells it each cell's text before its first change
// (StringGridModel::setCell). Recordings nest: an inner one pauses the outer,
// which then does not see the inner's changes.
class GridDelta
{
public:
    explicit GridDelta(StringGridModel &grid);
    ~GridDelta();
    GridDelta(GridDelta &&other) noexcept;
    GridDelta &operator=(GridDelta &&other) noexcept;
    GridDelta(const GridDelta &) = delete;
    GridDelta &operator=(const GridDelta &) = delete;

    StringGridModel &grid() const { return *m_grid; }

    void startRecording();
    // Drops the cells whose text came back to where it was, and packs the rest.
    void stopRecording();
    bool recording() const { return m_recording; }
    // From the grid while recording: the cell's text before this change.
    void note(int row, int col, const QString &before);
    // From the grid while recording: the cell's marks of its text
    // (StringGridModel::textMarks) before this change. A mark that says what
    // a paste or an import made of a cell goes back and forth with the step.
    void noteMarks(int row, int col, const QList<CellMark> &before);

    bool isEmpty() const { return m_texts.cells == 0 && m_marks.cells == 0; }
    int cellCount() const { return m_texts.cells; }
    // Exchanges the kept texts with the grid's, with one change signal.
    void swap();
    // Whether every kept text is what its cell holds now: the change came to nothing.
    bool matchesGrid() const;
    // The memory the kept texts and marks take.
    qsizetype bytes() const;

private:
    struct Cell
    {
        int key; // row * columns + column
        QString text; // the text, or the cell's marks of its text written as one
    };
    // Cells kept compactly: one buffer, compressed when large.
    struct Packed
    {
        QByteArray bytes;
        bool compressed = false;
        int cells = 0;
    };
    static Packed Pack(const std::vector<Cell> &cells);
    static std::vector<Cell> Unpack(const Packed &packed);

    StringGridModel *m_grid;
    GridDelta *m_outer = nullptr; // the recording this one paused
    bool m_recording = false;
    std::vector<bool> m_seen; // while recording: cells whose text was noted already
    std::vector<Cell> m_noted; // while recording
    Packed m_texts;
    // The same for the cells' marks of their text: a paste of a whole base
    // may mark thousands of cells with a few reasons, which pack well.
    std::vector<bool> m_marksSeen;
    std::vector<Cell> m_marksNoted;
    Packed m_marks;
};
