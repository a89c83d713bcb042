// The same files through both profile engines. Under Wine the real profile functions run and
// their results are the record (kept beside each corpus file as NAME.wine.txt); natively our own
// engine must produce the very same record: what it reads, what each write returns and every
// byte it leaves on disk. Set LG_PROFILE_RECORD=1 under Wine to write the records afresh.
#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <sstream>

#include "platform/file.h"
#include "platform/path.h"
#include "platform/profile.h"
#include "tests/support/testenv.h"

using namespace platform;

namespace {

const char* const kCorpus[] = {
    "crlf_plain.ini",
    "lf_only.ini",
    "cr_only.ini",
    "mixed_ends.ini",
    "lone_cr_inside.ini",
    "utf8_bom.ini",
    "utf16le_bom.ini",
    "utf16be_bom.ini",
    "utf8_russian_no_bom.ini",
    "undefined_cp1252.ini",
    "nul_inside.ini",
    "comments.ini",
    "unclosed_section.ini",
    "duplicates.ini",
    "blank_lines.ini",
    "whitespace.ini",
    "control_chars.ini",
    "quotes.ini",
    "empty_key.ini",
    "text_before_section.ini",
    "trailing_after_bracket.ini",
    "empty_section_name.ini",
    "no_final_newline.ini",
    "empty.ini",
    "only_blanks.ini",
    "value_with_equals.ini",
    "long_line.ini",
    "section_twice_apart.ini",
    "ansi_accents.ini",
    "spaces_in_names.ini",
    "odd_spaces.ini",
    "bare_lines.ini",
    "header_oddities.ini",
};

std::string CorpusDir() {
    return testsupport::HostPath(std::string(LG_SOURCE_DIR) + "/tests/platform/profile_corpus/");
}

std::string Escape(const std::string& bytes) {
    static const char* hex = "0123456789ABCDEF";
    std::string out;
    for (unsigned char c : bytes) {
        if (c >= 0x20 && c < 0x7F && c != '\\') {
            out += static_cast<char>(c);
        } else {
            out += "\\x";
            out += hex[c >> 4];
            out += hex[c & 15];
        }
    }
    return out;
}

std::string Join(const std::vector<std::string>& items) {
    std::string out;
    for (const std::string& s : items) out += "<" + Escape(s) + ">";
    return out;
}

// Everything observable about one corpus file, as lines of text.
std::string Observe(const std::string& source, const std::string& stem,
                    const testsupport::TTempDir& dir) {
    const auto original = ReadFileBytes(source);
    if (!original) return "unreadable " + source;
    std::ostringstream out;
    int copies = 0;
    // Every step works on a copy of its own, with a name of its own: the system may keep a
    // profile it has read in memory, and a reused name could be served from there.
    auto fresh = [&]() {
        const std::string file = dir.File(stem + "_" + std::to_string(++copies) + ".ini");
        WriteFileBytes(file, *original);
        return file;
    };

    const std::string readFile = fresh();
    const std::vector<std::string> sections = ProfileSectionNames(readFile);
    out << "sections " << Join(sections) << "\n";
    std::vector<std::string> probe = sections;
    for (const char* extra : {"S", "General", "missing"}) probe.push_back(extra);
    for (const std::string& s : probe) {
        std::vector<std::string> keys = ProfileKeyNames(readFile, s);
        out << "keys [" << Escape(s) << "] " << Join(keys) << "\n";
        for (const char* extra : {"a", "k", "missing", "noequals", ";k", "[General", "# hash"})
            keys.push_back(extra);
        for (const std::string& k : keys)
            out << "get [" << Escape(s) << "] " << Escape(k) << " = "
                << Escape(ProfileGetString(readFile, s, k, "<default>")) << "\n";
    }
    const std::string section = sections.empty() ? "S" : sections[0];
    const std::vector<std::string> keys = ProfileKeyNames(readFile, section);
    const std::string key = keys.empty() ? "k" : keys[0];
    const std::string current = ProfileGetString(readFile, section, key, "");

    struct TStep {
        const char* Name;
        std::function<bool(const std::string&)> Run;
    };
    const TStep steps[] = {
        {"set-existing",
         [&](const std::string& f) { return ProfileWriteString(f, section, key, "v1"); }},
        {"set-same",
         [&](const std::string& f) { return ProfileWriteString(f, section, key, current); }},
        {"add-key",
         [&](const std::string& f) { return ProfileWriteString(f, section, "NewKey", "nv"); }},
        {"add-section",
         [&](const std::string& f) {
             return ProfileWriteString(f, "Added", "k",
                                       "Gr\xC3\xBC\xC3\x9F"
                                       "e \xD1\x81");
         }},
        {"delete-key", [&](const std::string& f) { return ProfileDeleteKey(f, section, key); }},
        {"erase-section", [&](const std::string& f) { return ProfileEraseSection(f, section); }},
        {"delete-missing",
         [&](const std::string& f) { return ProfileDeleteKey(f, "missing", "missing"); }},
        {"erase-missing", [&](const std::string& f) { return ProfileEraseSection(f, "missing"); }},
    };
    for (const TStep& step : steps) {
        const std::string file = fresh();
        const bool ok = step.Run(file);
        const auto after = ReadFileBytes(file);
        out << step.Name << " " << (ok ? "ok" : "failed") << " bytes "
            << (after ? Escape(*after) : std::string("<none>")) << "\n";
        out << step.Name << " reads " << Join(ProfileSectionNames(file)) << " "
            << Join(ProfileKeyNames(file, section)) << "\n";
    }
    return out.str();
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> out;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) out.push_back(line);
    return out;
}

TEST(ProfileDifferential, BothEnginesReadAndWriteEveryCorpusFileAlike) {
    const std::string dir = CorpusDir();
    const char* record = std::getenv("LG_PROFILE_RECORD");
    const bool recording = record && std::string(record) == "1";
    for (const char* name : kCorpus) {
        SCOPED_TRACE(name);
        testsupport::TTempDir work;
        const std::string stem = std::string(name).substr(0, std::string(name).size() - 4);
        const std::string got = Observe(dir + name, stem, work);
        const std::string recordFile = dir + name + ".wine.txt";
        if (recording) {
            ASSERT_TRUE(WriteFileBytes(recordFile, got));
            continue;
        }
        const auto want = ReadFileBytes(recordFile);
        ASSERT_TRUE(want.has_value()) << "no record " << recordFile;
        const auto a = Lines(*want), b = Lines(got);
        for (size_t i = 0; i < std::max(a.size(), b.size()); ++i) {
            const std::string wa = i < a.size() ? a[i] : "<missing>";
            const std::string gb = i < b.size() ? b[i] : "<missing>";
            EXPECT_EQ(gb, wa) << "line " << i + 1;
        }
    }
}

}  // namespace
