// Feeds arbitrary bytes to the RTF reader and the text decoder. Besides the
// sanitizers' findings it checks what the reader promises: no lone surrogate
// reaches the document, and the text never grows beyond a bound of the input.

#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "viewers/RtfReader.h"
#include "viewers/TextDecoder.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const zv::RtfDocument doc = zv::RtfReader::Parse(bytes);
    const std::u16string text = doc.PlainText();
    for (size_t i = 0; i < text.size(); ++i) {
        const bool high = (text[i] & 0xFC00) == 0xD800, low = (text[i] & 0xFC00) == 0xDC00;
        if (low || (high && (++i == text.size() || (text[i] & 0xFC00) != 0xDC00))) std::abort();
    }
    // Every input byte yields at most two UTF-16 units, plus one per paragraph.
    if (text.size() > 2 * size + doc.paragraphs.size() + 1) std::abort();
    if (size < 1024) zv::DecodeTextFile(bytes);
    return 0;
}
