#pragma once

// Helpers shared by the translation tests: a scratch folder, whole-file reads, running a
// program and collecting its output, and a direct shapelib writer for tables the program
// itself would never write.

#include <shapefil.h>
#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

namespace tervasko::test {

class ScratchDir {
public:
    ScratchDir() {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "tervasko-i18n-XXXXXX").string();
        if (!mkdtemp(pattern.data())) std::abort();
        path_ = pattern;
    }
    ~ScratchDir() {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;

    const std::string& path() const { return path_; }
    std::string dir() const { return path_ + "/"; }
    std::string file(const std::string& name) const { return path_ + "/" + name; }
    std::string table() const { return file("translate.dbf"); }

private:
    std::string path_;
};

inline std::string ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void WriteBytes(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

struct CommandResult {
    int status = -1;  // exit code, or -1 when the program did not exit normally
    std::string output;
};

inline CommandResult RunCommand(const std::string& command) {
    CommandResult result;
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return result;
    char buffer[4096];
    std::size_t got = 0;
    while ((got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0)
        result.output.append(buffer, got);
    const int status = pclose(pipe);
    if (status != -1 && WIFEXITED(status)) result.status = WEXITSTATUS(status);
    return result;
}

inline std::string ShellQuote(const std::string& s) {
    std::string q = "'";
    for (char c : s) {
        if (c == '\'')
            q += "'\\''";
        else
            q += c;
    }
    return q + "'";
}

// A .dbf written straight through shapelib: rows of Windows-1252 cells for the given
// character columns, optionally with some rows marked deleted.
struct RawColumn {
    std::string name;
    char type = 'C';
    int width = 255;
};

inline void WriteRawTable(const std::string& path, const std::vector<RawColumn>& columns,
                          const std::vector<std::vector<std::string>>& rows,
                          const std::vector<int>& deletedRows = {}) {
    DBFHandle h = DBFCreateEx(path.c_str(), "LDID/3");
    if (!h) std::abort();
    for (const RawColumn& c : columns) DBFAddNativeFieldType(h, c.name.c_str(), c.type, c.width, 0);
    for (std::size_t r = 0; r < rows.size(); ++r) {
        for (std::size_t k = 0; k < rows[r].size(); ++k) {
            const int row = static_cast<int>(r);
            const int field = static_cast<int>(k);
            if (columns[k].type == 'N')
                DBFWriteIntegerAttribute(h, row, field, std::atoi(rows[r][k].c_str()));
            else
                DBFWriteStringAttribute(h, row, field, rows[r][k].c_str());
        }
    }
    for (int r : deletedRows) DBFMarkRecordDeleted(h, r, 1);
    DBFClose(h);
}

inline std::vector<RawColumn> LanguageColumns(int count = 19) {
    std::vector<RawColumn> columns;
    for (int i = 1; i <= count; ++i) columns.push_back({"language" + std::to_string(i)});
    return columns;
}

}  // namespace tervasko::test
