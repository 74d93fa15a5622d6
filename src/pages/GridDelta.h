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

    bool isEmpty() const { return m_cells == 0 && m_marks.empty(); }
    int cellCount() const { return m_cells; }
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
        QString text;
    };
    struct Marks
    {
        int key;
        QList<CellMark> marks;
    };
    std::vector<Cell> unpack() const;
    void pack(const std::vector<Cell> &cells);

    StringGridModel *m_grid;
    GridDelta *m_outer = nullptr; // the recording this one paused
    bool m_recording = false;
    std::vector<bool> m_seen; // while recording: cells noted already
    std::vector<Cell> m_noted; // while recording
    QByteArray m_packed;
    bool m_compressed = false;
    int m_cells = 0;
    // The marks of the text of the cells whose marks differ; few, kept as they are.
    std::vector<Marks> m_marks;
    std::vector<bool> m_marksSeen; // while recording
};
