#pragma once
// The help file and the two things the program does with it: open it at its
// table of contents (or at one topic) and close it when the program ends.

#include <string>

#include "FileSystem.h"

namespace zv {

inline constexpr char16_t kHelpFileName[] = u"ZVNUM.chm";

// The help file beside the program. A program folder at a root ("/", "C:\")
// already ends in the separator, which must not be doubled.
inline std::u16string HelpFilePath(const std::u16string& programFolder) {
    return JoinPath(programFolder, kHelpFileName);
}

class HelpService {
  public:
    virtual ~HelpService() = default;
    // Shows the help window at the table of contents.
    virtual void ShowContents() = 0;
    // Shows the topic of a context id; false when the help file has no such topic.
    virtual bool ShowTopic(int contextId) = 0;
    // The topic's body as rich text for a What's This popup; empty when there is none.
    virtual std::u16string TopicText(int contextId) = 0;
    // Closes the help window if it is open.
    virtual void Close() = 0;
};

}  // namespace zv
