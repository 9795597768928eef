#include "i18n/translationtable.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <new>
#include <utility>

#include "i18n/dbftable.h"
#include "i18n/messagetable.h"
#include "platform/cp1252.h"
#include "platform/writefaults.h"

namespace tervasko {
namespace {

constexpr std::string_view kSourceColumn = "language1";

std::string_view leadText(TableProblem::Kind kind) {
    switch (kind) {
        case TableProblem::Kind::CannotCreate:
            return "Die Übersetzungstabelle kann nicht angelegt werden. Das Programm bleibt "
                   "unübersetzt.";
        case TableProblem::Kind::CannotOpen:
            return "Die Übersetzungstabelle kann nicht geöffnet werden. Das Programm bleibt "
                   "unübersetzt.";
        case TableProblem::Kind::DamagedUnused:
            return "Die Übersetzungstabelle ist beschädigt und wird nicht benutzt. Das Programm "
                   "bleibt unübersetzt.";
        case TableProblem::Kind::DamagedReadOnly:
            return "Die Übersetzungstabelle ist beschädigt und wird nur gelesen. Neue Texte "
                   "werden nicht eingetragen.";
        case TableProblem::Kind::CannotWrite:
            return "In die Übersetzungstabelle kann nicht geschrieben werden. Neue Texte werden "
                   "nicht mehr eingetragen.";
        case TableProblem::Kind::CannotRead:
            return "Die Übersetzungstabelle kann nicht gelesen werden. Betroffene Texte bleiben "
                   "unübersetzt.";
    }
    return {};
}

constexpr TableProblem::Kind kAllKinds[] = {
    TableProblem::Kind::CannotCreate,  TableProblem::Kind::CannotOpen,
    TableProblem::Kind::DamagedUnused, TableProblem::Kind::DamagedReadOnly,
    TableProblem::Kind::CannotWrite,   TableProblem::Kind::CannotRead,
};

// UTF-8 to the table's Windows-1252; false when the text cannot be stored as it is.
bool toTable(std::string_view utf8, std::string& bytes) {
    bool ascii = true;
    for (char c : utf8) {
        if (c == '\0') return false;
        if (static_cast<unsigned char>(c) >= 0x80) ascii = false;
    }
    if (ascii) {
        bytes.assign(utf8);
        return true;
    }
    bool lossy = false;
    // Invalid UTF-8 arrives as U+FFFD, which the code page lacks.
    bytes = Utf16ToCp1252(Utf8ToUtf16(utf8), '?', &lossy);
    return !lossy;
}

std::string fromTable(std::string_view bytes) {
    return Utf16ToUtf8(Cp1252ToUtf16(bytes));
}

// Blanks and control characters at both ends go; the table pads with blanks and editors
// leave line ends behind.
std::string_view trimControls(std::string_view s) {
    while (!s.empty() && static_cast<unsigned char>(s.front()) <= 0x20) s.remove_prefix(1);
    while (!s.empty() && static_cast<unsigned char>(s.back()) <= 0x20) s.remove_suffix(1);
    return s;
}

// strcmp compares as unsigned char, which is the order the index is kept in.
int compareText(const char* a, const char* b) {
    return std::strcmp(a, b);
}

bool exists(const std::string& path) {
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0 || errno != ENOENT;
}

// Renames `from` to `to` unless `to` exists; 0 or the errno.
int renameWithoutReplacing(const std::string& from, const std::string& to) {
    if (const int err = StepFault(WriteStep::Name)) return err;
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return 0;
    if (errno != EINVAL && errno != ENOSYS) return errno;
    // File systems that cannot refuse to replace in the rename itself: a link, which can.
    if (::link(from.c_str(), to.c_str()) == 0) return ::unlink(from.c_str()) == 0 ? 0 : errno;
    const int linkError = errno;
    if (linkError != EPERM && linkError != EOPNOTSUPP && linkError != ENOSYS) return linkError;
    struct stat st {};
    if (::lstat(to.c_str(), &st) == 0) return EEXIST;
    return ::rename(from.c_str(), to.c_str()) == 0 ? 0 : errno;
}

}  // namespace

Result<std::string> SetAsideUnfinishedTable(const std::string& path) {
    const dbf::Inspection seen = dbf::Table::Inspect(path);
    // The header of a table of ours with every column and its end mark: a file that ends
    // before it is whole never held a row.
    constexpr std::uint64_t kBareTable = 32 + 32 * TranslationTable::kLanguageCount + 1 + 1;
    if (!seen.damaged || seen.rowsReadable || seen.size > kBareTable) return std::string();
    for (int n = 1; n <= 1000; ++n) {
        const std::string aside = path + ".damaged" + (n == 1 ? "" : "-" + std::to_string(n));
        const int err = renameWithoutReplacing(path, aside);
        if (err == 0) return aside;
        if (err != EEXIST)
            return WithLead(SystemFailure(err), ErrorLead::CannotSetTableAside, path);
    }
    return WithLead(SystemFailure(EEXIST), ErrorLead::CannotSetTableAside, path);
}

std::vector<std::string_view> TableProblemTexts() {
    std::vector<std::string_view> texts;
    for (TableProblem::Kind kind : kAllKinds) texts.push_back(leadText(kind));
    for (ErrorCode code : {ErrorCode::TableFileEmpty, ErrorCode::TableHeaderIncomplete,
                           ErrorCode::TableHeaderInvalid, ErrorCode::TableRowsMissing,
                           ErrorCode::TableRowsBeyondHeader, ErrorCode::TableRecordLengthMismatch,
                           ErrorCode::TableNoSourceColumn, ErrorCode::NotRegularFile})
        texts.push_back(GermanDetail(code));
    return texts;
}

void SortIndexBucket(TranslationBucket& bucket, std::int32_t lo, std::int32_t hi) {
    if (lo >= hi) return;
    std::int32_t i = lo;
    std::int32_t j = hi;
    // A copy: the entry in the middle may move while the pass runs.
    const std::string pivot = bucket.At(static_cast<std::uint32_t>((lo + hi) / 2)).Text;
    do {
        while (compareText(bucket.At(static_cast<std::uint32_t>(i)).Text, pivot.c_str()) < 0) ++i;
        while (compareText(bucket.At(static_cast<std::uint32_t>(j)).Text, pivot.c_str()) > 0) --j;
        if (i <= j) {
            bucket.Exchange(i, j);
            ++i;
            --j;
        }
    } while (i <= j);
    if (lo < j) SortIndexBucket(bucket, lo, j);
    if (i < hi) SortIndexBucket(bucket, i, hi);
}

TranslationTable::TranslationTable() {
    languageFields_.fill(-1);
    for (auto& bucket : index_) bucket = std::make_unique<TranslationBucket>(&currentEntry_);
}

TranslationTable::~TranslationTable() {
    freeIndex();
}

std::string TranslationTable::TablePath(const std::string& location) {
    if (location.empty()) return std::string(kFileName);
    if (location.back() == '/') return location + std::string(kFileName);
    struct stat st {};
    if (::stat(location.c_str(), &st) == 0 && S_ISDIR(st.st_mode))
        return location + "/" + std::string(kFileName);
    return location;
}

bool TranslationTable::HasTable() const {
    return table_ != nullptr;
}

bool TranslationTable::ReadOnly() const {
    return !table_ || table_->ReadOnly();
}

void TranslationTable::report(TableProblem::Kind kind, Error error) {
    error.File = path_;
    problems_.push_back(TableProblem{kind, std::move(error)});
    if (problemHandler_) problemHandler_(problems_.back());
}

std::string TranslationTable::Describe(const TableProblem& problem) {
    // The system's reasons are its own words; the table's faults are sentences of ours.
    const Error& error = problem.error;
    const std::string detail = error.Code == ErrorCode::System
                                   ? lookup(error.SystemText, false)
                                   : FillIn(lookup(GermanDetail(error.Code), false), error, {});
    return lookup(leadText(problem.kind), false) + "\n" + error.File + "\n" + detail;
}

void TranslationTable::Close() {
    freeIndex();
    table_.reset();
    sourceField_ = -1;
    sourceWidth_ = 0;
    languageFields_.fill(-1);
    readFailureReported_ = false;
}

bool TranslationTable::Open(const std::string& location, bool readOnly) {
    Close();
    path_ = TablePath(location);
    if (!readOnly && !exists(path_)) {
        if (Error failed = dbf::Table::Create(path_, "language", kLanguageCount, kColumnWidth)) {
            report(TableProblem::Kind::CannotCreate, std::move(failed));
            return false;
        }
    }
    return adopt(dbf::Table::Open(path_, readOnly ? dbf::Access::ReadOnly : dbf::Access::Writable));
}

bool TranslationTable::OpenInMemory(const std::string& location) {
    Close();
    path_ = TablePath(location);
    return adopt(dbf::Table::OpenInMemory(path_, "language", kLanguageCount, kColumnWidth));
}

Error TranslationTable::Save() {
    if (!table_) return Failure(ErrorCode::TableReadOnly);
    return table_->Save();
}

bool TranslationTable::adopt(dbf::OpenResult opened) {
    if (!opened.table) {
        report(opened.damaged ? TableProblem::Kind::DamagedUnused : TableProblem::Kind::CannotOpen,
               opened.problem);
        return false;
    }
    // The table's own columns are used as they are, found by name; without the source
    // column nothing can be looked up.
    const int source = opened.table->CharField(kSourceColumn);
    if (source < 0) {
        report(TableProblem::Kind::DamagedUnused, Failure(ErrorCode::TableNoSourceColumn));
        return false;
    }
    table_ = std::move(opened.table);
    sourceField_ = source;
    sourceWidth_ = static_cast<std::size_t>(table_->FieldWidth(source));
    for (int k = 0; k < kLanguageCount; ++k)
        languageFields_[static_cast<std::size_t>(k)] =
            table_->CharField("language" + std::to_string(k + 1));
    if (opened.problem) report(TableProblem::Kind::DamagedReadOnly, opened.problem);
    BuildTranslationIndex();
    return true;
}

void TranslationTable::freeIndex() {
    for (auto& bucket : index_) {
        for (std::uint32_t i = 0; i < bucket->Count(); ++i) delete[] bucket->At(i).Text;
        bucket->Clear();
    }
}

void TranslationTable::addToIndex(const std::string& text, std::int32_t recNo) {
    TranslationBucket& bucket = *index_[static_cast<unsigned char>(text[0])];
    char* copy = new (std::nothrow) char[text.size() + 1];
    if (!copy) return;
    TTranslationEntry* entry = bucket.Append();
    if (!entry) {
        delete[] copy;
        return;
    }
    std::memcpy(copy, text.c_str(), text.size() + 1);
    entry->Text = copy;
    entry->RecNo = recNo;
}

void TranslationTable::BuildTranslationIndex() {
    freeIndex();
    if (!table_) return;
    for (int row = 0; row < table_->RowCount(); ++row) {
        const Result<bool> deleted = table_->IsDeleted(row);
        if (!deleted.ok()) {
            if (!readFailureReported_) {
                readFailureReported_ = true;
                report(TableProblem::Kind::CannotRead, deleted.error());
            }
            break;
        }
        if (*deleted) continue;
        const Result<std::string> text = table_->ReadString(row, sourceField_);
        if (!text.ok() || text->empty()) continue;
        addToIndex(*text, row + 1);
    }
    for (auto& bucket : index_)
        if (bucket->Count() > 0)
            SortIndexBucket(*bucket, 0, static_cast<std::int32_t>(bucket->Count()) - 1);
}

int TranslationTable::findCore(const std::string& core) {
    TranslationBucket& bucket = *index_[static_cast<unsigned char>(core[0])];
    bucket.Rewind();
    while (bucket.Next()) {
        // Every entry here shares the first byte; the comparison stops at the first
        // difference, the entry's terminator included, so lengths must match too.
        const char* text = currentEntry_->Text;
        if (std::strncmp(text, core.c_str(), core.size()) == 0 && text[core.size()] == '\0')
            return currentEntry_->RecNo;
    }
    return 0;
}

int TranslationTable::fieldFor(int language) const {
    if (language < 0 || language >= kLanguageCount) return -1;
    return languageFields_[static_cast<std::size_t>(language)];
}

std::string TranslationTable::lookup(std::string_view source, bool mayAppend) {
    std::string result(source);
    if (source.empty()) return result;
    const std::size_t leading = source.find_first_not_of(' ');
    if (leading == std::string_view::npos) return result;
    const std::size_t trailing = source.size() - 1 - source.find_last_not_of(' ');
    if (!table_) return result;

    std::string core;
    if (!toTable(source.substr(leading, source.size() - leading - trailing), core) ||
        core.size() > sourceWidth_)
        return result;

    const int recNo = findCore(core);
    if (recNo == 0) {
        if (mayAppend && !table_->ReadOnly()) {
            const Result<int> row = table_->AppendRow({{sourceField_, core}});
            if (row.ok())
                addToIndex(core, *row + 1);
            else if (table_->ReadOnly())
                report(TableProblem::Kind::CannotWrite, row.error());
        }
        return result;
    }
    // Column 1 of the row found holds exactly the trimmed source.
    if (activeLanguage_ == 0) return result;
    const int field = fieldFor(activeLanguage_);
    if (field < 0) return result;
    const Result<std::string> stored = table_->ReadString(recNo - 1, field);
    if (!stored.ok()) {
        if (!readFailureReported_) {
            readFailureReported_ = true;
            report(TableProblem::Kind::CannotRead, stored.error());
        }
        return result;
    }
    const std::string_view translation = trimControls(*stored);
    if (translation.empty()) return result;
    return std::string(leading, ' ') + fromTable(translation) + std::string(trailing, ' ');
}

std::string TranslationTable::TranslateText(std::string_view source) {
    return lookup(source, true);
}

void TranslationTable::GetMessageText(int n, std::string& text) {
    const std::string_view message = MessageSource(n);
    if (!message.empty()) text = TranslateText(message);
}

void TranslationTable::PrimeMessages() {
    for (int n = 1; n < static_cast<int>(MessageTable.size()); ++n) {
        std::string text;
        GetMessageText(n, text);
    }
}

int TranslationTable::RowCount() const {
    return table_ ? table_->RowCount() : 0;
}

int TranslationTable::FindRow(std::string_view source) {
    const std::size_t first = source.find_first_not_of(' ');
    if (!table_ || first == std::string_view::npos) return 0;
    std::string core;
    if (!toTable(source.substr(first, source.find_last_not_of(' ') + 1 - first), core)) return 0;
    return findCore(core);
}

std::string TranslationTable::Cell(int recNo, int language) {
    const int field = fieldFor(language);
    if (!table_ || field < 0 || recNo < 1 || recNo > table_->RowCount()) return {};
    const Result<std::string> stored = table_->ReadString(recNo - 1, field);
    return stored.ok() ? fromTable(trimControls(*stored)) : std::string();
}

Result<int> TranslationTable::AppendRow(const std::vector<std::string>& cells) {
    if (!table_ || table_->ReadOnly()) return Failure(ErrorCode::TableReadOnly);
    if (cells.empty() || cells.size() > static_cast<std::size_t>(kLanguageCount))
        return SystemFailure(EINVAL);
    std::vector<std::pair<int, std::string>> fields;
    for (std::size_t k = 0; k < cells.size(); ++k) {
        const int field = fieldFor(static_cast<int>(k));
        std::string bytes;
        if (!toTable(trimControls(cells[k]), bytes)) return Failure(ErrorCode::TextNotStorable);
        if (bytes.empty()) continue;
        if (field < 0) return SystemFailure(EINVAL);
        if (bytes.size() > static_cast<std::size_t>(table_->FieldWidth(field)))
            return Failure(ErrorCode::TextNotStorable);
        fields.emplace_back(field, std::move(bytes));
    }
    const Result<int> row = table_->AppendRow(fields);
    if (!row.ok()) {
        if (table_->ReadOnly()) report(TableProblem::Kind::CannotWrite, row.error());
        return row.error();
    }
    const std::string source = fields.empty() || fields.front().first != sourceField_
                                   ? std::string()
                                   : fields.front().second;
    if (!source.empty()) addToIndex(source, *row + 1);
    return *row + 1;
}

Error TranslationTable::SetCell(int recNo, int language, std::string_view text) {
    const int field = fieldFor(language);
    if (!table_ || table_->ReadOnly()) return Failure(ErrorCode::TableReadOnly);
    if (field < 0 || recNo < 1 || recNo > table_->RowCount()) return SystemFailure(EINVAL);
    std::string bytes;
    if (!toTable(trimControls(text), bytes) ||
        bytes.size() > static_cast<std::size_t>(table_->FieldWidth(field)))
        return Failure(ErrorCode::TextNotStorable);
    Error failed = table_->WriteString(recNo - 1, field, bytes);
    if (failed && table_->ReadOnly()) report(TableProblem::Kind::CannotWrite, failed);
    return failed;
}

}  // namespace tervasko
