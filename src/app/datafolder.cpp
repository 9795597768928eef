#include "app/datafolder.h"

#include <sys/stat.h>

#include <QString>

#include "app/settingsfile.h"
#include "i18n/shippedtranslations.h"
#include "i18n/translationtable.h"
#include "platform/safefile.h"

namespace tervasko {
namespace {

bool exists(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0;
}

std::string slashed(std::string dir) {
    if (!dir.empty() && dir.back() != '/') dir.push_back('/');
    return dir;
}

bool copyFile(const std::string& from, const std::string& to, Error* error) {
    const Result<std::vector<std::uint8_t>> bytes = ReadWholeFile(from);
    if (!bytes.ok()) {
        *error = WithLead(bytes.error(), ErrorLead::CannotOpen, from);
        return false;
    }
    if (Error failed = WriteFileSafely(to, bytes->data(), bytes->size())) {
        *error = WithLead(std::move(failed), ErrorLead::CannotCreate, to);
        return false;
    }
    return true;
}

// Size and modification time of the shipped file: what changes with every upgrade.
QString stampOf(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return {};
    return QString::number(static_cast<qint64>(st.st_size)) + ':' +
           QString::number(static_cast<qint64>(st.st_mtim.tv_sec)) + '.' +
           QString::number(static_cast<qint64>(st.st_mtim.tv_nsec));
}

}  // namespace

std::vector<Error> PrepareDataFolder(const std::string& dataDir, const std::string& programDir,
                                     const std::string& sharedDir) {
    std::vector<Error> problems;
    const std::string data = slashed(dataDir);
    const std::string table = TranslationTable::TablePath(data);
    const std::string besideProgram = TranslationTable::TablePath(slashed(programDir));
    // A table an earlier version left unfinished goes aside and is made anew below, as if
    // it had never been there; a table it cannot move is refused by the window as damaged.
    if (const Result<std::string> aside = SetAsideUnfinishedTable(table); !aside.ok()) {
        problems.push_back(aside.error());
        return problems;
    } else if (!aside->empty()) {
        problems.push_back(
            WithLead(Failure(ErrorCode::TableSetAside, {*aside}), ErrorLead::None, table));
    }
    if (data != slashed(programDir) && !exists(table) && exists(besideProgram)) {
        Error error;
        if (!copyFile(besideProgram, table, &error)) problems.push_back(error);
    }

    if (sharedDir.empty()) return problems;
    const std::string shipped = slashed(sharedDir) + kShippedTranslationsName;
    const QString stamp = stampOf(shipped);
    if (stamp.isEmpty()) return problems;
    const auto settings = OpenSettings(data);
    const QString key = QStringLiteral("ShippedTranslations/Merged");
    if (exists(table) && settings->value(key).toString() == stamp) return problems;

    const Result<std::vector<std::uint8_t>> bytes = ReadWholeFile(shipped);
    if (!bytes.ok()) {
        problems.push_back(WithLead(bytes.error(), ErrorLead::CannotOpen, shipped));
        return problems;
    }
    const Result<std::vector<ShippedRow>> rows = ParseShippedTranslations(
        std::string_view(reinterpret_cast<const char*>(bytes->data()), bytes->size()));
    if (!rows.ok()) {
        problems.push_back(WithLead(rows.error(), ErrorLead::CannotOpen, shipped));
        return problems;
    }
    if (const Result<InstallReport> installed = InstallShippedTranslations(*rows, data);
        !installed.ok()) {
        problems.push_back(installed.error());
        return problems;
    }
    settings->setValue(key, stamp);
    return problems;
}

bool IsToldInWindow(const Error& problem) {
    return problem.Code == ErrorCode::TableSetAside ||
           problem.Lead == ErrorLead::CannotSetTableAside;
}

}  // namespace tervasko
