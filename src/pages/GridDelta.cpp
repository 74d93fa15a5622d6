#include "pages/GridDelta.h"

#include "pages/StringGridModel.h"

#include <algorithm>

namespace {
// Below this the texts are kept as they are: compressing a typed cell gains nothing.
constexpr qsizetype kCompressAbove = 2048;

void PutNumber(QByteArray &out, quint32 value)
{
    while (value >= 0x80) {
        out.append(char(value | 0x80));
        value >>= 7;
    }
    out.append(char(value));
}

quint32 TakeNumber(const char *&at)
{
    quint32 value = 0;
    for (int shift = 0;; shift += 7) {
        const auto byte = quint8(*at++);
        value |= quint32(byte & 0x7F) << shift;
        if (!(byte & 0x80))
            return value;
    }
}
} // namespace

GridDelta::GridDelta(StringGridModel &grid)
    : m_grid(&grid)
{ }

GridDelta::~GridDelta()
{
    if (m_recording)
        m_grid->setRecorder(m_outer);
}

GridDelta::GridDelta(GridDelta &&other) noexcept
    : m_grid(other.m_grid)
    , m_outer(other.m_outer)
    , m_recording(other.m_recording)
    , m_seen(std::move(other.m_seen))
    , m_noted(std::move(other.m_noted))
    , m_packed(std::move(other.m_packed))
    , m_compressed(other.m_compressed)
    , m_cells(other.m_cells)
    , m_marks(std::move(other.m_marks))
    , m_marksSeen(std::move(other.m_marksSeen))
{
    if (m_recording)
        m_grid->setRecorder(this);
    other.m_recording = false;
    other.m_cells = 0;
}

GridDelta &GridDelta::operator=(GridDelta &&other) noexcept
{
    if (this == &other)
        return *this;
    if (m_recording)
        m_grid->setRecorder(m_outer);
    m_grid = other.m_grid;
    m_outer = other.m_outer;
    m_recording = other.m_recording;
    m_seen = std::move(other.m_seen);
    m_noted = std::move(other.m_noted);
    m_packed = std::move(other.m_packed);
    m_compressed = other.m_compressed;
    m_cells = other.m_cells;
    m_marks = std::move(other.m_marks);
    m_marksSeen = std::move(other.m_marksSeen);
    if (m_recording)
        m_grid->setRecorder(this);
    other.m_recording = false;
    other.m_cells = 0;
    return *this;
}

void GridDelta::startRecording()
{
    if (m_recording)
        return;
    m_outer = m_grid->recorder();
    m_grid->setRecorder(this);
    m_recording = true;
    m_seen.assign(size_t(m_grid->rows() * m_grid->cols()), false);
    m_noted = unpack();
    for (const Cell &cell : m_noted)
        m_seen[size_t(cell.key)] = true;
    m_marksSeen.assign(m_seen.size(), false);
    for (const Marks &cell : m_marks)
        m_marksSeen[size_t(cell.key)] = true;
}

void GridDelta::noteMarks(int row, int col, const QList<CellMark> &before)
{
    const int key = row * m_grid->cols() + col;
    if (!m_recording || key < 0 || size_t(key) >= m_marksSeen.size() || m_marksSeen[size_t(key)])
        return;
    m_marksSeen[size_t(key)] = true;
    m_marks.push_back({ key, before });
}

void GridDelta::note(int row, int col, const QString &before)
{
    const int key = row * m_grid->cols() + col;
    if (!m_recording || key < 0 || size_t(key) >= m_seen.size() || m_seen[size_t(key)])
        return;
    m_seen[size_t(key)] = true;
    m_noted.push_back({ key, before });
}

