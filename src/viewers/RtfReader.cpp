#include "viewers/RtfReader.h"

#include <algorithm>
#include <cctype>
#include <map>
#include <optional>
#include <unordered_map>

#include "viewers/TextDecoder.h"

namespace zv {
namespace {

enum class Dest : uint8_t { kText, kSkip, kFontTable, kColorTable };

struct GroupState {
    Dest dest = Dest::kText;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strike = false;
    bool hidden = false;  // \v: text the reader of the document never sees
    int halfPoints = 24;
    int fontIndex = -1;  // -1: the document's default font (\deff)
    int colorIndex = 0;  // 0: the default colour
    int ucSkip = 1;      // fallback characters that follow a \uN
};

struct FontDef {
    std::u16string name;
    int charset = -1;
    int codePage = 0;
};

// Code page of a font's \fcharset; 0 means "the document's \ansicpg".
int CharsetCodePage(int charset) {
    switch (charset) {
        case 77:
            return 10000;
        case 78:
            return 10001;
        case 128:
            return 932;
        case 129:
            return 949;
        case 134:
            return 936;
        case 136:
            return 950;
        case 161:
            return 1253;
        case 162:
            return 1254;
        case 163:
            return 1258;
        case 177:
            return 1255;
        case 178:
            return 1256;
        case 186:
            return 1257;
        case 204:
            return 1251;
        case 222:
            return 874;
        case 238:
            return 1250;
        case 254:
            return 437;
        case 255:
            return 850;
        case 0:
            return 1252;  // ANSI_CHARSET is Western, whatever \ansicpg says
        default:
            return 0;  // 1 default, 2 symbol and the unknown
    }
}

enum class Kw {
    kIgnore,
    kAnsi,
    kMac,
    kPc,
    kPca,
    kAnsiCpg,
    kDeff,
    kFontTable,
    kFont,
    kFontCharset,
    kFontCodePage,
    kColorTable,
    kRed,
    kGreen,
    kBlue,
    kSkipDest,
    kPlain,
    kBold,
    kItalic,
    kUnderline,
    kNoUnderline,
    kStrike,
    kHidden,
    kFontSize,
    kColor,
    kPar,
    kLine,
    kTab,
    kCell,
    kRow,
    kUnicode,
    kUnicodeSkip,
    kBin,
    kChar,
};

struct KwInfo {
    Kw kind;
    char16_t ch = 0;  // for kChar
};

const std::unordered_map<std::string_view, KwInfo>& Keywords() {
    static const std::unordered_map<std::string_view, KwInfo> table = [] {
        std::unordered_map<std::string_view, KwInfo> t = {
            {"ansi", {Kw::kAnsi}},
            {"mac", {Kw::kMac}},
            {"pc", {Kw::kPc}},
            {"pca", {Kw::kPca}},
            {"ansicpg", {Kw::kAnsiCpg}},
            {"deff", {Kw::kDeff}},
            {"fonttbl", {Kw::kFontTable}},
            {"f", {Kw::kFont}},
            {"fcharset", {Kw::kFontCharset}},
            {"cpg", {Kw::kFontCodePage}},
            {"colortbl", {Kw::kColorTable}},
            {"red", {Kw::kRed}},
            {"green", {Kw::kGreen}},
            {"blue", {Kw::kBlue}},
            {"plain", {Kw::kPlain}},
            {"b", {Kw::kBold}},
            {"i", {Kw::kItalic}},
            {"ul", {Kw::kUnderline}},
            {"ulnone", {Kw::kNoUnderline}},
            {"strike", {Kw::kStrike}},
            {"striked", {Kw::kStrike}},
            {"v", {Kw::kHidden}},
            {"fs", {Kw::kFontSize}},
            {"cf", {Kw::kColor}},
            {"par", {Kw::kPar}},
            {"sect", {Kw::kPar}},
            {"page", {Kw::kPar}},
            {"line", {Kw::kLine}},
            {"tab", {Kw::kTab}},
            {"cell", {Kw::kCell}},
            {"nestcell", {Kw::kCell}},
            {"row", {Kw::kRow}},
            {"nestrow", {Kw::kRow}},
            {"u", {Kw::kUnicode}},
            {"uc", {Kw::kUnicodeSkip}},
            {"bin", {Kw::kBin}},
            {"emdash", {Kw::kChar, 0x2014}},
            {"endash", {Kw::kChar, 0x2013}},
            {"bullet", {Kw::kChar, 0x2022}},
            {"lquote", {Kw::kChar, 0x2018}},
            {"rquote", {Kw::kChar, 0x2019}},
            {"ldblquote", {Kw::kChar, 0x201C}},
            {"rdblquote", {Kw::kChar, 0x201D}},
            {"emspace", {Kw::kChar, 0x2003}},
            {"enspace", {Kw::kChar, 0x2002}},
            {"qmspace", {Kw::kChar, 0x2005}},
            {"zwj", {Kw::kChar, 0x200D}},
            {"zwnj", {Kw::kChar, 0x200C}},
            {"ltrmark", {Kw::kChar, 0x200E}},
            {"rtlmark", {Kw::kChar, 0x200F}},
        };
        // Underline styles all underline.
        for (const char* w :
             {"uld", "uldb", "uldash", "uldashd", "uldashdd", "ulhwave", "ulldash", "ulth", "ulthd",
              "ulthdash", "ulthdashd", "ulthdashdd", "ulthldash", "ululdbwave", "ulw", "ulwave"})
            t[w] = {Kw::kUnderline};
        // Destinations whose content is not document text.
        for (const char* w : {"stylesheet",
                              "info",
                              "pict",
                              "header",
                              "headerl",
                              "headerr",
                              "headerf",
                              "footer",
                              "footerl",
                              "footerr",
                              "footerf",
                              "footnote",
                              "fldinst",
                              "listtable",
                              "listoverridetable",
                              "revtbl",
                              "rsidtbl",
                              "generator",
                              "xmlnstbl",
                              "filetbl",
                              "themedata",
                              "colorschememapping",
                              "latentstyles",
                              "datastore",
                              "pntxta",
                              "pntxtb",
                              "nonshppict",
                              "xe",
                              "tc",
                              "template",
                              "bkmkstart",
                              "bkmkend",
                              "author",
                              "operator",
                              "title",
                              "subject",
                              "doccomm",
                              "keywords",
                              "comment",
                              "company",
                              "buptim",
                              "creatim",
                              "printim",
                              "revtim",
                              "objdata",
                              "objclass",
                              "mmathPr",
                              "listpicture",
                              "pgdsctbl",
                              "userprops",
                              "docvar",
                              "fchars",
                              "lchars",
                              "annotation",
                              "atnid",
                              "atnauthor",
                              "txe",
                              "shpinst",
                              "sp",
                              "falt",
                              "panose",
                              "fname",
                              "protusertbl",
                              "wgrffmtfilter",
                              "passwordhash"})
            t[w] = {Kw::kSkipDest};
        return t;
    }();
    return table;
}

class Parser {
  public:
    explicit Parser(std::string_view in) : in_(in) {}

