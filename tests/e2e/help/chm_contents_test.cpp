// Sulvantix.chm as built: it holds every topic of docs/help, its table of
// contents and its index with the bytes they have there, names them in its
// system file, and every topic is reachable from the contents while every
// contents and index entry leads to a topic that is in the file.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "tests/e2e/help/chm_directory.h"

namespace {

const std::string kHelpFile = SULVANTIX_HELP_FILE;
const std::string kSourceDir = SULVANTIX_HELP_SOURCE_DIR;

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::string Source(const std::string& name) {
    return ReadFile(kSourceDir + "/" + name);
}

// The names under [FILES] in the project file.
std::vector<std::string> ProjectFiles() {
    std::vector<std::string> files;
    std::istringstream project(Source("Sulvantix.hhp"));
    bool inFiles = false;
    for (std::string line; std::getline(project, line);) {
        line.erase(line.find_last_not_of(" \t\r") + 1);
        if (!line.empty() && line.front() == '[') {
            inFiles = line == "[FILES]";
        } else if (inFiles && !line.empty()) {
            files.push_back(line);
        }
    }
    return files;
}

struct CSitemapEntry {
    std::string m_strName;
    std::string m_strLocal;
};

// The "text/sitemap" objects of a contents or index file, with their Name and Local.
std::vector<CSitemapEntry> Sitemap(const std::string& text) {
    std::vector<CSitemapEntry> entries;
    const std::regex object(R"re(<object\s+type="text/sitemap">([\s\S]*?)</object>)re",
                            std::regex::icase);
    const std::regex param(R"re(<param\s+name="(\w+)"\s+value="([^"]*)">)re", std::regex::icase);
    for (std::sregex_iterator it(text.begin(), text.end(), object), end; it != end; ++it) {
        CSitemapEntry entry;
        const std::string body = (*it)[1];
        for (std::sregex_iterator p(body.begin(), body.end(), param); p != end; ++p) {
            ((*p)[1] == "Name" ? entry.m_strName : entry.m_strLocal) = (*p)[2];
        }
        entries.push_back(entry);
    }
    return entries;
}

std::string FilePart(const std::string& local) {
    return local.substr(0, local.find('#'));
}

bool IsTopic(const std::string& name) {
    return name.size() > 4 && name.compare(name.size() - 4, 4, ".htm") == 0;
}

class HelpFile : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_directory.Read(ReadFile(kHelpFile)))
            << kHelpFile << ": " << m_directory.Error();
    }

    // A contents or index entry leads to a file of the help, and to a named
    // anchor in it when it names one.
    ::testing::AssertionResult Leads(const CSitemapEntry& entry) const {
        const std::string file = FilePart(entry.m_strLocal);
        if (entry.m_strName.empty() || file.empty()) {
            return ::testing::AssertionFailure()
                   << "entry \"" << entry.m_strName << "\" -> \"" << entry.m_strLocal << "\"";
        }
        if (m_directory.Entries().count("/" + file) == 0) {
            return ::testing::AssertionFailure()
                   << "\"" << entry.m_strName << "\" leads to " << file << ", not in the file";
        }
        const std::size_t hash = entry.m_strLocal.find('#');
        if (hash != std::string::npos &&
            Source(file).find("name=\"" + entry.m_strLocal.substr(hash + 1) + "\"") ==
                std::string::npos) {
            return ::testing::AssertionFailure()
                   << "\"" << entry.m_strName << "\" leads to " << entry.m_strLocal
                   << ", an anchor the topic lacks";
        }
        return ::testing::AssertionSuccess();
    }

    chm::CDirectory m_directory;
};

TEST_F(HelpFile, HoldsEveryProjectFileContentsAndIndexWithTheirBytes) {
    std::vector<std::string> stored = ProjectFiles();
    ASSERT_GE(stored.size(), 9u);
    stored.push_back("Sulvantix.hhc");
    stored.push_back("Sulvantix.hhk");
    for (const std::string& name : stored) {
        const auto found = m_directory.Entries().find("/" + name);
        ASSERT_NE(found, m_directory.Entries().end()) << name;
        EXPECT_EQ(found->second.m_nLength, Source(name).size()) << name;
    }
}

TEST_F(HelpFile, EveryTopicOfTheFolderIsInTheProject) {
    const std::vector<std::string> listed = ProjectFiles();
    const std::set<std::string> project(listed.begin(), listed.end());
    std::size_t topics = 0;
    for (const auto& item : std::filesystem::directory_iterator(kSourceDir)) {
        const std::string name = item.path().filename().string();
        if (IsTopic(name)) {
            ++topics;
            EXPECT_EQ(project.count(name), 1u) << name << " is not under [FILES]";
        }
    }
    EXPECT_GE(topics, 8u);
}

TEST_F(HelpFile, SystemFileNamesTitleContentsIndexAndFirstTopic) {
    std::string system;
    ASSERT_TRUE(m_directory.UncompressedBytes("/#SYSTEM", system));
    std::map<unsigned, std::string> records = chm::SystemRecords(system);
    EXPECT_EQ(records[0], "Sulvantix.hhc");
    EXPECT_EQ(records[1], "Sulvantix.hhk");
    EXPECT_EQ(records[2], "welcome.htm");
    EXPECT_EQ(records[3], "Sulvantix Help");
}

TEST_F(HelpFile, EveryTopicIsReachableFromTheContents) {
    const std::vector<CSitemapEntry> contents = Sitemap(Source("Sulvantix.hhc"));
    std::set<std::string> reached;
    for (const CSitemapEntry& entry : contents) {
        if (!entry.m_strLocal.empty()) { // a book without a page of its own
            EXPECT_TRUE(Leads(entry));
            reached.insert(FilePart(entry.m_strLocal));
        }
    }
    for (const std::string& name : ProjectFiles()) {
        if (IsTopic(name)) {
            EXPECT_EQ(reached.count(name), 1u) << name << " is not in the contents";
        }
    }
}

TEST_F(HelpFile, EveryIndexEntryLeadsToATopic) {
    const std::vector<CSitemapEntry> index = Sitemap(Source("Sulvantix.hhk"));
    ASSERT_GE(index.size(), 20u);
    for (const CSitemapEntry& entry : index) {
        EXPECT_TRUE(Leads(entry));
        EXPECT_TRUE(IsTopic(FilePart(entry.m_strLocal))) << entry.m_strLocal;
    }
}

TEST(ChmDirectory, RefusesAFileCutShort) {
    const std::string bytes = ReadFile(kHelpFile);
    chm::CDirectory directory;
    ASSERT_TRUE(directory.Read(bytes));
    EXPECT_FALSE(directory.Read(bytes.substr(0, 0x200)));
    EXPECT_FALSE(directory.Read("ITSF"));
    EXPECT_TRUE(directory.Entries().empty());
}

} // namespace
