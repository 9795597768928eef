#include "i18n/shippedtranslations.h"

#include <sys/stat.h>

#include <algorithm>

#include "i18n/translationtable.h"

namespace tervasko {

Result<std::vector<ShippedRow>> ParseShippedTranslations(std::string_view source) {
    std::vector<ShippedRow> rows;
    std::size_t columns = 0;
    int line = 0;
    std::vector<ShippedRow> corrected;
    while (!source.empty()) {
        ++line;
        const std::size_t end = source.find('\n');
        std::string_view text = source.substr(0, end);
        source.remove_prefix(end == std::string_view::npos ? source.size() : end + 1);
        if (!text.empty() && text.back() == '\r') text.remove_suffix(1);
        if (text.empty() || text.front() == '#') continue;

        ShippedRow row;
        row.line = line;
        const bool earlier = text.front() == '!';
        if (earlier) text.remove_prefix(1);
        for (std::size_t start = 0;;) {
            const std::size_t tab = text.find('\t', start);
            row.texts.emplace_back(text.substr(start, tab - start));
            if (tab == std::string_view::npos) break;
            start = tab + 1;
        }
        if (columns == 0) columns = row.texts.size();
        const std::string number = std::to_string(line);
        if (row.texts.size() > static_cast<std::size_t>(TranslationTable::kLanguageCount))
            return Failure(ErrorCode::TranslationsTooManyColumns,
                           {number, std::to_string(row.texts.size()),
                            std::to_string(TranslationTable::kLanguageCount)});
        if (row.texts.size() != columns)
            return Failure(ErrorCode::TranslationsColumnCount,
                           {number, std::to_string(row.texts.size()), std::to_string(columns)});
        if (row.texts[0].empty()) return Failure(ErrorCode::TranslationsNoSource, {number});
        (earlier ? corrected : rows).push_back(std::move(row));
    }
    for (ShippedRow& e : corrected) {
        auto row = std::find_if(rows.begin(), rows.end(),
                                [&](const ShippedRow& r) { return r.texts[0] == e.texts[0]; });
        if (row == rows.end())
            return Failure(ErrorCode::TranslationsCorrectUnlisted, {std::to_string(e.line)});
        row->earlier.push_back(std::move(e.texts));
    }
    return rows;
}

Result<InstallReport> InstallShippedTranslations(const std::vector<ShippedRow>& rows,
                                                 const std::string& location) {
    InstallReport report;
    struct stat st {};
    report.created = ::stat(TranslationTable::TablePath(location).c_str(), &st) != 0;

    // The changes are made in memory and the table is replaced only once all of them are in:
    // a merge that fails half-way (a full disk) leaves the table on disk as it was.
    TranslationTable table;
    table.OpenInMemory(location);
    const auto failed = [&](Error reason) {
        return WithLead(std::move(reason), ErrorLead::CannotInstallTranslations, table.Path());
    };
    if (!table.HasTable() || table.ReadOnly())
        return failed(table.Problems().empty() ? Failure(ErrorCode::TableReadOnly)
                                               : table.Problems().front().error);
    const auto shippedEarlier = [](const ShippedRow& row, std::size_t k, const std::string& cell) {
        for (const std::vector<std::string>& texts : row.earlier)
            if (k < texts.size() && texts[k] == cell) return true;
        return false;
    };
    for (const ShippedRow& row : rows) {
        const int recNo = table.FindRow(row.texts[0]);
        if (recNo == 0) {
            // A table of the user's may have fewer columns than the shipped source.
            std::vector<std::string> cells;
            for (std::size_t k = 0; k < row.texts.size(); ++k)
                cells.push_back(table.HasLanguageColumn(static_cast<int>(k)) ? row.texts[k]
                                                                             : std::string());
            if (const Result<int> added = table.AppendRow(cells); !added.ok())
                return failed(added.error());
            ++report.rowsAdded;
            continue;
        }
        for (std::size_t k = 1; k < row.texts.size(); ++k) {
            const int language = static_cast<int>(k);
            if (row.texts[k].empty() || !table.HasLanguageColumn(language)) continue;
            const std::string cell = table.Cell(recNo, language);
            if (!cell.empty() && (cell == row.texts[k] || !shippedEarlier(row, k, cell))) continue;
            if (Error refused = table.SetCell(recNo, language, row.texts[k]))
                return failed(std::move(refused));
            ++report.cellsFilled;
        }
    }
    if (report.created || report.rowsAdded > 0 || report.cellsFilled > 0)
        if (Error unsaved = table.Save()) return failed(std::move(unsaved));
    return report;
}

}  // namespace tervasko
