#include "MirrorFindings.h"

#include <algorithm>

void CMirrorFindings::Clear()
{
    m_list.clear();
    m_counts.fill(0);
    m_nTotal = 0;
}

void CMirrorFindings::Add(long long line, FindingCode code, std::string word)
{
    ++m_counts[static_cast<std::size_t>(code)];
    ++m_nTotal;
    if (m_list.size() < kMaxKept)
        m_list.push_back(MirrorFinding{line, code, std::move(word)});
}

void CMirrorFindings::AddUnkept(FindingCode code, long long count)
{
    m_counts[static_cast<std::size_t>(code)] += count;
    m_nTotal += count;
}

void CMirrorFindings::SortByLine()
{
    std::stable_sort(m_list.begin(), m_list.end(),
                     [](const MirrorFinding& a, const MirrorFinding& b) { return a.line < b.line; });
}