    RtfDocument Run() {
        doc_.hadRtfHeader = RtfReader::LooksLikeRtf(in_);
        doc_.paragraphs.emplace_back();
        stack_.emplace_back();
        const size_t n = in_.size();
        while (pos_ < n && !ended_) {
            const char c = in_[pos_];
            // "\*" marks a destination only as the first thing in its group.
            groupStart_ = pos_ > 0 && in_[pos_ - 1] == '{' && stack_.size() > (doc_.hadRtfHeader ? 2u : 1u);
            switch (c) {
                case '{':
                    ++pos_;
                    OpenGroup();
                    break;
                case '}':
                    ++pos_;
                    CloseGroup();
                    break;
                case '\\':
                    ++pos_;
                    ParseControl();
                    break;
                case '\r':
                case '\n':
                case '\0':
                    ++pos_;
                    break;
                case '\t':
                    ++pos_;
                    if (ConsumeSkip()) break;
                    AddUnit(u'\t');
                    break;
                default:
                    ++pos_;
                    AddByte(static_cast<unsigned char>(c));
                    break;
            }
        }
        Commit();
        if (doc_.paragraphs.size() > 1 && doc_.paragraphs.back().runs.empty()) doc_.paragraphs.pop_back();
        return std::move(doc_);
    }

  private:
    GroupState& State() { return stack_.back(); }
    Dest CurrentDest() const {
        if (overflow_ > 0) return Dest::kSkip;
        const GroupState& s = stack_.back();
        return s.hidden && s.dest == Dest::kText ? Dest::kSkip : s.dest;
    }

    void OpenGroup() {
        Commit();
        skip_ = 0;
        if (overflow_ > 0 || static_cast<int>(stack_.size()) > RtfReader::kMaxDepth) {
            ++overflow_;
            return;
        }
        stack_.push_back(stack_.back());
    }

    void CloseGroup() {
        Commit();
        skip_ = 0;
        if (overflow_ > 0) {
            --overflow_;
            return;
        }
        if (stack_.size() <= 1) return;  // a stray closing brace
        if (stack_.back().dest == Dest::kFontTable) EndFontName();
        stack_.pop_back();
        // The document's own closing brace: whatever follows is not part of it.
        if (doc_.hadRtfHeader && stack_.size() == 1) ended_ = true;
    }

