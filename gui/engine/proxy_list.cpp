#include "gui/engine/proxy_list.h"

#include <cstdio>
#include <exception>
#include <memory>
#include <utility>

#include "shared/list_lines.h"

namespace {

struct CFileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

// The lines of one file go into the compact staging as the reader hands them
// over, a piece at a time, so a file's lines never all exist as strings.
void StageListFile(const std::string& path, CProxyList& list) {
    const std::unique_ptr<std::FILE, CFileCloser> file(std::fopen(path.c_str(), "rb"));
    if (!file) {
        return;
    }
    std::vector<std::string> lines;
    auto takeLines = [&] {
        for (const std::string& line : lines) {
            list.Stage(line);
        }
        lines.clear();
    };
    std::FILE* stream = file.get();
    // The reader takes a throw from its source as a read error and goes on;
    // running out of memory here must end the staging instead.
    std::exception_ptr failure;
    ReadListEntries(
        [&](char* buffer, std::size_t capacity) -> std::ptrdiff_t {
            try {
                takeLines();
            } catch (...) {
                failure = std::current_exception();
                return -1;
            }
            const std::size_t count = std::fread(buffer, 1, capacity, stream);
            if (count == 0) {
                return std::ferror(stream) ? -1 : 0;
            }
            return static_cast<std::ptrdiff_t>(count);
        },
        lines);
    if (failure) {
        std::rethrow_exception(failure);
    }
    takeLines();
}

} // namespace

CProxyList::CProxyList(const CListBoxFold& fold, bool foldKnown)
    : m_staged(fold), m_bFoldKnown(foldKnown) {}

void CProxyList::Load(const std::string& directory) {
    try {
        if (!directory.empty()) {
            StageListFile(directory + "\\" + kUserProxyFileName, *this);
            StageListFile(directory + "\\" + kProxyListFileName, *this);
        }
    } catch (...) {
        // Out of memory while staging: the list shows what was staged so far.
    }
    FinishStaging();
}

void CProxyList::FinishStaging() {
    m_staged.ForgetDuplicates();
    std::vector<std::uint32_t>().swap(m_shown);
    m_bPacked = false;
    m_bAdditionsDecided = false;
    m_bInShownOrder = false;
    if (!m_bFoldKnown) {
        return;
    }
    try {
        m_shown = SelectStagedAdditions(m_staged);
        m_bInShownOrder = OrderStagedAdditions(m_staged, m_shown);
        m_bAdditionsDecided = true;
    } catch (...) {
        // No memory for the selection: the list box decides entry by entry,
        // which needs none.
        std::vector<std::uint32_t>().swap(m_shown);
        return;
    }
    if (m_bInShownOrder) {
        // Packed before the list box takes its copy, so the two copies of
        // the texts never meet the list box's.
        try {
            m_staged.Keep(m_shown);
            std::vector<std::uint32_t>().swap(m_shown);
            m_bPacked = true;
        } catch (...) {
            // No memory for it: the entries stay where they were staged.
        }
    }
}

void CProxyList::SetShownOrder(std::vector<std::uint32_t> order) {
    m_shown = std::move(order);
    m_bPacked = false;
    m_bAdditionsDecided = false;
}

int CProxyList::Find(std::string_view text) const {
    for (std::size_t i = 0; i < Count(); ++i) {
        if (ListBoxSearchMatches(Entry(i), text, m_staged.Fold())) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

void CProxyList::Insert(std::size_t index, std::string_view text) {
    if (m_bPacked) {
        m_staged.InsertAt(index, text);
        return;
    }
    m_shown.reserve(m_shown.size() + 1);
    m_staged.InsertAt(m_staged.Size(), text);
    m_shown.insert(m_shown.begin() + static_cast<std::ptrdiff_t>(index),
                   static_cast<std::uint32_t>(m_staged.Size() - 1));
}

void CProxyList::Erase(std::size_t index) {
    if (m_bPacked) {
        m_staged.EraseAt(index);
    } else {
        m_shown.erase(m_shown.begin() + static_cast<std::ptrdiff_t>(index));
    }
}
