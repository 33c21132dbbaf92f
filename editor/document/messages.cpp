#include "editor/document/messages.h"

#include <cstring>

namespace tavrel {
namespace {

struct EnglishText {
    const char* id;
    const char* text;
};

// The engineering texts of the string table (resources/translations/tavrel_en.ts holds the same).
constexpr EnglishText kEnglish[] = {
    {msg::kMissingEnd, "The end line is missing"},
    {msg::kUnknownCode, "The code cannot be recognised"},
    {msg::kUnreadableLine, "Line %1 cannot be read; please correct or delete it"},
    {msg::kTableFull, "No more lines can be added"},
    {msg::kFileInUse,
     "Korvex is machining this file. Please use \"Save As\"! To save under this name, close the "
     "file in Korvex first."},
    {msg::kJoinKind, "This kind of code cannot be joined"},
    {msg::kJoinTooLong, "The file to join is too long"},
    {msg::kNoRecognition, "This kind of code cannot be recognised automatically"},
    {msg::kNotMachinable, "Group-change lines can only be put into a 3B or ISO program that can be machined"},
    {msg::kLineTooLong, "Line %1 of the file is longer than 299 bytes; the file is not opened."},
    {msg::kInputTooLong, "A code line holds at most 299 bytes and no line break."},
    {msg::kWriteFailed, "The file %1 could not be written: %2"},
};

}  // namespace

std::string englishText(const DocMessage& message) {
    if (message.isFatal()) return message.fatalText;
    std::string text = message.id;
    for (const EnglishText& e : kEnglish) {
        if (message.id == e.id) text = e.text;
    }
    // Fill %1, %2, ... from the arguments.
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 1 < text.size() && text[i + 1] >= '1' && text[i + 1] <= '9') {
            const std::size_t arg = static_cast<std::size_t>(text[i + 1] - '1');
            if (arg < message.args.size()) out += message.args[arg];
            ++i;
        } else {
            out += text[i];
        }
    }
    return out;
}

}  // namespace tavrel
