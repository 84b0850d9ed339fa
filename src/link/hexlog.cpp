#include "hexlog.h"

#include <algorithm>

namespace telx5 {

namespace {

QString trimSpaces(const QString &text)
{
    qsizetype first = 0;
    qsizetype last = text.size();
    while (first < last && text.at(first) == QLatin1Char(' '))
        ++first;
    while (last > first && text.at(last - 1) == QLatin1Char(' '))
        --last;
    return text.mid(first, last - first);
}

} // namespace

void HexLog::Bounded::assign(const QString &text)
{
    head = text.left(FrontKeep);
    const QString rest = text.mid(head.size());
    tail = rest.right(TailKeep);
    dropped = rest.size() - tail.size();
}

void HexLog::Bounded::append(QStringView chars)
{
    if (dropped == 0 && tail.isEmpty() && head.size() < FrontKeep) {
        const qsizetype room = FrontKeep - head.size();
        head.append(chars.left(room));
        chars = chars.mid(std::min(room, chars.size()));
    }
    tail.append(chars);
    // Cut the tail back only when it has doubled, so that each append costs
    // O(1) amortised while the last TailKeep characters stay exact.
    if (tail.size() > 2 * TailKeep) {
        const qsizetype cut = tail.size() - TailKeep;
        tail.remove(0, cut);
        dropped += cut;
    }
}

qsizetype HexLog::Bounded::length() const
{
    return head.size() + dropped + tail.size();
}

QString HexLog::Bounded::front(qsizetype n) const
{
    if (n <= head.size() || dropped > 0)
        return head.left(n);
    return QString(head + tail).left(n);
}

QString HexLog::Bounded::back(qsizetype n) const
{
    if (n <= tail.size() || dropped > 0)
        return tail.right(n);
    return QString(head + tail).right(n);
}

HexLog::HexLog(const QString &initial)
{
    setText(initial);
}

void HexLog::setText(const QString &text)
{
    m_text.assign(text);
    m_trimmed.assign(trimSpaces(text));
    m_trimPending = true;
}

void HexLog::appendByte(unsigned char byte)
{
    static constexpr char Digits[] = "0123456789ABCDEF";
    // After the first append the text neither begins nor ends with a space,
    // so the trim that precedes every append only matters once per setText.
    if (m_trimPending) {
        m_text = m_trimmed;
        m_trimmed = {};
        m_trimPending = false;
    }
    const QChar pair[2] = {QLatin1Char(Digits[byte >> 4]), QLatin1Char(Digits[byte & 0x0F])};
    m_text.append(QStringView(pair, 2));
}

QString HexLog::front(qsizetype n) const
{
    return m_text.front(std::max<qsizetype>(0, n));
}

QString HexLog::back(qsizetype n) const
{
    return m_text.back(std::max<qsizetype>(0, n));
}

qsizetype HexLog::length() const
{
    return m_text.length();
}

} // namespace telx5