    // A pending \ucN fallback character is consumed instead of being used.
    bool ConsumeSkip() {
        if (skip_ == 0) return false;
        --skip_;
        return true;
    }

    void AddByte(unsigned char b) {
        if (ConsumeSkip()) return;
        switch (CurrentDest()) {
            case Dest::kText:
                bytes_.push_back(static_cast<char>(b));
                break;
            case Dest::kFontTable:
                if (b == ';')
                    EndFontName();
                else
                    fontNameBytes_.push_back(static_cast<char>(b));
                break;
            case Dest::kColorTable:
                if (b == ';') {
                    colors_.push_back(colorSet_
                                          ? std::optional<uint32_t>((red_ << 16) | (green_ << 8) | blue_)
                                          : std::nullopt);
                    red_ = green_ = blue_ = 0;
                    colorSet_ = false;
                }
                break;
            case Dest::kSkip:
                break;
        }
    }

    void AddUnit(char16_t u) {
        if (CurrentDest() != Dest::kText) return;
        FlushBytes();
        units_.push_back(u);
    }

    int CodePageOfFont(int index) const {
        auto it = fonts_.find(index < 0 ? defaultFont_ : index);
        if (it != fonts_.end()) {
            if (it->second.codePage > 0 && IsKnownCodePage(it->second.codePage)) return it->second.codePage;
            if (int cp = CharsetCodePage(it->second.charset)) return cp;
        }
        return ansiCodePage_;
    }

    void FlushBytes() {
        if (bytes_.empty()) return;
        units_ += DecodeCodePage(bytes_, CodePageOfFont(stack_.back().fontIndex));
        bytes_.clear();
    }

    // Moves the pending text into the document under the current format.
    void Commit() {
        FlushBytes();
        if (units_.empty()) return;
        // A surrogate without its partner cannot be shown.
        for (size_t i = 0; i < units_.size(); ++i) {
            const char16_t u = units_[i];
            if (u >= 0xD800 && u <= 0xDBFF) {
                if (i + 1 < units_.size() && units_[i + 1] >= 0xDC00 && units_[i + 1] <= 0xDFFF)
                    ++i;
                else
                    units_[i] = 0xFFFD;
            } else if (u >= 0xDC00 && u <= 0xDFFF) {
                units_[i] = 0xFFFD;
            }
        }
        RtfCharFormat format = CurrentFormat();
        auto& runs = doc_.paragraphs.back().runs;
        if (!runs.empty() && runs.back().format == format)
            runs.back().text += units_;
        else
            runs.push_back({units_, std::move(format)});
        units_.clear();
    }

    RtfCharFormat CurrentFormat() const {
        const GroupState& s = stack_.back();
        RtfCharFormat f;
        f.bold = s.bold;
        f.italic = s.italic;
        f.underline = s.underline;
        f.strike = s.strike;
        f.halfPoints = s.halfPoints;
        auto font = fonts_.find(s.fontIndex < 0 ? defaultFont_ : s.fontIndex);
        if (font != fonts_.end()) f.fontName = font->second.name;
        if (s.colorIndex > 0 && s.colorIndex < static_cast<int>(colors_.size()) && colors_[s.colorIndex]) {
            f.hasColor = true;
            f.color = *colors_[s.colorIndex];
        }
        return f;
    }

    void EndParagraph() {
        Commit();
        doc_.paragraphs.emplace_back();
    }

    void EndFontName() {
        if (fontDef_ >= 0 && !fontNameBytes_.empty()) {
            std::u16string name = DecodeCodePage(fontNameBytes_, CodePageOfFont(fontDef_));
            while (!name.empty() && name.back() == u' ') name.pop_back();
            while (!name.empty() && name.front() == u' ') name.erase(name.begin());
            fonts_[fontDef_].name = std::move(name);
        }
        fontNameBytes_.clear();
    }

