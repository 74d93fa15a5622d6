#pragma once

#include "pages/StringGridModel.h"

// A copy of a grid for a run on the worker thread. The run reads and writes
// the copy alone; every change it makes is posted to the original in the
// original's thread, in order, so the window shows each row as it is read.
// Made in the original's thread; the copy is the run's from then on.
class GridMirror
{
public:
    explicit GridMirror(StringGridModel &original);
    GridMirror(const GridMirror &) = delete;
    GridMirror &operator=(const GridMirror &) = delete;

    StringGridModel &copy() { return m_copy; }

private:
    void Post(int top, int left, int bottom, int right);

    StringGridModel *m_original;
    StringGridModel m_copy;
};
