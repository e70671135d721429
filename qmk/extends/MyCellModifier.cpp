#include "qmk/extends/MyCellModifier.h"

#include "qmk/Base.h"
#include "qmk/DB.h"
#include "qmk/MyAction.h"
#include "qmk/Report.h"
#include "qmk/extends/Commands.h"
#include "dwin/text/Unicode.h"
#include "qmk/tab/Black_Sites.h"
#include "qmk/tab/Shareware_Sites.h"
#include "qmk/tab/Temp_Sites.h"

#include <algorithm>
#include <exception>
#include <filesystem>
#include <optional>
#include <system_error>

namespace qmk::extends {

namespace {

std::size_t unstored = 0;
std::size_t kept = 0; // of the unstored: taken into a row never stored

// Counts an edit that leaves modify without reaching the file.
struct UnstoredCounter {
    const bool& inFile;
    const bool& inMemory;
    ~UnstoredCounter()
    {
        if (!inFile)
            ++unstored;
        if (!inFile && inMemory)
            ++kept;
    }
};

bool pathExists(const std::string& path)
{
    std::error_code ec;
    return std::filesystem::exists(path, ec);
}

const base::ValueList* optionList(const base::BaseRecord& record, const std::string& property)
{
    const auto& lists = record.getValueListsByColumn();
    auto it = lists.find(property);
    return it == lists.end() ? nullptr : &it->second;
}

bool isChoice(const base::ValueList* list)
{
    return list && list->size() > 1;
}

std::string replaceFirst(std::string pattern, std::initializer_list<std::string> values)
{
    for (const std::string& value : values) {
        std::size_t pos = pattern.find("{}");
        if (pos == std::string::npos)
            break;
        pattern.replace(pos, 2, value);
    }
    return pattern;
}

// The other two site tables, in the order their ids are checked.
std::vector<ViewerRecords*> otherSiteTables(const std::string& name)
{
    ViewerRecords* shareware = tab::Shareware_Sites::getInstance();
    ViewerRecords* black = tab::Black_Sites::getInstance();
    ViewerRecords* temp = tab::Temp_Sites::getInstance();
    if (name == "Shareware_Sites")
        return {black, temp};
    if (name == "Black_Sites")
        return {shareware, temp};
    if (name == "Temp_Sites")
        return {shareware, black};
    return {};
}

// The id a record will hold once its address is normalised (a record without "home" keeps its
// id as a host).
std::string normalIdOf(const base::BaseRecord& record, const std::string& id)
{
    if (record.get("home"))
        return id;
    std::string host = normalizeUrl(id, true);
    return host.size() == id.size() ? id : host;
}

// The stamp command registered for that value stamps the edited row (not the selection).
template <typename Stamp>
void stampWith(Command command, ViewerRecords* table, const base::RecordPtr& record)
{
    if (auto* stamp = dynamic_cast<Stamp*>(Commands::find(command)))
        stamp->stamp(table, record);
}

} // namespace

std::size_t MyCellModifier::unstoredCount()
{
    return unstored;
}

StoredSince::StoredSince() : failures_(report::notStoredCount()), unstored_(unstored), kept_(kept)
{
}

bool StoredSince::allStored() const
{
    return report::notStoredCount() == failures_ && unstored == unstored_;
}

bool StoredSince::noneRefused() const
{
    return report::notStoredCount() == failures_ && unstored - unstored_ == kept - kept_;
}

bool MyCellModifier::canModify(const base::BaseRecord*, const std::string&) const
{
    return true;
}

CellValue MyCellModifier::getValue(const base::BaseRecord* element,
                                   const std::string& property) const
{
    try {
        if (!element) {
            showStatus("getValue element is null property " + property);
            return std::string();
        }
        std::optional<std::string> value = element->get(property);
        if (!value) {
            showStatus(replaceFirst("getValue get( {} ) is null ", {property}));
            return std::monostate();
        }
        const base::ValueList* list = optionList(*element, property);
        if (isChoice(list)) {
            auto it = std::find(list->begin(), list->end(), *value);
            return it == list->end() ? 0 : int(it - list->begin());
        }
        return *value;
    } catch (const std::exception&) {
        return std::monostate();
    }
}

void MyCellModifier::modify(const base::RecordPtr& element, const std::string& property,
                            const CellValue& value)
{
    std::string newValueText;
    bool inFile = false;
    bool inMemory = false;
    const UnstoredCounter counter{inFile, inMemory};
    try {
        showStatus("");
        if (!element) {
            showStatus("modify property " + property + ", elem is null");
            return;
        }
        std::optional<std::string> oldValue = element->get(property);
        if (!oldValue) {
            showStatus(replaceFirst("modify t.get( {} ) is null", {property}));
            return;
        }
        std::optional<std::string> newValue;
        const base::ValueList* list = optionList(*element, property);
        if (isChoice(list)) {
            int index = std::holds_alternative<int>(value) ? std::get<int>(value) : -1;
            // a list editor left on a value its list lacks hands that value back as text
            if (std::holds_alternative<std::string>(value) &&
                std::get<std::string>(value) == *oldValue) {
                newValue = *oldValue;
            } else if (index > -1 && index < int(list->size())) {
                newValue = (*list)[std::size_t(index)];
            } else {
                showStatus(replaceFirst("modify index {} out of bounds, property {}",
                                        {std::to_string(index), property}));
                return;
            }
        } else if (std::holds_alternative<std::string>(value)) {
            std::string text = dwin::text::Unicode::trim(std::get<std::string>(value));
            if (!text.empty())
                newValue = std::move(text);
        }
        if (!newValue && property == "id" && table_ && table_->name == "Softwares") {
            showStatus(DB::emptyProductIdText);
            return;
        }
        if (!newValue) {
            showStatus(replaceFirst("modify property {}, new value is null", {property}));
            return;
        }
        if (property == "listed_url")
            *newValue = fixSiteUrl(*newValue);
        newValueText = *newValue;
        if (*newValue == *oldValue) {
            showStatus(*newValue + " not changed");
            inFile = true; // nothing to store
            return;
        }
        // A site's id is kept as its host: the duplicate checks look for the id it will become.
        if (property == "id" && refusedAsDuplicate(element, normalIdOf(*element, *newValue)))
            return;
        bool shortcut = false;
        if (property == "sub_date" && *newValue == "t") {
            stampWith<MyAction::TodayAction>(Command::TodayAction, table_, element);
            shortcut = true;
        } else if (property == "version" && *newValue == "v") {
            stampWith<MyAction::VersionAction>(Command::VersionAction, table_, element);
            shortcut = true;
        }
        if (!shortcut) {
            if (property == "pad_locale" && !pathExists(*newValue)) {
                showStatus("pad file " + *newValue + " not exists");
                return;
            }
            if (property == "exe_locale" && !pathExists(*newValue)) {
                showStatus(*newValue + " not exists");
                return;
            }
        }
        // The command refused, or its write failed: it has said so, and there is nothing to store.
        if (shortcut && element->get(property) == oldValue)
            return;
        const base::FieldMap stored = element->getFields();
        const std::optional<base::StoredKey> rowId = writableKeyOf(*element);
        if (!shortcut)
            element->set(property, *newValue);
        normalizeRecordUrl(*element);
        table_->recordChanged(element);
        if (!store(element, property, rowId, element->get(property).value_or(std::string()))) {
            // Not stored: the row shows what the file holds, so the same edit made again is stored.
            element->getFields() = stored;
            table_->recordChanged(element);
        } else {
            // store keeps the edit in memory only while the row's id is not usable
            inFile = property == "id" ? isUsableValue(element->get("id").value_or(std::string()))
                                      : rowId.has_value();
            inMemory = property != "id" && !rowId;
        }
    } catch (const std::exception& e) {
        report::trace("qmk.extends.MyCellModifier.MyCellModifier modify catch " +
                      std::string(e.what()) + ", property " + property + ", new value " +
                      newValueText);
    }
}

bool MyCellModifier::refusedAsDuplicate(const base::RecordPtr& record,
                                        const std::string& newValue) const
{
    // A row counts under the id it shows and under the id the file holds it under.
    if (base::RecordPtr same = table_->getOtherHolding(record, newValue)) {
        table_->selectRecord(same);
        showStatus(replaceFirst("{} already exists {}", {table_->name, newValue}));
        return true;
    }
    for (ViewerRecords* other : otherSiteTables(table_->name)) {
        if (other && other->getOtherHolding(nullptr, newValue)) {
            showStatus(other->name + " " + newValue + " already exists");
            return true;
        }
    }
    return false;
}

bool MyCellModifier::store(const base::RecordPtr& record, const std::string& property,
                           const std::optional<base::StoredKey>& rowId, const std::string& newValue)
{
    DB& db = DB::getInstance();
    if (property == "id") {
        if (!isUsableValue(newValue)) {
            showStatus(DB::unusableIdText);
            return true;
        }
        // Never stored: the whole row is added. Stored: renamed from the id it is stored under,
        // also after a placeholder (nothing to write when it is that id again).
        const bool stored = !rowId    ? db.add(*record, table_->name)
            : rowId->text == newValue ? true
                                      : db.updateFieldCascade(table_->name, *rowId, "id", newValue);
        if (stored)
            record->setStored();
        return stored;
    }
    if (!rowId) {
        showStatus(DB::unusableIdText);
        return true;
    }
    return db.updateFieldCascade(table_->name, *rowId, property, newValue);
}

} // namespace qmk::extends
