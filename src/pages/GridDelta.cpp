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

// A cell's marks of its text as one text, to be kept as texts are: for each
// mark its kind, its reason's length in two units, the reason.
QString MarksText(const QList<CellMark> &marks)
{
    QString text;
    for (const CellMark &mark : marks) {
        const auto length = quint32(mark.reason.size());
        text += QChar(char16_t(mark.kind));
        text += QChar(char16_t(length & 0xFFFF));
        text += QChar(char16_t(length >> 16));
        text += mark.reason;
    }
    return text;
}

QList<CellMark> MarksOfText(const QString &text)
{
    QList<CellMark> marks;
    for (qsizetype at = 0; at + 3 <= text.size();) {
        const auto kind = MarkKind(text[at].unicode());
        const qsizetype length = text[at + 1].unicode() | (qsizetype(text[at + 2].unicode()) << 16);
        marks.append({ kind, text.mid(at + 3, length) });
        at += 3 + length;
    }
    return marks;
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
    , m_texts(std::move(other.m_texts))
    , m_marksSeen(std::move(other.m_marksSeen))
    , m_marksNoted(std::move(other.m_marksNoted))
    , m_marks(std::move(other.m_marks))
{
    if (m_recording)
        m_grid->setRecorder(this);
    other.m_recording = false;
    other.m_texts.cells = 0;
    other.m_marks.cells = 0;
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
    m_texts = std::move(other.m_texts);
    m_marksSeen = std::move(other.m_marksSeen);
    m_marksNoted = std::move(other.m_marksNoted);
    m_marks = std::move(other.m_marks);
    if (m_recording)
        m_grid->setRecorder(this);
    other.m_recording = false;
    other.m_texts.cells = 0;
    other.m_marks.cells = 0;
    return *this;
}

void GridDelta::startRecording()
{
    if (m_recording)
        return;
    m_outer = m_grid->recorder();
    m_grid->setRecorder(this);
    m_recording = true;
    const size_t size = size_t(m_grid->rows() * m_grid->cols());
    m_seen.assign(size, false);
    m_noted = Unpack(m_texts);
    for (const Cell &cell : m_noted)
        m_seen[size_t(cell.key)] = true;
    m_marksSeen.assign(size, false);
    m_marksNoted = Unpack(m_marks);
    for (const Cell &cell : m_marksNoted)
        m_marksSeen[size_t(cell.key)] = true;
}

void GridDelta::note(int row, int col, const QString &before)
{
    const int key = row * m_grid->cols() + col;
    if (!m_recording || key < 0 || size_t(key) >= m_seen.size() || m_seen[size_t(key)])
        return;
    m_seen[size_t(key)] = true;
    m_noted.push_back({ key, before });
}

void GridDelta::noteMarks(int row, int col, const QList<CellMark> &before)
{
    const int key = row * m_grid->cols() + col;
    if (!m_recording || key < 0 || size_t(key) >= m_marksSeen.size() || m_marksSeen[size_t(key)])
        return;
    m_marksSeen[size_t(key)] = true;
    m_marksNoted.push_back({ key, MarksText(before) });
}

void GridDelta::stopRecording()
{
    if (!m_recording)
        return;
    m_grid->setRecorder(m_outer);
    m_recording = false;
    const int cols = m_grid->cols();
    const auto byKey = [](const Cell &a, const Cell &b) { return a.key < b.key; };
    std::erase_if(m_noted, [&](const Cell &c) { return m_grid->cell(c.key / cols, c.key % cols) == c.text; });
    std::sort(m_noted.begin(), m_noted.end(), byKey);
    m_texts = Pack(m_noted);
    std::erase_if(m_marksNoted,
        [&](const Cell &c) { return MarksText(m_grid->textMarks(c.key / cols, c.key % cols)) == c.text; });
    std::sort(m_marksNoted.begin(), m_marksNoted.end(), byKey);
    m_marks = Pack(m_marksNoted);
    // Their memory goes too (assigning {} would keep it).
    std::vector<Cell>().swap(m_noted);
    std::vector<bool>().swap(m_seen);
    std::vector<Cell>().swap(m_marksNoted);
    std::vector<bool>().swap(m_marksSeen);
}

GridDelta::Packed GridDelta::Pack(const std::vector<Cell> &cells)
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
    Packed packed;
    packed.cells = int(cells.size());
    packed.compressed = raw.size() > kCompressAbove;
    packed.bytes = packed.compressed ? qCompress(raw, 1) : raw;
    packed.bytes.squeeze();
    return packed;
}

std::vector<GridDelta::Cell> GridDelta::Unpack(const Packed &packed)
{
    const QByteArray raw = packed.compressed ? qUncompress(packed.bytes) : packed.bytes;
    std::vector<Cell> cells;
    cells.reserve(size_t(packed.cells));
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
    std::vector<Cell> cells = Unpack(m_texts);
    std::vector<Cell> marks = Unpack(m_marks);
    const int cols = m_grid->cols();
    // The marks as they are now, before the texts' change takes them away.
    std::vector<QString> marksNow;
    marksNow.reserve(marks.size());
    for (const Cell &cell : marks)
        marksNow.push_back(MarksText(m_grid->textMarks(cell.key / cols, cell.key % cols)));
    GridDelta *recorder = m_grid->recorder();
    m_grid->setRecorder(nullptr); // going back and forth is no new change
    {
        const GridBulkUpdate bulk(*m_grid);
        for (Cell &cell : cells) {
            QString now = m_grid->cell(cell.key / cols, cell.key % cols);
            m_grid->setCell(cell.key / cols, cell.key % cols, cell.text);
            cell.text = std::move(now);
        }
        for (size_t i = 0; i < marks.size(); ++i) {
            m_grid->setTextMarks(marks[i].key / cols, marks[i].key % cols, MarksOfText(marks[i].text));
            marks[i].text = std::move(marksNow[i]);
        }
    }
    m_grid->setRecorder(recorder);
    m_texts = Pack(cells);
    m_marks = Pack(marks);
}

bool GridDelta::matchesGrid() const
{
    const int cols = m_grid->cols();
    const std::vector<Cell> cells = Unpack(m_texts);
    const std::vector<Cell> marks = Unpack(m_marks);
    return std::all_of(cells.begin(), cells.end(), [&](const Cell &c) {
        return m_grid->cell(c.key / cols, c.key % cols) == c.text;
    }) && std::all_of(marks.begin(), marks.end(), [&](const Cell &c) {
        return MarksText(m_grid->textMarks(c.key / cols, c.key % cols)) == c.text;
    });
}

qsizetype GridDelta::bytes() const
{
    return m_texts.bytes.capacity() + m_marks.bytes.capacity();
}
