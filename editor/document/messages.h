// How the editor's document speaks to the operator without knowing about windows: every warning
// or refusal leaves it as a string-table identifier with its arguments (the program looks the
// text up in the operator's language), and a load or reparse that cannot go on leaves it as one
// of the fixed English fatal texts, shown unchanged in an error box.
#pragma once

#include <string>
#include <vector>

namespace tavrel {

// String-table identifiers of the document's messages.
namespace msg {
inline constexpr const char* kMissingEnd = "61206";         // "缺少结尾行"
inline constexpr const char* kUnknownCode = "61209";        // "无法识别代码"
inline constexpr const char* kUnreadableLine = "61212";     // %1 = line index
inline constexpr const char* kTableFull = "61214";          // "已达增加上限"
inline constexpr const char* kFileInUse = "61215";          // the controller holds the file
inline constexpr const char* kJoinKind = "61217";           // "此类型代码不支持联合操作"
inline constexpr const char* kJoinTooLong = "61218";        // "联合文件代码过长"
inline constexpr const char* kNoRecognition = "61219";      // "此类型代码不支持自动识别"
// Group-change lines need a machinable program (kvcode groups asks for one anyway).
inline constexpr const char* kNotMachinable = "tavrel.not_machinable";
// A line of the file does not fit a 299-byte slot; %1 = the line's number in the file (from 1).
inline constexpr const char* kLineTooLong = "tavrel.line_too_long";
// A typed line is longer than 299 bytes or holds a line break.
inline constexpr const char* kInputTooLong = "tavrel.input_too_long";
// The file could not be written; %1 = path, %2 = the system's reason.
inline constexpr const char* kWriteFailed = "tavrel.write_failed";
}  // namespace msg

// Fatal texts of loading and parsing (shown as they stand).
namespace fatal {
inline constexpr const char* kCannotOpen = "File can not be opened!";
inline constexpr const char* kMallocFailed = "Malloc Failed!";
inline constexpr const char* kFixFailed = "Fix Failed!";
inline constexpr const char* kJumpInfoFailed = "JumpInfo Failed!";
inline constexpr const char* kSegInfoFailed = "New SegInfo Failed!";
inline constexpr const char* kDaoInfoFailed = "DaoInfo Failed!";
inline constexpr const char* kGraphRectFailed = "GraphRect Failed!";
}  // namespace fatal

struct DocMessage {
    std::string id;                 // string-table identifier; empty for a fatal text
    std::vector<std::string> args;  // fill %1, %2, ... in order
    std::string fatalText;          // one of the fatal texts above when id is empty
    bool stop = false;              // shown with the stop icon rather than the exclamation

    bool isFatal() const { return id.empty(); }
    static DocMessage warning(std::string id, std::vector<std::string> args = {}) {
        return DocMessage{std::move(id), std::move(args), {}, false};
    }
    static DocMessage error(std::string id, std::vector<std::string> args = {}) {
        return DocMessage{std::move(id), std::move(args), {}, true};
    }
    static DocMessage fatalError(std::string text) { return DocMessage{{}, {}, std::move(text), false}; }
    friend bool operator==(const DocMessage&, const DocMessage&) = default;
};

// The English text of a message with its arguments filled in (the fatal text as it stands).
// The program shows the string table's text instead; command-line tools print this one.
std::string englishText(const DocMessage& message);

// Receives what the document has to tell the operator. The program shows boxes; tests record.
class MessageSink {
public:
    virtual ~MessageSink() = default;
    virtual void show(const DocMessage& message) = 0;
    // Long work starts (true) or ends (false): the program shows the wait cursor.
    virtual void busy(bool) {}
};

}  // namespace tavrel