    void ParseControl() {
        const size_t n = in_.size();
        if (pos_ >= n) return;
        const char c = in_[pos_];
        if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z')) {
            const size_t start = pos_;
            while (pos_ < n &&
                   ((in_[pos_] >= 'a' && in_[pos_] <= 'z') || (in_[pos_] >= 'A' && in_[pos_] <= 'Z')))
                ++pos_;
            std::string_view word = in_.substr(start, std::min<size_t>(pos_ - start, 32));
            bool hasParam = false;
            bool negative = false;
            long long value = 0;
            if (pos_ + 1 < n && in_[pos_] == '-' && in_[pos_ + 1] >= '0' && in_[pos_ + 1] <= '9') {
                negative = true;
                ++pos_;
            }
            while (pos_ < n && in_[pos_] >= '0' && in_[pos_] <= '9') {
                hasParam = true;
                if (value < 100000000000LL) value = value * 10 + (in_[pos_] - '0');
                ++pos_;
            }
            if (pos_ < n && in_[pos_] == ' ') ++pos_;
            value = std::clamp(negative ? -value : value, -2147483648LL, 2147483647LL);
            Word(word, hasParam, static_cast<int>(value));
            return;
        }
        ++pos_;
        switch (c) {
            case '\'': {
                int b = 0;
                int digits = 0;
                while (digits < 2 && pos_ < n) {
                    const char h = in_[pos_];
                    int v;
                    if (h >= '0' && h <= '9')
                        v = h - '0';
                    else if (h >= 'a' && h <= 'f')
                        v = h - 'a' + 10;
                    else if (h >= 'A' && h <= 'F')
                        v = h - 'A' + 10;
                    else
                        break;
                    b = b * 16 + v;
                    ++digits;
                    ++pos_;
                }
                if (digits == 2) AddByte(static_cast<unsigned char>(b));  // a cut-off escape is no character
                break;
            }
            case '*':
                // An ignorable destination this reader does not know. Out of
                // place it would hide the rest of the document, so it is ignored there.
                if (groupStart_) {
                    Commit();
                    State().dest = Dest::kSkip;
                }
                break;
            case '\\':
            case '{':
            case '}':
                AddByte(static_cast<unsigned char>(c));
                break;
            case '~':
                if (!ConsumeSkip()) AddUnit(0x00A0);
                break;
            case '_':
                if (!ConsumeSkip()) AddUnit(0x2011);
                break;
            case '\r':
            case '\n':
                if (!ConsumeSkip() && CurrentDest() == Dest::kText) EndParagraph();
                break;
            default:
                ConsumeSkip();  // \- optional hyphen, \: index subentry, and the unknown
                break;
        }
    }

    void Word(std::string_view word, bool hasParam, int param) {
        const auto& table = Keywords();
        auto it = table.find(word);
        const Kw kind = it == table.end() ? Kw::kIgnore : it->second.kind;
        if (kind == Kw::kBin) {
            // Binary data is never text, whatever the destination.
            const size_t len = hasParam && param > 0 ? static_cast<size_t>(param) : 0;
            pos_ += std::min(len, in_.size() - pos_);
            ConsumeSkip();
            return;
        }
        if (ConsumeSkip()) return;
        GroupState& s = State();
        const bool on = !hasParam || param != 0;
        switch (kind) {
            case Kw::kIgnore:
            case Kw::kBin:
                break;
            case Kw::kAnsi:
                ansiCodePage_ = 1252;
                break;
            case Kw::kMac:
                ansiCodePage_ = 10000;
                break;
            case Kw::kPc:
                ansiCodePage_ = 437;
                break;
            case Kw::kPca:
                ansiCodePage_ = 850;
                break;
            case Kw::kAnsiCpg:
                if (hasParam && IsKnownCodePage(param)) {
                    Commit();
                    ansiCodePage_ = param;
                }
                break;
            case Kw::kDeff:
                if (hasParam) {
                    Commit();
                    defaultFont_ = param;
                }
                break;
            case Kw::kFontTable:
                Commit();
                s.dest = Dest::kFontTable;
                break;
            case Kw::kFont:
                if (!hasParam) break;
                if (CurrentDest() == Dest::kFontTable) {
                    EndFontName();
                    fontDef_ = param;
                    fonts_[param];
                } else {
                    Commit();
                    s.fontIndex = param;
                }
                break;
            case Kw::kFontCharset:
                if (CurrentDest() == Dest::kFontTable && fontDef_ >= 0) fonts_[fontDef_].charset = param;
                break;
            case Kw::kFontCodePage:
                if (CurrentDest() == Dest::kFontTable && fontDef_ >= 0) fonts_[fontDef_].codePage = param;
                break;
            case Kw::kColorTable:
                Commit();
                s.dest = Dest::kColorTable;
                colors_.clear();
                break;
            case Kw::kRed:
            case Kw::kGreen:
            case Kw::kBlue:
                if (CurrentDest() == Dest::kColorTable) {
                    const uint32_t v = static_cast<uint32_t>(std::clamp(param, 0, 255));
                    (kind == Kw::kRed ? red_ : kind == Kw::kGreen ? green_ : blue_) = v;
                    colorSet_ = true;
                }
                break;
            case Kw::kSkipDest:
                Commit();
                s.dest = Dest::kSkip;
                break;
            case Kw::kPlain:
                Commit();
                s.bold = s.italic = s.underline = s.strike = s.hidden = false;
                s.halfPoints = 24;
                s.fontIndex = -1;
                s.colorIndex = 0;
                break;
            case Kw::kBold:
                Commit();
                s.bold = on;
                break;
            case Kw::kItalic:
                Commit();
                s.italic = on;
                break;
            case Kw::kUnderline:
                Commit();
                s.underline = on;
                break;
            case Kw::kNoUnderline:
                Commit();
                s.underline = false;
                break;
            case Kw::kStrike:
                Commit();
                s.strike = on;
                break;
            case Kw::kHidden:
                Commit();
                s.hidden = on;
                break;
            case Kw::kFontSize:
                Commit();
                s.halfPoints = hasParam && param > 0 ? std::min(param, 3276) : 24;
                break;
            case Kw::kColor:
                Commit();
                s.colorIndex = hasParam ? param : 0;
                break;
            case Kw::kPar:
                if (CurrentDest() == Dest::kText) EndParagraph();
                break;
            case Kw::kLine:
                AddUnit(0x2028);
                break;
            case Kw::kTab:
            case Kw::kCell:
                AddUnit(u'\t');
                break;
            case Kw::kRow:
                if (CurrentDest() != Dest::kText) break;
                Commit();
                // The row's last cell needs no separator after it.
                if (auto& runs = doc_.paragraphs.back().runs;
                    !runs.empty() && !runs.back().text.empty() && runs.back().text.back() == u'\t') {
                    runs.back().text.pop_back();
                    if (runs.back().text.empty()) runs.pop_back();
                }
                EndParagraph();
                break;
            case Kw::kUnicode:
                if (!hasParam) break;
                AddUnit(static_cast<char16_t>(param < 0 ? param + 65536 : param));
                skip_ = s.ucSkip;
                break;
            case Kw::kUnicodeSkip:
                s.ucSkip = hasParam ? std::clamp(param, 0, 16) : 1;
                break;
            case Kw::kChar:
                AddUnit(it->second.ch);
                break;
        }
    }

