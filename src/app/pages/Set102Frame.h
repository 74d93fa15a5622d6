#pragma once

#include "pages/GridSet.h"

#include <QWidget>

class QLabel;
class TKktSession;

// The "Параметры 102" page.
class TFrameSet102 : public QWidget
{
    Q_OBJECT
public:
    explicit TFrameSet102(QWidget *parent = nullptr);

    // Prepares the page once, right after the main window created it; the
    // session carries the KKT channel and the run guard.
    void Init(TKktSession &session);

    // The cells of one of the page's seven tables.
    StringGridModel &grid(TableKind kind) { return m_grids[kind]; }

private:
    QLabel *Label1;
    OwnedGrids m_grids;
};
