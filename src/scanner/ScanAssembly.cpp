#include "scanner/ScanAssembly.h"

using namespace Qt::StringLiterals;

namespace {
constexpr char kCR = 13;

bool IsBlank(QChar c)
{
    return c.unicode() <= 32;
}
} // namespace

void TScanAssembly::Reset()
{
    m_bufEan = QByteArray(kEanSize, '\0');
    m_lenEan = 0;
}

QString TScanAssembly::BufToLogStr(QByteArrayView bytes)
{
    QString text;
    text.reserve(bytes.size());
    for (const char byte : bytes) {
        if (byte == kCR)
            text += u"< 13 >"_s;
        else
            text += QChar(char16_t(uchar(byte)));
    }
    qsizetype from = 0, to = text.size();
    while (from < to && IsBlank(text[from]))
        ++from;
    while (to > from && IsBlank(text[to - 1]))
        --to;
    return text.sliced(from, to - from);
}

int TScanAssembly::PosCR() const
{
    const qsizetype at = m_bufEan.indexOf(kCR);
    return at < 0 ? 0 : int(at);
}

QString TScanAssembly::GetEanStr() const
{
    if (m_lenEan != 8 && m_lenEan != 13)
        return {};
    return QString::fromLatin1(m_bufEan.constData(), m_lenEan);
}

void TScanAssembly::Keep(int from, int count)
{
    QByteArray kept(kEanSize, '\0');
    kept.replace(0, count, m_bufEan.sliced(from, count));
    m_bufEan = kept;
    m_lenEan = count;
}

std::optional<QString> TScanAssembly::Extract(int P)
{
    const auto at = [this](int i) { return m_bufEan.at(i); };
    if (P == 13 || P == 8) {
        // A scanner that ends a code with CR alone leaves the CR as the last byte.
        --m_lenEan;
        return u"EAN13 or EAN8 bufEan = "_s;
    }
    if (P < 15)
        return std::nullopt;
    if (at(0) == '0' && at(1) == '1' && at(16) == '2' && at(17) == '1') {
        // GS1: (01) and a 14-digit GTIN, whose last 13 digits are the EAN-13 code, then (21).
        Keep(3, 13);
        return u"DataMatrix 01-21 bufEan = "_s;
    }
    int sum = 0;
    for (int i = 0; i < 6; ++i)
        sum += uchar(at(i));
    if (sum == 6 * '0') {
        // A GTIN padded with six zeros carries an EAN-8 code.
        Keep(6, 8);
        return u"DataMatrix EAN8 bufEan = "_s;
    }
    Keep(1, 13);
    return u"DataMatrix 0 + \"\" bufEan = "_s;
}

TScanAssembly::Step TScanAssembly::Collect(QByteArrayView bytes)
{
    Step step;
    for (const char byte : bytes) {
        if (m_lenEan >= kEanSize)
            break;
        m_bufEan[m_lenEan++] = byte;
    }
    step.trace << u"lenEan = "_s + QString::number(m_lenEan);
    const int P = PosCR();
    if (P == 0)
        return step;
    const QString collected = BufToLogStr(m_bufEan);
    if (const std::optional<QString> rule = Extract(P))
        step.trace << *rule + collected;
    step.code = GetEanStr();
    Reset();
    return step;
}
