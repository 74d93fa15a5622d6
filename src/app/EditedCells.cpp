#include "app/EditedCells.h"

#include "pages/StringGridModel.h"
#include "ui/Prompts.h"

#include <memory>

using namespace Qt::StringLiterals;

namespace {
const QString kReadText = u"Чтение из ККТ заменит изменённые ячейки: %1. Продолжить?"_s;
const QString kFileText = u"Загрузка файла заменит изменённые ячейки: %1. Продолжить?"_s;
} // namespace

TEditedCells::TEditedCells(std::function<GridSet()> grids)
    : m_grids(std::move(grids))
{ }

bool TEditedCells::Ask(QWidget *parent, const QString &text, int edited)
{
    return edited == 0 || Prompts::instance().question(parent, text.arg(edited));
}

int TEditedCells::edited(TableKind kind, int from, int to) const
{
    return m_baseline.editedCells(kind, m_grids()[kind], from, to);
}

bool TEditedCells::confirmRead(QWidget *parent, int edited) const
{
    return Ask(parent, kReadText, edited);
}

bool TEditedCells::confirmRead(QWidget *parent, TableKind kind, int from, int to) const
{
    return confirmRead(parent, edited(kind, from, to));
}

bool TEditedCells::confirmReadAll(QWidget *parent) const
{
    return Ask(parent, kReadText, m_baseline.editedCells(m_grids()));
}

bool TEditedCells::confirmFile(QWidget *parent, TableKind kind) const
{
    const StringGridModel &grid = m_grids()[kind];
    return Ask(parent, kFileText, m_baseline.editedCells(kind, grid, 1, grid.rows() - 1));
}

bool TEditedCells::confirmConfigFile(QWidget *parent) const
{
    return Ask(parent, kFileText, m_baseline.editedCells(m_grids()));
}

void TEditedCells::matched(TableKind kind, int from, int to)
{
    m_baseline.takeRows(kind, m_grids()[kind], from, to);
}

void TEditedCells::matched(TableKind kind)
{
    m_baseline.take(kind, m_grids()[kind]);
}

void TEditedCells::matchedAll()
{
    m_baseline.takeAll(m_grids());
}

std::function<void()> TEditedCells::keepForHistory()
{
    auto held = std::make_shared<EditBaseline>(m_baseline);
    return [this, held] { std::swap(m_baseline, *held); };
}
