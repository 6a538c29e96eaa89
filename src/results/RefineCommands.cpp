#include "results/RefineCommands.h"

#include "platform/MessageSink.h"

#include <string>

std::vector<int32_t> RefineCommands::DeleteSelected(ResultRows& rows) {
    std::vector<int32_t> removed;
    for (int32_t item = rows.Count() - 1; item >= 0; --item) {
        if (rows.selected[static_cast<std::size_t>(item)]) {
            rows.RemoveItem(item);
            removed.push_back(item);
        }
    }
    return removed;
}

std::vector<int32_t> RefineCommands::DeleteDuplicates(ResultRows& rows,
                                                      UniqueResultList::KeyKind key,
                                                      MessageSink& messages) {
    UniqueResultList seen;
    std::vector<int32_t> removed;
    for (int32_t item = rows.Count() - 1; item >= 0; --item) {
        if (!seen.AddUnique(*rows.results.Get(item), key)) {
            rows.RemoveItem(item);
            removed.push_back(item);
        }
    }
    const std::string_view text =
        key == UniqueResultList::KeyKind::ByTitle ? kDeletedTitlesText : kDeletedAddressesText;
    const std::string message = std::string(text) + std::to_string(seen.DuplicateCount());
    messages.showMessage(MessageSink::kInformationCaption, message);
    return removed;
}

std::vector<int32_t> RefineCommands::Refine(ResultRows& rows, const RefineChoice& choice,
                                            MessageSink& messages,
                                            const std::function<void()>& validateAll) {
    std::vector<int32_t> removed;
    if (choice.deleteDuplicateAddresses) {
        removed = DeleteDuplicates(rows, UniqueResultList::KeyKind::ByAddress, messages);
    }
    if (choice.deleteDuplicateTitles) {
        const std::vector<int32_t> titles =
            DeleteDuplicates(rows, UniqueResultList::KeyKind::ByTitle, messages);
        removed.insert(removed.end(), titles.begin(), titles.end());
    }
    if (choice.validate && validateAll) {
        validateAll();
    }
    return removed;
}