void GridDelta::stopRecording()
{
    if (!m_recording)
        return;
    m_grid->setRecorder(m_outer);
    m_recording = false;
    const int cols = m_grid->cols();
    std::erase_if(m_noted, [&](const Cell &c) { return m_grid->cell(c.key / cols, c.key % cols) == c.text; });
    std::sort(m_noted.begin(), m_noted.end(), [](const Cell &a, const Cell &b) { return a.key < b.key; });
    pack(m_noted);
    std::erase_if(m_marks, [&](const Marks &c) { return m_grid->textMarks(c.key / cols, c.key % cols) == c.marks; });
    std::sort(m_marks.begin(), m_marks.end(), [](const Marks &a, const Marks &b) { return a.key < b.key; });
    m_marks.shrink_to_fit();
    // Their memory goes too (assigning {} would keep it).
    std::vector<Cell>().swap(m_noted);
    std::vector<bool>().swap(m_seen);
    std::vector<bool>().swap(m_marksSeen);
}

void GridDelta::pack(const std::vector<Cell> &cells)
{
    // Each cell: the step from the previous cell's key, the text's length, its UTF-16 units.
    QByteArray raw;
    qsizetype size = 0;
    for (const Cell &cell : cells)
        size += 10 + cell.text.size() * 2;
    raw.reserve(size);
    int previous = 0;
    for (const Cell &cell : cells) {
        PutNumber(raw, quint32(cell.key - previous));
        previous = cell.key;
        PutNumber(raw, quint32(cell.text.size()));
        raw.append(reinterpret_cast<const char *>(cell.text.utf16()), cell.text.size() * 2);
    }
    m_cells = int(cells.size());
    m_compressed = raw.size() > kCompressAbove;
    m_packed = m_compressed ? qCompress(raw, 1) : raw;
    m_packed.squeeze();
}

std::vector<GridDelta::Cell> GridDelta::unpack() const
{
    const QByteArray raw = m_compressed ? qUncompress(m_packed) : m_packed;
    std::vector<Cell> cells;
    cells.reserve(size_t(m_cells));
    const char *at = raw.constData();
    const char *end = at + raw.size();
    int key = 0;
    while (at < end) {
        key += int(TakeNumber(at));
        const qsizetype length = TakeNumber(at);
        QString text(length, Qt::Uninitialized);
        std::copy_n(at, length * 2, reinterpret_cast<char *>(text.data()));
        at += length * 2;
        cells.push_back({ key, std::move(text) });
    }
    return cells;
}

void GridDelta::swap()
{
    std::vector<Cell> cells = unpack();
    const int cols = m_grid->cols();
    std::vector<QList<CellMark>> marksNow;
    marksNow.reserve(m_marks.size());
    for (const Marks &cell : m_marks)
        marksNow.push_back(m_grid->textMarks(cell.key / cols, cell.key % cols));
    GridDelta *recorder = m_grid->recorder();
    m_grid->setRecorder(nullptr); // going back and forth is no new change
    {
        const GridBulkUpdate bulk(*m_grid);
        for (Cell &cell : cells) {
            QString now = m_grid->cell(cell.key / cols, cell.key % cols);
            m_grid->setCell(cell.key / cols, cell.key % cols, cell.text);
            cell.text = std::move(now);
        }
        // Put after the texts, whose change takes their marks away.
        for (size_t i = 0; i < m_marks.size(); ++i) {
            const Marks &cell = m_marks[i];
            m_grid->setTextMarks(cell.key / cols, cell.key % cols, cell.marks);
            m_marks[i].marks = std::move(marksNow[i]);
        }
    }
    m_grid->setRecorder(recorder);
    pack(cells);
}

bool GridDelta::matchesGrid() const
{
    const int cols = m_grid->cols();
    const std::vector<Cell> cells = unpack();
    return std::all_of(cells.begin(), cells.end(), [&](const Cell &c) {
        return m_grid->cell(c.key / cols, c.key % cols) == c.text;
    }) && std::all_of(m_marks.begin(), m_marks.end(), [&](const Marks &c) {
        return m_grid->textMarks(c.key / cols, c.key % cols) == c.marks;
    });
}

qsizetype GridDelta::bytes() const
{
    qsizetype sum = m_packed.capacity() + qsizetype(m_marks.capacity() * sizeof(Marks));
    for (const Marks &cell : m_marks)
        for (const CellMark &mark : cell.marks)
            sum += qsizetype(sizeof(CellMark)) + mark.reason.capacity() * 2;
    return sum;
}
