#pragma once

#include <QObject>
#include <QSet>

class StringGridModel;

// Keeps a Duplicate mark on every goods barcode that another row has too, its
// reason naming the other rows, as the goods grid changes. A goods base with
// one code on two items sells the wrong item at the till.
class DuplicateBarcodes : public QObject
{
    Q_OBJECT
public:
    // Watches the goods grid (and lives as its child).
    explicit DuplicateBarcodes(StringGridModel &goods);

    void refresh();

private:
    StringGridModel &m_goods;
    QSet<int> m_marked; // rows marked now
};