    std::string_view in_;
    size_t pos_ = 0;
    bool ended_ = false;
    RtfDocument doc_;
    std::vector<GroupState> stack_;
    int overflow_ = 0;         // groups opened beyond the depth limit and not yet closed
    int skip_ = 0;             // \uN fallback characters still to drop
    bool groupStart_ = false;  // the token being read is the first of a nested group

    int ansiCodePage_ = 1252;
    int defaultFont_ = -1;
    std::map<int, FontDef> fonts_;
    int fontDef_ = -1;  // font being defined in the font table
    std::string fontNameBytes_;
    std::vector<std::optional<uint32_t>> colors_;
    uint32_t red_ = 0, green_ = 0, blue_ = 0;
    bool colorSet_ = false;

    std::string bytes_;     // code-page bytes not yet decoded (a DBCS pair may span two \'hh)
    std::u16string units_;  // decoded text not yet in the document
};

}  // namespace

namespace {
std::string_view SkipLeadingBlanks(std::string_view bytes) {
    if (bytes.substr(0, 3) == "\xEF\xBB\xBF") bytes.remove_prefix(3);
    while (!bytes.empty() &&
           (bytes.front() == ' ' || bytes.front() == '\t' || bytes.front() == '\r' || bytes.front() == '\n'))
        bytes.remove_prefix(1);
    return bytes;
}
}  // namespace

bool RtfReader::LooksLikeRtf(std::string_view bytes) {
    return SkipLeadingBlanks(bytes).substr(0, 5) == "{\\rtf";
}

bool RtfReader::StartsWithMarkup(std::string_view bytes) {
    bytes = SkipLeadingBlanks(bytes);
    return bytes.substr(0, 2) == "{\\" ||
           (bytes.size() > 1 && bytes[0] == '\\' && std::isalpha(static_cast<unsigned char>(bytes[1])));
}

RtfDocument RtfReader::Parse(std::string_view bytes) { return Parser(bytes).Run(); }

std::u16string RtfDocument::PlainText() const {
    std::u16string out;
    for (size_t p = 0; p < paragraphs.size(); ++p) {
        if (p > 0) out.push_back(u'\n');
        for (const RtfRun& run : paragraphs[p].runs)
            for (char16_t c : run.text) out.push_back(c == 0x2028 ? u'\n' : c);
    }
    return out;
}

}  // namespace zv
